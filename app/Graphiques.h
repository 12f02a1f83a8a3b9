#pragma once
// The charts the program's windows make: two-dimensional, titled, with a
// clear back wall, animated zoom, and no keyboard focus (every command has its
// own key). The main window's charts have no legend; the analysis window's
// show their titled series in one.
class QWidget;
class TChart;

TChart* NouveauGraphique(QWidget* parent, const char* titre, const char* titreAbscisses,
                         const char* titreOrdonnees, bool legende);
