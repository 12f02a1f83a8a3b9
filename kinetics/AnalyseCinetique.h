#pragma once
// The kinetic analysis of a run: the first-order model fitted to the pressure,
// the half-reaction time, the final extent, their standard uncertainties
// ("incertitudes-types"), the graphical half-time and the remarks a teacher
// would make on the fit. Plain C++ over arrays, no window.
//
// Units: t in s, p in Pa, V in L and T in °C as the user types them; the
// extent x = (p - p0)·(V/1000)/(8,314·(T + 273)) in mol, p0 being the run's
// first point, exactly as the run charts it.
//
// The model, over the points of the interval [debut, fin]:
//   p(t) = pInf - (pInf - pa)·exp(-k·(t - ta)),  ta = time of the interval's
//   first point,
// pa, pInf and k fitted by unweighted least squares with no starting values
// (variable projection: for a fixed k the model is linear in pa and pInf).
// With `origineFixee`, the start is held at the run's first point (t0, p0):
// p(t) = p0 + (pInf - p0)·(1 - exp(-k·(t - t0))), two parameters (pInf, k).
//
// Failures (too few points, times not increasing, non-finite values, a
// constant pressure, an interval outside the data, V or T out of range, as
// a run's start checks them, values too large for the sums of squares) raise
// EAnalyseImpossible with the French message the user sees; nothing else is
// raised, and the work is bounded (about 0.3 ms for 3 600 points).
//
// Standard uncertainties: sqrt(diag((JᵀJ)⁻¹)·SSR/(n - parameters)) at the
// optimum, 3 parameters (2 with origineFixee, whose fixed first point is not
// a measurement the fit adjusts: it is left out of the fitted points and of
// the degrees of freedom); u(t½) = t½·u(k)/k, and, x_f using the measured
// point p0, u(xFinal)² = (V/(R·T))²·(u(pInf)² + s²), s the residual standard
// deviation. The fit itself: kinetics/AjustementExponentiel.h.
//
// Before the fit, unless the options fix them: the interval ends before a
// sudden step of the pressure, and starts at the reaction's start when a
// baseline precedes it (kinetics/ExamenMesures.h). After it, a point far off
// the curve is named; nothing is excluded unless the user asks.
#include "runtime/Exceptions.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Cinetique {

struct Point {
    double t = 0; // s
    double p = 0; // Pa
};

// What the reading of a file tells the analysis, for its remarks.
struct Lecture {
    std::vector<int> lignes;    // the file's line of each point; empty: the point's rank
    std::string uniteConvertie; // the pressure unit of the column header, converted to Pa
    std::string uniteTemps;     // the time unit of the column header in words ("minutes"), converted to s
    bool sansUnite = false;     // a file whose header names no pressure unit
    bool relative = false;      // the header says the pressures are relative (« p relative », « Δp »...)
};

struct Options {
    std::optional<double> debut;        // s; default: the reaction's start, found
    std::optional<double> fin;          // s; default: the last point before a break
    std::optional<double> volume;       // L, as typed in the window
    std::optional<double> temperature;  // °C, as typed in the window
    bool origineFixee = false;          // curve held at the run's first point
    std::vector<double> exclus;         // s, times of the points the user leaves out
    Lecture lecture;
};

// p(t) = pInf - (pInf - pa)·exp(-k·(t - ta)).
struct ModelePremierOrdre {
    double ta = 0;   // s
    double pa = 0;   // Pa
    double pInf = 0; // Pa
    double k = 0;    // s^-1
    double Pression(double t) const;
};

