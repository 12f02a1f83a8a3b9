#include "journal/CopieClasse.h"

#include "runtime/Exceptions.h"
#include "runtime/FichierTexte.h"

namespace Journal {

namespace {

constexpr std::size_t kLongueurPoste = 63;
// Names tried for a new copy before giving up ("_2" ... "_999").
constexpr int kNomsEssayes = 999;

bool Alphanumerique(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// A system's message as the middle of a sentence: "Accès au fichier
// refusé" -> "accès au fichier refusé".
std::string EnMinuscule(std::string texte)
{
    if (!texte.empty() && texte[0] >= 'A' && texte[0] <= 'Z')
        texte[0] = static_cast<char>(texte[0] - 'A' + 'a');
    return texte;
}

} // namespace

DossierDeLaClasse ResoudreDossierClasse(const char* variable, std::string_view reglage)
{
    if (variable && variable[0] != '\0')
        return {variable, true};
    return {std::string(reglage), false};
}

std::string NomDuPoste(std::string_view machine)
{
    const auto separateur = [](char c) { return c == '-' || c == '.'; };
    std::string nom;
    for (const char c : machine) {
        if (Alphanumerique(c))
            nom += c;
        else if (!nom.empty() && !separateur(nom.back()))
            nom += separateur(c) ? c : '-'; // one for a run of others
    }
    if (nom.size() > kLongueurPoste)
        nom.resize(kLongueurPoste);
    while (!nom.empty() && separateur(nom.back()))
        nom.pop_back();
    return nom;
}

CopieClasse::CopieClasse(std::string dossier, const ConditionsEssai& entete, Horloge::duration periode)
    : dossier_(std::move(dossier)), debut_(entete.debut.value()), poste_(NomDuPoste(entete.poste)), periode_(periode),
      texte_(TexteEnTete(entete))
{
}

std::optional<std::string> CopieClasse::Ecrire()
{
    if (!FichierTexte::EstDossier(dossier_))
        return std::string("dossier introuvable");
    try {
        if (chemin_.empty()) {
            // The first copy takes a name no other bench has taken.
            FichierTexte::NouveauFichier fichier(dossier_ + "/" + NomFichier(debut_, 1, poste_), texte_);
            for (int n = 1; chemin_.empty(); ++n) {
                if (n > kNomsEssayes)
                    return std::string("aucun nom de fichier libre");
                const std::string chemin = dossier_ + "/" + NomFichier(debut_, n, poste_);
                if (fichier.Nommer(chemin))
                    chemin_ = chemin;
            }
        } else {
            FichierTexte::NouveauFichier fichier(chemin_, texte_);
            fichier.NommerEnRemplacant(chemin_);
        }
    } catch (const Exception& erreur) {
        return EnMinuscule(erreur.Message());
    }
    return std::nullopt;
}

std::optional<std::string> CopieClasse::Ajouter(const Lecture& lecture, Horloge::time_point instant)
{
    texte_ += TexteLecture(lecture);
    aJour_ = false;
    if (dernierEssai_ && instant - *dernierEssai_ < periode_)
        return std::nullopt;
    dernierEssai_ = instant;
    const std::optional<std::string> raison = Ecrire();
    if (!raison) {
        aJour_ = true;
        return std::nullopt;
    }
    if (echecDit_)
        return std::nullopt;
    echecDit_ = true;
    const auto secondes = std::chrono::duration_cast<std::chrono::seconds>(periode_).count();
    return "Le dossier de la classe « " + dossier_ + " » est inaccessible : " + *raison +
           ". Le journal local garde l'essai ; nouvel essai d'écriture dans " + std::to_string(secondes) + " s.";
}

std::optional<std::string> CopieClasse::Terminer()
{
    if (aJour_ || !dernierEssai_)
        return std::nullopt; // every line copied, or no reading at all
    const std::optional<std::string> raison = Ecrire();
    if (!raison) {
        aJour_ = true;
        return std::nullopt;
    }
    return "Le dossier de la classe « " + dossier_ + " » est inaccessible : " + *raison +
           ". L'essai terminé n'y est pas copié ; le journal local le garde.";
}

} // namespace Journal
