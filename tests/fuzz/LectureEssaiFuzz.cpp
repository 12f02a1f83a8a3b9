// Fuzz target: the reading of a saved run (journal/LectureEssai.h).
//
// Input: byte 0 chooses the mode.
//   - bit 0 clear: the other bytes are a file, read as it is. Properties: the
//     reading either gives points, every time and pressure finite, which
//     written back in the program's own layout (TAB, CR, 17 digits) read
//     back to the same points in the same order; or it refuses the file with
//     a non-empty UTF-8 message.
//   - bit 0 set: byte 1 chooses a layout (field separator TAB, ';' or ',';
//     decimal comma or point, the comma only where fields are not separated
//     by commas; line ends CR, LF or CRLF; a header line or none; a UTF-8
//     mark or none), the other bytes are pairs of doubles (t, p), the
//     non-finite ones left out. The file written in that layout with 17
//     significant digits is read to exactly those points: each value is the
//     C library's reading of the text written for it.
#include "FuzzSupport.h"

#include "journal/LectureEssai.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Cinetique::Point;
using Fuzz::Exiger;

constexpr int kChiffres = 17;

std::string Texte(double valeur, char decimal)
{
    return Fuzz::Remplacer(FormatGeneral(valeur, kChiffres, DecimalSeparator()), DecimalSeparator(), decimal);
}

void VerifierPoints(const std::vector<Point>& points, const std::string& octets)
{
    std::string programme = "Date, en s\tTension sur la voie 1, en V\r";
    for (const Point& point : points) {
        Exiger(std::isfinite(point.t) && std::isfinite(point.p), "every value read is finite", octets);
        programme += Texte(point.t, ',') + "\t" + Texte(point.p, ',') + "\r";
    }
    const std::vector<Point> relus = Cinetique::LireEssai(programme + "\r\n");
    Exiger(relus.size() == points.size(), "the points written back read back", programme);
    for (std::size_t i = 0; i < points.size(); ++i)
        Exiger(relus[i].t == points[i].t && relus[i].p == points[i].p, "the same points in the same order", programme);
}

void Brut(const std::string& octets)
{
    std::vector<Point> points;
    try {
        points = Cinetique::LireEssai(octets);
    } catch (const EEssaiIllisible& e) {
        Exiger(!e.Message().empty() && Cinetique::EnUtf8(e.Message()) == e.Message(), "a UTF-8 message says why",
               octets);
        return;
    }
    VerifierPoints(points, octets);
}

void Ecrit(std::uint8_t choix, const std::uint8_t* data, std::size_t size)
{
    const char separateur = "\t;,"[choix % 3];
    const char decimal = separateur != ',' && (choix & 4) != 0 ? ',' : '.';
    static const char* const kFinsDeLigne[] = {"\r", "\n", "\r\n"};
    const char* const finDeLigne = kFinsDeLigne[(choix >> 3) % 3];
    std::string octets = (choix & 32) != 0 ? "\xEF\xBB\xBF" : "";
    if ((choix & 64) != 0)
        octets += std::string("temps (s)") + separateur + "pression (Pa)" + finDeLigne;

    std::vector<long double> attendus;
    for (std::size_t i = 0; i + 16 <= size; i += 16) {
        double valeurs[2];
        std::memcpy(valeurs, data + i, sizeof valeurs);
        if (!std::isfinite(valeurs[0]) || !std::isfinite(valeurs[1]))
            continue;
        for (int c = 0; c < 2; ++c) {
            const std::string texte = Texte(valeurs[c], decimal);
            attendus.push_back(Fuzz::LectureC(Fuzz::Remplacer(texte, decimal, '.')));
            octets += texte + (c == 0 ? std::string(1, separateur) : std::string(finDeLigne));
        }
    }
    if (attendus.empty())
        return;
    std::vector<Point> points;
    try {
        points = Cinetique::LireEssai(octets);
    } catch (const EEssaiIllisible& e) {
        Exiger(false, ("a file written in an accepted layout is read: " + e.Message()).c_str(), octets);
    }
    Exiger(points.size() * 2 == attendus.size(), "one point a line", octets);
    for (std::size_t i = 0; i < points.size(); ++i) {
        Exiger(points[i].t == static_cast<double>(attendus[2 * i]), "the time as written", octets, points[i].t);
        Exiger(points[i].p == static_cast<double>(attendus[2 * i + 1]), "the pressure as written", octets,
               points[i].p);
    }
    VerifierPoints(points, octets);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    if ((data[0] & 1) == 0)
        Brut(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    else if (size >= 2)
        Ecrit(data[1], data + 2, size - 2);
    return 0;
}
