// The measurement run: Button1Click starts and stops it, Timer1Timer takes
// one point a second. Each step runs in the order below; a step that fails
// ends the handler there, and the run stays in the state reached.
#include "app/TRadioGroup.h"
#include "app/UPrincipal.h"
#include "chart/TChart.h"
#include "numtext/NumberText.h"
#include "runtime/CheckedFloat.h"
#include "runtime/Exceptions.h"
#include "runtime/qt/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace UPrincipal;

namespace {

// The card's read of each tick: 314 conversions of each channel at 15 700 Hz,
// a 20 ms window.
constexpr std::int32_t kEchantillons = 314;
constexpr double kFrequenceEchantillons = 15700.0;

// The limits of a plausible volume and temperature, and what replaces a value
// outside them at the first point of a run. The volume's limits, 0.05 L and
// 5 L, are converted to m³ exactly as the typed volume is (÷ 1000 in extended
// precision, then rounded to a double), so that typing either limit is
// accepted: the typed 5 L, back in litres (× 1000), would be 5 plus a
// rounding error, and refused.
const double kVolumeMinimal = Checked::ToDouble(0.05L / 1000);
const double kVolumeMaximal = Checked::ToDouble(5.0L / 1000);
constexpr double kVolumeParDefaut = 0.25 / 1000; // m³
constexpr double kTemperatureMaximale = 400;
constexpr double kTemperatureParDefaut = 293; // K

constexpr int kPrecisionTensions = 6;

long double Lire(const QLineEdit* champ)
{
    return ReadNumber(champ->text().toStdString());
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
    ++numeroMarche_;
    EnMarche = !EnMarche;
    if (EnMarche) {
        Timer1->start();
        if (!Timer1->isActive())
            throw EOutOfResources();
    } else {
        Timer1->stop();
    }

    if (!EnMarche) {
        // Stop: the charts, the table and the point count keep the run.
        Button1->setText(QStringLiteral("M&arche"));
        ActiverChamps(true);
        return;
    }

    Series1->ClearPoints();
    Series2->ClearPoints();
    NombreDePoints = 0;
    for (int ligne = 0; ligne < kPointsMax; ++ligne) {
        P->MesuresVoie1[ligne] = 0;
        P->MesuresVoie2[ligne] = 0;
        P->ModuleFFT[ligne] = 0;
    }
    Button1->setText(QStringLiteral("&Arrêt"));
    PEtMoinsP = RadioGroup1->ItemIndex() == 0;
    Coefficient = Checked::ToDouble(Lire(Edit3));
    Volume = Checked::ToDouble(Checked::Divide(Lire(Edit1), 1000.0L));
    Temperature = Checked::ToDouble(Checked::Add(Lire(Edit2), 273.0L));
    ActiverChamps(false);
}

void TForm1::Timer1Timer(QObject*)
{
    ++NombreDePoints;
    const bool limiteAtteinte = NombreDePoints > kPointsMax - 1;
    if (limiteAtteinte)
        Button1Click(this); // stops the run; this tick still records its point

    // The reading belongs to this tick's second, so it is taken before the
    // point limit's message, which may stay open for any time: read after
    // it, the last point would be a later pressure dated 1024 × Periode.
    P->MesurerTensions(kEchantillons, kFrequenceEchantillons);
    const double tensionVoie1 = P->TensionVoie1;
    const double tensionVoie2 = P->TensionVoie2;
    if (limiteAtteinte)
        boites_.ShowMessage("trop de points de mesure");

    Edit4->setText(QString::fromStdString(FormatGeneral(tensionVoie1, kPrecisionTensions)));
    Edit5->setText(QString::fromStdString(FormatGeneral(tensionVoie2, kPrecisionTensions)));

    const long double pression = CalculMesure::Pression(PEtMoinsP, tensionVoie1, tensionVoie2, Coefficient);
    Series1->AddPoint(Checked::ToDouble(Checked::Multiply(NombreDePoints, 1.00013L)),
                      Checked::ToDouble(Checked::Divide(pression, 100.0L)), "", clRed);

    const int ligne = NombreDePoints - 1;
    P->MesuresVoie1[ligne] = pression;
    P->ModuleFFT[ligne] = Checked::Divide(pression, Coefficient);

    if (NombreDePoints == 1) {
        if (Volume < kVolumeMinimal || Volume > kVolumeMaximal)
            Volume = kVolumeParDefaut;
        if (Temperature == 0 || Temperature > kTemperatureMaximale)
            Temperature = kTemperatureParDefaut; // a negative temperature is kept
        QuantiteInitiale = Checked::ToDouble(CalculMesure::Quantite(pression, Volume, Temperature));
    }

    // n is a double, as QuantiteInitiale is: the first point's avancement is
    // exactly 0.
    const double quantite = Checked::ToDouble(CalculMesure::Quantite(pression, Volume, Temperature));
    const long double avancement = Checked::Subtract(quantite, QuantiteInitiale);
    P->MesuresVoie2[ligne] = avancement;

    // The first point's avancement is 0 by construction: stored, not plotted.
    if (NombreDePoints > 1)
        Series2->AddPoint(Checked::ToDouble(Checked::Multiply(NombreDePoints, static_cast<long double>(Periode))),
                          Checked::ToDouble(avancement), "", clLime);
}
