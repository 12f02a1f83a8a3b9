#include "classe/fenetre/FenetreClasse.h"

#include "widgets/Apparence.h"
#include "rapport/GraphiquesClasse.h"
#include "rapport/RapportClasse.h"
#include "classe/TexteClasse.h"
#include "journal/LectureEssai.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"
#include "runtime/Platform.h"

#include <QAction>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace {

// Design sizes, for 96 pixels per inch.
constexpr int kLargeur = 1100;
constexpr int kHauteur = 720;
constexpr int kLargeurChamp = 200;
constexpr int kEcartesNommes = 5; // files named in the status line; the others counted

QString Texte(const std::string& s) { return QString::fromStdString(s); }

std::string Pluriel(std::size_t n, const std::string& singulier, const std::string& pluriel)
{
    return std::to_string(n) + " " + (n > 1 ? pluriel : singulier);
}

} // namespace

FenetreClasse::FenetreClasse(Platform& plateForme, std::string dossier, QWidget* parent, SyntheseEnFond::Acces acces)
    : QWidget(parent, Qt::Window), plateForme_(plateForme)
{
    setWindowTitle(QStringLiteral("Synthèse de la classe"));
    setFont(PoliceFenetre());
    echelle_ = LayoutScale::ForFont(font(), this);
    CreerControles();
    resize(echelle_.Scale(QSize(kLargeur, kHauteur)));
    fond_ = std::make_unique<SyntheseEnFond>(
        std::move(dossier), [this](SyntheseEnFond::Releve r) { Recevoir(std::move(r)); }, this, std::move(acces));
    Etat->setText(QStringLiteral("Lecture du dossier %1…").arg(Texte(fond_->Dossier())));
    Minuterie = new QTimer(this);
    Minuterie->setInterval(kRelecture);
    connect(Minuterie, &QTimer::timeout, this, &FenetreClasse::Relire);
    Minuterie->start();
    Relire();
}

FenetreClasse::~FenetreClasse()
{
    // No reading is delivered to a window half destroyed.
    fond_.reset();
    for (QLineEdit* champ : findChildren<QLineEdit*>())
        champ->disconnect(this);
}

const std::string& FenetreClasse::Dossier() const { return fond_->Dossier(); }

void FenetreClasse::CreerControles()
{
    // Top: the factor; then the table above the conclusions and the charts;
    // the buttons and the status line at the bottom.
    auto* facteur = new QFormLayout;
    ChampFacteur = new QLineEdit(this);
    ChampFacteur->setPlaceholderText(QStringLiteral("concentration initiale, masse de catalyseur…"));
    ChampUnite = new QLineEdit(this);
    ChampUnite->setPlaceholderText(QStringLiteral("mol/L, g…"));
    for (QLineEdit* c : {ChampFacteur, ChampUnite})
        c->setMinimumWidth(echelle_.Scale(kLargeurChamp));
    auto* ligneFacteur = new QHBoxLayout;
    auto* etiquetteFacteur = new QLabel(QStringLiteral("&Facteur étudié :"), this);
    etiquetteFacteur->setBuddy(ChampFacteur);
    auto* etiquetteUnite = new QLabel(QStringLiteral("&Unité :"), this);
    etiquetteUnite->setBuddy(ChampUnite);
    ligneFacteur->addWidget(etiquetteFacteur);
    ligneFacteur->addWidget(ChampFacteur);
    ligneFacteur->addWidget(etiquetteUnite);
    ligneFacteur->addWidget(ChampUnite);
    ligneFacteur->addStretch();
    facteur->addRow(ligneFacteur);
    connect(ChampFacteur, &QLineEdit::editingFinished, this, &FenetreClasse::FacteurNomme);
    connect(ChampUnite, &QLineEdit::editingFinished, this, &FenetreClasse::FacteurNomme);

    Tableau = new QTableWidget(this);
    Tableau->setSelectionBehavior(QAbstractItemView::SelectItems);
    Tableau->verticalHeader()->setVisible(false);
    Tableau->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
    connect(Tableau, &QTableWidget::itemChanged, this, &FenetreClasse::ValeurTapee);

    Conclusions = new QTableWidget(0, 3, this);
    Conclusions->setHorizontalHeaderLabels(
        {QStringLiteral("Conclusion"), QStringLiteral("Valeur"), QStringLiteral("Incertitude-type")});
    Conclusions->verticalHeader()->setVisible(false);
    Conclusions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Conclusions->horizontalHeader()->setStretchLastSection(true);

    Graphiques = new GraphiquesClasse(this);

    auto* bas = new QSplitter(Qt::Horizontal);
    bas->addWidget(Conclusions);
    bas->addWidget(Graphiques);
    bas->setStretchFactor(0, 2);
    bas->setStretchFactor(1, 3);
    auto* separation = new QSplitter(Qt::Vertical);
    separation->addWidget(Tableau);
    separation->addWidget(bas);
    separation->setStretchFactor(0, 1);
    separation->setStretchFactor(1, 1);

    BoutonCopier = new QPushButton(QStringLiteral("&Copier le tableau et les conclusions"), this);
    BoutonRapport = new QPushButton(QStringLiteral("Enregistrer le &rapport de la classe (PDF)..."), this);
    connect(BoutonCopier, &QPushButton::clicked, this, &FenetreClasse::Copier);
    connect(BoutonRapport, &QPushButton::clicked, this, &FenetreClasse::EnregistrerRapport);
    ActionCopier = new QAction(this);
    ActionCopier->setShortcut(QKeySequence::Copy);
    ActionCopier->setShortcutContext(Qt::WindowShortcut);
    addAction(ActionCopier);
    connect(ActionCopier, &QAction::triggered, this, &FenetreClasse::Copier);

    Etat = new QLabel(this);
    Etat->setWordWrap(true);
    Etat->setTextFormat(Qt::PlainText);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Etat, 1);
    boutons->addWidget(BoutonCopier);
    boutons->addWidget(BoutonRapport);

    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(facteur);
    colonne->addWidget(separation, 1);
    colonne->addLayout(boutons);
}

