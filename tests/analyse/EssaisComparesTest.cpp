// The list of runs compared, without a window, on runs drawn from a known
// first-order law (x_f = 2,93 mmol, t½ = 83,2 s at 0,25 L and 20 °C).
#include "analyse/EssaisCompares.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace std::chrono_literals;

constexpr double kXf = 2.93e-3; // mol
constexpr double kTDemi = 83.2; // s
constexpr double kMolParPa = 0.00025 / (8.314 * 293);
const auto kDebut = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000));

// A run of `points` points of the law, named `nom`, started at `debut`.
DonneesEssai Loi(const std::string& nom, std::chrono::system_clock::time_point debut, int points = 300)
{
    DonneesEssai d;
    d.nom = nom;
    d.debut = debut;
    d.volume = 0.25;
    d.temperature = 20;
    for (int i = 0; i < points; ++i) {
        const double t = i * 1.00013;
        d.points.push_back(
            {t, 101300 + kXf / kMolParPa * (1 - std::exp(-std::log(2.0) / kTDemi * t)) + (i % 2 ? 8.0 : -8.0)});
    }
    return d;
}

// One more reading of `essai` at pressure `p` (Pa), with its amount of gas
// when `quantite`.
void Lire(::Essai& essai, double p, bool quantite = true)
{
    LectureEssai lecture;
    lecture.rang = essai.Nombre();
    lecture.tempsTick = lecture.tempsReel = lecture.rang * 1.00013;
    lecture.pression = p;
    if (quantite)
        lecture.quantite = p * kMolParPa;
    essai.Ajouter(lecture);
}

// The law's run as the window measures it, at 0,25 L and 20 °C.
std::shared_ptr<::Essai> Seance(std::chrono::system_clock::time_point debut, int points = 300,
                                std::string poste = {})
{
    auto essai =
        std::make_shared<::Essai>(ConditionsEssai{debut, "carte simulée", 0.25, 20, 100000, false, poste});
    for (const Cinetique::Point& point : Loi("", debut, points).points)
        Lire(*essai, point.p);
    return essai;
}

// A journal's file, counting its loads in `chargements`.
EntreeEssai Archive(const std::string& chemin, std::chrono::system_clock::time_point debut, int& chargements)
{
    return {.nom = chemin, .debut = debut, .chemin = chemin, .provenance = Provenance::Archive,
            .charger = [&chargements, chemin] {
                ++chargements;
                return Loi(chemin, kDebut);
            }};
}

} // namespace

TEST(EssaisCompares, keeps_each_session_run_once_with_its_latest_points_and_the_last_twenty)
{
    EssaisCompares essais;
    const std::shared_ptr<::Essai> essai = Seance(kDebut, 10);
    essais.GarderEssai(essai, "Essai 1");
    EXPECT_EQ(essais.Analyse(0)->Points(), 10);
    const unsigned version = essais.Version();
    // The next ticks of the same run: the second without its amount of gas.
    Lire(*essai, 101400);
    Lire(*essai, 101500, false);
    essais.GarderEssai(essai, "Essai 1");
    ASSERT_EQ(essais.Nombre(), 1);
    EXPECT_NE(essais.Version(), version); // the window redraws
    const AnalyseEssai* analyse = essais.Analyse(0);
    ASSERT_EQ(analyse->Points(), 12);
    // The extents as recorded, in mol: (p − p0)·V/(R·T), 0 at the first
    // point; the reading without its amount has none, not 0 mol.
    const double p0 = essai->Lectures()[0].pression;
    EXPECT_EQ(analyse->Avancement(0), 0.0);
    EXPECT_NEAR(*analyse->Avancement(10), (101400 - p0) * 0.00025 / (8.314 * 293), 1e-12);
    EXPECT_FALSE(analyse->Avancement(11));
    EXPECT_EQ(analyse->Donnees().volume, 0.25);
    EXPECT_EQ(analyse->Donnees().temperature, 20.0);
    EXPECT_EQ(essais.Courbe(0).size(), 11u);

    for (int n = 2; n <= 21; ++n)
        essais.GarderEssai(Seance(kDebut + n * 60s, 10), "Essai " + std::to_string(n));
    ASSERT_EQ(essais.Nombre(), 20);
    EXPECT_EQ(essais.Entree(0).nom, "Essai 2");
    EXPECT_EQ(essais.Entree(19).nom, "Essai 21");
}

