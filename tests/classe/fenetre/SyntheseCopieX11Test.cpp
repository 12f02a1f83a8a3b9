// The synthesis window's copy on a real X server: Ctrl+C pressed with the
// focus in the table (where the table would copy its current cell) puts the
// whole table and the conclusions on the clipboard, the very bytes that
// `nelvar --classe` writes, as another program (xclip) pastes them.
#include "classe/fenetre/FenetreClasse.h"
#include "classe/fenetre/ModeleClasse.h"
#include "classe/SyntheseClasse.h"
#include "numtext/NumberText.h"
#include "runtime/qt/QtPlatform.h"
#include "tests/classe/JournauxDeClasse.h"
#include "tests/support/Xclip.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

TEST(SyntheseCopieX11, ctrl_c_in_the_table_copies_the_command_line_text)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server (platform xcb)";
    if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
        GTEST_SKIP() << "xclip is not installed";
    const fs::path dossier = fs::temp_directory_path() / ("nelvar-classe-x11-" + std::to_string(::getpid()));
    fs::remove_all(dossier);
    fs::create_directories(dossier);
    for (int n = 0; n < 3; ++n) {
        JournauxDeClasse::Essai essai;
        essai.debut = JournauxDeClasse::Matin(600L * n);
        essai.poste = "SALLE2-PC0" + std::to_string(n + 1);
        essai.temperature = 20 + 10 * n;
        essai.k = 0.004 * (n + 1);
        essai.graine = static_cast<std::uint64_t>(n + 1);
        JournauxDeClasse::Ecrire(dossier.string(), essai);
    }
    {
        QtPlatform plateForme;
        FenetreClasse fenetre(plateForme, dossier.string(), nullptr);
        QSignalSpy lue(&fenetre, &FenetreClasse::Actualisee);
        ASSERT_TRUE(lue.wait(20000));
        ASSERT_EQ(fenetre.Modele->rowCount(), 3);
        fenetre.show();
        fenetre.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
        fenetre.Tableau->setFocus();
        fenetre.Tableau->setCurrentIndex(fenetre.Modele->index(1, 7));
        QTest::keyClick(fenetre.Tableau, Qt::Key_C, Qt::ControlModifier);

        const Lecture collee = Xclip({QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
        ASSERT_TRUE(collee.terminee);
        EXPECT_EQ(collee.octets.toStdString(), Classe::TexteSynthese(fenetre.Synthese(), DecimalSeparator()));
        EXPECT_EQ(collee.octets.toStdString(), Classe::TexteSynthese(Classe::Synthetiser({dossier.string()}), DecimalSeparator()));
    }
    fs::remove_all(dossier);
}
