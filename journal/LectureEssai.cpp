#include "journal/LectureEssai.h"

#include "journal/JournalEssai.h"
#include "numtext/NumberText.h"
#include "runtime/Windows1252.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cinetique {

namespace {

constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";
constexpr std::string_view kBomUtf16Be = "\xFE\xFF";

// The program's own headers (card/sorties/TexteMesures.cpp), first and second fields.
constexpr std::string_view kEnteteDate = "Date, en s";
constexpr std::string_view kEnteteVoie2 = "Tension sur la voie 2, en V";
constexpr std::string_view kEnteteFrequence = "Fréquence en Hz";

// Characters of a field quoted in a message, at most.
constexpr std::size_t kLongueurCitation = 40;

const std::string kDeuxColonnes = "il en faut deux, le temps (s) puis la pression (Pa).";

bool Utf8Valide(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int suite = 0;
        char32_t point = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            suite = 1;
            point = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            suite = 2;
            point = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            suite = 3;
            point = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i <= static_cast<std::size_t>(suite))
            return false;
        for (int k = 1; k <= suite; ++k) {
            const auto o = static_cast<unsigned char>(s[i + k]);
            if ((o & 0xC0) != 0x80)
                return false;
            point = (point << 6) | (o & 0x3F);
        }
        // Overlong forms, surrogates and points past U+10FFFF.
        if ((suite == 2 && point < 0x800) || (suite == 3 && point < 0x10000) || (point >= 0xD800 && point <= 0xDFFF)
            || point > 0x10FFFF)
            return false;
        i += static_cast<std::size_t>(suite) + 1;
    }
    return true;
}

struct Ligne {
    int numero;       // 1 for the file's first line
    std::string texte; // UTF-8
};

// The lines ended by CR, LF or CRLF, with their numbers; blank ones left out.
std::vector<Ligne> Lignes(const std::string& texte)
{
    std::vector<Ligne> lignes;
    int numero = 1;
    std::size_t debut = 0;
    while (debut <= texte.size()) {
        std::size_t fin = texte.find_first_of("\r\n", debut);
        if (fin == std::string::npos)
            fin = texte.size();
        std::string ligne = texte.substr(debut, fin - debut);
        if (ligne.find_first_not_of(" \t") != std::string::npos)
            lignes.push_back({numero, std::move(ligne)});
        if (fin == texte.size())
            break;
        debut = fin + (texte.compare(fin, 2, "\r\n") == 0 ? 2 : 1);
        ++numero;
    }
    return lignes;
}

// Whether `ligne` holds `separateur` outside quotes.
bool Contient(std::string_view ligne, char separateur)
{
    bool entreGuillemets = false;
    for (char c : ligne) {
        if (c == '"')
            entreGuillemets = !entreGuillemets;
        else if (c == separateur && !entreGuillemets)
            return true;
    }
    return false;
}

char SeparateurDeChamps(const std::vector<Ligne>& lignes)
{
    const std::size_t premiere = lignes.size() > 1 ? 1 : 0;
    for (char separateur : {'\t', ';', ','})
        for (std::size_t i = premiere; i < lignes.size(); ++i)
            if (Contient(lignes[i].texte, separateur))
                return separateur;
    return '\t';
}

std::string SansEspaces(std::string_view champ)
{
    const std::size_t debut = champ.find_first_not_of(' ');
    if (debut == std::string_view::npos)
        return {};
    return std::string(champ.substr(debut, champ.find_last_not_of(' ') - debut + 1));
}

// The fields of a line, without the spaces around them. A field that starts
// with a quote runs to the closing quote, "" standing for a quote.
std::vector<std::string> Champs(std::string_view ligne, char separateur)
{
    std::vector<std::string> champs;
    std::size_t i = 0;
    while (true) {
        std::string champ;
        while (i < ligne.size() && ligne[i] == ' ')
            ++i;
        if (i < ligne.size() && ligne[i] == '"') {
            for (++i; i < ligne.size(); ++i) {
                if (ligne[i] == '"') {
                    if (i + 1 < ligne.size() && ligne[i + 1] == '"')
                        ++i;
                    else {
                        ++i;
                        break;
                    }
                }
                champ += ligne[i];
            }
        }
        const std::size_t fin = std::min(ligne.find(separateur, i), ligne.size());
        champ += ligne.substr(i, fin - i);
        champs.push_back(SansEspaces(champ));
        if (fin == ligne.size())
            return champs;
        i = fin + 1;
    }
}

