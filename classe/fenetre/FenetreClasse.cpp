#include "classe/fenetre/FenetreClasse.h"

#include "classe/fenetre/GraphiquesClasse.h"
#include "classe/fenetre/ModeleClasse.h"
#include "rapport/RapportClasse.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"
#include "widgets/Apparence.h"
#include "runtime/Platform.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
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
    fond_ = std::make_unique<SyntheseEnFond>(std::move(dossier), std::move(acces));
    connect(fond_.get(), &SyntheseEnFond::Lu, this, &FenetreClasse::Recevoir);
    connect(fond_.get(), &SyntheseEnFond::Ecrit, this, &FenetreClasse::RapportTermine);
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
const Classe::Synthese& FenetreClasse::Synthese() const { return Modele->Synthese(); }
const Classe::TableClasse& FenetreClasse::Table() const { return Modele->Table(); }

void FenetreClasse::CreerControles()
{
    // Top: the factor; then the table above the conclusions and the charts;
    // the buttons and the status line at the bottom.
    Etat = new QLabel(this);
    Etat->setWordWrap(true);
    Etat->setTextFormat(Qt::PlainText);
    auto* facteur = new QFormLayout;
    ChampFacteur = new QLineEdit(this);
    ChampFacteur->setPlaceholderText(QStringLiteral("concentration initiale, masse de catalyseur…"));
    ChampUnite = new QLineEdit(this);
    ChampUnite->setPlaceholderText(QStringLiteral("mol/L, g…"));
    for (QLineEdit* c : {ChampFacteur, ChampUnite})
        c->setMinimumWidth(echelle_.Scale(kLargeurChamp));
    // The nature, in the order of Classe::Nature's words; its data is the word.
    ChoixNature = new QComboBox(this);
    for (const auto& [nature, texte] :
         {std::pair(Classe::Nature::Reactif, "réactif suivi (sa concentration ou quantité initiale)"),
          std::pair(Classe::Nature::Catalyseur, "catalyseur (sa masse ou sa concentration)"),
          std::pair(Classe::Nature::Temperature, "température"), std::pair(Classe::Nature::Autre, "autre")})
        ChoixNature->addItem(QString::fromUtf8(texte), static_cast<int>(nature));
    ChoixNature->setCurrentIndex(ChoixNature->findData(static_cast<int>(Classe::Nature::Autre)));
    auto* ligneFacteur = new QHBoxLayout;
    auto* etiquetteFacteur = new QLabel(QStringLiteral("&Facteur étudié :"), this);
    etiquetteFacteur->setBuddy(ChampFacteur);
    auto* etiquetteUnite = new QLabel(QStringLiteral("&Unité :"), this);
    etiquetteUnite->setBuddy(ChampUnite);
    ligneFacteur->addWidget(etiquetteFacteur);
    ligneFacteur->addWidget(ChampFacteur);
    ligneFacteur->addWidget(etiquetteUnite);
    ligneFacteur->addWidget(ChampUnite);
    auto* etiquetteNature = new QLabel(QStringLiteral("&Nature :"), this);
    etiquetteNature->setBuddy(ChoixNature);
    ligneFacteur->addWidget(etiquetteNature);
    ligneFacteur->addWidget(ChoixNature);
    ligneFacteur->addStretch();
    facteur->addRow(ligneFacteur);
    connect(ChampFacteur, &QLineEdit::editingFinished, this, &FenetreClasse::FacteurNomme);
    connect(ChampUnite, &QLineEdit::editingFinished, this, &FenetreClasse::FacteurNomme);
    connect(ChoixNature, &QComboBox::activated, this, &FenetreClasse::FacteurNomme);

    Modele = new ModeleClasse([this](const Classe::TableClasse& table) { Enregistrer(table); }, DecimalSeparator(),
                              this);
    connect(Modele, &ModeleClasse::ValeurRefusee, Etat, &QLabel::setText);
    Tableau = new QTableView(this);
    Tableau->setModel(Modele);
    Tableau->setSelectionBehavior(QAbstractItemView::SelectItems);
    Tableau->verticalHeader()->setVisible(false);
    Tableau->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);

    Conclusions = new QTableWidget(0, 2, this);
    Conclusions->setHorizontalHeaderLabels(
        {QStringLiteral("Conclusion"), QStringLiteral("Valeur ± incertitude-type")});
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

