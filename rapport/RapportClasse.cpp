#include "rapport/RapportClasse.h"

#include "rapport/GraphiquesSynthese.h"
#include "classe/Formulations.h"
#include "chart/TCustomChart.h"
#include "rapport/DessinCompteRendu.h"
#include "runtime/HeureLocale.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>

namespace RapportClasse {

namespace {

using CompteRendu::kPixelsParPouce;
using CompteRendu::kResolutionPdf;

constexpr double kPied = 6;            // mm, the foot of every page
constexpr double kEcart = 4;           // mm between blocks
constexpr double kMarcheCellule = 1.5; // mm on each side of a cell's text
constexpr double kJeu = 0.5;           // mm more than a cell's text, so that none is cut by rounding
constexpr double kLargeurMinFichier = 30;  // mm: a longer name is cut in its middle
constexpr double kLargeurMinRemarque = 30; // mm: a longer remark is wrapped
constexpr std::array<double, 5> kTaillesTableau = {7, 6.5, 6, 5.5, 5}; // points
constexpr double kPartLibelle = 0.55; // of the width, the conclusions' names

QString Texte(const std::string& s) { return QString::fromStdString(s); }

// The pages as a list of drawings, each at its place on its page; the foot
// of each, which needs the pages' count, is drawn last.
class Pages {
public:
    using Dessin = std::function<void(QPainter&)>;
    Pages(double largeur, double hauteur) : largeur_(largeur), hauteur_(hauteur - kPied) { pages_.emplace_back(); }

