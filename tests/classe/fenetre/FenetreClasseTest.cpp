// The class synthesis window on journals of three benches at 15, 25 and 35 °C
// whose curves follow k = A·exp(−Ea/RT), Ea = 50 000 J/mol, A = 1e7 s⁻¹: the
// Arrhenius line must give back that Ea. The folder is read off the window's
// thread: the tests wait on its signals. NELVAR_CAPTURE=<png> also saves the
// window's picture (docs/synthese-classe.png is made so).
#include "acquisition/Clocks.h"
#include "acquisition/SimulatedCard.h"
#include "widgets/Apparence.h"
#include "classe/fenetre/FenetreClasse.h"
#include "classe/fenetre/GraphiquesClasse.h"
#include "classe/fenetre/ModeleClasse.h"
#include "rapport/RapportClasse.h"
#include "app/UPrincipal.h"
#include "chart/TChart.h"
#include "chart/TPointSeries.h"
#include "classe/Formulations.h"
#include "classe/SyntheseClasse.h"
#include "numtext/NumberText.h"
#include "tests/app/support/FakeBoxes.h"
#include "tests/app/support/FakePlatform.h"
#include "tests/classe/JournauxDeClasse.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <mutex>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double kEa = 50000;      // J/mol
constexpr double kA = 1e7;         // s⁻¹
constexpr int kAttente = 20000;    // ms, for the reading thread's hand-offs only

double K(double celsius) { return kA * std::exp(-kEa / (Constantes::kConstanteGazExacte * (celsius + 273.15))); }

// A bench's run at `celsius`, started `minute` minutes into the lab: 400
// readings whose curve follows k(T), with one pascal of noise.
JournauxDeClasse::Essai Essai(const std::string& poste, double celsius, int minute)
{
    return {.debut = JournauxDeClasse::Matin(60L * minute), .poste = poste, .temperature = celsius,
            .k = K(celsius), .lectures = 400, .bruit = 1, .graine = static_cast<std::uint64_t>(minute)};
}

// The journals, written once for all the tests (each reading is flushed: slow).
const fs::path& Modeles()
{
    static const fs::path modeles = [] {
        const fs::path d = fs::temp_directory_path() / ("nelvar-classe-modeles-" + std::to_string(::getpid()));
        fs::remove_all(d);
        fs::create_directories(d);
        JournauxDeClasse::Essai plusLong = Essai("PC01", 15, 1);
        plusLong.lectures = 401;
        for (const auto& [nom, essai] : {std::pair{"essai_PC01.txt", Essai("PC01", 15, 1)},
                                         std::pair{"essai_PC02.txt", Essai("PC02", 25, 2)},
                                         std::pair{"essai_PC03.txt", Essai("PC03", 35, 3)},
                                         std::pair{"essai_PC04.txt", Essai("PC04", 25, 4)},
                                         std::pair{"essai_PC01-401.txt", plusLong}})
            fs::rename(JournauxDeClasse::Ecrire(d.string(), essai), d / nom);
        return d;
    }();
    return modeles;
}

// Written as a bench writes it to the share: elsewhere, then renamed in.
void Deposer(const fs::path& dossier, const std::string& nom, const std::string& modele)
{
    const fs::path ailleurs = dossier.string() + "-poste";
    fs::create_directories(ailleurs);
    fs::copy_file(Modeles() / modele, ailleurs / nom);
    fs::rename(ailleurs / nom, dossier / nom);
    fs::remove_all(ailleurs);
}
void Deposer(const fs::path& dossier, const std::string& nom) { Deposer(dossier, nom, nom); }

// What a command writes on its standard output, and its exit code.
std::pair<std::string, int> Lancer(const std::string& commande)
{
    std::string sortie;
    FILE* p = ::popen(commande.c_str(), "r");
    if (!p)
        return {sortie, -1};
    char tampon[4096];
    for (std::size_t n; (n = std::fread(tampon, 1, sizeof tampon, p)) > 0;)
        sortie.append(tampon, n);
    const int statut = ::pclose(p);
    return {sortie, WIFEXITED(statut) ? WEXITSTATUS(statut) : -1};
}

class FenetreClasseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDecimalSeparator(',');
        AppliquerApparence();
        dossier = fs::temp_directory_path() /
                  ("nelvar-classe-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dossier);
        fs::create_directories(dossier);
        for (const char* nom : {"essai_PC01.txt", "essai_PC02.txt", "essai_PC03.txt"})
            Deposer(dossier, nom);
    }
    void TearDown() override
    {
        fs::remove_all(dossier);
        SetDecimalSeparator('.');
    }

    // A window on the folder, once its first reading is shown.
    std::unique_ptr<FenetreClasse> Ouvrir(SyntheseEnFond::Acces acces = {})
    {
        auto f = std::make_unique<FenetreClasse>(bureau, dossier.string(), nullptr, std::move(acces));
        Attendre(*f);
        return f;
    }
    static void TearDownTestSuite() { fs::remove_all(Modeles()); }
    static void Attendre(FenetreClasse& f)
    {
        QSignalSpy lue(&f, &FenetreClasse::Actualisee);
        EXPECT_TRUE(lue.wait(kAttente));
    }
    static std::string Cellule(const FenetreClasse& f, int n, Classe::Colonne c)
    {
        return f.Modele->index(n, static_cast<int>(c)).data().toString().toStdString();
    }
    static std::vector<std::string> Colonne(const FenetreClasse& f, int c)
    {
        std::vector<std::string> v;
        for (int n = 0; n < f.Modele->rowCount(); ++n)
            v.push_back(f.Modele->index(n, c).data().toString().toStdString());
        return v;
    }
    static std::vector<std::string> Colonne(const FenetreClasse& f, Classe::Colonne c)
    {
        return Colonne(f, static_cast<int>(c));
    }
    // The column the teacher types in, found as a view finds it: by its flags.
    static int ColonneEditable(const FenetreClasse& f)
    {
        std::vector<int> editables;
        for (int c = 0; c < f.Modele->columnCount(); ++c)
            if (f.Modele->flags(f.Modele->index(0, c)) & Qt::ItemIsEditable)
                editables.push_back(c);
        EXPECT_EQ(editables.size(), 1u);
        return editables.empty() ? -1 : editables.front();
    }

    fs::path dossier;
    FakePlatform bureau;
};

} // namespace

