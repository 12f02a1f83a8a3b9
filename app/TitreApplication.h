#pragma once
// The application title, derived once at start from the running program
// file's name. It captions every message box.
//
//   1. the full path of the program file;
//   2. what follows its last "/";
//   3. cut at its first full stop, if there is one;
//   4. every character but the first lower-cased (in the Windows-1252 code
//      page, like the rest of the program's single-byte text), the first
//      left unchanged.
//
//   TitreApplication("/opt/nelvar/MESURE.V2.EXE") -> "Mesure"
//   TitreApplication("/tmp/mESURE.EXE")           -> "mesure"
//   TitreApplication("/usr/bin/nelvar")           -> "nelvar"
#include <string>
#include <string_view>

std::string TitreApplication(std::string_view cheminProgramme);

// The main window's caption: its fixed text, followed by the label of the
// source of the measurements in brackets when that source has one
// (acquisition/PortSelection.h). The application title above is not changed by it.
//
//   TitreFenetre("")              -> "Avancement d'une réaction chimique."
//   TitreFenetre("carte simulée") -> "Avancement d'une réaction chimique. (carte simulée)"
std::string TitreFenetre(const std::string& libelleSource);

// The full path of the running program file (/proc/self/exe); the program
// file itself, as a copy under another name is, not a symbolic link to it.
std::string CheminProgramme();
