#include "workers/SyntheseEnFond.h"

#include "rapport/DessinCompteRendu.h"
#include "runtime/Exceptions.h"
#include "workers/FilDeTravail.h"

#include <QFileSystemWatcher>
#include <QMetaObject>

#include <atomic>
#include <filesystem>
#include <map>
#include <utility>

struct SyntheseEnFond::Partage {
    std::atomic<bool> demandee{false}; // a reading is queued and not started
    std::atomic<bool> fermee{false};   // the controller is gone: no reading is wanted any more
};

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

using Analyse = std::variant<Classe::EssaiClasse, Classe::FichierEcarte>;

// Lives on the synthesis's thread, and everything it holds is touched there
// only: what it knows of the folder, the change notices, classe.tsv's writes.
class TravailleurSynthese : public QObject {
    Q_OBJECT
public:
    TravailleurSynthese(std::string dossier, SyntheseEnFond::Acces acces,
                        std::shared_ptr<SyntheseEnFond::Partage> partage)
        : dossier_(std::move(dossier)), acces_(Completer(std::move(acces))), partage_(std::move(partage))
    {
    }

    // A reading, unless one is already waiting to start: from the
    // controller's thread (through its queue) or from the change notices.
    static void Demander(SyntheseEnFond::Partage& partage, const std::function<void()>& mettreEnFile)
    {
        if (!partage.demandee.exchange(true))
            mettreEnFile();
    }

    void Lire()
    {
        partage_->demandee = false;
        if (partage_->fermee)
            return;
        Veiller();
        SyntheseEnFond::Releve releve;
        releve.generation = generation_;
        const Issue<std::vector<std::string>> fichiers = acces_.lister(dossier_);
        if (!fichiers) {
            releve.erreur = fichiers.Message();
            emit Lu(releve);
            return;
        }
        std::vector<Classe::EssaiClasse> essais;
        std::vector<Classe::FichierEcarte> ecartes;
        // A classe.tsv that cannot be read is listed with the files left out,
        // as the command line lists it; the table last written stands for it.
        const Issue<Classe::TableClasse> table = acces_.lireTable(dossier_);
        if (table) {
            releve.table = *table;
        } else {
            ecartes.push_back({(std::filesystem::path(dossier_) / Classe::kNomTable).string(), table.Message()});
            releve.table = tableEcrite_.value_or(Classe::TableClasse{});
        }
        releve.erreur = erreurEcriture_;

        // The files new or changed since the last reading are analysed,
        // together on the processor's cores; the others keep their analysis.
        std::vector<std::optional<SyntheseEnFond::Empreinte>> empreintes;
        std::vector<std::string> aAnalyser;
        for (const std::string& chemin : *fichiers) {
            empreintes.push_back(acces_.empreinte(chemin));
            const auto connu = connus_.find(chemin);
            if (!empreintes.back() || connu == connus_.end() || !(connu->second.empreinte == *empreintes.back()))
                aAnalyser.push_back(chemin);
        }
        std::vector<Analyse> nouvelles = Classe::AnalyserEnParallele(aAnalyser, [&](std::size_t i) -> Analyse {
            // Closed meanwhile: the files left are not read (nor shown).
            if (partage_->fermee)
                return Classe::FichierEcarte{aAnalyser[i], {}};
            return acces_.analyser(aAnalyser[i], releve.table);
        });
        if (partage_->fermee)
            return;
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
            auto connu = connus_.find(chemin);
            Ranger(connu->second.analyse, releve.table, essais, ecartes);
            vus.emplace(chemin, std::move(connu->second));
        }
        connus_ = std::move(vus);
        releve.lu = true;
        releve.synthese = Classe::Conclure(std::move(essais), std::move(ecartes), releve.table.facteur);
        emit Lu(releve);
    }

    void Enregistrer(const Classe::TableClasse& table, std::uint64_t generation)
    {
        const Issue<void> ecrite = acces_.ecrireTable(dossier_, table);
        generation_ = generation;
        if (ecrite) {
            tableEcrite_ = table;
            erreurEcriture_.clear();
        } else {
            erreurEcriture_ = ecrite.Message();
        }
        LireEnsuite();
    }

    void Ecrire(const std::string& chemin, const std::string& octets)
    {
        std::string erreur;
        try {
            acces_.ecrireFichier(chemin, octets);
        } catch (const Exception& x) {
            erreur = x.Message();
        }
        emit Ecrit(QString::fromStdString(chemin), QString::fromStdString(erreur));
    }

