#include "workers/SyntheseEnFond.h"

#include "rapport/DessinCompteRendu.h"
#include "runtime/Exceptions.h"

#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace {

std::optional<SyntheseEnFond::Empreinte> EmpreinteDuDisque(const std::string& chemin)
{
    std::error_code erreur;
    const std::filesystem::path fichier(chemin);
    const auto taille = std::filesystem::file_size(fichier, erreur);
    if (erreur)
        return std::nullopt;
    const auto modification = std::filesystem::last_write_time(fichier, erreur);
    if (erreur)
        return std::nullopt;
    return SyntheseEnFond::Empreinte{
        taille, std::chrono::duration_cast<std::chrono::nanoseconds>(modification.time_since_epoch()).count()};
}

// The program's own disk for each member left empty.
SyntheseEnFond::Acces Completer(SyntheseEnFond::Acces a)
{
    if (!a.lister)
        a.lister = [](const std::string& dossier) { return Classe::Fichiers({dossier}); };
    if (!a.empreinte)
        a.empreinte = EmpreinteDuDisque;
    if (!a.analyser)
        a.analyser = Classe::AnalyserFichier;
    if (!a.lireTable)
        a.lireTable = Classe::LireTable;
    if (!a.ecrireTable)
        a.ecrireTable = Classe::EcrireTable;
    if (!a.ecrireFichier)
        a.ecrireFichier = CompteRendu::Ecrire;
    return a;
}

} // namespace

struct SyntheseEnFond::Etat : std::enable_shared_from_this<Etat> {
    std::string dossier;
    Acces acces;
    Livraison livrer;
    QObject* contexte = nullptr; // lives on the thread: the work runs in its events

    std::mutex verrou;
    QObject* fenetre = nullptr; // null once the window is gone (under verrou)
    std::atomic<bool> fin{false};      // the window is gone: no new work starts
    std::atomic<bool> occupe{false};   // a piece of work is running
    std::atomic<bool> demandee{false}; // a reading is queued and not started

    // The thread's own, touched only there.
    struct Connu {
        Empreinte empreinte;
        std::variant<Classe::EssaiClasse, Classe::FichierEcarte> analyse;
    };
    std::map<std::string, Connu> connus;
    QFileSystemWatcher* veilleur = nullptr;
    std::uint64_t generation = 0;
    std::optional<Classe::TableClasse> tableEcrite; // kept when classe.tsv cannot be read back
    std::string erreurEcriture; // the last write of classe.tsv's failure, told until one succeeds

    // Runs `travail` on the thread, unless the window is gone by then.
    void Executer(std::function<void(Etat&)> travail)
    {
        QMetaObject::invokeMethod(
            contexte,
            [soi = shared_from_this(), travail = std::move(travail)] {
                soi->occupe = true;
                if (!soi->fin)
                    travail(*soi);
                soi->occupe = false;
            },
            Qt::QueuedConnection);
    }

    // Hands `f` to the window's queue, while the window lives.
    void Poster(std::function<void()> f)
    {
        const std::lock_guard<std::mutex> garde(verrou);
        if (fenetre)
            QMetaObject::invokeMethod(fenetre, std::move(f), Qt::QueuedConnection);
    }

    void Demander()
    {
        if (!demandee.exchange(true))
            Executer([](Etat& e) { e.Lire(); });
    }

    void Veiller()
    {
        if (!veilleur) {
            veilleur = new QFileSystemWatcher(contexte);
            QObject::connect(veilleur, &QFileSystemWatcher::directoryChanged, contexte,
                             [faible = weak_from_this()] {
                                 if (const auto soi = faible.lock())
                                     soi->Demander();
                             });
        }
        // A folder that could not be watched (not there yet, a share that
        // gives no notices) is tried again at the next reading; the window's
        // periodic reading covers it meanwhile.
        if (veilleur->directories().isEmpty())
            veilleur->addPath(QString::fromStdString(dossier));
    }