void FenetreClasse::Recevoir(const SyntheseEnFond::Releve& releve)
{
    // A reading made before the table last typed was written would bring
    // the old values back: the one after the write follows.
    if (releve.generation < generation_)
        return;
    erreurLecture_ = releve.erreur;
    if (releve.lu)
        aMontrer_ = releve;
    if (!Editant()) // not under the teacher's typing
        Montrer();
    if (!releve.lu)
        Etat->setText(
            Texte(releve.erreur + (Synthese().essais.empty() ? "" : " Le tableau est celui de la dernière lecture.")));
    emit Actualisee();
}

void FenetreClasse::Montrer()
{
    // The table, the conclusions and the charts: changed only where the
    // reading differs (a reading every few seconds must not reset the
    // teacher's place in the table).
    if (aMontrer_) {
        SyntheseEnFond::Releve releve = std::move(*aMontrer_);
        aMontrer_.reset();
        if (Modele->Montrer(std::move(releve.synthese), std::move(releve.table))) {
            Tableau->resizeColumnsToContents();
            RemplirConclusions();
            Graphiques->Remplir(Modele->Synthese(), DecimalSeparator());
        }
    }
    // The factor's fields, unless the teacher is typing in them.
    if (!ChampFacteur->hasFocus())
        ChampFacteur->setText(Texte(Table().facteur.nom));
    if (!ChampUnite->hasFocus())
        ChampUnite->setText(Texte(Table().facteur.unite));
    if (!ChoixNature->hasFocus())
        ChoixNature->setCurrentIndex(ChoixNature->findData(static_cast<int>(Table().facteur.nature)));
    EcrireEtat();
}

void FenetreClasse::RemplirConclusions()
{
    const auto& conclusions = Modele->Conclusions();
    Conclusions->setRowCount(static_cast<int>(conclusions.size()));
    for (int n = 0; n < static_cast<int>(conclusions.size()); ++n)
        for (int k = 0; k < 2; ++k) {
            const auto& textes = conclusions[static_cast<std::size_t>(n)];
            auto* cellule = new QTableWidgetItem(Texte(textes[static_cast<std::size_t>(k)]));
            cellule->setToolTip(cellule->text());
            Conclusions->setItem(n, k, cellule);
        }
    Conclusions->resizeColumnToContents(0);
}

void FenetreClasse::EcrireEtat()
{
    std::string etat = Pluriel(Synthese().essais.size(), "essai lu", "essais lus");
    if (!Synthese().ecartes.empty()) {
        etat += " ; " + Pluriel(Synthese().ecartes.size(), "fichier écarté", "fichiers écartés") + " : ";
        for (std::size_t n = 0; n < Synthese().ecartes.size() && n < static_cast<std::size_t>(kEcartesNommes); ++n) {
            const Classe::FichierEcarte& e = Synthese().ecartes[n];
            etat += (n > 0 ? " ; " : "") + std::filesystem::path(e.chemin).filename().string() + " (" + e.raison + ")";
        }
        if (Synthese().ecartes.size() > static_cast<std::size_t>(kEcartesNommes))
            etat += " ; …";
    }
    if (!erreurLecture_.empty())
        etat += " — " + erreurLecture_;
    Etat->setText(Texte(etat));
}

void FenetreClasse::FacteurNomme()
{
    Modele->NommerFacteur({ChampFacteur->text().trimmed().toStdString(), ChampUnite->text().trimmed().toStdString(),
                           static_cast<Classe::Nature>(ChoixNature->currentData().toInt())});
}

void FenetreClasse::Enregistrer(const Classe::TableClasse& table)
{
    generation_ = fond_->Enregistrer(table);
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
        plateForme_.PlaceOnClipboard(Classe::TexteSynthese(Synthese(), DecimalSeparator()));
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
    // Drawn here, from the reading shown; written by the reading thread.
    std::string octets = RapportClasse::Pdf(Synthese(), {{fond_->Dossier()}, std::chrono::system_clock::now()});
    Etat->setText(Texte("Enregistrement du rapport " + *nom + "…"));
    fond_->Ecrire(*nom, std::move(octets));
}

void FenetreClasse::RapportTermine(const QString& chemin, const QString& erreur)
{
    Etat->setText(erreur.isEmpty() ? QStringLiteral("Rapport de la classe enregistré : ") + chemin
                                   : QStringLiteral("Le rapport n'a pas été enregistré : ") + erreur);
    emit RapportEcrit(erreur);
}
