// The three copy commands and the two save commands. Each is refused during
// a run, and when the last run recorded no point (before any run, or a run
// stopped before its first reading); otherwise a copy shows its note first,
// the export's time step is set to the tick period, and the card component's
// operation delivers the table of the last run in the command's layout.
#include "app/UPrincipal.h"
#include "runtime/Exceptions.h"
#include "runtime/qt/MessageBoxes.h"

using namespace UPrincipal;

bool TForm1::RefuserPendantMesure()
{
    if (!EnMarche)
        return false;
    boites_.ShowMessage("Veuillez attendre la fin de la mesure.");
    return true;
}

void TForm1::Exporter(const char* note, void (TDravoC::*operation)(std::uint16_t, std::uint8_t),
                      std::uint8_t disposition)
{
    if (RefuserPendantMesure())
        return;
    // The table text would stand a row of zeros for the missing point, a
    // measurement never made: nothing is copied or written, no file number
    // is taken, no dialog opens, and the table's own status message is shown.
    if (NombreDePoints() == 0)
        throw Exception(TDravoC::kNombreDePointsIncorrect);
    if (note)
        boites_.ShowMessage(note);
    P->Frequence = static_cast<double>(1.0L / Periode);
    ((*P).*operation)(static_cast<std::uint16_t>(NombreDePoints()), disposition);
}

void TForm1::Copier1Click(QObject*)
{
    Exporter("Veuillez noter que dans la deuxième colonne figurent des pressions en pascals et non des tensions",
             &TDravoC::CopierMesures, 0);
}

void TForm1::Copieravancement1Click(QObject*)
{
    Exporter("Veuillez noter que dans la deuxième colonne figurent des avancements en moles et non des tensions",
             &TDravoC::CopierMesures, 1);
}

void TForm1::CopiertensionenV1Click(QObject*)
{
    Exporter("Veuillez noter que dans la deuxième colonne figurent les tensions (voie 1 - voie 2)/2",
             &TDravoC::CopierMesures, 2);
}

void TForm1::Enregistrer1Click(QObject*)
{
    Exporter(nullptr, &TDravoC::EnregistrerMesures, 0);
}

void TForm1::EnregistrerSous1Click(QObject*)
{
    Exporter(nullptr, &TDravoC::EnregistrerMesuresSous, 0);
}