// `champ` as a number whose decimal separator is `decimal`: nothing when it
// is not one, or when it holds the other separator.
std::optional<long double> Nombre(std::string_view champ, char decimal)
{
    const std::string texte(champ);
    for (const char c : texte)
        if (c != decimal && (c == ',' || c == '.'))
            return std::nullopt;
    try {
        return ReadNumber(texte, decimal);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

bool EstNombre(std::string_view champ)
{
    return Nombre(champ, ',') || Nombre(champ, '.');
}

// A field as a message quotes it: its first characters, controls as '?'.
std::string Citation(std::string_view champ)
{
    std::string citation;
    std::size_t caracteres = 0;
    for (std::size_t i = 0; i < champ.size(); ++i) {
        const auto c = static_cast<unsigned char>(champ[i]);
        if ((c & 0xC0) != 0x80 && ++caracteres > kLongueurCitation) {
            citation += "…";
            break;
        }
        citation += c < 0x20 || c == 0x7F ? '?' : champ[i];
    }
    return "« " + citation + " »";
}

std::string DebutLigne(int numero)
{
    return "Ligne " + std::to_string(numero) + " : ";
}

[[noreturn]] void VirgulesAmbigues(int numero)
{
    throw EEssaiIllisible(DebutLigne(numero)
                          + "virgules ambiguës : les colonnes sont séparées par des virgules et les nombres "
                            "semblent écrits avec une virgule décimale. Séparez les colonnes par des tabulations "
                            "ou des points-virgules, ou mettez les nombres entre guillemets.");
}

// A field that is digits with a leading zero ("05", "013E5"): the decimals
// of a number cut at its decimal comma.
bool ZeroEnTete(std::string_view champ)
{
    return champ.size() >= 2 && champ[0] == '0' && champ[1] >= '0' && champ[1] <= '9';
}

struct LigneChamps {
    int numero;
    std::vector<std::string> champs;
};

void RefuserDispositionsSansPression(const LigneChamps& entete)
{
    const auto& champs = entete.champs;
    if (champs.empty())
        return;
    if (champs[0] == kEnteteFrequence)
        throw EEssaiIllisible("Ce tableau du programme n'a pas de temps en première colonne (« Fréquence en Hz ») : "
                              "enregistrez ou copiez la pression en Pa.");
    if (champs[0] == kEnteteDate && champs.size() == 2 && champs[1] == kEnteteVoie2)
        throw EEssaiIllisible("Ce tableau du programme contient l'avancement en mol, pas la pression : "
                              "enregistrez ou copiez la pression en Pa.");
}

// The pressure units a column header may name, with their value in Pa.
struct Unite {
    std::string_view nom;
    double pascals;
};
constexpr Unite kUnites[] = {
    {"Pa", 1},        {"hPa", 100},       {"mbar", 100},     {"kPa", 1000},
    {"bar", 1e5},     {"atm", 101325},    {"mmHg", 133.322387415}, {"Torr", 101325.0 / 760},
};

// The unit a header field names as a word of its own, if any.
std::optional<Unite> UniteDeLEntete(std::string_view champ)
{
    std::size_t i = 0;
    while (i < champ.size()) {
        while (i < champ.size() && !std::isalpha(static_cast<unsigned char>(champ[i])))
            ++i;
        const std::size_t debut = i;
        while (i < champ.size() && std::isalpha(static_cast<unsigned char>(champ[i])))
            ++i;
        const std::string_view mot = champ.substr(debut, i - debut);
        for (const Unite& unite : kUnites)
            if (mot == unite.nom || (unite.nom == "Torr" && mot == "torr"))
                return unite;
    }
    return std::nullopt;
}

// The time units a column header may name, with their value in s and the
// words a remark uses.
struct UniteTemps {
    std::string_view nom;
    double secondes;
    std::string_view mots;
};
constexpr UniteTemps kUnitesTemps[] = {
    {"s", 1, ""},      {"ms", 1e-3, "millisecondes"}, {"min", 60, "minutes"},
    {"h", 3600, "heures"}, {"j", 86400, "jours"},     {"d", 86400, "jours"},
};

// The time unit of a header field: the text between brackets ("t (min)",
// "temps [h]"), else its last word ("t en min"); none when it names none.
std::optional<UniteTemps> UniteDeTemps(std::string_view champ)
{
    std::string_view mot;
    const std::size_t ouvrant = champ.find_first_of("([");
    if (ouvrant != std::string_view::npos) {
        const std::size_t fermant = champ.find_first_of(")]", ouvrant);
        mot = champ.substr(ouvrant + 1, fermant == std::string_view::npos ? std::string_view::npos : fermant - ouvrant - 1);
    } else {
        const std::size_t espace = champ.find_last_of(' ');
        mot = espace == std::string_view::npos ? champ : champ.substr(espace + 1);
    }
    while (!mot.empty() && mot.front() == ' ')
        mot.remove_prefix(1);
    while (!mot.empty() && mot.back() == ' ')
        mot.remove_suffix(1);
    for (const UniteTemps& unite : kUnitesTemps)
        if (mot == unite.nom)
            return unite;
    return std::nullopt;
}

// Whether a pressure header says the pressures are relative.
bool EnteteRelative(std::string_view champ)
{
    std::string minuscules(champ);
    for (char& ch : minuscules)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const std::string_view mot : {"relative", "\xCE\x94p", "surpression", "delta p"})
        if (minuscules.find(mot) != std::string::npos)
            return true;
    return false;
}

} // namespace

