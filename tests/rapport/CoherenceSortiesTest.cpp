// Every output that shows a number of one run agrees with the others, in its
// own unit, on the default interval and on shifted ones: the analysis, the
// command line's row, the window's results, its two copies, its extent chart,
// the report's text and table (from the window and from `--rapport`, read
// back by pdftotext), and the runs compared (table and curves). Then, after
// a report, a print and the charts' exports, nothing of the program's state
// has changed: the decimal separator, the charts' colours and zoom.
//
// The run follows a known first-order law (x_f = 2,93 mmol, t½ = 83,2 s at
// 0,25 L and 20 °C, p0 = 100 000 Pa) with ±15 Pa of alternating noise; the
// extent of each point is checked against (p - p0)·V/(R·T) worked out here,
// R = 8,314 J/(mol·K) and T = 20 + 273 K as the program converts.
#include "analyse/EssaisCompares.h"
#include "analyse/fenetre/ExportAnalyse.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "chart/TChart.h"
#include "chart/TChartSeries.h"
#include "chart/TFastLineSeries.h"
#include "chart/TPointSeries.h"
#include "journal/LectureEssai.h"
#include "commande/LigneCommande.h"
#include "numtext/NumberText.h"
#include "tests/app/support/FakePlatform.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QPrinter>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double kXf = 2.93e-3, kTDemi = 83.2, kPas = 1.00013, kP0 = 1e5;
constexpr int kPoints = 400;
constexpr double kMolParPa = 0.00025 / (8.314 * 293); // 0,25 L at 20 °C

double Pression(int i)
{
    const double k = std::log(2.0) / kTDemi;
    return kP0 + kXf / kMolParPa * (1 - std::exp(-k * i * kPas)) + (i % 2 ? 15.0 : -15.0);
}

// |a - b| within `relatif` of b, or within `absolu`.
::testing::AssertionResult Egaux(double a, double b, double relatif, double absolu = 0)
{
    if (std::abs(a - b) <= std::max(relatif * std::abs(b), absolu))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " against " << b;
}

double Nombre(const std::string& texte)
{
    return Cinetique::LireNombreVirguleOuPoint(texte);
}

std::vector<std::string> Champs(const std::string& ligne, char separateur = '\t')
{
    std::vector<std::string> champs;
    std::istringstream flux(ligne);
    for (std::string champ; std::getline(flux, champ, separateur);)
        champs.push_back(champ);
    if (!ligne.empty() && ligne.back() == separateur)
        champs.emplace_back();
    return champs;
}

std::vector<std::vector<std::string>> Lignes(const std::string& texte)
{
    std::vector<std::vector<std::string>> lignes;
    std::istringstream flux(texte);
    for (std::string ligne; std::getline(flux, ligne);)
        lignes.push_back(Champs(ligne));
    return lignes;
}