TEST(EssaisCompares, lists_session_runs_then_files_then_other_sources_and_each_run_once)
{
    EssaisCompares essais;
    int chargements = 0;
    const auto archive = [&](const std::string& chemin, auto debut) { return Archive(chemin, debut, chargements); };
    EXPECT_TRUE(essais.Ajouter(archive("/j/a.txt", kDebut - 3600s)));
    // The journal's file of the session's coming run (its start to the second).
    EXPECT_TRUE(essais.Ajouter(archive("/j/b.txt", kDebut + 120s + 400ms)));
    EXPECT_TRUE(essais.Ajouter({.nom = "/m/Mesures1.txt", .debut = {}, .chemin = "/m/Mesures1.txt",
                                .provenance = Provenance::Fichier, .charger = {}},
                               Loi("/m/Mesures1.txt", kDebut)));
    essais.GarderEssai(Seance(kDebut + 120s), "Essai 1");
    ASSERT_EQ(essais.Nombre(), 3);
    for (const auto& [i, nom] : {std::pair{0, "Essai 1"}, {1, "/m/Mesures1.txt"}, {2, "/j/a.txt"}})
        EXPECT_EQ(essais.Entree(i).nom, nom);

    EXPECT_FALSE(essais.Ajouter(archive("/j/a.txt", kDebut - 3600s)));       // the same file
    EXPECT_FALSE(essais.Ajouter(archive("/j/c.txt", kDebut + 120s + 900ms))); // the session's run
    EXPECT_TRUE(essais.Ajouter(archive("/j/d.txt", kDebut + 122s)));          // another run
    EXPECT_EQ(essais.Nombre(), 4);
    EXPECT_EQ(chargements, 0); // nothing read before it is needed
}

TEST(EssaisCompares, loads_a_run_when_first_needed_and_shows_why_it_cannot)
{
    EssaisCompares essais;
    int chargements = 0;
    essais.Ajouter(Archive("/j/a.txt", kDebut, chargements));
    essais.Ajouter({.nom = "/j/b.txt", .debut = kDebut + 60s, .chemin = "/j/b.txt",
                    .provenance = Provenance::Archive,
                    .charger = []() -> DonneesEssai { throw Exception("Fichier illisible."); }});
    essais.Cocher(0, true);
    EXPECT_EQ(essais.Coches(), std::vector<int>{0});
    EXPECT_EQ(essais.Courbe(0).size(), 300u);
    essais.Ligne(0, DecimalSeparator());
    EXPECT_EQ(chargements, 1);

    EXPECT_EQ(essais.Analyse(1), nullptr);
    EXPECT_EQ(essais.Erreur(1), "Fichier illisible.");
    EXPECT_TRUE(essais.Courbe(1).empty());
    EXPECT_EQ(essais.Ligne(1, DecimalSeparator()).tDemi, "—");
}

TEST(EssaisCompares, a_row_gives_the_run_law_and_a_file_takes_the_conditions_typed_for_it)
{
    SetDecimalSeparator(',');
    EssaisCompares essais;
    DonneesEssai fichier = Loi("/m/Mesures1.txt", kDebut);
    fichier.volume.reset();
    fichier.temperature.reset();
    fichier.debut.reset();
    essais.Ajouter({.nom = fichier.nom, .debut = {}, .chemin = fichier.nom, .provenance = Provenance::Fichier,
                    .charger = {}},
                   fichier);
    EXPECT_EQ(essais.Ligne(0, DecimalSeparator()).xFinal, "—"); // no V and T yet
    essais.SetConditions("/m/Mesures1.txt", 0.25, 20);

    const LigneComparaison ligne = essais.Ligne(0, DecimalSeparator());
    EXPECT_EQ(ligne.essai, "Mesures1.txt"); // no start: the file's name
    EXPECT_EQ(ligne.volume, "0,25");
    EXPECT_EQ(ligne.temperature, "20");
    EXPECT_EQ(essais.Libelle(0, DecimalSeparator()), "Mesures1.txt, V = 0,25 L, θ = 20 °C");
    EXPECT_EQ(ligne.points, "300");
    EXPECT_EQ(ligne.pInitiale, "101292"); // the first point, 8 Pa of noise under 101 300
    auto valeur = [](std::string texte) {
        std::replace(texte.begin(), texte.end(), ',', '.');
        return std::stod(texte);
    };
    EXPECT_NEAR(valeur(ligne.tDemi), kTDemi, 0.2) << ligne.tDemi;
    EXPECT_NEAR(valeur(ligne.xFinal), kXf * 1000, 0.01) << ligne.xFinal;
    EXPECT_NE(ligne.k.find("·10⁻³"), std::string::npos) << ligne.k; // k = 8,33·10⁻³ s⁻¹
    EXPECT_NEAR(valeur(ligne.k.substr(1)), std::log(2.0) / kTDemi * 1000, 0.01) << ligne.k;
}

