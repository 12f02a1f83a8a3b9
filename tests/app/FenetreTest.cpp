// The main window as the user finds it at start, its layout, its menus, and
// the commands of the window itself.
#include "widgets/TSplitter.h"
#include "card/Adresses.h"
#include "tests/app/support/FenetreFixture.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The items of a menu: caption and shortcut, "-" for a separator.
std::vector<std::pair<QString, QString>> Items(const QMenu* menu)
{
    std::vector<std::pair<QString, QString>> items;
    for (const QAction* action : menu->actions())
        items.emplace_back(action->isSeparator() ? QStringLiteral("-") : action->text(),
                           action->shortcut().toString(QKeySequence::PortableText));
    return items;
}

} // namespace

TEST_F(FenetreTest, window_at_start_shows_the_default_fields_and_empty_results)
{
    Montrer();

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Avancement d'une réaction chimique."));
    EXPECT_EQ(form->Button1->text(), QStringLiteral("M&arche"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("0,25"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("20"));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("100000"));
    EXPECT_EQ(form->Edit4->text(), QString());
    EXPECT_EQ(form->Edit5->text(), QString());
    EXPECT_EQ(form->RadioGroup1->title(), QStringLiteral("p et - p sur voies 1 et 2 ?"));
    ASSERT_EQ(form->RadioGroup1->Count(), 2);
    EXPECT_EQ(form->RadioGroup1->Item(0)->text(), QStringLiteral("Oui"));
    EXPECT_EQ(form->RadioGroup1->Item(1)->text(), QStringLiteral("Non"));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("Contrôle des tensions, en volts"));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("&Volume total de gaz, en L"));
    EXPECT_EQ(form->Label2->text(), QStringLiteral("&Température en ° C"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("Coefficient tension -> pression"));
    EXPECT_EQ(form->Label4->text(), QStringLiteral("Voie 1 :"));
    EXPECT_EQ(form->Label5->text(), QStringLiteral("Voie 2 :"));
    for (QWidget* controle : {static_cast<QWidget*>(form->Button1), static_cast<QWidget*>(form->Edit1),
                              static_cast<QWidget*>(form->Edit2), static_cast<QWidget*>(form->Edit3),
                              static_cast<QWidget*>(form->RadioGroup1), static_cast<QWidget*>(form->Edit4),
                              static_cast<QWidget*>(form->Edit5)})
        EXPECT_TRUE(controle->isEnabled()) << controle->metaObject()->className();
    EXPECT_EQ(Points1(), 0);
    EXPECT_EQ(Points2(), 0);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    EXPECT_EQ(QApplication::focusWidget(), form->Button1);
    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_EQ(form->NombreDePoints(), 0);
}

TEST_F(FenetreTest, card_is_configured_when_the_window_is_created)
{
    // Given a window created hidden, the card already received the 8255's
    // configuration word for port A out, B and C in.
    FakePorts enregistreurs;
    FakeBoxes boites;
    const TForm1 fenetre(enregistreurs, boites, &platform);
    EXPECT_FALSE(fenetre.isVisible());
    EXPECT_EQ(enregistreurs.Writes(0x28F), std::vector<std::uint8_t>{0x8B});
}

