#pragma once
// The lab report's composition, without drawing: what goes on each A4 page
// and where, in millimetres from the top-left corner of the page's printable
// area. Plain C++; rapport/DessinCompteRendu.h draws it.
//
// First page(s): the title, the lines describing the run (its name, date,
// source, conditions), the charts one under the other, the heading
// "Résultats" and one line per result (label, value). The charts are made
// lower (down to graphiqueMin) so that the results end on the first page; a
// block that still does not fit under the previous ones starts a new page.
// Every page ends with its foot, at the bottom of the area. Then, from a new page, the
// data table: on every page its columns of rows side by side (down the first
// column, then the next), each column under its own header row.
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace CompteRendu {

struct Contenu {
    std::string titre;
    std::vector<std::string> essai; // the run: name, date, source, conditions
    int graphiques = 0;             // the charts, drawn by the caller
    std::vector<std::pair<std::string, std::string>> resultats;
    std::array<std::string, 3> entetes; // the table's columns
    std::vector<std::array<std::string, 3>> tableau;
    std::string pied; // the run's name at the foot of every page
};

enum class Sorte {
    Titre,         // indice: none
    LigneEssai,    // indice: in essai
    Graphique,     // indice: the chart's number
    Intertitre,    // "Résultats" or "Tableau des mesures"; texte
    Resultat,      // indice: in resultats
    EnteteTableau, // a column's header row
    LigneTableau,  // indice: in tableau
    PiedDePage,    // texte: "N/M", the page's number and the pages' count
};

struct Bloc {
    Sorte sorte;
    int indice = 0;
    double x = 0, y = 0, largeur = 0, hauteur = 0; // mm
    std::string texte;                             // the headings' text
};

using Page = std::vector<Bloc>;

// The page and the sizes of its blocks (mm). A text line that is longer than
// `caracteres` characters (`caracteresResultat` for a result's value) takes
// several lines.
struct Gabarit {
    double largeur = 180, hauteur = 267; // A4 less 15 mm margins
    double titre = 12, ligne = 5.5, intertitre = 9, ecart = 4;
    double graphique = 72;
    double graphiqueMin = 45; // the charts shrink to this to keep the results on page 1
    double pied = 6;          // the foot of every page: the run's name, "N/M"
    double libelleResultat = 48; // the labels' column
    int caracteres = 105, caracteresResultat = 72;
    double ligneTableau = 4.8;
    int colonnesTableau = 3;
};

std::vector<Page> MiseEnPage(const Contenu& contenu, const Gabarit& gabarit = {});

// Rows of the table that one column of a page holds.
int LignesParColonne(const Gabarit& gabarit);

} // namespace CompteRendu