// A value as the window shows it: "83,2 ± 0,5 s", "(8,33 ± 0,04)·10⁻³ s⁻¹",
// "1,75·10⁻⁵ mol/s", "2,93 mmol": the value and the uncertainty shown (0
// when none), the power of ten applied.
struct Affiche {
    double valeur = NAN, incertitude = 0;
};
Affiche LireAffiche(std::string texte)
{
    if (texte.starts_with("("))
        texte.erase(0, 1);
    auto nombre = [&texte](std::size_t& i) {
        const std::size_t debut = i;
        if (texte.compare(i, 3, "−") == 0) { // a minus sign
            texte.replace(i, 3, "-");
        }
        while (i < texte.size() && (std::isdigit(static_cast<unsigned char>(texte[i])) || texte[i] == ','
                                    || texte[i] == '.' || texte[i] == '-'))
            ++i;
        return Nombre(texte.substr(debut, i - debut));
    };
    Affiche a;
    std::size_t i = 0;
    a.valeur = nombre(i);
    const std::string plusOuMoins = " ± ";
    if (texte.compare(i, plusOuMoins.size(), plusOuMoins) == 0) {
        i += plusOuMoins.size();
        a.incertitude = nombre(i);
    }
    if (i < texte.size() && texte[i] == ')')
        ++i;
    const std::string dix = "·10";
    if (texte.compare(i, dix.size(), dix) == 0) {
        i += dix.size();
        static const char* const exposants[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
        int signe = 1, n = 0;
        if (texte.compare(i, 3, "⁻") == 0) {
            signe = -1;
            i += 3;
        }
        for (bool chiffre = true; chiffre;) {
            chiffre = false;
            for (int c = 0; c < 10; ++c)
                if (texte.compare(i, std::string(exposants[c]).size(), exposants[c]) == 0) {
                    n = 10 * n + c;
                    i += std::string(exposants[c]).size();
                    chiffre = true;
                }
        }
        a.valeur *= std::pow(10.0, signe * n);
        a.incertitude *= std::pow(10.0, signe * n);
    }
    return a;
}

// The shown value agrees with `reference` to the last digit shown: within
// half of that digit when an uncertainty fixes it (the uncertainty has one
// or two digits), else to `chiffres` significant digits.
::testing::AssertionResult Montre(const std::string& texte, double reference, int chiffres = 3)
{
    const Affiche a = LireAffiche(texte);
    const double tolerance = a.incertitude > 0 ? a.incertitude / 2 : 0.5 * std::pow(10.0, 1 - chiffres) * std::abs(reference);
    if (std::abs(a.valeur - reference) <= tolerance * 1.0001)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "« " << texte << " » shows " << a.valeur << ", the analysis gives "
                                         << reference;
}

std::string SansEspaces(const std::string& texte)
{
    std::string s;
    for (char c : texte)
        if (!std::isspace(static_cast<unsigned char>(c)))
            s += c;
    return s;
}

std::string TextePdf(const fs::path& pdf)
{
    std::string texte;
    if (FILE* tube = ::popen((std::string(NELVAR_PDFTOTEXT) + " '" + pdf.string() + "' -").c_str(), "r")) {
        char tampon[4096];
        for (std::size_t n; (n = std::fread(tampon, 1, sizeof tampon, tube)) > 0;)
            texte.append(tampon, n);
        ::pclose(tube);
    }
    return texte;
}

struct Intervalle {
    const char* nom;
    std::optional<double> debut, fin; // s
};
const Intervalle kIntervalles[] = {
    {"default", {}, {}}, {"Début alone", 60.5, {}}, {"Fin alone", {}, 300.5}, {"Début and Fin", 60.5, 300.5}};

class CoherenceSorties : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDecimalSeparator(','); // the program's at start
        dossier = fs::path(::testing::TempDir()) / ("nelvar-coherence-" + std::to_string(::getpid()));
        fs::create_directories(dossier);
        essai = (dossier / "essai.txt").string();
        std::ofstream f(essai);
        f << "Date, en s\tTension sur la voie 1, en V\r";
        f.precision(10);
        for (int i = 0; i < kPoints; ++i)
            f << i * kPas << "\t" << Pression(i) << "\r";
    }
    void TearDown() override
    {
        fs::remove_all(dossier);
        SetDecimalSeparator(separateur_);
    }

    DonneesEssai Donnees() const
    {
        DonneesEssai d;
        d.nom = essai;
        d.points = Cinetique::LireFichierEssai(essai);
        d.fichier = true;
        d.volume = 0.25;
        d.temperature = 20;
        return d;
    }
    std::unique_ptr<FenetreAnalyse> Fenetre()
    {
        auto f = std::make_unique<FenetreAnalyse>(bureau, essais, nullptr);
        f->MontrerEssai(Donnees(), false);
        return f;
    }
    // The interval typed in the window's fields, as a user ends a field.
    static void Taper(FenetreAnalyse& f, const Intervalle& intervalle)
    {
        f.ChampDebut->setText(intervalle.debut ? QString::number(*intervalle.debut) : QString());
        f.ChampFin->setText(intervalle.fin ? QString::number(*intervalle.fin) : QString());
        emit f.ChampFin->editingFinished();
    }
    static std::vector<std::string> Options(const Intervalle& intervalle)
    {
        std::vector<std::string> options{"--volume", "0,25", "--temperature", "20"};
        if (intervalle.debut)
            options.insert(options.end(), {"--debut", FormatGeneral(*intervalle.debut, 6, DecimalSeparator())});
        if (intervalle.fin)
            options.insert(options.end(), {"--fin", FormatGeneral(*intervalle.fin, 6, DecimalSeparator())});
        return options;
    }

    fs::path dossier;
    std::string essai;
    FakePlatform bureau;
    EssaisCompares essais;

