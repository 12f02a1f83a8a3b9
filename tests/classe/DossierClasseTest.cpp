// The class folder: the runs found and those left out, classe.tsv, the table
// written, and a folder that benches write while the synthesis reads it.
#include "classe/SyntheseClasse.h"
#include "tests/support/Contenu.h"
#include "tests/classe/JournauxDeClasse.h"
#include "tests/support/SharedTempDir.h"

#include "journal/JournalEssai.h"
#include "numtext/NumberText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <tuple>
#include <thread>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Ecrire(const fs::path& chemin, const std::string& octets) { std::ofstream(chemin, std::ios::binary) << octets; }

JournauxDeClasse::Essai Essai(long secondes, std::string poste = "", double temperature = 20, double k = 0.005)
{
    JournauxDeClasse::Essai e;
    e.debut = JournauxDeClasse::Matin(secondes);
    e.poste = std::move(poste);
    e.temperature = temperature;
    e.k = k;
    e.graine = static_cast<std::uint64_t>(secondes) + 1;
    return e;
}

class DossierClasse : public testing::Test {
protected:
    void SetUp() override
    {
        char modele[] = "/tmp/nelvar-classe-XXXXXX";
        ASSERT_NE(mkdtemp(modele), nullptr);
        racine_ = modele;
        dossier_ = racine_ / "classe";
        fs::create_directory(dossier_);
        separateur_ = DecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override
    {
        SetDecimalSeparator(separateur_);
        fs::remove_all(racine_);
    }

    fs::path racine_, dossier_;
    char separateur_ = '.';
};

} // namespace

TEST_F(DossierClasse, journals_at_five_temperatures_give_the_activation_energy_they_were_made_with)
{
    // k = A·exp(−Ea/(R·T)) with Ea = 50 kJ/mol and k(20 °C) = 0,005 s⁻¹.
    const double ea = 50000, a = 0.005 * std::exp(ea / (Constantes::kConstanteGazExacte * 293.15));
    const double temperatures[] = {15, 20, 25, 30, 40};
    const auto k = [&](int i) {
        return a * std::exp(-ea / (Constantes::kConstanteGazExacte * (temperatures[i] + 273.15)));
    };
    for (int i = 0; i < 5; ++i) {
        JournauxDeClasse::Essai e = Essai(600 * i, "SALLE2-PC0" + std::to_string(i + 1), temperatures[i], k(i));
        e.lectures = 900;
        JournauxDeClasse::Ecrire(dossier_, e);
    }
    Ecrire(dossier_ / "notes.txt", "à rendre jeudi\n");
    fs::create_directory(dossier_ / "anciens");
    Ecrire(dossier_ / "anciens" / "essai.csv", "0;1\n1;2\n");
    Ecrire(dossier_ / ".essai_2026-12-08_11-00-00_PC09.txt.tmp", "# format : journal d'essai nelvar 1\n");
    ASSERT_TRUE(Classe::EcrireTable(dossier_, {{"acide", "mol/L"}, {}}));

    const Classe::Synthese s = Classe::Synthetiser({dossier_});
    ASSERT_EQ(s.essais.size(), 5u);
    for (int i = 0; i < 5; ++i) { // in the order of their start, each k the one its journal was made with
        EXPECT_EQ(std::tuple(s.essais[i].conditions.poste, s.essais[i].conditions.temperature, s.essais[i].points.size()),
                  std::tuple("SALLE2-PC0" + std::to_string(i + 1), temperatures[i], 900u));
        EXPECT_NEAR(s.essais[i].resultat.k, k(i), 3 * s.essais[i].resultat.uK);
    }
    // Left out and listed: the notes with the reader's message, the run still
    // being written; the subfolder and classe.tsv are not runs of the folder.
    ASSERT_EQ(s.ecartes.size(), 2u);
    EXPECT_EQ(s.ecartes[0].chemin, (dossier_ / ".essai_2026-12-08_11-00-00_PC09.txt.tmp").string());
    EXPECT_EQ(s.ecartes[0].raison, Classe::kRaisonEnCours);
    EXPECT_EQ(s.ecartes[1].chemin, (dossier_ / "notes.txt").string());
    EXPECT_FALSE(s.ecartes[1].raison.empty());

    ASSERT_TRUE(s.arrhenius);
    const Classe::Conclusion& c = s.conclusions.at(0);
    EXPECT_EQ(c.nom, "Énergie d'activation Ea (J/mol)");
    EXPECT_NEAR(*c.valeur, ea, 3 * *c.incertitude);
    EXPECT_TRUE(*c.incertitude > 0 && *c.incertitude < 0.02 * ea) << *c.incertitude;
    // The table's first row: the start in the journal's local time without
    // its offset (the test runs in two zones), T and V.
    const std::string texte = Classe::TexteSynthese(s, DecimalSeparator());
    const std::string journal = Journal::TexteDebut(JournauxDeClasse::Matin());
    const std::string debutRangee = s.essais[0].chemin + "\tSALLE2-PC01\t" + journal.substr(0, journal.size() - 6)
                                    + "\t15\t0,25\t\t900\t";
    EXPECT_EQ(texte.substr(texte.find('\n') + 1, debutRangee.size()), debutRangee);
}

