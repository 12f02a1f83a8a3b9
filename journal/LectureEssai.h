#pragma once
// The reading of a saved run: the points (t in s, p in Pa) of a text file,
// whether the program wrote it or another tool did.
//
// Accepted text:
//   - coding: UTF-8 (with or without its byte order mark), else Windows-1252,
//     the program's own coding; a file that is not valid UTF-8 is read as
//     Windows-1252. UTF-16 is refused with a message.
//   - lines ended by CR (the program's files), LF or CRLF; blank lines, and
//     lines whose fields are all empty, are passed over.
//   - fields separated by TAB, semicolon or comma: TAB when the lines after
//     the first hold a TAB, else ';' when they hold a semicolon, else ','
//     (the first line alone decides when it is the only one). A field may be
//     quoted ("1,5"), with "" for a quote inside it.
//   - header lines: the lines before the first line whose first two fields
//     are numbers. The program's own headers are recognised: "Date, en s"
//     then "Tension sur la voie 1, en V" (the saved pressure, Pa) is read,
//     with or without the third column of the extent; the layouts whose
//     second column is the extent (mol) or whose first column is a frequency
//     are refused, as they hold no pressure.
//   - every line after the header: the time (s) in the first field, the
//     pressure (Pa) in the second; further fields are ignored. The header's
//     last line names their units: the time's between brackets or as the
//     last word (s, ms, min, h, j or d), converted to s; the pressure's as a
//     word (Pa, hPa, mbar, kPa, bar, atm, mmHg, Torr), converted to Pa;
//     « relative », « Δp » or « surpression » in the pressure's say the
//     pressures are relative (kinetics/AnalyseCinetique.h).
//   - numbers by the program's rule (ReadNumber: optional sign, digits, one
//     decimal separator, optional exponent), with a decimal comma or a
//     decimal point: the one the file's numbers use. A file whose numbers
//     hold both commas and points is refused (one of them would be a
//     thousands separator). When the fields are separated by commas, a
//     decimal comma can only be inside quotes: such a file is refused when
//     its lines do not all have the same number of fields, or when a field
//     is digits with a leading zero ("05", "013E5"), both being the marks of
//     unquoted decimal commas.
// Every value read is finite. The order of the times is not checked here:
// the analysis refuses times that do not increase.
//
// A run journal (journal/JournalEssai.h), told by its first line, is read by
// its own rule: its header lines "# clé : valeur" give the run's conditions
// (essai/ConditionsEssai.h, the journal's header); after its column header, each line gives six
// numbers with a decimal point, of which the points take the real time and
// the pressure. A last line without its line end (the reading in progress
// when the program stopped) is passed over.
#include "essai/ConditionsEssai.h"
#include "kinetics/AnalyseCinetique.h"
#include "runtime/Exceptions.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Cinetique {

// Files longer than this are refused before they are read: a run of a day,
// one point a second, is about 2 MB.
inline constexpr std::size_t kTailleMaximaleEssai = 64u << 20;

// The points of a run from the bytes of its file. Raises EEssaiIllisible.
std::vector<Point> LireEssai(std::string_view octets);

// The same, from the file at `chemin`. Raises EEssaiIllisible, also when the
// file cannot be opened or read.
std::vector<Point> LireFichierEssai(const std::string& chemin);

// A run as read, with what a journal says of it besides its points.
struct Enregistrement {
    std::vector<Point> points;          // t (s), p (Pa); t the real time for a journal
    bool journal = false;               // read from a run journal
    std::vector<double> tempsTicks;     // a journal's tick times (s), one a point
    ConditionsEssai conditions;         // what a journal's header says; nothing known for another file
    Lecture lecture;                    // each point's line, the unit read
};

// The run of a saved file or of a journal, from its bytes or its path.
// Raises EEssaiIllisible as LireEssai and LireFichierEssai.
Enregistrement LireEnregistrement(std::string_view octets);
Enregistrement LireFichierEnregistrement(const std::string& chemin);

// A number typed with a decimal comma or a decimal point (not both), read by
// the program's rule whatever the process's separator. Raises EConvertError
// naming `texte`; a value beyond the range of a double is refused too.
double LireNombreVirguleOuPoint(std::string_view texte);

// `texte` as valid UTF-8: itself when it is, else its bytes read as
// Windows-1252.
std::string EnUtf8(std::string_view texte);

} // namespace Cinetique

// A file that cannot be read as a run, with the French message the user sees.
class EEssaiIllisible : public Exception {
public:
    using Exception::Exception;
};
