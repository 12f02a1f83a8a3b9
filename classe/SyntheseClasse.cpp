#include "classe/SyntheseClasse.h"

#include "analyse/AnalyseEssai.h"
#include "analyse/LigneResultats.h"
#include "analyse/TexteResultat.h"
#include "classe/Formulations.h"
#include "kinetics/Constantes.h"
#include "journal/JournalEssai.h"
#include "runtime/EnParallele.h"
#include "runtime/FichierTexte.h"
#include "runtime/HeureLocale.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>
#include <new>
#include <numeric>
#include <tuple>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Classe {

namespace {

using Cinetique::CheminAffichable;
using Cinetique::NombreResultat;

// classe.tsv is a few lines a run: anything far larger is not one.
constexpr std::size_t kTailleMaximaleTable = 1u << 20;
constexpr std::string_view kColonneFichier = "fichier";
constexpr std::string_view kSansFacteur = "facteur";
// The line of classe.tsv that gives the factor's nature, before its value.
constexpr std::string_view kLigneNature = "# nature du facteur : ";

std::string NomDeFichier(const std::string& chemin)
{
    const std::size_t barre = chemin.find_last_of('/');
    return barre == std::string::npos ? chemin : chemin.substr(barre + 1);
}

std::string DansDossier(const std::string& dossier, std::string_view nom)
{
    if (dossier.empty() || dossier.back() == '/')
        return dossier + std::string(nom);
    return dossier + "/" + std::string(nom);
}

std::string DossierDe(const std::string& chemin)
{
    const std::size_t barre = chemin.find_last_of('/');
    if (barre == std::string::npos)
        return ".";
    return barre == 0 ? "/" : chemin.substr(0, barre);
}

// Why a folder or a file cannot be read, in French, for the system's error.
std::string Raison(int erreur)
{
    switch (erreur) {
    case EACCES:
    case EPERM:
        return "Permission non accordée";
    case ENOENT:
        return "il n'existe pas";
    case ENOTDIR:
        return "ce n'est pas un dossier";
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENETDOWN:
    case ETIMEDOUT:
    case ECONNREFUSED:
    case ECONNRESET:
        return "le partage réseau ne répond pas";
    case EIO:
        return "erreur d'entrée-sortie";
    case EMFILE:
    case ENFILE:
        return "trop de fichiers ouverts";
    default:
        return "erreur système " + std::to_string(erreur);
    }
}

std::string MessageDossier(const std::string& dossier, int erreur)
{
    return "Le dossier « " + CheminAffichable(dossier) + " » ne peut pas être lu : " + Raison(erreur) + ".";
}

// The regular files of a folder but its classe.tsv, sorted by name.
Issue<std::vector<std::string>> FichiersDuDossier(const std::string& dossier)
{
    DIR* flux = ::opendir(dossier.c_str());
    if (flux == nullptr) {
        const int erreur = errno;
        return Echec{MessageDossier(dossier, erreur), erreur};
    }
    std::vector<std::string> noms;
    int erreur = 0;
    while (true) {
        errno = 0;
        const dirent* entree = ::readdir(flux);
        if (entree == nullptr) {
            erreur = errno;
            break;
        }
        const std::string_view nom = entree->d_name;
        if (nom == "." || nom == ".." || nom == kNomTable)
            continue;
        if (entree->d_type == DT_DIR)
            continue;
        if (entree->d_type != DT_REG) {
            // A link, or a file system that does not say: what the name leads to.
            // A file gone meanwhile is simply not there any more.
            struct stat etat {};
            if (::fstatat(::dirfd(flux), entree->d_name, &etat, 0) != 0 || !S_ISREG(etat.st_mode))
                continue;
        }
        noms.emplace_back(nom);
    }
    ::closedir(flux);
    if (erreur != 0)
        return Echec{MessageDossier(dossier, erreur), erreur};
    std::sort(noms.begin(), noms.end());
    std::vector<std::string> chemins;
    chemins.reserve(noms.size());
    for (const std::string& nom : noms)
        chemins.push_back(DansDossier(dossier, nom));
    return chemins;
}

// The whole of a small file, or the system's error.
std::variant<std::string, int> LireOctets(const std::string& chemin, std::size_t tailleMaximale)
{
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno;
    std::string octets;
    char tampon[1 << 14];
    int erreur = 0;
    while (octets.size() <= tailleMaximale) {
        const ssize_t lus = ::read(fd, tampon, sizeof tampon);
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus < 0) {
            erreur = errno;
            break;
        }
        if (lus == 0)
            break;
        octets.append(tampon, static_cast<std::size_t>(lus));
    }
    ::close(fd);
    if (erreur != 0)
        return erreur;
    return octets;
}

