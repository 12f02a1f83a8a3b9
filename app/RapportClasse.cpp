#include "app/RapportClasse.h"

#include "app/GraphiquesClasse.h"
#include "app/TexteClasse.h"
#include "chart/TChart.h"
#include "rapport/DessinCompteRendu.h"
#include "runtime/HeureLocale.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>
#include <numeric>

namespace RapportClasse {

namespace {

constexpr double kMmParPouce = 25.4;
constexpr double kPixelsParPouce = 96; // the charts' layout
constexpr double kMarge = 15;          // mm
constexpr int kResolutionPdf = 1200;
constexpr double kPied = 6;            // mm, the foot of every page
constexpr double kEcart = 4;           // mm between blocks
constexpr double kMarcheCellule = 1.5; // mm on each side of a cell's text
constexpr double kLargeurMaxColonne = 48; // mm: a longer cell is cut (the remark is wrapped instead)
constexpr double kLargeurMinRemarque = 40; // mm
constexpr double kLibelleConclusion = 110; // mm, the conclusions' names

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

bool Dessiner(QPagedPaintDevice& device, const Classe::Synthese& synthese, const EnTete& entete,
              GraphiquesClasse& graphiques)
{
    CompteRendu::VirguleDecimale virgule;
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(kMarge, kMarge, kMarge, kMarge), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double mm = device.logicalDpiX() / kMmParPouce; // device units a millimetre
    const QRectF zone = device.pageLayout().paintRectPixels(device.logicalDpiX());
    Pages pages(zone.width() / mm, zone.height() / mm);
    const QFont titre = CompteRendu::Police(16, true), intertitre = CompteRendu::Police(12, true),
                texte = CompteRendu::Police(10), petit = CompteRendu::Police(7), petitGras = CompteRendu::Police(7, true),
                pied = CompteRendu::Police(8.5);
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
                     (synthese.facteur.unite.empty() ? "" : " (" + synthese.facteur.unite + ")"),
           texte, ligne);
    ecrire(std::to_string(synthese.essais.size()) + " essai" + (synthese.essais.size() > 1 ? "s" : "") +
               " analysé" + (synthese.essais.size() > 1 ? "s" : "") + ", " + std::to_string(synthese.ecartes.size()) +
               " fichier" + (synthese.ecartes.size() > 1 ? "s" : "") + " écarté" +
               (synthese.ecartes.size() > 1 ? "s" : ""),
           texte, ligne);
    pages.Espacer(kEcart);

    // The table: each column as wide as its widest cell (within a bound),
    // the remark taking what is left, and all of them narrower together
    // when the page is too narrow.
    // The runs by their file name: the folder is named above.
    TexteClasse::Decoupe decoupe = TexteClasse::Decouper(Classe::TexteSynthese(synthese));
    for (std::size_t n = 0; n < decoupe.lignes.size() && n < synthese.essais.size(); ++n)
        if (!decoupe.lignes[n].empty())
            decoupe.lignes[n][0] = synthese.essais[n].nom;
    const std::size_t colonnes = decoupe.entetes.size();
    if (colonnes > 0) {
        std::vector<double> largeurs(colonnes, 0);
        for (std::size_t c = 0; c + 1 < colonnes; ++c) {
            double l = mesureGras.horizontalAdvance(Texte(decoupe.entetes[c])) / 2; // headers take two lines
            for (const auto& rang : decoupe.lignes)
                if (c < rang.size())
                    l = std::max(l, mesurePetit.horizontalAdvance(Texte(rang[c])));
            largeurs[c] = std::min(l / mm + 2 * kMarcheCellule, kLargeurMaxColonne);
        }
        const double autres = std::accumulate(largeurs.begin(), largeurs.end() - 1, 0.0);
        const double reste = pages.Largeur() - kLargeurMinRemarque;
        if (autres > reste)
            for (std::size_t c = 0; c + 1 < colonnes; ++c)
                largeurs[c] *= reste / autres;
        largeurs.back() = pages.Largeur() - std::min(autres, reste);

        // A row's height: the header's two lines, or the remark's lines.
        auto hauteurRangee = [&](const std::vector<std::string>& cellules, bool entete) {
            if (entete)
                return 2 * lignePetite;
            double hauteur = lignePetite;
            if (cellules.size() == colonnes) {
                const double l = (largeurs.back() - 2 * kMarcheCellule) * mm;
                const QRectF r =
                    mesurePetit.boundingRect(QRectF(0, 0, l, 1e6), Qt::TextWordWrap, Texte(cellules.back()));
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
        if (!pages.Tient(hauteurRangee(decoupe.entetes, true) + lignePetite))
            pages.NouvellePage();
        rangee(decoupe.entetes, true);
        for (const std::vector<std::string>& cellules : decoupe.lignes) {
            // A row that goes on a new page has the header again above it.
            if (!pages.Tient(hauteurRangee(cellules, false))) {
                pages.NouvellePage();
                rangee(decoupe.entetes, true);
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

    // The conclusions: name, value and standard uncertainty, or a sentence.
    ecrire("Conclusions", intertitre, 9);
    if (decoupe.conclusions.empty())
        ecrire("Aucune : il faut au moins trois températures, ou un facteur nommé et ses valeurs.", texte, ligne);
    for (const std::vector<std::string>& c : decoupe.conclusions) {
        const double y = pages.Place(ligne);
        pages.Ajouter([&, c, y](QPainter& p) {
            p.setFont(texte);
            const double l = std::min(kLibelleConclusion, pages.Largeur() / 2);
            std::string valeur = c.size() > 1 ? c[1] : "";
            if (c.size() > 2 && !c[2].empty())
                valeur += "   (incertitude-type : " + c[2] + ")";
            p.drawText(QRectF(0, y * mm, l * mm, ligne * mm), Qt::AlignLeft | Qt::AlignVCenter,
                       mesureTexte.elidedText(Texte(c.empty() ? "" : c[0]), Qt::ElideRight, l * mm));
            p.drawText(QRectF(l * mm, y * mm, (pages.Largeur() - l) * mm, ligne * mm),
                       Qt::AlignLeft | Qt::AlignVCenter, Texte(valeur));
        });
    }

    // The charts, two a page side by side.
    const std::vector<TChart*> remplis = graphiques.Remplis();
    const double largeurGraphique = (pages.Largeur() - kEcart) / 2;
    const double hauteurGraphique = std::min(pages.Hauteur(), largeurGraphique * 0.75);
    for (std::size_t n = 0; n < remplis.size(); ++n) {
        if (n % 2 == 0)
            pages.NouvellePage();
        TChart* g = remplis[n];
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

std::string Pdf(const Classe::Synthese& synthese, const EnTete& entete, GraphiquesClasse& graphiques)
{
    QByteArray octets;
    {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&tampon);
        pdf.setResolution(kResolutionPdf);
        pdf.setTitle(QStringLiteral("Synthèse de la classe"));
        pdf.setCreator(QStringLiteral("Nelvar"));
        Dessiner(pdf, synthese, entete, graphiques);
    }
    return std::string(octets.constData(), static_cast<std::size_t>(octets.size()));
}

void Enregistrer(const std::string& chemin, const Classe::Synthese& synthese, const EnTete& entete)
{
    GraphiquesClasse graphiques;
    graphiques.Remplir(synthese);
    CompteRendu::Ecrire(chemin, Pdf(synthese, entete, graphiques));
}

} // namespace RapportClasse
