#include "rapport/GraphiquesSynthese.h"

#include "analyse/AnalyseEssai.h"
#include "widgets/Graphiques.h"
#include "chart/TCustomChart.h"
#include "chart/TFastLineSeries.h"
#include "chart/TPointSeries.h"
#include "kinetics/Constantes.h"
#include "numtext/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHectopascal = 100;       // Pa in a hPa
constexpr int kLegendeMax = 12;
constexpr double kMarge = 0.08;            // of the points' span, around them
constexpr int kTaillePoint = 4;            // more curves than this: no legend (it would hide them)

constexpr TColor kCouleurPoints = SeriesPaletteColor(0);
constexpr TColor kCouleurDroite = SeriesPaletteColor(1);

// The line y = a + b·x across [x0, x1]; empty without a line or points.
void TracerDroite(TFastLineSeries& serie, const std::optional<Classe::Droite>& droite, const TPointSeries& points)
{
    serie.ClearPoints();
    if (!droite || points.Count() == 0)
        return;
    for (const double x : {points.MinXValue(), points.MaxXValue()})
        serie.AddPoint(x, droite->ordonnee + droite->pente * x, "", ColorAuto);
}

// The axes fixed around the points and their line, with a margin so that no
// point sits on the frame; automatic when there is none.
void Cadrer(TCustomChart& graphique, const TChartSeries& points, const TChartSeries& droite)
{
    if (points.Count() == 0) {
        graphique.BottomAxis().SetAutomatic(true);
        graphique.LeftAxis().SetAutomatic(true);
        return;
    }
    auto fixer = [](TChartAxis& axe, double a, double b) {
        double marge = (b - a) * kMarge;
        if (marge <= 0)
            marge = std::max(std::abs(a) * kMarge, 1e-9);
        axe.SetMinMax(a - marge, b + marge);
        // About five labels: a step of 1, 2 or 5 times a power of ten.
        const double brut = (b - a + 2 * marge) / 5;
        const double puissance = std::pow(10, std::floor(std::log10(brut)));
        const double pas = brut / puissance < 2 ? 1 : brut / puissance < 5 ? 2 : 5;
        axe.SetIncrement(pas * puissance);
    };
    fixer(graphique.BottomAxis(), points.MinXValue(), points.MaxXValue());
    double bas = points.MinYValue(), haut = points.MaxYValue();
    if (droite.Count() > 0) {
        bas = std::min(bas, droite.MinYValue());
        haut = std::max(haut, droite.MaxYValue());
    }
    fixer(graphique.LeftAxis(), bas, haut);
}

// The short name of a run for the legend: its bench, else its file's name.
std::string NomCourt(const Classe::EssaiClasse& essai, char separateur)
{
    std::string nom = essai.conditions.poste.empty() ? essai.nom : essai.conditions.poste;
    if (essai.conditions.temperature)
        nom += ", θ = " + FormatGeneral(*essai.conditions.temperature, 3, separateur) + " °C";
    return nom;
}

} // namespace

GraphiquesSynthese::GraphiquesSynthese(TCustomChart& k, TCustomChart& tDemi, TCustomChart& arrhenius,
                                       TCustomChart& courbes)
    : GraphiqueK(k), GraphiqueTDemi(tDemi), GraphiqueArrhenius(arrhenius), GraphiqueCourbes(courbes)
{
    PreparerGraphique(GraphiqueK, "k selon le facteur étudié", "Facteur", "k en s⁻¹", true);
    PointsK = NouvelleSerie<TPointSeries>(GraphiqueK, kCouleurPoints, "Essais");
    PointsK->SetPointSize(kTaillePoint);
    DroiteK = NouvelleSerie<TFastLineSeries>(GraphiqueK, kCouleurDroite, "Droite ajustée");
    PreparerGraphique(GraphiqueTDemi, "t½ selon le facteur étudié", "Facteur", "t½ en s", true);
    PointsTDemi = NouvelleSerie<TPointSeries>(GraphiqueTDemi, kCouleurPoints, "Essais");
    PointsTDemi->SetPointSize(kTaillePoint);
    DroiteTDemi = NouvelleSerie<TFastLineSeries>(GraphiqueTDemi, kCouleurDroite, "Droite ajustée");
    PreparerGraphique(GraphiqueArrhenius, "Loi d'Arrhenius : ln k selon 1/T", "1/T en K⁻¹", "ln k (k en s⁻¹)",
                      true);
    PointsArrhenius = NouvelleSerie<TPointSeries>(GraphiqueArrhenius, kCouleurPoints, "Essais");
    PointsArrhenius->SetPointSize(kTaillePoint);
    DroiteArrhenius = NouvelleSerie<TFastLineSeries>(GraphiqueArrhenius, kCouleurDroite, "Droite ajustée");
    PreparerGraphique(GraphiqueCourbes, "Les essais superposés", "Temps depuis le début de l'essai en s",
                      "Avancement en mmol", true);
    // The titles say what the points and the line are: no legend over them.
    for (TCustomChart* g : {&GraphiqueK, &GraphiqueTDemi, &GraphiqueArrhenius})
        g->Legend().SetVisible(false);
}

