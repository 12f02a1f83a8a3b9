// The measurement run: Button1Click starts and stops it, Timer1Timer takes
// one point a second. A start reads and checks its fields before it changes
// anything; in a tick, a step that fails ends the handler there, and the run
// stays in the state reached.
#include "acquisition/Clocks.h"
#include "analyse/AnalyseEssai.h"
#include "workers/Acquisition.h"
#include "widgets/TRadioGroup.h"
#include "app/UPrincipal.h"
#include "chart/TChart.h"
#include "kinetics/ConditionsMesure.h"
#include "kinetics/Constantes.h"
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
    return ReadNumber(champ->text().toStdString(), DecimalSeparator());
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
        // result of a reading under way, sent after, is dropped.
        ++numeroMarche_;
        EnMarche = false;
        Timer1->stop();
        Button1->setText(QStringLiteral("M&arche"));
        ActiverChamps(true);
        // The run's end is told once this event is over: its journal then
        // ends its writing on the acquisition's thread, and a stop at the
        // point limit still journals this tick's point.
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
    essai_ = std::make_shared<Essai>(ConditionsEssai{debutEssai_, source, Volume * Constantes::kLitresParM3,
                                                     Temperature - Constantes::kZeroCelsiusEssai, Coefficient,
                                                     PEtMoinsP, NomDeLaMachine(), TexteBanc()});

    // The journal, told first by the run: a view's failure (a chart's)
    // never skips its line. The acquisition's worker holds it from now to
    // the run's end; its header says the run's conditions (L and °C), each
    // whole reading's line is written on the journal's thread, in order. Its
    // failure is told once a run; the run goes on.
    if (avecJournal && !DossierJournal.empty()) {
        const ConditionsEssai& entete = essai_->Conditions();
        // The copy in the class folder, when there is one, on a thread of
        // its own beside the journal's, its failures told as the journal's.
        std::unique_ptr<Journal::CopieClasse> copie;
        if (const Journal::DossierDeLaClasse classe = DossierClasse(); !classe.chemin.empty())
            copie = std::make_unique<Journal::CopieClasse>(classe.chemin, entete);
        const auto numero = static_cast<std::uint64_t>(numeroEssai_);
        lectures_->CommencerJournal(numero, std::make_unique<Journal::Ecrivain>(DossierJournal, entete),
                                    std::move(copie));
        essai_->Observer({[this](const Essai&, const LectureEssai& lecture) {
                              if (lecture.avancement)
                                  lectures_->Journaliser({lecture.tempsTick, lecture.tempsReel,
                                                          static_cast<double>(lecture.pression),
                                                          static_cast<double>(*lecture.avancement),
                                                          lecture.tension1, lecture.tension2});
                          },
                          // The run's end releases its journal on the worker.
                          [this, numero](const Essai&) { lectures_->FinirJournal(numero); }},
                         Essai::Rang::Journal);
    }

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
}

void TForm1::Timer1Timer(QObject*)
{
    // The reading is asked and the tick is over: its result comes back as
    // an event of its own (RecevoirLecture).
    lectures_->Demander({numeroMarche_, kEchantillons, kFrequenceEchantillons, HorlogeLectures});
}

void TForm1::RecevoirLecture(const TensionsLues& lues)
{
    // A reading asked before a stop or a new start records nothing.
    if (lues.marche != numeroMarche_)
        return;
    garde_.Run([this, &lues] { PrendreLecture(lues); }, HandlerGuard::Source::Tick);
    SuivreMesure();
}

void TForm1::PrendreLecture(const TensionsLues& lues)
{
    // The card component's status, as the acquisition's component left it.
    P->TensionVoie1 = lues.tension1;
    P->TensionVoie2 = lues.tension2;
    P->Frequence = lues.frequence;
    P->Duree = lues.duree;
    P->CodeErreur = lues.code;
    P->MessageErreur = lues.message;

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
    Edit4->setText(QString::fromStdString(FormatGeneral(tensionVoie1, kPrecisionTensions, DecimalSeparator())));
    Edit5->setText(QString::fromStdString(FormatGeneral(tensionVoie2, kPrecisionTensions, DecimalSeparator())));

    if (!essai_)
        CommencerEssai(false); // a tick with no run started records on the unit's run state, unjournaled

    // The point is computed into the run: its row is the run's count of
    // readings, and nothing moves before the pressure is known (a pressure
    // that cannot be computed records nothing).
    const int ligne = essai_->Nombre();
    if (ligne == 0)
        premiereLecture_ = lues.instant;
    const double tempsReel = std::chrono::duration<double>(lues.instant - premiereLecture_).count();
    LectureEssai lecture{ligne, DateDeLigne(ligne), tempsReel, tensionVoie1, tensionVoie2,
                         CalculMesure::Pression(PEtMoinsP, tensionVoie1, tensionVoie2, Coefficient), std::nullopt,
                         std::nullopt};

    // The reading belongs to this tick's second, so it is taken before the
    // point limit's message, which may stay open for any time; the run ends
    // with its 1024th point, still recorded below.
    if (ligne + 1 > kPointsMax - 1) {
        Button1Click(this);
        boites_.ShowMessage("trop de points de mesure");
    }

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

    // The run keeps the reading whatever its observers do; the point count
    // is the run's.
    essai_->Ajouter(std::move(lecture));
    if (echec)
        std::rethrow_exception(echec);
}
