#pragma once
// The program's exit codes, every mode's, named here once. The batch modes
// follow the usual rule of command-line tools: 0 for success, 2 for a wrong
// command line or an input that could not be used, so that a script tells
// them apart from a crash (a signal's 128 + n).
namespace Cinetique {

// Everything asked for was done (the window closed, every file analysed,
// the help written).
inline constexpr int kCodeSucces = 0;
// A wrong command line (an unknown option among them: the window is then not
// opened), a file that could not be read or analysed, an output that could
// not be written.
inline constexpr int kCodeEchec = 2;
// The source of measurements asked for (the real card, a box) cannot be
// reached: the window stops rather than show the simulation's curve
// (acquisition/PortSelection.h).
inline constexpr int kCodeSourceRefusee = 2;

} // namespace Cinetique