void GraphiquesSynthese::Remplir(const Classe::Synthese& synthese, char separateur)
{
    // The factor's charts.
    const bool facteur = !synthese.facteur.nom.empty();
    facteurNomme_ = facteur;
    std::string axe = synthese.facteur.nom;
    if (!synthese.facteur.unite.empty())
        axe += " en " + synthese.facteur.unite;
    for (TCustomChart* g : {&GraphiqueK, &GraphiqueTDemi})
        g->BottomAxis().Title().SetCaption(facteur ? axe : "Facteur (à nommer)");
    for (TChartSeries* s : {static_cast<TChartSeries*>(PointsK), static_cast<TChartSeries*>(PointsTDemi),
                            static_cast<TChartSeries*>(PointsArrhenius)}) {
        s->SetActive(false); // filled without a repaint a point
        s->ClearPoints();
    }
    for (const Classe::EssaiClasse& e : synthese.essais) {
        const Cinetique::Resultat& r = e.resultat;
        if (!r.determine)
            continue;
        if (facteur && e.facteur) {
            PointsK->AddPoint(*e.facteur, r.k, "", ColorAuto);
            PointsTDemi->AddPoint(*e.facteur, r.tDemi, "", ColorAuto);
        }
        if (e.conditions.temperature && r.k > 0)
            PointsArrhenius->AddPoint(Classe::InverseTemperature(*e.conditions.temperature), std::log(r.k), "",
                                      ColorAuto);
    }
    TracerDroite(*DroiteK, facteur ? synthese.kSelonFacteur : std::nullopt, *PointsK);
    TracerDroite(*DroiteTDemi, facteur ? synthese.tDemiSelonFacteur : std::nullopt, *PointsTDemi);
    TracerDroite(*DroiteArrhenius, synthese.arrhenius, *PointsArrhenius);
    Cadrer(GraphiqueK, *PointsK, *DroiteK);
    Cadrer(GraphiqueTDemi, *PointsTDemi, *DroiteTDemi);
    Cadrer(GraphiqueArrhenius, *PointsArrhenius, *DroiteArrhenius);
    for (TChartSeries* s : {static_cast<TChartSeries*>(PointsK), static_cast<TChartSeries*>(PointsTDemi),
                            static_cast<TChartSeries*>(PointsArrhenius)})
        s->SetActive(true);

    // The curves: extents when every run's V and T are known, else pressures.
    const bool avancements =
        std::all_of(synthese.essais.begin(), synthese.essais.end(), [](const Classe::EssaiClasse& e) {
            return e.conditions.volume && e.conditions.temperature;
        });
    GraphiqueCourbes.LeftAxis().Title().SetCaption(avancements ? "Avancement en mmol" : "Pression en hPa");
    while (courbes_.size() < synthese.essais.size())
        courbes_.push_back(GraphiqueCourbes.AddSeries<TFastLineSeries>());
    for (std::size_t n = 0; n < courbes_.size(); ++n) {
        TFastLineSeries* serie = courbes_[n];
        serie->SetActive(false);
        serie->ClearPoints();
        if (n >= synthese.essais.size())
            continue;
        const Classe::EssaiClasse& e = synthese.essais[n];
        serie->SetSeriesColor(SeriesPaletteColor(static_cast<int>(n)));
        serie->SetTitle(NomCourt(e, separateur));
        if (!e.points.empty()) {
            const double origine = e.points.front().t;
            if (avancements) {
                // The analysis window's own extent: (p − p of the first point)·V/(R·T).
                AnalyseEssai analyse;
                DonneesEssai donnees;
                donnees.points = e.points;
                donnees.volume = e.conditions.volume;
                donnees.temperature = e.conditions.temperature;
                analyse.SetDonnees(std::move(donnees));
                for (int i = 0; i < analyse.Points(); ++i)
                    if (const auto x = analyse.Avancement(i))
                        serie->AddPoint(e.points[static_cast<std::size_t>(i)].t - origine, *x * Constantes::kMmolParMol, "",
                                        ColorAuto);
            } else {
                for (const Cinetique::Point& p : e.points)
                    serie->AddPoint(p.t - origine, p.p / kHectopascal, "", ColorAuto);
            }
        }
        serie->SetActive(true);
    }
    GraphiqueCourbes.Legend().SetVisible(synthese.essais.size() <= static_cast<std::size_t>(kLegendeMax));
}

std::vector<TCustomChart*> GraphiquesSynthese::Remplis() const
{
    std::vector<TCustomChart*> remplis;
    if (PointsK->Count() > 0)
        remplis.push_back(&GraphiqueK);
    if (PointsTDemi->Count() > 0)
        remplis.push_back(&GraphiqueTDemi);
    if (DroiteArrhenius->Count() > 0)
        remplis.push_back(&GraphiqueArrhenius);
    if (std::any_of(courbes_.begin(), courbes_.end(), [](const TFastLineSeries* s) { return s->Count() > 0; }))
        remplis.push_back(&GraphiqueCourbes);
    return remplis;
}
