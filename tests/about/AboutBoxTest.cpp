// The About box as the user meets it: its controls and texts, and what it
// keeps from one display to the next (place, focus, typed text). Each display
// is a real exec(); what happens while it is open runs from a zero-time
// single-shot timer inside its message loop.
#include "about/UaPropos.h"
#include "runtime/qt/MainIcon.h"
#include "widgets/LayoutScale.h"

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

constexpr int kNotClosed = 99; // the result when the box was left open by a test

// Shows `box` modally and runs `whileShown` once it is active. Should the box
// still be open afterwards, it is closed with kNotClosed, so that a failing
// step never hangs the test.
int ShowModal(TAboutBox& box, const std::function<void()>& whileShown)
{
    QTimer::singleShot(0, &box, [&box, &whileShown] {
        const bool active = QTest::qWaitForWindowActive(&box);
        EXPECT_TRUE(active) << "the box never became the active window";
        if (active)
            whileShown();
        if (box.isVisible())
            box.done(kNotClosed);
    });
    return box.exec();
}

QRect Design(int left, int top, int width, int height) { return QRect(left, top, width, height); }

// The program's font (set by the program for all its windows): Liberation
// Sans, 8 points, whole-pixel advances.
QFont ProgramFont()
{
    QFont font(QStringLiteral("Liberation Sans"), 8);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Every test runs with the program's application style and font, put back
// afterwards.
class AboutBox : public ::testing::Test {
protected:
    AboutBox()
    {
        QApplication::setStyle(QStringLiteral("Windows"));
        QApplication::setFont(ProgramFont());
    }
    ~AboutBox() override
    {
        QApplication::setStyle(savedStyle_);
        QApplication::setFont(saved_);
    }

private:
    QString savedStyle_ = QApplication::style()->name();
    QFont saved_ = QApplication::font();
};

} // namespace

TEST_F(AboutBox, every_control_sits_at_its_design_place_and_size_at_96_dpi)
{
    TAboutBox box;
    const LayoutScale scale = LayoutScale::ForFont(box.font(), &box);
    ASSERT_EQ(scale.numerator, scale.denominator) << "the offscreen display is expected at 96 dpi";

    EXPECT_EQ(box.minimumSize(), QSize(302, 445));
    EXPECT_EQ(box.maximumSize(), QSize(302, 445));
    EXPECT_EQ(box.Panel1->parentWidget(), &box);
    EXPECT_EQ(box.Panel1->geometry(), Design(8, 8, 281, 401));
    EXPECT_EQ(box.Panel2->parentWidget(), box.Panel1);
    EXPECT_EQ(box.Panel2->geometry(), Design(2, 2, 277, 111));
    EXPECT_EQ(box.ProgramIcon->parentWidget(), box.Panel2);
    EXPECT_EQ(box.ProgramIcon->geometry(), Design(8, 8, 65, 57));
    EXPECT_EQ(box.Panel3->parentWidget(), box.Panel1);
    EXPECT_EQ(box.Panel3->geometry(), Design(2, 113, 277, 286));
    EXPECT_EQ(box.GroupBox1->parentWidget(), box.Panel3);
    EXPECT_EQ(box.GroupBox1->geometry(), Design(1, 1, 275, 284));
    EXPECT_EQ(box.Memo1->parentWidget(), box.GroupBox1);
    EXPECT_EQ(box.Memo1->geometry(), Design(2, 15, 271, 267));
    EXPECT_EQ(box.OKButton->parentWidget(), &box);
    EXPECT_EQ(box.OKButton->geometry(), Design(95, 412, 75, 25));

    // Labels keep their place and height; they widen only when their line
    // would otherwise be cut, and never past their panel.
    const struct {
        QLabel* label;
        QRect design;
    } labels[] = {
        {box.ProductName, Design(88, 16, 171, 13)},
        {box.Version, Design(88, 40, 112, 13)},
        {box.Copyright, Design(8, 80, 161, 13)},
    };
    for (const auto& [label, design] : labels) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_EQ(label->parentWidget(), box.Panel2);
        EXPECT_EQ(label->pos(), design.topLeft());
        EXPECT_EQ(label->height(), design.height());
        EXPECT_GE(label->width(), design.width());
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_LE(label->geometry().right(), box.Panel2->width() - 2);
    }
}

