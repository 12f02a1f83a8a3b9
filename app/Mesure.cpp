// The measurement run: Button1Click starts and stops it, Timer1Timer takes
// one point a second. A start reads and checks its fields before it changes
// anything; in a tick, a step that fails ends the handler there, and the run
// stays in the state reached.
#include "acquisition/Clocks.h"
#include "analyse/AnalyseEssai.h"
#include "workers/LecturesEnFond.h"
#include "journal/JournalEnFond.h"
#include "widgets/TRadioGroup.h"
#include "app/UPrincipal.h"
#include "chart/TChart.h"
#include "kinetics/ConditionsMesure.h"
#include "numtext/NumberText.h"
#include "runtime/CheckedFloat.h"
#include "runtime/Exceptions.h"
#include "runtime/qt/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <exception>

using namespace UPrincipal;

namespace {

// The card's read of each tick: 314 conversions of each channel at 15 700 Hz,
// a 20 ms window.
constexpr std::int32_t kEchantillons = 314;
constexpr double kFrequenceEchantillons = 15700.0;

constexpr int kPrecisionTensions = 6;

long double Lire(const QLineEdit* champ)
{
    return ReadNumber(champ->text().toStdString());
}

// Reads a field and checks its value with `valeur` (which converts it and
// raises when it is refused). On any failure the field takes the focus with
// its text selected, ready to be corrected once the error box is closed, and
// the error goes on to the box.
template <typename Valeur>
double LireChamp(QLineEdit* champ, Valeur valeur)
{
    try {
        return valeur(Lire(champ));
    } catch (...) {
        champ->setFocus(Qt::OtherFocusReason);
        champ->selectAll();
        throw;
    }
}

double CoefficientNonNul(long double lu)
{
    const double coefficient = Checked::ToDouble(lu);
    if (coefficient == 0)
        throw Exception("Le coefficient ne doit pas être nul.");
    return coefficient;
}

} // namespace

// The fields a run reads at its start: greyed during the run.
void TForm1::ActiverChamps(bool actifs)
{
    for (QWidget* champ : {static_cast<QWidget*>(RadioGroup1), static_cast<QWidget*>(Edit1),
                           static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3)})
        champ->setEnabled(actifs);
}

void TForm1::Button1Click(QObject*)
{
    if (EnMarche) {
        // Stop: the charts, the table and the point count keep the run. The
        // reading under way ends first; its result, queued after, is dropped.
        AttendreLecture();
        ++numeroMarche_;
        EnMarche = false;
        Timer1->stop();
        Button1->setText(QStringLiteral("M&arche"));
        ActiverChamps(true);
        // The run's end is told once this event is over (its journal then
        // ends its writing, and its copy in the class folder gets the last
        // lines): a stop at the point limit still records this tick's point.
        if (essai_)
            QMetaObject::invokeMethod(this, [essai = essai_] { essai->Terminer(); }, Qt::QueuedConnection);
        return;
    }

    // Start. The three fields are read and checked first, in this order; the
    // first one refused ends the start before anything has changed: no
    // timer, the previous run's charts, table and count kept.
    const double coefficient = LireChamp(Edit3, CoefficientNonNul);
    // The volume and the temperature: the limits of a plausible run, shared
    // with the kinetic analysis.
    const double volume = LireChamp(Edit1, ConditionsMesure::VolumeEnM3);
    const double temperature = LireChamp(Edit2, ConditionsMesure::TemperatureEnK);

    ++numeroMarche_;
    ++numeroEssai_;
    debutEssai_ = std::chrono::system_clock::now();
    EnMarche = true;
    Timer1->start();
    if (!Timer1->isActive())
        throw EOutOfResources();

    Series1->ClearPoints();
    Series2->ClearPoints();
    for (int ligne = 0; ligne < kPointsMax; ++ligne) {
        P->MesuresVoie1[ligne] = 0;
        P->MesuresVoie2[ligne] = 0;
        P->ModuleFFT[ligne] = 0;
    }
    UDravoC::OublierDernierFichier();
    Button1->setText(QStringLiteral("&Arrêt"));
    PEtMoinsP = RadioGroup1->ItemIndex() == 0;
    Coefficient = coefficient;
    Volume = volume;
    Temperature = temperature;
    CommencerEssai(true);
    ActiverChamps(false);
}