void FenetreClasse::Relire() { fond_->Relire(); }

bool FenetreClasse::Editant() const
{
    // The cell's editor, open while the teacher types in it.
    return Tableau->indexWidget(Tableau->currentIndex()) != nullptr;
}

void FenetreClasse::Recevoir(SyntheseEnFond::Releve releve)
{
    // A reading made before the table last typed was written would bring
    // the old values back: the one after the write follows.
    if (releve.generation < generation_)
        return;
    erreurLecture_ = releve.erreur;
    if (releve.lu) {
        synthese_ = std::move(releve.synthese);
        table_ = std::move(releve.table);
    }
    if (Editant())
        aMontrer_ = true; // not under the teacher's typing
    else
        Montrer();
    if (!releve.lu) {
        Etat->setText(Texte(releve.erreur +
                            (synthese_.essais.empty() ? "" : " Le tableau est celui de la dernière lecture.")));
    }
    emit Actualisee();
}

void FenetreClasse::Montrer()
{
    aMontrer_ = false;
    // The factor's fields, unless the teacher is typing in them.
    if (!ChampFacteur->hasFocus())
        ChampFacteur->setText(Texte(table_.facteur.nom));
    if (!ChampUnite->hasFocus())
        ChampUnite->setText(Texte(table_.facteur.unite));

    // The table: the command line's text, cut into cells; filled again only
    // when it changed (a reading every few seconds must not reset the
    // teacher's place in it), at the same scroll position.
    const std::string texte = Classe::TexteSynthese(synthese_, DecimalSeparator());
    if (texte != texteMontre_) {
        texteMontre_ = texte;
        RemplirTableaux(texte);
        Graphiques->Remplir(synthese_);
    }
    EcrireEtat();
}

