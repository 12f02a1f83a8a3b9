#include "journal/JournalEssai.h"
#include "runtime/HeureLocale.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace Journal {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefixeNom = "essai_";
constexpr std::string_view kExtension = ".txt";
// The exponents written in fixed notation; the others in scientific.
constexpr int kExposantFixeMin = -4;
constexpr int kExposantFixeMax = 15;
// Bytes read of a file to list it: its header, with room to spare.
constexpr std::size_t kTailleEnTete = 4096;

bool NomDuJournal(const std::string& nom)
{
    return nom.size() > kPrefixeNom.size() + kExtension.size() && nom.starts_with(kPrefixeNom)
           && nom.ends_with(kExtension);
}

std::string SansEspaces(std::string_view texte)
{
    const std::size_t debut = texte.find_first_not_of(' ');
    if (debut == std::string_view::npos)
        return {};
    return std::string(texte.substr(debut, texte.find_last_not_of(' ') - debut + 1));
}

std::string Ligne(std::string_view cle, std::string_view valeur)
{
    return "# " + std::string(cle) + " : " + std::string(valeur) + "\n";
}

std::string Raison(int erreur)
{
    switch (erreur) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "disque plein";
    case EACCES:
    case EPERM:
    case EROFS:
        return "accès refusé";
    default:
        return "erreur système " + std::to_string(erreur);
    }
}

// The journal's files of `dossier`, by name (their start's order).
std::vector<fs::path> Fichiers(const std::string& dossier)
{
    std::vector<fs::path> fichiers;
    std::error_code erreur;
    for (fs::directory_iterator it(dossier, erreur), fin; !erreur && it != fin; it.increment(erreur)) {
        std::error_code e;
        if (it->is_regular_file(e) && NomDuJournal(it->path().filename().string()))
            fichiers.push_back(it->path());
    }
    std::sort(fichiers.begin(), fichiers.end());
    return fichiers;
}

} // namespace

std::string TexteEnTete(const ConditionsEssai& e)
{
    std::string texte = std::string(kPremiereLigne) + "\n";
    if (e.debut)
        texte += Ligne(kCleDebut, TexteDebut(*e.debut));
    texte += Ligne(kCleSource, e.source);
    if (!e.reactionSimulee.empty())
        texte += Ligne(kCleReactionSimulee, e.reactionSimulee);
    if (!e.poste.empty())
        texte += Ligne(kClePoste, e.poste);
    const std::pair<std::string_view, const std::optional<double>&> nombres[] = {
        {kCleVolume, e.volume}, {kCleTemperature, e.temperature}, {kCleCoefficient, e.coefficient}};
    for (const auto& [cle, valeur] : nombres)
        if (valeur)
            texte += Ligne(cle, NombreExact(*valeur));
    texte += Ligne(kClePEtMoinsP, e.pEtMoinsP ? "oui" : "non");
    texte += std::string(kEnteteColonnes) + "\n";
    return texte;
}

std::string TexteLecture(const Lecture& l)
{
    std::string texte;
    for (double valeur : {l.tempsTick, l.tempsReel, l.pression, l.avancement, l.tension1, l.tension2}) {
        if (!texte.empty())
            texte += '\t';
        texte += NombreExact(valeur);
    }
    return texte + "\n";
}

std::string NomFichier(std::chrono::system_clock::time_point debut, int n, std::string_view poste)
{
    std::string nom = std::string(kPrefixeNom) + HeureLocale(debut, "%Y-%m-%d_%H-%M-%S");
    if (!poste.empty())
        nom += "_" + std::string(poste);
    if (n > 1)
        nom += "_" + std::to_string(n);
    return nom + std::string(kExtension);
}

