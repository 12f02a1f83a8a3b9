#include "numtext/NumberText.h"

#include "runtime/Exceptions.h"

#include <algorithm>
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

// The separator of the environment's locale, read without touching the
// process's own locale. A locale that is not installed, or whose radix
// character is not a single byte, gives the comma.
char SeparateurDuSysteme()
{
    if (SansReglageRegional())
        return kSeparateurSansReglage;
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        return kSeparateurSansReglage;
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    char separateur = kSeparateurSansReglage;
    if (radix != nullptr && radix[0] != '\0' && radix[1] == '\0')
        separateur = radix[0];
    freelocale(loc);
    return separateur;
}

// Initialised on first use, so no other static's constructor can see it unset.
char& Separateur()
{
    static char separateur = SeparateurDuSysteme();
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

char DecimalSeparator() { return Separateur(); }

void SetDecimalSeparator(char separator) { Separateur() = separator; }

std::string FormatGeneral(long double value, int precision)
{
    using namespace NumberText;
    if (std::isinf(value))
        return "INF";
    if (std::isnan(value))
        return "NAN";
    if (value == 0)
        return "0";
    const int p = std::clamp(precision, kMinPrecision, kMaxPrecision);

    // 18 significant digits, rounded to nearest (glibc's conversion is exact):
    // "d.ddddddddddddddddde±x". Only digits are collected before the 'e', so
    // the radix character of whatever C locale is in force does not matter.
    char brut[64];
    std::snprintf(brut, sizeof brut, "%.*Le", kChiffresConversion - 1, value);
    char chiffres[kChiffresConversion];
    int n = 0;
    const char* c = brut;
    const bool negatif = (*c == '-');
    for (; *c != 'e'; ++c)
        if (EstChiffre(*c) && n < kChiffresConversion)
            chiffres[n++] = *c;
    int e = std::atoi(c + 1) + 1; // |value| = 0.d1d2... x 10^e

    // Round to p digits, half up in magnitude.
    if (p < n && chiffres[p] >= '5') {
        int i = p - 1;
        while (i >= 0 && chiffres[i] == '9')
            chiffres[i--] = '0';
        if (i >= 0) {
            ++chiffres[i];
        } else { // 99..9 carried into a new digit
            chiffres[0] = '1';
            std::fill(chiffres + 1, chiffres + p, '0');
            ++e;
        }
    }
    n = p;
    while (n > 0 && chiffres[n - 1] == '0')
        --n;

    const char sep = DecimalSeparator();
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

long double ReadNumber(const std::string& text)
{
    using namespace NumberText;
    const char sep = DecimalSeparator();
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