TEST_F(FenetreClasseTest, lists_the_runs_as_the_command_line_and_finds_the_activation_energy)
{
    auto f = Ouvrir();
    ASSERT_EQ(f->Modele->rowCount(), 3);
    EXPECT_EQ(Colonne(*f, Classe::Colonne::Poste), (std::vector<std::string>{"PC01", "PC02", "PC03"}));
    EXPECT_EQ(f->Modele->headerData(0, Qt::Horizontal), QStringLiteral("fichier"));
    EXPECT_EQ(Cellule(*f, 0, Classe::Colonne::Fichier), "essai_PC01.txt");
    EXPECT_EQ(f->Modele->headerData(static_cast<int>(Classe::Colonne::K), Qt::Horizontal), QStringLiteral("k (s-1)"));
    // Each run's k against the one its curve was made with.
    for (int n = 0; n < 3; ++n) {
        const double k = Cinetique::LireNombreVirguleOuPoint(Cellule(*f, n, Classe::Colonne::K));
        EXPECT_NEAR(k, K(15 + 10 * n), 0.002 * K(15 + 10 * n)) << n;
    }
    // Ea and A from the line, against the ones the curves were made with.
    // Each shown as the synthesis words it, rounded to its uncertainty; Ea
    // in kJ/mol with as many decimals as its uncertainty.
    std::map<std::string, double> conclusions;
    const auto& synthese = f->Synthese().conclusions;
    ASSERT_EQ(f->Conclusions->rowCount(), static_cast<int>(synthese.size()));
    for (int n = 0; n < f->Conclusions->rowCount(); ++n) {
        const Classe::Conclusion& c = synthese[static_cast<std::size_t>(n)];
        EXPECT_EQ(f->Conclusions->item(n, 1)->text().toStdString(), Classe::TexteArrondi(c, DecimalSeparator())) << c.nom;
        conclusions[f->Conclusions->item(n, 0)->text().toStdString()] = c.valeur.value_or(0);
    }
    const std::string texteEa = f->Conclusions->item(0, 1)->text().toStdString();
    const std::size_t plusOuMoins = texteEa.find(" ± ");
    ASSERT_NE(plusOuMoins, std::string::npos) << texteEa;
    EXPECT_TRUE(texteEa.ends_with(" kJ/mol")) << texteEa;
    EXPECT_EQ(plusOuMoins - texteEa.find_first_of(",."), texteEa.find(" kJ") - texteEa.find_last_of(",.")) << texteEa;
    const double ea = conclusions.at("Énergie d'activation Ea (J/mol)");
    const double a = conclusions.at("Facteur pré-exponentiel A (s-1)");
    EXPECT_NEAR(ea, kEa, 0.01 * kEa);
    EXPECT_NEAR(std::log(a), std::log(kA), 0.05 * std::log(kA));
    EXPECT_NE(f->Etat->text().indexOf(QStringLiteral("3 essais lus")), -1) << f->Etat->text().toStdString();

    // The copy: the command line's own text, byte for byte, by Ctrl+C and by the button.
    const std::string ligneDeCommande = Classe::TexteSynthese(Classe::Synthetiser({dossier.string()}), DecimalSeparator());
    f->ActionCopier->trigger();
    f->BoutonCopier->click();
    ASSERT_EQ(bureau.clipboard.size(), 2u);
    EXPECT_EQ(bureau.clipboard[0], ligneDeCommande);
    EXPECT_EQ(bureau.clipboard[1], ligneDeCommande);

    // The Arrhenius chart: one point a run at (1/T, ln k), its line through them.
    const GraphiquesSynthese& g = f->Graphiques->Series();
    ASSERT_EQ(g.PointsArrhenius->Count(), 3);
    EXPECT_NEAR(g.PointsArrhenius->XValue(0), 1 / (35 + 273.15), 1e-12);
    EXPECT_NEAR(g.PointsArrhenius->YValue(2), std::log(K(15)), 0.002);
    EXPECT_EQ(g.DroiteArrhenius->Count(), 2); // drawn as its reference picture shows
    if (const QByteArray capture = qgetenv("NELVAR_CAPTURE"); !capture.isEmpty()) {
        f->Graphiques->setCurrentWidget(f->Graphiques->GraphiqueArrhenius);
        f->show();
        EXPECT_TRUE(f->grab().save(QString::fromLocal8Bit(capture)));
    }
}

TEST_F(FenetreClasseTest, a_run_landing_in_the_folder_is_added_and_only_it_is_analysed)
{
    // The files analysed, by name (the folder's change notices may add
    // readings of their own: each file must still be analysed once a version).
    std::mutex verrou;
    std::map<std::string, int> analyses;
    SyntheseEnFond::Acces acces;
    acces.analyser = [&](const std::string& chemin, const Classe::TableClasse& table) {
        {
            const std::lock_guard<std::mutex> garde(verrou);
            ++analyses[fs::path(chemin).filename().string()];
        }
        return Classe::AnalyserFichier(chemin, table);
    };
    auto comptes = [&] { // the half-written run's, read again at each reading, aside
        const std::lock_guard<std::mutex> garde(verrou);
        auto c = analyses;
        c.erase(".essai_PC05.txt.tmp");
        return c;
    };
    auto f = Ouvrir(acces);
    ASSERT_EQ(f->Modele->rowCount(), 3);
    // A fourth bench's run lands; a half-written one sits beside it.
    Deposer(dossier, "essai_PC04.txt");
    std::ofstream(dossier / ".essai_PC05.txt.tmp")
        << "# format : journal d'essai nelvar 1\n# début : 2026-12-08 09:05:00 +0000\n0\t0\t1013";
    f->Relire();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return f->Etat->text().contains(QStringLiteral("1 fichier écarté : .essai_PC05.txt.tmp (")); }, kAttente))
        << f->Etat->text().toStdString();
    EXPECT_EQ(f->Etat->text().left(13), QStringLiteral("4 essais lus "));
    EXPECT_EQ(Colonne(*f, Classe::Colonne::Poste), (std::vector<std::string>{"PC01", "PC02", "PC03", "PC04"}));
    using Comptes = std::map<std::string, int>;
    EXPECT_EQ(comptes(),
              (Comptes{{"essai_PC01.txt", 1}, {"essai_PC02.txt", 1}, {"essai_PC03.txt", 1}, {"essai_PC04.txt", 1}}));
    // A reading that changes nothing leaves the teacher's place in the table.
    f->Tableau->setCurrentIndex(f->Modele->index(2, 7));
    f->Relire();
    Attendre(*f);
    EXPECT_EQ(f->Tableau->currentIndex().row(), 2);
    EXPECT_EQ(f->Tableau->currentIndex().column(), 7);
    // A run changed (rewritten longer) is read again; the others are not.
    Deposer(dossier, "essai_PC01.txt", "essai_PC01-401.txt");
    f->Relire();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->Synthese().essais.front().points.size() == 401u; }, kAttente));
    EXPECT_EQ(comptes(),
              (Comptes{{"essai_PC01.txt", 2}, {"essai_PC02.txt", 1}, {"essai_PC03.txt", 1}, {"essai_PC04.txt", 1}}));
}