std::string NombreExact(double valeur)
{
    // The shortest digits, as d.ddde±xx.
    char texte[64];
    const auto [fin, erreur] = std::to_chars(texte, texte + sizeof texte, valeur, std::chars_format::scientific);
    const std::string scientifique(texte, fin);
    const std::size_t e = scientifique.find('e');
    if (e == std::string::npos)
        return scientifique; // inf, nan
    const int exposant = std::stoi(scientifique.substr(e + 1));
    if (exposant < kExposantFixeMin || exposant > kExposantFixeMax)
        return scientifique;
    const bool negatif = scientifique[0] == '-';
    std::string chiffres;
    for (char c : std::string_view(scientifique).substr(negatif ? 1 : 0, e - (negatif ? 1 : 0)))
        if (c != '.')
            chiffres += c;
    std::string fixe = negatif ? "-" : "";
    if (exposant < 0) {
        fixe += "0." + std::string(static_cast<std::size_t>(-exposant - 1), '0') + chiffres;
    } else {
        const auto entiers = static_cast<std::size_t>(exposant) + 1;
        if (chiffres.size() <= entiers)
            fixe += chiffres + std::string(entiers - chiffres.size(), '0');
        else
            fixe += chiffres.substr(0, entiers) + "." + chiffres.substr(entiers);
    }
    return fixe;
}

std::optional<std::pair<std::string, std::string>> CleValeur(std::string_view ligne)
{
    if (!ligne.starts_with("# "))
        return std::nullopt;
    ligne.remove_prefix(2);
    const std::size_t separation = ligne.find(" : ");
    if (separation == std::string_view::npos)
        return std::nullopt;
    return std::pair{SansEspaces(ligne.substr(0, separation)), SansEspaces(ligne.substr(separation + 3))};
}

EnTeteLu LireEnTete(const std::vector<std::string_view>& lignes)
{
    EnTeteLu entete;
    for (; entete.fin < lignes.size(); ++entete.fin) {
        std::optional<std::pair<std::string, std::string>> cleValeur = CleValeur(lignes[entete.fin]);
        if (!cleValeur)
            break;
        entete.cles.push_back({std::move(cleValeur->first), std::move(cleValeur->second), entete.fin});
    }
    return entete;
}

std::string TexteDebut(std::chrono::system_clock::time_point debut)
{
    return HeureLocale(debut, "%Y-%m-%d %H:%M:%S %z");
}

std::optional<std::chrono::system_clock::time_point> LireDebut(std::string_view texte)
{
    int annee, mois, jour, heure, minute, seconde, decalage;
    char signe;
    int lus = 0;
    const std::string copie(texte);
    if (std::sscanf(copie.c_str(), "%4d-%2d-%2d %2d:%2d:%2d %c%4d%n", &annee, &mois, &jour, &heure, &minute,
                    &seconde, &signe, &decalage, &lus)
            != 8
        || static_cast<std::size_t>(lus) != copie.size() || (signe != '+' && signe != '-') || mois < 1 || mois > 12
        || jour < 1 || jour > 31 || heure > 23 || minute > 59 || seconde > 60 || decalage % 100 > 59)
        return std::nullopt;
    std::tm utc{};
    utc.tm_year = annee - 1900;
    utc.tm_mon = mois - 1;
    utc.tm_mday = jour;
    utc.tm_hour = heure;
    utc.tm_min = minute;
    utc.tm_sec = seconde;
    const std::time_t t = timegm(&utc);
    const long secondesDecalage = (decalage / 100 * 3600L + decalage % 100 * 60L) * (signe == '-' ? -1 : 1);
    return std::chrono::system_clock::from_time_t(t - secondesDecalage);
}

std::string Dossier(const char* xdgDataHome, const char* home)
{
    if (xdgDataHome && xdgDataHome[0] == '/')
        return std::string(xdgDataHome) + "/nelvar/essais";
    if (home && home[0] != '\0')
        return std::string(home) + "/.local/share/nelvar/essais";
    return {};
}

