#pragma once
// A run's lab report (rapport/CompteRendu.h, drawn by
// rapport/DessinCompteRendu.h) made from its analysis: the text of its
// pages, and the whole report with its two charts, for the command line
//   nelvar --rapport OUT.pdf ... FILE
// which draws the charts (rapport/GraphiquesEssai.h) without showing them.
#include "rapport/CompteRendu.h"

#include <string>

class AnalyseEssai;

// The report's text for an analysed run: title, run, conditions, results,
// table (t, p, x in mmol), numbers with a decimal comma.
CompteRendu::Contenu ContenuCompteRendu(const AnalyseEssai& analyse);

// Writes the report of `analyse` as a PDF at `chemin`, its charts made and
// filled here (a QApplication must exist): the extent, then the volumetric
// rate, or the first-order test when there is no rate (no V and T). The file
// is written completely or not at all; raises EInOutError.
void EnregistrerCompteRenduEssai(const AnalyseEssai& analyse, const std::string& chemin);
