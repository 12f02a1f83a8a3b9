#include "commande/LigneCommande.h"

#include "kinetics/AnalyseCinetique.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <ostream>
#include <vector>

namespace Cinetique {

namespace {

// A wrong command line, with the French message: raised where the reading of
// the arguments finds it, given back as LireArguments' failure.
class OptionIncorrecte : public Exception {
public:
    using Exception::Exception;
};

constexpr std::string_view kAnalyse = "--analyse";
constexpr std::string_view kPdf = "--pdf";
constexpr std::string_view kAide = "--help";
constexpr std::string_view kFinDesOptions = "--";
constexpr std::string_view kPrefixe = "nelvar : ";
constexpr std::string_view kRenvoiAide = " (voir nelvar --help).";

constexpr std::string_view kTexteAide =
    "Utilisation : nelvar --analyse [options] FICHIER...\n"
    "              nelvar --rapport OUT.pdf [options] FICHIER\n"
    "              nelvar --classe [--pdf SORTIE.pdf] DOSSIER|FICHIER...\n"
    "\n"
    "Analyse cinétique d'enregistrements de mesures, sans fenêtre : le modèle du\n"
    "premier ordre p(t) = p∞ − (p∞ − pa)·exp(−k·(t − ta)) est ajusté à la pression\n"
    "par les moindres carrés, et chaque fichier donne une ligne de résultats\n"
    "séparés par des tabulations, avec leurs incertitudes-types.\n"
    "\n"
    "Options :\n"
    "  --volume L          volume du gaz, en L (pour l'avancement final)\n"
    "  --temperature °C    température, en °C (pour l'avancement final)\n"
    "  --debut s           début de l'intervalle analysé, en s (par défaut : le\n"
    "                      début de la réaction, trouvé après une ligne de base)\n"
    "  --fin s             fin de l'intervalle analysé, en s (par défaut : le\n"
    "                      dernier point avant une chute ou un saut brutal)\n"
    "  --origine           la courbe part du premier point de l'enregistrement\n"
    "  --exclure T1,T2...  exclut les points aux dates T1, T2... (en s) ; avec une\n"
    "                      virgule décimale, séparer les dates par des points-virgules\n"
    "  --rapport OUT.pdf   écrit le compte rendu d'un seul FICHIER en PDF (A4),\n"
    "                      sans fenêtre, au lieu de la ligne de résultats\n"
    "  --help              affiche cette aide\n"
    "Les valeurs s'écrivent avec une virgule ou un point décimal.\n"
    "\n"
    "Fichiers : du texte, une ligne par point, le temps (s) puis la pression (Pa),\n"
    "séparés par une tabulation, un point-virgule ou une virgule, avec ou sans\n"
    "ligne d'en-tête ; les enregistrements du programme se lisent tels quels.\n"
    "Les journaux d'essai (dossier nelvar/essais des données de l'utilisateur) se\n"
    "lisent aussi, sur leurs temps réels, avec leur volume et leur température.\n"
    "\n"
    "Colonnes écrites : fichier, points, debut (s), fin (s), k (s-1), u(k) (s-1),\n"
    "t1/2 (s), u(t1/2) (s), t1/2 graphique (s), p initiale (Pa), p finale (Pa),\n"
    "u(p finale) (Pa), x finale (mol), u(x finale) (mol), R2, remarque.\n"
    "\n"
    "Code de retour : 0 quand tous les fichiers sont analysés ; 2 quand un fichier\n"
    "ne peut l'être (une ligne « fichier : message » sur la sortie d'erreur) ou\n"
    "quand les options sont incorrectes.\n"
    "\n"
    "Synthèse de la classe (--classe) : chaque essai des dossiers (sauf classe.tsv)\n"
    "et des fichiers donnés est analysé comme avec --analyse ; une ligne par essai\n"
    "(fichier, poste, début, température (°C), volume (L), facteur de classe.tsv,\n"
    "points, k (s-1), u(k) (s-1), t1/2 (s), u(t1/2) (s), x finale (mol),\n"
    "u(x finale) (mol), remarque), une ligne vide, puis les conclusions\n"
    "« nom, valeur, incertitude-type » (énergie d'activation, effet du facteur,\n"
    "essais répétés). Les fichiers écartés sont listés sur la sortie d'erreur.\n"
    "--pdf SORTIE.pdf écrit aussi le compte rendu de la classe. Code de retour :\n"
    "0 quand au moins un essai est analysé, 2 sinon.\n"
    "Sans option, nelvar ouvre sa fenêtre.\n";

double Valeur(std::string_view option, const std::string& texte)
{
    try {
        return LireNombreVirguleOuPoint(texte);
    } catch (const EConvertError&) {
        throw OptionIncorrecte{std::string(option) + " : « " + EnUtf8(texte) + " » n'est pas un nombre"};
    }
}

// The dates of --exclure: separated by semicolons when one holds a decimal
// comma or a semicolon is used, else by commas.
std::vector<double> Dates(const std::string& liste)
{
    const char separateur = liste.find(';') != std::string::npos ? ';' : ',';
    std::vector<double> dates;
    std::size_t debut = 0;
    while (true) {
        const std::size_t fin = std::min(liste.find(separateur, debut), liste.size());
        std::string date = liste.substr(debut, fin - debut);
        date.erase(0, date.find_first_not_of(' '));
        date.erase(date.find_last_not_of(' ') + 1);
        dates.push_back(Valeur("--exclure", date));
        if (fin == liste.size())
            return dates;
        debut = fin + 1;
    }
}

} // namespace

namespace {

Demande LireOptions(std::span<const std::string> arguments)
{
    Demande demande;
    bool finDesOptions = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (finDesOptions || argument == "-" || !argument.starts_with('-')) {
            demande.fichiers.push_back(argument);
            continue;
        }
        if (argument == kFinDesOptions) {
            finDesOptions = true;
            continue;
        }
        if (argument == kAnalyse)
            continue;
        if (argument == kAide) {
            demande.aide = true;
            return demande;
        }
        if (argument == "--origine") {
            demande.options.origineFixee = true;
            continue;
        }

        const std::size_t egal = argument.find('=');
        const std::string nom = argument.substr(0, egal);
        if (nom == "--exclure") {
            std::string liste;
            if (egal != std::string::npos)
                liste = argument.substr(egal + 1);
            else if (i + 1 < arguments.size())
                liste = arguments[++i];
            else
                throw OptionIncorrecte{"l'option --exclure attend des dates, en s"};
            for (const double t : Dates(liste))
                demande.options.exclus.push_back(t);
            continue;
        }
        if (nom == "--rapport") {
            if (egal != std::string::npos)
                demande.rapport = argument.substr(egal + 1);
            else if (i + 1 < arguments.size())
                demande.rapport = arguments[++i];
            else
                throw OptionIncorrecte{"l'option --rapport attend le nom du fichier PDF"};
            continue;
        }
        std::optional<double>* cible = nom == "--volume"        ? &demande.options.volume
                                       : nom == "--temperature" ? &demande.options.temperature
                                       : nom == "--debut"       ? &demande.options.debut
                                       : nom == "--fin"         ? &demande.options.fin
                                                                : nullptr;
        if (cible == nullptr)
            throw OptionIncorrecte{"option inconnue « " + EnUtf8(nom) + " »"};
        if (egal != std::string::npos)
            *cible = Valeur(nom, argument.substr(egal + 1));
        else if (i + 1 < arguments.size())
            *cible = Valeur(nom, arguments[++i]);
        else
            throw OptionIncorrecte{"l'option " + nom + " attend une valeur"};
    }
    if (demande.fichiers.empty())
        throw OptionIncorrecte{"aucun fichier à analyser"};
    return demande;
}

} // namespace

