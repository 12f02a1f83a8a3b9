// Fuzz target: FormatGeneral, then ReadNumber on its text, under the
// separators ',' and '.'.
//
// Input: byte 0 chooses the value's type (bit 0 set: a double widened, as the
// program's measured values are; clear: a long double), byte 1 is the
// precision asked for (a signed byte, so that clamping is exercised), the
// following bytes are the value's bits (missing bytes are zero).
//
// Properties, for every value v and precision P:
//   - asking for P gives the text of P clamped to 2..18;
//   - INF and NAN give "INF" and "NAN", which are not read back;
//   - the text holds only '-', digits, the separator and 'E', in fixed
//     notation from 0,0001 to below 10^P and scientific notation otherwise,
//     with at most P significant digits and no trailing zero after the
//     separator;
//   - the text reads back (ReadNumber) unless its value is beyond the long
//     double range, which only the C library's reading of the text decides;
//     the value w read has v's sign, lies within one unit of the P-th digit
//     of v, and formats to the same text (FormatGeneral(w, P, DecimalSeparator()) equals it;
//     among subnormal values only at P = 18);
//   - at P = 18, w is exactly v rounded to 18 significant digits, that is the
//     C library's "%.17Le" of v read back by the C library; below 18, w is
//     within half a unit of the P-th digit of that number, ties away from 0;
//   - the texts under ',' and '.' differ only by the separator.
#include "FuzzSupport.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace {

using Fuzz::Exiger;
using Fuzz::Lire;

// The value encoded by the input's bytes. A long double takes the 80-bit
// layout, with the explicit integer bit set exactly when the exponent is not
// zero: the encodings without it (unnormals) are never produced by arithmetic.
long double Valeur(const std::uint8_t* octets, std::size_t taille, bool enDouble)
{
    std::uint8_t bits[16] = {};
    std::memcpy(bits, octets, std::min(taille, sizeof bits));
    if (enDouble) {
        double d;
        std::memcpy(&d, bits, sizeof d);
        return d;
    }
    const bool exposantNul = (bits[8] | (bits[9] & 0x7F)) == 0;
    bits[7] = exposantNul ? (bits[7] & 0x7F) : (bits[7] | 0x80);
    long double v = 0;
    std::memcpy(&v, bits, 10);
    return v;
}

