#include "acquisition/boitier/BoitierUsb.h"


#include <cerrno>
#include <cstring>

namespace {

using Echeance = LiaisonSerie::Echeance;

// Answers to earlier probes may keep coming while the quiet period waits;
// past this the box is taken as identified all the same.
constexpr std::chrono::seconds kSilenceMax{1};

// What the box sent, as printable ASCII for a message: noise may hold any byte.
std::string Imprimable(std::string texte)
{
    for (char& c : texte) {
        if (c < ' ' || c > '~')
            c = '?';
    }
    return texte;
}

// A reading the box could not give, with the box's status code.
Echec Abandon(std::string message)
{
    return Echec{std::move(message), BoitierUsb::kCodeEchec};
}

} // namespace

std::string BoitierUsb::MessageOuverture(const std::string& chemin, int erreur)
{
    switch (erreur) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "Le boîtier de mesure " + chemin + " est introuvable : branchez-le, ou vérifiez le nom du port.";
    case EACCES:
    case EPERM:
        return "Accès refusé au port " + chemin
               + " du boîtier de mesure : votre compte n'est pas dans le groupe dialout, qui donne accès aux ports "
                 "série. Ajoutez-le une fois pour toutes avec « sudo adduser $USER dialout », puis fermez la session "
                 "et reconnectez-vous.";
    case EBUSY:
        return "Le port " + chemin + " du boîtier de mesure est déjà utilisé par un autre programme : fermez celui-ci.";
    case ENOTTY:
        return chemin + " n'est pas un port série : ce ne peut pas être un boîtier de mesure.";
    default:
        return "Le port " + chemin + " du boîtier de mesure ne peut pas être ouvert : " + std::strerror(erreur) + ".";
    }
}

Issue<std::unique_ptr<BoitierUsb>> BoitierUsb::Ouvrir(const std::string& chemin, const DelaisBoitier& delais)
{
    auto horloge = std::make_unique<MonotonicClock>();
    Clock& reference = *horloge;
    return Connecte(std::unique_ptr<BoitierUsb>(new BoitierUsb(chemin, delais, std::move(horloge), reference)));
}

Issue<std::unique_ptr<BoitierUsb>> BoitierUsb::Ouvrir(const std::string& chemin, const DelaisBoitier& delais,
                                                         Clock& horloge)
{
    return Connecte(std::unique_ptr<BoitierUsb>(new BoitierUsb(chemin, delais, nullptr, horloge)));
}

Issue<std::unique_ptr<BoitierUsb>> BoitierUsb::Connecte(std::unique_ptr<BoitierUsb> boitier)
{
    std::string message;
    if (!boitier->Connecter(message))
        return Echec{message};
    return boitier;
}

bool BoitierUsb::Connecter(std::string& message)
{
    Issue<std::unique_ptr<LiaisonSerie>> ouverture = LiaisonSerie::Ouvrir(chemin_, horloge_);
    if (!ouverture) {
        message = MessageOuverture(chemin_, ouverture.Erreur().code);
        return false;
    }
    std::unique_ptr<LiaisonSerie> liaison = std::move(ouverture).Valeur();

    // Probe until the identification comes: the box's own announcement at
    // the end of its reset, or its answer to one of the probes.
    const Echeance fin = horloge_.Now() + delais_.identification;
    Echeance relance = horloge_.Now();
    std::optional<Boitier::Identification> identification;
    std::string ligne;
    while (!identification) {
        if (horloge_.Now() >= relance) {
            if (!liaison->Ecrire(Boitier::kCommandeIdentification, fin)) {
                message = "Le boîtier de mesure " + chemin_ + " a été débranché.";
                return false;
            }
            relance = horloge_.Now() + delais_.relance;
        }
        const LiaisonSerie::Etat etat = liaison->LireLigne(ligne, std::min(relance, fin));
        if (etat == LiaisonSerie::Etat::Fermee) {
            message = "Le boîtier de mesure " + chemin_ + " a été débranché.";
            return false;
        }
        if (etat == LiaisonSerie::Etat::Ligne)
            identification = Boitier::LireIdentification(ligne);
        else if (horloge_.Now() >= fin)
            break;
    }
    if (!identification) {
        message = "Aucun boîtier de mesure ne répond sur " + chemin_
                  + " : vérifiez que la carte porte le micrologiciel du programme (voir « Boîtier de mesure USB » "
                    "dans le README).";
        return false;
    }
    const std::optional<Boitier::Capteur> capteur = Boitier::CapteurNomme(identification->capteur);
    if (identification->version != Boitier::kVersionProtocole || !capteur) {
        message = "Le boîtier de mesure " + chemin_ + " s'annonce « ID NELVAR-BOITIER "
                  + std::to_string(identification->version) + " " + Imprimable(identification->capteur)
                  + " » : ce programme ne connaît que la version " + std::to_string(Boitier::kVersionProtocole)
                  + " et les capteurs MPX5700AP et MPX4250AP. Reprogrammez la carte avec le micrologiciel livré "
                    "avec le programme.";
        return false;
    }

    // Earlier probes may still be answered: those answers go, so that none
    // is later taken for a reset.
    capteur_ = *capteur;
    liaison_ = std::move(liaison);
    AttendreSilence();
    return true;
}

