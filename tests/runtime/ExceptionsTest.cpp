#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, input_output_errors_use_the_framework_table_or_the_code)
{
    EXPECT_EQ(EInOutError(2).Message(), "Fichier introuvable");
    EXPECT_EQ(EInOutError(5).Message(), "Accès au fichier refusé");
    EXPECT_EQ(EInOutError(101).Message(), "Disque plein");
    EXPECT_EQ(EInOutError(112).Message(), "Erreur E/S 112");
    EXPECT_EQ(EInOutError(112).ErrorCode(), 112);
}

TEST(Exceptions, every_framework_error_is_caught_as_the_base_with_its_message)
{
    auto message = [](auto thrower) {
        try {
            thrower();
        } catch (const Exception& error) {
            return error.Message();
        }
        return std::string("nothing thrown");
    };
    EXPECT_EQ(message([] { throw EOutOfResources(); }), "Pas assez de timers disponibles");
    EXPECT_EQ(message([] { throw EClipboardException(); }), "Ne peut ouvrir le Presse-papiers");
    EXPECT_EQ(message([] { throw EInvalidOp(); }), "Opération en virgule flottante incorrecte");
    EXPECT_EQ(message([] { throw EZeroDivide(); }), "Division par zéro en virgule flottante");
    EXPECT_EQ(message([] { throw EOverflow(); }), "Débordement en virgule flottante");
}
