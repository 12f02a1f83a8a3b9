#include "rapport/DessinCompteRendu.h"

#include "runtime/FichierTexte.h"
#include "chart/FontFallback.h"
#include "chart/TCustomChartPanel.h"
#include "numtext/NumberText.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace CompteRendu {

namespace {

const char* const kPolice = "Liberation Sans";

QString Texte(const std::string& s) { return QString::fromStdString(s); }

// A line of text in `cadre` where "_" followed by letters or digits writes
// them as a subscript (three quarters the size, baseline lowered by a fifth
// of the font's height): "x_f", "t_a". A text without it, or too wide for one
// line, is drawn as it is, word-wrapped with `drapeaux`.
void TexteAvecIndices(QPainter& painter, const QRectF& cadre, const std::string& texte, const QFont& police,
                      int drapeaux)
{
    painter.setFont(police);
    static const QRegularExpression indice(QStringLiteral("_([A-Za-z0-9]+)"));
    const QString ligne = Texte(texte);
    const QFontMetricsF mesure(police, painter.device());
    QFont petite = police;
    petite.setPointSizeF(police.pointSizeF() * 0.75);
    const QFontMetricsF mesurePetite(petite, painter.device());
    // The parts, and their width.
    std::vector<std::pair<QString, bool>> parties;
    qsizetype debut = 0;
    for (auto it = indice.globalMatch(ligne); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() > debut)
            parties.emplace_back(ligne.mid(debut, m.capturedStart() - debut), false);
        parties.emplace_back(m.captured(1), true);
        debut = m.capturedEnd();
    }
    if (debut < ligne.size())
        parties.emplace_back(ligne.mid(debut), false);
    double largeur = 0;
    for (const auto& [partie, bas] : parties)
        largeur += (bas ? mesurePetite : mesure).horizontalAdvance(partie);
    if (parties.size() < 2 || largeur > cadre.width()) {
        painter.drawText(cadre, drapeaux, ligne);
        return;
    }
    double x = cadre.left();
    const double ligneDeBase = cadre.top() + mesure.ascent();
    for (const auto& [partie, bas] : parties) {
        painter.setFont(bas ? petite : police);
        painter.drawText(QPointF(x, ligneDeBase + (bas ? mesure.height() / 5 : 0)), partie);
        x += (bas ? mesurePetite : mesure).horizontalAdvance(partie);
    }
    painter.setFont(police);
}

std::string Octets(const QByteArray& a) { return std::string(a.constData(), static_cast<std::size_t>(a.size())); }

} // namespace

QFont Police(double points, bool gras)
{
    QFont police(QString::fromLatin1(kPolice));
    police.setPointSizeF(points);
    police.setBold(gras);
    return WithFallbackFamily(police);
}

void DessinerGraphique(TCustomChartPanel& graphique, QPainter& painter, const QRectF& cadre, double echelle)
{
    const TColor couleur = graphique.Color();
    const TPanelBevel biseau = graphique.BevelOuter();
    const std::optional<char> separateur = graphique.LabelsSeparatorSet();
    graphique.SetColor(clWhite);
    graphique.SetBevelOuter(bvNone);
    graphique.SetLabelsDecimalSeparator(kSeparateurDecimal);
    painter.save();
    painter.setClipRect(cadre);
    painter.translate(cadre.topLeft());
    painter.scale(echelle, echelle);
    graphique.PaintOn(painter, static_cast<int>(cadre.width() / echelle), static_cast<int>(cadre.height() / echelle));
    painter.restore();
    graphique.SetColor(couleur);
    graphique.SetBevelOuter(biseau);
    graphique.SetLabelsDecimalSeparator(separateur);
}

std::optional<FeuilleA4> CommencerPage(QPagedPaintDevice& device, QPainter& painter, QPageLayout::Orientation orientation)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(kMarge, kMarge, kMarge, kMarge),
                                     QPageLayout::Millimeter));
    if (!painter.begin(&device))
        return std::nullopt;
    const double mm = device.logicalDpiX() / kMmParPouce;
    const QRectF zone = device.pageLayout().paintRectPixels(device.logicalDpiX());
    return FeuilleA4{mm, zone.width() / mm, zone.height() / mm};
}