Facteur FacteurDeColonne(std::string_view colonne)
{
    Facteur facteur;
    if (colonne.empty() || colonne == kSansFacteur)
        return facteur;
    const std::size_t ouvrante = colonne.rfind(" (");
    if (colonne.back() == ')' && ouvrante != std::string_view::npos && ouvrante > 0) {
        facteur.nom = std::string(colonne.substr(0, ouvrante));
        facteur.unite = std::string(colonne.substr(ouvrante + 2, colonne.size() - ouvrante - 3));
    } else {
        facteur.nom = std::string(colonne);
    }
    return facteur;
}

std::vector<std::string_view> Champs(std::string_view ligne)
{
    std::vector<std::string_view> champs;
    std::size_t debut = 0;
    while (true) {
        const std::size_t tab = ligne.find('\t', debut);
        champs.push_back(ligne.substr(debut, tab == std::string_view::npos ? std::string_view::npos : tab - debut));
        if (tab == std::string_view::npos)
            return champs;
        debut = tab + 1;
    }
}

// Mean and sample standard deviation (n − 1).
std::pair<double, double> MoyenneEtEcartType(const std::vector<double>& valeurs)
{
    const double n = static_cast<double>(valeurs.size());
    const double moyenne = std::accumulate(valeurs.begin(), valeurs.end(), 0.0) / n;
    double somme = 0;
    for (const double v : valeurs)
        somme += (v - moyenne) * (v - moyenne);
    return {moyenne, valeurs.size() > 1 ? std::sqrt(somme / (n - 1)) : 0.0};
}

bool KDetermine(const EssaiClasse& essai)
{
    const Cinetique::Resultat& r = essai.resultat;
    return r.determine && std::isfinite(r.k) && r.k > 0 && std::isfinite(r.tDemi);
}

// The number of temperatures more than kEcartTemperature apart, one bath
// being one however it drifted (single linkage).
int TemperaturesDistinctes(const std::vector<double>& temperatures)
{
    return static_cast<int>(GroupesProches(temperatures, kEcartTemperature).size());
}

// The sentence said when the scatter between runs exceeds their
// uncertainties, for the fit of `quoi` (with its article): the reduced χ²
// and both uncertainties of `grandeur`, the larger one given.
// Its numbers are written with the text's separator (PhraseConclusion).
Conclusion PhraseDispersion(const std::string& quoi, double chi2, int degres, const std::string& grandeur,
                            double uDispersion, double uEssais, const std::string& unite)
{
    return {"Dispersion entre essais, " + quoi,
            {},
            {},
            "La dispersion entre essais dépasse leurs incertitudes : χ²/ν = ",
            {},
            {{chi2 / degres, {}, "",
              " pour " + std::to_string(degres) + " degré" + (degres > 1 ? "s" : "") +
                  " de liberté ; l'incertitude donnée pour " + grandeur + " est celle de la dispersion, "},
             {uDispersion, {}, unite, " ("},
             {uEssais, {}, unite, " d'après les incertitudes des essais)."}}};
}

// The reduced χ² of a weighted fit, as a conclusion.
Conclusion Chi2Reduit(const std::string& quoi, double chi2, int degres)
{
    return {"χ²/ν, " + quoi + " (" + std::to_string(degres) + " degré" + (degres > 1 ? "s" : "") + " de liberté)",
            chi2 / degres, {}, {}, {}};
}