std::string EnUtf8(std::string_view texte)
{
    return Utf8Valide(texte) ? std::string(texte) : Windows1252ToUtf8(texte);
}

double LireNombreVirguleOuPoint(std::string_view texte)
{
    const bool point = texte.find('.') != std::string_view::npos;
    const std::optional<long double> valeur = Nombre(texte, point ? '.' : ',');
    if (!valeur || !(std::fabs(*valeur) <= DBL_MAX))
        throw EConvertError::NotAFloat(std::string(texte));
    return static_cast<double>(*valeur);
}

namespace {

// A number of a journal: decimal point, finite.
double NombreDuJournal(std::string_view champ, int numero)
{
    const std::optional<long double> valeur = Nombre(champ, '.');
    if (!valeur)
        throw EEssaiIllisible(DebutLigne(numero) + Citation(champ) + " n'est pas un nombre.");
    if (!(std::fabs(*valeur) <= DBL_MAX))
        throw EEssaiIllisible(DebutLigne(numero) + Citation(champ) + " est un nombre trop grand.");
    return static_cast<double>(*valeur);
}

Enregistrement LireJournal(std::string_view texte)
{
    std::vector<Ligne> lignes = Lignes(EnUtf8(texte));
    // The reading in progress when the program stopped: no line end yet.
    if (!texte.ends_with('\n') && !lignes.empty() && !lignes.back().texte.starts_with('#')
        && lignes.back().texte != Journal::kEnteteColonnes)
        lignes.pop_back();
    Enregistrement essai;
    essai.journal = true;
    // The header, after the first line, as the journal's own listing reads it.
    std::vector<std::string_view> textes;
    for (std::size_t j = 1; j < lignes.size(); ++j)
        textes.push_back(lignes[j].texte);
    const Journal::EnTeteLu entete = Journal::LireEnTete(textes);
    for (const Journal::EnTeteLu::Cle& c : entete.cles) {
        const int numero = lignes[c.indice + 1].numero;
        ConditionsEssai& conditions = essai.conditions;
        if (c.cle == Journal::kCleDebut)
            conditions.debut = Journal::LireDebut(c.valeur);
        else if (c.cle == Journal::kCleSource)
            conditions.source = c.valeur;
        else if (c.cle == Journal::kClePoste)
            conditions.poste = c.valeur;
        else if (c.cle == Journal::kCleVolume)
            conditions.volume = NombreDuJournal(c.valeur, numero);
        else if (c.cle == Journal::kCleTemperature)
            conditions.temperature = NombreDuJournal(c.valeur, numero);
        else if (c.cle == Journal::kCleCoefficient)
            conditions.coefficient = NombreDuJournal(c.valeur, numero);
        else if (c.cle == Journal::kClePEtMoinsP)
            conditions.pEtMoinsP = c.valeur == "oui";
    }
    std::size_t i = entete.fin + 1;
    if (i == lignes.size() || lignes[i].texte != Journal::kEnteteColonnes)
        throw EEssaiIllisible("Journal d'essai sans la ligne des colonnes (« temps des ticks (s) »...) après "
                              "ses lignes « # clé : valeur ».");
    for (++i; i < lignes.size(); ++i) {
        const std::vector<std::string> champs = Champs(lignes[i].texte, '\t');
        if (champs.size() < static_cast<std::size_t>(Journal::kColonnes))
            throw EEssaiIllisible(DebutLigne(lignes[i].numero) + std::to_string(champs.size()) + " colonne(s) au lieu de "
                                  + std::to_string(Journal::kColonnes) + ".");
        const double tick = NombreDuJournal(champs[0], lignes[i].numero);
        const double reel = NombreDuJournal(champs[1], lignes[i].numero);
        const double pression = NombreDuJournal(champs[2], lignes[i].numero);
        for (std::size_t c = 3; c < champs.size(); ++c)
            NombreDuJournal(champs[c], lignes[i].numero);
        essai.tempsTicks.push_back(tick);
        essai.points.push_back({reel, pression});
        essai.lecture.lignes.push_back(lignes[i].numero);
    }
    if (essai.points.empty())
        throw EEssaiIllisible("Le journal d'essai ne contient aucune lecture.");
    return essai;
}

std::vector<Point> LireTableau(std::string_view octets, Lecture& lecture)
{
    const std::vector<Ligne> lignes = Lignes(EnUtf8(octets));
    const char separateur = SeparateurDeChamps(lignes);
    std::vector<LigneChamps> tableau;
    for (const Ligne& ligne : lignes) {
        std::vector<std::string> champs = Champs(ligne.texte, separateur);
        bool vide = true;
        for (const std::string& champ : champs)
            vide = vide && champ.empty();
        if (!vide)
            tableau.push_back({ligne.numero, std::move(champs)});
    }
    if (tableau.empty())
        throw EEssaiIllisible("Le fichier est vide.");

    // The header: the lines before the first whose first field is a number.
    std::size_t premiere = 0;
    while (premiere < tableau.size() && !EstNombre(tableau[premiere].champs[0]))
        ++premiere;
    if (premiere == tableau.size())
        throw EEssaiIllisible("Le fichier ne contient aucune ligne de nombres : " + kDeuxColonnes);
    if (premiere > 0)
        RefuserDispositionsSansPression(tableau[0]);

    if (separateur == ',') {
        // The column names count too, when there are several.
        const std::size_t depuis = premiere > 0 && tableau[premiere - 1].champs.size() > 1 ? premiere - 1 : premiere;
        const std::size_t champs = tableau[depuis].champs.size();
        for (std::size_t i = depuis; i < tableau.size(); ++i) {
            if (tableau[i].champs.size() != champs)
                VirgulesAmbigues(tableau[i].numero);
            if (i >= premiere)
                for (const std::string& champ : tableau[i].champs)
                    if (ZeroEnTete(champ))
                        VirgulesAmbigues(tableau[i].numero);
        }
    }

    bool virgule = false;
    bool point = false;
    for (std::size_t i = premiere; i < tableau.size(); ++i)
        for (std::size_t c = 0; c < std::min<std::size_t>(2, tableau[i].champs.size()); ++c) {
            virgule = virgule || tableau[i].champs[c].find(',') != std::string::npos;
            point = point || tableau[i].champs[c].find('.') != std::string::npos;
        }
    if (virgule && point)
        throw EEssaiIllisible("Les nombres du fichier sont écrits avec des virgules et avec des points : "
                              "le séparateur décimal est ambigu.");
    const char decimal = point ? '.' : ',';

    // The pressure column's unit, from its header; the program's own files are in Pa.
    double facteur = 1;
    const bool programme = premiere > 0 && tableau[0].champs[0] == kEnteteDate;
    std::optional<Unite> unite;
    if (premiere > 0 && tableau[premiere - 1].champs.size() > 1 && !programme)
        unite = UniteDeLEntete(tableau[premiere - 1].champs[1]);
    if (unite && unite->pascals != 1) {
        facteur = unite->pascals;
        lecture.uniteConvertie = std::string(unite->nom);
    }
    lecture.sansUnite = !unite && !programme;
    lecture.relative = premiere > 0 && tableau[premiere - 1].champs.size() > 1 && !programme
                       && EnteteRelative(tableau[premiere - 1].champs[1]);
    // The time column's unit; the program's own files are in s.
    double facteurTemps = 1;
    if (premiere > 0 && !programme)
        if (const std::optional<UniteTemps> temps = UniteDeTemps(tableau[premiere - 1].champs[0]);
            temps && temps->secondes != 1) {
            facteurTemps = temps->secondes;
            lecture.uniteTemps = std::string(temps->mots);
        }

    std::vector<Point> points;
    points.reserve(tableau.size() - premiere);
    for (std::size_t i = premiere; i < tableau.size(); ++i) {
        const LigneChamps& ligne = tableau[i];
        if (ligne.champs.size() < 2)
            throw EEssaiIllisible(DebutLigne(ligne.numero) + "une seule colonne ; " + kDeuxColonnes);
        double valeurs[2];
        for (int c = 0; c < 2; ++c) {
            const std::string& champ = ligne.champs[static_cast<std::size_t>(c)];
            const std::optional<long double> valeur = Nombre(champ, decimal);
            if (!valeur)
                throw EEssaiIllisible(DebutLigne(ligne.numero) + Citation(champ) + " n'est pas un nombre.");
            if (!(std::fabs(*valeur) <= DBL_MAX))
                throw EEssaiIllisible(DebutLigne(ligne.numero) + Citation(champ) + " est un nombre trop grand.");
            valeurs[c] = static_cast<double>(*valeur);
        }
        for (int c = 0; c < 2; ++c)
            if (!std::isfinite(valeurs[c] * (c == 0 ? facteurTemps : facteur)))
                throw EEssaiIllisible(DebutLigne(ligne.numero) + Citation(ligne.champs[static_cast<std::size_t>(c)])
                                      + " est un nombre trop grand.");
        points.push_back({valeurs[0] * facteurTemps, valeurs[1] * facteur});
        lecture.lignes.push_back(ligne.numero);
    }
    return points;
}

} // namespace

