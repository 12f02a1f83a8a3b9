// The run journal's file: numbers, header, folder, lines on a full disk, size bound.
#include "journal/JournalEssai.h"
#include "tests/support/Contenu.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

class JournalTest : public testing::Test {
protected:
    void SetUp() override
    {
        char modele[] = "/tmp/nelvar-journal-XXXXXX";
        ASSERT_NE(mkdtemp(modele), nullptr);
        racine_ = modele;
    }
    void TearDown() override { fs::remove_all(racine_); }

    // 2026-12-07 13:03:52 UTC.
    const std::chrono::system_clock::time_point debut_ = std::chrono::system_clock::from_time_t(1796648632);
    fs::path racine_;
};

} // namespace

TEST(NombreExact, is_the_shortest_text_that_reads_back_to_the_same_double)
{
    // The texts of Python's repr (its ".0" left out): independent shortest digits.
    for (const auto& [valeur, texte] : std::initializer_list<std::pair<double, const char*>>{
             {0.1, "0.1"}, {1.0 / 3, "0.3333333333333333"}, {101325.00000000001, "101325.00000000001"},
             {100000, "100000"}, {-0.00012345, "-0.00012345"}, {2.5e-7, "2.5e-07"}, {1e16, "1e+16"},
             {9999999999999998.0, "9999999999999998"}, {5e-324, "5e-324"}})
        EXPECT_EQ(Journal::NombreExact(valeur), texte);
}

TEST(JournalEnTete, start_reads_back_from_its_text_with_its_offset_and_folder_follows_the_desktop_rule)
{
    EXPECT_EQ(Journal::LireDebut("2026-12-07 14:03:52 +0100"), std::chrono::system_clock::from_time_t(1796648632));
    EXPECT_EQ(Journal::LireDebut("2026-12-07 08:03:52 -0500"), std::chrono::system_clock::from_time_t(1796648632));
    EXPECT_FALSE(Journal::LireDebut("2026-12-07 14:03:52"));

    EXPECT_EQ(Journal::Dossier("/x/donnees", "/home/a"), "/x/donnees/nelvar/essais");
    EXPECT_EQ(Journal::Dossier("relatif", "/home/a"), "/home/a/.local/share/nelvar/essais");
    EXPECT_EQ(Journal::Dossier(nullptr, nullptr), "");
}

TEST_F(JournalTest, each_reading_is_a_whole_line_on_the_disk_when_added_and_the_run_is_listed)
{
    const fs::path dossier = racine_ / "donnees/nelvar/essais"; // created as needed, listed below
    Journal::Ecrivain journal(dossier, {debut_, "carte simulée", 0.25, 20, 100000, true, ""});
    EXPECT_EQ(journal.Chemin(), "");
    EXPECT_EQ(journal.Ajouter({0, 0, 101325.00000000001, 0, 1.01325, -1.01325}), std::nullopt);
    const std::string ligne1 = "0\t0\t101325.00000000001\t0\t1.01325\t-1.01325\n";
    const std::string entete = std::string(Journal::kPremiereLigne) + "\n# début : " + Journal::TexteDebut(debut_)
                               + "\n# source : carte simulée\n# volume (L) : 0.25\n# température (°C) : 20\n"
                                 "# coefficient (Pa/V) : 100000\n# p et - p : oui\n"
                               + std::string(Journal::kEnteteColonnes) + "\n";
    ASSERT_NE(journal.Chemin(), "");
    EXPECT_EQ(Contenu(journal.Chemin()), entete + ligne1);
    EXPECT_EQ(journal.Ajouter({1.00013, 4.2, 101400, 1e-7, 1.014, -1.014}), std::nullopt);
    EXPECT_EQ(Contenu(journal.Chemin()), entete + ligne1 + "1.00013\t4.2\t101400\t1e-07\t1.014\t-1.014\n");

    // A second run started in the same second has a file of its own.
    Journal::Ecrivain second(dossier, {debut_, "boîtier USB, capteur MPX5700AP", 0.25, 20, 100000, false, "SALLE2-PC07"});
    second.Ajouter({});
    EXPECT_NE(Contenu(second.Chemin()).find("# source : boîtier USB, capteur MPX5700AP\n# poste : SALLE2-PC07\n# volume"),
              std::string::npos);
    const std::vector<Journal::EssaiDuJournal> essais = Journal::Essais(dossier);
    ASSERT_EQ(essais.size(), 2u);
    EXPECT_EQ(std::tie(essais[0].chemin, essais[0].source, essais[0].debut),
              std::tie(journal.Chemin(), "carte simulée", debut_));
    EXPECT_EQ(std::tie(essais[1].chemin, essais[1].source, essais[1].poste),
              std::tie(second.Chemin(), "boîtier USB, capteur MPX5700AP", "SALLE2-PC07"));
    EXPECT_EQ(essais[0].poste, "");
}

