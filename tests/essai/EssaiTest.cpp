// The run object: readings kept in their order with their extent from the
// first reading's amount, and who is told what, in which order, when an
// observer raises or leaves.
#include "essai/Essai.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

LectureEssai Lecture(int rang, std::optional<double> quantite)
{
    LectureEssai lecture;
    lecture.rang = rang;
    lecture.pression = 100000 + rang;
    lecture.quantite = quantite;
    lecture.avancement = 42; // the run's own extent replaces whatever comes
    return lecture;
}

TEST(Essai, the_journal_is_told_first_and_no_observer_that_raises_keeps_another_from_being_told)
{
    // Three observers subscribed in this order: a view "a", the journal "J"
    // (subscribed after it, told before it), a view "b". `leve` names those
    // that raise at each event; `part` the one that leaves at its first.
    struct Cas {
        const char* nom;
        std::string leve;
        char part;
        std::string dit; // events told, in order: name then 0/1 (reading) or F (end)
        bool erreur;     // Ajouter and Terminer raise
    };
    const Cas cas[] = {
        {"all told, the journal first", "", 0, "J0a0b0J1a1b1JFaFbF", false},
        {"a view raises: the journal and the other view still told", "a", 0, "J0a0b0J1a1b1JFaFbF", true},
        {"the journal raises: the views still told", "J", 0, "J0a0b0J1a1b1JFaFbF", true},
        {"every one raises: each still told", "Jab", 0, "J0a0b0J1a1b1JFaFbF", true},
        {"a view leaves while told: told no more", "", 'a', "J0a0b0J1b1JFbF", false},
    };
    for (const Cas& c : cas) {
        Essai essai({});
        std::string dit;
        std::vector<Essai::Abonnement> abonnements;
        const auto observateur = [&](char nom) {
            const auto dire = [&, nom](std::string evenement) {
                dit += nom + evenement;
                if (c.part == nom)
                    essai.Oublier(abonnements[nom == 'a' ? 0 : 2]);
                if (c.leve.find(nom) != std::string::npos)
                    throw EOverflow();
            };
            return Essai::Observateur{
                [dire](const Essai& e, const LectureEssai& l) {
                    // Told once the reading is in the run.
                    EXPECT_EQ(e.Lectures().back().rang, l.rang);
                    dire(std::to_string(l.rang));
                },
                [dire](const Essai&) { dire("F"); }};
        };
        abonnements.push_back(essai.Observer(observateur('a')));
        abonnements.push_back(essai.Observer(observateur('J'), Essai::Rang::Journal));
        abonnements.push_back(essai.Observer(observateur('b')));

        for (int rang = 0; rang < 2; ++rang) {
            if (c.erreur)
                EXPECT_THROW(essai.Ajouter(Lecture(rang, 0.01)), EOverflow) << c.nom;
            else
                EXPECT_NO_THROW(essai.Ajouter(Lecture(rang, 0.01))) << c.nom;
        }
        if (c.erreur)
            EXPECT_THROW(essai.Terminer(), EOverflow) << c.nom;
        else
            EXPECT_NO_THROW(essai.Terminer()) << c.nom;
        essai.Terminer(); // the end is told once
        EXPECT_EQ(dit, c.dit) << c.nom;
        EXPECT_EQ(essai.Nombre(), 2) << c.nom; // the readings stay whoever raised
        EXPECT_TRUE(essai.Termine()) << c.nom;
    }
}

TEST(Essai, each_extent_is_measured_from_the_first_readings_amount_and_is_missing_when_either_is)
{
    // Amounts p·V/(R·T) for V = 0,25 L, T = 293 K, R = 8,314: 100 000 Pa
    // then 102 000 Pa give 0,0102627 then 0,0104680 mol, an extent of
    // 0,000205254 mol.
    Essai essai({{}, "carte simulée", 0.25, 20, 100000, true, "poste-12"});
    const double n0 = 100000 * 0.00025 / (8.314 * 293), n1 = 102000 * 0.00025 / (8.314 * 293);
    essai.Ajouter(Lecture(0, n0));
    essai.Ajouter(Lecture(1, n1));
    essai.Ajouter(Lecture(2, std::nullopt));
    ASSERT_EQ(essai.Nombre(), 3);
    EXPECT_NEAR(*essai.QuantiteInitiale(), 0.0102627, 5e-8);
    EXPECT_EQ(essai.Lectures()[0].avancement, 0.0L);
    EXPECT_NEAR(static_cast<double>(*essai.Lectures()[1].avancement), 0.000205254, 5e-10);
    EXPECT_FALSE(essai.Lectures()[2].avancement); // missing, not 0 mol
    EXPECT_EQ(essai.Lectures()[2].pression, 100002.0L);
    EXPECT_EQ(essai.Conditions().poste, "poste-12");

    // A first reading without its amount leaves every later extent missing.
    Essai sansDebut({});
    sansDebut.Ajouter(Lecture(0, std::nullopt));
    sansDebut.Ajouter(Lecture(1, n1));
    EXPECT_FALSE(sansDebut.QuantiteInitiale());
    EXPECT_FALSE(sansDebut.Lectures()[1].avancement);
}

} // namespace