// The layout of a finite value's text at precision p: an optional '-'; then
// either fixed notation, an integer part without leading zeros of at most p
// digits ("0" when the value is below 1, followed by at most three zeros
// after the separator), or scientific notation, one digit 1 to 9, "E" and an
// exponent outside -4..p-1 without '+' or leading zeros; at most p
// significant digits; no trailing zero after the separator.
void VerifierForme(const std::string& texte, int p, char sep, long double v)
{
    auto chiffres = [](const std::string& s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    std::string corps = texte;
    if (!corps.empty() && corps.front() == '-')
        corps.erase(0, 1);
    Exiger(corps != "0" || v == 0, "only zero is written 0", texte, v);
    if (corps == "0")
        return;

    const std::size_t posE = corps.find('E');
    const std::string mantisse = corps.substr(0, posE);
    const std::size_t posSep = mantisse.find(sep);
    const std::string entiers = mantisse.substr(0, posSep);
    const std::string decimales = posSep == std::string::npos ? "" : mantisse.substr(posSep + 1);
    Exiger(chiffres(entiers) && (posSep == std::string::npos || chiffres(decimales)),
           "digits, one separator between them", texte, v);
    Exiger(decimales.empty() || decimales.back() != '0', "no trailing zero after the separator", texte, v);

    const std::string significatifs = (entiers == "0" ? "" : entiers) + decimales;
    const std::size_t premier = significatifs.find_first_not_of('0');
    Exiger(premier != std::string::npos && static_cast<int>(significatifs.size() - premier) <= p,
           "at most P significant digits", texte, v);

    if (posE == std::string::npos) {
        Exiger(entiers == "0" || entiers.front() != '0', "no leading zero", texte, v);
        Exiger(static_cast<int>(entiers.size()) <= p, "fixed notation below 10^P", texte, v);
        Exiger(entiers != "0" || premier <= 3, "fixed notation from 0,0001", texte, v);
    } else {
        const std::string exposant = corps.substr(posE + 1);
        const bool negatif = !exposant.empty() && exposant.front() == '-';
        const std::string valeur = exposant.substr(negatif ? 1 : 0);
        Exiger(chiffres(valeur) && (valeur == "0" || valeur.front() != '0'),
               "an exponent without '+' or leading zeros", texte, v);
        const long x = (negatif ? -1 : 1) * std::stol(valeur.substr(0, 6));
        Exiger(entiers.size() == 1 && entiers != "0", "one digit 1 to 9 before the separator", texte, v);
        Exiger(x < -4 || x >= p, "scientific notation only outside 0,0001..10^P", texte, v);
    }
}

// v rounded to 18 significant digits by the C library, as digits and the
// exponent of the first one: v ~ d.ddd... x 10^x.
struct Decimal18 {
    std::string chiffres;
    int x;
    std::string texte; // "%.17Le"
};

Decimal18 Arrondi18(long double v)
{
    char brut[64];
    std::snprintf(brut, sizeof brut, "%.*Le", NumberText::kChiffresConversion - 1, v);
    Decimal18 d{"", 0, brut};
    const char* c = brut;
    for (; *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            d.chiffres += *c;
    d.x = std::atoi(c + 1);
    return d;
}

// The text of `v` at precision `p` under `sep`, checked as described above.
std::string Verifier(long double v, int demandee, char sep)
{
    SetDecimalSeparator(sep);
    const int p = std::clamp(demandee, NumberText::kMinPrecision, NumberText::kMaxPrecision);
    const std::string texte = FormatGeneral(v, demandee, DecimalSeparator());
    Exiger(texte == FormatGeneral(v, p, DecimalSeparator()), "the precision is clamped to 2..18", texte, v);

    if (!std::isfinite(v)) {
        Exiger(texte == (std::isnan(v) ? "NAN" : "INF"), "INF and NAN are written without sign", texte, v);
        Exiger(!Lire(texte), "INF and NAN are not read back", texte, v);
        return texte;
    }

    VerifierForme(texte, p, sep, v);

    const long double reference = Fuzz::LectureC(Fuzz::Remplacer(texte, sep, '.'));
    const std::optional<long double> w = Lire(texte);
    Exiger(w.has_value() == !std::isinf(reference), "the text reads back unless beyond the long double range",
           texte, v);
    if (!w)
        return texte;

    Exiger(*w == reference, "ReadNumber gives the C library's value of the text", texte, *w);
    // Below LDBL_MIN the values have fewer significant bits: a P-digit text
    // reads as the nearest subnormal, which may format differently unless P
    // is 18 (v itself is then among the candidates, as near as any).
    if (p == NumberText::kMaxPrecision || std::fabs(*w) >= LDBL_MIN)
        Exiger(FormatGeneral(*w, p, DecimalSeparator()) == texte, "the value read formats to the same text", texte, *w);
    if (v == 0) {
        Exiger(*w == 0 && texte == "0", "zero of either sign reads back as 0", texte, v);
        return texte;
    }
    Exiger(std::signbit(*w) == std::signbit(v), "the value read keeps the sign", texte, *w);
    const long double ecart = std::fabs(*w - v);
    const long double borne = std::fabs(v) * std::pow(10.0L, 1 - p) + LDBL_TRUE_MIN;
    Exiger(ecart <= borne, "the value read lies within one unit of the P-th digit", texte, *w);

    // Against the C library's 18 digits of v: at P = 18 the value read is that
    // number exactly; below, it is within half a unit of the P-th digit of it,
    // and a tie (the digits after the P-th are 5 then zeros) went away from zero.
    const Decimal18 d = Arrondi18(v);
    const long double r18 = Fuzz::LectureC(d.texte);
    if (p == NumberText::kMaxPrecision) {
        Exiger(*w == r18, "at precision 18 the value read is v rounded to 18 digits", texte + " vs " + d.texte, *w);
    } else if (!std::isinf(r18)) {
        const long double demiUnite = 0.5L * std::pow(10.0L, d.x - (p - 1));
        const long double jeu = std::fabs(v) * 0x1p-60L + LDBL_TRUE_MIN;
        Exiger(std::fabs(*w - r18) <= demiUnite + jeu, "rounded to nearest at the P-th digit",
               texte + " vs " + d.texte, *w);
        const bool egalite = d.chiffres[p] == '5' && d.chiffres.find_first_not_of('0', p + 1) == std::string::npos;
        if (egalite && std::fabs(v) >= LDBL_MIN)
            Exiger(std::fabs(*w) > std::fabs(r18), "a tie rounds away from zero", texte + " vs " + d.texte, *w);
    }
    return texte;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool enDouble = (data[0] & 1) != 0;
    const int precision = static_cast<std::int8_t>(data[1]);
    const long double v = Valeur(data + 2, size - 2, enDouble);

    const std::string virgule = Verifier(v, precision, ',');
    const std::string point = Verifier(v, precision, '.');
    Exiger(Fuzz::Remplacer(virgule, ',', '.') == point, "the two separators give the same text otherwise", virgule,
           v);
    // The exact property of 18 digits holds for every value, whatever P was asked.
    if (std::clamp(precision, NumberText::kMinPrecision, NumberText::kMaxPrecision) != NumberText::kMaxPrecision)
        Verifier(v, NumberText::kMaxPrecision, ',');
    return 0;
}