TEST_F(DossierClasse, the_factor_table_reads_back_what_was_written_and_is_replaced_whole)
{
    Classe::TableClasse table{{"concentration initiale", "mol/L"}, {}};
    table.Fixer("essai_2026-12-08_10-32-00_PC07.txt", 0.1);
    table.Fixer("b.csv", 2.5e-7);
    table.Fixer("c.csv", 3);
    table.Fixer("c.csv", std::nullopt);
    ASSERT_TRUE(Classe::EcrireTable(dossier_, table));
    EXPECT_EQ(Contenu(dossier_ / "classe.tsv"),
              "fichier\tconcentration initiale (mol/L)\nessai_2026-12-08_10-32-00_PC07.txt\t0.1\nb.csv\t2.5e-07\n");
    const Issue<Classe::TableClasse> lue = Classe::LireTable(dossier_);
    ASSERT_TRUE(lue) << lue.Message();
    EXPECT_EQ(Classe::NomColonne(lue->facteur), "concentration initiale (mol/L)");
    EXPECT_EQ(lue->valeurs, table.valeurs);

    // Replaced, not rewritten in place: a reader holding the old file keeps
    // it whole, and no temporary file stays behind.
    std::ifstream ancien(dossier_ / "classe.tsv", std::ios::binary);
    table.Fixer("d.csv", 4);
    ASSERT_TRUE(Classe::EcrireTable(dossier_, table));
    std::ostringstream lu;
    lu << ancien.rdbuf();
    EXPECT_EQ(lu.str().find("d.csv"), std::string::npos);
    EXPECT_NE(Contenu(dossier_ / "classe.tsv").find("d.csv\t4\n"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier_), fs::directory_iterator()), 1);

    // No table: an empty one. In a folder that does not exist: the message.
    EXPECT_TRUE(Classe::LireTable(racine_)->valeurs.empty());
    const Issue<void> ecrite = Classe::EcrireTable((racine_ / "absent").string(), table);
    ASSERT_FALSE(ecrite);
    EXPECT_TRUE(ecrite.Message().starts_with("Le fichier « " + (racine_ / "absent" / "classe.tsv").string()
                                             + " » ne peut pas être écrit : "))
        << ecrite.Message();
}

