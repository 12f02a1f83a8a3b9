// The report and the charts' files, read back by poppler-utils and an XML
// parser, from the command line and the analysis window. The run follows a
// first-order law (x_f = 2,93 mmol, t½ = 83,2 s at 0,25 L and 20 °C).
#include "analyse/fenetre/ExportAnalyse.h"
#include "analyse/EssaisCompares.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "commande/LigneCommande.h"
#include "chart/TChart.h"
#include "journal/LectureEssai.h"
#include "rapport/DessinCompteRendu.h"
#include "tests/app/support/FakePlatform.h"

#include <QAbstractButton>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr double kXf = 2.93e-3, kTDemi = 83.2, kMolParPa = 0.00025 / (8.314 * 293);

// A poppler tool's standard output on `pdf`.
std::string Sortie(const char* outil, const std::string& options, const fs::path& pdf, const char* fin = "")
{
    std::string texte;
    if (FILE* tube = ::popen((std::string(outil) + options + " '" + pdf.string() + "'" + fin).c_str(), "r")) {
        char tampon[4096];
        for (std::size_t n; (n = std::fread(tampon, 1, sizeof tampon, tube)) > 0;)
            texte.append(tampon, n);
        ::pclose(tube);
    }
    return texte;
}
std::string Texte(const fs::path& pdf, int premiere, int derniere)
{
    return Sortie(NELVAR_PDFTOTEXT, " -f " + std::to_string(premiere) + " -l " + std::to_string(derniere), pdf, " -");
}
// A4, and no picture in it (pdfimages lists its two header lines only).
void ExpectA4EnVecteurs(const fs::path& pdf)
{
    EXPECT_NE(Sortie(NELVAR_PDFINFO, "", pdf).find("(A4)"), std::string::npos) << pdf;
    const std::string images = Sortie(NELVAR_PDFIMAGES, " -list", pdf);
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2) << images;
}

class RapportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dossier = fs::path(::testing::TempDir()) / ("nelvar-rapport-" + std::to_string(::getpid()));
        fs::create_directories(dossier);
        essai = dossier / "essai.txt";
        std::ofstream f(essai);
        f << "Date, en s\tTension sur la voie 1, en V\r";
        f.precision(10);
        const double k = std::log(2.0) / kTDemi;
        for (int i = 0; i < 400; ++i)
            f << i * 1.00013 << "\t"
              << 1e5 + kXf / kMolParPa * (1 - std::exp(-k * i * 1.00013)) + (i % 2 ? 15.0 : -15.0) << "\r";
    }
    void TearDown() override { fs::remove_all(dossier); }

    int Rapport(std::vector<std::string> arguments)
    {
        erreurs.str("");
        return Cinetique::EnLigneDeCommande(arguments, DecimalSeparator(), erreurs, erreurs, {EnregistrerCompteRenduEssai, {}});
    }
    // The report the window saves, as poppler reads its first page.
    std::string PremierePageDuRapport(FenetreAnalyse& f)
    {
        const fs::path pdf = dossier / "cr.pdf";
        bureau.chosenName = pdf.string();
        f.Export->EnregistrerPdf->trigger();
        return Texte(pdf, 1, 1);
    }
    // The window on the saved run, with V and T.
    std::unique_ptr<FenetreAnalyse> Fenetre()
    {
        auto f = std::make_unique<FenetreAnalyse>(bureau, essais, nullptr);
        DonneesEssai d;
        d.nom = essai.string();
        d.points = Cinetique::LireFichierEssai(d.nom);
        d.fichier = true;
        d.volume = 0.25;
        d.temperature = 20;
        f->MontrerEssai(std::move(d), false);
        return f;
    }

    fs::path dossier, essai;
    std::ostringstream erreurs;
    FakePlatform bureau;
    EssaisCompares essais;
};

} // namespace

