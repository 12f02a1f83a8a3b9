// The virtual bench in the main window: « Réaction simulée… » in the Analyse
// menu while the simulated card is the source, its settings remembered
// between sessions, said in the caption and in each run's journal, and
// copied into the window's fields on request (never behind the student's
// back: with real hardware, the student types them).
#include "app/TitreApplication.h"
#include "app/UPrincipal.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"
#include "runtime/qt/MessageBoxes.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

#include <array>

namespace {

// One setting: its key in the settings file, its label, its member.
struct Reglage {
    const char* cle;
    const char* libelle;
    double Banc::Reaction::*membre;
};
constexpr std::array<Reglage, 5> kReglages{{
    {"banc/temperature", "Température du bain (°C) :", &Banc::Reaction::temperature},
    {"banc/concentration", "[H2O2]0, eau oxygénée (mol/L) :", &Banc::Reaction::concentration},
    {"banc/catalyseur", "[I-], ions iodure (mol/L) :", &Banc::Reaction::catalyseur},
    {"banc/volumeSolution", "Volume de la solution (mL) :", &Banc::Reaction::volumeSolution},
    {"banc/volumeGaz", "Volume du gaz dans le flacon (mL) :", &Banc::Reaction::volumeGaz},
}};

// A value as the dialog and the fields show it: four significant digits,
// with the program's decimal separator. The one place where the bench's
// window formats a number.
QString TexteValeur(double valeur)
{
    return QString::fromStdString(FormatGeneral(valeur, 4, DecimalSeparator()));
}

} // namespace

void TForm1::BrancherBanc(std::shared_ptr<Banc::Reglages> banc)
{
    banc_ = std::move(banc);
    if (!banc_)
        return;
    // The menu's entry exists with the simulated card only.
    if (!Reactionsimulee1) {
        Reactionsimulee1 = Analyse1->addAction(QStringLiteral("&Réaction simulée…"));
        connect(Reactionsimulee1, &QAction::triggered, this,
                [this] { Executer(&TForm1::Reactionsimulee1Click, Reactionsimulee1); });
    }
    if (!FichierReglages.isEmpty()) {
        const QSettings fichier(FichierReglages, QSettings::IniFormat);
        Banc::Reaction lue;
        for (const Reglage& r : kReglages)
            lue.*r.membre = fichier.value(QString::fromLatin1(r.cle), lue.*r.membre).toDouble();
        // A file edited by hand out of bounds keeps the defaults.
        if (!Banc::Erreur(lue))
            banc_->Regler(lue);
    }
    MontrerBanc();
}

void TForm1::MontrerBanc()
{
    if (!banc_)
        return;
    setWindowTitle(QString::fromStdString(TitreFenetre(P->Source().Description()) + " — "
                                          + Banc::Texte(banc_->Lire())));
}

std::string TForm1::TexteBanc() const
{
    return banc_ ? Banc::Texte(banc_->Lire()) : std::string();
}

void TForm1::Reactionsimulee1Click(QObject*)
{
    if (!banc_)
        return;
    QDialog dialogue(this);
    dialogue.setWindowTitle(QStringLiteral("Réaction simulée"));
    auto* disposition = new QFormLayout(&dialogue);
    const Banc::Reaction actuelle = banc_->Lire();
    std::array<QLineEdit*, kReglages.size()> champs{};
    for (std::size_t i = 0; i < kReglages.size(); ++i) {
        champs[i] = new QLineEdit(TexteValeur(actuelle.*kReglages[i].membre), &dialogue);
        disposition->addRow(QString::fromUtf8(kReglages[i].libelle), champs[i]);
    }
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogue);
    QPushButton* reporter =
        boutons->addButton(QStringLiteral("Reporter θ et V gaz dans la fenêtre"), QDialogButtonBox::ActionRole);
    disposition->addRow(boutons);

    // The settings typed, checked; none (with the message shown) when one is wrong.
    auto lire = [&]() -> std::optional<Banc::Reaction> {
        Banc::Reaction reaction;
        for (std::size_t i = 0; i < kReglages.size(); ++i) {
            // A value left as shown keeps all its digits (the default
            // peroxide's 0,1231 stands for 0,12308...).
            if (champs[i]->text() == TexteValeur(actuelle.*kReglages[i].membre)) {
                reaction.*kReglages[i].membre = actuelle.*kReglages[i].membre;
                continue;
            }
            try {
                reaction.*kReglages[i].membre = Cinetique::LireNombreVirguleOuPoint(champs[i]->text().trimmed().toStdString());
            } catch (const Exception&) {
                boites_.ShowMessage("« " + champs[i]->text().toStdString() + " » n'est pas un nombre.");
                champs[i]->setFocus();
                return std::nullopt;
            }
        }
        if (const std::optional<std::string> erreur = Banc::Erreur(reaction)) {
            boites_.ShowMessage(*erreur);
            return std::nullopt;
        }
        return reaction;
    };
    connect(boutons, &QDialogButtonBox::accepted, &dialogue, [&] {
        if (const std::optional<Banc::Reaction> reaction = lire()) {
            ReglerBanc(*reaction);
            dialogue.accept();
        }
    });
    connect(boutons, &QDialogButtonBox::rejected, &dialogue, &QDialog::reject);
    // The one click that copies the bath's temperature and the flask's gas
    // volume into the window's fields (in L), for the next run.
    connect(reporter, &QPushButton::clicked, &dialogue, [&] {
        if (UPrincipal::EnMarche) {
            boites_.ShowMessage("Arrêtez la mesure avant de changer les champs de la fenêtre.");
            return;
        }
        if (const std::optional<Banc::Reaction> reaction = lire()) {
            Edit1->setText(TexteValeur(reaction->volumeGaz / 1000));
            Edit2->setText(TexteValeur(reaction->temperature));
        }
    });
    dialogue.exec();
}

void TForm1::ReglerBanc(const Banc::Reaction& reaction)
{
    banc_->Regler(reaction);
    if (!FichierReglages.isEmpty()) {
        QSettings fichier(FichierReglages, QSettings::IniFormat);
        for (const Reglage& r : kReglages)
            fichier.setValue(QString::fromLatin1(r.cle), reaction.*r.membre);
        fichier.sync();
    }
    MontrerBanc();
}
