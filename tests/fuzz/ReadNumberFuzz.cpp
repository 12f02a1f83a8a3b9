// Fuzz target: ReadNumber on any text, under the separators ',' and '.'.
//
// Properties, for every input:
//   - nothing but EConvertError leaves ReadNumber, and no sanitizer reports;
//   - the text is read exactly when the reading rule, written out below as a
//     grammar independently of the implementation, accepts it and its value
//     fits in a long double; the value is then the C library's reading of the
//     same number; otherwise the message is "'<text>' n'est pas une valeur en
//     virgule flottante correcte";
//   - a text read under ',' reads the same under '.' once ',' and '.' are
//     swapped in it.
#include "FuzzSupport.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using Fuzz::Exiger;
using Fuzz::Lire;

// Takes the leading digits off `s` and returns them.
std::string_view PrendreChiffres(std::string_view& s)
{
    std::size_t n = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9')
        ++n;
    const std::string_view chiffres = s.substr(0, n);
    s.remove_prefix(n);
    return chiffres;
}

// True when some proper prefix of the exponent's digits already reaches the
// limit, so that the next digit is not taken and the text is refused.
bool ExposantTropLong(std::string_view chiffres)
{
    int valeur = 0;
    for (std::size_t k = 0; k + 1 < chiffres.size(); ++k) {
        valeur = valeur * 10 + (chiffres[k] - '0');
        if (valeur >= NumberText::kExposantMaxLu)
            return true;
    }
    return false;
}

// The reading rule as a grammar: spaces, [+-], digits [sep digits] (at least
// one character), [(E|e) [+-] digits], spaces. Returns the same number
// written for the C library ('.' as separator), or nothing when refused.
std::optional<std::string> Grammaire(std::string_view t, char sep)
{
    const std::size_t premier = t.find_first_not_of(' ');
    if (premier == std::string_view::npos)
        return std::nullopt;
    t = t.substr(premier, t.find_last_not_of(' ') - premier + 1);

    std::string reference;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        reference += t.front();
        t.remove_prefix(1);
    }
    const std::string_view entiers = PrendreChiffres(t);
    const bool separateur = !t.empty() && t.front() == sep;
    std::string_view decimales;
    if (separateur) {
        t.remove_prefix(1);
        decimales = PrendreChiffres(t);
    }
    if (entiers.empty() && !separateur)
        return std::nullopt;
    reference += '0';
    reference += entiers;
    reference += '.';
    reference += decimales;

    if (!t.empty() && (t.front() == 'E' || t.front() == 'e')) {
        t.remove_prefix(1);
        reference += 'e';
        if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
            reference += t.front();
            t.remove_prefix(1);
        }
        const std::string_view exposant = PrendreChiffres(t);
        if (ExposantTropLong(exposant))
            return std::nullopt;
        reference += exposant.empty() ? std::string_view("0") : exposant;
    }
    if (!t.empty())
        return std::nullopt;
    return reference;
}

bool Identiques(std::optional<long double> a, std::optional<long double> b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (*a == *b && std::signbit(*a) == std::signbit(*b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string texte(reinterpret_cast<const char*>(data), size);

    std::optional<long double> sousVirgule;
    for (const char sep : {',', '.'}) {
        SetDecimalSeparator(sep);
        const std::optional<std::string> reference = Grammaire(texte, sep);
        std::optional<long double> attendu;
        if (reference) {
            const long double v = Fuzz::LectureC(*reference);
            if (!std::isinf(v))
                attendu = v;
        }
        const std::optional<long double> lu = Lire(texte);
        Exiger(lu.has_value() == attendu.has_value(),
               lu ? "ReadNumber read a text outside the rule" : "ReadNumber refused a text of the rule", texte,
               lu.value_or(0));
        Exiger(Identiques(lu, attendu), "ReadNumber gives the C library's value", texte, lu.value_or(0));
        if (sep == ',')
            sousVirgule = lu;
    }

    SetDecimalSeparator('.');
    const std::string permute = Fuzz::Remplacer(Fuzz::Remplacer(Fuzz::Remplacer(texte, ',', '\x01'), '.', ','), '\x01', '.');
    if (texte.find('\x01') == std::string::npos)
        Exiger(Identiques(Lire(permute), sousVirgule), "swapping ',' and '.' with the separator reads the same",
               texte);
    return 0;
}
