#include "rapport/GraphiquesEssai.h"

#include "analyse/AnalyseEssai.h"
#include "chart/TChart.h"
#include "chart/TPointSeries.h"
#include "kinetics/Constantes.h"
#include "widgets/Graphiques.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

namespace {

constexpr int kPointsModele = 400; // the model's line over the run

constexpr TColor kCouleurMesures = SeriesPaletteColor(0);
constexpr TColor kCouleurModele = SeriesPaletteColor(1);
constexpr TColor kCouleurTangente = clGray;

// While alive, the series take their points without asking their chart for
// a repaint at each one (an inactive series asks none): one request at the
// end. A run of a thousand points is redrawn at each tick.
class SansRepeindre {
public:
    SansRepeindre(std::initializer_list<TChartSeries*> series) : series_(series)
    {
        for (TChartSeries* s : series_)
            s->SetActive(false);
    }
    ~SansRepeindre()
    {
        for (TChartSeries* s : series_)
            s->SetActive(true);
    }
    SansRepeindre(const SansRepeindre&) = delete;
    SansRepeindre& operator=(const SansRepeindre&) = delete;

private:
    std::vector<TChartSeries*> series_;
};

} // namespace

GraphiquesEssai::GraphiquesEssai(QWidget* parent)
{
    Avancement = NouveauGraphique(parent, "Avancement au cours du temps", "Date en s", "Avancement en mmol", true);
    Mesures = NouvelleSerie<TPointSeries>(*Avancement, kCouleurMesures, "Mesures");
    Exclus = NouvelleSerie<TPointSeries>(*Avancement, kCouleurMesures, "");
    Exclus->SetHollow(true);
    Exclus->SetPointSize(5);
    Modele = NouvelleSerie<TFastLineSeries>(*Avancement, kCouleurModele, "Modèle");
    Modele->LinePen().SetWidth(2);
    Avancement->IntervalMarkers().SetVisible(true);

    Vitesse = NouveauGraphique(parent, "Vitesse volumique de réaction", "Date en s", "v en mol·L⁻¹·s⁻¹", true);
    VitesseMesures = NouvelleSerie<TPointSeries>(*Vitesse, kCouleurMesures, "Dérivée des mesures");
    VitesseModele = NouvelleSerie<TFastLineSeries>(*Vitesse, kCouleurModele, "Modèle");
    Test = NouveauGraphique(parent, "Test de l'ordre 1", "t − t_a en s", "ln((p∞ − p_a)/(p∞ − p))", true);
    TestPoints = NouvelleSerie<TPointSeries>(*Test, kCouleurMesures, "Points linéarisés");
    TestDroite = NouvelleSerie<TFastLineSeries>(*Test, kCouleurModele, "Droite");
    if (parent == nullptr)
        for (TChart* graphique : {Avancement, Vitesse, Test})
            possedes_.emplace_back(graphique);
}

GraphiquesEssai::~GraphiquesEssai() = default;

