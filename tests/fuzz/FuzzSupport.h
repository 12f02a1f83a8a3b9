#pragma once
// What both number-text fuzz targets share: a failed property prints what was
// being checked and aborts, so libFuzzer keeps the input as a crash artifact;
// ReadNumber with its refusal checked; and an independent reading of decimal
// text through the C library.
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace Fuzz {

// Aborts with the property's name and the text involved when `ok` is false.
inline void Exiger(bool ok, const char* propriete, const std::string& texte, long double valeur = 0)
{
    if (ok)
        return;
    std::fprintf(stderr, "\n*** property failed: %s\n    text: \"%s\"\n    value: %.21Lg (%La)\n", propriete,
                 texte.c_str(), valeur, valeur);
    std::abort();
}

// ReadNumber's value, or nothing when it refused the text (with its message
// checked).
inline std::optional<long double> Lire(const std::string& texte)
{
    try {
        return ReadNumber(texte, DecimalSeparator());
    } catch (const EConvertError& e) {
        Exiger(e.Message() == "'" + texte + "' n'est pas une valeur en virgule flottante correcte",
               "the refusal names the text", texte);
        return std::nullopt;
    }
}

// The C library's reading of `texte`, which must use '.' and be a complete
// number; HUGE_VALL for a value beyond the long double range.
inline long double LectureC(const std::string& texte)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* fin = nullptr;
    const long double valeur = strtold_l(texte.c_str(), &fin, c);
    Exiger(fin == texte.c_str() + texte.size(), "the C library reads the whole reference text", texte);
    return valeur;
}

// `texte` with every `de` replaced by `vers`.
inline std::string Remplacer(std::string texte, char de, char vers)
{
    for (char& c : texte)
        if (c == de)
            c = vers;
    return texte;
}

} // namespace Fuzz
