#include "analyse/fenetre/FenetreAnalyse.h"

#include "analyse/AideAnalyse.h"
#include "widgets/Apparence.h"
#include "analyse/EssaisCompares.h"
#include "analyse/fenetre/ExportAnalyse.h"
#include "widgets/FiltreClavier.h"
#include "widgets/Graphiques.h"
#include "chart/TChart.h"
#include "chart/TPointSeries.h"
#include "rapport/GraphiquesEssai.h"
#include "journal/LectureEssai.h"
#include "kinetics/Constantes.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"
#include "runtime/Platform.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace {

// Design sizes, for 96 pixels per inch.
constexpr int kLargeur = 960;
constexpr int kHauteur = 640;
constexpr int kLargeurPanneau = 330;
constexpr int kLargeurChamp = 70;
constexpr int kLargeurListe = 190;          // the runs' list in the comparison tab
constexpr int kHauteurGraphiqueCompare = 150; // and its chart above its table
constexpr int kHauteurTableau = 90;
// The second chart's tabs.
constexpr int kOngletVitesse = 0;
constexpr int kOngletTest = 1;
constexpr int kOngletComparaison = 2;

QString Texte(const std::string& texte)
{
    return QString::fromStdString(texte);
}

// Plain text as rich text, "_f" written as a subscript and lines kept.
QString AvecIndices(const std::string& texte)
{
    static const QRegularExpression indice(QStringLiteral("_([A-Za-z0-9]+)"));
    QString html = Texte(texte).toHtmlEscaped();
    html.replace(indice, QStringLiteral("<sub>\\1</sub>"));
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return html;
}

// A table's header whose labels write "_" followed by letters or digits as a
// subscript ("x_f (mmol)"), as the results beside it do; the copies keep the
// plain label. A label without "_" is drawn by the style as in any header.
class EnteteIndices : public QHeaderView {
public:
    // Clickable and highlighting its sections, as a table's own header.
    explicit EnteteIndices(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(true);
        setHighlightSections(true);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override
    {
        const QString libelle = model()->headerData(section, orientation(), Qt::DisplayRole).toString();
        if (!libelle.contains(QLatin1Char('_'))) {
            QHeaderView::paintSection(painter, rect, section);
            return;
        }
        // The section as the style draws it, without its label (the style
        // leaves the painter's clip changed: the state is restored after it);
        // then the label as rich text in the style's place for it.
        QStyleOptionHeader option;
        initStyleOption(&option);
        initStyleOptionForIndex(&option, section);
        option.rect = rect;
        option.text.clear();
        painter->save();
        style()->drawControl(QStyle::CE_Header, &option, painter, this);
        painter->restore();
        const QRect place = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this);
        QTextDocument texte;
        texte.setDocumentMargin(0);
        texte.setDefaultFont(font());
        texte.setHtml(AvecIndices(libelle.toStdString()));
        const QSize taille(static_cast<int>(std::ceil(texte.size().width())),
                           static_cast<int>(std::ceil(texte.size().height())));
        const QRect cadre = QStyle::alignedRect(layoutDirection(), option.textAlignment, taille, place);
        painter->save();
        painter->setClipRect(place, Qt::IntersectClip);
        painter->translate(cadre.topLeft());
        QAbstractTextDocumentLayout::PaintContext contexte;
        contexte.palette.setColor(QPalette::Text, option.palette.color(QPalette::ButtonText));
        texte.documentLayout()->draw(painter, contexte);
        painter->restore();
    }
};

std::string Nombre(double valeur, int chiffres = 3)
{
    return FormatGeneral(valeur, chiffres, DecimalSeparator());
}

// A field's number; none when empty. Raises EConvertError.
std::optional<double> NombreDuChamp(const QLineEdit* champ)
{
    const std::string texte = champ->text().trimmed().toStdString();
    if (texte.empty())
        return std::nullopt;
    return Cinetique::LireNombreVirguleOuPoint(texte);
}

// A QLineEdit claims Ctrl+Z through the ShortcutOverride event even when it
// has nothing to undo; then the window's Ctrl+Z (the charts' undo) would
// never run while a field has the focus. The override is refused for a field
// with no typing to undo.
class ChampsSansAnnulation : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override
    {
        if (evenement->type() != QEvent::ShortcutOverride)
            return false;
        const auto* champ = qobject_cast<QLineEdit*>(objet);
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        return champ && !champ->isUndoAvailable() && touche->matches(QKeySequence::Undo);
    }
};

} // namespace

