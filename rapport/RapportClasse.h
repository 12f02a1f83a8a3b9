#pragma once
// The class report: a PDF (A4 landscape, 15 mm margins, vector) of a class
// synthesis (classe/SyntheseClasse.h). First the title, the folder, the
// factor studied and the count of runs; then the table, the very rows the
// command line writes (Classe::Cellules, with a decimal comma), in a
// small font whose columns fit the page's width (each cell cut to its
// column, the remark wrapped over several lines); the files left out and
// why; the conclusions, each value rounded to its standard uncertainty
// (Classe::TexteArrondi); then the
// charts (rapport/GraphiquesSynthese.h), drawn off-screen, two a page: k and t½ against the factor,
// the Arrhenius line, the runs' curves overlaid. Every page ends with its
// number, "N/M". The synthesis window saves it, and so does
//   nelvar --classe --pdf SORTIE.pdf DOSSIER|FICHIER...
#include "classe/SyntheseClasse.h"

#include <chrono>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace RapportClasse {

// What the first page says of the synthesis besides its table: the folders
// or files read, and when it was made.
struct EnTete {
    std::vector<std::string> sources;
    std::chrono::system_clock::time_point moment;
};

// Draws it on `device`, its charts filled from `synthese` and drawn without
// a window. False when the device refused the painter.
bool Dessiner(QPagedPaintDevice& device, const Classe::Synthese& synthese, const EnTete& entete);

// The report as the bytes of a PDF file.
std::string Pdf(const Classe::Synthese& synthese, const EnTete& entete);

// The command line's: the file written completely or not at all (a
// QGuiApplication must exist, for the fonts). Raises EInOutError.
void Enregistrer(const std::string& chemin, const Classe::Synthese& synthese, const EnTete& entete);

} // namespace RapportClasse