TEST_F(FenetreTest, menus_have_their_captions_shortcuts_and_separators)
{
    const auto titres = form->MainMenu1->actions();
    ASSERT_EQ(titres.size(), 4);
    EXPECT_EQ(titres[0]->text(), QStringLiteral("&Fichier"));
    EXPECT_EQ(titres[1]->text(), QStringLiteral("&Edition"));
    EXPECT_EQ(titres[2]->text(), QStringLiteral("A&nalyse"));
    EXPECT_EQ(titres[3]->text(), QStringLiteral("&Aide"));

    using Items_ = std::vector<std::pair<QString, QString>>;
    EXPECT_EQ(Items(form->Fichier1), (Items_{{"&Enregistrer (la pression)", "Ctrl+S"},
                                             {"En&registrer Sous...", "Ctrl+T"},
                                             {"-", ""},
                                             {"&Quitter", ""}}));
    EXPECT_EQ(Items(form->Edition1), (Items_{{"&Copier pression en Pa", "Ctrl+C"},
                                             {"C&opier avancement en mol", "Ctrl+D"},
                                             {"Co&pier tension en V", "Ctrl+E"}}));
    EXPECT_EQ(Items(form->Analyse1), (Items_{{"&Analyser l'essai", "Ctrl+L"},
                                             {"&Ouvrir un essai enregistré...", ""},
                                             {"-", ""},
                                             {"&Synthèse de la classe…", ""},
                                             {"&Dossier de la classe…", ""},
                                             {"Actuel : aucun", ""},
                                             {"Aucun dossier de la &classe", ""}}));
    EXPECT_EQ(Items(form->Aide1), (Items_{{"&Rubrique d'aide", ""},
                                          {"-", ""},
                                          {"A&ccéder au site de l'auteur", ""},
                                          {"&Ecrire à l'auteur", ""},
                                          {"-", ""},
                                          {"&A propos...", ""}}));
    for (QMenu* menu : {form->Fichier1, form->Edition1, form->Analyse1, form->Aide1})
        for (const QAction* action : menu->actions()) {
            // The class folder in use is a line to read; with none there is
            // nothing to forget.
            const bool lecture = action == form->DossierClasseActuel1 || action == form->Aucundossierdelaclasse1;
            EXPECT_EQ(action->isEnabled(), !lecture) << action->text().toStdString();
            EXPECT_FALSE(action->isCheckable());
        }
}

TEST_F(FenetreTest, restored_window_lays_out_the_design_sizes)
{
    // At 96 pixels per inch the layout is the design, unscaled.
    ASSERT_EQ(form->Echelle().Scale(1000), 1000);
    Montrer();
    EXPECT_EQ(form->pos(), QPoint(43, 144));
    EXPECT_EQ(form->ZoneClient()->size(), QSize(707, 371));

    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 288, 707, 83));
    EXPECT_EQ(form->Panel2->geometry(), QRect(0, 0, 265, 288));
    EXPECT_EQ(form->Splitter1->geometry(), QRect(265, 0, 3, 288));
    EXPECT_EQ(form->Panel3->geometry(), QRect(268, 0, 439, 288));
    EXPECT_EQ(form->Chart1->geometry(), QRect(1, 1, 263, 286));
    EXPECT_EQ(form->Chart2->geometry(), QRect(1, 1, 437, 286));
    for (QFrame* panneau : {form->Panel1, form->Panel2, form->Panel3}) {
        EXPECT_EQ(panneau->frameShape(), QFrame::Panel);
        EXPECT_EQ(panneau->frameShadow(), QFrame::Raised);
        EXPECT_EQ(panneau->lineWidth(), 1);
    }

    EXPECT_EQ(form->Button1->geometry(), QRect(16, 8, 75, 25));
    EXPECT_EQ(form->Edit1->geometry(), QRect(184, 8, 49, 21));
    EXPECT_EQ(form->Edit2->geometry(), QRect(320, 8, 25, 21));
    EXPECT_EQ(form->Edit3->geometry(), QRect(464, 8, 57, 21));
    EXPECT_EQ(form->RadioGroup1->geometry(), QRect(536, 0, 153, 41));
    EXPECT_EQ(form->GroupBox1->geometry(), QRect(48, 40, 225, 41));
    EXPECT_EQ(form->Edit4->geometry(), QRect(48, 12, 60, 21));
    EXPECT_EQ(form->Edit5->geometry(), QRect(152, 12, 57, 21));
    // The word-wrapped labels keep their width; "&Volume total de gaz, en L"
    // takes two lines.
    EXPECT_EQ(form->Label1->geometry().topLeft(), QPoint(112, 8));
    EXPECT_EQ(form->Label1->width(), 61);
    const int ligne = form->Label1->fontMetrics().height();
    EXPECT_GE(form->Label1->height(), 2 * ligne);
    EXPECT_LT(form->Label1->height(), 3 * ligne);
    EXPECT_EQ(form->Label2->width(), 63);
    EXPECT_EQ(form->Label3->width(), 90);
}