void ConclureArrhenius(Synthese& synthese)
{
    std::vector<double> x, y, u, temperatures;
    for (const EssaiClasse& essai : synthese.essais) {
        if (!KDetermine(essai) || !essai.conditions.temperature)
            continue;
        x.push_back(InverseTemperature(*essai.conditions.temperature));
        y.push_back(std::log(essai.resultat.k));
        u.push_back(essai.resultat.uK / essai.resultat.k);
        temperatures.push_back(*essai.conditions.temperature);
    }
    const int distinctes = TemperaturesDistinctes(temperatures);
    const std::string nomEa = "Énergie d'activation Ea (J/mol)";
    if (distinctes == 2) {
        synthese.conclusions.push_back(
            {nomEa, {}, {},
             "non calculée : les essais dont k est déterminé ne sont qu'à 2 températures, il en faut au moins 3.",
             {}});
        return;
    }
    if (distinctes < 3)
        return;
    synthese.arrhenius = AjusterDroitePonderee(x, y, u);
    if (!synthese.arrhenius)
        return;
    const Droite& d = *synthese.arrhenius;
    const double a = std::exp(d.ordonnee);
    synthese.conclusions.push_back({nomEa, -d.pente * Constantes::kConstanteGazExacte, d.uPente * Constantes::kConstanteGazExacte, {}, "J/mol"});
    synthese.conclusions.push_back({"Facteur pré-exponentiel A (s-1)", a, a * d.uOrdonnee, {}, "s⁻¹"});
    if (!d.ponderee)
        return;
    synthese.conclusions.push_back(Chi2Reduit("droite d'Arrhenius", d.chi2, d.Degres()));
    if (d.dispersion)
        synthese.conclusions.push_back(PhraseDispersion("droite d'Arrhenius", d.chi2, d.Degres(), "Ea",
                                                        d.uPenteDispersion * Constantes::kConstanteGazExacte, d.uPenteEssais * Constantes::kConstanteGazExacte, "J/mol"));
}

void ConclureFacteur(Synthese& synthese)
{
    const Facteur& facteur = synthese.facteur;
    if (facteur.nom.empty())
        return;
    std::vector<double> f, k, uK, tDemi, uTDemi;
    for (const EssaiClasse& essai : synthese.essais) {
        if (!KDetermine(essai) || !essai.facteur)
            continue;
        f.push_back(*essai.facteur);
        k.push_back(essai.resultat.k);
        uK.push_back(essai.resultat.uK);
        tDemi.push_back(essai.resultat.tDemi);
        uTDemi.push_back(essai.resultat.uTDemi);
    }
    synthese.kSelonFacteur = AjusterDroitePonderee(f, k, uK);
    synthese.tDemiSelonFacteur = AjusterDroitePonderee(f, tDemi, uTDemi);
    if (!synthese.kSelonFacteur || !synthese.tDemiSelonFacteur)
        return;
    const Droite& dk = *synthese.kSelonFacteur;
    const Droite& dt = *synthese.tDemiSelonFacteur;
    const std::string par = facteur.unite.empty() ? "" : " par " + facteur.unite;
    std::vector<Conclusion>& c = synthese.conclusions;
    c.push_back({"Pente de k selon " + facteur.nom + " (s-1" + par + ")", dk.pente, dk.uPente, {}, "s⁻¹" + par});
    c.push_back({"Pente de t1/2 selon " + facteur.nom + " (s" + par + ")", dt.pente, dt.uPente, {}, "s" + par});
    if (facteur.nature == Nature::Reactif) {
        // Order 1: t½ does not depend on the initial amount of the reactant.
        const bool independant = std::abs(dt.pente) <= 2 * dt.uPente;
        c.push_back({"t1/2 selon " + facteur.nom,
                     {},
                     {},
                     independant ? "t½ ne dépend pas " + AvecDe(facteur.nom) +
                                       " aux incertitudes près : compatible avec l'ordre 1."
                                 : "t½ dépend " + AvecDe(facteur.nom) + " : la réaction n'est pas d'ordre 1.",
                     {}});
    } else {
        // A catalyst, or anything else: how k varies, nothing of the order.
        // The slope, rounded to its uncertainty, is written with the text.
        const NombrePhrase pente{dk.pente, dk.uPente, "s⁻¹" + par, "."};
        const std::string avec = AvecArticle(facteur.nom);
        std::string phrase;
        if (std::abs(dk.pente) <= 2 * dk.uPente)
            phrase = "k ne varie pas avec " + avec + " aux incertitudes près : ";
        else
            phrase = std::string(dk.pente > 0 ? "k augmente" : "k diminue") + " avec " + avec + " : ";
        c.push_back({"k selon " + facteur.nom, {}, {}, phrase, {}, {pente}});
    }
    for (const auto& [quoi, grandeur, d, unite] :
         {std::tuple("droite de k selon " + facteur.nom, std::string("la pente de k"), &dk, "s⁻¹" + par),
          std::tuple("droite de t1/2 selon " + facteur.nom, std::string("la pente de t½"), &dt, "s" + par)}) {
        if (!d->ponderee)
            continue;
        c.push_back(Chi2Reduit(quoi, d->chi2, d->Degres()));
        if (d->dispersion)
            c.push_back(PhraseDispersion(quoi, d->chi2, d->Degres(), grandeur, d->uPenteDispersion, d->uPenteEssais,
                                         unite));
    }
}

