#pragma once
// The lab report and the charts drawn on Qt's paint devices, and written to
// files completely or not at all.
//
// The report: A4 portrait, 15 mm margins, the pages of CompteRendu::MiseEnPage
// with the charts as vectors (chart/ChartCanvas.h), on any paged device: a
// PDF (QPdfWriter) or a printer (QPrinter, also the system's print dialog's).
// The charts are drawn for paper: white, without the window's bevel; their
// numbers, like the report's, with a decimal comma.
//
// A chart alone: PNG (w x h pixels at `ppp` pixels per inch: the chart is
// laid out on w x h x 96 / ppp pixels of the screen, then drawn that much
// finer), or SVG and PDF of w x h pixels at 96 per inch, lines as paths and
// texts as text, with no image inside.
//
// The files: the content is made in memory first, then written by
// FichierTexte::Remplacer (runtime/FichierTexte.h): an earlier file is
// replaced only once the new one is complete; EInOutError on failure, with
// nothing left behind.
#include "rapport/CompteRendu.h"

#include <QPageLayout>

#include <optional>
#include <string>
#include <vector>

class QFont;
class QPagedPaintDevice;
class QPainter;
class QRectF;
class TCustomChartPanel;

namespace CompteRendu {

// The reports write their numbers with the decimal comma whatever the
// window's setting: each text of a report passes it where the text is made.
inline constexpr char kSeparateurDecimal = ',';

// The reports' font (Liberation Sans, the one the package depends on, its
// missing superscripts from DejaVu Sans: chart/FontFallback.h) at
// `points` points.
QFont Police(double points, bool gras = false);

// The reports' page: margins, the PDF's resolution, and the pixel of the
// charts' layout (a 96-dpi screen's) as paper measures it.
inline constexpr double kMmParPouce = 25.4;
inline constexpr double kPixelsParPouce = 96;
inline constexpr double kMarge = 15; // mm
inline constexpr int kResolutionPdf = 1200;

// An A4 page in `orientation` with the reports' margins, `painter` begun on
// `device`: its drawable zone in millimetres and the device's units a
// millimetre; none when the device refused the painter.
struct FeuilleA4 {
    double mm = 0;
    double largeur = 0, hauteur = 0; // mm
};
std::optional<FeuilleA4> CommencerPage(QPagedPaintDevice& device, QPainter& painter, QPageLayout::Orientation orientation);

// Draws the report on `device`, the charts being contenu.graphiques of
// `graphiques`. Returns false when the device refused the painter (a
// printer that could not be opened).
bool Dessiner(QPagedPaintDevice& device, const Contenu& contenu, const std::vector<TCustomChartPanel*>& graphiques);

// The report as the bytes of a PDF file.
std::string Pdf(const Contenu& contenu, const std::vector<TCustomChartPanel*>& graphiques);

// Writes the report to the PDF file `chemin`. Throws EInOutError.
void EnregistrerPdf(const std::string& chemin, const Contenu& contenu,
                    const std::vector<TCustomChartPanel*>& graphiques);

enum class FormatImage { Png, Svg, Pdf };
// The format a file's name asks for, by its extension (any case); PNG for
// any other.
FormatImage FormatDuNom(const std::string& chemin);

inline constexpr int kPppParDefaut = 300;

// Draws `graphique` in `cadre` of `painter`, `echelle` painter units a pixel
// of the chart's layout, for paper.
void DessinerGraphique(TCustomChartPanel& graphique, QPainter& painter, const QRectF& cadre, double echelle);

// A chart's file content in each format.
std::string ImagePng(TCustomChartPanel& graphique, int largeur, int hauteur, int ppp);
std::string ImageSvg(TCustomChartPanel& graphique, int largeur, int hauteur, const std::string& titre);
std::string ImagePdf(TCustomChartPanel& graphique, int largeur, int hauteur, const std::string& titre);

// Writes `octets` to the file `chemin`. Throws EInOutError.
void Ecrire(const std::string& chemin, const std::string& octets);

} // namespace CompteRendu
