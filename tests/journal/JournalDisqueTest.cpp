// The run journal as the disk sees it, through the writer itself: every
// reading flushed to the disk (fsync counted by the LD_PRELOAD library
// tests/support/FsyncShim.c, which ctest preloads), and the folder brought
// under its size bound when a run starts.
#include "journal/JournalEssai.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class JournalDisque : public testing::Test {
protected:
    void SetUp() override
    {
        char modele[] = "/tmp/nelvar-disque-XXXXXX";
        ASSERT_NE(mkdtemp(modele), nullptr);
        racine_ = fs::canonical(modele);
        journalFsync_ = racine_ / "fsync.log";
        ASSERT_EQ(setenv("NELVAR_FSYNC_LOG", journalFsync_.c_str(), 1), 0);
    }
    void TearDown() override
    {
        unsetenv("NELVAR_FSYNC_LOG");
        fs::remove_all(racine_);
    }

    // The fsync and fdatasync calls logged so far on `chemin`.
    int Synchronisations(const fs::path& chemin) const
    {
        std::ifstream log(journalFsync_);
        int n = 0;
        for (std::string ligne; std::getline(log, ligne);)
            if (ligne == "fsync\t" + chemin.string() || ligne == "fdatasync\t" + chemin.string())
                ++n;
        return n;
    }

    const std::chrono::system_clock::time_point debut_ = std::chrono::system_clock::from_time_t(1796648632);
    fs::path racine_, journalFsync_;
};

TEST_F(JournalDisque, each_reading_is_flushed_to_the_disk_before_it_is_added_and_the_new_files_folder_entry_too)
{
    // The preloaded library must be there, or no count below would mean anything.
    const fs::path sonde = racine_ / "sonde";
    const int fd = ::open(sonde.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ::fsync(fd);
    ::close(fd);
    ASSERT_EQ(Synchronisations(sonde), 1) << "the fsync library is not preloaded (LD_PRELOAD)";

    const fs::path dossier = racine_ / "essais";
    Journal::Ecrivain journal(dossier, {debut_, "carte simulée", 0.25, 20, 100000, false, ""});
    int avant = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(journal.Ajouter({double(i), double(i), 101325.0 + i, 0, 1.01325, 0}), std::nullopt);
        const int apres = Synchronisations(journal.Chemin());
        EXPECT_GT(apres, avant) << "no flush for reading " << i;
        avant = apres;
    }
    EXPECT_GE(Synchronisations(dossier), 1); // the new file's entry
}

TEST_F(JournalDisque, a_new_run_brings_the_folder_under_its_bound_by_removing_the_oldest_runs)
{
    const fs::path dossier = racine_ / "essais";
    fs::create_directories(dossier);
    // 900 bytes of earlier runs, named by their start as the journal names
    // them and made out of order, and a file that is not the journal's.
    for (const auto& [nom, taille] : std::initializer_list<std::pair<const char*, std::size_t>>{
             {"essai_2025-03-01_08-00-00.txt", 200}, {"essai_2025-01-01_09-00-00.txt", 400},
             {"essai_2025-02-01_08-00-00.txt", 300}, {"lisez-moi.txt", 4000}})
        std::ofstream(dossier / nom) << std::string(taille, 'x');

    Journal::Ecrivain journal(dossier, {debut_, "carte simulée", 0.25, 20, 100000, false, ""}, 550);
    ASSERT_EQ(journal.Ajouter({0, 0, 101325, 0, 1.01325, 0}), std::nullopt);
    std::vector<std::string> restants;
    for (const auto& entree : fs::directory_iterator(dossier))
        restants.push_back(entree.path().filename().string());
    std::sort(restants.begin(), restants.end());
    // The oldest run (January) goes: 500 bytes of earlier runs are left.
    EXPECT_EQ(restants, (std::vector<std::string>{"essai_2025-02-01_08-00-00.txt", "essai_2025-03-01_08-00-00.txt",
                                                  fs::path(journal.Chemin()).filename().string(), "lisez-moi.txt"}));
}

} // namespace