Issue<Demande> LireArguments(std::span<const std::string> arguments)
{
    try {
        return LireOptions(arguments);
    } catch (const OptionIncorrecte& e) {
        return Echec{e.Message()};
    }
}

namespace {

// A full disk or a closed pipe behind the output must not pass for
// success: false, with one line on `erreurs`, when `sortie` failed.
bool SortieEcrite(std::ostream& sortie, std::ostream& erreurs)
{
    if (sortie)
        return true;
    erreurs << kPrefixe << "écriture impossible sur la sortie standard.\n";
    return false;
}

} // namespace

bool ModeLigneDeCommande(std::span<const std::string> arguments)
{
    if (!arguments.empty() && arguments.front() == kAide)
        return true;
    for (const std::string& argument : arguments) {
        if (argument == kFinDesOptions)
            return false;
        if (argument == kAnalyse)
            return true;
    }
    return false;
}

int AnalyseEnLigneDeCommande(std::span<const std::string> arguments, std::ostream& sortie, std::ostream& erreurs)
{
    const Issue<Demande> lue = LireArguments(arguments);
    if (!lue) {
        erreurs << kPrefixe << lue.Message() << kRenvoiAide << "\n";
        return kCodeEchec;
    }
    const Demande& demande = *lue;
    if (demande.aide) {
        sortie << kTexteAide << std::flush;
        return SortieEcrite(sortie, erreurs) ? 0 : kCodeEchec;
    }

    sortie << kEnteteResultats << "\n" << std::flush;
    bool echec = false;
    for (const std::string& chemin : demande.fichiers) {
        std::string ligne;
        try {
            // A journal's V and T, unless given on the command line.
            const Enregistrement essai = LireFichierEnregistrement(chemin);
            ligne = LigneResultats(chemin, AnalyserEnregistrement(essai, demande.options), DecimalSeparator());
        } catch (const Exception& e) {
            erreurs << CheminAffichable(chemin) << " : " << e.Message() << "\n" << std::flush;
            echec = true;
            continue;
        } catch (const std::bad_alloc&) {
            erreurs << CheminAffichable(chemin) << " : Mémoire insuffisante.\n" << std::flush;
            echec = true;
            continue;
        }
        sortie << ligne << std::flush;
    }
    if (!SortieEcrite(sortie, erreurs))
        return kCodeEchec;
    return echec ? kCodeEchec : 0;
}