TEST_F(RapportTest, CommandLineWritesAnA4ReportWithValuesChartsAndTableAfter)
{
    const fs::path pdf = dossier / "cr.pdf";
    ASSERT_EQ(Rapport({"--rapport", pdf.string(), "--volume", "0,25", "--temperature", "20", "--debut", "2",
                       essai.string()}),
              0)
        << erreurs.str();
    ExpectA4EnVecteurs(pdf);
    const std::string premiere = Texte(pdf, 1, 1);
    for (const char* attendu : {"Compte rendu d'essai", "V = 0,25 L", "T = 20 °C", "Avancement au cours du temps",
                                "Vitesse volumique de réaction", "f = 2,93 mmol", "Remarque",
                                "de 2,00026 à 399,052 s", "non enregistrées dans le fichier",
                                // From 2 s: the half-time's line stands at t_a + t½ and says so.
                                "ta + t½ = 85,2 s", "(xa + xf)/2", "ta + τ = 122,0 s"})
        EXPECT_NE(premiere.find(attendu), std::string::npos) << attendu << "\n" << premiere;
    EXPECT_EQ(premiere.find("t½ = 83,2 s"), std::string::npos);
    EXPECT_EQ(premiere.find("x_f"), std::string::npos) << "subscripts drawn as subscripts";
    // Every page numbered and naming the run; times to the millisecond.
    const int pages = 4;
    for (int n = 1; n <= pages; ++n) {
        const std::string page = Texte(pdf, n, n);
        EXPECT_NE(page.find(std::to_string(n) + "/" + std::to_string(pages)), std::string::npos) << n;
        EXPECT_NE(page.find(essai.filename().string()), std::string::npos) << n;
    }
    EXPECT_NE(Texte(pdf, 2, 2).find("52,007"), std::string::npos);

    // The charts' number labels, row by row: neighbours at least a digit's
    // width apart (a digit is as wide as the label "0").
    const std::string boites = Sortie(NELVAR_PDFTOTEXT, " -f 1 -l 1 -bbox", pdf, " -");
    static const QRegularExpression mot(
        QStringLiteral(R"rx(xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([0-9]+)<)rx"));
    std::map<long, std::vector<std::pair<double, double>>> lignes; // y -> (xMin, xMax)
    double chiffre = 0;
    for (auto it = mot.globalMatch(QString::fromStdString(boites)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const double x0 = m.captured(1).toDouble(), x1 = m.captured(3).toDouble();
        lignes[std::lround(m.captured(2).toDouble())].emplace_back(x0, x1);
        if (m.captured(4) == QLatin1String("0"))
            chiffre = x1 - x0;
    }
    ASSERT_GT(chiffre, 0);
    int rangees = 0;
    for (auto& [y, boitesLigne] : lignes) {
        if (boitesLigne.size() < 4)
            continue; // not an axis's row
        ++rangees;
        std::sort(boitesLigne.begin(), boitesLigne.end());
        for (std::size_t i = 1; i < boitesLigne.size(); ++i)
            EXPECT_GE(boitesLigne[i].first - boitesLigne[i - 1].second, chiffre * 0.99) << "y " << y << ", " << i;
    }
    EXPECT_EQ(rangees, 2); // the two charts' time axes
    EXPECT_EQ(Texte(pdf, 2, 2).find("52,0068"), std::string::npos);
    EXPECT_EQ(premiere.find("Tableau des mesures"), std::string::npos);
    const std::string suite = Texte(pdf, 2, 99);
    for (const char* attendu : {"Tableau des mesures", "x (mmol)", "399,052"}) // the last point's time
        EXPECT_NE(suite.find(attendu), std::string::npos) << attendu;
}

TEST_F(RapportTest, CommandLineRefusalsWriteNothing)
{
    std::ofstream(dossier / "court.txt") << "0\t100000\n1\t100100\n";
    const fs::path pdf = dossier / "cr.pdf";
    const std::pair<std::vector<std::string>, const char*> cas[] = {
        {{"--rapport", pdf.string(), (dossier / "absent.txt").string()}, "absent.txt : "},
        {{"--rapport", pdf.string(), (dossier / "court.txt").string()}, "court.txt : "},
        {{"--rapport", pdf.string(), essai.string(), essai.string()}, "un seul fichier"},
        {{"--rapport", (dossier / "sans-dossier" / "cr.pdf").string(), essai.string()}, "Nom de fichier incorrect"},
    };
    for (const auto& [arguments, message] : cas) {
        EXPECT_EQ(Rapport(arguments), Cinetique::kCodeEchec);
        EXPECT_NE(erreurs.str().find(message), std::string::npos) << erreurs.str();
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier), fs::directory_iterator()), 2); // the runs only
}