TEST_F(FenetreClasseTest, the_factor_typed_is_saved_to_classe_tsv_and_read_back)
{
    {
        auto f = Ouvrir();
        f->ChampFacteur->setText(QStringLiteral("concentration initiale"));
        f->ChampUnite->setText(QStringLiteral("mol/L"));
        emit f->ChampUnite->editingFinished();
        Attendre(*f);
        const int facteur = ColonneEditable(*f);
        EXPECT_EQ(f->Modele->headerData(facteur, Qt::Horizontal), QStringLiteral("concentration initiale (mol/L)"));
        const char* valeurs[] = {"0,5", "1.0", "2"};
        for (int n = 0; n < 3; ++n) {
            EXPECT_TRUE(f->Modele->setData(f->Modele->index(n, facteur), QString::fromUtf8(valeurs[n])));
            Attendre(*f);
        }
        // A value that is not a number is refused, said, and changes nothing.
        EXPECT_FALSE(f->Modele->setData(f->Modele->index(0, facteur), QStringLiteral("beaucoup")));
        EXPECT_EQ(f->Table().Valeur("essai_PC01.txt"), 0.5);
        EXPECT_EQ(Colonne(*f, facteur).front(), "0,5");
        EXPECT_TRUE(f->Etat->text().contains(QStringLiteral("beaucoup"))) << f->Etat->text().toStdString();
    }
    // In the folder, as the command line reads it.
    const Issue<Classe::TableClasse> lue = Classe::LireTable(dossier.string());
    ASSERT_TRUE(lue) << lue.Message();
    EXPECT_EQ(std::tuple(lue->facteur.nom, lue->facteur.unite, lue->Valeur("essai_PC01.txt"),
                         lue->Valeur("essai_PC02.txt"), lue->Valeur("essai_PC03.txt")),
              std::tuple("concentration initiale", "mol/L", 0.5, 1.0, 2.0));
    // A new window shows them, and the factor's charts have their points.
    auto f = Ouvrir();
    EXPECT_EQ(f->ChampFacteur->text() + "|" + f->ChampUnite->text(), QStringLiteral("concentration initiale|mol/L"));
    EXPECT_EQ(Colonne(*f, ColonneEditable(*f)), (std::vector<std::string>{"0,5", "1", "2"}));
    const TPointSeries& tDemi = *f->Graphiques->Series().PointsTDemi;
    ASSERT_EQ(tDemi.Count(), 3);
    EXPECT_EQ(tDemi.XValue(2), 2.0);
    EXPECT_NEAR(tDemi.YValue(2), std::log(2) / K(35), 0.01 * std::log(2) / K(35));
}

