#pragma once
// A file's bytes, for the tests that check what the program wrote; empty
// when it cannot be read.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string Contenu(const std::filesystem::path& chemin)
{
    std::ostringstream texte;
    texte << std::ifstream(chemin, std::ios::binary).rdbuf();
    return texte.str();
}