FenetreAnalyse::FenetreAnalyse(Platform& plateForme, EssaisCompares& essais, QWidget* parent)
    : QWidget(parent, Qt::Window), plateForme_(plateForme), essais_(essais),
      graphiques_(std::make_unique<GraphiquesEssai>(this))
{
    setWindowTitle(QStringLiteral("Analyse de l'essai"));
    setFont(PoliceFenetre());
    echelle_ = LayoutScale::ForFont(font(), this);
    CreerControles();
    resize(echelle_.Scale(QSize(kLargeur, kHauteur)));
    Actualiser();
}

FenetreAnalyse::~FenetreAnalyse()
{
    // The fields lose the focus while the children are destroyed, after this
    // window's members: their "editing finished" must not reach it then.
    for (QLineEdit* champ : findChildren<QLineEdit*>())
        champ->disconnect(this);
}

void FenetreAnalyse::CreerControles()
{
    // Left: the extent chart above the tabs of the second chart. Right: the
    // fields, the results and the copy buttons. Bottom: the status line.
    // The analysis's charts (rapport/GraphiquesEssai.h), laid out here.
    GraphiqueAvancement = graphiques_->Avancement;
    SerieMesures = graphiques_->Mesures;
    SerieExclus = graphiques_->Exclus;
    SerieModele = graphiques_->Modele;
    GraphiqueVitesse = graphiques_->Vitesse;
    SerieVitesseMesures = graphiques_->VitesseMesures;
    SerieVitesseModele = graphiques_->VitesseModele;
    GraphiqueTest = graphiques_->Test;
    SerieTestPoints = graphiques_->TestPoints;
    SerieTestDroite = graphiques_->TestDroite;
    auto* separation = new QSplitter(Qt::Vertical);
    separation->addWidget(GraphiqueAvancement);
    Onglets = new QTabWidget(separation);
    Onglets->addTab(GraphiqueVitesse, QStringLiteral("V&itesse volumique"));
    Onglets->addTab(GraphiqueTest, QStringLiteral("Test de l'&ordre 1"));
    CreerComparaison();
    separation->setStretchFactor(0, 3);
    separation->setStretchFactor(1, 2);

    auto champ = [this](QWidget* parent) {
        auto* c = new QLineEdit(parent);
        c->setMinimumWidth(echelle_.Scale(kLargeurChamp));
        return c;
    };
    auto* panneau = new QWidget;
    panneau->setFixedWidth(echelle_.Scale(kLargeurPanneau));

    auto* conditions = new QGroupBox(QStringLiteral("Conditions et intervalle"), panneau);
    auto* formulaire = new QFormLayout(conditions);
    ChampVolume = champ(conditions);
    ChampTemperature = champ(conditions);
    ChampDebut = champ(conditions);
    ChampFin = champ(conditions);
    ChampTangente = champ(conditions);
    formulaire->addRow(QStringLiteral("&Volume du gaz (L)"), ChampVolume);
    formulaire->addRow(QStringLiteral("&Température (°C)"), ChampTemperature);
    formulaire->addRow(QStringLiteral("&Début (s)"), ChampDebut);
    formulaire->addRow(QStringLiteral("&Fin (s)"), ChampFin);
    formulaire->addRow(QStringLiteral("Tan&gente en t (s)"), ChampTangente);
    ChampDebut->setPlaceholderText(QStringLiteral("premier point"));
    ChampFin->setPlaceholderText(QStringLiteral("dernier point"));

    auto* resultats = new QGroupBox(QStringLiteral("Résultats"), panneau);
    auto* colonne = new QVBoxLayout(resultats);
    Resultats = new QLabel(resultats);
    Resultats->setWordWrap(true);
    // Rich text for the subscripts (x_f, t_a): messages are escaped into it.
    Resultats->setTextFormat(Qt::RichText);
    Resultats->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Resultats->setTextInteractionFlags(Qt::TextSelectableByMouse);
    TexteTangente = new QLabel(resultats);
    TexteTangente->setWordWrap(true);
    TexteTangente->setTextFormat(Qt::RichText);
    colonne->addWidget(Resultats, 1);
    colonne->addWidget(TexteTangente);

    BoutonCopier = new QPushButton(QStringLiteral("&Copier les résultats"), panneau);
    BoutonTableau = new QPushButton(QStringLiteral("Copier le tableau co&mplet"), panneau);
    auto* droite = new QVBoxLayout(panneau);
    droite->setContentsMargins(0, 0, 0, 0);
    droite->addWidget(conditions);
    droite->addWidget(resultats, 1);
    droite->addWidget(BoutonCopier);
    droite->addWidget(BoutonTableau);
    Export = new ExportAnalyse(*this, plateForme_, droite);
    BoutonAide = new QPushButton(QStringLiteral("&Aide sur les résultats"), panneau);
    droite->addWidget(BoutonAide);

    Etat = new QLabel;
    Etat->setTextFormat(Qt::PlainText);
    auto* haut = new QHBoxLayout;
    haut->addWidget(separation, 1);
    haut->addWidget(panneau);
    auto* fenetre = new QVBoxLayout(this);
    fenetre->addLayout(haut, 1);
    fenetre->addWidget(Etat);

    setTabOrder(ChampVolume, ChampTemperature);
    setTabOrder(ChampTemperature, ChampDebut);
    setTabOrder(ChampDebut, ChampFin);
    setTabOrder(ChampFin, ChampTangente);
    setTabOrder(ChampTangente, BoutonCopier);
    setTabOrder(BoutonCopier, BoutonTableau);
    setTabOrder(BoutonTableau, BoutonAide);
    setTabOrder(BoutonAide, Onglets);

    // The commands.
    connect(BoutonCopier, &QPushButton::clicked, this, [this] { CopierResultats(); });
    connect(BoutonTableau, &QPushButton::clicked, this, [this] { CopierTableau(); });
    connect(BoutonAide, &QPushButton::clicked, this, [this] { MontrerAide(); });
    const QKeySequence copier(Qt::CTRL | Qt::Key_C);
    auto* raccourciCopier = new QShortcut(copier, this);
    connect(raccourciCopier, &QShortcut::activated, this, [this] {
        // The comparison's tab open: its table.
        if (Onglets->currentIndex() == kOngletComparaison)
            CopierComparaison();
        else
            CopierResultats();
    });
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(echap, &QShortcut::activated, this, [this] { RetirerTangente(); });
    auto* annuler = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(annuler, &QShortcut::activated, this, [this] { Annuler(); });
    // A field keeps Ctrl+Z for its own undo only while it has typing to undo.
    auto* champsSansAnnulation = new ChampsSansAnnulation(this);
    for (QLineEdit* c : findChildren<QLineEdit*>())
        c->installEventFilter(champsSansAnnulation);
    // Ctrl+C copies the results from the edit fields too, as the main
    // window's copies do.
    qApp->installEventFilter(new FiltreClavier(this, {copier}, QKeySequence(), BoutonCopier));

    for (QLineEdit* c : {ChampVolume, ChampTemperature})
        connect(c, &QLineEdit::editingFinished, this, [this] { LireConditions(); });
    for (QLineEdit* c : {ChampDebut, ChampFin})
        connect(c, &QLineEdit::editingFinished, this, [this] { LireIntervalle(); });
    connect(ChampTangente, &QLineEdit::returnPressed, this, [this] {
        try {
            if (const auto t = NombreDuChamp(ChampTangente))
                PoserTangente(*t);
            else
                RetirerTangente();
        } catch (const Exception& e) {
            TexteTangente->setText(Texte(e.Message()).toHtmlEscaped());
        }
    });

    GraphiqueAvancement->SetOnClick([this](double t, double) {
        if (GraphiqueAvancement->ControlClick())
            BasculerExclusion(t);
        else
            PoserTangente(t);
    });
    GraphiqueAvancement->SetOnPointerMove([this](double t, double) { Pointeur(t); });
    GraphiqueAvancement->SetOnIntervalMarkerMoved(
        [this](TIntervalEdge bord, double valeur) { MarqueurDeplace(bord == TIntervalEdge::Start, valeur); });
}