TEST_F(FenetreClasseTest, the_window_never_touches_the_disk_on_its_own_thread)
{
    std::mutex verrou;
    std::vector<std::string> surLaFenetre, ailleurs;
    auto noter = [&](const char* quoi) {
        const std::lock_guard<std::mutex> garde(verrou);
        (QThread::currentThread() == qApp->thread() ? surLaFenetre : ailleurs).push_back(quoi);
    };
    auto note = [&](const char* quoi, auto acces) {
        return [&noter, quoi, acces](const auto&... a) { noter(quoi); return acces(a...); };
    };
    using Table = Classe::TableClasse;
    SyntheseEnFond::Acces acces;
    acces.lister = note("lister", [](const std::string& d) { return Classe::Fichiers({d}); });
    acces.empreinte = note("empreinte", [](const std::string& c) {
        return std::optional<SyntheseEnFond::Empreinte>(SyntheseEnFond::Empreinte{fs::file_size(c), 0});
    });
    acces.analyser =
        note("analyser", [](const std::string& c, const Table& t) { return Classe::AnalyserFichier(c, t); });
    acces.lireTable = note("lireTable", [](const std::string& d) { return Classe::LireTable(d); });
    acces.ecrireTable =
        note("ecrireTable", [](const std::string& d, const Table& t) { return Classe::EcrireTable(d, t); });
    acces.ecrireFichier = note("ecrireFichier", [](const std::string&, const std::string&) {});
    auto f = Ouvrir(acces);
    f->ChampFacteur->setText(QStringLiteral("masse de catalyseur"));
    emit f->ChampFacteur->editingFinished();
    Attendre(*f);
    bureau.chosenName = (dossier / "rapport.pdf").string();
    QSignalSpy ecrit(f.get(), &FenetreClasse::RapportEcrit);
    f->EnregistrerRapport();
    ASSERT_TRUE(ecrit.wait(kAttente));
    f->Relire();
    Attendre(*f);
    f.reset();
    EXPECT_TRUE(surLaFenetre.empty()) << surLaFenetre.front();
    for (const char* quoi : {"lister", "empreinte", "analyser", "lireTable", "ecrireTable", "ecrireFichier"})
        EXPECT_NE(std::find(ailleurs.begin(), ailleurs.end(), quoi), ailleurs.end()) << quoi;
}

TEST_F(FenetreClasseTest, a_share_that_hangs_freezes_neither_the_window_nor_its_closing)
{
    std::promise<void> reponse;
    std::shared_future<void> attente = reponse.get_future().share();
    std::atomic<bool> appele{false};
    SyntheseEnFond::Acces acces;
    acces.lister = [attente, &appele](const std::string& d) {
        appele = true;
        attente.wait(); // the share does not answer
        return Classe::Fichiers({d});
    };
    auto f = std::make_unique<FenetreClasse>(bureau, dossier.string(), nullptr, acces);
    ASSERT_TRUE(QTest::qWaitFor([&] { return appele.load(); }, kAttente));
    // The window answers meanwhile: the copy and the factor's fields work.
    f->Copier();
    ASSERT_EQ(bureau.clipboard.size(), 1u);
    EXPECT_EQ(bureau.clipboard[0], Classe::TexteSynthese(Classe::Synthese{}, DecimalSeparator()));
    EXPECT_NE(f->Etat->text().indexOf(QStringLiteral("Lecture du dossier")), -1);
    f.reset(); // returns although the reading is still under way
    reponse.set_value();
}

TEST_F(FenetreClasseTest, a_folder_that_cannot_be_read_is_said_in_french)
{
    fs::remove_all(dossier);
    auto f = Ouvrir();
    EXPECT_EQ(f->Etat->text().toStdString(),
              "« " + dossier.string() + " » est introuvable : ni dossier ni fichier de ce nom.");
    EXPECT_EQ(f->Modele->rowCount(), 0);
    // Once it is there, the next reading lists its runs.
    fs::create_directories(dossier);
    Deposer(dossier, "essai_PC01.txt");
    f->Relire();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->Modele->rowCount() == 1; }, kAttente));
    EXPECT_EQ(f->Etat->text(), QStringLiteral("1 essai lu"));
}