TEST_F(RapportTest, ReportSaysTheSimulatedCardAndTheRunsDate)
{
    AnalyseEssai analyse;
    DonneesEssai d;
    d.source = "carte simulée";
    d.coefficient = 1000;
    std::tm moment{};
    ::strptime("07/12/2026 09:05:03", "%d/%m/%Y %H:%M:%S", &moment);
    moment.tm_isdst = -1;
    d.debut = std::chrono::system_clock::from_time_t(std::mktime(&moment));
    analyse.SetDonnees(d);
    const CompteRendu::Contenu c = ContenuCompteRendu(analyse);
    EXPECT_EQ(c.essai[1], "Date et heure de l'essai : le 07/12/2026 à 09:05:03");
    EXPECT_NE(c.essai[2].find("la carte simulée. Ces mesures sont produites par le programme"), std::string::npos);
    EXPECT_NE(c.essai[3].find("coefficient : 1000 Pa/V"), std::string::npos);
}

TEST_F(RapportTest, ReportNamesTheBenchBesideTheDateWhenTheRunRecordsIt)
{
    std::tm moment{};
    ::strptime("07/12/2026 09:05:03", "%d/%m/%Y %H:%M:%S", &moment);
    moment.tm_isdst = -1;
    const auto debut = std::chrono::system_clock::from_time_t(std::mktime(&moment));
    const struct {
        std::optional<std::chrono::system_clock::time_point> debut;
        bool fichier;
        std::string poste, ligne;
    } cas[] = {
        {debut, false, "SALLE2-PC07", "Date et heure de l'essai : le 07/12/2026 à 09:05:03 ; poste : SALLE2-PC07"},
        {std::nullopt, true, "pc-12", "Date et heure de l'essai : non enregistrées dans le fichier ; poste : pc-12"},
        {debut, true, "", "Date et heure de l'essai : le 07/12/2026 à 09:05:03"},
    };
    for (const auto& c : cas) {
        AnalyseEssai analyse;
        DonneesEssai d;
        d.source = "carte d'acquisition";
        d.debut = c.debut;
        d.fichier = c.fichier;
        d.poste = c.poste;
        analyse.SetDonnees(d);
        const CompteRendu::Contenu contenu = ContenuCompteRendu(analyse);
        ASSERT_EQ(contenu.essai.size(), 4u) << c.poste; // name, date, source, conditions
        EXPECT_EQ(contenu.essai[1], c.ligne);
        EXPECT_EQ(contenu.essai[2], "Source des mesures : carte d'acquisition");
    }
}

TEST_F(RapportTest, WindowSavesAndPrintsTheReport)
{
    auto f = Fenetre();
    const fs::path enregistre = dossier / "fenetre.pdf", imprime = dossier / "imprime.pdf";
    bureau.chosenName = enregistre.string();
    f->Export->EnregistrerPdf->trigger();
    f->Export->ChoisirImprimante = [&imprime](QPrinter& imprimante) {
        imprimante.setOutputFormat(QPrinter::PdfFormat);
        imprimante.setOutputFileName(QString::fromStdString(imprime.string()));
        return true;
    };
    f->Export->Imprimer->trigger();
    for (const fs::path& pdf : {enregistre, imprime}) {
        ExpectA4EnVecteurs(pdf);
        EXPECT_NE(Texte(pdf, 1, 1).find("f = 2,93 mmol"), std::string::npos) << pdf;
        EXPECT_NE(Texte(pdf, 1, 1).find("t½ (modèle)"), std::string::npos) << pdf;
        EXPECT_NE(Texte(pdf, 2, 2).find("Tableau des mesures"), std::string::npos) << pdf;
    }

    bureau.chosenName = (dossier / "absent" / "cr.pdf").string();
    f->Export->EnregistrerPdf->trigger();
    EXPECT_EQ(f->Resultats->text(), QStringLiteral("Le compte rendu n'a pas été enregistré : Nom de fichier incorrect"));
    EXPECT_FALSE(fs::exists(dossier / "absent"));
}

