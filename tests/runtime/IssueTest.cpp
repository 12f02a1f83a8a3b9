// The result type of the plain libraries: a value or a failure's message and
// code, a move-only value taken out whole, and a pointer to a derived class
// given where one to its base is returned; an operation with no value gives
// a success or a failure.
#include "runtime/Issue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Base {
    virtual ~Base() = default;
    virtual int Numero() const { return 1; }
};
struct Derivee final : Base {
    int Numero() const override { return 2; }
};

Issue<std::unique_ptr<Base>> Fabriquer(int cas)
{
    if (cas == 0)
        return Echec{"Le port /dev/ttyACM0 est introuvable.", 2};
    if (cas == 1)
        return std::make_unique<Derivee>();
    return std::make_unique<Base>();
}

TEST(Issue, holds_either_the_value_or_the_failure_and_gives_a_move_only_value_out_whole)
{
    const Issue<std::unique_ptr<Base>> echec = Fabriquer(0);
    ASSERT_FALSE(echec);
    EXPECT_EQ(echec.Message(), "Le port /dev/ttyACM0 est introuvable.");
    EXPECT_EQ(echec.Erreur().code, 2);

    for (const int cas : {1, 2}) {
        Issue<std::unique_ptr<Base>> reussi = Fabriquer(cas);
        ASSERT_TRUE(reussi.Reussi());
        const std::unique_ptr<Base> valeur = std::move(reussi).Valeur();
        ASSERT_NE(valeur, nullptr);
        EXPECT_EQ(valeur->Numero(), cas == 1 ? 2 : 1); // the derived class kept behind the base pointer
    }
}

TEST(Issue, of_nothing_is_a_success_or_holds_the_failure)
{
    const auto ecrire = [](bool possible) -> Issue<void> {
        if (!possible)
            return Echec{"Le fichier « classe.tsv » ne peut pas être écrit.", 13};
        return {};
    };
    EXPECT_TRUE(ecrire(true).Reussi());
    EXPECT_THROW((void)ecrire(true).Erreur(), std::bad_optional_access);
    const Issue<void> echec = ecrire(false);
    ASSERT_FALSE(echec);
    EXPECT_EQ(echec.Message(), "Le fichier « classe.tsv » ne peut pas être écrit.");
    EXPECT_EQ(echec.Erreur().code, 13);
}

} // namespace
