#pragma once
// The class folder read, analysed and written on a thread of its own, for the
// synthesis window (classe/fenetre/FenetreClasse.h): the window asks and goes on; the
// folder's listing, each run's reading and analysis, classe.tsv read and
// written, the report's bytes written, and the folder's change notices all
// happen on that thread, and each result comes back as an event of the
// window's queue. A slow or lost network share never freezes the window.
//
// Only the files that are new or changed since the last reading (size or
// modification time) are read and analysed again; the others keep their
// analysis, with the factor typed for them taken again from classe.tsv.
//
// The window is never kept waiting by this thread, not even when it closes:
// a reading under way on a share that no longer answers is abandoned (its
// thread ends on its own when the share answers, and delivers nothing).
#include "classe/SyntheseClasse.h"
#include "runtime/Issue.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class QThread;

class SyntheseEnFond {
public:
    // What a file is on disk: a file whose size and time are unchanged is
    // not read again.
    struct Empreinte {
        std::uintmax_t taille = 0;
        std::int64_t modification = 0; // ns, file clock
        bool operator==(const Empreinte&) const = default;
    };
    // The disk as the thread reaches it; the tests put theirs in place
    // (a share that hangs, a record of the calls' threads). Each member
    // left empty is the program's own (classe/SyntheseClasse.h).
    struct Acces {
        std::function<Issue<std::vector<std::string>>(const std::string& dossier)> lister;
        std::function<std::optional<Empreinte>(const std::string& chemin)> empreinte;
        std::function<std::variant<Classe::EssaiClasse, Classe::FichierEcarte>(const std::string& chemin,
                                                                               const Classe::TableClasse& table)>
            analyser;
        std::function<Issue<Classe::TableClasse>(const std::string& dossier)> lireTable;
        std::function<Issue<void>(const std::string& dossier, const Classe::TableClasse& table)> ecrireTable;
        std::function<void(const std::string& chemin, const std::string& octets)> ecrireFichier; // raises Exception
    };

    // One reading of the folder, as the window receives it.
    struct Releve {
        bool lu = false;            // the folder could be listed
        std::string erreur;         // why not, or why classe.tsv could not be read or written (French)
        Classe::Synthese synthese;  // when lu
        Classe::TableClasse table;  // classe.tsv as read (or as last written)
        int analyses = 0;           // files read and analysed this time (the others unchanged)
        std::uint64_t generation = 0; // of the last table written before this reading
    };
    using Livraison = std::function<void(Releve)>;
    // A file written (Ecrire): empty, or the message of why it could not be.
    using Compte = std::function<void(std::string erreur)>;

    // Watches `dossier` (its change notices) from its own thread and delivers
    // each reading to `livrer` on `fenetre`'s thread, while it lives.
    SyntheseEnFond(std::string dossier, Livraison livrer, QObject* fenetre, Acces acces = {});
    ~SyntheseEnFond();
    SyntheseEnFond(const SyntheseEnFond&) = delete;
    SyntheseEnFond& operator=(const SyntheseEnFond&) = delete;

    // Asks for a reading of the folder. Asked again while one is waiting to
    // start: still one.
    void Relire();
    // Writes `table` to classe.tsv (atomically), then reads the folder again;
    // gives the table's generation, which the readings after it carry.
    std::uint64_t Enregistrer(Classe::TableClasse table);
    // Writes `octets` to the file `chemin` (the class report); `fini` gets
    // the failure's message (empty on success) on the window's thread.
    void Ecrire(std::string chemin, std::string octets, Compte fini);

    const std::string& Dossier() const;

private:
    struct Etat;
    std::shared_ptr<Etat> etat_;
    QThread* fil_ = nullptr;
    std::uint64_t generationDemandee_ = 0;
};
