#include "commande/LigneCommande.h"

#include "analyse/LigneResultats.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"
#include "runtime/FichierTexte.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <new>
#include <ostream>
#include <string_view>

namespace Cinetique {

namespace {

// A wrong command line, with the French message: raised where the reading of
// the arguments finds it, given back as LireLigneDeCommande's failure.
class OptionIncorrecte : public Exception {
public:
    using Exception::Exception;
};

constexpr std::string_view kFinDesOptions = "--";
constexpr std::string_view kAide = "--help";
constexpr std::string_view kPrefixe = "nelvar : ";
constexpr std::string_view kRenvoiAide = " (voir nelvar --help).";

constexpr std::string_view kTexteAide =
    "Utilisation : nelvar --analyse [options] FICHIER...\n"
    "              nelvar --rapport OUT.pdf [options] FICHIER\n"
    "              nelvar --classe [--pdf SORTIE.pdf] DOSSIER|FICHIER...\n"
    "              nelvar --simuler SORTIE.txt [options du banc virtuel]\n"
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
    "\n"
    "Banc virtuel (--simuler SORTIE.txt) : écrit aussitôt le journal d'un essai de\n"
    "la carte simulée, la décomposition de l'eau oxygénée catalysée par les ions\n"
    "iodure, suivie par la pression du dioxygène dans un flacon fermé :\n"
    "  --temperature °C         température du bain (20 par défaut)\n"
    "  --concentration mol/L    concentration initiale en eau oxygénée (0,123)\n"
    "  --catalyseur mol/L       concentration en ions iodure (0,10)\n"
    "  --volume-solution mL     volume de la solution (50)\n"
    "  --volume-gaz mL          volume du gaz dans le flacon (250)\n"
    "  --duree s                durée de l'essai, de 1 à 1023 s (600)\n"
    "  --graine N               graine du bruit : la même graine donne le même fichier\n"
    "Le journal porte la température du bain et le volume du gaz comme valeurs\n"
    "saisies. Code de retour : 0 quand le journal est écrit, 2 sinon.\n"
    "Sans option, nelvar ouvre sa fenêtre ; une option inconnue donne le code 2,\n"
    "sans l'ouvrir.\n";

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


// An option a batch mode knows: whether it takes a value, and what it does
// with it.
struct OptionConnue {
    std::string_view nom;
    bool prendValeur = false;
    void (*appliquer)(Commande& commande, std::string_view nom, const std::string& valeur) = nullptr;
};

void Rien(Commande&, std::string_view, const std::string&) {}
void Origine(Commande& c, std::string_view, const std::string&) { c.options.origineFixee = true; }
void Volume(Commande& c, std::string_view nom, const std::string& v) { c.options.volume = Valeur(nom, v); }
void Temperature(Commande& c, std::string_view nom, const std::string& v) { c.options.temperature = Valeur(nom, v); }
void Debut(Commande& c, std::string_view nom, const std::string& v) { c.options.debut = Valeur(nom, v); }
void Fin(Commande& c, std::string_view nom, const std::string& v) { c.options.fin = Valeur(nom, v); }
void Exclure(Commande& c, std::string_view, const std::string& v)
{
    for (const double t : Dates(v))
        c.options.exclus.push_back(t);
}
void Pdf(Commande& c, std::string_view nom, const std::string& v)
{
    if (v.empty())
        throw OptionIncorrecte{"l'option " + std::string(nom) + " attend le nom du fichier PDF"};
    c.pdf = v;
}

// --simuler's values.
constexpr int kDureeMaximale = 1023; // s: a run holds at most 1024 readings
void Bain(Commande& c, std::string_view nom, const std::string& v) { c.simulation.reaction.temperature = Valeur(nom, v); }
void Concentration(Commande& c, std::string_view nom, const std::string& v)
{
    c.simulation.reaction.concentration = Valeur(nom, v);
}
void Catalyseur(Commande& c, std::string_view nom, const std::string& v) { c.simulation.reaction.catalyseur = Valeur(nom, v); }
void VolumeSolution(Commande& c, std::string_view nom, const std::string& v)
{
    c.simulation.reaction.volumeSolution = Valeur(nom, v);
}
void VolumeGaz(Commande& c, std::string_view nom, const std::string& v) { c.simulation.reaction.volumeGaz = Valeur(nom, v); }
// A whole number in decimal digits, within [minimum, maximum].
std::uint64_t Entier(std::string_view option, const std::string& texte, std::uint64_t minimum, std::uint64_t maximum)
{
    std::uint64_t valeur = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (erreur != std::errc{} || fin != texte.data() + texte.size() || texte.empty() || valeur < minimum
        || valeur > maximum)
        throw OptionIncorrecte{std::string(option) + " : « " + EnUtf8(texte) + " » n'est pas un entier de "
                               + std::to_string(minimum) + " à " + std::to_string(maximum)};
    return valeur;
}
void Duree(Commande& c, std::string_view nom, const std::string& v)
{
    c.simulation.duree = static_cast<int>(Entier(nom, v, 1, kDureeMaximale));
}
void Graine(Commande& c, std::string_view nom, const std::string& v)
{
    c.simulation.graine = Entier(nom, v, 0, std::numeric_limits<std::uint64_t>::max());
}
void JournalSimuleA(Commande& c, std::string_view nom, const std::string& v)
{
    if (v.empty())
        throw OptionIncorrecte{"l'option " + std::string(nom) + " attend le nom du journal à écrire"};
    c.journal = v;
}

constexpr OptionConnue kAnalyse{"--analyse", false, Rien};
constexpr OptionConnue kRapport{"--rapport", true, Pdf};
constexpr OptionConnue kClasse{"--classe", false, Rien};
// The analysis's options, which the report shares.
constexpr OptionConnue kOptionsAnalyse[] = {
    kAnalyse, {"--origine", false, Origine}, {"--volume", true, Volume}, {"--temperature", true, Temperature},
    {"--debut", true, Debut}, {"--fin", true, Fin}, {"--exclure", true, Exclure}, kRapport,
};
constexpr OptionConnue kOptionsClasse[] = {kClasse, {"--pdf", true, Pdf}};
constexpr OptionConnue kSimuler{"--simuler", true, JournalSimuleA};
constexpr OptionConnue kOptionsSimuler[] = {
    kSimuler,
    {"--temperature", true, Bain},
    {"--concentration", true, Concentration},
    {"--catalyseur", true, Catalyseur},
    {"--volume-solution", true, VolumeSolution},
    {"--volume-gaz", true, VolumeGaz},
    {"--duree", true, Duree},
    {"--graine", true, Graine},
};

// What the reading says when a value is missing.
std::string ValeurManquante(std::string_view nom)
{
    if (nom == "--exclure")
        return "l'option --exclure attend des dates, en s";
    if (nom == kRapport.nom || nom == "--pdf")
        return "l'option " + std::string(nom) + " attend le nom du fichier PDF";
    if (nom == kSimuler.nom)
        return "l'option --simuler attend le nom du journal à écrire";
    return "l'option " + std::string(nom) + " attend une valeur";
}

// The options of a batch mode among `connues`, and its files; an unknown one
// is refused with `inconnue` before its name.
void LireOptions(std::span<const std::string> arguments, std::span<const OptionConnue> connues,
                 std::string_view inconnue, Commande& commande)
{
    bool finDesOptions = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (finDesOptions || argument == "-" || !argument.starts_with('-')) {
            commande.fichiers.push_back(argument);
            continue;
        }
        if (argument == kFinDesOptions) {
            finDesOptions = true;
            continue;
        }
        const std::size_t egal = argument.find('=');
        const std::string nom = argument.substr(0, egal);
        const auto option =
            std::find_if(connues.begin(), connues.end(), [&nom](const OptionConnue& o) { return o.nom == nom; });
        if (option == connues.end())
            throw OptionIncorrecte{std::string(inconnue) + "« " + EnUtf8(nom) + " »"};
        std::string valeur;
        if (!option->prendValeur) {
            if (egal != std::string::npos)
                throw OptionIncorrecte{"l'option " + nom + " ne prend pas de valeur"};
        } else if (egal != std::string::npos) {
            valeur = argument.substr(egal + 1);
        } else if (i + 1 < arguments.size()) {
            valeur = arguments[++i];
        } else {
            throw OptionIncorrecte{ValeurManquante(nom)};
        }
        option->appliquer(commande, option->nom, valeur);
    }
}

// The options QGuiApplication and QApplication read, written with one dash
// or two, and whether each takes a value (next, or after "=").
struct OptionQt {
    std::string_view nom;
    bool prendValeur;
};
constexpr OptionQt kOptionsQt[] = {
    {"platform", true},     {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"display", true},           {"style", true},         {"stylesheet", true},
    {"geometry", true},     {"qwindowgeometry", true},    {"qwindowtitle", true},  {"qwindowicon", true},
    {"session", true},      {"name", true},               {"title", true},         {"visual", true},
    {"ncols", true},        {"graphicssystem", true},     {"fontengine", true},    {"reverse", false},
    {"widgetcount", false}, {"cmap", false},              {"nograb", false},       {"dograb", false},
    {"sync", false},
};

// The window's arguments: Qt's options pass, anything else that looks like
// an option is refused (a mistyped batch option must not open the window).
void LireOptionsFenetre(std::span<const std::string> arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == kFinDesOptions)
            return;
        if (argument == "-" || !argument.starts_with('-'))
            continue;
        const std::size_t egal = argument.find('=');
        const std::string_view nom = std::string_view(argument).substr(0, egal);
        const std::string_view sansTirets = nom.substr(nom.starts_with("--") ? 2 : 1);
        const auto option = std::find_if(std::begin(kOptionsQt), std::end(kOptionsQt),
                                         [sansTirets](const OptionQt& o) { return o.nom == sansTirets; });
        if (option == std::end(kOptionsQt))
            throw OptionIncorrecte{"option inconnue « " + EnUtf8(nom) + " »"};
        if (option->prendValeur && egal == std::string::npos)
            ++i; // its value
    }
}

