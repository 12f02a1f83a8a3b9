// The class folder's worker on a disk of the tests' own (no folder is
// read): readings asked while one waits are one, each reading after a
// write of classe.tsv carries its generation, and closing on a share that
// hangs keeps the writes asked, drops the readings, and lets the thread end
// and release its worker on its own.
#include "workers/SyntheseEnFond.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

namespace {

constexpr int kAttente = 20000; // ms, a bound only: the hand-offs take far less

// A disk with no file, whose listings are counted and whose report writes
// named "retenu" wait until the test lets them go.
struct Disque {
    std::atomic<int> listes{0};
    std::promise<void> porte;
    std::shared_future<void> ouverte = porte.get_future().share();

    SyntheseEnFond::Acces Acces()
    {
        SyntheseEnFond::Acces a;
        a.lister = [this](const std::string&) {
            ++listes;
            return Issue<std::vector<std::string>>(std::vector<std::string>{});
        };
        a.lireTable = [](const std::string&) { return Issue<Classe::TableClasse>(Classe::TableClasse{}); };
        a.ecrireTable = [](const std::string&, const Classe::TableClasse&) { return Issue<void>(); };
        a.ecrireFichier = [f = ouverte](const std::string& chemin, const std::string&) {
            if (chemin == "retenu")
                f.wait();
        };
        return a;
    }
};

Classe::TableClasse Table(const std::string& facteur)
{
    Classe::TableClasse t;
    t.facteur.nom = facteur;
    return t;
}

} // namespace

TEST(SyntheseEnFond, readings_asked_while_one_waits_are_one_and_those_after_a_write_carry_its_generation)
{
    Disque disque;
    SyntheseEnFond fond("/classe", disque.Acces());
    std::vector<std::uint64_t> generations;
    QObject::connect(&fond, &SyntheseEnFond::Lu,
                     [&](const SyntheseEnFond::Releve& r) { generations.push_back(r.generation); });
    std::vector<QString> ecrits;
    QObject::connect(&fond, &SyntheseEnFond::Ecrit,
                     [&](const QString& chemin, const QString&) { ecrits.push_back(chemin); });

    // Held by a report's write: three readings asked, two tables written,
    // then a second report.
    fond.Ecrire("retenu", "");
    for (int n = 0; n < 3; ++n)
        fond.Relire();
    const std::uint64_t premiere = fond.Enregistrer(Table("masse"));
    const std::uint64_t seconde = fond.Enregistrer(Table("volume"));
    fond.Ecrire("suivant", "");
    disque.porte.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return generations.size() >= 2; }, kAttente));
    // Nothing more is on its way: a last write's answer comes after it.
    fond.Ecrire("dernier", "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ecrits.size() == 3; }, kAttente));

    EXPECT_EQ(ecrits, (std::vector<QString>{"retenu", "suivant", "dernier"}));
    EXPECT_EQ(std::pair(premiere, seconde), std::pair(std::uint64_t{1}, std::uint64_t{2}));
    // The reading asked thrice, before the writes; one after both.
    EXPECT_EQ(generations, (std::vector<std::uint64_t>{0, 2}));
    EXPECT_EQ(disque.listes.load(), 2);
}

TEST(SyntheseEnFond, closing_on_a_share_that_hangs_keeps_the_writes_asked_and_drops_the_readings)
{
    Disque disque;
    std::promise<std::string> ecrite;
    auto acces = disque.Acces();
    acces.ecrireTable = [&ecrite](const std::string&, const Classe::TableClasse& t) -> Issue<void> {
        ecrite.set_value(t.facteur.nom);
        return {};
    };
    // Held by the worker only: released with it, once its thread has ended.
    auto temoin = std::make_shared<int>();
    const std::weak_ptr<int> libere = temoin;
    acces.empreinte = [temoin](const std::string&) { return std::optional<SyntheseEnFond::Empreinte>(); };
    temoin.reset();

    auto fond = std::make_unique<SyntheseEnFond>("/classe", std::move(acces));
    fond->Ecrire("retenu", ""); // the share hangs
    fond->Relire();
    fond->Enregistrer(Table("masse"));
    fond.reset(); // returns, the write still held
    disque.porte.set_value();

    auto table = ecrite.get_future();
    ASSERT_EQ(table.wait_for(std::chrono::milliseconds(kAttente)), std::future_status::ready);
    EXPECT_EQ(table.get(), "masse");
    ASSERT_TRUE(QTest::qWaitFor([&] { return libere.expired(); }, kAttente));
    EXPECT_EQ(disque.listes.load(), 0);
}
