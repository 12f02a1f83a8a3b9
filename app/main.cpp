// Start-up. The command line is read first (commande/LigneCommande.h): a
// wrong one is told and stops the program; a batch mode (`--analyse`,
// `--classe`, `--help`) opens no source of measurements and needs no window
// system; the PDF reports (`--rapport`, rapport/CompteRenduEssai.h;
// `--classe --pdf`, rapport/RapportClasse.h) draw on Qt's offscreen platform
// and write their files with SIGXFSZ ignored, as the saves. Otherwise: the
// process's own settings (SIGXFSZ ignored) and the source of measurements
// first, before the window system exists; then the application with its title and icon, the
// main window created hidden (its card component configures the card), the
// About box created hidden, and the message loop, which shows the window
// maximised. The process exits with 0 when the loop ends.
#include "about/UaPropos.h"
#include "widgets/Apparence.h"
#include "rapport/CompteRenduEssai.h"
#include "rapport/RapportClasse.h"
#include "app/TitreApplication.h"
#include "app/UPrincipal.h"
#include "acquisition/PortSelection.h"
#include "journal/JournalEssai.h"
#include "commande/LigneCommande.h"
#include "numtext/NumberText.h"
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
    const Issue<Cinetique::Commande> commande = Cinetique::LireLigneDeCommande(arguments);
    if (!commande)
        return Cinetique::Refuser(commande.Message(), std::cerr);
    if (commande->mode != Cinetique::Mode::Fenetre) {
        // The PDFs draw with Qt, on its offscreen platform; the other modes
        // need no window system at all.
        if (!commande->pdf)
            return Cinetique::Executer(*commande, DecimalSeparator(), std::cout, std::cerr);
        PreparerProcessus();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argumentsQt = std::min(argc, 1); // the options are the command's, not Qt's
        QApplication application(argumentsQt, argv);
        const std::vector<std::string> sources = commande->fichiers;
        Cinetique::Rapports rapports;
        rapports.essai = EnregistrerCompteRenduEssai;
        rapports.classe = [&sources](const Classe::Synthese& synthese, const std::string& chemin) -> Issue<void> {
            try {
                RapportClasse::Enregistrer(chemin, synthese, {sources, std::chrono::system_clock::now()});
            } catch (const Exception& e) {
                return Echec{chemin + " : " + e.Message()};
            }
            return {};
        };
        return Cinetique::Executer(*commande, DecimalSeparator(), std::cout, std::cerr, rapports);
    }

    PreparerProcessus();
    // The virtual bench's settings, which the simulated card follows and the
    // window changes.
    const auto banc = std::make_shared<Banc::Reglages>();
    Issue<std::unique_ptr<LecteurTensions>> ouverture = OuvrirPorts(banc);

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
        return Cinetique::kCodeSourceRefusee;
    }

    const std::unique_ptr<LecteurTensions> source = std::move(ouverture).Valeur();
    TForm1 Form1(*source, boites);
    Form1.DossierJournal = Journal::DossierDuProcessus();
    // The settings kept between sessions (the class folder): the user's
    // nelvar/nelvar.ini, under $XDG_CONFIG_HOME or ~/.config.
    Form1.FichierReglages =
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("nelvar"), QStringLiteral("nelvar"))
            .fileName();
    // The caption names the source when it is not the real card: the
    // simulated card's demonstration must not pass for a measurement.
    Form1.setWindowTitle(QString::fromStdString(TitreFenetre(source->Description())));
    if (source->Description() == "carte simulée")
        Form1.BrancherBanc(banc);
    TAboutBox AboutBox(&Form1);
    Form1.MontrerAPropos = [&AboutBox] { AboutBox.exec(); };

    Form1.MontrerMaximisee();
    application.exec();
    return Cinetique::kCodeSucces;
}