// The mode the arguments before any "--" ask for.
Mode ModeDemande(std::span<const std::string> arguments)
{
    bool analyse = false, rapport = false, classe = false, aide = false, simuler = false;
    for (const std::string& argument : arguments) {
        if (argument == kFinDesOptions)
            break;
        analyse = analyse || argument == kAnalyse.nom;
        rapport = rapport || argument == kRapport.nom || argument.starts_with(std::string(kRapport.nom) + "=");
        classe = classe || argument == kClasse.nom;
        simuler = simuler || argument == kSimuler.nom || argument.starts_with(std::string(kSimuler.nom) + "=");
        aide = aide || argument == kAide;
    }
    return aide ? Mode::Aide
           : simuler ? Mode::Simuler
           : classe ? Mode::Classe
           : rapport ? Mode::Rapport
           : analyse ? Mode::Analyse
                     : Mode::Fenetre;
}

Commande LireCommande(std::span<const std::string> arguments)
{
    Commande commande;
    commande.mode = ModeDemande(arguments);
    switch (commande.mode) {
    case Mode::Aide:
        break;
    case Mode::Fenetre:
        LireOptionsFenetre(arguments);
        break;
    case Mode::Classe:
        LireOptions(arguments, kOptionsClasse, "option inconnue avec --classe ", commande);
        if (commande.fichiers.empty())
            throw OptionIncorrecte{"aucun dossier ni fichier pour la synthèse de la classe"};
        break;
    case Mode::Simuler:
        LireOptions(arguments, kOptionsSimuler, "option inconnue avec --simuler ", commande);
        if (!commande.fichiers.empty())
            throw OptionIncorrecte{"--simuler n'attend pas d'autre fichier que le journal à écrire : « "
                                   + EnUtf8(commande.fichiers.front()) + " »"};
        if (const std::optional<std::string> erreur = Banc::Erreur(commande.simulation.reaction))
            throw OptionIncorrecte{*erreur};
        break;
    case Mode::Analyse:
    case Mode::Rapport:
        LireOptions(arguments, kOptionsAnalyse, "option inconnue ", commande);
        if (commande.fichiers.empty())
            throw OptionIncorrecte{"aucun fichier à analyser"};
        if (commande.mode == Mode::Rapport && commande.fichiers.size() != 1)
            throw OptionIncorrecte{"le compte rendu se fait pour un seul fichier"};
        if (commande.mode == Mode::Rapport && commande.options.origineFixee)
            throw OptionIncorrecte{"l'option --origine ne s'applique pas au compte rendu"};
        break;
    }
    return commande;
}