// The digits of a series's temperature as named: its mean to the degree, to
// the tenth when another series at the same factor value rounds to the same
// degree.
int DecimalesNom(double temperature, const std::vector<double>& autres)
{
    const double degre = std::round(temperature);
    for (const double t : autres)
        if (t != temperature && std::round(t) == degre)
            return 1;
    return 0;
}

void ConclureRepetitions(Synthese& synthese)
{
    // The runs that may repeat one another, by factor value; at one value,
    // the temperatures grouped by single linkage.
    std::map<std::optional<double>, std::vector<std::size_t>> parFacteur;
    for (std::size_t i = 0; i < synthese.essais.size(); ++i)
        if (KDetermine(synthese.essais[i]) && synthese.essais[i].conditions.temperature)
            parFacteur[synthese.essais[i].facteur].push_back(i);

    for (const auto& [valeur, candidats] : parFacteur) {
        std::vector<double> temperaturesCandidats;
        for (const std::size_t i : candidats)
            temperaturesCandidats.push_back(*synthese.essais[i].conditions.temperature);
        std::vector<std::pair<SerieRepetee, Moyenne>> series; // each with its mean of k
        std::vector<double> moyennes;
        for (const std::vector<std::size_t>& groupe : GroupesProches(temperaturesCandidats, kEcartTemperature)) {
            if (groupe.size() < 2)
                continue;
            SerieRepetee serie;
            for (const std::size_t n : groupe)
                serie.essais.push_back(candidats[n]);
            std::sort(serie.essais.begin(), serie.essais.end());
            serie.facteur = valeur;
            std::vector<double> temperatures, k, uK, tDemi, uTDemi;
            for (const std::size_t i : serie.essais) {
                const EssaiClasse& e = synthese.essais[i];
                temperatures.push_back(*e.conditions.temperature);
                k.push_back(e.resultat.k);
                uK.push_back(e.resultat.uK);
                tDemi.push_back(e.resultat.tDemi);
                uTDemi.push_back(e.resultat.uTDemi);
            }
            serie.temperature = MoyenneEtEcartType(temperatures).first;
            const Moyenne mk = *MoyennePonderee(k, uK), mt = *MoyennePonderee(tDemi, uTDemi);
            serie.kMoyen = mk.valeur;
            serie.uKMoyenne = mk.incertitude;
            serie.kEcartType = MoyenneEtEcartType(k).second;
            serie.uKAjustements = MoyenneEtEcartType(uK).first;
            serie.tDemiMoyen = mt.valeur;
            serie.uTDemiMoyenne = mt.incertitude;
            serie.tDemiEcartType = MoyenneEtEcartType(tDemi).second;
            serie.uTDemiAjustements = MoyenneEtEcartType(uTDemi).first;
            moyennes.push_back(serie.temperature);
            series.emplace_back(std::move(serie), mk);
        }
        for (auto& [serie, mk] : series) {
            serie.decimalesNom = DecimalesNom(serie.temperature, moyennes);
            // The names go on with the series' conditions when they are
            // written (NomConclusion): they hold numbers.
            const std::size_t n = synthese.repetitions.size();
            std::vector<Conclusion>& c = synthese.conclusions;
            c.push_back({"k moyen", serie.kMoyen, serie.uKMoyenne, {}, "s⁻¹", {}, n});
            c.push_back({"écart-type de k", serie.kEcartType, {}, {}, "s⁻¹", {}, n});
            c.push_back({"u(k) des ajustements, moyenne", serie.uKAjustements, {}, {}, "s⁻¹", {}, n});
            c.push_back({"t1/2 moyen", serie.tDemiMoyen, serie.uTDemiMoyenne, {}, "s", {}, n});
            c.push_back({"écart-type de t1/2", serie.tDemiEcartType, {}, {}, "s", {}, n});
            c.push_back({"u(t1/2) des ajustements, moyenne", serie.uTDemiAjustements, {}, {}, "s", {}, n});
            if (mk.dispersion) {
                c.push_back(PhraseDispersion("k moyen", mk.chi2, mk.Degres(), "k moyen", mk.uDispersion, mk.uEssais,
                                             "s⁻¹"));
                c.back().serie = n;
            }
            synthese.repetitions.push_back(std::move(serie));
        }
    }
}

} // namespace

