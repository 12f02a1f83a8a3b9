// The journal written on a thread of its own: a write that blocks (a slow
// disk) holds neither the caller nor the lines after it, and ending waits
// for every line given.
#include "workers/JournalEnFond.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

// The runs here start at the clock's epoch: their start names their file only.
constexpr std::chrono::system_clock::time_point kEpoque{};

// A disk whose writes wait until the test opens it.
class DisqueBloque {
public:
    JournalEnFond::Ecriture Ecriture()
    {
        return [this](const Journal::Lecture& lecture) {
            ouvert_.wait();
            const std::lock_guard<std::mutex> garde(verrou_);
            ecrits_.push_back(lecture.tempsTick);
            return std::optional<std::string>();
        };
    }
    void Ouvrir() { porte_.set_value(); }
    std::vector<double> Ecrits()
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        return ecrits_;
    }

private:
    std::promise<void> porte_;
    std::shared_future<void> ouvert_ = porte_.get_future().share();
    std::mutex verrou_;
    std::vector<double> ecrits_;
};

Journal::Lecture Ligne(double tempsTick)
{
    return {tempsTick, tempsTick, 101325, 0, 1.01325, 0};
}

TEST(JournalEnFond, a_blocked_write_holds_neither_the_caller_nor_the_lines_given_after_it)
{
    DisqueBloque disque;
    auto journal = std::make_unique<JournalEnFond>(disque.Ecriture(), JournalEnFond::Destinataire{},
                                                   JournalEnFond::Copie{});

    // Three ticks' lines are given while the disk holds the first.
    for (int i = 0; i < 3; ++i)
        journal->Ajouter(Ligne(i));
    EXPECT_EQ(journal->EnAttente(), 3);
    EXPECT_TRUE(disque.Ecrits().empty());

    disque.Ouvrir();
    journal.reset();
    EXPECT_EQ(disque.Ecrits(), (std::vector<double>{0, 1, 2}));
}

TEST(JournalEnFond, ending_during_a_blocked_write_waits_for_it_and_loses_no_line)
{
    DisqueBloque disque;
    auto journal = std::make_unique<JournalEnFond>(disque.Ecriture(), JournalEnFond::Destinataire{},
                                                   JournalEnFond::Copie{});
    for (int i = 0; i < 4; ++i)
        journal->Ajouter(Ligne(i));

    std::atomic<bool> fini = false;
    std::thread fin([&] {
        journal.reset();
        fini = true;
    });
    // The end cannot come while the disk holds the first line.
    EXPECT_FALSE(fini);
    disque.Ouvrir();
    fin.join();
    EXPECT_EQ(disque.Ecrits(), (std::vector<double>{0, 1, 2, 3}));
}

TEST(JournalEnFond, through_a_real_writer_tells_the_files_path_once_and_the_file_has_every_line)
{
    // A real writer: the file's path is told once, and the file holds the
    // header and every line once the journal has ended.
    char dossier[] = "/tmp/nelvar-journal-fond-XXXXXX";
    ASSERT_NE(mkdtemp(dossier), nullptr);
    std::vector<std::string> chemins;
    const QObject destinataire;
    {
        JournalEnFond journal(std::make_unique<Journal::Ecrivain>(
                                  dossier, ConditionsEssai{kEpoque, "carte simulée", 0.25, 20, 100000, false, ""}),
                              {&destinataire, {}, [&](const QString& c) { chemins.push_back(c.toStdString()); }},
                              {});
        for (int i = 0; i < 3; ++i)
            journal.Ajouter(Ligne(i));
    }
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(chemins.size(), 1u);
    std::ifstream fichier(chemins[0]);
    std::stringstream texte;
    texte << fichier.rdbuf();
    const std::string contenu = texte.str();
    EXPECT_EQ(contenu.rfind(std::string(Journal::kPremiereLigne) + "\n", 0), 0u);
    EXPECT_NE(contenu.find("\n2\t2\t101325\t0\t1.01325\t0\n"), std::string::npos) << contenu;
    std::filesystem::remove_all(dossier);
}

TEST(JournalEnFond, a_class_folder_that_stops_answering_holds_no_line_of_the_local_journal)
{
    // The copy's thread is held (its clock waits, as a write to a share
    // that stopped answering would): the three lines still reach the local
    // journal; once it answers again, the copy gets them all.
    char dossier[] = "/tmp/nelvar-copie-fond-XXXXXX";
    ASSERT_NE(mkdtemp(dossier), nullptr);
    std::promise<void> porte, troisEcrites;
    std::shared_future<void> ouverte = porte.get_future().share();
    std::atomic<int> ecrites = 0;
    JournalEnFond::Copie copie;
    copie.copie = std::make_unique<Journal::CopieClasse>(
        dossier, ConditionsEssai{kEpoque, "carte simulée", 0.25, 20, 100000, false, "PC1"});
    copie.horloge = [ouverte] {
        ouverte.wait();
        return Journal::CopieClasse::Horloge::now();
    };
    {
        JournalEnFond journal(
            [&](const Journal::Lecture&) {
                if (++ecrites == 3)
                    troisEcrites.set_value();
                return std::optional<std::string>();
            },
            {}, std::move(copie));
        for (int i = 0; i < 3; ++i)
            journal.Ajouter(Ligne(i));
        EXPECT_EQ(troisEcrites.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
        porte.set_value();
    }
    std::string contenu;
    for (const auto& f : std::filesystem::directory_iterator(dossier)) {
        std::ifstream fichier(f.path());
        std::stringstream texte;
        texte << fichier.rdbuf();
        contenu += texte.str();
    }
    EXPECT_NE(contenu.find(std::string(Journal::kEnteteColonnes) + "\n0\t0\t101325\t0\t1.01325\t0\n1\t1\t101325\t0\t"
                           "1.01325\t0\n2\t2\t101325\t0\t1.01325\t0\n"),
              std::string::npos)
        << contenu;
    std::filesystem::remove_all(dossier);
}

} // namespace