namespace {

// The text poppler reads in a PDF (of its pages `pages`, if given) and its page count and size.
std::pair<std::string, std::string> LirePdf(const fs::path& pdf, const std::string& pages = "")
{
    return {Lancer("pdftotext " + pages + " -layout '" + pdf.string() + "' -").first,
            Lancer("pdfinfo '" + pdf.string() + "'").first};
}

// The last line of each of a PDF's first `pages` pages (its foot), its
// runs of spaces made one.
std::vector<std::string> Pieds(const fs::path& pdf, int pages)
{
    std::vector<std::string> pieds;
    for (int n = 1; n <= pages; ++n) {
        const std::string page = LirePdf(pdf, "-f " + std::to_string(n) + " -l " + std::to_string(n)).first;
        const std::string texte = page.substr(0, page.find_last_not_of(" \n\f") + 1);
        std::string pied;
        for (const char c : texte.substr(texte.find_last_of('\n') + 1))
            if (c != ' ' || (!pied.empty() && pied.back() != ' '))
                pied += c;
        pieds.push_back(pied);
    }
    return pieds;
}

} // namespace

TEST_F(FenetreClasseTest, the_class_report_holds_the_table_and_the_conclusions_from_the_window_and_the_command_line)
{
    auto f = Ouvrir();
    auto rapport = [&](const char* nom) {
        bureau.chosenName = (dossier / nom).string();
        QSignalSpy ecrit(f.get(), &FenetreClasse::RapportEcrit);
        f->BoutonRapport->click();
        EXPECT_TRUE(ecrit.wait(kAttente));
        EXPECT_EQ(ecrit.value(0).value(0).toString(), QString()); // no error
        return dossier / nom;
    };
    const fs::path pdf = rapport("rapport classe.pdf");
    ASSERT_EQ(bureau.dialogs.size(), 1u);
    EXPECT_EQ(bureau.dialogs[0].filters, "Documents PDF (*.pdf)");
    // The table page, and one page of charts: the Arrhenius line and the curves.
    const auto verifier = [](const std::pair<std::string, std::string>& lu) {
        const auto& [texte, info] = lu;
        EXPECT_NE(info.find("\nPages:           2\n"), std::string::npos) << info;
        EXPECT_NE(info.find("842 x 595"), std::string::npos) << info; // A4 landscape, in points
        for (const char* attendu : {"Synthèse de la classe", "essai_PC01.txt", "essai_PC02.txt", "essai_PC03.txt",
                                    "PC03", "Énergie d'activation Ea (J/mol)", "Facteur pré-exponentiel A (s-1)"})
            EXPECT_NE(texte.find(attendu), std::string::npos) << attendu << "\n" << texte;
    };
    const std::vector<std::string> pieds{"Synthèse de la classe 1/2", "Synthèse de la classe 2/2"};
    const std::string texte = LirePdf(pdf).first;
    verifier(LirePdf(pdf));
    EXPECT_EQ(Pieds(pdf, 2), pieds);
    // Each row's k as the table writes it (decimal comma).
    ASSERT_EQ(f->Modele->rowCount(), 3);
    for (const std::string& k : Colonne(*f, Classe::Colonne::K))
        EXPECT_NE(texte.find(k), std::string::npos) << k;

    // A zoom in the window reaches not the report's charts, and stays.
    const std::string graphiques = LirePdf(pdf, "-f 2 -l 2").first;
    ASSERT_FALSE(graphiques.empty());
    TChart& courbes = *f->Graphiques->GraphiqueCourbes;
    courbes.BottomAxis().SetMinMax(10, 20);
    EXPECT_EQ(LirePdf(rapport("zoome.pdf"), "-f 2 -l 2").first, graphiques);
    EXPECT_EQ(std::pair(courbes.BottomAxis().Minimum(), courbes.BottomAxis().Maximum()), std::pair(10.0, 20.0));
    EXPECT_FALSE(courbes.BottomAxis().Automatic());

    // The command line writes the same report; one that cannot be written: said, exit code 2, no file.
    const std::string programme = NELVAR_PROGRAMME;
    const fs::path pdfLigne = dossier / "classe.pdf", ailleurs = dossier / "absent" / "classe.pdf";
    const auto [sortie, code] =
        Lancer(programme + " --classe --pdf '" + pdfLigne.string() + "' '" + dossier.string() + "' 2>/dev/null");
    EXPECT_EQ(code, 0);
    const std::string tableau = sortie.substr(0, sortie.find("\n\n")); // the header and a row a run
    EXPECT_EQ(std::count(tableau.begin(), tableau.end(), '\n'), 3) << sortie;
    verifier(LirePdf(pdfLigne));
    EXPECT_EQ(Pieds(pdfLigne, 2), pieds);
    const auto [erreurs, echec] = Lancer(programme + " --classe --pdf '" + ailleurs.string() + "' '" +
                                         dossier.string() + "' 2>&1 >/dev/null");
    EXPECT_EQ(echec, 2);
    EXPECT_NE(erreurs.find(ailleurs.string() + " : "), std::string::npos) << erreurs;
    EXPECT_FALSE(fs::exists(ailleurs));
}