bool Dessiner(QPagedPaintDevice& device, const Contenu& contenu, const std::vector<TCustomChartPanel*>& graphiques)
{
    QPainter painter;
    const std::optional<FeuilleA4> page = CommencerPage(device, painter, QPageLayout::Portrait);
    if (!page)
        return false;
    const double mm = page->mm;
    Gabarit gabarit;
    gabarit.largeur = page->largeur;
    gabarit.hauteur = page->hauteur;
    auto rect = [mm](const Bloc& b) { return QRectF(b.x * mm, b.y * mm, b.largeur * mm, b.hauteur * mm); };

    const std::vector<Page> pages = MiseEnPage(contenu, gabarit);
    const QFont titre = Police(16, true), intertitre = Police(12, true), texte = Police(10), petit = Police(8.5),
                petitGras = Police(8.5, true);
    for (std::size_t n = 0; n < pages.size(); ++n) {
        if (n > 0)
            device.newPage();
        for (const Bloc& b : pages[n]) {
            const QRectF r = rect(b);
            switch (b.sorte) {
            case Sorte::Titre:
                painter.setFont(titre);
                painter.drawText(r, Qt::AlignLeft | Qt::AlignTop, Texte(contenu.titre));
                break;
            case Sorte::LigneEssai:
                TexteAvecIndices(painter, r, contenu.essai[static_cast<std::size_t>(b.indice)], texte,
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
                break;
            case Sorte::Graphique:
                if (b.indice < static_cast<int>(graphiques.size()) && graphiques[static_cast<std::size_t>(b.indice)])
                    DessinerGraphique(*graphiques[static_cast<std::size_t>(b.indice)], painter, r,
                                      device.logicalDpiX() / kPixelsParPouce);
                break;
            case Sorte::Intertitre:
                painter.setFont(intertitre);
                painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, Texte(b.texte));
                break;
            case Sorte::Resultat: {
                const auto& [libelle, valeur] = contenu.resultats[static_cast<std::size_t>(b.indice)];
                const double l = gabarit.libelleResultat * mm;
                TexteAvecIndices(painter, QRectF(r.left(), r.top(), l, r.height()), libelle + " :", texte,
                                 Qt::AlignLeft | Qt::AlignTop);
                TexteAvecIndices(painter, QRectF(r.left() + l, r.top(), r.width() - l, r.height()), valeur, texte,
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
                break;
            }
            case Sorte::PiedDePage:
                painter.setFont(petit);
                painter.drawText(r, Qt::AlignLeft | Qt::AlignBottom,
                                 QFontMetricsF(petit, &device)
                                     .elidedText(Texte(contenu.pied), Qt::ElideMiddle, r.width() - 20 * mm));
                painter.drawText(r, Qt::AlignRight | Qt::AlignBottom, Texte(b.texte));
                break;
            case Sorte::EnteteTableau:
            case Sorte::LigneTableau: {
                const bool entete = b.sorte == Sorte::EnteteTableau;
                painter.setFont(entete ? petitGras : petit);
                const auto& cellules = entete ? contenu.entetes : contenu.tableau[static_cast<std::size_t>(b.indice)];
                const double w = r.width() / 3;
                for (std::size_t k = 0; k < cellules.size(); ++k)
                    painter.drawText(QRectF(r.left() + k * w, r.top(), w - 2 * mm, r.height()),
                                     Qt::AlignRight | Qt::AlignVCenter, Texte(cellules[k]));
                if (entete)
                    painter.drawLine(QLineF(r.left(), r.bottom(), r.right() - 2 * mm, r.bottom()));
                break;
            }
            }
        }
    }
    return painter.end();
}

std::string Pdf(const Contenu& contenu, const std::vector<TCustomChartPanel*>& graphiques)
{
    QByteArray octets;
    {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&tampon);
        pdf.setResolution(kResolutionPdf);
        pdf.setTitle(Texte(contenu.titre));
        pdf.setCreator(QStringLiteral("Nelvar"));
        Dessiner(pdf, contenu, graphiques);
    }
    return Octets(octets);
}

void EnregistrerPdf(const std::string& chemin, const Contenu& contenu,
                    const std::vector<TCustomChartPanel*>& graphiques)
{
    Ecrire(chemin, Pdf(contenu, graphiques));
}

FormatImage FormatDuNom(const std::string& chemin)
{
    const std::size_t point = chemin.rfind('.'), barre = chemin.rfind('/');
    std::string extension;
    if (point != std::string::npos && (barre == std::string::npos || point > barre))
        extension = chemin.substr(point + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "svg")
        return FormatImage::Svg;
    if (extension == "pdf")
        return FormatImage::Pdf;
    return FormatImage::Png;
}

std::string ImagePng(TCustomChartPanel& graphique, int largeur, int hauteur, int ppp)
{
    QImage image(std::max(largeur, 1), std::max(hauteur, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    const int parMetre = static_cast<int>(ppp / 0.0254 + 0.5);
    image.setDotsPerMeterX(parMetre);
    image.setDotsPerMeterY(parMetre);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        DessinerGraphique(graphique, painter, QRectF(0, 0, image.width(), image.height()), ppp / kPixelsParPouce);
    }
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    image.save(&tampon, "PNG");
    return Octets(octets);
}

std::string ImageSvg(TCustomChartPanel& graphique, int largeur, int hauteur, const std::string& titre)
{
    QByteArray octets;
    {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&tampon);
        svg.setResolution(static_cast<int>(kPixelsParPouce));
        svg.setSize(QSize(largeur, hauteur));
        svg.setViewBox(QRect(0, 0, largeur, hauteur));
        svg.setTitle(Texte(titre));
        QPainter painter(&svg);
        DessinerGraphique(graphique, painter, QRectF(0, 0, largeur, hauteur), 1.0);
    }
    return Octets(octets);
}

std::string ImagePdf(TCustomChartPanel& graphique, int largeur, int hauteur, const std::string& titre)
{
    QByteArray octets;
    {
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&tampon);
        pdf.setResolution(kResolutionPdf);
        pdf.setTitle(Texte(titre));
        pdf.setCreator(QStringLiteral("Nelvar"));
        const double points = 72.0 / kPixelsParPouce;
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(largeur * points, hauteur * points), QPageSize::Point,
                                                QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&pdf);
        const double echelle = kResolutionPdf / kPixelsParPouce;
        DessinerGraphique(graphique, painter, QRectF(0, 0, largeur * echelle, hauteur * echelle), echelle);
    }
    return Octets(octets);
}

void Ecrire(const std::string& chemin, const std::string& octets)
{
    FichierTexte::Remplacer(chemin, octets, FichierTexte::Lien::Suivi);
}

} // namespace CompteRendu