void FenetreAnalyse::MontrerEssai(DonneesEssai donnees, bool enCours)
{
    const bool autre = donnees.nom != analyse_.Donnees().nom;
    const bool fichier = donnees.fichier;
    analyse_.SetDonnees(std::move(donnees));
    enCours_ = enCours;
    if (autre) {
        tempsTangente_.reset();
        ChampDebut->clear();
        ChampFin->clear();
        ChampTangente->clear();
        lecture_.clear();
        for (TChart* graphique : {GraphiqueAvancement, GraphiqueVitesse, GraphiqueTest, GraphiqueComparaison})
            graphique->UndoZoom();
    }
    // The conditions: the run's own, shown; a file's, typed here.
    const auto& d = analyse_.Donnees();
    ChampVolume->setEnabled(fichier);
    ChampTemperature->setEnabled(fichier);
    if (autre || !fichier) {
        ChampVolume->setText(d.volume ? Texte(Nombre(*d.volume, 6)) : QString());
        ChampTemperature->setText(d.temperature ? Texte(Nombre(*d.temperature, 6)) : QString());
    }
    // No name before the first run: the title alone.
    setWindowTitle(d.nom.empty() ? QStringLiteral("Analyse de l'essai")
                                 : QStringLiteral("Analyse de l'essai – ") + Texte(d.nom));
    Actualiser();
    ActualiserComparaison();
}

