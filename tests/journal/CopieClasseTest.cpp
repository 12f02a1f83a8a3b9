// The run's copy in the class folder: its name, whole lines only for a
// reader of the folder at any moment, and a folder that cannot be reached,
// told once and caught up with, the copy then equal to the local journal.
#include "journal/CopieClasse.h"
#include "tests/support/Contenu.h"
#include "workers/JournalEnFond.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Horloge = Journal::CopieClasse::Horloge;

namespace {

// Started 2026-12-08 10:32:00, local time, whatever the zone.
ConditionsEssai EnTete(const std::string& poste)
{
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 8, t.tm_hour = 10, t.tm_min = 32, t.tm_isdst = -1;
    return {std::chrono::system_clock::from_time_t(std::mktime(&t)), "carte simulée", 0.3, 25, 100000, false, poste};
}

Journal::Lecture Lecture(int i)
{
    return {1.00013 * i, 1.00013 * i + 0.001, 101325.0 + 17 * i, 1e-5 * i, 1.01325 + 0.00017 * i, 0};
}

// The names a reader of the folder takes: not hidden.
std::vector<std::string> Visibles(const fs::path& dossier)
{
    std::vector<std::string> noms;
    for (const fs::directory_entry& e : fs::directory_iterator(dossier))
        if (!e.path().filename().string().starts_with("."))
            noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

class CopieClasseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(mkdtemp(racine_), nullptr); }
    void TearDown() override
    {
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(racine_))
            if (e.is_directory())
                fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(racine_);
    }
    fs::path Racine() const { return racine_; }
    fs::path Dossier(const std::string& nom) const
    {
        fs::create_directories(Racine() / nom);
        return Racine() / nom;
    }

    char racine_[34] = "/tmp/nelvar-copie-classe-XXXXXX";
};

} // namespace

TEST(NomDuPoste, keeps_a_host_names_safe_characters_and_turns_the_others_into_one_dash)
{
    const struct {
        std::string machine, nom;
    } cas[] = {
        {"SALLE2-PC07", "SALLE2-PC07"},
        {"pc07.lycee.example", "pc07.lycee.example"},
        {"poste élève 3", "poste-l-ve-3"},
        {"a/b\\c:d*e?f", "a-b-c-d-e-f"},
        {"../../etc/passwd", "etc-passwd"},
        {"--x..--y--", "x.y"}, // a run of separators keeps its first
        {"", ""},
        {"é", ""},
        {std::string(70, 'A'), std::string(63, 'A')},
        {std::string(62, 'A') + "-B", std::string(62, 'A')},
    };
    for (const auto& c : cas)
        EXPECT_EQ(Journal::NomDuPoste(c.machine), c.nom) << c.machine;
}

TEST_F(CopieClasseTest, two_benches_and_two_runs_of_one_bench_in_the_same_second_get_names_of_their_own)
{
    const fs::path classe = Dossier("classe");
    Journal::CopieClasse copies[] = {{classe, EnTete("SALLE2-PC07")}, {classe, EnTete("SALLE2-PC08")},
                                     {classe, EnTete("SALLE2-PC07")}, {classe, EnTete("")}};
    [[maybe_unused]] auto& [pc07, pc08, pc07bis, sansNom] = copies;
    const Horloge::time_point t0{};
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(copies[i].Ajouter(Lecture(i), t0)) << i;

    EXPECT_EQ(Visibles(classe),
              (std::vector<std::string>{"essai_2026-12-08_10-32-00.txt", "essai_2026-12-08_10-32-00_SALLE2-PC07.txt",
                                        "essai_2026-12-08_10-32-00_SALLE2-PC07_2.txt",
                                        "essai_2026-12-08_10-32-00_SALLE2-PC08.txt"}));
    EXPECT_EQ(pc07bis.Chemin(), (classe / "essai_2026-12-08_10-32-00_SALLE2-PC07_2.txt").string());
    // Each keeps its own run: the later ones replaced nobody's file.
    EXPECT_NE(Contenu(pc08.Chemin()).find("# poste : SALLE2-PC08\n"), std::string::npos);
    EXPECT_TRUE(Contenu(pc07bis.Chemin()).ends_with(Journal::TexteLecture(Lecture(2))));
    // The next writes go to the name taken, not to a new one.
    EXPECT_FALSE(pc07.Ajouter(Lecture(4), t0 + 10s));
    EXPECT_EQ(Visibles(classe).size(), 4u);
    EXPECT_TRUE(Contenu(pc07.Chemin()).ends_with(Journal::TexteLecture(Lecture(0)) + Journal::TexteLecture(Lecture(4))));
}