Enregistrement LireEnregistrement(std::string_view octets)
{
    if (octets.starts_with(kBomUtf16Le) || octets.starts_with(kBomUtf16Be))
        throw EEssaiIllisible("Le fichier est codé en UTF-16 : enregistrez-le en UTF-8 ou en Windows-1252.");
    if (octets.starts_with(kBomUtf8))
        octets.remove_prefix(kBomUtf8.size());
    const std::string_view premiereLigne = octets.substr(0, octets.find_first_of("\r\n"));
    if (premiereLigne == Journal::kPremiereLigne)
        return LireJournal(octets);
    Enregistrement essai;
    essai.points = LireTableau(octets, essai.lecture);
    return essai;
}

std::vector<Point> LireEssai(std::string_view octets)
{
    return LireEnregistrement(octets).points;
}

Enregistrement LireFichierEnregistrement(const std::string& chemin)
{
    auto refus = [](int erreur) {
        switch (erreur) {
        case ENOENT:
        case ENOTDIR:
            return EEssaiIllisible("Fichier introuvable.");
        case EACCES:
        case EPERM:
            return EEssaiIllisible("Accès au fichier refusé.");
        case EISDIR:
            return EEssaiIllisible("C'est un dossier, pas un fichier.");
        default:
            return EEssaiIllisible("Lecture impossible (erreur système " + std::to_string(erreur) + ").");
        }
    };
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw refus(errno);
    std::string octets;
    int erreur = 0;
    struct stat etat {};
    if (::fstat(fd, &etat) != 0)
        erreur = errno;
    else if (S_ISDIR(etat.st_mode))
        erreur = EISDIR;
    // Read to the end, whatever the size said: a pipe or a device has none.
    char tampon[1 << 16];
    while (erreur == 0 && octets.size() <= kTailleMaximaleEssai) {
        const ssize_t lus = ::read(fd, tampon, sizeof tampon);
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus < 0)
            erreur = errno;
        else if (lus == 0)
            break;
        else
            octets.append(tampon, static_cast<std::size_t>(lus));
    }
    ::close(fd);
    if (erreur != 0)
        throw refus(erreur);
    if (octets.size() > kTailleMaximaleEssai)
        throw EEssaiIllisible("Fichier trop gros (plus de " + std::to_string(kTailleMaximaleEssai >> 20)
                              + " Mo) pour être un enregistrement de mesures.");
    return LireEnregistrement(octets);
}

std::vector<Point> LireFichierEssai(const std::string& chemin)
{
    return LireFichierEnregistrement(chemin).points;
}

} // namespace Cinetique
