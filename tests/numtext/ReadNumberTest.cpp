#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <locale>
#include <random>
#include <sstream>

namespace {

class ReadNumberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = DecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }

private:
    char saved_ = ',';
};

// The message of the failure for `text`, or "" when it was read.
std::string Echec(const std::string& text)
{
    try {
        ReadNumber(text);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "";
}

std::string Message(const std::string& text)
{
    return "'" + text + "' n'est pas une valeur en virgule flottante correcte";
}

TEST_F(ReadNumberTest, reads_the_comma_and_refuses_the_point_under_a_comma_separator)
{
    EXPECT_EQ(ReadNumber("0,25"), 0.25L);
    EXPECT_EQ(Echec("0.25"), Message("0.25"));
    EXPECT_EQ(Echec("1 000"), Message("1 000"));
    EXPECT_EQ(Echec("1,2,3"), Message("1,2,3"));
}

TEST_F(ReadNumberTest, reads_the_point_and_refuses_the_comma_under_a_point_separator)
{
    SetDecimalSeparator('.');
    EXPECT_EQ(ReadNumber("0.25"), 0.25L);
    EXPECT_EQ(ReadNumber("."), 0.0L);
    EXPECT_EQ(Echec("0,25"), Message("0,25"));
}

TEST_F(ReadNumberTest, skips_spaces_only_around_the_number)
{
    EXPECT_EQ(ReadNumber(" 20 "), 20.0L);
    EXPECT_EQ(ReadNumber("   -3,5"), -3.5L);
    EXPECT_EQ(Echec("\t20"), Message("\t20"));
    EXPECT_EQ(Echec("20\n"), Message("20\n"));
    EXPECT_EQ(Echec("- 5"), Message("- 5"));
    EXPECT_EQ(Echec("2 0"), Message("2 0"));
}

TEST_F(ReadNumberTest, reads_signs_and_exponents)
{
    EXPECT_EQ(ReadNumber("1e5"), 100000.0L);
    EXPECT_EQ(ReadNumber("1E+5"), 100000.0L);
    EXPECT_EQ(ReadNumber("+3"), 3.0L);
    EXPECT_EQ(ReadNumber("-2,5E-3"), -0.0025L);
    EXPECT_EQ(ReadNumber("25e-00003"), 0.025L);
    // Exponent digits may be absent, like the digits of the mantissa.
    EXPECT_EQ(ReadNumber("1,5e"), 1.5L);
    EXPECT_EQ(ReadNumber("1e"), 1.0L);
    EXPECT_EQ(ReadNumber("2E- "), 2.0L);
    EXPECT_EQ(Echec("e5"), Message("e5"));
    EXPECT_EQ(Echec("1e5,5"), Message("1e5,5"));
    EXPECT_EQ(Echec("1e++5"), Message("1e++5"));
}

TEST_F(ReadNumberTest, needs_a_digit_or_the_separator_in_the_mantissa)
{
    EXPECT_EQ(ReadNumber(","), 0.0L);
    EXPECT_EQ(ReadNumber(",5"), 0.5L);
    EXPECT_EQ(ReadNumber("-,5"), -0.5L);
    EXPECT_EQ(ReadNumber("7,"), 7.0L);
    EXPECT_EQ(Echec(""), Message(""));
    EXPECT_EQ(Echec("   "), Message("   "));
    EXPECT_EQ(Echec("-"), Message("-"));
    EXPECT_EQ(Echec("abc"), Message("abc"));
    EXPECT_EQ(Echec("12abc"), Message("12abc"));
}

TEST_F(ReadNumberTest, stops_taking_exponent_digits_at_500_and_refuses_overflow)
{
    EXPECT_EQ(Echec("1e5000"), Message("1e5000"));
    EXPECT_EQ(Echec("1e-5000"), Message("1e-5000"));
    EXPECT_EQ(Echec("1e4933"), Message("1e4933"));
    EXPECT_EQ(Echec("-1e4933"), Message("-1e4933"));
    EXPECT_EQ(Echec("1e499" + std::string(4500, '0')), Message("1e499" + std::string(4500, '0')));
    EXPECT_EQ(ReadNumber("1e499"), std::strtold("1e499", nullptr));
    EXPECT_EQ(ReadNumber("1e4932"), std::strtold("1e4932", nullptr));
    EXPECT_EQ(ReadNumber("1e0000000000000000000005"), 100000.0L);
    // Too small is not a failure: it reads as zero.
    EXPECT_EQ(ReadNumber("1e-4990"), 0.0L);
}

TEST_F(ReadNumberTest, reads_the_nearest_extended_value)
{
    EXPECT_EQ(ReadNumber("0,1"), 0.1L);
    EXPECT_EQ(ReadNumber("1,00013"), 1.00013L);
    EXPECT_EQ(ReadNumber("101325"), 101325.0L);
    EXPECT_EQ(ReadNumber("0," + std::string(40, '3')), std::strtold("0.3333333333333333333333333333333333333333", nullptr));
}

TEST_F(ReadNumberTest, reads_back_18_digit_texts_as_the_value_rounded_to_18_digits)
{
    std::mt19937_64 aleatoire(20240601);
    std::uniform_int_distribution<int> exposants(-90, 90);
    std::ostringstream arrondi;
    arrondi.imbue(std::locale::classic());
    arrondi << std::scientific;
    arrondi.precision(17);
    for (int essai = 0; essai < 20000; ++essai) {
        const unsigned long long mantisse = aleatoire() | (1ULL << 63);
        long double v = std::ldexp(static_cast<long double>(mantisse), exposants(aleatoire) - 63);
        if (aleatoire() & 1)
            v = -v;

        arrondi.str("");
        arrondi << v;
        long double attendu = 0;
        std::istringstream lu(arrondi.str());
        lu.imbue(std::locale::classic());
        lu >> attendu;

        const std::string texte = FormatGeneral(v, 18);
        const long double relu = ReadNumber(texte);
        ASSERT_EQ(relu, attendu) << "value " << arrondi.str() << " written as " << texte;
        // Within half a unit of the 18th digit of v, plus the rounding of
        // that decimal to the nearest extended value.
        const int e = static_cast<int>(std::floor(std::log10(std::fabs(v)))) + 1;
        const long double demiUnite = 0.5L * std::pow(10.0L, e - 18);
        ASSERT_LE(std::fabs(relu - v), demiUnite + std::ldexp(std::fabs(v), -63)) << texte;
    }
}

} // namespace