TEST(TableClasse, is_read_from_what_a_spreadsheet_saves_and_refused_with_the_line_that_is_wrong)
{
    struct Cas {
        std::string texte;
        std::string facteur, unite;
        std::vector<std::pair<std::string, double>> valeurs;
        std::string refus;
    };
    const Cas cas[] = {
        {"\xEF\xBB\xBF" "fichier\tmasse (g)\r\na.txt\t0,5\r\n\r\nb.txt\t\r\nc.txt\t1.5E-1\tnote\r\n",
         "masse", "g", {{"a.txt", 0.5}, {"c.txt", 0.15}}, ""},
        {"fichier\tcatalyseur\na\t1\na\t2\n", "catalyseur", "", {{"a", 2}}, ""},
        {"fichier\tfacteur\n", "", "", {}, ""},
        {"fichier\n", "", "", {}, ""},
        {"", "", "", {}, ""},
        {"nom\tmasse (g)\na\t1\n", "", "", {}, "classe.tsv, ligne 1 : la première ligne doit commencer par « fichier »."},
        {"fichier\tmasse (g)\na\t1\nb\t1,5.2\n", "", "", {}, "classe.tsv, ligne 3 : « 1,5.2 » n'est pas un nombre."},
        {"fichier\tmasse (g)\n\ta\t1\n", "", "", {}, "classe.tsv, ligne 2 : le nom du fichier manque."},
        {"fichier\tmasse (g)\na\t1e999\n", "", "", {}, "classe.tsv, ligne 2 : « 1e999 » n'est pas un nombre."},
    };
    for (const Cas& c : cas) {
        const Issue<Classe::TableClasse> lue = Classe::LireTexteTable(c.texte);
        if (!c.refus.empty()) {
            ASSERT_FALSE(lue) << c.texte;
            EXPECT_EQ(lue.Message(), c.refus);
            continue;
        }
        ASSERT_TRUE(lue) << lue.Message();
        EXPECT_EQ(std::tie(lue->facteur.nom, lue->facteur.unite, lue->valeurs), std::tie(c.facteur, c.unite, c.valeurs));
        EXPECT_EQ(Classe::LireTexteTable(Classe::TexteTable(*lue))->valeurs, c.valeurs);
    }
}

namespace {

// What the synthesis of `dossier` says of it first; as root (who reads every
// folder), asked by a child as the user nobody.
std::string PremierEcarte(const fs::path& dossier)
{
    const auto raison = [&] {
        const Classe::Synthese s = Classe::Synthetiser({dossier});
        return s.ecartes.empty() ? "" : s.ecartes[0].raison;
    };
    if (geteuid() != 0)
        return raison();
    int tube[2];
    if (::pipe(tube) != 0)
        return "pipe";
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const std::string texte = raison();
        ::_exit(::write(tube[1], texte.data(), texte.size()) == static_cast<ssize_t>(texte.size()) ? 0 : 4);
    }
    ::close(tube[1]);
    std::string message;
    char tampon[512];
    for (ssize_t lus; (lus = ::read(tube[0], tampon, sizeof tampon)) > 0;)
        message.append(tampon, static_cast<std::size_t>(lus));
    ::close(tube[0]);
    int etat = 0;
    ::waitpid(enfant, &etat, 0);
    return WIFEXITED(etat) && WEXITSTATUS(etat) == 0 ? message : "child " + std::to_string(etat);
}

} // namespace