    void Lire()
    {
        demandee = false;
        Veiller();
        Releve releve;
        releve.generation = generation;
        const Issue<std::vector<std::string>> fichiers = acces.lister(dossier);
        if (!fichiers) {
            releve.erreur = fichiers.Message();
            Livrer(std::move(releve));
            return;
        }
        std::vector<Classe::EssaiClasse> essais;
        std::vector<Classe::FichierEcarte> ecartes;
        // A classe.tsv that cannot be read is listed with the files left out,
        // as the command line lists it; the table last written stands for it.
        const Issue<Classe::TableClasse> table = acces.lireTable(dossier);
        if (table) {
            releve.table = *table;
        } else {
            ecartes.push_back({(std::filesystem::path(dossier) / Classe::kNomTable).string(), table.Message()});
            releve.table = tableEcrite.value_or(Classe::TableClasse{});
        }
        releve.erreur = erreurEcriture;

        // The files new or changed since the last reading are analysed,
        // together on the processor's cores; the others keep their analysis.
        std::vector<std::optional<Empreinte>> empreintes;
        std::vector<std::string> aAnalyser;
        for (const std::string& chemin : *fichiers) {
            empreintes.push_back(acces.empreinte(chemin));
            const auto connu = connus.find(chemin);
            if (!empreintes.back() || connu == connus.end() || !(connu->second.empreinte == *empreintes.back()))
                aAnalyser.push_back(chemin);
        }
        std::vector<std::variant<Classe::EssaiClasse, Classe::FichierEcarte>> nouvelles = Classe::AnalyserEnParallele(
            aAnalyser, [&](std::size_t i) { return acces.analyser(aAnalyser[i], releve.table); });
        releve.analyses += static_cast<int>(nouvelles.size());

        std::map<std::string, Connu> vus;
        std::size_t suivante = 0;
        for (std::size_t i = 0; i < fichiers->size(); ++i) {
            const std::string& chemin = (*fichiers)[i];
            if (suivante < aAnalyser.size() && aAnalyser[suivante] == chemin) {
                auto& analyse = nouvelles[suivante++];
                Ranger(analyse, releve.table, essais, ecartes);
                // A file whose size could not be read is read again next time.
                if (empreintes[i])
                    vus.emplace(chemin, Connu{*empreintes[i], std::move(analyse)});
                continue;
            }
            auto connu = connus.find(chemin);
            Ranger(connu->second.analyse, releve.table, essais, ecartes);
            vus.emplace(chemin, std::move(connu->second));
        }
        connus = std::move(vus);
        releve.lu = true;
        releve.synthese = Classe::Conclure(std::move(essais), std::move(ecartes), releve.table.facteur);
        Livrer(std::move(releve));
    }

    static void Ranger(const std::variant<Classe::EssaiClasse, Classe::FichierEcarte>& analyse,
                       const Classe::TableClasse& table, std::vector<Classe::EssaiClasse>& essais,
                       std::vector<Classe::FichierEcarte>& ecartes)
    {
        if (const auto* essai = std::get_if<Classe::EssaiClasse>(&analyse)) {
            essais.push_back(*essai);
            essais.back().facteur = table.Valeur(essai->nom); // the value typed now
        } else {
            ecartes.push_back(std::get<Classe::FichierEcarte>(analyse));
        }
    }

    void Livrer(Releve releve)
    {
        Poster([livrer = livrer, releve = std::move(releve)]() mutable { livrer(std::move(releve)); });
    }
};

SyntheseEnFond::SyntheseEnFond(std::string dossier, Livraison livrer, QObject* fenetre, Acces acces)
    : etat_(std::make_shared<Etat>()), fil_(new QThread)
{
    etat_->dossier = std::move(dossier);
    etat_->acces = Completer(std::move(acces));
    etat_->livrer = std::move(livrer);
    etat_->fenetre = fenetre;
    etat_->contexte = new QObject;
    fil_->setObjectName(QStringLiteral("classe"));
    etat_->contexte->moveToThread(fil_);
    QObject::connect(fil_, &QThread::finished, etat_->contexte, &QObject::deleteLater);
    fil_->start();
}

SyntheseEnFond::~SyntheseEnFond()
{
    {
        const std::lock_guard<std::mutex> garde(etat_->verrou);
        etat_->fenetre = nullptr;
    }
    etat_->fin = true;
    fil_->quit();
    if (!etat_->occupe) {
        fil_->wait(); // only the end of its event loop: no work will start
        delete fil_;
    } else {
        // Work under way (a share that does not answer): left to end on its
        // own, delivering nothing.
        QObject::connect(fil_, &QThread::finished, fil_, &QObject::deleteLater);
    }
}

void SyntheseEnFond::Relire() { etat_->Demander(); }

std::uint64_t SyntheseEnFond::Enregistrer(Classe::TableClasse table)
{
    // Numbered here, in the order asked; the thread writes them in that order.
    const std::uint64_t generation = ++generationDemandee_;
    etat_->Executer([table = std::move(table), generation](Etat& e) {
        const Issue<void> ecrite = e.acces.ecrireTable(e.dossier, table);
        e.generation = generation;
        if (ecrite) {
            e.tableEcrite = table;
            e.erreurEcriture.clear();
        } else {
            e.erreurEcriture = ecrite.Message();
        }
        e.Demander();
    });
    return generation;
}

void SyntheseEnFond::Ecrire(std::string chemin, std::string octets, Compte fini)
{
    etat_->Executer([chemin = std::move(chemin), octets = std::move(octets), fini = std::move(fini)](Etat& e) {
        std::string erreur;
        try {
            e.acces.ecrireFichier(chemin, octets);
        } catch (const Exception& x) {
            erreur = x.Message();
        }
        e.Poster([fini, erreur] { fini(erreur); });
    });
}

const std::string& SyntheseEnFond::Dossier() const { return etat_->dossier; }
