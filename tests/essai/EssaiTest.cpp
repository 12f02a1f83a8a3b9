// The run object: readings kept in their order, each observer told of each
// new reading in the order they came, and what happens when one of them
// raises or leaves.
#include "essai/Essai.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LectureEssai Lecture(int rang, long double pression)
{
    LectureEssai lecture;
    lecture.rang = rang;
    lecture.tempsTick = rang * 1.00013;
    lecture.pression = pression;
    return lecture;
}

TEST(Essai, keeps_its_conditions_and_tells_each_observer_of_each_reading_in_their_order)
{
    Essai essai({"carte simulée", {}, 0.00025, 293, 100000, true, "poste-12"});
    std::vector<std::string> dit;
    essai.Observer([&](const Essai& e, const LectureEssai& l) {
        // Told once the reading is in the run.
        dit.push_back("a" + std::to_string(l.rang) + "/" + std::to_string(e.Nombre()));
    });
    essai.Observer([&](const Essai&, const LectureEssai& l) { dit.push_back("b" + std::to_string(l.rang)); });

    essai.Ajouter(Lecture(0, 101325));
    essai.Ajouter(Lecture(1, 101400));

    EXPECT_EQ(dit, (std::vector<std::string>{"a0/1", "b0", "a1/2", "b1"}));
    ASSERT_EQ(essai.Nombre(), 2);
    EXPECT_EQ(essai.Lectures()[1].pression, 101400.0L);
    EXPECT_EQ(essai.Conditions().source, "carte simulée");
    EXPECT_EQ(essai.Conditions().volume, 0.00025);
    EXPECT_TRUE(essai.Conditions().pEtMoinsP);
    EXPECT_EQ(essai.Conditions().machine, "poste-12");
}

TEST(Essai, an_observer_that_leaves_while_told_and_one_that_raises)
{
    struct Cas {
        const char* nom;
        bool premierLeve;       // the first observer raises
        bool premierSeRetire;   // the first observer leaves at its first reading
        std::vector<int> second; // the readings the second observer was told of
    };
    const Cas cas[] = {
        {"both told", false, false, {0, 1}},
        {"first raises: the second is not told, the reading stays", true, false, {}},
        {"first leaves: told no more, the second still is", false, true, {0, 1}},
    };
    for (const Cas& c : cas) {
        Essai essai({});
        int premier = 0;
        Essai::Abonnement abonnement = 0;
        abonnement = essai.Observer([&](const Essai&, const LectureEssai&) {
            ++premier;
            if (c.premierSeRetire)
                essai.Oublier(abonnement);
            if (c.premierLeve)
                throw EOverflow();
        });
        std::vector<int> second;
        essai.Observer([&](const Essai&, const LectureEssai& l) { second.push_back(l.rang); });

        for (int rang = 0; rang < 2; ++rang) {
            if (c.premierLeve)
                EXPECT_THROW(essai.Ajouter(Lecture(rang, 1)), EOverflow) << c.nom;
            else
                essai.Ajouter(Lecture(rang, 1));
        }
        EXPECT_EQ(essai.Nombre(), 2) << c.nom;
        EXPECT_EQ(premier, c.premierSeRetire ? 1 : 2) << c.nom;
        EXPECT_EQ(second, c.second) << c.nom;
    }
}

} // namespace
