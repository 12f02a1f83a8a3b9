#include "app/TitreApplication.h"

#include "runtime/Windows1252.h"

#include <filesystem>
#include <system_error>

namespace {

// Lower case of one Windows-1252 byte: A-Z, the accented capitals
// 0xC0..0xDE (but 0xD7, the multiplication sign), and Š, Œ, Ž, Ÿ.
unsigned char Minuscule(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

} // namespace

std::string TitreApplication(std::string_view cheminProgramme)
{
    std::string_view nom = cheminProgramme;
    if (const auto barre = nom.rfind('/'); barre != std::string_view::npos)
        nom.remove_prefix(barre + 1);
    if (const auto point = nom.find('.'); point != std::string_view::npos)
        nom = nom.substr(0, point);

    std::string octets = Utf8ToWindows1252(nom);
    for (std::size_t i = 1; i < octets.size(); ++i)
        octets[i] = static_cast<char>(Minuscule(static_cast<unsigned char>(octets[i])));
    return Windows1252ToUtf8(octets);
}

std::string TitreFenetre(const std::string& libelleSource)
{
    std::string titre = "Avancement d'une réaction chimique.";
    if (!libelleSource.empty())
        titre += " (" + libelleSource + ")";
    return titre;
}

std::string CheminProgramme()
{
    std::error_code erreur;
    const auto chemin = std::filesystem::read_symlink("/proc/self/exe", erreur);
    return erreur ? std::string() : chemin.string();
}