void TForm1::CommencerEssai(bool avecJournal)
{
    // The real card's description is empty: its caption is the plain one,
    // the journal and the analysis name it.
    std::string source = P->Source().Description();
    if (source.empty())
        source = "carte d'acquisition";
    essai_ = std::make_shared<Essai>(
        ConditionsEssai{debutEssai_, source, Volume * 1000, Temperature - ConditionsMesure::kZeroAbsolu, Coefficient,
                        PEtMoinsP, NomDeLaMachine()});

    // The result table: pressure, extent and voltage ratio in the reading's row.
    essai_->Observer([this](const Essai& essai, const LectureEssai& lecture) {
        const auto ligne = static_cast<std::size_t>(lecture.rang);
        P->MesuresVoie1[ligne] = lecture.pression;
        P->ModuleFFT[ligne] = Checked::Divide(lecture.pression, *essai.Conditions().coefficient);
        if (lecture.avancement)
            P->MesuresVoie2[ligne] = *lecture.avancement;
    });
    // The charts: the pressure in hPa, and the extent from the second point
    // on (the first point's is 0 by construction: stored, not plotted).
    essai_->Observer([this](const Essai&, const LectureEssai& lecture) {
        const int point = lecture.rang + 1;
        Series1->AddPoint(Checked::ToDouble(Checked::Multiply(point, 1.00013L)),
                          Checked::ToDouble(Checked::Divide(lecture.pression, 100.0L)), "", clRed);
        if (lecture.avancement && point > 1)
            Series2->AddPoint(Checked::ToDouble(Checked::Multiply(point, static_cast<long double>(Periode))),
                              Checked::ToDouble(*lecture.avancement), "", clLime);
    });

    // The journal: its header says the run's conditions as the analysis
    // takes them (L and °C); each whole reading's line is on the disk before
    // the next tick. Its failure is told once a run; the run goes on.
    journal_.reset();
    if (!avecJournal || DossierJournal.empty())
        return;
    const ConditionsEssai& entete = essai_->Conditions();
    auto ecrivain = std::make_unique<Journal::Ecrivain>(DossierJournal, entete);
    if (lectures_) {
        // On a thread of its own: a slow disk delays neither the readings
        // nor the window. The earlier run's journal ends its writing alone.
        if (journalEnFond_) {
            journalEnFond_->Fermer();
            journauxFinissant_.push_back(std::move(journalEnFond_));
        }
        // The copy in the class folder, when there is one: by a thread of
        // its own beside the journal's, its failures told as the journal's.
        Journal::EnFond::Copie copie;
        if (const Journal::DossierDeLaClasse classe = DossierClasse(); !classe.chemin.empty())
            copie.copie = std::make_unique<Journal::CopieClasse>(classe.chemin, entete);
        journalEnFond_ = std::make_unique<Journal::EnFond>(
            std::move(ecrivain),
            Journal::EnFond::Rappels{
                [this](const std::string& message) {
                    QMetaObject::invokeMethod(
                        this, [this, message] { garde_.Run([this, &message] { boites_.ShowMessage(message); }); },
                        Qt::QueuedConnection);
                },
                [this](const std::string& chemin) {
                    QMetaObject::invokeMethod(
                        this, [this, chemin] { journauxSession_.push_back(chemin); }, Qt::QueuedConnection);
                }},
            std::move(copie));
        Journal::EnFond* journal = journalEnFond_.get();
        essai_->Observer(
            {[journal](const Essai&, const LectureEssai& lecture) {
                 if (lecture.avancement)
                     journal->Ajouter({lecture.tempsTick, lecture.tempsReel, static_cast<double>(lecture.pression),
                                       static_cast<double>(*lecture.avancement), lecture.tension1,
                                       lecture.tension2});
             },
             [this, journal](const Essai&) {
                 if (journalEnFond_.get() == journal)
                     journauxFinissant_.push_back(std::move(journalEnFond_));
                 journal->Fermer();
             }},
            Essai::Rang::Journal);
        return;
    }
    journal_ = std::move(ecrivain);
    essai_->Observer([this](const Essai&, const LectureEssai& lecture) {
        if (!lecture.avancement)
            return;
        const std::optional<std::string> echec =
            journal_->Ajouter({lecture.tempsTick, lecture.tempsReel, static_cast<double>(lecture.pression),
                               static_cast<double>(*lecture.avancement), lecture.tension1, lecture.tension2});
        if (!journal_->Chemin().empty()
            && (journauxSession_.empty() || journauxSession_.back() != journal_->Chemin()))
            journauxSession_.push_back(journal_->Chemin());
        if (echec)
            boites_.ShowMessage(*echec);
    }, Essai::Rang::Journal);
}