TEST_F(CopieClasseTest, the_copy_is_written_at_the_first_reading_then_once_a_period_then_at_the_end)
{
    Journal::CopieClasse copie(Dossier("classe"), EnTete("PC"), 10s);
    // (instant of reading i, lines the copy holds after it)
    const std::pair<std::chrono::milliseconds, int> pas[] = {{0ms, 1},     {1000ms, 1},  {9999ms, 1},  {10000ms, 4},
                                                             {15000ms, 4}, {19999ms, 4}, {20000ms, 7}, {31000ms, 8}};
    std::vector<std::string> lignes;
    for (const auto& [instant, tenues] : pas) {
        lignes.push_back(Journal::TexteLecture(Lecture(static_cast<int>(lignes.size()))));
        EXPECT_FALSE(copie.Ajouter(Lecture(static_cast<int>(lignes.size()) - 1), Horloge::time_point(instant)));
        std::string attendu = Journal::TexteEnTete(EnTete("PC"));
        for (int i = 0; i < tenues; ++i)
            attendu += lignes[static_cast<std::size_t>(i)];
        EXPECT_EQ(Contenu(copie.Chemin()), attendu) << instant.count() << " ms";
        EXPECT_EQ(copie.AJour(), tenues == static_cast<int>(lignes.size())) << instant.count() << " ms";
    }
    EXPECT_FALSE(copie.Ajouter(Lecture(8), Horloge::time_point(32s)));
    EXPECT_FALSE(copie.Terminer()); // the end writes the last line
    EXPECT_TRUE(Contenu(copie.Chemin()).ends_with(lignes.back() + Journal::TexteLecture(Lecture(8))));
}

