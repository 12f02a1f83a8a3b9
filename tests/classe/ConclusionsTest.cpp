// The class's conclusions from runs whose results are given: the Arrhenius
// line, the factor's lines and sentence, the repeated runs' statistics.
//
// Reference values: Python's fractions and decimal modules (40 digits);
// weighted least squares by the normal equations in matrix form,
// β = (XᵀWX)⁻¹XᵀWy with W = diag(1/u²), covariance (XᵀWX)⁻¹ by its
// determinant, χ² = rᵀWr, scaled by √(χ²/ν) when χ²/ν exceeds the 95 %
// point of the χ² law over ν as printed in statistical tables (3,841 for
// ν = 1, 5,991 for 2, 11,070 for 5, 9,488 for 4); the weighted means as
// Σwy/Σw with u = 1/√Σw; the standard deviations with n − 1.
#include "classe/SyntheseClasse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

using Classe::Conclusion;
using Classe::EssaiClasse;

EssaiClasse Essai(std::optional<double> temperature, double k, double uK, std::optional<double> facteur = {})
{
    // t½ = ln 2 / k, u(t½) = t½·u(k)/k.
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
        if (Classe::NomConclusion(s, c, ',').starts_with(debut))
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
    // χ²/ν = 3,40 for 5 degrees of freedom (above 2,214) and 3,14 for 2
    // (above 2,996): the scatter's uncertainties are given.
    const std::tuple<const char*, double, double> valeurs[] = {
        {"pente", s.arrhenius->pente, -6387.0539630267685},
        {"u(pente)", s.arrhenius->uPente, 89.69688334755674},
        {"u(pente) des essais", s.arrhenius->uPenteEssais, 48.616587708291235},
        {"ordonnée", s.arrhenius->ordonnee, 16.403384661724818},
        {"u(ordonnée)", s.arrhenius->uOrdonnee, 0.3021728543915281},
        {"χ²", s.arrhenius->chi2, 17.01985139130168},
        {"Ea", *ea->valeur, 53104.921414734825},
        {"u(Ea)", *ea->incertitude, 745.7813835443671},
        {"A", *a->valeur, 13301463.992054967},
        {"u(A)", *a->incertitude, 4019341.3420653795},
        {"température", r.temperature, 20.066666666666667},
        {"k moyen", r.kMoyen, 0.004616371911573472},
        {"écart-type de k", r.kEcartType, 0.000080208062770106431},
        {"u(k moyen)", r.uKMoyenne, 3.832291814900217e-05},
        {"u(k) des ajustements", r.uKAjustements, 0.00004},
        {"t1/2 moyen", r.tDemiMoyen, 150.0874172448661},
        {"écart-type de t1/2", r.tDemiEcartType, 2.5925376250305680},
        {"u(t1/2 moyen)", r.uTDemiMoyenne, 1.251625627145183},
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
    EXPECT_EQ(Classe::NomConclusion(s, *k, ','), "k moyen à 20 °C, 3 essais (s-1)");
    EXPECT_TRUE(s.arrhenius->ponderee && s.arrhenius->dispersion);
    const Conclusion* dispersion = Trouver(s, "Dispersion entre essais, droite d'Arrhenius");
    ASSERT_TRUE(dispersion);
    const std::string phrase = Classe::PhraseConclusion(*dispersion, ',');
    EXPECT_TRUE(phrase.starts_with("La dispersion entre essais dépasse leurs incertitudes : ")) << phrase;
    EXPECT_TRUE(Trouver(s, "Dispersion entre essais, k moyen à 20 °C"));
    EXPECT_NEAR(*Trouver(s, "χ²/ν, droite d'Arrhenius (5 degrés de liberté)")->valeur, 17.01985139130168 / 5, 1e-9);
}

TEST(Conclusions, only_the_reactant_is_asked_about_the_order_and_within_the_runs_uncertainties)
{
    using Classe::Nature;
    struct Cas {
        Classe::Facteur facteur;
        std::vector<EssaiClasse> essais;
        double penteT, uPenteT, penteK, uPenteK;
        std::string phrase; // the start of the factor's sentence
    };
    const auto a20 = [](double k, double uK, double c) { return Essai(20, k, uK, c); };
    const Classe::Facteur reactif{"concentration initiale", "mol/L", Nature::Reactif};
    const Cas cas[] = {
        // t½ of 150, 150,0025 and 150,005 s, each ± 0,013 s: nearly on a
        // line, so its residuals alone would call the slope certain.
        {reactif,
         {a20(0.0046209812037329686, 4.0048503765685727e-07, 0.05), a20(0.0046209041886631575, 4.0047168848933217e-07, 0.10),
          a20(0.00462082717616043, 4.0045833998923764e-07, 0.20)},
         0.032142857142827906, 0.12035661297043168, -9.901686074636339e-07, 3.707620905742652e-06,
         "t½ ne dépend pas de la concentration initiale aux incertitudes près : compatible avec l'ordre 1."},
        // k grows with the concentration, far beyond the runs' uncertainties.
        {reactif, {a20(0.0030, 4e-5, 0.05), a20(0.0046, 4e-5, 0.10), a20(0.0071, 4e-5, 0.20)},
         -639.8842877957846, 177.86358198381353, 0.027, 0.0017320508075688752,
         "t½ dépend de la concentration initiale : la réaction n'est pas d'ordre 1."},
        // Six clean runs with 0, 0,5 and 1 g of catalyst: k grows, no word of the order.
        {{"masse de catalyseur", "g", Nature::Catalyseur},
         {a20(0.0040, 5e-5, 0), a20(0.0041, 5e-5, 0), a20(0.0060, 5e-5, 0.5), a20(0.0061, 5e-5, 0.5),
          a20(0.0080, 5e-5, 1), a20(0.0079, 5e-5, 1)},
         -69.35965425835757, 8.393274958252025, 0.0039000000000000003, 5e-05,
         "k augmente avec la masse de catalyseur : "},
    };
    for (const Cas& c : cas) {
        const Classe::Synthese s = Classe::Conclure(c.essais, {}, c.facteur);
        ASSERT_TRUE(s.tDemiSelonFacteur && s.kSelonFacteur);
        EXPECT_EQ(s.tDemiSelonFacteur->points, static_cast<int>(c.essais.size()));
        EXPECT_NEAR(s.tDemiSelonFacteur->pente / c.penteT, 1, 1e-9);
        EXPECT_NEAR(s.tDemiSelonFacteur->uPente / c.uPenteT, 1, 1e-9);
        EXPECT_NEAR(s.kSelonFacteur->pente / c.penteK, 1, 1e-9);
        EXPECT_NEAR(s.kSelonFacteur->uPente / c.uPenteK, 1, 1e-9);
        std::string phrases;
        for (const Conclusion& conclusion : s.conclusions)
            phrases += Classe::PhraseConclusion(conclusion, ',') + "\n";
        EXPECT_NE(phrases.find("\n" + c.phrase), std::string::npos) << phrases;
        EXPECT_EQ(phrases.find("ordre") == std::string::npos, c.facteur.nature != Nature::Reactif) << phrases;
        const Conclusion* pente = Trouver(s, "Pente de t1/2 selon " + c.facteur.nom + " (s par " + c.facteur.unite + ")");
        ASSERT_TRUE(pente);
        EXPECT_EQ(pente->valeur, s.tDemiSelonFacteur->pente);
        // All at 20 °C: one temperature, no Arrhenius line and no word of it.
        EXPECT_FALSE(s.arrhenius || Trouver(s, "Énergie"));
    }
    // Repeats need the same factor value: the pairs at 0, 0,5 and 1 g.
    const Classe::Synthese s = Classe::Conclure(cas[2].essais, {}, cas[2].facteur);
    ASSERT_EQ(s.repetitions.size(), 3u);
    EXPECT_EQ(s.repetitions[1].facteur, 0.5);
    EXPECT_NE(Classe::NomConclusion(s, *Trouver(s, "k moyen"), ',').find("masse de catalyseur = "), std::string::npos);
    // The series' numbers are written with the separator the text is given.
    const auto k05 = std::find_if(s.conclusions.begin(), s.conclusions.end(),
                                  [](const Conclusion& c) { return c.serie == 1u && c.nom == "k moyen"; });
    ASSERT_NE(k05, s.conclusions.end());
    EXPECT_EQ(Classe::NomConclusion(s, *k05, ','), "k moyen à 20 °C et masse de catalyseur = 0,5 g, 2 essais (s-1)");
    EXPECT_EQ(Classe::NomConclusion(s, *k05, '.'), "k moyen à 20 °C et masse de catalyseur = 0.5 g, 2 essais (s-1)");
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

    // Three temperatures on an exact line: the runs' uncertainties alone.
    const double ea0 = 50000, a0 = 1e6;
    std::vector<EssaiClasse> exacts;
    for (const double t : {10.0, 25.0, 40.0})
        exacts.push_back(Essai(t, a0 * std::exp(-ea0 / (Constantes::kConstanteGazExacte * (t + 273.15))), 1e-5));
    s = Classe::Conclure(exacts, {}, {});
    ASSERT_TRUE(s.arrhenius);
    EXPECT_NEAR(*Trouver(s, "Énergie")->valeur, ea0, 1e-6);
    EXPECT_NEAR(*Trouver(s, "Énergie")->incertitude, 258.09244148957464, 1e-6);
    EXPECT_NEAR(*Trouver(s, "Facteur pré")->valeur / a0, 1, 1e-9);

    // Factor values all equal, or only two runs with a value (a third
    // without one): no line, no slope.
    for (const auto& essais : {std::vector{Essai(20, 0.004, 1e-4, 1.0), Essai(21, 0.0041, 1e-4, 1.0),
                                           Essai(22, 0.0042, 1e-4, 1.0)},
                               std::vector{Essai(20, 0.004, 1e-4, 0.1), Essai(20, 0.0046, 1e-4, 0.2),
                                           Essai(20, 0.005, 1e-4)}}) {
        s = Classe::Conclure(essais, {}, facteur);
        EXPECT_FALSE(s.kSelonFacteur || s.tDemiSelonFacteur || Trouver(s, "t1/2 selon") || Trouver(s, "Pente"));
    }

    // A series needs two runs with a k: alone at its temperature, nothing.
    s = Classe::Conclure({Essai(20, 0.004, 1e-4), Essai(20.6, 0.0041, 1e-4), Essai(20.2, kNaN, 0)}, {}, {});
    EXPECT_TRUE(s.repetitions.empty());
    EXPECT_FALSE(Trouver(s, "k moyen"));
}
