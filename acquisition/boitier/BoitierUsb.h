#pragma once
// The USB measuring box: an Arduino Uno or Nano with a pressure sensor on A0,
// running the program's firmware, on a serial port (ProtocoleBoitier.h in
// this folder gives the protocol, LiaisonSerie.h the line).
//
// For the card component it is a source of the channels' voltages that
// makes the timed reading itself; it has no 8255 to configure.
//
// The port stays open for the session. Opening it resets the board (DTR) and
// the bootloader then eats what it receives for up to 2 s: the box is probed
// with "ID" until it announces itself. An identification arriving when none
// was asked for means the box was reset (a bad contact, a power dip): the
// reading under way fails. A box that has gone (unplugged) or stays silent
// makes the reading fail with "Le boîtier de mesure ne répond plus."; the
// next reading then opens the port again, so that a box plugged back in is
// found.
#include "acquisition/Clocks.h"
#include "acquisition/LecteurTensions.h"
#include "acquisition/boitier/LiaisonSerie.h"
#include "acquisition/boitier/ProtocoleBoitier.h"

#include <chrono>
#include <memory>
#include <string>

// The waits of the conversation with the box.
struct DelaisBoitier {
    // Longest wait for the identification after the port is opened.
    std::chrono::milliseconds identification{4000};
    // Between two "ID" probes while the bootloader may be eating them.
    std::chrono::milliseconds relance{400};
    // Once identified, the silence that ends the answers to earlier probes.
    std::chrono::milliseconds silence{150};
    // Time allowed for an answer beyond the reading's own n / f.
    std::chrono::milliseconds marge{2000};
};

class BoitierUsb final : public LecteurTensions {
public:
    static constexpr const char* kMessageMuet = "Le boîtier de mesure ne répond plus.";
    static constexpr const char* kMessageRedemarre =
        "Le boîtier de mesure a redémarré pendant la lecture (mauvais contact ou alimentation "
        "insuffisante ?) : mesure abandonnée.";

    // Opens `chemin` and waits for the box's identification, timing the
    // conversation on the monotonic clock. Fails with a French message
    // saying why (no such device, permission refused, not a terminal, no box
    // answering, unknown firmware).
    static Issue<std::unique_ptr<BoitierUsb>> Ouvrir(const std::string& chemin, const DelaisBoitier& delais = {});
    // The same, on `horloge`, which must outlive the box.
    static Issue<std::unique_ptr<BoitierUsb>> Ouvrir(const std::string& chemin, const DelaisBoitier& delais,
                                                        Clock& horloge);

    // The status code of a reading the box could not give.
    static constexpr std::int32_t kCodeEchec = 7;

    // One reading; fails with kCodeEchec and the message saying why.
    Issue<LectureTensions> Lire(std::int32_t nombre, double frequence) override;
    // Boitier::CadenceMesure.
    Cadence CadencePour(double frequence) const override;

    Boitier::Capteur Capteur() const { return capteur_; }
    const std::string& Chemin() const { return chemin_; }
    // "boîtier USB, capteur MPX5700AP".
    std::string Description() const override;

    // The French message for a device that cannot be opened with `erreur`
    // (an errno value).
    static std::string MessageOuverture(const std::string& chemin, int erreur);

private:
    BoitierUsb(std::string chemin, DelaisBoitier delais, std::unique_ptr<Clock> proprietaire, Clock& horloge)
        : proprietaire_(std::move(proprietaire)), horloge_(horloge), chemin_(std::move(chemin)), delais_(delais)
    {
    }
    static Issue<std::unique_ptr<BoitierUsb>> Connecte(std::unique_ptr<BoitierUsb> boitier);

    // Opens the port and waits for the identification; false and a message
    // when no box answers.
    bool Connecter(std::string& message);
    // Reads and drops what the box sends until it has been quiet for a while.
    void AttendreSilence();
    // The failure of a reading the box was reset during.
    Echec Redemarre();

    std::unique_ptr<Clock> proprietaire_; // the clock, when the box made it
    Clock& horloge_;
    std::string chemin_;
    DelaisBoitier delais_;
    std::unique_ptr<LiaisonSerie> liaison_; // null once the box has gone
    Boitier::Capteur capteur_ = Boitier::Capteur::MPX5700AP;
};