std::string_view MotNature(Nature nature)
{
    switch (nature) {
    case Nature::Reactif:
        return "réactif";
    case Nature::Temperature:
        return "température";
    case Nature::Catalyseur:
        return "catalyseur";
    case Nature::Autre:
        break;
    }
    return "autre";
}

std::optional<Nature> NatureDuMot(std::string_view mot)
{
    for (const Nature n : {Nature::Autre, Nature::Reactif, Nature::Temperature, Nature::Catalyseur})
        if (mot == MotNature(n))
            return n;
    return std::nullopt;
}

std::string NomColonne(const Facteur& facteur)
{
    if (facteur.nom.empty())
        return std::string(kSansFacteur);
    return facteur.unite.empty() ? facteur.nom : facteur.nom + " (" + facteur.unite + ")";
}

std::optional<double> TableClasse::Valeur(const std::string& nomFichier) const
{
    for (const auto& [nom, valeur] : valeurs)
        if (nom == nomFichier)
            return valeur;
    return std::nullopt;
}

void TableClasse::Fixer(const std::string& nomFichier, std::optional<double> valeur)
{
    const auto trouve = std::find_if(valeurs.begin(), valeurs.end(), [&](const auto& v) { return v.first == nomFichier; });
    if (trouve != valeurs.end()) {
        if (valeur)
            trouve->second = *valeur;
        else
            valeurs.erase(trouve);
    } else if (valeur) {
        valeurs.emplace_back(nomFichier, *valeur);
    }
}

Issue<TableClasse> LireTexteTable(std::string_view texte)
{
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (texte.starts_with(kBom))
        texte.remove_prefix(kBom.size());
    TableClasse table;
    Nature nature = Nature::Autre;
    bool enTete = false;
    std::size_t numero = 0;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        const std::size_t fin = std::min(texte.find('\n', debut), texte.size());
        std::string_view ligne = texte.substr(debut, fin - debut);
        debut = fin + 1;
        ++numero;
        if (ligne.ends_with('\r'))
            ligne.remove_suffix(1);
        if (ligne.empty())
            continue;
        const std::vector<std::string_view> champs = Champs(ligne);
        const std::string lieu = std::string(kNomTable) + ", ligne " + std::to_string(numero) + " : ";
        if (!enTete && ligne.starts_with(kLigneNature)) {
            std::string_view mot = ligne.substr(kLigneNature.size());
            while (mot.ends_with(' '))
                mot.remove_suffix(1);
            const std::optional<Nature> lue = NatureDuMot(mot);
            if (!lue)
                return Echec{lieu + "la nature du facteur « " + Cinetique::EnUtf8(mot) +
                             " » n'est pas réactif, température, catalyseur ni autre."};
            nature = *lue;
            continue;
        }
        if (!enTete) {
            if (champs[0] != kColonneFichier)
                return Echec{lieu + "la première ligne doit commencer par « fichier »."};
            table.facteur = FacteurDeColonne(champs.size() > 1 ? champs[1] : std::string_view());
            table.facteur.nature = nature;
            enTete = true;
            continue;
        }
        if (champs[0].empty())
            return Echec{lieu + "le nom du fichier manque."};
        if (champs.size() < 2 || champs[1].empty())
            continue;
        try {
            table.Fixer(std::string(champs[0]), Cinetique::LireNombreVirguleOuPoint(champs[1]));
        } catch (const EConvertError&) {
            return Echec{lieu + "« " + Cinetique::EnUtf8(champs[1]) + " » n'est pas un nombre."};
        }
    }
    return table;
}