TEST_F(CopieClasseTest, a_reader_polling_the_folder_while_the_worker_writes_sees_whole_lines_growing_and_nothing_else)
{
    const fs::path classe = Dossier("classe");
    const fs::path local = Racine() / "local";
    std::atomic<long> secondes{0};
    std::vector<std::string> messages;
    std::mutex verrouMessages;
    constexpr int kLectures = 3000;
    const QObject destinataire;
    {
        auto journal = std::make_unique<JournalEnFond>(
            std::make_unique<Journal::Ecrivain>(local.string(), EnTete("SALLE2-PC07")),
            JournalEnFond::Destinataire{&destinataire,
                                        [&](const QString& m) {
                                            const std::lock_guard<std::mutex> garde(verrouMessages);
                                            messages.push_back(m.toStdString());
                                        },
                                        {}},
            JournalEnFond::Copie{std::make_unique<Journal::CopieClasse>(classe.string(), EnTete("SALLE2-PC07"), 10s),
                                 [&] { return Horloge::time_point(std::chrono::seconds(secondes.load())); }});

        std::atomic<bool> fini{false};
        std::vector<std::string> defauts;
        int lectures = 0;
        std::thread lecteur([&] {
            std::string avant;
            // Until a last look once the writer is done: the copy is seen at least then.
            for (bool dernier = false; !dernier;) {
                dernier = fini.load();
                for (const std::string& nom : Visibles(classe)) {
                    const std::string texte = Contenu(classe / nom);
                    ++lectures;
                    if (nom != "essai_2026-12-08_10-32-00_SALLE2-PC07.txt")
                        defauts.push_back("unexpected file " + nom);
                    else if (texte.empty() || texte.back() != '\n')
                        defauts.push_back("a cut line: " + texte.substr(texte.rfind('\n') + 1));
                    else if (!texte.starts_with(avant))
                        defauts.push_back("the copy went back to " + std::to_string(texte.size()) + " bytes");
                    avant = texte;
                }
            }
        });
        for (int i = 0; i < kLectures; ++i) {
            journal->Ajouter(Lecture(i));
            ++secondes;
        }
        journal.reset();
        fini = true;
        lecteur.join();
        EXPECT_TRUE(defauts.empty()) << defauts.size() << " faults, the first: " << defauts.front();
        EXPECT_GT(lectures, 0);
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(messages.empty()) << messages.front();
    const std::vector<Journal::EssaiDuJournal> locaux = Journal::Essais(local.string());
    ASSERT_EQ(locaux.size(), 1u);
    const std::string copie = Contenu(classe / "essai_2026-12-08_10-32-00_SALLE2-PC07.txt");
    EXPECT_EQ(copie, Contenu(locaux[0].chemin));
    EXPECT_EQ(std::count(copie.begin(), copie.end(), '\n'), 9 + kLectures);
    // No temporary file left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(classe), fs::directory_iterator()), 1);
}

namespace {

// Makes `classe` unreachable in one way; `retablir` makes it reachable again.
struct Panne {
    const char* nom;
    std::string raison; // as the message says it
    std::function<void(const fs::path& classe)> casser, retablir;
};

std::vector<Panne> Pannes()
{
    std::vector<Panne> pannes{
        {"missing folder", "dossier introuvable",
         [](const fs::path& classe) { fs::create_directory(classe.parent_path()); },
         [](const fs::path& classe) { fs::create_directory(classe); }},
        {"a path under a regular file", "dossier introuvable",
         [](const fs::path& classe) { std::ofstream(classe.parent_path()) << "x"; },
         [](const fs::path& classe) {
             fs::remove(classe.parent_path());
             fs::create_directories(classe);
         }},
    };
    if (::geteuid() != 0)
        pannes.push_back({"a read-only folder", "accès au fichier refusé",
                          [](const fs::path& classe) {
                              fs::create_directories(classe);
                              fs::permissions(classe, fs::perms::owner_read | fs::perms::owner_exec);
                          },
                          [](const fs::path& classe) { fs::permissions(classe, fs::perms::owner_all); }});
    return pannes;
}

} // namespace

TEST_F(CopieClasseTest, an_unreachable_folder_is_told_once_then_caught_up_with_byte_for_byte)
{
    for (const bool finSeulement : {false, true}) {
        for (const Panne& panne : Pannes()) {
            SCOPED_TRACE(std::string(panne.nom) + (finSeulement ? ", back after the end" : ", back during the run"));
            const fs::path base = Racine() / (std::string(panne.nom) + (finSeulement ? "-fin" : ""));
            fs::create_directory(base);
            const fs::path classe = base / "partage" / "classe";
            panne.casser(classe);
            const bool existait = fs::exists(classe);
            Journal::Ecrivain local((base / "local").string(), EnTete("PC07"));
            Journal::CopieClasse copie(classe.string(), EnTete("PC07"), 10s);
            std::vector<std::string> messages;
            const Horloge::time_point t0{};
            int i = 0;
            const auto lecture = [&](std::chrono::seconds instant) {
                EXPECT_FALSE(local.Ajouter(Lecture(i)));
                if (auto m = copie.Ajouter(Lecture(i), t0 + instant))
                    messages.push_back(*m);
                ++i;
            };
            for (int s = 0; s < 35; ++s)
                lecture(std::chrono::seconds(s));
            ASSERT_EQ(messages.size(), 1u); // four tries, one message
            EXPECT_EQ(messages[0], "Le dossier de la classe « " + classe.string() + " » est inaccessible : " +
                                       panne.raison +
                                       ". Le journal local garde l'essai ; nouvel essai d'écriture dans 10 s.");
            EXPECT_TRUE(copie.Chemin().empty());
            EXPECT_EQ(fs::exists(classe), existait); // never made by the copy
            panne.retablir(classe);
            if (!finSeulement) {
                for (int s = 35; s < 45; ++s)
                    lecture(std::chrono::seconds(s)); // written at 40 s
                EXPECT_FALSE(copie.Chemin().empty() || copie.AJour());
            }
            EXPECT_FALSE(copie.Terminer());
            EXPECT_EQ(messages.size(), 1u);
            ASSERT_FALSE(copie.Chemin().empty());
            EXPECT_EQ(Contenu(copie.Chemin()), Contenu(local.Chemin()));
            EXPECT_EQ(Visibles(classe).size(), 1u);
        }
    }
}