void TForm1::MesurerEnFond()
{
    if (lectures_)
        return;
    lectures_ = std::make_unique<LecturesEnFond>(
        [this] { return LireTensions(); },
        [this](TensionsLues lues) {
            // A reading asked before a stop or a new start records nothing.
            if (lues.marche != numeroMarche_)
                return;
            garde_.Run([this, &lues] { PrendreLecture(lues); }, HandlerGuard::Source::Tick);
            SuivreMesure();
        },
        this);
}

void TForm1::AttendreLecture()
{
    if (lectures_)
        lectures_->Attendre();
}

TensionsLues TForm1::LireTensions()
{
    P->MesurerTensions(kEchantillons, kFrequenceEchantillons);
    MonotonicClock monotone;
    return {numeroMarche_, P->TensionVoie1, P->TensionVoie2, (HorlogeLectures ? *HorlogeLectures : monotone).Now(),
            nullptr};
}

void TForm1::Timer1Timer(QObject*)
{
    // In the background, the reading's result comes back as an event of its
    // own (MesurerEnFond), and the tick is over.
    if (lectures_) {
        lectures_->Demander(numeroMarche_);
        return;
    }
    TensionsLues lues;
    try {
        lues = LireTensions();
    } catch (...) {
        lues.echec = std::current_exception();
    }
    PrendreLecture(lues);
}

void TForm1::PrendreLecture(const TensionsLues& lues)
{
    // The reading comes first. One that fails records nothing (no point, no
    // row, no count) and stops the run as "Arrêt" does: its error is shown
    // once, no later tick repeats it, and the points taken before stay, to be
    // copied or saved.
    if (lues.echec) {
        try {
            std::rethrow_exception(lues.echec);
        } catch (const ELectureImpossible&) {
            if (EnMarche)
                Button1Click(this);
            throw;
        }
    }
    const double tensionVoie1 = lues.tension1;
    const double tensionVoie2 = lues.tension2;
    const std::chrono::nanoseconds instant = lues.instant;

    // The reading belongs to this tick's second, so it is taken before the
    // point limit's message, which may stay open for any time: read after
    // it, the last point would be a later pressure dated 1024 × Periode.
    if (!essai_)
        CommencerEssai(false); // a tick with no run started records on the unit's run state, unjournaled
    const int ligne = essai_->Nombre();
    if (ligne == 0)
        premiereLecture_ = instant;
    const double tempsReel = std::chrono::duration<double>(instant - premiereLecture_).count();
    if (ligne + 1 > kPointsMax - 1) {
        Button1Click(this); // stops the run; this tick still records its point
        boites_.ShowMessage("trop de points de mesure");
    }

    Edit4->setText(QString::fromStdString(FormatGeneral(tensionVoie1, kPrecisionTensions)));
    Edit5->setText(QString::fromStdString(FormatGeneral(tensionVoie2, kPrecisionTensions)));

    // A pressure that cannot be computed records nothing.
    LectureEssai lecture{ligne, DateDeLigne(ligne), tempsReel, tensionVoie1, tensionVoie2,
                         CalculMesure::Pression(PEtMoinsP, tensionVoie1, tensionVoie2, Coefficient), std::nullopt,
                         std::nullopt};

    // The volume and the temperature were checked at the start. An amount
    // that cannot be computed leaves the reading without its extent: the
    // pressure is recorded and plotted, then the error is shown. The run
    // takes the first reading's amount as the one the extents start from.
    std::exception_ptr echec;
    try {
        lecture.quantite = Checked::ToDouble(CalculMesure::Quantite(lecture.pression, Volume, Temperature));
    } catch (const Exception&) {
        echec = std::current_exception();
    }

    essai_->Ajouter(std::move(lecture));
    if (echec)
        std::rethrow_exception(echec);
}