void FenetreClasse::RemplirTableaux(const std::string& texte)
{
    const TexteClasse::Decoupe decoupe = TexteClasse::Decouper(texte);
    const int defilement = Tableau->verticalScrollBar()->value();
    remplissage_ = true;
    Tableau->clear();
    Tableau->setColumnCount(static_cast<int>(decoupe.entetes.size()));
    Tableau->setRowCount(static_cast<int>(decoupe.lignes.size()));
    QStringList entetes;
    for (const std::string& e : decoupe.entetes)
        entetes << Texte(e);
    Tableau->setHorizontalHeaderLabels(entetes);
    for (int n = 0; n < static_cast<int>(decoupe.lignes.size()); ++n) {
        const auto& cellules = decoupe.lignes[static_cast<std::size_t>(n)];
        for (int c = 0; c < static_cast<int>(cellules.size()); ++c) {
            auto* cellule = new QTableWidgetItem(Texte(cellules[static_cast<std::size_t>(c)]));
            cellule->setData(Qt::UserRole, cellule->text()); // the text shown, put back after a wrong value
            if (c == kColonneFacteur) {
                cellule->setToolTip(QStringLiteral("La valeur du facteur pour cet essai (à taper)"));
            } else {
                cellule->setFlags(cellule->flags() & ~Qt::ItemIsEditable);
                if (c > 1 && c + 1 < static_cast<int>(cellules.size()))
                    cellule->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            Tableau->setItem(n, c, cellule);
        }
        // The run's file name; its path (the copy's) in its tip.
        if (static_cast<std::size_t>(n) < synthese_.essais.size() && Tableau->item(n, 0)) {
            Tableau->item(n, 0)->setToolTip(Tableau->item(n, 0)->text());
            Tableau->item(n, 0)->setText(Texte(synthese_.essais[static_cast<std::size_t>(n)].nom));
        }
    }
    Tableau->resizeColumnsToContents();
    Tableau->verticalScrollBar()->setValue(defilement);
    remplissage_ = false;

    Conclusions->setRowCount(static_cast<int>(decoupe.conclusions.size()));
    for (int n = 0; n < static_cast<int>(decoupe.conclusions.size()); ++n) {
        const auto& c = decoupe.conclusions[static_cast<std::size_t>(n)];
        for (int k = 0; k < 3; ++k) {
            auto* cellule = new QTableWidgetItem(k < static_cast<int>(c.size()) ? Texte(c[static_cast<std::size_t>(k)])
                                                                                 : QString());
            cellule->setToolTip(cellule->text());
            Conclusions->setItem(n, k, cellule);
        }
    }
    Conclusions->resizeColumnToContents(0);
}

void FenetreClasse::EcrireEtat()
{
    std::string etat = Pluriel(synthese_.essais.size(), "essai lu", "essais lus");
    if (!synthese_.ecartes.empty()) {
        etat += " ; " + Pluriel(synthese_.ecartes.size(), "fichier écarté", "fichiers écartés") + " : ";
        for (std::size_t n = 0; n < synthese_.ecartes.size() && n < static_cast<std::size_t>(kEcartesNommes); ++n) {
            const Classe::FichierEcarte& e = synthese_.ecartes[n];
            etat += (n > 0 ? " ; " : "") + std::filesystem::path(e.chemin).filename().string() + " (" + e.raison + ")";
        }
        if (synthese_.ecartes.size() > static_cast<std::size_t>(kEcartesNommes))
            etat += " ; …";
    }
    if (!erreurLecture_.empty())
        etat += " — " + erreurLecture_;
    Etat->setText(Texte(etat));
}

void FenetreClasse::FacteurNomme()
{
    const Classe::Facteur facteur{ChampFacteur->text().trimmed().toStdString(),
                                  ChampUnite->text().trimmed().toStdString()};
    if (facteur.nom == table_.facteur.nom && facteur.unite == table_.facteur.unite)
        return;
    table_.facteur = facteur;
    Enregistrer();
}

void FenetreClasse::ValeurTapee(QTableWidgetItem* cellule)
{
    if (remplissage_ || cellule->column() != kColonneFacteur)
        return;
    const auto n = static_cast<std::size_t>(cellule->row());
    if (n >= synthese_.essais.size())
        return;
    const std::string& nom = synthese_.essais[n].nom;
    const std::string texte = cellule->text().trimmed().toStdString();
    std::optional<double> valeur;
    if (!texte.empty()) {
        try {
            valeur = Cinetique::LireNombreVirguleOuPoint(texte);
        } catch (const Exception& e) {
            Etat->setText(Texte(e.Message()));
            remplissage_ = true;
            cellule->setText(cellule->data(Qt::UserRole).toString());
            remplissage_ = false;
            return;
        }
    }
    if (table_.Valeur(nom) == valeur)
        return;
    table_.Fixer(nom, valeur);
    Enregistrer();
}

void FenetreClasse::Enregistrer()
{
    generation_ = fond_->Enregistrer(table_);
    texteMontre_.clear(); // the reading after it is shown, the table as written or not
    // A reading held back during the typing, shown once the cell's change
    // (whose signal may still be running) is over.
    if (aMontrer_)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (aMontrer_ && !Editant())
                    Montrer();
            },
            Qt::QueuedConnection);
}

void FenetreClasse::Copier()
{
    try {
        plateForme_.PlaceOnClipboard(Classe::TexteSynthese(synthese_, DecimalSeparator()));
    } catch (const Exception& e) {
        Etat->setText(Texte("Rien n'a été copié : " + e.Message()));
    }
}

void FenetreClasse::EnregistrerRapport()
{
    const auto nom = plateForme_.ChooseSaveFileName({"", "pdf", dernierRapport_, "Documents PDF (*.pdf)"});
    if (!nom)
        return;
    dernierRapport_ = *nom;
    // Drawn here (the charts are this window's), written by the reading thread.
    std::string octets = RapportClasse::Pdf(synthese_, {{fond_->Dossier()}, std::chrono::system_clock::now()},
                                            *Graphiques);
    Etat->setText(Texte("Enregistrement du rapport " + *nom + "…"));
    fond_->Ecrire(*nom, std::move(octets), [this, nom = *nom](const std::string& erreur) {
        Etat->setText(Texte(erreur.empty() ? "Rapport de la classe enregistré : " + nom
                                           : "Le rapport n'a pas été enregistré : " + erreur));
        emit RapportEcrit(Texte(erreur));
    });
}
