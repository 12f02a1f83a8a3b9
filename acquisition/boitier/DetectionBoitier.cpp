#include "acquisition/boitier/DetectionBoitier.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <system_error>

namespace {

// How far above the terminal's device the USB device may be: the interface
// (ttyACM*), or the converter's port then the interface (ttyUSB*).
constexpr int kNiveauxMax = 3;

struct Puce {
    std::uint16_t vendeur;
    std::optional<std::uint16_t> produit; // any product when empty
};

constexpr Puce kPuces[] = {
    {0x2341, std::nullopt}, // Arduino boards: the Uno's 16U2 (or 8U2) and later ones
    {0x2A03, std::nullopt}, // Arduino boards of the years the brand had two makers
    {0x1A86, 0x7523},       // WCH CH340, on most clones
    {0x1A86, 0x5523},       // WCH CH341 in serial mode
    {0x0403, 0x6001},       // FTDI FT232R, on older Nanos
};

std::optional<std::uint16_t> Hexadecimal(const std::filesystem::path& fichier)
{
    std::ifstream flux(fichier);
    std::string texte;
    if (!(flux >> texte) || texte.size() > 4)
        return std::nullopt;
    std::size_t fin = 0;
    try {
        const unsigned long valeur = std::stoul(texte, &fin, 16);
        if (fin != texte.size())
            return std::nullopt;
        return static_cast<std::uint16_t>(valeur);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The identifiers of the USB device a terminal's device belongs to.
bool EstCarteUsb(const std::filesystem::path& peripherique)
{
    std::error_code erreur;
    std::filesystem::path dossier = std::filesystem::canonical(peripherique, erreur);
    if (erreur)
        return false;
    for (int niveau = 0; niveau < kNiveauxMax && !dossier.empty(); ++niveau) {
        const std::optional<std::uint16_t> vendeur = Hexadecimal(dossier / "idVendor");
        const std::optional<std::uint16_t> produit = Hexadecimal(dossier / "idProduct");
        if (vendeur && produit)
            return PuceDeCarteUsb(*vendeur, *produit);
        if (dossier == dossier.parent_path())
            break;
        dossier = dossier.parent_path();
    }
    return false;
}

} // namespace

bool PuceDeCarteUsb(std::uint16_t vendeur, std::uint16_t produit)
{
    return std::any_of(std::begin(kPuces), std::end(kPuces), [&](const Puce& puce) {
        return puce.vendeur == vendeur && (!puce.produit || *puce.produit == produit);
    });
}

std::vector<std::string> PortsDeCartesUsb(const std::filesystem::path& classeTty, const std::filesystem::path& dev)
{
    std::vector<std::string> noms;
    std::error_code erreur;
    for (std::filesystem::directory_iterator entree(classeTty, erreur), fin; !erreur && entree != fin;
         entree.increment(erreur)) {
        const std::string nom = entree->path().filename().string();
        if (EstCarteUsb(entree->path() / "device"))
            noms.push_back(nom);
    }
    std::sort(noms.begin(), noms.end());
    std::vector<std::string> ports;
    for (const std::string& nom : noms)
        ports.push_back((dev / nom).string());
    return ports;
}