TEST_F(RapportTest, ChartExportsVectorsWithTextAndSizedImages)
{
    auto f = Fenetre();
    f->resize(900, 600);
    bureau.chosenName = (dossier / "avancement.svg").string();
    f->Export->ExporterAvancement->trigger();
    QFile svg(QString::fromStdString((dossier / "avancement.svg").string()));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    QStringList textes;
    int traits = 0, images = 0;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (xml.name() == u"text")
                textes << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            traits += xml.name() == u"polyline" || xml.name() == u"path";
            images += xml.name() == u"image";
        }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(textes.contains(QStringLiteral("Avancement au cours du temps"))) << textes.join('|').toStdString();
    EXPECT_TRUE(textes.contains(QStringLiteral("Date en s")));
    EXPECT_GT(traits, 10);
    EXPECT_EQ(images, 0);

    bureau.chosenName = (dossier / "vitesse.PDF").string();
    f->Export->ExporterSecond->trigger();
    EXPECT_NE(Texte(dossier / "vitesse.PDF", 1, 1).find("Vitesse volumique de réaction"), std::string::npos);
    const std::string liste = Sortie(NELVAR_PDFIMAGES, " -list", dossier / "vitesse.PDF");
    EXPECT_EQ(std::count(liste.begin(), liste.end(), '\n'), 2) << liste;

    bureau.chosenName = (dossier / "avancement.png").string();
    std::optional<TaillePng> propose;
    f->Export->ChoisirTaillePng = [&propose](const TaillePng& t) {
        propose = t;
        return TaillePng{1200, 800, 200};
    };
    f->Export->ExporterAvancement->trigger();
    ASSERT_TRUE(propose);
    EXPECT_EQ(propose->ppp, 300);
    const QImage png(QString::fromStdString((dossier / "avancement.png").string()));
    EXPECT_EQ(png.size(), QSize(1200, 800));
    EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 200, 0.5);
}