Issue<TableClasse> LireTable(const std::string& dossier)
{
    const std::string chemin = DansDossier(dossier, kNomTable);
    std::variant<std::string, int> lu = LireOctets(chemin, kTailleMaximaleTable);
    if (const int* erreur = std::get_if<int>(&lu)) {
        if (*erreur == ENOENT)
            return TableClasse{};
        return Echec{"Le fichier « " + CheminAffichable(chemin) + " » ne peut pas être lu : " + Raison(*erreur) + ".",
                     *erreur};
    }
    const std::string& octets = std::get<std::string>(lu);
    if (octets.size() > kTailleMaximaleTable)
        return Echec{"Le fichier « " + CheminAffichable(chemin) + " » est trop gros pour être une table de la classe."};
    return LireTexteTable(octets);
}

std::string TexteTable(const TableClasse& table)
{
    std::string texte;
    if (table.facteur.nature != Nature::Autre)
        texte = std::string(kLigneNature) + std::string(MotNature(table.facteur.nature)) + "\n";
    texte += std::string(kColonneFichier) + "\t" + NomColonne(table.facteur) + "\n";
    for (const auto& [nom, valeur] : table.valeurs) {
        // A name that a line cannot hold, or a value that is no number, has no line.
        if (nom.empty() || nom.find_first_of("\t\r\n") != std::string::npos || !std::isfinite(valeur))
            continue;
        texte += nom + "\t" + Journal::NombreExact(valeur) + "\n";
    }
    return texte;
}

Issue<void> EcrireTable(const std::string& dossier, const TableClasse& table)
{
    const std::string chemin = DansDossier(dossier, kNomTable);
    try {
        FichierTexte::Remplacer(chemin, TexteTable(table), FichierTexte::Lien::Suivi);
    } catch (const EInOutError& e) {
        return Echec{"Le fichier « " + CheminAffichable(chemin) + " » ne peut pas être écrit : " + e.Message(),
                     e.ErrorCode()};
    }
    return {};
}

bool EnCoursDEcriture(std::string_view nomFichier)
{
    return nomFichier.starts_with('.') || nomFichier.ends_with(".tmp");
}

std::optional<Droite> AjusterDroite(std::span<const double> x, std::span<const double> y)
{
    return AjusterDroitePonderee(x, y, {});
}

Issue<std::vector<std::string>> Fichiers(const std::vector<std::string>& dossiersOuFichiers)
{
    std::vector<std::string> fichiers;
    for (const std::string& chemin : dossiersOuFichiers) {
        struct stat etat {};
        if (::stat(chemin.c_str(), &etat) != 0) {
            const int erreur = errno;
            if (erreur == ENOENT || erreur == ENOTDIR)
                return Echec{"« " + CheminAffichable(chemin) + " » est introuvable : ni dossier ni fichier de ce nom.",
                             erreur};
            return Echec{MessageDossier(chemin, erreur), erreur};
        }
        if (!S_ISDIR(etat.st_mode)) {
            fichiers.push_back(chemin);
            continue;
        }
        Issue<std::vector<std::string>> contenu = FichiersDuDossier(chemin);
        if (!contenu)
            return contenu.Erreur();
        for (std::string& fichier : std::move(contenu).Valeur())
            fichiers.push_back(std::move(fichier));
    }
    return fichiers;
}

std::variant<EssaiClasse, FichierEcarte> AnalyserFichier(const std::string& chemin, const TableClasse& table)
{
    const std::string nom = NomDeFichier(chemin);
    if (EnCoursDEcriture(nom))
        return FichierEcarte{chemin, std::string(kRaisonEnCours)};
    try {
        Cinetique::Enregistrement lu = Cinetique::LireFichierEnregistrement(chemin);
        EssaiClasse essai;
        essai.resultat = Cinetique::AnalyserEnregistrement(lu, Cinetique::Options{});
        essai.chemin = chemin;
        essai.nom = nom;
        essai.conditions = std::move(lu.conditions);
        essai.facteur = table.Valeur(nom);
        essai.points = std::move(lu.points);
        return essai;
    } catch (const Exception& e) {
        return FichierEcarte{chemin, e.Message()};
    } catch (const std::bad_alloc&) {
        return FichierEcarte{chemin, "Mémoire insuffisante."};
    }
}

