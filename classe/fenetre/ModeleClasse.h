#pragma once
// The class table as a Qt model: one row a run of the synthesis, one column
// a Classe::Colonne, each cell the very text the command line writes (the
// run's file name shown, its path in the tip), the conclusions' cells beside.
// Only the factor's column is editable (flags()): a value typed there
// (decimal comma or point; empty: none) is set in classe.tsv's table, which
// goes to `enregistrer` to be written (off the window's thread: the window
// hands it to its synthesis worker); a value that is not a number is refused
// and said by ValeurRefusee. Its numbers are written with the separator it
// was made with (the window's).
#include "classe/SyntheseClasse.h"

#include <QAbstractTableModel>

#include <array>
#include <functional>
#include <string>
#include <vector>

class ModeleClasse : public QAbstractTableModel {
    Q_OBJECT
public:
    using Enregistrement = std::function<void(const Classe::TableClasse& table)>;

    ModeleClasse(Enregistrement enregistrer, char separateur, QObject* parent = nullptr);

    // A reading: its synthesis and the classe.tsv it was made with. The rows
    // in place are changed, not reset (a view keeps its place in them).
    // False when nothing it shows changed since the last reading.
    bool Montrer(Classe::Synthese synthese, Classe::TableClasse table);
    // The factor named: its column's header, and the table written.
    void NommerFacteur(const Classe::Facteur& facteur);

    const Classe::Synthese& Synthese() const { return synthese_; }
    const Classe::TableClasse& Table() const { return table_; }
    // Each conclusion's name, and its value and uncertainty rounded
    // together (Classe::TexteArrondi) or its sentence.
    const std::vector<std::array<std::string, 2>>& Conclusions() const { return conclusions_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A value typed was not a number; `message` says why (French).
    void ValeurRefusee(const QString& message);

private:
    Enregistrement enregistrer_;
    char separateur_;
    Classe::Synthese synthese_;
    Classe::TableClasse table_;
    Classe::Rangee entetes_;
    std::vector<Classe::Rangee> cellules_; // one a run shown
    std::vector<std::array<std::string, 2>> conclusions_;
    std::string texte_; // the last reading's, as the command line writes it; empty after an edit
};
