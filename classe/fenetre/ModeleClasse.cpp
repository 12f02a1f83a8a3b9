#include "classe/fenetre/ModeleClasse.h"

#include "classe/Formulations.h"
#include "journal/LectureEssai.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <optional>

namespace {

QString Texte(const std::string& s) { return QString::fromStdString(s); }

constexpr int Indice(Classe::Colonne c) { return static_cast<int>(c); }

} // namespace

ModeleClasse::ModeleClasse(Enregistrement enregistrer, char separateur, QObject* parent)
    : QAbstractTableModel(parent), enregistrer_(std::move(enregistrer)), separateur_(separateur),
      entetes_(Classe::EnTetes({}))
{
}

bool ModeleClasse::Montrer(Classe::Synthese synthese, Classe::TableClasse table)
{
    table_ = std::move(table);
    std::string texte = Classe::TexteSynthese(synthese, separateur_);
    if (texte == texte_) {
        synthese_ = std::move(synthese);
        return false;
    }
    texte_ = std::move(texte);

    const Classe::Rangee entetes = Classe::EnTetes(synthese.facteur);
    std::vector<Classe::Rangee> cellules;
    for (const Classe::EssaiClasse& essai : synthese.essais)
        cellules.push_back(Classe::Cellules(essai, separateur_));
    conclusions_.clear();
    for (const Classe::Conclusion& c : synthese.conclusions)
        conclusions_.push_back({Classe::Cellules(synthese, c, separateur_)[0], Classe::TexteArrondi(c, separateur_)});

    const int avant = rowCount(), apres = static_cast<int>(cellules.size());
    if (apres < avant) {
        beginRemoveRows({}, apres, avant - 1);
        cellules_.resize(cellules.size());
        endRemoveRows();
    }
    if (apres > avant)
        beginInsertRows({}, avant, apres - 1);
    synthese_ = std::move(synthese);
    cellules_ = std::move(cellules);
    if (apres > avant)
        endInsertRows();
    if (std::min(avant, apres) > 0)
        emit dataChanged(index(0, 0), index(std::min(avant, apres) - 1, Classe::kColonnes - 1));
    if (entetes != entetes_) {
        entetes_ = entetes;
        emit headerDataChanged(Qt::Horizontal, 0, Classe::kColonnes - 1);
    }
    return true;
}

void ModeleClasse::NommerFacteur(const Classe::Facteur& facteur)
{
    if (facteur.nom == table_.facteur.nom && facteur.unite == table_.facteur.unite &&
        facteur.nature == table_.facteur.nature)
        return;
    table_.facteur = facteur;
    synthese_.facteur = facteur;
    entetes_ = Classe::EnTetes(facteur);
    texte_.clear(); // the reading after the write is shown whole
    emit headerDataChanged(Qt::Horizontal, Indice(Classe::Colonne::Facteur), Indice(Classe::Colonne::Facteur));
    enregistrer_(table_);
}

int ModeleClasse::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(cellules_.size());
}

int ModeleClasse::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Classe::kColonnes; }

QVariant ModeleClasse::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Classe::kColonnes)
        return {};
    const auto n = static_cast<std::size_t>(index.row());
    const auto colonne = static_cast<Classe::Colonne>(index.column());
    const std::string& cellule = cellules_[n][static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        // The run by its file's name; the folder is the window's.
        return Texte(colonne == Classe::Colonne::Fichier ? synthese_.essais[n].nom : cellule);
    case Qt::ToolTipRole:
        if (colonne == Classe::Colonne::Fichier)
            return Texte(cellule);
        if (colonne == Classe::Colonne::Facteur)
            return QStringLiteral("La valeur du facteur pour cet essai (à taper)");
        return {};
    case Qt::TextAlignmentRole: {
        // Numbers and dates to the right; names, the factor typed and the remark to the left.
        const bool gauche = colonne == Classe::Colonne::Fichier || colonne == Classe::Colonne::Poste ||
                            colonne == Classe::Colonne::Facteur || colonne == Classe::Colonne::Remarque;
        return QVariant::fromValue(Qt::Alignment((gauche ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    }
    default:
        return {};
    }
}

QVariant ModeleClasse::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Classe::kColonnes)
        return QAbstractTableModel::headerData(section, orientation, role);
    return Texte(entetes_[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags ModeleClasse::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Indice(Classe::Colonne::Facteur))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ModeleClasse::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Classe::EssaiClasse& essai = synthese_.essais[static_cast<std::size_t>(index.row())];
    const std::string texte = value.toString().trimmed().toStdString();
    std::optional<double> valeur;
    if (!texte.empty()) {
        try {
            valeur = Cinetique::LireNombreVirguleOuPoint(texte);
        } catch (const Exception& e) {
            emit ValeurRefusee(Texte(e.Message()));
            return false;
        }
    }
    if (table_.Valeur(essai.nom) == valeur)
        return true;
    table_.Fixer(essai.nom, valeur);
    essai.facteur = valeur;
    cellules_[static_cast<std::size_t>(index.row())] = Classe::Cellules(essai, separateur_);
    texte_.clear(); // the conclusions and charts follow at the reading after the write
    emit dataChanged(index, index);
    enregistrer_(table_);
    return true;
}