// The remarks and their criteria (docs/analyse-cinetique.md says why):
//   TropPeuDePoints    fewer than kDegresLiberteMin degrees of freedom
//   AucuneReaction     the fitted curve moves over the interval by at most 3
//                      residual standard deviations; then the only remark
//   CourbeTropCourte   the interval lasts less than kCouvertureMin/k, k taken
//                      kIncertitudesCouverture u(k) below its fitted value
//   PlateauNonAtteint  at the last point the fitted curve has gone less than
//                      95 % of the way from pa to pInf (final value extrapolated)
//   OrdreUnApproche    the residuals' signs change too seldom (runs test,
//                      z < -3.29) and their standard deviation lies between
//                      0.5 % and kFractionModeleProche of the fitted change
//   OrdreUnNonAjuste   the same beyond kFractionModeleProche, or two
//                      successive points far off the curve (a run of them
//                      is a misfit, not wild points); not said when a wild
//                      point explains the residuals' structure
// Too little data leaves k undetermined, whatever the fit's u(k): with fewer
// than 4 degrees of freedom the residuals' deviation (and so u(k)) is itself
// known to worse than ±35 %, and over less than a quarter of 1/k the curve
// departs from a straight line by less than about 3 % of its change, which
// a start's lag or mixing mimics.
inline constexpr int kDegresLiberteMin = 4;
inline constexpr double kCouvertureMin = 0.25;
inline constexpr double kIncertitudesCouverture = 2;
// No curvature is seen (AucuneCourbure) unless the exponential lowers the
// straight line's sum of squares by more than kCourbureMin residual variances
// (the curvature stands 5 standard deviations out).
inline constexpr double kCourbureMin = 25;
inline constexpr double kFractionModeleProche = 0.02;
// The analysis gives each remark as data (its kind and what it names); the
// sentences the user reads are written in one place, analyse/TexteResultat.h.
enum class Remarque {
    PlateauNonAtteint,  // final value extrapolated
    AucuneReaction,     // the rise is within the noise
    OrdreUnNonAjuste,   // residuals clearly structured
    // Found in the data themselves (kinetics/ExamenMesures.h says how).
    UniteConvertie,     // the header named a pressure unit, converted to Pa
    UniteDouteuse,      // no unit, every pressure between 500 and 2 000
    PressionsEcartees,  // zero or negative values (a logger's error codes) left out
    PointsExclus,       // the points the user excluded (Resultat::exclus)
    DebutDetecte,       // a baseline before the reaction, left out
    Rupture,            // a sudden step: the interval ends before it
    AucuneCourbure,     // k on an edge of its range or not known: nothing determined
    PointAberrant,      // one point far off the curve (robust scale)
    PressionsArrondies, // the rounding of the file dominates the residuals
    ChutesRepetees,     // several sudden drops (vents): the interval ends before the first
    Maximum,            // a maximum then a steady decline: the interval ends at the maximum
    TempsConvertis,     // the header named a time unit, converted to s
    OrdreUnApproche,    // residuals structured but small against the change
    TropPeuDePoints,    // too few degrees of freedom: nothing determined
    CourbeTropCourte,   // too little of the curve: nothing determined
};

// One remark and what it names; the fields its kind does not use stay at
// their defaults.
struct DetailRemarque {
    Remarque genre = Remarque::PlateauNonAtteint;
    double t = 0;       // s: the reaction's start (DebutDetecte), the step (Rupture), the point
                        // (PointAberrant), the first drop (ChutesRepetees), the maximum (Maximum)
    double pression = 0; // Pa: the point's distance to the curve (PointAberrant), the file's step (PressionsArrondies)
    double bruits = 0;  // the point's distance in robust standard deviations of the residuals (PointAberrant)
    int nombre = 0;     // values left out (PressionsEcartees), drops (ChutesRepetees), points (TropPeuDePoints)
    int requis = 0;     // points needed (TropPeuDePoints)
    double fraction = 0; // the residuals' deviation per change (OrdreUnApproche), k·duration (CourbeTropCourte)
    int ligne = 0;      // the file's line of the first of them (PressionsEcartees)
    bool baisse = false; // the pressure falls: the step (Rupture), the straight line (AucuneCourbure)
    bool palierImmediat = false; // the plateau from the interval's start (AucuneCourbure)
    std::string unite = {}; // the column header's unit, converted (UniteConvertie, TempsConvertis)
    std::vector<double> temps = {}; // s, the points excluded at the user's request (PointsExclus)
    bool operator==(const DetailRemarque&) const = default;
};