TEST_F(RapportTest, CommandsAreReachedFromTheKeyboardWithoutClash)
{
    auto f = Fenetre();
    f->show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    int impressions = 0;
    f->Export->ChoisirImprimante = [&impressions](QPrinter&) { return ++impressions, false; };
    f->ChampVolume->setFocus();
    QTest::keyClick(f->ChampVolume, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(bureau.dialogs.size(), 1u);
    EXPECT_EQ(bureau.dialogs[0].defaultSuffix, "pdf");
    EXPECT_EQ(bureau.dialogs[0].filters, "Documents PDF (*.pdf)");
    QTest::keyClick(f->ChampVolume, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(impressions, 1);

    // Alt+E for the menu's button, and every Alt letter of the window once.
    QStringList textes;
    for (const QAbstractButton* b : f->findChildren<QAbstractButton*>())
        textes << b->text();
    for (const QLabel* l : f->findChildren<QLabel*>())
        textes << l->text();
    for (int i = 0; i < f->Onglets->count(); ++i)
        textes << f->Onglets->tabText(i);
    std::set<int> lettres;
    for (const QString& t : textes)
        if (const QKeySequence m = QKeySequence::mnemonic(t); !m.isEmpty()) {
            EXPECT_TRUE(lettres.insert(m[0].toCombined()).second) << t.toStdString();
        }
    EXPECT_EQ(QKeySequence::mnemonic(f->Export->Bouton->text()), QKeySequence(Qt::ALT | Qt::Key_E));
}

TEST_F(RapportTest, TheReportGivesTheTangentAndTheSourceTheRunRecords)
{
    auto f = Fenetre();
    f->PoserTangente(50);
    const std::string premiere = PremierePageDuRapport(*f);
    EXPECT_NE(premiere.find("Tangente :"), std::string::npos) << premiere;
    EXPECT_NE(premiere.find("à t = 50,007 s : dx/dt = "), std::string::npos) << premiere;

    // The source as recorded; unknown only for a file that records none.
    AnalyseEssai analyse;
    DonneesEssai d;
    d.fichier = true;
    for (const auto& [source, attendu] :
         {std::pair<std::string, std::string>{"boîtier USB, capteur MPX4250", "Source des mesures : boîtier USB, capteur MPX4250"},
          {"carte d'acquisition", "Source des mesures : carte d'acquisition"},
          {"", "Source des mesures : un fichier enregistré (la carte ou le boîtier qui a mesuré n'y est pas noté)"}}) {
        d.source = source;
        analyse.SetDonnees(d);
        EXPECT_EQ(ContenuCompteRendu(analyse).essai[2], attendu);
    }
}

TEST_F(RapportTest, AJournalOfTheSimulatedCardKeepsItsNoticeAndTheResultsStayOnPageOne)
{
    // A journal as the program writes it, 300 readings of the same law.
    const fs::path journal = dossier / "essai_2026-12-07_10-32-00.txt";
    {
        std::ofstream f(journal);
        f << "# format : journal d'essai nelvar 1\n# début : 2026-12-07 10:32:00 +0100\n# source : carte simulée\n"
             "# volume (L) : 0.25\n# température (°C) : 20\n# coefficient (Pa/V) : 100000\n# p et - p : non\n"
             "temps des ticks (s)\ttemps réel (s)\tpression (Pa)\tavancement (mol)\ttension voie 1 (V)\t"
             "tension voie 2 (V)\n";
        f.precision(12);
        const double k = std::log(2.0) / kTDemi;
        for (int i = 0; i < 300; ++i) {
            const double t = i * 1.00013, x = kXf * (1 - std::exp(-k * t));
            f << t << "\t" << t << "\t" << 1e5 + x / kMolParPa << "\t" << x << "\t" << 1 << "\t" << 0 << "\n";
        }
    }
    const fs::path pdf = dossier / "journal.pdf";
    ASSERT_EQ(Rapport({"--rapport", pdf.string(), journal.string()}), 0) << erreurs.str();
    const std::string premiere = Texte(pdf, 1, 1);
    for (const char* attendu : {"la carte simulée. Ces mesures sont produites par le programme", "Remarque",
                                "1/3", "t½ = 83,2 s"})
        EXPECT_NE(premiere.find(attendu), std::string::npos) << attendu << "\n" << premiere;
    EXPECT_EQ(premiere.find("n'y est pas noté"), std::string::npos);
}

TEST_F(RapportTest, TheComparisonTabExportsItsChartAndGoesIntoTheReport)
{
    auto f = Fenetre();
    f->resize(900, 600);
    DonneesEssai d;
    d.nom = essai.string();
    d.points = Cinetique::LireFichierEssai(d.nom);
    d.fichier = true;
    d.volume = 0.25;
    d.temperature = 20;
    essais.Ajouter({.nom = d.nom, .debut = {}, .chemin = d.nom, .provenance = Provenance::Fichier, .charger = {}}, d);
    essais.Cocher(0, true);
    f->Onglets->setCurrentIndex(2);

    const fs::path svg = dossier / "comparaison.svg";
    bureau.chosenName = svg.string();
    f->Export->ExporterSecond->trigger();
    QFile fichier(QString::fromStdString(svg.string()));
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    const QString contenu = QString::fromUtf8(fichier.readAll());
    EXPECT_TRUE(contenu.contains(QStringLiteral("Avancement des essais comparés")));
    // Its legend, which the SVG writes in several text runs: their texts joined.
    QString textes;
    static const QRegularExpression texte(QStringLiteral(">([^<]*)</text>"));
    for (auto it = texte.globalMatch(contenu); it.hasNext();)
        textes += it.next().captured(1);
    EXPECT_TRUE(textes.contains(QStringLiteral("essai.txt, V = 0,25 L, θ = 20 °C"))) << textes.toStdString();
    EXPECT_FALSE(contenu.contains(QStringLiteral("Vitesse volumique")));
    EXPECT_GT(contenu.count(QStringLiteral("<polyline")) + contenu.count(QStringLiteral("<path")), 10);

    // The PNG as the teacher exports it, pixel for pixel: the run's curve,
    // its legend off the curve.
    const fs::path png = dossier / "comparaison.png";
    bureau.chosenName = png.string();
    f->Export->ChoisirTaillePng = [](const TaillePng&) { return TaillePng{800, 500, 96}; };
    f->Export->ExporterSecond->trigger();
    const QImage image = QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32);
    const QImage reference(QStringLiteral(NELVAR_RAPPORT_PICTURES "/comparison-export.png"));
    if (reference.isNull() || image != reference.convertToFormat(QImage::Format_RGB32)) {
        image.save(QStringLiteral("actual-comparison-export.png"));
        ADD_FAILURE() << "differs from the reference; see actual-comparison-export.png";
    }

    EXPECT_NE(PremierePageDuRapport(*f).find("Avancement des essais comparés"), std::string::npos);
}

TEST_F(RapportTest, TheReportShowsTheWholeRunAndTheWindowKeepsItsZoom)
{
    auto f = Fenetre();
    f->resize(900, 600);
    TChart& graphique = *f->GraphiqueAvancement;
    graphique.BottomAxis().SetMinMax(300, 350); // zoomed past x_f's line and t½'s
    graphique.LeftAxis().SetMinMax(2.7, 2.8);
    const std::string premiere = PremierePageDuRapport(*f);
    EXPECT_NE(premiere.find("f = 2,93 mmol"), std::string::npos) << premiere;
    EXPECT_NE(premiere.find("t½ = 83,2 s"), std::string::npos) << premiere;
    EXPECT_EQ(premiere.find("Tangente"), std::string::npos);
    EXPECT_FALSE(graphique.BottomAxis().Automatic());
    EXPECT_DOUBLE_EQ(graphique.BottomAxis().Minimum(), 300);
    EXPECT_DOUBLE_EQ(graphique.LeftAxis().Maximum(), 2.8);
}
