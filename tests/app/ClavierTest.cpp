// Keyboard routing of the main window: keys go through the window system's
// path (QWindow), shortcut overrides and all, as a user's keys do.
#include "tests/app/support/FenetreFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace {

constexpr const char* kNotePression =
    "Veuillez noter que dans la deuxième colonne figurent des pressions en pascals et non des tensions";
constexpr const char* kAttendre = "Veuillez attendre la fin de la mesure.";

} // namespace

class ClavierTest : public FenetreTest {
protected:
    void Touche(Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier)
    {
        QTest::keyClick(form->windowHandle(), touche, modificateurs);
    }
    // No menu is open and the menu bar holds no highlighted title.
    bool AucunMenu() const
    {
        return QApplication::activePopupWidget() == nullptr && form->MainMenu1->activeAction() == nullptr;
    }
    // The focus after each of `n` presses of Tab.
    std::vector<QWidget*> Tabulations(int n)
    {
        std::vector<QWidget*> vus;
        for (int i = 0; i < n; ++i) {
            Touche(Qt::Key_Tab);
            vus.push_back(QApplication::focusWidget());
        }
        return vus;
    }
};

TEST_F(ClavierTest, enter_right_after_start_starts_a_run)
{
    Montrer();
    Touche(Qt::Key_Return);
    EXPECT_TRUE(UPrincipal::EnMarche);
    EXPECT_EQ(form->Button1->text(), QStringLiteral("&Arrêt"));
    Touche(Qt::Key_Space);
    EXPECT_FALSE(UPrincipal::EnMarche);
}

TEST_F(ClavierTest, ctrl_c_in_the_volume_field_runs_the_pressure_copy)
{
    Montrer();
    Click(); // a run of one point, for the copy to have a table
    Tick();
    Click();
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    form->Edit1->setFocus();
    form->Edit1->selectAll();
    Touche(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(boxes.messages, std::vector<std::string>{kNotePression});
    ASSERT_EQ(platform.clipboard.size(), 1u);
    EXPECT_NE(platform.clipboard[0], "0,25");
    // The field copied nothing of its own.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("avant"));
}

TEST_F(ClavierTest, menu_shortcuts_win_over_an_edit_field_during_a_run)
{
    // During a run each of the five commands answers with the refusal, the
    // focus being in a voltage field.
    Montrer();
    Click();
    form->Edit4->setFocus();
    for (Qt::Key touche : {Qt::Key_C, Qt::Key_D, Qt::Key_E, Qt::Key_S, Qt::Key_T})
        Touche(touche, Qt::ControlModifier);
    EXPECT_EQ(boxes.messages, std::vector<std::string>(5, kAttendre));
    EXPECT_TRUE(platform.clipboard.empty());
    EXPECT_TRUE(platform.dialogs.empty());
}

TEST_F(ClavierTest, alt_a_clicks_the_button_wherever_the_focus_is_and_never_opens_the_help_menu)
{
    Montrer();
    for (QWidget* focus : {static_cast<QWidget*>(form->Edit2), static_cast<QWidget*>(form->Edit4),
                           static_cast<QWidget*>(form->Edit5), static_cast<QWidget*>(form->Button1)}) {
        focus->setFocus();
        Touche(Qt::Key_A, Qt::AltModifier);
        EXPECT_TRUE(UPrincipal::EnMarche);
        EXPECT_TRUE(AucunMenu());
        Touche(Qt::Key_A, Qt::AltModifier);
        EXPECT_FALSE(UPrincipal::EnMarche);
        EXPECT_TRUE(AucunMenu());
    }
    // Starting from the radio group, whose focus the run takes away.
    form->RadioGroup1->Item(0)->setFocus();
    Touche(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(UPrincipal::EnMarche);
    EXPECT_TRUE(AucunMenu());
}

TEST_F(ClavierTest, alt_v_and_alt_t_focus_their_fields_only_while_enabled)
{
    Montrer();
    Touche(Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
    EXPECT_EQ(form->Edit1->selectedText(), QStringLiteral("0,25"));
    Touche(Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit2);

    form->Button1->setFocus();
    Click();
    Touche(Qt::Key_V, Qt::AltModifier);
    Touche(Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->Button1);
    EXPECT_TRUE(UPrincipal::EnMarche);
    EXPECT_TRUE(AucunMenu());
}

TEST_F(ClavierTest, alt_f_and_alt_e_open_their_menus)
{
    Montrer();
    Touche(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), form->Fichier1);
    QTest::keyClick(form->Fichier1, Qt::Key_Escape);
    QTest::keyClick(form->Fichier1, Qt::Key_Escape);
    form->MainMenu1->setActiveAction(nullptr);
    form->Button1->setFocus();

    Touche(Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), form->Edition1);
    EXPECT_FALSE(UPrincipal::EnMarche);
}

TEST_F(ClavierTest, tab_runs_along_the_fields_and_the_selected_radio_button)
{
    Montrer();
    EXPECT_EQ(Tabulations(7), (std::vector<QWidget*>{form->Edit1, form->Edit2, form->Edit3, form->RadioGroup1->Item(0),
                                          form->Edit4, form->Edit5, form->Button1}));

    // With "Non" selected the group is reached at "Non".
    form->RadioGroup1->SetItemIndex(1);
    form->Edit3->setFocus();
    Touche(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->RadioGroup1->Item(1));
    Touche(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit3);
}

TEST_F(ClavierTest, tab_skips_the_fields_disabled_by_a_run)
{
    Montrer();
    Touche(Qt::Key_Return);
    ASSERT_TRUE(UPrincipal::EnMarche);
    EXPECT_EQ(Tabulations(3), (std::vector<QWidget*>{form->Edit4, form->Edit5, form->Button1}));
}

TEST_F(ClavierTest, arrow_keys_move_the_selection_of_the_radio_group)
{
    Montrer();
    form->RadioGroup1->Item(0)->setFocus();
    Touche(Qt::Key_Right);
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->RadioGroup1->Item(1));
}

TEST_F(ClavierTest, f10_opens_the_menu_bar_from_which_the_arrows_reach_the_help_menu)
{
    Montrer();
    Touche(Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), form->Fichier1);
    QTest::keyClick(form->Fichier1, Qt::Key_Left);
    EXPECT_EQ(QApplication::activePopupWidget(), form->Aide1);
    EXPECT_FALSE(UPrincipal::EnMarche);
}
