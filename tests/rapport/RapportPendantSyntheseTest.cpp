// A run's report drawn on the window's thread while a class synthesis reads,
// analyses and writes its runs on threads of its own: neither may change the
// numbers the other writes. Under ThreadSanitizer (the "threads" label) any
// formatting state the two share is reported as a race.
#include "classe/SyntheseClasse.h"
#include "numtext/NumberText.h"
#include "rapport/DessinCompteRendu.h"
#include "tests/classe/JournauxDeClasse.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

// A class folder of its own, removed at the end.
struct Dossier {
    Dossier()
    {
        char modele[] = "/tmp/nelvar-rapport-classe-XXXXXX";
        if (mkdtemp(modele) != nullptr)
            chemin = modele;
    }
    ~Dossier()
    {
        if (!chemin.empty())
            std::filesystem::remove_all(chemin);
    }
    std::string chemin;
};

// Four runs at 20,5 °C, repeats of one another (k and t½ averaged: numbers
// with decimals), each cut before its plateau (a remark).
void EcrireClasse(const std::string& dossier)
{
    for (int i = 0; i < 3; ++i)
        JournauxDeClasse::Ecrire(dossier, {.debut = JournauxDeClasse::Matin(600 * i), .poste = "PC0" + std::to_string(i),
                                           .temperature = 20.5, .k = 0.005 + 0.0001 * i, .lectures = 150,
                                           .graine = static_cast<std::uint64_t>(i + 1)});
    JournauxDeClasse::Ecrire(dossier, {.debut = JournauxDeClasse::Matin(3000), .poste = "PC09", .temperature = 20.5,
                                       .lectures = 150, .graine = 9});
}

CompteRendu::Contenu Rapport()
{
    CompteRendu::Contenu c{"Compte rendu d'essai", {"Essai : a", "Date"}, 0, {}, {"t (s)", "p (Pa)", "x (mmol)"}, {},
                           "a.txt"};
    c.resultats.push_back({"k", "(5,00 ± 0,02)·10⁻³ s⁻¹"});
    for (int i = 0; i < 200; ++i)
        c.tableau.push_back({std::to_string(i), "101300", "0,01"});
    return c;
}

} // namespace

TEST(RapportPendantSynthese, a_report_drawn_during_a_synthesis_leaves_the_synthesis_numbers_in_the_window_separator)
{
    // Given a window whose separator is the point, and the class's text as
    // it reads before any report is drawn.
    const char avant = DecimalSeparator();
    SetDecimalSeparator('.');
    const Dossier dossier;
    ASSERT_FALSE(dossier.chemin.empty());
    EcrireClasse(dossier.chemin);
    const char separateur = DecimalSeparator(); // read on the window's thread, passed down
    const std::string attendu = Classe::TexteSynthese(Classe::Synthetiser({dossier.chemin}), separateur);
    ASSERT_NE(attendu.find("k moyen à 21 °C, 4 essais (s-1)\t0.005"), std::string::npos) << attendu;

    // When the synthesis runs again on its threads while reports are drawn
    // (with their decimal comma) on this one.
    constexpr int kSyntheses = 2;
    std::atomic<bool> fini = false;
    std::vector<std::string> textes;
    std::thread synthese([&] {
        for (int i = 0; i < kSyntheses; ++i)
            textes.push_back(Classe::TexteSynthese(Classe::Synthetiser({dossier.chemin}), separateur));
        fini = true;
    });
    int rapports = 0;
    while (!fini || rapports == 0) {
        EXPECT_FALSE(CompteRendu::Pdf(Rapport(), {}).empty());
        ++rapports;
    }
    synthese.join();
    SetDecimalSeparator(avant);

    // Then every text the synthesis wrote is the one it wrote alone.
    ASSERT_EQ(textes.size(), static_cast<std::size_t>(kSyntheses));
    for (const std::string& texte : textes)
        EXPECT_EQ(texte, attendu);
}