Synthese Conclure(std::vector<EssaiClasse> essais, std::vector<FichierEcarte> ecartes, const Facteur& facteur)
{
    Synthese synthese;
    synthese.facteur = facteur;
    std::stable_sort(essais.begin(), essais.end(), [](const EssaiClasse& a, const EssaiClasse& b) {
        return std::forward_as_tuple(!a.conditions.debut.has_value(), a.conditions.debut, a.nom, a.chemin)
             < std::forward_as_tuple(!b.conditions.debut.has_value(), b.conditions.debut, b.nom, b.chemin);
    });
    synthese.essais = std::move(essais);
    synthese.ecartes = std::move(ecartes);
    ConclureArrhenius(synthese);
    ConclureFacteur(synthese);
    ConclureRepetitions(synthese);
    return synthese;
}

std::vector<std::variant<EssaiClasse, FichierEcarte>>
AnalyserEnParallele(const std::vector<std::string>& chemins,
                    const std::function<std::variant<EssaiClasse, FichierEcarte>(std::size_t i)>& analyser)
{
    std::vector<std::variant<EssaiClasse, FichierEcarte>> analyses(chemins.size());
    // Each job writes its own file's slot only.
    EnParallele(chemins.size(), [&](std::size_t i) {
        // AnalyserFichier gives every failure of the file as a value; what
        // else a thread could meet must not end the program.
        try {
            analyses[i] = analyser(i);
        } catch (const std::bad_alloc&) {
            analyses[i] = FichierEcarte{chemins[i], "Mémoire insuffisante."};
        } catch (const std::exception&) {
            analyses[i] = FichierEcarte{chemins[i], "Lecture impossible (erreur interne)."};
        }
    });
    return analyses;
}

Synthese Synthetiser(const std::vector<std::string>& dossiersOuFichiers)
{
    // The files, each with the table of its folder; the folders and tables
    // that cannot be read, in their place in the list.
    struct Tache {
        std::string chemin;
        const TableClasse* table = nullptr;
        std::optional<FichierEcarte> ecarte;
    };
    std::vector<Tache> taches;
    std::map<std::string, TableClasse> tables; // by folder; a map's elements stay where they are
    std::optional<Facteur> facteur;
    for (const std::string& argument : dossiersOuFichiers) {
        Issue<std::vector<std::string>> fichiers = Fichiers({argument});
        if (!fichiers) {
            taches.push_back({argument, nullptr, FichierEcarte{argument, fichiers.Message()}});
            continue;
        }
        for (std::string& chemin : std::move(fichiers).Valeur()) {
            const std::string dossier = DossierDe(chemin);
            auto table = tables.find(dossier);
            if (table == tables.end()) {
                Issue<TableClasse> lue = LireTable(dossier);
                if (!lue) {
                    const std::string nom = DansDossier(dossier, kNomTable);
                    taches.push_back({nom, nullptr, FichierEcarte{nom, lue.Message()}});
                }
                table = tables.emplace(dossier, lue ? std::move(lue).Valeur() : TableClasse{}).first;
                if (!facteur && !table->second.facteur.nom.empty())
                    facteur = table->second.facteur;
            }
            taches.push_back({std::move(chemin), &table->second, std::nullopt});
        }
    }

    std::vector<std::string> chemins;
    for (const Tache& tache : taches)
        chemins.push_back(tache.chemin);
    std::vector<std::variant<EssaiClasse, FichierEcarte>> analyses =
        AnalyserEnParallele(chemins, [&](std::size_t i) -> std::variant<EssaiClasse, FichierEcarte> {
            if (taches[i].ecarte)
                return *taches[i].ecarte;
            return AnalyserFichier(taches[i].chemin, *taches[i].table);
        });

    std::vector<EssaiClasse> essais;
    std::vector<FichierEcarte> ecartes;
    for (std::variant<EssaiClasse, FichierEcarte>& analyse : analyses) {
        if (EssaiClasse* essai = std::get_if<EssaiClasse>(&analyse))
            essais.push_back(std::move(*essai));
        else
            ecartes.push_back(std::move(std::get<FichierEcarte>(analyse)));
    }
    return Conclure(std::move(essais), std::move(ecartes), facteur.value_or(Facteur{}));
}