TEST_F(FenetreClasseTest, the_arrhenius_chart_matches_its_reference_picture)
{
    auto f = Ouvrir();
    TChart& g = *f->Graphiques->GraphiqueArrhenius;
    g.SetChartSize(640, 400);
    const QImage image = g.ScreenImage().convertToFormat(QImage::Format_RGB32);
    const QString nom = QStringLiteral("class-window-arrhenius.png");
    const QImage reference(QStringLiteral(NELVAR_APP_PICTURES "/") + nom);
    if (reference.isNull() || image != reference.convertToFormat(QImage::Format_RGB32)) {
        image.save(QStringLiteral("actual-") + nom);
        ADD_FAILURE() << "differs from the reference; see actual-" << nom.toStdString();
    }
}

TEST_F(FenetreClasseTest, the_analysis_menu_opens_the_synthesis_on_the_class_folder)
{
    UPrincipal::ReinitialiserEtatUnite();
    UDravoC::ReinitialiserEtatUnite();
    VirtualClock horloge{std::chrono::microseconds(2)};
    SimulatedCard carte{horloge};
    FakeBoxes boites;
    {
        TForm1 principale{carte, boites, &bureau};
        EXPECT_EQ(principale.Synthesedelaclasse1->text(), QStringLiteral("&Synthèse de la classe…"));
        EXPECT_TRUE(principale.Analyse1->actions().contains(principale.Synthesedelaclasse1));
        // No class folder yet: it is asked for; cancelled, no window.
        int demandes = 0;
        std::optional<std::string> choix;
        principale.ChoisirDossierClasse = [&] {
            ++demandes;
            return choix;
        };
        principale.Synthesedelaclasse1->trigger();
        EXPECT_EQ(demandes, 1);
        EXPECT_EQ(principale.FenetreClasse1, nullptr);
        // Chosen: the window on it, and the folder kept as the class folder.
        choix = dossier.string();
        principale.Synthesedelaclasse1->trigger();
        EXPECT_EQ(demandes, 2);
        FenetreClasse* f = principale.FenetreClasse1;
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Dossier(), dossier.string());
        EXPECT_EQ(principale.DossierClasse().chemin, dossier.string());
        EXPECT_TRUE(f->isVisible());
        Attendre(*f);
        EXPECT_EQ(f->Modele->rowCount(), 3);
        // Again: the same window, nothing asked.
        principale.Synthesedelaclasse1->trigger();
        EXPECT_EQ(principale.FenetreClasse1, f);
        EXPECT_EQ(demandes, 2);
        // NELVAR_CLASSE names another folder for the room: a window on it.
        const fs::path autre = dossier / "autre";
        fs::create_directories(autre);
        ::setenv("NELVAR_CLASSE", autre.c_str(), 1);
        principale.Synthesedelaclasse1->trigger();
        ::unsetenv("NELVAR_CLASSE");
        ASSERT_NE(principale.FenetreClasse1, nullptr);
        EXPECT_EQ(principale.FenetreClasse1->Dossier(), autre.string());
        Attendre(*principale.FenetreClasse1);
        EXPECT_EQ(principale.FenetreClasse1->Modele->rowCount(), 0);
    }
    UPrincipal::ReinitialiserEtatUnite();
    UDravoC::ReinitialiserEtatUnite();
}