TEST_F(FenetreTest, window_font_is_liberation_sans_of_eight_points)
{
    const QFontMetrics metriques(form->Edit1->font());
    EXPECT_EQ(QFontInfo(form->Edit1->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(form->Edit1->font().pointSize(), 8);
    EXPECT_EQ(metriques.height(), 12);
    EXPECT_EQ(metriques.horizontalAdvance(QLatin1Char('W')), 10);
}

TEST_F(FenetreTest, qt_own_texts_are_french_and_the_menu_shortcuts_still_read_ctrl)
{
    const QString dossier = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(dossier + QStringLiteral("/qtbase_fr.qm")))
        GTEST_SKIP() << "no qtbase_fr.qm in " << dossier.toStdString() << " (package qt6-translations-l10n)";
    const std::unique_ptr<QTranslator> traduction(InstallerTextesQtFrancais()); // removed again when deleted
    ASSERT_NE(traduction, nullptr);

    // The save dialog's title and buttons, an edit field's context menu.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Enregistrer sous"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Save"), QStringLiteral("&Enregistrer"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Paste"), QStringLiteral("Co&ller"));
    // The menus still show their shortcuts as "Ctrl+" and the letter.
    EXPECT_EQ(form->Enregistrer1->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Ctrl+S"));
    EXPECT_EQ(form->Copier1->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Ctrl+C"));
}

TEST_F(FenetreTest, resizing_the_window_keeps_the_bottom_panel_and_the_left_width)
{
    Montrer();
    form->resize(1000, 600 + form->MainMenu1->height());
    QApplication::processEvents();
    const QSize client = form->ZoneClient()->size();
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, client.height() - 83, client.width(), 83));
    EXPECT_EQ(form->Panel2->width(), 265);
    EXPECT_EQ(form->Panel3->geometry(), QRect(268, 0, client.width() - 268, client.height() - 83));
    EXPECT_EQ(form->Chart2->size(), QSize(client.width() - 270, client.height() - 85));
}

TEST_F(FenetreTest, author_links_hand_the_addresses_to_the_desktop_and_clear_the_status)
{
    form->P->CodeErreur = 5;
    form->P->MessageErreur = "Fréquence incorrecte";
    form->Accderausitedelauteur1->trigger();
    form->Ecrirelauteur1->trigger();
    EXPECT_EQ(platform.opened, (std::vector<std::string>{kAdresseSite, kAdresseCourrielMailto}));
    EXPECT_EQ(form->P->CodeErreur, 0);
    EXPECT_EQ(form->P->MessageErreur, "");
}

TEST_F(FenetreTest, an_author_link_the_desktop_cannot_open_shows_the_address_to_type_by_hand)
{
    for (const bool opens : {true, false}) {
        platform.opens = opens;
        boxes.all.clear();
        form->Accderausitedelauteur1->trigger();
        form->Ecrirelauteur1->trigger();
        const std::vector<std::string> sansNavigateur = {
            "Impossible d'ouvrir le navigateur. Adresse à saisir : https://nelvar.example.org/",
            "Impossible d'ouvrir la messagerie. Adresse à saisir : auteur@nelvar.example.org"};
        EXPECT_EQ(boxes.all, opens ? std::vector<std::string>{} : sansNavigateur);
    }
}

TEST_F(FenetreTest, both_help_commands_show_the_about_box_during_a_run_too)
{
    form->Rubriquedaide1->trigger();
    Click();
    ASSERT_TRUE(UPrincipal::EnMarche);
    form->Apropos1->trigger();
    form->Accderausitedelauteur1->trigger();
    EXPECT_EQ(aboutShown, 2);
    EXPECT_EQ(platform.opened.size(), 1u);
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(FenetreTest, quit_or_closing_the_window_during_a_run_ends_the_message_loop_with_code_zero)
{
    const std::pair<const char*, std::function<void(TForm1&)>> facons[] = {
        {"Quitter", [](TForm1& f) { f.Quitter1->trigger(); }},
        {"close", [](TForm1& f) { f.close(); }},
    };
    for (const auto& [nom, fermer] : facons) {
        SCOPED_TRACE(nom);
        UPrincipal::ReinitialiserEtatUnite();
        form = std::make_unique<TForm1>(ports, boxes, &platform);
        Montrer();
        Click();
        ASSERT_TRUE(UPrincipal::EnMarche);
        QTimer::singleShot(0, form.get(), [this, &fermer] { fermer(*form); });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_TRUE(boxes.all.empty());
    }
}
