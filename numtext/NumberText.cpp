#include "numtext/NumberText.h"

#include "runtime/Exceptions.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace {

constexpr char kSeparateurSansReglage = ',';

// True when the environment names no regional setting for LC_NUMERIC, with
// the precedence setlocale(LC_NUMERIC, "") gives: LC_ALL, LC_NUMERIC, LANG.
bool SansReglageRegional()
{
    const char* nom = nullptr;
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* valeur = std::getenv(variable);
        if (valeur != nullptr && *valeur != '\0') {
            nom = valeur;
            break;
        }
    }
    if (nom == nullptr)
        return true;
    const std::string n(nom);
    return n == "C" || n == "POSIX" || n.rfind("C.", 0) == 0;
}

// The text of `item` (RADIXCHAR, THOUSEP) in the environment's LC_NUMERIC
// locale, read without touching the process's own locale; empty when that
// locale is not installed.
std::string ReglageNumerique(nl_item item)
{
    std::string texte;
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        return texte;
    if (const char* valeur = nl_langinfo_l(item, loc); valeur != nullptr)
        texte = valeur;
    freelocale(loc);
    return texte;
}

// The separator of the environment's locale. A locale that is not
// installed, or whose radix character is not a single byte, gives the comma.
char SeparateurDuSysteme()
{
    if (SansReglageRegional())
        return kSeparateurSansReglage;
    const std::string radix = ReglageNumerique(RADIXCHAR);
    return radix.size() == 1 ? radix[0] : kSeparateurSansReglage;
}

// Initialised on first use, so no other static's constructor can see it unset.
std::atomic<char>& Separateur()
{
    static std::atomic<char> separateur{SeparateurDuSysteme()};
    return separateur;
}

// The "C" locale for strtold_l: the text handed to it always uses '.'.
locale_t LocaleC()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

bool EstChiffre(char c) { return c >= '0' && c <= '9'; }

} // namespace

char DecimalSeparator() { return Separateur().load(std::memory_order_relaxed); }

void SetDecimalSeparator(char separator) { Separateur().store(separator, std::memory_order_relaxed); }

const std::string& SystemThousandsSeparator()
{
    static const std::string separateur = [] {
        std::string s = ReglageNumerique(THOUSEP);
        // A single byte above 0x7F is a Latin-1 character (a locale in a
        // one-byte encoding): kept as UTF-8.
        if (s.size() == 1 && static_cast<unsigned char>(s[0]) >= 0x80) {
            const auto c = static_cast<unsigned char>(s[0]);
            s = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        }
        if (s.empty())
            s = "\xC2\xA0"; // no-break space
        return s;
    }();
    return separateur;
}

namespace NumberText {

SignificantDigits DigitsOf(long double value)
{
    // "d.ddddddddddddddddde±x". Only digits are collected before the 'e', so
    // the radix character of whatever C locale is in force does not matter.
    char brut[64];
    std::snprintf(brut, sizeof brut, "%.*Le", kChiffresConversion - 1, value);
    SignificantDigits d;
    const char* c = brut;
    d.negative = (*c == '-');
    int n = 0;
    for (; *c != 'e' && *c != '\0'; ++c)
        if (EstChiffre(*c) && n < kChiffresConversion)
            d.digits[n++] = *c;
    d.exponent = (*c == 'e') ? std::atoi(c + 1) + 1 : 1;
    return d;
}

bool IncrementDigits(char* first, char* last)
{
    while (last != first) {
        --last;
        if (*last != '9') {
            ++*last;
            return false;
        }
        *last = '0';
    }
    return true;
}

} // namespace NumberText

std::string FormatGeneral(long double value, int precision, char separator)
{
    using namespace NumberText;
    if (std::isinf(value))
        return "INF";
    if (std::isnan(value))
        return "NAN";
    if (value == 0)
        return "0";
    const int p = std::clamp(precision, kMinPrecision, kMaxPrecision);

    // 18 significant digits, rounded to nearest: |value| = 0.d1d2... x 10^e.
    SignificantDigits d = DigitsOf(value);
    char* const chiffres = d.digits;
    const bool negatif = d.negative;
    int e = d.exponent;

    // Round to p digits, half up in magnitude.
    if (p < kChiffresConversion && chiffres[p] >= '5' && IncrementDigits(chiffres, chiffres + p)) {
        chiffres[0] = '1'; // 99..9 carried into a new digit
        ++e;
    }
    int n = p;
    while (n > 0 && chiffres[n - 1] == '0')
        --n;

    const char sep = separator;
    std::string texte;
    if (negatif)
        texte += '-';
    if (e >= -3 && e <= p) {
        if (e > 0) {
            for (int i = 0; i < e; ++i)
                texte += i < n ? chiffres[i] : '0';
            if (n > e) {
                texte += sep;
                texte.append(chiffres + e, chiffres + n);
            }
        } else {
            texte += '0';
            texte += sep;
            texte.append(static_cast<std::size_t>(-e), '0');
            texte.append(chiffres, chiffres + n);
        }
    } else {
        texte += chiffres[0];
        if (n > 1) {
            texte += sep;
            texte.append(chiffres + 1, chiffres + n);
        }
        texte += 'E';
        texte += std::to_string(e - 1);
    }
    return texte;
}

long double ReadNumber(const std::string& text, char separator)
{
    using namespace NumberText;
    const char sep = separator;
    const std::size_t fin = text.size();
    std::size_t i = 0;
    auto echec = [&text]() { return EConvertError::NotAFloat(text); };

    while (i < fin && text[i] == ' ')
        ++i;

    // The syntax is checked here; the value is then computed exactly by
    // strtold_l from a normalised copy that always uses '.'.
    std::string normalise;
    normalise.reserve(fin + 16);
    if (i < fin && (text[i] == '+' || text[i] == '-'))
        normalise += text[i++];

    const std::size_t debutMantisse = i;
    normalise += '0'; // so that ",5" and "," read as 0.5 and 0
    while (i < fin && EstChiffre(text[i]))
        normalise += text[i++];
    if (i < fin && text[i] == sep) {
        ++i;
        normalise += '.';
        while (i < fin && EstChiffre(text[i]))
            normalise += text[i++];
    }
    if (i == debutMantisse)
        throw echec();

    if (i < fin && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool exposantNegatif = false;
        if (i < fin && (text[i] == '+' || text[i] == '-'))
            exposantNegatif = (text[i++] == '-');
        int exposant = 0;
        while (i < fin && EstChiffre(text[i]) && exposant < kExposantMaxLu)
            exposant = exposant * 10 + (text[i++] - '0');
        normalise += 'e';
        if (exposantNegatif)
            normalise += '-';
        normalise += std::to_string(exposant);
    }

    while (i < fin && text[i] == ' ')
        ++i;
    if (i != fin)
        throw echec();

    const long double valeur = strtold_l(normalise.c_str(), nullptr, LocaleC());
    if (std::isinf(valeur))
        throw echec();
    return valeur;
}