TEST_F(JournalTest, a_full_disk_leaves_no_cut_line_and_the_whole_run_is_written_once_there_is_room)
{
    // A file size limit (SIGXFSZ ignored) stands for the full disk: EFBIG after a part.
    rlimit limite{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limite), 0);
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit petite = limite;
    petite.rlim_cur = 200; // part of the header
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &petite), 0);
    Journal::Ecrivain journal(racine_, {debut_, "carte simulée", 0.25, 20, 100000, false, ""});
    const std::optional<std::string> message = journal.Ajouter({0, 0, 101325.00000000001, 0, 1.01325, -1.01325});
    const std::optional<std::string> second = journal.Ajouter({1.00013, 1.00013, 101400.5, 1e-7, 1.014, -1.014});
    const std::uintmax_t taillePleine = fs::file_size(journal.Chemin());
    setrlimit(RLIMIT_FSIZE, &limite);
    std::signal(SIGXFSZ, signal);

    ASSERT_TRUE(message);
    EXPECT_NE(message->find("(disque plein) : l'essai continue"), std::string::npos) << *message;
    EXPECT_EQ(second, std::nullopt);
    EXPECT_EQ(taillePleine, 0u); // nothing cut left behind
    EXPECT_EQ(journal.Ajouter({2.00026, 2.00026, 101450, 2e-7, 1.0145, -1.0145}), std::nullopt);
    const std::string texte = Contenu(journal.Chemin());
    EXPECT_TRUE(texte.ends_with("\n0\t0\t101325.00000000001\t0\t1.01325\t-1.01325\n"
                                "1.00013\t1.00013\t101400.5\t1e-07\t1.014\t-1.014\n"
                                "2.00026\t2.00026\t101450\t2e-07\t1.0145\t-1.0145\n"))
        << texte;
}

TEST_F(JournalTest, the_folder_is_kept_under_its_bound_by_removing_the_oldest_runs_never_the_current_one)
{
    for (const auto& [nom, taille] : std::initializer_list<std::pair<const char*, std::size_t>>{
             {"essai_2025-01-01_08-00-00.txt", 400}, {"essai_2025-01-01_09-00-00.txt", 300},
             {"essai_2025-01-02_08-00-00.txt", 200}, {"essai_2025-01-02_08-00-00_2.txt", 100},
             {"notes.txt", 5000}}) // notes.txt: not the journal's
        std::ofstream(racine_ / nom) << std::string(taille, 'x');
    const auto Restants = [this] {
        std::vector<std::string> noms;
        for (const auto& entree : fs::directory_iterator(racine_))
            noms.push_back(entree.path().filename().string());
        std::sort(noms.begin(), noms.end());
        return noms;
    };

    // 1000 bytes of runs under a bound of 550: the two oldest go.
    Journal::Elaguer(racine_, racine_ / "essai_2025-01-02_08-00-00_2.txt", 550);
    EXPECT_EQ(Restants(), (std::vector<std::string>{"essai_2025-01-02_08-00-00.txt",
                                                    "essai_2025-01-02_08-00-00_2.txt", "notes.txt"}));
    // The current run stays even when it is the oldest.
    Journal::Elaguer(racine_, racine_ / "essai_2025-01-02_08-00-00.txt", 150);
    EXPECT_EQ(Restants(), (std::vector<std::string>{"essai_2025-01-02_08-00-00.txt", "notes.txt"}));
}

TEST_F(JournalTest, start_line_and_file_name_are_local_time_with_the_zones_own_offset)
{
    // 2026-12-07 13:03:52 UTC in zones east and west of UTC, with whole and
    // half-hour offsets (as `date -d @1796648632` writes it there).
    const char* const avant = std::getenv("TZ");
    const std::string zoneAvant = avant ? avant : "";
    const struct {
        const char* zone;
        const char* debut;
        const char* nom;
    } cas[] = {
        {"UTC", "2026-12-07 13:03:52 +0000", "essai_2026-12-07_13-03-52.txt"},
        {"Europe/Paris", "2026-12-07 14:03:52 +0100", "essai_2026-12-07_14-03-52.txt"},
        {"Asia/Kolkata", "2026-12-07 18:33:52 +0530", "essai_2026-12-07_18-33-52.txt"},
        {"America/St_Johns", "2026-12-07 09:33:52 -0330", "essai_2026-12-07_09-33-52.txt"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.zone);
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(Journal::TexteDebut(debut_), c.debut);
        EXPECT_EQ(Journal::LireDebut(c.debut), debut_);
        Journal::Ecrivain journal(racine_ / c.zone, {debut_, "carte simulée", 0.25, 20, 100000, false, ""});
        journal.Ajouter({});
        EXPECT_EQ(fs::path(journal.Chemin()).filename(), c.nom);
        EXPECT_NE(Contenu(journal.Chemin()).find(std::string("\n# début : ") + c.debut + "\n"), std::string::npos);
        const std::vector<Journal::EssaiDuJournal> essais = Journal::Essais(racine_ / c.zone);
        ASSERT_EQ(essais.size(), 1u);
        EXPECT_EQ(essais[0].debut, debut_);
    }
    if (avant)
        setenv("TZ", zoneAvant.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