std::string TexteDebut(std::chrono::system_clock::time_point debut)
{
    return HeureLocale(debut, "%Y-%m-%d %H:%M:%S");
}

Rangee EnTetes(const Facteur& facteur)
{
    return {"fichier", "poste", "début", "température (°C)", "volume (L)", CheminAffichable(NomColonne(facteur)),
            "points", "k (s-1)", "u(k) (s-1)", "t1/2 (s)", "u(t1/2) (s)", "x finale (mol)", "u(x finale) (mol)",
            "remarque"};
}

Rangee Cellules(const EssaiClasse& essai, char separateur)
{
    const Cinetique::Resultat& r = essai.resultat;
    return {
        CheminAffichable(essai.chemin),
        CheminAffichable(essai.conditions.poste),
        essai.conditions.debut ? TexteDebut(*essai.conditions.debut) : std::string(),
        NombreResultat(essai.conditions.temperature, separateur),
        NombreResultat(essai.conditions.volume, separateur),
        NombreResultat(essai.facteur, separateur),
        std::to_string(r.points),
        NombreResultat(r.k, separateur),
        NombreResultat(r.uK, separateur),
        NombreResultat(r.tDemi, separateur),
        NombreResultat(r.uTDemi, separateur),
        NombreResultat(r.xFinal, separateur),
        NombreResultat(r.uXFinal, separateur),
        Cinetique::TexteRemarques(r, separateur),
    };
}

std::string NomTemperature(const SerieRepetee& serie, char separateur)
{
    const double t = serie.decimalesNom > 0 ? serie.temperature : std::round(serie.temperature);
    return Decimales(t, serie.decimalesNom, separateur) + " °C";
}

std::string NomConclusion(const Synthese& synthese, const Conclusion& conclusion, char separateur)
{
    if (!conclusion.serie || *conclusion.serie >= synthese.repetitions.size())
        return conclusion.nom;
    const SerieRepetee& serie = synthese.repetitions[*conclusion.serie];
    const Facteur& facteur = synthese.facteur;
    std::string nom = conclusion.nom + " à " + NomTemperature(serie, separateur);
    if (serie.facteur && !facteur.nom.empty())
        nom += " et " + facteur.nom + " = " + NombreResultat(*serie.facteur, separateur) +
               (facteur.unite.empty() ? "" : " " + facteur.unite);
    nom += ", " + std::to_string(serie.essais.size()) + " essais";
    if (conclusion.unite.empty())
        return nom;
    // The unit as the command line's headers write it: "s-1" for "s⁻¹".
    std::string unite = conclusion.unite;
    for (std::size_t p; (p = unite.find("⁻¹")) != std::string::npos;)
        unite.replace(p, std::string_view("⁻¹").size(), "-1");
    return nom + " (" + unite + ")";
}

std::string PhraseConclusion(const Conclusion& c, char separateur)
{
    std::string phrase = c.phrase;
    for (const NombrePhrase& n : c.nombres)
        phrase += (n.incertitude ? ArrondiIncertitude(n.valeur, *n.incertitude, n.unite, separateur)
                                 : AvecPuissance(n.valeur, 2, n.unite, separateur)) +
                  n.suite;
    return phrase;
}

std::array<std::string, 3> Cellules(const Synthese& synthese, const Conclusion& c, char separateur)
{
    return {CheminAffichable(NomConclusion(synthese, c, separateur)),
            c.phrase.empty() ? NombreResultat(c.valeur, separateur) : PhraseConclusion(c, separateur),
            NombreResultat(c.incertitude, separateur)};
}

namespace {

// The cells joined by TABs, ended by "\n".
template <std::size_t N>
std::string Ligne(const std::array<std::string, N>& cellules)
{
    std::string ligne = cellules[0];
    for (std::size_t i = 1; i < N; ++i)
        ligne += "\t" + cellules[i];
    return ligne + "\n";
}

} // namespace

std::string TexteSynthese(const Synthese& synthese, char separateur)
{
    std::string texte = Ligne(EnTetes(synthese.facteur));
    for (const EssaiClasse& essai : synthese.essais)
        texte += Ligne(Cellules(essai, separateur));
    texte += "\n";
    for (const Conclusion& c : synthese.conclusions)
        texte += Ligne(Cellules(synthese, c, separateur));
    return texte;
}

} // namespace Classe
