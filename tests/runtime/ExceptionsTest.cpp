#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, input_output_errors_use_the_framework_table)
{
    EXPECT_EQ(EInOutError(2).Message(), "Fichier introuvable");
    EXPECT_EQ(EInOutError(3).Message(), "Nom de fichier incorrect");
    EXPECT_EQ(EInOutError(4).Message(), "Trop de fichiers ouverts");
    EXPECT_EQ(EInOutError(5).Message(), "Accès au fichier refusé");
    EXPECT_EQ(EInOutError(100).Message(), "Lecture au-delà de la fin de fichier");
    EXPECT_EQ(EInOutError(101).Message(), "Disque plein");
    EXPECT_EQ(EInOutError(106).Message(), "Saisie numérique incorrecte");
    EXPECT_EQ(EInOutError(32).Message(), "Erreur E/S 32");
    EXPECT_EQ(EInOutError(112).Message(), "Erreur E/S 112");
    EXPECT_EQ(EInOutError(112).ErrorCode(), 112);
}

TEST(Exceptions, a_conversion_error_names_the_text)
{
    EXPECT_EQ(EConvertError::NotAFloat("0.25").Message(),
              "'0.25' n'est pas une valeur en virgule flottante correcte");
}

TEST(Exceptions, every_framework_error_is_caught_as_the_base)
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
}