void BoitierUsb::AttendreSilence()
{
    const Echeance limite = horloge_.Now() + kSilenceMax;
    std::string ligne;
    while (horloge_.Now() < limite
           && liaison_->LireLigne(ligne, std::min(horloge_.Now() + delais_.silence, limite))
                  == LiaisonSerie::Etat::Ligne) {
    }
}

Echec BoitierUsb::Redemarre()
{
    // The box may still answer a command it got after its reset: the answer
    // goes, so that the next reading does not take it for its own.
    AttendreSilence();
    return Abandon(kMessageRedemarre);
}

Cadence BoitierUsb::CadencePour(double frequence) const
{
    return Boitier::CadenceMesure(frequence);
}

Issue<LectureTensions> BoitierUsb::Lire(std::int32_t nombre, double frequence)
{
    const std::optional<std::string> commande = Boitier::CommandeMesure(nombre, frequence);
    if (!commande) {
        return Abandon("Le boîtier de mesure ne sait pas faire cette lecture : de "
                       + std::to_string(Boitier::kEchantillonsMin) + " à " + std::to_string(Boitier::kEchantillonsMax)
                       + " échantillons, de " + std::to_string(Boitier::kFrequenceMin) + " à "
                       + std::to_string(Boitier::kFrequenceMax) + " Hz, pendant 2 s au plus.");
    }

    if (!liaison_) {
        // The box had gone: it may have been plugged back in.
        std::string message;
        if (!Connecter(message))
            return Abandon(message);
    }

    // Whatever came since the last answer (a late answer, an announcement)
    // goes; an announcement means the box was reset meanwhile.
    for (const std::string& ligne : liaison_->Vider()) {
        if (Boitier::LireIdentification(ligne))
            return Redemarre();
    }

    const auto fenetre = std::chrono::duration<double>(nombre / frequence);
    const Echeance echeance =
        horloge_.Now() + std::chrono::duration_cast<Echeance>(fenetre) + delais_.marge;
    std::string ligne;
    const bool envoyee = liaison_->Ecrire(*commande, echeance);
    const LiaisonSerie::Etat etat = envoyee ? liaison_->LireLigne(ligne, echeance) : LiaisonSerie::Etat::Fermee;
    if (etat != LiaisonSerie::Etat::Ligne) {
        // Gone, or silent: the port is closed, and opened again at the next
        // reading.
        liaison_.reset();
        return Abandon(kMessageMuet);
    }
    if (const std::optional<Boitier::Mesure> mesure = Boitier::LireMesure(ligne, nombre))
        return Boitier::Tensions(capteur_, *mesure, nombre);
    if (const std::optional<Boitier::Erreur> erreur = Boitier::LireErreur(ligne))
        return Abandon(Boitier::MessageErreur(*erreur, nombre, frequence));
    if (Boitier::LireIdentification(ligne))
        return Redemarre();
    return Abandon("Le boîtier de mesure a donné une réponse incorrecte : « " + Imprimable(ligne) + " ».");
}

std::string BoitierUsb::Description() const
{
    return std::string("boîtier USB, capteur ") + Boitier::NomCapteur(capteur_);
}
