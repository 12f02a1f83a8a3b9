// The splitter between the charts: its drag arithmetic, and the drag with
// the mouse on the window.
#include "widgets/SplitterDrag.h"
#include "widgets/TSplitter.h"
#include "tests/app/support/FenetreFixture.h"

#include <QDialog>
#include <QFrame>

TEST(SplitterDrag, new_width_is_the_old_width_plus_the_mouse_movement_unless_cancelled)
{
    SplitterDrag drag;
    drag.Begin(265, 707, 300);
    EXPECT_TRUE(drag.Active());
    EXPECT_EQ(drag.Move(250), 215);
    EXPECT_EQ(drag.Move(400), 365);
    EXPECT_EQ(drag.Release(350), 315);
    EXPECT_FALSE(drag.Active());

    drag.Begin(265, 707, 300);
    drag.Move(100);
    drag.Cancel();
    EXPECT_FALSE(drag.Active());
    EXPECT_EQ(drag.Release(100), std::nullopt);
}

TEST(SplitterDrag, width_is_bounded_by_thirty_and_by_the_client_width_less_thirty_three)
{
    EXPECT_EQ(SplitterDrag::Borner(29, 707), 30);
    EXPECT_EQ(SplitterDrag::Borner(-500, 707), 30);
    EXPECT_EQ(SplitterDrag::Borner(674, 707), 674);
    EXPECT_EQ(SplitterDrag::Borner(675, 707), 674);
    EXPECT_EQ(SplitterDrag::Borner(5000, 707), 674);
    // Too narrow a client area for both panels: the right one keeps 30 pixels.
    EXPECT_EQ(SplitterDrag::Borner(40, 60), 27);
}

TEST(SplitterDrag, thirty_pixels_or_less_collapse_the_panel_at_release)
{
    EXPECT_EQ(SplitterDrag::LargeurAppliquee(31), 31);
    EXPECT_EQ(SplitterDrag::LargeurAppliquee(30), 0);
    EXPECT_EQ(SplitterDrag::LargeurAppliquee(27), 0);

    SplitterDrag drag;
    drag.Begin(265, 707, 300);
    EXPECT_EQ(drag.Move(0), 30); // the bar stops at 30 pixels
    EXPECT_EQ(drag.Release(0), 0);

    // From the collapsed state the panel can be dragged out again.
    drag.Begin(0, 707, 1);
    EXPECT_EQ(drag.Release(201), 200);
}

class SplitterFenetreTest : public FenetreTest {
protected:
    // The splitter's middle, in its own coordinates, moved by `dx`.
    QPoint Milieu(int dx = 0) const
    {
        return QPoint(form->Splitter1->width() / 2 + dx, form->Splitter1->height() / 2);
    }
    void Appuyer() { QTest::mousePress(form->Splitter1, Qt::LeftButton, {}, Milieu()); }
    void Deplacer(int dx) { QTest::mouseMove(form->Splitter1, Milieu(dx)); }
    void Relacher(int dx) { QTest::mouseRelease(form->Splitter1, Qt::LeftButton, {}, Milieu(dx)); }
};

TEST_F(SplitterFenetreTest, dragging_shows_a_bar_and_applies_the_width_only_at_release)
{
    Montrer();
    Appuyer();
    Deplacer(-100);
    EXPECT_TRUE(form->Splitter1->Barre()->isVisible());
    EXPECT_EQ(form->Splitter1->Barre()->geometry(), QRect(165, 0, 3, 288));
    EXPECT_EQ(form->Panel2->width(), 265);

    Relacher(-100);
    EXPECT_FALSE(form->Splitter1->Barre()->isVisible());
    EXPECT_EQ(form->Panel2->width(), 165);
    EXPECT_EQ(form->Splitter1->x(), 165);
    EXPECT_EQ(form->Panel3->geometry(), QRect(168, 0, 539, 288));
    EXPECT_EQ(form->Chart1->width(), 163);
}

TEST_F(SplitterFenetreTest, dragging_far_left_collapses_the_pressure_chart_and_far_right_leaves_thirty_pixels_to_the_other)
{
    Montrer();
    Appuyer();
    Deplacer(-400);
    EXPECT_EQ(form->Splitter1->Barre()->x(), 30);
    Relacher(-400);
    EXPECT_EQ(form->Panel2->width(), 0);
    EXPECT_EQ(form->Splitter1->x(), 0);
    EXPECT_EQ(form->Panel3->geometry(), QRect(3, 0, 704, 288));

    Appuyer();
    Relacher(200);
    EXPECT_EQ(form->Panel2->width(), 200);
    EXPECT_EQ(form->Splitter1->x(), 200);

    // Far right, the right panel keeps 30 pixels.
    Appuyer();
    Relacher(2000);
    EXPECT_EQ(form->Panel2->width(), 707 - 33);
    EXPECT_EQ(form->Panel3->width(), 30);
}

TEST_F(SplitterFenetreTest, a_narrower_window_keeps_the_right_chart_thirty_pixels_wide_and_a_wider_one_gives_the_width_back)
{
    // Given the splitter dragged far right in the 707-pixel client area.
    Montrer();
    Appuyer();
    Relacher(2000);
    ASSERT_EQ(form->Panel2->width(), 674);

    struct Cas {
        int largeur;
        int panel2;
    };
    for (const Cas cas : {Cas{500, 467}, Cas{707, 674}, Cas{60, 0}, Cas{707, 674}, Cas{500, 467}}) {
        SCOPED_TRACE(cas.largeur);
        form->resize(cas.largeur, form->height());
        ASSERT_EQ(form->ZoneClient()->width(), cas.largeur);
        EXPECT_EQ(form->Panel2->width(), cas.panel2);
        EXPECT_EQ(form->Splitter1->geometry(), QRect(cas.panel2, 0, 3, 288));
        EXPECT_EQ(form->Panel3->geometry(), QRect(cas.panel2 + 3, 0, cas.largeur - cas.panel2 - 3, 288));
        EXPECT_EQ(form->Chart2->width(), cas.largeur - cas.panel2 - 5);
    }

    // The narrowed splitter drags from where it is shown, and the width
    // dragged to is kept when the window widens again.
    Appuyer();
    Deplacer(-100);
    EXPECT_EQ(form->Splitter1->Barre()->x(), 367);
    Relacher(-100);
    EXPECT_EQ(form->Panel2->width(), 367);
    form->resize(707, form->height());
    EXPECT_EQ(form->Panel2->width(), 367);
}

TEST_F(SplitterFenetreTest, escape_during_a_drag_cancels_it)
{
    Montrer();
    Appuyer();
    Deplacer(-100);
    QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(form->Splitter1->Barre()->isVisible());
    Relacher(-100);
    EXPECT_EQ(form->Panel2->width(), 265);
    // The keyboard is the window's again.
    QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(UPrincipal::EnMarche);
}

TEST_F(SplitterFenetreTest, a_modal_box_opening_during_a_drag_cancels_it_and_gets_the_keyboard)
{
    // Given a drag under way when a tick opens its error box: the release
    // never reaches the blocked window, and the box must have the keyboard.
    Montrer();
    Appuyer();
    Deplacer(-100);
    ASSERT_EQ(QWidget::keyboardGrabber(), form->Splitter1);

    QDialog boite;
    boite.setWindowModality(Qt::ApplicationModal);
    boite.show();
    EXPECT_FALSE(form->Splitter1->Glissement().Active());
    EXPECT_FALSE(form->Splitter1->Barre()->isVisible());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);

    boite.hide();
    Relacher(-100);
    EXPECT_EQ(form->Panel2->width(), 265);
}