    // Room for `hauteur` under what is on the page, else a new page.
    double Place(double hauteur)
    {
        if (y_ > 0 && y_ + hauteur > hauteur_)
            NouvellePage();
        const double y = y_;
        y_ += hauteur;
        return y;
    }
    bool Tient(double hauteur) const { return y_ + hauteur <= hauteur_; }
    void NouvellePage()
    {
        pages_.emplace_back();
        y_ = 0;
    }
    void Ajouter(Dessin dessin) { pages_.back().push_back(std::move(dessin)); }
    void Espacer(double mm) { y_ += mm; }
    double Largeur() const { return largeur_; }
    double Hauteur() const { return hauteur_; }
    const std::vector<std::vector<Dessin>>& Toutes() const { return pages_; }

private:
    double largeur_, hauteur_;
    double y_ = 0;
    std::vector<std::vector<Dessin>> pages_;
};

} // namespace

bool Dessiner(QPagedPaintDevice& device, const Classe::Synthese& synthese, const EnTete& entete)
{
    QPainter painter;
    const std::optional<CompteRendu::FeuilleA4> page = CompteRendu::CommencerPage(device, painter, QPageLayout::Landscape);
    if (!page)
        return false;
    const double mm = page->mm;
    Pages pages(page->largeur, page->hauteur);
    // The runs by their file name (the folder is named above), and the
    // table's font: the largest whose columns of numbers fit, whole, beside
    // a file name of kLargeurMinFichier and a remark of kLargeurMinRemarque.
    const Classe::Rangee enTetes = Classe::EnTetes(synthese.facteur);
    const std::vector<std::string> entetes(enTetes.begin(), enTetes.end());
    std::vector<std::vector<std::string>> lignes;
    for (const Classe::EssaiClasse& essai : synthese.essais) {
        const Classe::Rangee cellules = Classe::Cellules(essai, CompteRendu::kSeparateurDecimal);
        lignes.emplace_back(cellules.begin(), cellules.end());
        lignes.back()[static_cast<std::size_t>(Classe::Colonne::Fichier)] = essai.nom;
    }
    const std::size_t colonnes = entetes.size();
    std::vector<double> largeurs(colonnes, 0); // mm
    double taille = kTaillesTableau.back();
    for (const double t : kTaillesTableau) {
        const QFontMetricsF m(CompteRendu::Police(t), &device), mGras(CompteRendu::Police(t, true), &device);
        for (std::size_t c = 0; c < colonnes; ++c) {
            double l = 0;
            for (const QString& mot : Texte(entetes[c]).split(QLatin1Char(' '))) // headers wrap
                l = std::max(l, mGras.horizontalAdvance(mot));
            for (const auto& rang : lignes)
                if (c < rang.size())
                    l = std::max(l, m.horizontalAdvance(Texte(rang[c])));
            largeurs[c] = l / mm + 2 * kMarcheCellule + kJeu;
        }
        taille = t;
        if (colonnes < 2 ||
            std::accumulate(largeurs.begin() + 1, largeurs.end() - 1, 0.0) + kLargeurMinFichier + kLargeurMinRemarque <=
                pages.Largeur())
            break;
    }
    if (colonnes >= 2) {
        const double nombres = std::accumulate(largeurs.begin() + 1, largeurs.end() - 1, 0.0);
        // The file names whole when the remarks leave room for them.
        const double remarque = std::min(largeurs.back(), kLargeurMinRemarque);
        largeurs.front() = std::clamp(pages.Largeur() - nombres - remarque, kLargeurMinFichier,
                                      std::max(largeurs.front(), kLargeurMinFichier));
        largeurs.back() = std::max(pages.Largeur() - nombres - largeurs.front(), remarque);
    }

    const QFont titre = CompteRendu::Police(16, true), intertitre = CompteRendu::Police(12, true),
                texte = CompteRendu::Police(10), petit = CompteRendu::Police(taille),
                petitGras = CompteRendu::Police(taille, true), pied = CompteRendu::Police(8.5);
    const QFontMetricsF mesureTexte(texte, &device), mesurePetit(petit, &device), mesureGras(petitGras, &device);
    const double ligne = mesureTexte.height() / mm * 1.15, lignePetite = mesurePetit.height() / mm * 1.1;

    auto ecrire = [&](const std::string& s, const QFont& police, double hauteur) {
        const double y = pages.Place(hauteur);
        pages.Ajouter([&, s, police, y, hauteur](QPainter& p) {
            p.setFont(police);
            p.drawText(QRectF(0, y * mm, pages.Largeur() * mm, hauteur * mm),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, Texte(s));
        });
    };

    // The heading.
    ecrire("Synthèse de la classe", titre, 12);
    std::string sources;
    for (const std::string& s : entete.sources)
        sources += (sources.empty() ? "" : ", ") + s;
    ecrire("Dossier : " + sources, texte, ligne);
    ecrire("Synthèse faite " + HeureLocale(entete.moment, "le %d/%m/%Y à %H:%M"), texte, ligne);
    ecrire(synthese.facteur.nom.empty()
               ? std::string("Facteur étudié : aucun autre que la température")
               : "Facteur étudié : " + synthese.facteur.nom +
                     (synthese.facteur.unite.empty() ? "" : " (" + synthese.facteur.unite + ")") +
                     (synthese.facteur.nature == Classe::Nature::Autre
                          ? ""
                          : ", " + std::string(Classe::MotNature(synthese.facteur.nature))),
           texte, ligne);
    ecrire(std::to_string(synthese.essais.size()) + " essai" + (synthese.essais.size() > 1 ? "s" : "") +
               " analysé" + (synthese.essais.size() > 1 ? "s" : "") + ", " + std::to_string(synthese.ecartes.size()) +
               " fichier" + (synthese.ecartes.size() > 1 ? "s" : "") + " écarté" +
               (synthese.ecartes.size() > 1 ? "s" : ""),
           texte, ligne);
    pages.Espacer(kEcart);

    // The table, its header again at the top of each page it goes on.
    if (colonnes > 0) {
        // A row's height: its header's or its remark's lines.
        auto hauteurRangee = [&](const std::vector<std::string>& cellules, bool entete) {
            double hauteur = lignePetite;
            for (std::size_t c = entete ? 0 : colonnes - 1; c < cellules.size() && c < colonnes; ++c) {
                const double l = (largeurs[c] - 2 * kMarcheCellule) * mm;
                const QRectF r = (entete ? mesureGras : mesurePetit)
                                     .boundingRect(QRectF(0, 0, l, 1e6), Qt::TextWordWrap, Texte(cellules[c]));
                hauteur = std::max(hauteur, r.height() / mm * 1.05);
            }
            return hauteur;
        };
        auto rangee = [&, largeurs](const std::vector<std::string>& cellules, bool entete) {
            const double hauteur = hauteurRangee(cellules, entete);
            const double y = pages.Place(hauteur);
            pages.Ajouter([&, cellules, entete, y, hauteur, largeurs](QPainter& p) {
                p.setFont(entete ? petitGras : petit);
                const QFontMetricsF& mesure = entete ? mesureGras : mesurePetit;
                double x = 0;
                for (std::size_t c = 0; c < cellules.size() && c < largeurs.size(); ++c) {
                    const QRectF r((x + kMarcheCellule) * mm, y * mm, (largeurs[c] - 2 * kMarcheCellule) * mm,
                                   hauteur * mm);
                    const bool derniere = c + 1 == largeurs.size();
                    if (entete || derniere)
                        p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Texte(cellules[c]));
                    else
                        p.drawText(r, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop,
                                   mesure.elidedText(Texte(cellules[c]), Qt::ElideMiddle, r.width()));
                    x += largeurs[c];
                }
                if (entete)
                    p.drawLine(QLineF(0, (y + hauteur) * mm, pages.Largeur() * mm, (y + hauteur) * mm));
            });
        };
        if (!pages.Tient(hauteurRangee(entetes, true) + lignePetite))
            pages.NouvellePage();
        rangee(entetes, true);
        for (const std::vector<std::string>& cellules : lignes) {
            // A row that goes on a new page has the header again above it.
            if (!pages.Tient(hauteurRangee(cellules, false))) {
                pages.NouvellePage();
                rangee(entetes, true);
            }
            rangee(cellules, false);
        }
        pages.Espacer(kEcart);
    }