TEST_F(AboutBox, the_box_and_every_control_take_the_application_font)
{
    QFont other(QStringLiteral("Liberation Serif"), 10);
    QApplication::setFont(other);
    TAboutBox box;

    EXPECT_EQ(box.font(), other);
    for (const QWidget* control : box.findChildren<QWidget*>()) {
        // The guide's font may be condensed to fit the lines (see below).
        QFont font = control->font();
        if (control == box.Memo1 || box.Memo1->isAncestorOf(control))
            font.setStretch(other.stretch());
        EXPECT_EQ(font, other) << control->metaObject()->className();
    }
}

TEST_F(AboutBox, a_fixed_dialog_whose_controls_carry_their_texts)
{
    TAboutBox box;

    EXPECT_EQ(box.windowTitle(), QStringLiteral("A propos"));
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(box.isSizeGripEnabled());
    EXPECT_FALSE(box.windowIcon().isNull());

    EXPECT_EQ(box.ProductName->text(), QStringLiteral("Nelvar, version n° 2"));
    EXPECT_EQ(box.Version->text(), QStringLiteral("Programme de seconde"));
    EXPECT_FALSE(box.Copyright->text().isEmpty());
    for (const QLabel* label : {box.ProductName, box.Version, box.Copyright}) {
        EXPECT_FALSE(label->wordWrap());
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    EXPECT_EQ(box.GroupBox1->title(), QStringLiteral("Mode d'emploi"));
    EXPECT_EQ(box.OKButton->text(), QStringLiteral("OK"));
    EXPECT_TRUE(box.OKButton->isDefault());

    // The guide: editable, word-wrapped, no scroll bars, Tab leaves it.
    EXPECT_FALSE(box.Memo1->isReadOnly());
    EXPECT_EQ(box.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(box.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(box.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(box.Memo1->tabChangesFocus());
}

TEST_F(AboutBox, the_guide_holds_its_nineteen_lines_with_their_trailing_blanks)
{
    TAboutBox box;
    const QStringList lines = box.Memo1->toPlainText().split(QLatin1Char('\n'));

    ASSERT_EQ(lines.size(), 19);
    std::set<int> endingWithBlank;
    std::set<int> empty;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            empty.insert(i + 1);
        else if (lines[i].endsWith(QLatin1Char(' ')))
            endingWithBlank.insert(i + 1);
    }
    EXPECT_EQ(endingWithBlank, (std::set<int>{1, 2, 4, 7, 10, 13, 14, 15}));
    EXPECT_EQ(empty, (std::set<int>{6, 9, 12, 17}));
    EXPECT_EQ(lines[0], QStringLiteral("Ce logiciel permet d'enregistrer, à l'aide d'une carte "));
    EXPECT_EQ(lines[13], QStringLiteral("pression et - pression, raccordées aux voies 1 et 2 de la "));
    EXPECT_EQ(lines[15], QStringLiteral("valeurs en compte."));
    EXPECT_EQ(lines[17], QStringLiteral("Le dossier Valeurs contient un exemple de mesures."));
    // The source archive the package carries (scripts/package.sh refuses a
    // package without it).
    EXPECT_EQ(lines[18], QStringLiteral("Le code source du programme se trouve dans le dossier "
                                        "/usr/share/doc/nelvar : nelvar-2.0.0.tar.gz."));
}

TEST_F(AboutBox, the_whole_guide_shows_with_each_designed_line_on_one_line)
{
    // The program's font is a little wider than the design's: the memo's is
    // condensed so that no designed line sends its last word to a line of its
    // own, and the guide's last sentences stay in view.
    TAboutBox box;
    ShowModal(box, [&box] {
        const QTextDocument* guide = box.Memo1->document();
        ASSERT_EQ(guide->blockCount(), 19);
        for (int i = 0; i < 18; ++i) {
            const QTextBlock line = guide->findBlockByNumber(i);
            EXPECT_EQ(line.layout()->lineCount(), 1) << "line " << i + 1 << ": " << line.text().toStdString();
        }
        // The last line takes two, with the folder's path whole on the second.
        const QTextBlock last = guide->findBlockByNumber(18);
        ASSERT_EQ(last.layout()->lineCount(), 2);
        EXPECT_TRUE(last.text().mid(last.layout()->lineAt(1).textStart()).startsWith(QStringLiteral("/usr/share/doc/nelvar ")));
        EXPECT_EQ(box.Memo1->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(QFontInfo(box.Memo1->font()).family(), QStringLiteral("Liberation Sans"));
        EXPECT_GE(box.Memo1->font().stretch(), 90);
        box.accept();
    });
}

TEST_F(AboutBox, first_display_is_centred_with_the_caret_at_the_start_of_the_guide)
{
    TAboutBox box;
    const QRect screen = box.screen()->geometry();

    const int result = ShowModal(box, [&box, screen] {
        // The frame is placed before the window system has told its width:
        // centred to within that width.
        const QPoint offset = box.frameGeometry().center() - screen.center();
        EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << ", " << offset.y() << " from the centre";
        EXPECT_EQ(QApplication::focusWidget(), box.Memo1);
        EXPECT_EQ(box.Memo1->textCursor().position(), 0);
        EXPECT_EQ(box.Memo1->verticalScrollBar()->value(), 0);
        box.OKButton->click();
    });

    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutBox, moved_closed_and_shown_again_it_reappears_where_it_was_left)
{
    TAboutBox box;
    const QPoint moved(37, 21);

    ShowModal(box, [&box, moved] {
        box.move(moved);
        box.close();
    });
    for (int display = 2; display <= 3; ++display) {
        SCOPED_TRACE(display);
        ShowModal(box, [&box, moved] {
            EXPECT_EQ(box.pos(), moved);
            box.accept();
        });
    }
}

TEST_F(AboutBox, typed_text_and_focus_are_still_there_at_the_next_display)
{
    TAboutBox box;

    ShowModal(box, [&box] {
        QTest::keyClicks(box.Memo1, QStringLiteral("Groupe 3 : "));
        QTest::keyClick(box.Memo1, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), box.OKButton);
        box.close();
    });
    ShowModal(box, [&box] {
        EXPECT_EQ(QApplication::focusWidget(), box.OKButton);
        EXPECT_TRUE(box.Memo1->toPlainText().startsWith(QStringLiteral("Groupe 3 : Ce logiciel permet")));
        QTest::keyClick(box.OKButton, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), box.Memo1);
        EXPECT_EQ(box.Memo1->textCursor().position(), QStringLiteral("Groupe 3 : ").size());
        box.accept();
    });
}

TEST_F(AboutBox, the_close_box_returns_to_the_caller_as_ok_does)
{
    // Callers ignore the result: what they see is that exec() returns and the
    // box is hidden, keeping its state, whichever way it was closed.
    TAboutBox box;

    EXPECT_EQ(ShowModal(box, [&box] { box.close(); }), QDialog::Rejected);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(ShowModal(box, [&box] { QTest::mouseClick(box.OKButton, Qt::LeftButton); }), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(box.Memo1->toPlainText().startsWith(QStringLiteral("Ce logiciel permet d'enregistrer")));
}

TEST_F(AboutBox, enter_makes_a_new_line_in_the_guide_and_presses_ok_elsewhere_and_escape_does_nothing)
{
    TAboutBox box;

    const int result = ShowModal(box, [&box] {
        QTest::keyClick(box.Memo1, Qt::Key_Return);
        EXPECT_TRUE(box.isVisible());
        EXPECT_TRUE(box.Memo1->toPlainText().startsWith(QStringLiteral("\nCe logiciel")));
        QTest::keyClick(box.Memo1, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), box.OKButton);
        QTest::keyClick(box.OKButton, Qt::Key_Escape);
        EXPECT_TRUE(box.isVisible());
        QTest::keyClick(box.OKButton, Qt::Key_Return);
    });

    EXPECT_EQ(result, QDialog::Accepted);
}

TEST_F(AboutBox, the_picture_shows_the_icon_at_32_by_32_in_its_top_left_corner)
{
    // Every pixel of the 65 × 57 picture: the icon drawn over the panel in
    // the top-left 32 × 32, the panel's own colour everywhere else.
    TAboutBox box;
    box.show();
    const QImage shown = box.ProgramIcon->grab().toImage().convertToFormat(QImage::Format_RGB32);
    box.hide();
    ASSERT_EQ(shown.size(), QSize(65, 57));

    const QRgb panel = box.Panel2->palette().color(box.Panel2->backgroundRole()).rgb();
    QImage expected(65, 57, QImage::Format_RGB32);
    expected.fill(panel);
    QPainter painter(&expected);
    painter.drawImage(0, 0, MainIconImage());
    painter.end();

    int wrong = 0;
    for (int y = 0; y < 57; ++y)
        for (int x = 0; x < 65; ++x)
            if (shown.pixel(x, y) != expected.pixel(x, y) && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
    EXPECT_EQ(wrong, 0);
}