void FenetreAnalyse::CreerComparaison()
{
    // The list of runs left; right, their extents above the table.
    auto* onglet = new QSplitter(Qt::Horizontal);
    ListeEssais = new QListWidget(onglet);
    auto* droite = new QSplitter(Qt::Vertical, onglet);
    GraphiqueComparaison =
        NouveauGraphique(droite, "Avancement des essais comparés", "Date en s", "Avancement en mmol", true);
    // Its legend lists every run ticked: in the corner the curves leave free.
    GraphiqueComparaison->Legend().SetCorner(TLegendCorner::Emptiest);
    constexpr int colonnes = static_cast<int>(std::size(EssaisCompares::kEntetes));
    TableauComparaison = new QTableWidget(0, colonnes, droite);
    TableauComparaison->setHorizontalHeader(new EnteteIndices(TableauComparaison));
    QStringList entetes;
    for (const char* entete : EssaisCompares::kEntetes)
        entetes << QString::fromUtf8(entete);
    TableauComparaison->setHorizontalHeaderLabels(entetes);
    TableauComparaison->verticalHeader()->hide();
    TableauComparaison->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableauComparaison->verticalHeader()->setDefaultSectionSize(TableauComparaison->fontMetrics().height() + 4);
    TableauComparaison->horizontalHeader()->setStretchLastSection(true);
    onglet->setStretchFactor(1, 1);
    onglet->setSizes({echelle_.Scale(kLargeurListe), echelle_.Scale(kLargeur - kLargeurPanneau - kLargeurListe)});
    droite->setSizes({echelle_.Scale(kHauteurGraphiqueCompare), echelle_.Scale(kHauteurTableau)});
    Onglets->addTab(onglet, QStringLiteral("Essais com&parés"));
    setTabOrder(Onglets, ListeEssais);

    connect(ListeEssais, &QListWidget::itemChanged, this, [this](QListWidgetItem* element) {
        EssaiCoche(ListeEssais->row(element), element->checkState() == Qt::Checked);
    });
    connect(Onglets, &QTabWidget::currentChanged, this, [this] {
        TracerSecondGraphique();
        ActualiserComparaison();
    });
}

void FenetreAnalyse::EssaiCoche(int ligne, bool coche)
{
    if (ligne < 0 || ligne >= essais_.Nombre())
        return;
    essais_.Cocher(ligne, coche);
    ActualiserComparaison();
}