std::string DossierDuProcessus()
{
    return Dossier(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

Ecrivain::Ecrivain(std::string dossier, ConditionsEssai entete, std::uintmax_t tailleMaximale)
    : dossier_(std::move(dossier)), entete_(std::move(entete)), tailleMaximale_(tailleMaximale),
      enAttente_(TexteEnTete(entete_))
{
    assert(entete_.debut && "a journal is named by its run's start");
}

Ecrivain::~Ecrivain()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool Ecrivain::Creer(int& erreur)
{
    std::error_code e;
    fs::create_directories(dossier_, e);
    for (int n = 1;; ++n) {
        const std::string chemin = dossier_ + "/" + NomFichier(entete_.debut.value(), n);
        fd_ = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ >= 0) {
            chemin_ = chemin;
            break;
        }
        if (errno != EEXIST) {
            erreur = errno;
            return false;
        }
    }
    // The folder's entry goes to the disk too: a power cut keeps the file.
    const int dossier = ::open(dossier_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier >= 0) {
        ::fsync(dossier);
        ::close(dossier);
    }
    Elaguer(dossier_, chemin_, tailleMaximale_);
    return true;
}

bool Ecrivain::Ecrire(int& erreur)
{
    std::size_t ecrits = 0;
    while (ecrits < enAttente_.size()) {
        const ssize_t n = ::write(fd_, enAttente_.data() + ecrits, enAttente_.size() - ecrits);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            erreur = n < 0 ? errno : ENOSPC;
            break;
        }
        ecrits += static_cast<std::size_t>(n);
    }
    if (erreur == 0 && ::fsync(fd_) != 0)
        erreur = errno;
    if (erreur != 0) {
        // No partial line stays: the next write starts on a whole one.
        if (::ftruncate(fd_, static_cast<off_t>(tailleEcrite_)) != 0) {
            // The file keeps a cut line; the reader stops at it.
        }
        return false;
    }
    tailleEcrite_ += enAttente_.size();
    enAttente_.clear();
    return true;
}

std::optional<std::string> Ecrivain::Ajouter(const Lecture& lecture)
{
    enAttente_ += TexteLecture(lecture);
    int erreur = 0;
    if ((fd_ >= 0 || Creer(erreur)) && Ecrire(erreur))
        return std::nullopt;
    if (erreurDite_)
        return std::nullopt;
    erreurDite_ = true;
    return "Le journal de l'essai ne peut pas être écrit dans « " + dossier_ + " » (" + Raison(erreur)
           + ") : l'essai continue, pensez à l'enregistrer.";
}

std::vector<EssaiDuJournal> Essais(const std::string& dossier)
{
    std::vector<EssaiDuJournal> essais;
    for (const fs::path& fichier : Fichiers(dossier)) {
        std::ifstream flux(fichier, std::ios::binary);
        std::string debut(kTailleEnTete, '\0');
        flux.read(debut.data(), static_cast<std::streamsize>(debut.size()));
        debut.resize(static_cast<std::size_t>(flux.gcount()));
        if (!debut.starts_with(std::string(kPremiereLigne) + "\n"))
            continue;
        EssaiDuJournal essai{fichier.string(), std::nullopt, {}, {}};
        // The whole lines after the first, within what was read.
        std::vector<std::string_view> lignes;
        for (std::size_t position = kPremiereLigne.size() + 1, fin = 0;
             (fin = debut.find('\n', position)) != std::string::npos; position = fin + 1)
            lignes.push_back(std::string_view(debut).substr(position, fin - position));
        for (const EnTeteLu::Cle& cle : LireEnTete(lignes).cles) {
            if (cle.cle == kCleDebut)
                essai.debut = LireDebut(cle.valeur);
            else if (cle.cle == kCleSource)
                essai.source = cle.valeur;
            else if (cle.cle == kClePoste)
                essai.poste = cle.valeur;
        }
        essais.push_back(std::move(essai));
    }
    return essais;
}

void Elaguer(const std::string& dossier, const std::string& garder, std::uintmax_t tailleMaximale)
{
    const std::vector<fs::path> fichiers = Fichiers(dossier);
    const fs::path nomGarde = fs::path(garder).filename();
    std::uintmax_t total = 0;
    std::vector<std::uintmax_t> tailles;
    for (const fs::path& fichier : fichiers) {
        std::error_code e;
        const std::uintmax_t taille = fs::file_size(fichier, e);
        tailles.push_back(e ? 0 : taille);
        total += tailles.back();
    }
    for (std::size_t i = 0; i < fichiers.size() && total > tailleMaximale; ++i) {
        if (fichiers[i].filename() == nomGarde)
            continue;
        std::error_code e;
        if (fs::remove(fichiers[i], e))
            total -= tailles[i];
    }
}

} // namespace Journal
