// The class's conclusions from runs whose results are given: the Arrhenius
// line, the factor's lines and sentence, the repeated runs' statistics.
//
// Reference values: Python's decimal module at 50 digits, 2026-12-08; least
// squares by the normal equations in matrix form ((XᵀX)⁻¹ by its determinant),
// s² = SSR/(n − 2); the means with the sample standard deviation and s/√n.
#include "classe/SyntheseClasse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

using Classe::Conclusion;
using Classe::EssaiClasse;

EssaiClasse Essai(std::optional<double> temperature, double k, double uK, std::optional<double> facteur = {})
{
    EssaiClasse e;
    e.conditions.temperature = temperature;
    e.facteur = facteur;
    e.resultat.k = k;
    e.resultat.uK = uK;
    e.resultat.tDemi = std::log(2.0) / k;
    e.resultat.uTDemi = e.resultat.tDemi * uK / k;
    if (std::isnan(k))
        e.resultat.determine = false;
    return e;
}

const Conclusion* Trouver(const Classe::Synthese& s, std::string_view debut)
{
    for (const Conclusion& c : s.conclusions)
        if (c.nom.starts_with(debut))
            return &c;
    return nullptr;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(Conclusions, arrhenius_line_and_repeated_runs_statistics_match_the_independent_values)
{
    // 15 to 40 °C, three runs near 20 °C, a saved file without a temperature
    // and an undetermined run at 40,2 °C (both left out).
    const Classe::Synthese s = Classe::Conclure(
        {Essai(15.0, 0.00312, 0.00006), Essai(20.0, 0.00455, 0.00004), Essai(20.3, 0.00471, 0.00005),
         Essai(19.9, 0.00462, 0.00003), Essai(25.0, 0.00641, 0.00007), Essai(30.0, 0.00930, 0.00010),
         Essai(40.0, 0.0187, 0.0002), Essai(std::nullopt, 0.005, 0.0001), Essai(40.2, kNaN, 0)},
        {}, {});
    ASSERT_TRUE(s.arrhenius);
    EXPECT_EQ(s.arrhenius->points, 7);
    const Conclusion* ea = Trouver(s, "Énergie d'activation Ea (J/mol)");
    const Conclusion* a = Trouver(s, "Facteur pré-exponentiel A (s-1)");
    ASSERT_TRUE(ea && a);
    // 19,9, 20,0 and 20,3 °C are one condition (within 0,5 °C of the
    // coolest); 40,0 and 40,2 °C are not a series: the latter has no k.
    ASSERT_EQ(s.repetitions.size(), 1u);
    const Classe::SerieRepetee& r = s.repetitions.front();
    EXPECT_EQ(r.essais, (std::vector<std::size_t>{1, 2, 3}));
    const std::tuple<const char*, double, double> valeurs[] = {
        {"pente", s.arrhenius->pente, -6417.0737298767451},
        {"u(pente)", s.arrhenius->uPente, 76.179334281205679},
        {"ordonnée", s.arrhenius->ordonnee, 16.500474791263278},
        {"u(ordonnée)", s.arrhenius->uOrdonnee, 0.25634839819607997},
        {"Ea", *ea->valeur, 53354.519644010027},
        {"u(Ea)", *ea->incertitude, 633.39022714521052},
        {"A", *a->valeur, 14657677.114132490},
        {"u(A)", *a->incertitude, 3757472.0494832039},
        {"température", r.temperature, 20.066666666666667},
        {"k moyen", r.kMoyen, 0.0046266666666666667},
        {"écart-type de k", r.kEcartType, 0.000080208062770106431},
        {"u(k moyen)", r.uKMoyenne, 0.000046308146631499348},
        {"u(k) des ajustements", r.uKAjustements, 0.00004},
        {"t1/2 moyen", r.tDemiMoyen, 149.84563447862433},
        {"écart-type de t1/2", r.tDemiEcartType, 2.5925376250305680},
        {"u(t1/2 moyen)", r.uTDemiMoyenne, 1.4968022956956315},
        {"u(t1/2) des ajustements", r.uTDemiAjustements, 1.2919157169568564},
    };
    for (const auto& [nom, obtenu, attendu] : valeurs)
        EXPECT_NEAR(obtenu / attendu, 1, 1e-11) << nom;
    // The conclusions say the same, the mean with its type-A uncertainty.
    const Conclusion* k = Trouver(s, "k moyen");
    ASSERT_TRUE(k && Trouver(s, "écart-type de k") && Trouver(s, "u(k) des ajustements") && Trouver(s, "t1/2 moyen"));
    EXPECT_EQ(std::tuple(k->valeur, k->incertitude, Trouver(s, "écart-type de k")->valeur,
                         Trouver(s, "t1/2 moyen")->incertitude),
              std::tuple(r.kMoyen, r.uKMoyenne, r.kEcartType, r.uTDemiMoyenne));
    EXPECT_TRUE(k->nom.ends_with(", 3 essais (s-1)")) << k->nom;
}

TEST(Conclusions, t_half_against_the_factor_decides_the_order_on_the_slope_and_its_uncertainty)
{
    const Classe::Facteur facteur{"concentration initiale", "mol/L"};
    struct Cas {
        std::vector<EssaiClasse> essais;
        int points;
        double pente, uPente, penteK, uPenteK;
        bool independant;
    };
    const auto a20 = [](double k, std::optional<double> c) { return Essai(20, k, 4e-5, c); };
    const Cas cas[] = {
        // |b| = 0,85·u(b): the same t½ at every concentration.
        {{a20(0.00460, 0.05), a20(0.00452, 0.10), a20(0.00466, 0.20), a20(0.00449, 0.10)}, 4,
         -20.988997346617352, 24.617281953466696, 0.00064210526315789474, 0.00073924420488755527, true},
        // |b| = 1,44·u(b) and 2,22·u(b), either side of the criterion's 2.
        {{a20(0.00455, 0.05), a20(0.00462, 0.10), a20(0.00468, 0.20), a20(0.00449, 0.10)}, 4,
         -30.893911920508836, 21.494873998004676, 0.00094736842105263158, 0.00064374252005981707, true},
        {{a20(0.00450, 0.05), a20(0.00462, 0.10), a20(0.00470, 0.20), a20(0.00449, 0.10)}, 4,
         -44.446621684563295, 20.057606619660309, 0.0013578947368421053, 0.00060101483888927148, false},
        // |b| = 3,15·u(b): k grows with the concentration; a run without a value left out.
        {{a20(0.0030, 0.05), a20(0.0046, 0.10), a20(0.0071, 0.20), a20(0.004, std::nullopt)}, 3,
         -838.21227591114606, 266.41904407957605, 0.027, 0.0017320508075688773, false},
    };
    for (const Cas& c : cas) {
        const Classe::Synthese s = Classe::Conclure(c.essais, {}, facteur);
        ASSERT_TRUE(s.tDemiSelonFacteur && s.kSelonFacteur);
        EXPECT_EQ(s.tDemiSelonFacteur->points, c.points);
        EXPECT_NEAR(s.tDemiSelonFacteur->pente, c.pente, 1e-9);
        EXPECT_NEAR(s.tDemiSelonFacteur->uPente, c.uPente, 1e-9);
        EXPECT_NEAR(s.kSelonFacteur->pente, c.penteK, 1e-15);
        EXPECT_NEAR(s.kSelonFacteur->uPente, c.uPenteK, 1e-15);
        const Conclusion* phrase = Trouver(s, "t1/2 selon concentration initiale");
        const Conclusion* pente = Trouver(s, "Pente de t1/2 selon concentration initiale (s par mol/L)");
        ASSERT_TRUE(phrase && pente);
        EXPECT_EQ(phrase->phrase,
                  c.independant
                      ? "t½ ne dépend pas de concentration initiale aux incertitudes près : compatible avec l'ordre 1."
                      : "t½ dépend de concentration initiale : la réaction ne suit pas l'ordre 1.");
        EXPECT_EQ(pente->valeur, s.tDemiSelonFacteur->pente);
        // All at 20 °C: one temperature, no Arrhenius line and no word of it.
        EXPECT_FALSE(s.arrhenius || Trouver(s, "Énergie"));
    }
    // Repeats need the same factor value: the two runs at 0,10 mol/L.
    const Classe::Synthese s = Classe::Conclure(cas[0].essais, {}, facteur);
    ASSERT_EQ(s.repetitions.size(), 1u);
    EXPECT_EQ(s.repetitions[0].facteur, 0.10);
    EXPECT_NE(Trouver(s, "k moyen")->nom.find("concentration initiale = "), std::string::npos);
}

TEST(Conclusions, too_few_runs_or_conditions_give_no_line_and_say_why_for_two_temperatures)
{
    const Classe::Facteur facteur{"masse de catalyseur", "g"};
    // Two temperatures: one sentence, no numbers; no factor value typed: no line.
    Classe::Synthese s = Classe::Conclure({Essai(20, 0.004, 1e-4), Essai(30, 0.008, 1e-4), Essai(30.4, 0.0081, 1e-4)},
                                          {}, facteur);
    const Conclusion* ea = Trouver(s, "Énergie d'activation");
    ASSERT_TRUE(ea);
    EXPECT_FALSE(s.arrhenius || ea->valeur || s.kSelonFacteur);
    EXPECT_NE(ea->phrase.find("au moins 3"), std::string::npos);

    // Three temperatures on an exact line: u = 0 is the honest answer.
    const double ea0 = 50000, a0 = 1e6;
    std::vector<EssaiClasse> exacts;
    for (const double t : {10.0, 25.0, 40.0})
        exacts.push_back(Essai(t, a0 * std::exp(-ea0 / (Classe::kR * (t + 273.15))), 1e-5));
    s = Classe::Conclure(exacts, {}, {});
    ASSERT_TRUE(s.arrhenius);
    EXPECT_NEAR(*Trouver(s, "Énergie")->valeur, ea0, 1e-6);
    EXPECT_NEAR(*Trouver(s, "Énergie")->incertitude, 0, 1e-3);
    EXPECT_NEAR(*Trouver(s, "Facteur pré")->valeur / a0, 1, 1e-9);

    // Factor values all equal: no line.
    s = Classe::Conclure({Essai(20, 0.004, 1e-4, 1.0), Essai(21, 0.0041, 1e-4, 1.0), Essai(22, 0.0042, 1e-4, 1.0)},
                         {}, facteur);
    EXPECT_FALSE(s.kSelonFacteur || Trouver(s, "t1/2 selon"));

    // A series needs two runs with a k: alone at its temperature, nothing.
    s = Classe::Conclure({Essai(20, 0.004, 1e-4), Essai(20.6, 0.0041, 1e-4), Essai(20.2, kNaN, 0)}, {}, {});
    EXPECT_TRUE(s.repetitions.empty());
    EXPECT_FALSE(Trouver(s, "k moyen"));
}