void FenetreAnalyse::ActualiserComparaison()
{
    // Drawn while the tab shows, and only when something changed: a tick
    // costs nothing more while another tab shows.
    if (Onglets->currentIndex() != kOngletComparaison || versionComparee_ == essais_.Version())
        return;
    versionComparee_ = essais_.Version();

    {
        // The list, updated in place so that its current row and scroll stay.
        const QSignalBlocker bloque(ListeEssais);
        while (ListeEssais->count() > essais_.Nombre())
            delete ListeEssais->takeItem(ListeEssais->count() - 1);
        while (ListeEssais->count() < essais_.Nombre()) {
            auto* element = new QListWidgetItem(ListeEssais);
            element->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
        for (int i = 0; i < essais_.Nombre(); ++i) {
            QListWidgetItem* element = ListeEssais->item(i);
            element->setText(Texte(essais_.Libelle(i, DecimalSeparator())));
            element->setToolTip(Texte(essais_.Entree(i).chemin.value_or(essais_.Entree(i).nom)));
            element->setCheckState(essais_.Coche(i) ? Qt::Checked : Qt::Unchecked);
        }
    }

    const std::vector<int> coches = essais_.Coches();
    while (seriesComparees_.size() < coches.size())
        seriesComparees_.push_back(GraphiqueComparaison->AddSeries<TFastLineSeries>());
    TableauComparaison->setRowCount(static_cast<int>(coches.size()));
    for (std::size_t n = 0; n < seriesComparees_.size(); ++n) {
        TFastLineSeries* serie = seriesComparees_[n];
        serie->SetActive(false); // filled without a repaint a point
        serie->ClearPoints();
        if (n >= coches.size())
            continue;
        const int i = coches[n];
        serie->SetSeriesColor(SeriesPaletteColor(essais_.Couleur(i)));
        serie->SetTitle(essais_.Libelle(i, DecimalSeparator()));
        for (const auto& [t, x] : essais_.Courbe(i))
            serie->AddPoint(t, x, "", ColorAuto);
        serie->SetActive(true);

        const LigneComparaison ligne = essais_.Ligne(i, DecimalSeparator());
        const std::string* cellules[] = {&ligne.essai,  &ligne.poste, &ligne.volume, &ligne.temperature, &ligne.points,
                                         &ligne.xFinal, &ligne.k,     &ligne.tDemi,  &ligne.pInitiale};
        for (int colonne = 0; colonne < static_cast<int>(std::size(cellules)); ++colonne) {
            auto* cellule = new QTableWidgetItem(Texte(*cellules[colonne]));
            if (colonne > 1) // the numbers
                cellule->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            TableauComparaison->setItem(static_cast<int>(n), colonne, cellule);
        }
        TableauComparaison->item(static_cast<int>(n), 0)->setToolTip(Texte(essais_.Erreur(i)));
    }
    TableauComparaison->resizeColumnsToContents();
}

void FenetreAnalyse::Actualiser()
{
    analyse_.Recalculer();
    TracerAvancement();
    TracerSecondGraphique();
    TracerTangente();
    EcrireResultats();
    EcrireEtat();
}

void FenetreAnalyse::TracerAvancement()
{
    graphiques_->TracerAvancement(analyse_, DecimalSeparator()); // its marks cleared, the tangent's among them
    marqueTangente_ = 0;
}

void FenetreAnalyse::BasculerExclusion(double t)
{
    const int i = analyse_.PointLePlusProche(t);
    if (i < 0)
        return;
    analyse_.BasculerExclusion(i);
    Actualiser();
}

bool FenetreAnalyse::AnnulerExclusion()
{
    if (!analyse_.AnnulerExclusion())
        return false;
    Actualiser();
    return true;
}

void FenetreAnalyse::TracerSecondGraphique()
{
    // The shown tab's alone (its series filled again when it is chosen).
    const int onglet = Onglets->currentIndex();
    graphiques_->TracerSecond(analyse_, onglet == kOngletVitesse ? GraphiquesEssai::Second::Vitesse
                                        : onglet == kOngletTest  ? GraphiquesEssai::Second::Test
                                                                 : GraphiquesEssai::Second::Aucun,
                              DecimalSeparator());
}

void FenetreAnalyse::PoserTangente(double t)
{
    const int i = analyse_.PointLePlusProche(t);
    if (i < 0)
        return;
    tempsTangente_ = analyse_.Donnees().points[static_cast<std::size_t>(i)].t;
    TracerTangente();
}

void FenetreAnalyse::RetirerTangente()
{
    tempsTangente_.reset();
    TracerTangente();
}

void FenetreAnalyse::TracerTangente()
{
    if (marqueTangente_ != 0)
        GraphiqueAvancement->ChartMarks().Remove(marqueTangente_);
    marqueTangente_ = 0;
    TexteTangente->clear();
    analyse_.SetTangente(tempsTangente_);
    if (!tempsTangente_)
        return;
    const double t = *tempsTangente_;
    const auto x = analyse_.AvancementModele(t);
    const auto pente = analyse_.PenteModele(t);
    const auto ligne = analyse_.LigneTangente(DecimalSeparator());
    if (!x || !pente || !ligne) {
        TexteTangente->setText(QStringLiteral("Tangente : il faut une analyse, le volume et la température."));
        return;
    }
    marqueTangente_ = graphiques_->AjouterTangente(t, *x, *pente);
    TexteTangente->setText(AvecIndices(ligne->first + " " + ligne->second + " (Échap : l'effacer)"));
}

void FenetreAnalyse::EcrireResultats()
{
    if (!analyse_.Valide()) {
        Resultats->setText(Texte(analyse_.Erreur()).toHtmlEscaped());
        return;
    }
    std::string texte;
    for (const auto& [libelle, valeur] : analyse_.LignesResultats(DecimalSeparator()))
        texte += libelle + " : " + valeur + "\n";
    if (!texte.empty())
        texte.pop_back();
    Resultats->setText(AvecIndices(texte));
}

void FenetreAnalyse::EcrireEtat()
{
    QStringList parties;
    if (enCours_)
        parties << QStringLiteral("Mesure en cours");
    if (const int retard = analyse_.LecturesEnRetard(); retard > 0)
        parties << Texte(std::to_string(retard) + (retard > 1 ? " lectures" : " lecture") + " en retard (plus de " +
                         Nombre(kRetardLecture) + " s)");
    if (!lecture_.isEmpty())
        parties << lecture_;
    Etat->setText(parties.join(QStringLiteral(" — ")));
}

void FenetreAnalyse::Pointeur(double t)
{
    const int i = analyse_.PointLePlusProche(t);
    if (i < 0)
        return;
    const Cinetique::Point& point = analyse_.Donnees().points[static_cast<std::size_t>(i)];
    const auto x = analyse_.Avancement(i);
    lecture_ = Texte("Point le plus proche : t = " + Nombre(point.t, 6) + " s ; x = " +
                     (x ? Nombre(*x * Constantes::kMmolParMol, 4) + " mmol" : std::string("—")) + " ; p = " +
                     Nombre(point.p, 6) + " Pa");
    EcrireEtat();
}

void FenetreAnalyse::LireConditions()
{
    try {
        analyse_.SetConditions(NombreDuChamp(ChampVolume), NombreDuChamp(ChampTemperature));
    } catch (const Exception& e) {
        Resultats->setText(Texte(e.Message()).toHtmlEscaped());
        return;
    }
    essais_.SetConditions(analyse_.Donnees().nom, analyse_.Donnees().volume, analyse_.Donnees().temperature);
    Actualiser();
    ActualiserComparaison();
}

void FenetreAnalyse::LireIntervalle()
{
    try {
        analyse_.SetIntervalle(NombreDuChamp(ChampDebut), NombreDuChamp(ChampFin));
    } catch (const Exception& e) {
        Resultats->setText(Texte(e.Message()).toHtmlEscaped());
        return;
    }
    Actualiser();
}

void FenetreAnalyse::MarqueurDeplace(bool debut, double valeur)
{
    (debut ? ChampDebut : ChampFin)->setText(Texte(Nombre(valeur, 6)));
    analyse_.SetIntervalle(debut ? std::optional<double>(valeur) : analyse_.Debut(),
                           debut ? analyse_.Fin() : std::optional<double>(valeur));
    Actualiser();
}

void FenetreAnalyse::MontrerAide()
{
    if (!Aide) {
        // Made once: the demonstration run analysed as any run is.
        AnalyseEssai demonstration;
        demonstration.SetDonnees(EssaiDeDemonstration());
        demonstration.Recalculer();
        Aide = new QDialog(this);
        Aide->setWindowTitle(QStringLiteral("Aide : comprendre les résultats"));
        auto* texte = new QTextBrowser(Aide);
        texte->setHtml(Texte(PageAide(demonstration, DecimalSeparator())));
        auto* colonne = new QVBoxLayout(Aide);
        colonne->addWidget(texte);
        Aide->resize(echelle_.Scale(QSize(560, 520)));
    }
    Aide->show();
    Aide->raise();
}

void FenetreAnalyse::Annuler()
{
    // The last exclusion first; else the zoom of every chart: only the one
    // zoomed or scrolled has a scale to get back.
    if (AnnulerExclusion())
        return;
    for (TChart* graphique : {GraphiqueAvancement, GraphiqueVitesse, GraphiqueTest, GraphiqueComparaison})
        graphique->UndoZoom();
}

void FenetreAnalyse::CopierResultats()
{
    const std::string texte = analyse_.TexteResultats(DecimalSeparator());
    if (texte.empty())
        return;
    try {
        plateForme_.PlaceOnClipboard(texte);
    } catch (const Exception& e) {
        Resultats->setText(Texte(e.Message()).toHtmlEscaped());
    }
}

void FenetreAnalyse::CopierComparaison()
{
    try {
        plateForme_.PlaceOnClipboard(essais_.TexteTableau(DecimalSeparator()));
    } catch (const Exception& e) {
        Resultats->setText(Texte(e.Message()).toHtmlEscaped());
    }
}

void FenetreAnalyse::CopierTableau()
{
    try {
        plateForme_.PlaceOnClipboard(analyse_.TexteTableau(DecimalSeparator()));
    } catch (const Exception& e) {
        Resultats->setText(Texte(e.Message()).toHtmlEscaped());
    }
}