signals:
    void Lu(const SyntheseEnFond::Releve& releve);
    void Ecrit(const QString& chemin, const QString& erreur);

private:
    struct Connu {
        SyntheseEnFond::Empreinte empreinte;
        Analyse analyse;
    };

    // A reading after the work already queued, asked from this thread.
    void LireEnsuite()
    {
        Demander(*partage_,
                 [this] { QMetaObject::invokeMethod(this, &TravailleurSynthese::Lire, Qt::QueuedConnection); });
    }

    void Veiller()
    {
        if (!veilleur_) {
            veilleur_ = new QFileSystemWatcher(this);
            connect(veilleur_, &QFileSystemWatcher::directoryChanged, this, &TravailleurSynthese::LireEnsuite);
        }
        // A folder that could not be watched (not there yet, a share that
        // gives no notices) is tried again at the next reading; the window's
        // periodic reading covers it meanwhile.
        if (veilleur_->directories().isEmpty())
            veilleur_->addPath(QString::fromStdString(dossier_));
    }

    static void Ranger(const Analyse& analyse, const Classe::TableClasse& table,
                       std::vector<Classe::EssaiClasse>& essais, std::vector<Classe::FichierEcarte>& ecartes)
    {
        if (const auto* essai = std::get_if<Classe::EssaiClasse>(&analyse)) {
            essais.push_back(*essai);
            essais.back().facteur = table.Valeur(essai->nom); // the value typed now
        } else {
            ecartes.push_back(std::get<Classe::FichierEcarte>(analyse));
        }
    }

    const std::string dossier_;
    const SyntheseEnFond::Acces acces_;
    const std::shared_ptr<SyntheseEnFond::Partage> partage_;
    std::map<std::string, Connu> connus_;
    QFileSystemWatcher* veilleur_ = nullptr; // a child: deleted with the worker, on its thread
    std::uint64_t generation_ = 0;
    std::optional<Classe::TableClasse> tableEcrite_; // kept when classe.tsv cannot be read back
    std::string erreurEcriture_; // the last write of classe.tsv's failure, told until one succeeds
};

} // namespace

SyntheseEnFond::SyntheseEnFond(std::string dossier, Acces acces, QObject* parent)
    : QObject(parent), dossier_(std::move(dossier)), partage_(std::make_shared<Partage>())
{
    qRegisterMetaType<SyntheseEnFond::Releve>();
    auto travailleur = std::make_unique<TravailleurSynthese>(dossier_, std::move(acces), partage_);
    // Queued to this controller: Qt drops what is still queued once it is gone.
    connect(travailleur.get(), &TravailleurSynthese::Lu, this, &SyntheseEnFond::Lu, Qt::QueuedConnection);
    connect(travailleur.get(), &TravailleurSynthese::Ecrit, this, &SyntheseEnFond::Ecrit, Qt::QueuedConnection);
    fil_ = std::make_unique<FilDeTravail>(std::move(travailleur), "classe", FilDeTravail::Fin::Laisser, kAttenteFin);
}

SyntheseEnFond::~SyntheseEnFond()
{
    partage_->fermee = true;
    fil_.reset(); // the writes asked; a share that hangs is left to its thread
}

void SyntheseEnFond::Relire()
{
    auto* travailleur = static_cast<TravailleurSynthese*>(fil_->Travailleur());
    TravailleurSynthese::Demander(*partage_, [&] { fil_->Executer([travailleur] { travailleur->Lire(); }); });
}

std::uint64_t SyntheseEnFond::Enregistrer(Classe::TableClasse table)
{
    // Numbered here, in the order asked; the worker writes them in that order.
    const std::uint64_t generation = ++generationDemandee_;
    auto* travailleur = static_cast<TravailleurSynthese*>(fil_->Travailleur());
    fil_->Executer(
        [travailleur, table = std::move(table), generation] { travailleur->Enregistrer(table, generation); });
    return generation;
}

void SyntheseEnFond::Ecrire(std::string chemin, std::string octets)
{
    auto* travailleur = static_cast<TravailleurSynthese*>(fil_->Travailleur());
    fil_->Executer([travailleur, chemin = std::move(chemin), octets = std::move(octets)] {
        travailleur->Ecrire(chemin, octets);
    });
}

#include "SyntheseEnFond.moc"