// A full disk or a closed pipe behind the output must not pass for
// success: false, with one line on `erreurs`, when `sortie` failed.
bool SortieEcrite(std::ostream& sortie, std::ostream& erreurs)
{
    if (sortie)
        return true;
    erreurs << kPrefixe << "écriture impossible sur la sortie standard.\n";
    return false;
}

int EcrireAide(std::ostream& sortie, std::ostream& erreurs)
{
    sortie << kTexteAide << std::flush;
    return SortieEcrite(sortie, erreurs) ? kCodeSucces : kCodeEchec;
}

int AnalyserFichiers(const Commande& commande, char separateur, std::ostream& sortie, std::ostream& erreurs)
{
    sortie << kEnteteResultats << "\n" << std::flush;
    bool echec = false;
    for (const std::string& chemin : commande.fichiers) {
        std::string ligne;
        try {
            // A journal's V and T, unless given on the command line.
            const Enregistrement essai = LireFichierEnregistrement(chemin);
            ligne = LigneResultats(chemin, AnalyserEnregistrement(essai, commande.options), separateur);
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
    return echec ? kCodeEchec : kCodeSucces;
}

// The run read and analysed as the analysis window takes it: a saved file
// or a journal with its own conditions, those given winning; the interval;
// each excluded date's nearest point left out, as a Ctrl+click does.
int EcrireRapport(const Commande& commande, std::ostream& erreurs, const RapportEssai& ecrire)
{
    if (!ecrire) {
        erreurs << kPrefixe << "le compte rendu en PDF n'est pas disponible ici.\n";
        return kCodeEchec;
    }
    const std::string& chemin = commande.fichiers.front();
    AnalyseEssai analyse;
    try {
        DonneesEssai donnees = DonneesEssaiEnregistre(chemin, std::nullopt, std::nullopt);
        if (commande.options.volume)
            donnees.volume = commande.options.volume;
        if (commande.options.temperature)
            donnees.temperature = commande.options.temperature;
        analyse.SetDonnees(std::move(donnees));
    } catch (const Exception& e) {
        erreurs << EnUtf8(chemin) << " : " << e.Message() << "\n";
        return kCodeEchec;
    }
    analyse.SetIntervalle(commande.options.debut, commande.options.fin);
    for (const double t : commande.options.exclus)
        if (const int i = analyse.PointLePlusProche(t); i >= 0 && !analyse.Exclu(i))
            analyse.BasculerExclusion(i);
    analyse.Recalculer();
    if (!analyse.Valide()) {
        erreurs << EnUtf8(chemin) << " : " << analyse.Erreur() << "\n";
        return kCodeEchec;
    }
    try {
        ecrire(analyse, *commande.pdf);
    } catch (const Exception& e) {
        erreurs << EnUtf8(*commande.pdf) << " : " << e.Message() << "\n";
        return kCodeEchec;
    }
    return kCodeSucces;
}

int SynthetiserClasse(const Commande& commande, char separateur, std::ostream& sortie, std::ostream& erreurs,
                      const RapportClasse& rapport)
{
    if (commande.pdf && !rapport) {
        erreurs << kPrefixe << "le compte rendu de la classe en PDF n'est pas disponible ici.\n";
        return kCodeEchec;
    }
    Classe::Synthese synthese;
    try {
        synthese = Classe::Synthetiser(commande.fichiers);
    } catch (const std::bad_alloc&) {
        erreurs << kPrefixe << "Mémoire insuffisante.\n";
        return kCodeEchec;
    }
    for (const Classe::FichierEcarte& ecarte : synthese.ecartes)
        erreurs << CheminAffichable(ecarte.chemin) << " : " << ecarte.raison << "\n";
    erreurs << std::flush;
    sortie << Classe::TexteSynthese(synthese, separateur) << std::flush;
    if (!SortieEcrite(sortie, erreurs))
        return kCodeEchec;
    if (synthese.essais.empty()) {
        erreurs << kPrefixe << "aucun essai n'a pu être lu.\n";
        return kCodeEchec;
    }
    if (commande.pdf) {
        const Issue<void> ecrit = rapport(synthese, *commande.pdf);
        if (!ecrit) {
            erreurs << kPrefixe << ecrit.Message() << "\n";
            return kCodeEchec;
        }
    }
    return kCodeSucces;
}

// The journal written whole under its name, or not at all.
int Simuler(const Commande& commande, std::ostream& erreurs)
{
    try {
        FichierTexte::Remplacer(commande.journal, JournalSimule(commande.simulation), FichierTexte::Lien::Suivi);
    } catch (const Exception& e) {
        erreurs << EnUtf8(commande.journal) << " : " << e.Message() << "\n";
        return kCodeEchec;
    } catch (const std::bad_alloc&) {
        erreurs << kPrefixe << "Mémoire insuffisante.\n";
        return kCodeEchec;
    }
    return kCodeSucces;
}

} // namespace

Issue<Commande> LireLigneDeCommande(std::span<const std::string> arguments)
{
    try {
        return LireCommande(arguments);
    } catch (const OptionIncorrecte& e) {
        return Echec{e.Message()};
    }
}

int Refuser(const std::string& message, std::ostream& erreurs)
{
    erreurs << kPrefixe << message << kRenvoiAide << "\n";
    return kCodeEchec;
}

int Executer(const Commande& commande, char separateur, std::ostream& sortie, std::ostream& erreurs,
             const Rapports& rapports)
{
    switch (commande.mode) {
    case Mode::Fenetre:
        return kCodeSucces;
    case Mode::Aide:
        return EcrireAide(sortie, erreurs);
    case Mode::Analyse:
        return AnalyserFichiers(commande, separateur, sortie, erreurs);
    case Mode::Rapport:
        return EcrireRapport(commande, erreurs, rapports.essai);
    case Mode::Classe:
        return SynthetiserClasse(commande, separateur, sortie, erreurs, rapports.classe);
    case Mode::Simuler:
        return Simuler(commande, erreurs);
    }
    return kCodeEchec;
}

int EnLigneDeCommande(std::span<const std::string> arguments, char separateur, std::ostream& sortie,
                      std::ostream& erreurs, const Rapports& rapports)
{
    const Issue<Commande> commande = LireLigneDeCommande(arguments);
    if (!commande)
        return Refuser(commande.Message(), erreurs);
    return Executer(*commande, separateur, sortie, erreurs, rapports);
}

} // namespace Cinetique
