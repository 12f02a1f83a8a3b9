#pragma once
// The class folder read, analysed and written off the window's thread, for
// the synthesis window (classe/fenetre/FenetreClasse.h), as all such work
// runs (workers/FilDeTravail.h): a worker on a thread of its own does the
// folder's listing, each run's reading and analysis, classe.tsv read and
// written, the report's bytes written, and holds the folder's change
// notices; each result comes back as a typed signal of this controller, in
// the window's thread. A slow or lost network share never freezes the window.
//
// Only the files that are new or changed since the last reading (size or
// modification time) are read and analysed again; the others keep their
// analysis, with the factor typed for them taken again from classe.tsv.
//
// Destroying the controller waits for the work under way no longer than
// kAttenteFin: a reading on a share that no longer answers is left to end on
// its own thread, which then deletes itself. Readings asked and not yet done
// are dropped from then on (there is nobody to show them to), and one under
// way stops at its next file; the writes asked (classe.tsv, the report) are
// still made, in the order asked.
#include "classe/SyntheseClasse.h"
#include "runtime/Issue.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class FilDeTravail;

class SyntheseEnFond : public QObject {
    Q_OBJECT
public:
    // How long closing the window waits for the work under way: shorter
    // than a key press must take to answer, longer than classe.tsv takes to
    // be written to a disk that answers.
    static constexpr std::chrono::milliseconds kAttenteFin{250};

    // What a file is on disk: a file whose size and time are unchanged is
    // not read again.
    struct Empreinte {
        std::uintmax_t taille = 0;
        std::int64_t modification = 0; // ns, file clock
        bool operator==(const Empreinte&) const = default;
    };
    // The disk as the worker reaches it; the tests put theirs in place
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

    // Reads `dossier` (and watches its change notices) on the worker's thread.
    explicit SyntheseEnFond(std::string dossier, Acces acces = {}, QObject* parent = nullptr);
    ~SyntheseEnFond() override;

    // Asks for a reading of the folder. Asked again while one is waiting to
    // start: still one.
    void Relire();
    // Writes `table` to classe.tsv (atomically), then reads the folder again;
    // gives the table's generation, which the readings after it carry.
    std::uint64_t Enregistrer(Classe::TableClasse table);
    // Writes `octets` to the file `chemin` (the class report); Ecrit follows.
    void Ecrire(std::string chemin, std::string octets);

    const std::string& Dossier() const { return dossier_; }

signals:
    // Each reading, in this controller's thread.
    void Lu(const SyntheseEnFond::Releve& releve);
    // The file `chemin` asked to Ecrire is written (`erreur` empty) or why not.
    void Ecrit(const QString& chemin, const QString& erreur);

public:
    // Shared by the controller and its worker, which may outlive it.
    struct Partage;

private:
    std::string dossier_;
    std::shared_ptr<Partage> partage_;
    std::uint64_t generationDemandee_ = 0;
    std::unique_ptr<FilDeTravail> fil_;
};
Q_DECLARE_METATYPE(SyntheseEnFond::Releve)