TEST(EssaisCompares, a_run_whose_k_the_data_cannot_give_reads_not_determined)
{
    // A pressure rising in a straight line: no curvature, no k.
    auto droite = std::make_shared<::Essai>(ConditionsEssai{kDebut, "", 0.25, 20, 100000, false, ""});
    for (int i = 0; i < 300; ++i)
        Lire(*droite, 101300 + 2.0 * i + (i % 2 ? 8.0 : -8.0));
    EssaisCompares essais;
    essais.GarderEssai(droite, "Essai 1");
    const LigneComparaison ligne = essais.Ligne(0, DecimalSeparator());
    for (const std::string* valeur : {&ligne.xFinal, &ligne.k, &ligne.tDemi})
        EXPECT_EQ(*valeur, "non déterminé");
}

TEST(EssaisCompares, each_run_names_the_bench_that_measured_it_when_known)
{
    SetDecimalSeparator(',');
    EssaisCompares essais;
    // A session run (the window gives its machine), a journal of another
    // bench listed before loading, and a file that records no bench.
    essais.GarderEssai(Seance(kDebut, 300, "SALLE2-PC07"), "Essai 1");
    int chargements = 0;
    EntreeEssai archive = Archive("/j/essai_b.txt", kDebut + 1h, chargements);
    archive.poste = "SALLE2-PC08";
    essais.Ajouter(archive);
    DonneesEssai fichier = Loi("/m/Mesures1.txt", kDebut + 2h);
    fichier.debut.reset();
    essais.Ajouter({.nom = fichier.nom, .debut = {}, .chemin = fichier.nom, .provenance = Provenance::Fichier,
                    .charger = {}},
                   fichier);
    ASSERT_EQ(essais.Nombre(), 3);
    const std::string heure = essais.Nom(0); // local time: the name is tested elsewhere

    const struct {
        int indice;
        std::string libelle, poste;
    } cas[] = {
        {0, heure + ", SALLE2-PC07, V = 0,25 L, θ = 20 °C", "SALLE2-PC07"},
        {2, essais.Nom(2) + ", SALLE2-PC08", "SALLE2-PC08"}, // not loaded: no V nor θ yet
        {1, "Mesures1.txt, V = 0,25 L, θ = 20 °C", "—"},
    };
    for (const auto& c : cas) {
        EXPECT_EQ(essais.Libelle(c.indice, DecimalSeparator()), c.libelle) << c.indice;
        EXPECT_EQ(essais.Ligne(c.indice, DecimalSeparator()).poste, c.poste) << c.indice;
    }
    EXPECT_EQ(chargements, 1); // Ligne loaded the journal; its own bench stays
    EXPECT_EQ(essais.Libelle(2, DecimalSeparator()), essais.Nom(2) + ", SALLE2-PC08, V = 0,25 L, θ = 20 °C");

    // The copy: the bench second, the other columns in their order.
    essais.Cocher(0, true);
    essais.Cocher(1, true);
    const std::string texte = essais.TexteTableau(DecimalSeparator());
    EXPECT_TRUE(texte.starts_with(
        "Essai\tPoste\tV (L)\tθ (°C)\tPoints\tx_f (mmol)\tk (s⁻¹)\tt½ (modèle) (s)\tp initiale (Pa)\n" + heure +
        "\tSALLE2-PC07\t0,25\t20\t300\t"))
        << texte;
    EXPECT_NE(texte.find("\nMesures1.txt\t—\t0,25\t20\t300\t"), std::string::npos) << texte;
}
