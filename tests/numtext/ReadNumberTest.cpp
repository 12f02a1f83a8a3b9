#include "SeparatorFixture.h"

#include "runtime/Exceptions.h"

#include <cmath>
#include <cstdlib>
#include <locale>
#include <random>
#include <sstream>

namespace {

using ReadNumberTest = CommaSeparatorTest;

struct Lu {
    std::string text;
    long double value;
};

// Each text reads as its value under the current separator.
void ExpectRead(std::initializer_list<Lu> cases)
{
    for (const Lu& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(ReadNumber(c.text, DecimalSeparator()), c.value);
    }
}

// Each text is refused, with the message that names it.
void ExpectRefused(std::initializer_list<std::string> texts)
{
    for (const std::string& text : texts) {
        SCOPED_TRACE("text \"" + text + "\"");
        try {
            const long double value = ReadNumber(text, DecimalSeparator());
            ADD_FAILURE() << "read as " << static_cast<double>(value);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + text + "' n'est pas une valeur en virgule flottante correcte");
        }
    }
}

TEST_F(ReadNumberTest, reads_only_the_current_separator)
{
    ExpectRead({{"0,25", 0.25L}, {" 0,25 ", 0.25L}, {",", 0.0L}});
    ExpectRefused({"0.25", "1 000", "1,2,3"});
    SetDecimalSeparator('.');
    ExpectRead({{"0.25", 0.25L}, {".", 0.0L}});
    ExpectRefused({"0,25"});
}

TEST_F(ReadNumberTest, reads_the_rule_of_spaces_sign_mantissa_and_exponent)
{
    ExpectRead({
        {" 20 ", 20.0L}, {"   -3,5", -3.5L}, {"+3", 3.0L},
        {",5", 0.5L}, {"-,5", -0.5L}, {"7,", 7.0L},
        {"1e5", 100000.0L}, {"1E+5", 100000.0L}, {"-2,5E-3", -0.0025L}, {"25e-00003", 0.025L},
        // Exponent digits may be absent, like the digits of the mantissa.
        {"1,5e", 1.5L}, {"1e", 1.0L}, {"2E- ", 2.0L},
    });
    ExpectRefused({
        "\t20", "20\n", "- 5", "2 0", "", "   ", "-", "abc", "12abc", "e5", "1e5,5", "1e++5",
    });
}

TEST_F(ReadNumberTest, stops_taking_exponent_digits_at_500_and_refuses_overflow)
{
    ExpectRefused({"1e5000", "1e-5000", "1e4933", "-1e4933", "1e499" + std::string(4500, '0')});
    ExpectRead({
        {"1e499", std::strtold("1e499", nullptr)},
        {"1e4932", std::strtold("1e4932", nullptr)},
        {"1e0000000000000000000005", 100000.0L},
        // Too small is not a failure: it reads as zero.
        {"1e-4990", 0.0L},
    });
}

TEST_F(ReadNumberTest, reads_the_nearest_extended_value)
{
    ExpectRead({
        {"0,1", 0.1L}, {"1,00013", 1.00013L}, {"101325", 101325.0L},
        {"0," + std::string(40, '3'), std::strtold("0.3333333333333333333333333333333333333333", nullptr)},
    });
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

        // v rounded to 18 significant digits by the C++ library, read back.
        arrondi.str("");
        arrondi << v;
        long double attendu = 0;
        std::istringstream lu(arrondi.str());
        lu.imbue(std::locale::classic());
        lu >> attendu;

        const std::string texte = FormatGeneral(v, 18, DecimalSeparator());
        ASSERT_EQ(ReadNumber(texte, DecimalSeparator()), attendu) << "value " << arrondi.str() << " written as " << texte;
    }
}

} // namespace