    if (!synthese.ecartes.empty()) {
        ecrire("Fichiers écartés", intertitre, 9);
        for (const Classe::FichierEcarte& e : synthese.ecartes)
            ecrire(e.chemin + " : " + e.raison, petit, lignePetite);
        pages.Espacer(kEcart);
    }

    // The conclusions: name, then value and standard uncertainty rounded together, or a sentence.
    ecrire("Conclusions", intertitre, 9);
    if (synthese.conclusions.empty())
        ecrire("Aucune : il faut au moins trois températures, ou un facteur nommé et ses valeurs.", texte, ligne);
    // Each on one row: its name, then its value and uncertainty (or its
    // sentence), both wrapped in their columns.
    const double libelle = pages.Largeur() * kPartLibelle;
    for (const Classe::Conclusion& conclusion : synthese.conclusions) {
        const QString nom = Texte(Classe::Cellules(synthese, conclusion, CompteRendu::kSeparateurDecimal)[0]);
        const std::string valeur = Classe::TexteArrondi(conclusion, CompteRendu::kSeparateurDecimal);
        const QRectF rNom = mesureTexte.boundingRect(QRectF(0, 0, (libelle - kEcart) * mm, 1e6), Qt::TextWordWrap, nom);
        const QRectF rValeur = mesureTexte.boundingRect(QRectF(0, 0, (pages.Largeur() - libelle) * mm, 1e6),
                                                        Qt::TextWordWrap, Texte(valeur));
        const double hauteur = std::max({ligne, rNom.height() / mm * 1.05, rValeur.height() / mm * 1.05});
        const double y = pages.Place(hauteur);
        pages.Ajouter([&, nom, valeur, y, hauteur, libelle](QPainter& p) {
            p.setFont(texte);
            p.drawText(QRectF(0, y * mm, (libelle - kEcart) * mm, hauteur * mm),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, nom);
            p.drawText(QRectF(libelle * mm, y * mm, (pages.Largeur() - libelle) * mm, hauteur * mm),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Texte(valeur));
        });
    }

    // The charts, two a page side by side, filled here and drawn straight
    // onto the pages, never shown; each on its whole automatic scale.
    TCustomChart k, tDemi, arrhenius, courbes;
    GraphiquesSynthese graphiques(k, tDemi, arrhenius, courbes);
    graphiques.Remplir(synthese, CompteRendu::kSeparateurDecimal);
    const std::vector<TCustomChart*> remplis = graphiques.Remplis();
    for (TCustomChart* g : remplis)
        for (TChartAxis* axe : {&g->LeftAxis(), &g->BottomAxis()})
            axe->SetAutomatic(true);
    const double largeurGraphique = (pages.Largeur() - kEcart) / 2;
    const double hauteurGraphique = std::min(pages.Hauteur(), largeurGraphique * 0.75);
    for (std::size_t n = 0; n < remplis.size(); ++n) {
        if (n % 2 == 0)
            pages.NouvellePage();
        TCustomChart* g = remplis[n];
        const double x = n % 2 == 0 ? 0 : largeurGraphique + kEcart;
        pages.Ajouter([&, g, x](QPainter& p) {
            CompteRendu::DessinerGraphique(*g, p, QRectF(x * mm, 0, largeurGraphique * mm, hauteurGraphique * mm),
                                           device.logicalDpiX() / kPixelsParPouce);
        });
    }

    const auto& toutes = pages.Toutes();
    for (std::size_t n = 0; n < toutes.size(); ++n) {
        if (n > 0)
            device.newPage();
        for (const Pages::Dessin& d : toutes[n])
            d(painter);
        painter.setFont(pied);
        const QRectF r(0, pages.Hauteur() * mm, pages.Largeur() * mm, kPied * mm);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Synthèse de la classe"));
        painter.drawText(r, Qt::AlignRight | Qt::AlignBottom,
                         QString::number(n + 1) + QLatin1Char('/') + QString::number(toutes.size()));
    }
    return painter.end();
}

std::string Pdf(const Classe::Synthese& synthese, const EnTete& entete)
{
    QByteArray octets;
    {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&tampon);
        pdf.setResolution(kResolutionPdf);
        pdf.setTitle(QStringLiteral("Synthèse de la classe"));
        pdf.setCreator(QStringLiteral("Nelvar"));
        Dessiner(pdf, synthese, entete);
    }
    return std::string(octets.constData(), static_cast<std::size_t>(octets.size()));
}

void Enregistrer(const std::string& chemin, const Classe::Synthese& synthese, const EnTete& entete)
{
    CompteRendu::Ecrire(chemin, Pdf(synthese, entete));
}

} // namespace RapportClasse