void GraphiquesEssai::TracerAvancement(const AnalyseEssai& analyse, char separateur)
{
    const SansRepeindre remplissage{Mesures, Exclus, Modele};
    Mesures->ClearPoints();
    Exclus->ClearPoints();
    Modele->ClearPoints();
    Avancement->ChartMarks().Clear();
    // Without V and T (a file whose conditions are not typed yet) there is no
    // extent: the chart shows the pressures, with the same model and marks.
    const bool pression = !analyse.MolParPascal();
    Avancement->Title().SetText({pression ? "Pression au cours du temps" : "Avancement au cours du temps"});
    Avancement->LeftAxis().Title().SetCaption(pression ? "Pression en Pa" : "Avancement en mmol");
    const auto& points = analyse.Donnees().points;
    for (int i = 0; i < analyse.Points(); ++i) {
        const double t = points[static_cast<std::size_t>(i)].t;
        TPointSeries* serie = analyse.Exclu(i) ? Exclus : Mesures;
        if (pression)
            serie->AddPoint(t, points[static_cast<std::size_t>(i)].p, "", ColorAuto);
        else if (const auto x = analyse.Avancement(i))
            serie->AddPoint(t, *x * Constantes::kMmolParMol, "", ColorAuto);
    }

    TIntervalMarkers& marqueurs = Avancement->IntervalMarkers();
    if (!analyse.Valide()) {
        if (!points.empty()) {
            marqueurs.SetValue(TIntervalEdge::Start, analyse.Debut().value_or(points.front().t));
            marqueurs.SetValue(TIntervalEdge::End, analyse.Fin().value_or(points.back().t));
        }
        return;
    }
    const Cinetique::Resultat& r = analyse.Resultat();
    marqueurs.SetValue(TIntervalEdge::Start, r.debut);
    marqueurs.SetValue(TIntervalEdge::End, r.fin);

    // The model's curve in the chart's unit: Pa, or mmol from the run's
    // first point.
    const Cinetique::ModelePremierOrdre& m = r.modele;
    const double echelle = pression ? 1.0 : *analyse.MolParPascal() * Constantes::kMmolParMol;
    const double origine = pression ? 0.0 : r.p0;
    auto courbe = [&](double t) { return (m.Pression(t) - origine) * echelle; };
    const double premier = points.front().t, dernier = points.back().t;
    for (int i = 0; i <= kPointsModele; ++i) {
        const double t = premier + (dernier - premier) * i / kPointsModele;
        Modele->AddPoint(t, courbe(t), "", ColorAuto);
    }
    TChartMarks& marques = Avancement->ChartMarks();
    for (const MarqueAnalyse& marque : analyse.Marques(separateur))
        if (marque.horizontale)
            marques.AddHorizontalLine(marque.position, marque.texte, clBlack);
        else
            marques.AddVerticalLine(marque.position, marque.texte, clBlack);
    // The tangent at the start, which meets the final value at t_a + τ; none
    // for a k the data cannot give.
    if (!r.determine)
        return;
    const double yFinal = (m.pInf - origine) * echelle;
    marques.AddLine(m.ta, courbe(m.ta), m.k * (yFinal - courbe(m.ta)), kCouleurTangente, psDot);
}

int GraphiquesEssai::AjouterTangente(double t, double x, double pente)
{
    return Avancement->ChartMarks().AddLine(t, x * Constantes::kMmolParMol, pente * Constantes::kMmolParMol, kCouleurTangente);
}

void GraphiquesEssai::TracerSecond(const AnalyseEssai& analyse, Second second, char separateur)
{
    const SansRepeindre remplissage{VitesseMesures, VitesseModele, TestPoints, TestDroite};
    VitesseMesures->ClearPoints();
    VitesseModele->ClearPoints();
    TestPoints->ClearPoints();
    TestDroite->ClearPoints();
    if (second == Second::Vitesse)
        TracerVitesse(analyse);
    else if (second == Second::Test)
        TracerTest(analyse, separateur);
}

void GraphiquesEssai::TracerVitesse(const AnalyseEssai& analyse)
{
    // Small rates in a power of ten that the axis's title carries: labels
    // 1, 2, ... under "v en 10⁻⁵ mol·L⁻¹·s⁻¹" rather than 0,00001, 0,00002.
    double plusGrande = 0;
    for (const Cinetique::PointVitesse& v : analyse.Vitesses())
        plusGrande = std::max({plusGrande, std::abs(v.donnees), std::abs(v.modele)});
    const int exposant = ExposantAffiche(plusGrande);
    const double facteur = std::pow(10.0, -exposant);
    Vitesse->LeftAxis().Title().SetCaption(exposant == 0 ? "v en mol·L⁻¹·s⁻¹"
                                                         : "v en " + PuissanceDeDix(exposant) + " mol·L⁻¹·s⁻¹");
    for (const Cinetique::PointVitesse& v : analyse.Vitesses()) {
        VitesseMesures->AddPoint(v.t, v.donnees * facteur, "", ColorAuto);
        VitesseModele->AddPoint(v.t, v.modele * facteur, "", ColorAuto);
    }
}

void GraphiquesEssai::TracerTest(const AnalyseEssai& analyse, char separateur)
{
    // The line's slope, intercept and R² under the chart's title: they go
    // with it into the exports and the report.
    const auto& test = analyse.Test();
    std::vector<std::string> titre{"Test de l'ordre 1"};
    if (const std::string droite = analyse.TexteTest(separateur); !droite.empty())
        titre.push_back(droite);
    Test->Title().SetText(std::move(titre));
    if (test && !test->points.empty()) {
        for (const Cinetique::Point& p : test->points)
            TestPoints->AddPoint(p.t, p.p, "", ColorAuto);
        const double fin = test->points.back().t;
        TestDroite->AddPoint(0, 0, "", ColorAuto);
        TestDroite->AddPoint(fin, test->pente * fin, "", ColorAuto);
    }
}