bool ModeClasse(std::span<const std::string> arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == kFinDesOptions)
            return false;
        if (argument == kOptionClasse)
            return true;
    }
    return false;
}

Issue<DemandeClasse> LireArgumentsClasse(std::span<const std::string> arguments)
{
    DemandeClasse demande;
    bool finDesOptions = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (finDesOptions || argument == "-" || !argument.starts_with('-')) {
            demande.chemins.push_back(argument);
            continue;
        }
        if (argument == kFinDesOptions) {
            finDesOptions = true;
            continue;
        }
        if (argument == kOptionClasse)
            continue;
        if (argument == kAide) {
            demande.aide = true;
            return demande;
        }
        if (argument == kPdf || argument.starts_with(std::string(kPdf) + "=")) {
            if (argument != kPdf)
                demande.pdf = argument.substr(kPdf.size() + 1);
            else if (i + 1 < arguments.size())
                demande.pdf = arguments[++i];
            if (!demande.pdf || demande.pdf->empty())
                return Echec{"l'option --pdf attend le nom du fichier PDF"};
            continue;
        }
        const std::string nom = argument.substr(0, argument.find('='));
        return Echec{"option inconnue avec --classe « " + EnUtf8(nom) + " »"};
    }
    if (demande.chemins.empty())
        return Echec{"aucun dossier ni fichier pour la synthèse de la classe"};
    return demande;
}

int ClasseEnLigneDeCommande(std::span<const std::string> arguments, std::ostream& sortie, std::ostream& erreurs,
                            const RapportClasse& rapport)
{
    const Issue<DemandeClasse> lue = LireArgumentsClasse(arguments);
    if (!lue) {
        erreurs << kPrefixe << lue.Message() << kRenvoiAide << "\n";
        return kCodeEchec;
    }
    const DemandeClasse& demande = *lue;
    if (demande.aide) {
        sortie << kTexteAide << std::flush;
        return SortieEcrite(sortie, erreurs) ? 0 : kCodeEchec;
    }
    if (demande.pdf && !rapport) {
        erreurs << kPrefixe << "le compte rendu de la classe en PDF n'est pas disponible ici.\n";
        return kCodeEchec;
    }

    Classe::Synthese synthese;
    try {
        synthese = Classe::Synthetiser(demande.chemins);
    } catch (const std::bad_alloc&) {
        erreurs << kPrefixe << "Mémoire insuffisante.\n";
        return kCodeEchec;
    }
    for (const Classe::FichierEcarte& ecarte : synthese.ecartes)
        erreurs << CheminAffichable(ecarte.chemin) << " : " << ecarte.raison << "\n";
    erreurs << std::flush;
    sortie << Classe::TexteSynthese(synthese, DecimalSeparator()) << std::flush;
    if (!SortieEcrite(sortie, erreurs))
        return kCodeEchec;
    if (synthese.essais.empty()) {
        erreurs << kPrefixe << "aucun essai n'a pu être lu.\n";
        return kCodeEchec;
    }
    if (demande.pdf) {
        const Issue<bool> ecrit = rapport(synthese, *demande.pdf);
        if (!ecrit) {
            erreurs << kPrefixe << ecrit.Message() << "\n";
            return kCodeEchec;
        }
    }
    return 0;
}

} // namespace Cinetique