private:
    const char separateur_ = DecimalSeparator();
};

} // namespace

TEST_F(CoherenceSorties, every_output_shows_the_same_numbers_in_its_unit_on_any_interval)
{
    auto f = Fenetre();
    for (const Intervalle& intervalle : kIntervalles) {
        SCOPED_TRACE(intervalle.nom);
        // The interval's points, from the file's times i·1,00013 s.
        int premier = 0, dernier = kPoints - 1;
        while (intervalle.debut && premier * kPas < *intervalle.debut)
            ++premier;
        while (intervalle.fin && dernier * kPas > *intervalle.fin)
            --dernier;

        // The analysis finds the law on the interval.
        Cinetique::Options options;
        options.volume = 0.25;
        options.temperature = 20;
        options.debut = intervalle.debut;
        options.fin = intervalle.fin;
        const Cinetique::Resultat r = Cinetique::Analyser(Cinetique::LireFichierEssai(essai), options);
        EXPECT_EQ(r.points, dernier - premier + 1);
        EXPECT_TRUE(Egaux(r.debut, premier * kPas, 1e-9));
        EXPECT_TRUE(Egaux(r.fin, dernier * kPas, 1e-9));
        EXPECT_TRUE(Egaux(r.tDemi, kTDemi, 0.002));
        EXPECT_TRUE(Egaux(*r.xFinal, kXf, 0.002));
        ASSERT_TRUE(r.tDemiGraphique);
        EXPECT_TRUE(Egaux(*r.tDemiGraphique, kTDemi, 0.02));

        // The command line's row.
        std::vector<std::string> arguments{"--analyse"};
        for (const std::string& o : Options(intervalle))
            arguments.push_back(o);
        arguments.push_back(essai);
        std::ostringstream sortie, erreurs;
        ASSERT_EQ(Cinetique::EnLigneDeCommande(arguments, DecimalSeparator(), sortie, erreurs), 0) << erreurs.str();
        const std::vector<std::vector<std::string>> ligne = Lignes(sortie.str());
        ASSERT_EQ(ligne.size(), 2u);
        const std::vector<std::string>& c = ligne[1];
        ASSERT_EQ(c.size(), 16u);
        EXPECT_EQ(c[1], std::to_string(r.points));
        for (const auto& [champ, valeur] : std::initializer_list<std::pair<int, double>>{
                 {2, r.debut}, {3, r.fin}, {4, r.k}, {5, r.uK}, {6, r.tDemi}, {8, *r.tDemiGraphique}, {9, r.pa},
                 {10, r.pInf}, {11, r.uPInf}, {12, *r.xFinal}, {13, *r.uXFinal}, {14, r.r2}})
            EXPECT_TRUE(Egaux(Nombre(c[static_cast<std::size_t>(champ)]), valeur, 6e-6)) << "column " << champ;

        // The window, the interval typed in its fields.
        Taper(*f, intervalle);
        ASSERT_TRUE(f->Analyse().Valide()) << f->Analyse().Erreur();
        const Cinetique::Resultat& w = f->Analyse().Resultat();
        EXPECT_EQ(w.points, r.points);
        EXPECT_TRUE(Egaux(w.k, r.k, 1e-12));
        EXPECT_TRUE(Egaux(w.pInf, r.pInf, 1e-12));
        std::map<std::string, std::string> affiche;
        // The results' rich text read back: its lines, a subscript as "_f".
        QString lu = f->Resultats->text();
        lu.replace(QStringLiteral("<br>"), QStringLiteral("\n")).replace(QStringLiteral("<sub>"), QStringLiteral("_"));
        lu.remove(QStringLiteral("</sub>")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        for (const QString& l : lu.split(QLatin1Char('\n'))) {
            const qsizetype deuxPoints = l.indexOf(QStringLiteral(" : "));
            if (deuxPoints > 0)
                affiche[l.left(deuxPoints).toStdString()] = l.mid(deuxPoints + 3).toStdString();
        }
        EXPECT_TRUE(Montre(affiche["x_f"], *r.xFinal * 1000)); // mmol
        EXPECT_TRUE(Montre(affiche["k"], r.k));
        EXPECT_TRUE(Montre(affiche["t½ (modèle)"], r.tDemi));
        EXPECT_TRUE(Montre(affiche["t½ (graphique)"], *r.tDemiGraphique, 3));
        EXPECT_EQ(affiche["Points"], std::to_string(r.points));
        EXPECT_EQ(affiche["Intervalle"], "de " + FormatGeneral(r.debut, 6, DecimalSeparator()) + " à " + FormatGeneral(r.fin, 6, DecimalSeparator()) + " s");

        // Its copies: the command line's row, and the table in mol.
        f->CopierResultats();
        ASSERT_FALSE(bureau.clipboard.empty());
        EXPECT_EQ(bureau.clipboard.back(), sortie.str());
        f->CopierTableau();
        const std::vector<std::vector<std::string>> tableau = Lignes(bureau.clipboard.back());
        ASSERT_EQ(tableau.size(), static_cast<std::size_t>(kPoints + 1));
        const CompteRendu::Contenu rapport = ContenuCompteRendu(f->Analyse());
        ASSERT_EQ(rapport.tableau.size(), static_cast<std::size_t>(kPoints));
        EXPECT_EQ(rapport.entetes[2], "x (mmol)");
        ASSERT_EQ(f->SerieMesures->Count(), kPoints);
        for (int i = 0; i < kPoints; ++i) {
            const std::vector<std::string>& t = tableau[static_cast<std::size_t>(i + 1)];
            const double x = (Pression(i) - Pression(0)) * kMolParPa; // mol
            const double tolerance = 1e-9;                             // mol
            EXPECT_TRUE(Egaux(Nombre(t[0]), i * kPas, 6e-6)) << "row " << i;
            EXPECT_TRUE(Egaux(Nombre(t[2]), x, 6e-6, tolerance)) << "copied x, row " << i;
            EXPECT_TRUE(Egaux(Nombre(t[1]), Pression(i), 6e-6)) << "copied p, row " << i;
            if (i >= premier && i <= dernier) { // the model follows the points within their noise
                EXPECT_TRUE(Egaux(Nombre(t[3]), x, 0, 3 * 15 * kMolParPa)) << "model x, row " << i;
            }
            // The report's table, in mmol.
            const auto& rangee = rapport.tableau[static_cast<std::size_t>(i)];
            // Its times to the millisecond and its extents to a fixed number of
            // decimals: each within half its last digit.
            EXPECT_TRUE(Egaux(Nombre(rangee[0]), i * kPas, 0, 0.0005 + 1e-9)) << rangee[0];
            EXPECT_TRUE(Egaux(Nombre(rangee[1]), Pression(i), 6e-6));
            const std::size_t virgule = rangee[2].find(',');
            ASSERT_NE(virgule, std::string::npos) << rangee[2];
            const int decimales = static_cast<int>(rangee[2].size() - virgule - 1);
            EXPECT_EQ(decimales, static_cast<int>(rapport.tableau[0][2].size() - rapport.tableau[0][2].find(',') - 1));
            EXPECT_TRUE(Egaux(Nombre(rangee[2]), 1000 * x, 0, 0.5 * std::pow(10.0, -decimales) + 1000 * tolerance))
                << "report's x, row " << i;
            // The extent chart, in mmol.
            EXPECT_TRUE(Egaux(f->SerieMesures->YValue(i), 1000 * x, 1e-6, 1e-9)) << "chart's x, row " << i;
        }
        // The report's results are the window's.
        for (const auto& [libelle, valeur] : rapport.resultats)
            if (affiche.count(libelle)) {
                EXPECT_EQ(valeur, affiche[libelle]) << libelle;
            }

        // The report from the command line, read back: the same values.
        const fs::path pdf = dossier / "cr.pdf";
        std::vector<std::string> rapportArguments{"--rapport", pdf.string()};
        for (const std::string& o : Options(intervalle))
            rapportArguments.push_back(o);
        rapportArguments.push_back(essai);
        std::ostringstream erreursRapport;
        ASSERT_EQ(Cinetique::EnLigneDeCommande(rapportArguments, DecimalSeparator(), sortie, erreursRapport, {EnregistrerCompteRenduEssai, {}}),
                  0)
            << erreursRapport.str();
        const std::string texte = SansEspaces(TextePdf(pdf));
        for (const char* libelle : {"x_f", "k", "t½ (modèle)", "Points", "Intervalle"})
            EXPECT_NE(texte.find(SansEspaces(affiche[libelle])), std::string::npos)
                << libelle << " « " << affiche[libelle] << " » not in the report";
    }
}

TEST_F(CoherenceSorties, the_runs_compared_show_the_runs_numbers_and_extent_in_mmol)
{
    EntreeEssai entree;
    entree.nom = essai;
    entree.chemin = essai;
    entree.provenance = Provenance::Fichier;
    essais.Ajouter(entree, Donnees());
    essais.SetConditions(essai, 0.25, 20);
    auto f = Fenetre();
    f->Onglets->setCurrentIndex(2); // "Essais comparés"
    f->ActualiserComparaison();
    ASSERT_EQ(f->ListeEssais->count(), 1);
    f->ListeEssais->item(0)->setCheckState(Qt::Checked);

    Cinetique::Options options;
    options.volume = 0.25;
    options.temperature = 20;
    const Cinetique::Resultat r = Cinetique::Analyser(Cinetique::LireFichierEssai(essai), options);
    ASSERT_EQ(f->TableauComparaison->rowCount(), 1);
    auto cellule = [&f](int colonne) { return f->TableauComparaison->item(0, colonne)->text().toStdString(); };
    EXPECT_EQ(cellule(1), "—");    // Poste: the file does not record it
    EXPECT_EQ(cellule(2), "0,25"); // V (L)
    EXPECT_EQ(cellule(3), "20");   // θ (°C)
    EXPECT_EQ(cellule(4), std::to_string(kPoints));
    EXPECT_TRUE(Montre(cellule(5), *r.xFinal * 1000)); // x_f (mmol)
    EXPECT_TRUE(Montre(cellule(6), r.k));
    EXPECT_TRUE(Montre(cellule(7), r.tDemi));
    EXPECT_TRUE(Montre(cellule(8), Pression(0), 6));

    const TChartSeries* courbe = nullptr;
    for (int i = 0; i < f->GraphiqueComparaison->SeriesCount(); ++i)
        if (f->GraphiqueComparaison->Series(i)->Active())
            courbe = f->GraphiqueComparaison->Series(i);
    ASSERT_NE(courbe, nullptr);
    ASSERT_EQ(courbe->Count(), kPoints);
    for (int i = 0; i < kPoints; i += 7)
        EXPECT_TRUE(Egaux(courbe->YValue(i), 1000 * (Pression(i) - Pression(0)) * kMolParPa, 1e-6, 1e-9)) << i;
}

TEST_F(CoherenceSorties, a_report_a_print_and_the_exports_leave_the_number_format_colours_and_zoom_as_they_were)
{
    auto f = Fenetre();
    f->resize(900, 600);
    TChart* graphiques[] = {f->GraphiqueAvancement, f->GraphiqueVitesse, f->GraphiqueTest};
    for (TChart* g : graphiques) {
        g->SetChartSize(640, 400);
        g->ScreenImage();
    }
    f->GraphiqueAvancement->ZoomRect(100, 80, 400, 300);
    // What the user sees of each chart: its colours, frame and axes' ends,
    // and its picture on the screen.
    struct Etat {
        std::vector<TColor> couleurs;
        std::vector<int> biseaux;
        std::vector<double> axes;
        std::vector<QImage> images;
        bool operator==(const Etat&) const = default;
    };
    auto Releve = [&graphiques] {
        Etat e;
        for (TChart* g : graphiques) {
            e.couleurs.push_back(g->Color());
            e.biseaux.push_back(static_cast<int>(g->BevelOuter()));
            for (int i = 0; i < g->SeriesCount(); ++i)
                e.couleurs.push_back(g->Series(i)->SeriesColor());
            e.axes.insert(e.axes.end(), {g->BottomAxis().Minimum(), g->BottomAxis().Maximum(),
                                         g->LeftAxis().Minimum(), g->LeftAxis().Maximum()});
            e.images.push_back(g->ScreenImage());
        }
        return e;
    };
    for (const char separateur : {',', '.'}) {
        SCOPED_TRACE(std::string("separator ") + separateur);
        SetDecimalSeparator(separateur);
        const Etat avant = Releve();

        for (const char* nom : {"cr.pdf", "a.png", "a.svg", "a.pdf", "v.png", "v.svg", "v.pdf"}) {
            bureau.chosenName = (dossier / nom).string();
            QAction* action = std::string(nom) == "cr.pdf" ? f->Export->EnregistrerPdf
                              : nom[0] == 'a'             ? f->Export->ExporterAvancement
                                                          : f->Export->ExporterSecond;
            f->Export->ChoisirTaillePng = [](const TaillePng&) { return TaillePng{400, 300, 96}; };
            action->trigger();
            EXPECT_TRUE(fs::exists(dossier / nom)) << nom;
            EXPECT_EQ(DecimalSeparator(), separateur) << "after " << nom;
            EXPECT_TRUE(Releve() == avant) << "after " << nom;
        }
        f->Export->ChoisirImprimante = [this](QPrinter& imprimante) {
            imprimante.setOutputFormat(QPrinter::PdfFormat);
            imprimante.setOutputFileName(QString::fromStdString((dossier / "imprime.pdf").string()));
            return true;
        };
        f->Export->Imprimer->trigger();
        EXPECT_TRUE(fs::exists(dossier / "imprime.pdf"));
        ContenuCompteRendu(f->Analyse());
        EXPECT_EQ(DecimalSeparator(), separateur) << "after the print";
        EXPECT_TRUE(Releve() == avant) << "after the print";
        EXPECT_EQ(FormatGeneral(1.5, 3, DecimalSeparator()), std::string("1") + separateur + "5");
        for (const char* nom : {"cr.pdf", "a.png", "a.svg", "a.pdf", "v.png", "v.svg", "v.pdf", "imprime.pdf"})
            fs::remove(dossier / nom);
    }
}

TEST_F(CoherenceSorties, a_report_or_chart_that_cannot_be_written_is_a_failure_of_the_command)
{
    // /dev/full takes the file but refuses its bytes, as a full disk does.
    for (const std::string& sortie : {std::string("/dev/full"), (dossier / "absent" / "cr.pdf").string()}) {
        std::ostringstream erreurs;
        const std::vector<std::string> arguments{"--rapport", sortie, essai};
        EXPECT_EQ(Cinetique::EnLigneDeCommande(arguments, DecimalSeparator(), erreurs, erreurs, {EnregistrerCompteRenduEssai, {}}),
                  Cinetique::kCodeEchec)
            << sortie;
        EXPECT_TRUE(erreurs.str().starts_with(sortie + " : ")) << erreurs.str();
    }
    // The window's commands say so in its results.
    auto f = Fenetre();
    bureau.chosenName = "/dev/full";
    f->Export->ChoisirTaillePng = [](const TaillePng&) { return TaillePng{400, 300, 96}; };
    for (QAction* action : {f->Export->EnregistrerPdf, f->Export->ExporterAvancement, f->Export->ExporterSecond}) {
        f->MontrerEssai(Donnees(), false);
        action->trigger();
        EXPECT_TRUE(f->Resultats->text().contains(QStringLiteral("n'a pas été enregistré")))
            << f->Resultats->text().toStdString();
    }
}
