// Start-up. `nelvar --classe ...` (the class synthesis) and
// `nelvar --analyse ...` are the command line's batch modes
// (commande/LigneCommande.h), chosen before anything else: it opens no source
// of measurements and needs no window system; nor does `nelvar --rapport ...`
// (analyse/fenetre/ExportAnalyse.h), which draws on Qt's offscreen platform and writes
// its PDF with SIGXFSZ ignored, as the saves, and so does
// `nelvar --classe --pdf ...` (rapport/RapportClasse.h). Otherwise: the process's own
// settings (SIGXFSZ ignored) and the source of measurements first, before the
// window system exists; then the application with its title and icon, the
// main window created hidden (its card component configures the card), the
// About box created hidden, and the message loop, which shows the window
// maximised. The process exits with 0 when the loop ends.
#include "about/UaPropos.h"
#include "widgets/Apparence.h"
#include "analyse/fenetre/ExportAnalyse.h"
#include "rapport/RapportClasse.h"
#include "app/TitreApplication.h"
#include "app/UPrincipal.h"
#include "acquisition/PortSelection.h"
#include "journal/JournalEssai.h"
#include "commande/LigneCommande.h"
#include "runtime/qt/MainIcon.h"
#include "runtime/Exceptions.h"
#include "runtime/Processus.h"
#include "runtime/qt/MessageBoxes.h"
#include "runtime/qt/SystemPlugins.h"

#include <QApplication>
#include <QSettings>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    if (Cinetique::ModeClasse(arguments)) {
        // The class report draws with Qt, on its offscreen platform, as --rapport.
        const Issue<Cinetique::DemandeClasse> demande = Cinetique::LireArgumentsClasse(arguments);
        if (!demande || !demande->pdf)
            return Cinetique::ClasseEnLigneDeCommande(arguments, std::cout, std::cerr);
        PreparerProcessus();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argumentsQt = std::min(argc, 1);
        QApplication application(argumentsQt, argv);
        const std::vector<std::string> sources = demande->chemins;
        return Cinetique::ClasseEnLigneDeCommande(
            arguments, std::cout, std::cerr,
            [&sources](const Classe::Synthese& synthese, const std::string& chemin) -> Issue<void> {
                try {
                    RapportClasse::Enregistrer(chemin, synthese, {sources, std::chrono::system_clock::now()});
                } catch (const Exception& e) {
                    return Echec{chemin + " : " + e.Message()};
                }
                return {};
            });
    }
    if (ModeRapport(arguments)) {
        PreparerProcessus();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argumentsQt = std::min(argc, 1); // the options are the report's, not Qt's
        QApplication application(argumentsQt, argv);
        return RapportEnLigneDeCommande(arguments, std::cerr);
    }
    if (Cinetique::ModeLigneDeCommande(arguments))
        return Cinetique::AnalyseEnLigneDeCommande(arguments, std::cout, std::cerr);

    PreparerProcessus();
    Issue<std::unique_ptr<LecteurTensions>> ouverture = OuvrirPorts();

    // The real card's ports outlast the privileges: Qt then loads only the
    // system's plugins and reads no option from the command line
    // (-platformpluginpath, -plugin, ...). The program itself reads none.
    int argumentsQt = argc;
    if (CarteReelleChoisie(std::getenv(kVariablePorts))) {
        argumentsQt = std::min(argc, 1);
        PinPluginsToSystemFolder();
    }
    QApplication application(argumentsQt, argv);
    const std::string titre = TitreApplication(CheminProgramme());
    QCoreApplication::setApplicationName(QString::fromStdString(titre));
    QApplication::setWindowIcon(MainIcon());
    AppliquerApparence();
    InstallerTextesQtFrancais();
    QtMessageBoxes boites(titre);

    if (!ouverture) {
        // The real card was asked for and cannot be reached: say so and stop,
        // rather than show the simulation's curve as a measurement.
        std::fprintf(stderr, "%s\n", ouverture.Message().c_str());
        boites.ShowError(ErrorText(ouverture.Message()));
        return kCodeSortieRefus;
    }

    const std::unique_ptr<LecteurTensions> source = std::move(ouverture).Valeur();
    TForm1 Form1(*source, boites);
    // The readings and the journal off the window's thread: a slow disk or a
    // silent box never freezes the window.
    Form1.MesurerEnFond();
    Form1.DossierJournal = Journal::DossierDuProcessus();
    // The settings kept between sessions (the class folder): the user's
    // nelvar/nelvar.ini, under $XDG_CONFIG_HOME or ~/.config.
    Form1.FichierReglages =
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("nelvar"), QStringLiteral("nelvar"))
            .fileName();
    // The caption names the source when it is not the real card: the
    // simulated card's demonstration must not pass for a measurement.
    Form1.setWindowTitle(QString::fromStdString(TitreFenetre(source->Description())));
    TAboutBox AboutBox(&Form1);
    Form1.MontrerAPropos = [&AboutBox] { AboutBox.exec(); };

    Form1.MontrerMaximisee();
    application.exec();
    return 0;
}