// When k cannot be determined (too few points, too little of the curve, no
// reaction, no curvature, u(k) infinite or not below k), k, t½, the final pressure and extent and their uncertainties
// are NaN (or none), and `determine` is false: the outputs leave them empty.
struct Resultat {
    int points = 0;                 // points in the interval
    double debut = 0, fin = 0;      // s, times of the interval's first and last points
    ModelePremierOrdre modele;
    double k = 0, uK = 0;           // s^-1
    double tDemi = 0, uTDemi = 0;   // s, ln 2 / k
    double pInf = 0, uPInf = 0;     // Pa
    double pa = 0, uPa = 0;         // Pa (the fixed p0, uPa = 0, with origineFixee)
    double p0 = 0;                  // Pa, the run's first point
    std::optional<double> xFinal, uXFinal; // mol, when V and T are known
    double r2 = 0;
    double ecartTypeResidus = 0;    // Pa, sqrt(SSR / (n - parameters))
    std::optional<double> tDemiGraphique; // s from ta; none when never reached
    std::vector<Remarque> remarques;
    std::vector<DetailRemarque> details; // what each remark names, same order
    bool determine = true;
    std::vector<double> exclus;     // s, the points excluded at the user's request
};

// Whether the pressures are relative (a gauge's, or an extent): the header
// says so, or the first value is exactly 0 and the next lies within half the
// others' spread (the curve starts from 0; a code before absolute pressures
// is followed by a value far from 0), or a tenth of the values or more are
// zero or negative and lie nearer the positive ones than the spread of those
// (the values span 0; a logger's codes lie far below absolute pressures).
bool PressionsRelatives(std::span<const Point> points, const Lecture& lecture);

// The points the analysis works on: those whose pressure is positive (a zero
// or negative absolute pressure is a logger's error code; relative pressures
// keep them all, and with origineFixee the first point is the origin whatever
// its value) and that the user did not exclude (each time of options.exclus takes the nearest point, when
// within half the gap to that point's nearest neighbour).
std::vector<Point> PointsRetenus(std::span<const Point> points, const Options& options);

// Raises EAnalyseImpossible.
Resultat Analyser(std::span<const Point> points, const Options& options);

// The volumetric rate v = (1/V)·dx/dt in mol·L^-1·s^-1, at each point of the
// interval: from the data (Savitzky–Golay quadratic derivative, odd window
// `fenetre`, 0 = chosen from the number of points, see
// kinetics/DeriveeSavitzkyGolay.h; a window wider than the interval takes
// all of it) and from the fitted model `resultat`. Raises EAnalyseImpossible
// for the inputs Analyser refuses, without V or T ("La vitesse volumique
// demande le volume et la température du mélange."), and for an even window
// or one under 3 points.
struct PointVitesse {
    double t = 0;
    double donnees = 0;
    double modele = 0;
};
std::vector<PointVitesse> VitesseVolumique(std::span<const Point> points, const Options& options,
                                           const Resultat& resultat, int fenetre = 0);

// The linearised first-order test: y = ln((pInf - pa)/(pInf - p)) against
// t - ta, its least-squares line through the origin y = pente·(t - ta) and R².
// Points at or past pInf are left out and counted. R² = 1 - SSR/Σ(y - ȳ)²,
// as for the fit (negative when the line does worse than the mean); pente
// and r2 are 0 when no point is left. Raises EAnalyseImpossible for the
// inputs Analyser refuses.
struct TestOrdreUn {
    std::vector<Point> points; // t = t - ta, p = y
    double pente = 0;          // s^-1
    double r2 = 0;
    int ecartes = 0;
};
TestOrdreUn TestLineaire(std::span<const Point> points, const Options& options,
                         const Resultat& resultat);

} // namespace Cinetique

// An analysis that cannot be made, with the French message the user sees.
class EAnalyseImpossible : public Exception {
public:
    using Exception::Exception;
};