TEST_F(DossierClasse, a_folder_missing_or_unreadable_is_told_in_french_and_the_other_folders_still_count)
{
    const JournauxDeClasse::Essai e = Essai(0);
    JournauxDeClasse::Ecrire(dossier_, e);
    const std::string absent = (racine_ / "absent").string();
    const Classe::Synthese s = Classe::Synthetiser({absent, dossier_});
    EXPECT_EQ(s.essais.size(), 1u);
    ASSERT_EQ(s.ecartes.size(), 1u);
    EXPECT_EQ(s.ecartes[0].chemin, absent);
    EXPECT_EQ(s.ecartes[0].raison, "« " + absent + " » est introuvable : ni dossier ni fichier de ce nom.");

    // A folder only its owner may read, in a folder every user may enter.
    const fs::path partage = SharedTempDir() / ("nelvar-classe-ferme-" + std::to_string(::getpid()));
    const fs::path ferme = partage / "ferme";
    fs::create_directories(ferme);
    fs::permissions(partage, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    JournauxDeClasse::Ecrire(ferme, e);
    fs::permissions(ferme, geteuid() == 0 ? fs::perms::owner_all : fs::perms::owner_exec | fs::perms::owner_write);
    EXPECT_EQ(PremierEcarte(ferme), "Le dossier « " + ferme.string() + " » ne peut pas être lu : Permission non accordée.");
    fs::permissions(ferme, fs::perms::owner_all);
    fs::remove_all(partage);
}

// Four benches write five runs each, first half measured then whole, each
// version under a temporary name then renamed, while the synthesis reads the
// folder again and again: each pass sees a run at most once, in one of its
// versions whole; the pass after the benches are done sees all twenty.
TEST_F(DossierClasse, runs_written_by_several_benches_while_the_synthesis_reads_are_never_halved_lost_or_doubled)
{
    constexpr int kPostes = 4, kEssais = 5, kMoitie = 120;
    const fs::path preparation = racine_ / "preparation";
    std::atomic<int> finis = 0;
    std::atomic<bool> echec = false;
    std::vector<std::thread> postes;
    for (int p = 0; p < kPostes; ++p)
        postes.emplace_back([&, p] {
            try {
                for (int i = 0; i < kEssais; ++i) {
                    JournauxDeClasse::Essai e = Essai(3600 * p + 60 * i, "PC" + std::to_string(p));
                    // Both versions, written by the journal's writer beside the class folder.
                    const fs::path ici = preparation / e.poste;
                    e.lectures = kMoitie;
                    const std::string demi = Contenu(JournauxDeClasse::Ecrire(ici / "demi", e));
                    e.lectures = 2 * kMoitie;
                    const fs::path chemin = JournauxDeClasse::Ecrire(ici / "entier", e);
                    const std::string entier = Contenu(chemin);
                    const std::string nom = chemin.stem().string() + "_" + e.poste + ".txt";
                    for (const std::string* version : {&demi, &entier}) {
                        const fs::path temporaire = dossier_ / ("." + nom + ".tmp");
                        {
                            std::ofstream flux(temporaire, std::ios::binary);
                            for (std::size_t debut = 0; debut < version->size(); debut += 997)
                                flux << version->substr(debut, 997) << std::flush; // in pieces, cut mid-line
                        }
                        fs::rename(temporaire, dossier_ / nom);
                    }
                }
            } catch (const std::exception& erreur) {
                ADD_FAILURE() << erreur.what();
                echec = true;
            }
            ++finis;
        });

    int passes = 0;
    auto verifier = [&](const Classe::Synthese& s) {
        std::set<std::string> noms;
        for (const Classe::EssaiClasse& essai : s.essais) {
            EXPECT_TRUE(noms.insert(essai.nom).second) << essai.nom << " counted twice";
            EXPECT_TRUE(essai.points.size() == kMoitie || essai.points.size() == 2 * kMoitie)
                << essai.nom << " read with " << essai.points.size() << " points";
            EXPECT_FALSE(essai.nom.starts_with('.')) << essai.nom;
        }
        for (const Classe::FichierEcarte& ecarte : s.ecartes)
            EXPECT_EQ(ecarte.raison, Classe::kRaisonEnCours) << ecarte.chemin;
        return noms.size();
    };
    while (finis < kPostes) {
        verifier(Classe::Synthetiser({dossier_}));
        ++passes;
    }
    for (std::thread& poste : postes)
        poste.join();
    ASSERT_FALSE(echec);
    const Classe::Synthese fin = Classe::Synthetiser({dossier_});
    EXPECT_EQ(verifier(fin), static_cast<std::size_t>(kPostes * kEssais));
    EXPECT_TRUE(fin.ecartes.empty());
    for (const Classe::EssaiClasse& essai : fin.essais)
        EXPECT_EQ(essai.points.size(), 2u * kMoitie) << essai.nom;
    EXPECT_GT(passes, 0);
}
