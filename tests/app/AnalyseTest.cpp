// The analysis window: opened from the menu on a saved run or on the run of
// the main window, its results, marks, tangent, interval, live refresh and
// copies. The saved run is drawn from a known first-order law (x_f =
// 2,93 mmol, t½ = 83,2 s at 0,25 L and 20 °C), which the window must find.
#include "analyse/AideAnalyse.h"
#include "analyse/AnalyseEssai.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "chart/TPointSeries.h"
#include "commande/LigneCommande.h"
#include "tests/app/support/FenetreFixture.h"

#include <QAction>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr double kXf = 2.93e-3;                 // mol
constexpr double kTDemi = 83.2;                 // s
constexpr double kK = 0.69314718055994531 / kTDemi;
constexpr double kMolParPa = 0.00025 / (8.314 * 293); // 0,25 L at 20 °C
constexpr double kP0 = 100000;
constexpr int kPoints = 400;
constexpr double kPas = 1.00013;

// The law's pressure at point i, with ±15 Pa of alternating noise.
double Pression(int i)
{
    const double t = i * kPas;
    return kP0 + kXf / kMolParPa * (1 - std::exp(-kK * t)) + (i % 2 ? 15.0 : -15.0);
}

const TChartMark* Marque(const FenetreAnalyse& f, TChartMarkKind sorte, int rang = 0)
{
    for (const TChartMark& m : f.GraphiqueAvancement->ChartMarks().Items())
        if (m.Kind == sorte && rang-- == 0)
            return &m;
    return nullptr;
}

} // namespace

class AnalyseTest : public FenetreTest {
protected:
    void SetUp() override
    {
        FenetreTest::SetUp();
        chemin = (std::filesystem::temp_directory_path() / ("nelvar-analyse-" + std::to_string(::getpid()) + ".txt"))
                     .string();
        std::ofstream fichier(chemin);
        fichier << "Date, en s\tTension sur la voie 1, en V\r";
        fichier.precision(10);
        for (int i = 0; i < kPoints; ++i)
            fichier << i * kPas << "\t" << Pression(i) << "\r";
        form->ChoisirEssai = [this] { return std::optional<std::string>(chemin); };
    }
    void TearDown() override
    {
        std::filesystem::remove(chemin);
        FenetreTest::TearDown();
    }
    FenetreAnalyse& Ouvrir()
    {
        form->Ouvrirunessai1->trigger();
        EXPECT_NE(form->FenetreAnalyse1, nullptr);
        Activer(*form->FenetreAnalyse1);
        return *form->FenetreAnalyse1;
    }
    // The value and uncertainty the results show on the line `libelle`.
    std::pair<double, double> Valeur(const FenetreAnalyse& f, const QString& libelle)
    {
        const QRegularExpression forme(QRegularExpression::escape(libelle) +
                                       QStringLiteral(" : \\(?(-?[0-9]+,[0-9]+) ± ([0-9]+,[0-9]+)\\)?"));
        const auto trouve = forme.match(f.Resultats->text());
        EXPECT_TRUE(trouve.hasMatch()) << f.Resultats->text().toStdString();
        auto lire = [&](int n) { return trouve.captured(n).replace(',', '.').toDouble(); };
        return {lire(1), lire(2)};
    }

    // The window active, as the shortcuts want it.
    static void Activer(FenetreAnalyse& f)
    {
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    }
    // The extent chart drawn at 640 × 400, its axes placed for the mouse.
    static void Placer(FenetreAnalyse& f)
    {
        f.GraphiqueAvancement->SetChartSize(640, 400);
        f.GraphiqueAvancement->ScreenImage();
    }

    // A chart (the extent chart unless told), pixel for pixel, against the
    // reference `nom`; when it differs it is written as "actual-<nom>" to
    // look at.
    static void CommeLaReference(FenetreAnalyse& f, const QString& nom, TChart* graphique = nullptr)
    {
        if (graphique == nullptr)
            graphique = f.GraphiqueAvancement;
        const QImage image = graphique->ScreenImage().convertToFormat(QImage::Format_RGB32);
        const QImage reference(QStringLiteral(NELVAR_APP_PICTURES "/") + nom);
        if (reference.isNull() || image != reference.convertToFormat(QImage::Format_RGB32)) {
            image.save(QStringLiteral("actual-") + nom);
            ADD_FAILURE() << "differs from the reference; see actual-" << nom.toStdString();
        }
    }

    std::string chemin;
};

TEST(ArrondiIncertitude, keeps_one_or_two_digits_of_the_uncertainty_and_rounds_the_value_there)
{
    SetDecimalSeparator(',');
    const struct {
        double valeur, incertitude;
        const char* attendu;
    } cas[] = {
        {83.214, 0.47, "83,2 ± 0,5 s"},       {83.214, 1.63, "83,2 ± 1,6 s"},
        {83.214, 0.0996, "83,21 ± 0,10 s"},   {1234.5, 38, "1230 ± 40 s"},
        {2.9312e-3, 1.234e-5, "(2,931 ± 0,012)·10⁻³ s"}, {0.00834, 0.000025, "(8,340 ± 0,025)·10⁻³ s"},
        {-0.05, 0.3, "-0,1 ± 0,3 s"},          {12.5, 0, "12,5 s"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(ArrondiIncertitude(c.valeur, c.incertitude, "s", DecimalSeparator()), c.attendu) << c.valeur;
}

TEST_F(AnalyseTest, a_saved_run_shows_its_law_in_the_results_and_the_marks)
{
    FenetreAnalyse& f = Ouvrir();
    ASSERT_TRUE(f.Analyse().Valide()) << f.Analyse().Erreur();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Analyse().Points(), kPoints);

    const auto [xf, uXf] = Valeur(f, QStringLiteral("x<sub>f</sub>"));
    EXPECT_NEAR(xf, 2.93, 3 * uXf + 0.001);
    const auto [tDemi, uTDemi] = Valeur(f, QStringLiteral("t½ (modèle)"));
    EXPECT_NEAR(tDemi, kTDemi, 3 * uTDemi + 0.01);
    EXPECT_GT(uTDemi, 0);
    EXPECT_TRUE(f.Resultats->text().contains(QStringLiteral("Points : 400")));
    EXPECT_TRUE(f.Resultats->text().contains(QStringLiteral("Intervalle : de 0 à 399,052 s")));

    const TChartMark* haut = Marque(f, TChartMarkKind::HorizontalLine, 0);
    const TChartMark* moitie = Marque(f, TChartMarkKind::HorizontalLine, 1);
    const TChartMark* demi = Marque(f, TChartMarkKind::VerticalLine);
    ASSERT_TRUE(haut && moitie && demi);
    EXPECT_EQ(haut->Text, "x_f = 2,93 mmol");
    EXPECT_NEAR(haut->Y, 2.93, 0.005);
    EXPECT_NEAR(moitie->Y, 2.93 / 2, 0.005);
    EXPECT_EQ(demi->Text, "t½ = 83,2 s");
    EXPECT_NEAR(demi->X, kTDemi, 0.1);
    EXPECT_EQ(f.SerieMesures->Count(), kPoints);
    // The model's line passes through the half-way mark at t½.
    const int i = f.SerieModele->NearestPointIndex(demi->X);
    EXPECT_NEAR(f.SerieModele->YValue(i), moitie->Y, 0.02);
    // τ = 1/k: the dotted tangent at the start meets x_f on the dashed mark.
    const TChartMark* tau = Marque(f, TChartMarkKind::VerticalLine, 1);
    const TChartMark* depart = Marque(f, TChartMarkKind::Line);
    ASSERT_TRUE(tau && depart);
    EXPECT_EQ(tau->Text.substr(0, 5), "τ = ");
    EXPECT_NEAR(tau->X, 1 / kK, 0.5);
    EXPECT_NEAR(depart->Y + depart->Slope * (tau->X - depart->X), haut->Y, 0.005);

    // The second chart's tabs: the rate at the start, k·x_f / V from the law,
    // and the first-order test's line of slope k.
    EXPECT_EQ(f.Onglets->tabText(0), QStringLiteral("V&itesse volumique"));
    EXPECT_EQ(f.Onglets->tabText(1), QStringLiteral("Test de l'&ordre 1"));
    ASSERT_GT(f.SerieVitesseModele->Count(), 0);
    // About 10⁻⁴ mol·L⁻¹·s⁻¹: the axis's title carries the power of ten.
    EXPECT_EQ(f.GraphiqueVitesse->LeftAxis().Title().Caption(), "v en 10⁻⁵ mol·L⁻¹·s⁻¹");
    EXPECT_NEAR(f.SerieVitesseModele->YValue(0) * 1e-5, kK * kXf / 0.25, 0.01 * kK * kXf / 0.25);
    EXPECT_NEAR(f.SerieVitesseMesures->YValue(100) * 1e-5, kK * kXf / 0.25 * std::exp(-kK * 100 * kPas),
                0.05 * kK * kXf / 0.25);
    f.Onglets->setCurrentIndex(1); // each tab's chart drawn when shown
    ASSERT_EQ(f.SerieTestDroite->Count(), 2);
    EXPECT_NEAR((f.SerieTestDroite->YValue(1) - f.SerieTestDroite->YValue(0)) /
                    (f.SerieTestDroite->XValue(1) - f.SerieTestDroite->XValue(0)),
                kK, 0.01 * kK);
}

TEST_F(AnalyseTest, alt_n_opens_the_analysis_menu_and_ctrl_l_raises_the_one_window)
{
    Montrer();
    QTest::keyClick(form.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), static_cast<QWidget*>(form->Analyse1));
    QTest::keyClick(form->Analyse1, Qt::Key_Escape);
    form->MainMenu1->setActiveAction(nullptr);
    QTest::keyClick(form->Edit1, Qt::Key_L, Qt::ControlModifier); // over an edit field too
    FenetreAnalyse* premiere = form->FenetreAnalyse1;
    ASSERT_NE(premiere, nullptr);
    EXPECT_TRUE(premiere->isVisible());
    EXPECT_EQ(premiere->windowTitle(), QStringLiteral("Analyse de l'essai")); // no run yet, none named
    premiere->close();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(form->FenetreAnalyse1, premiere);
    EXPECT_TRUE(premiere->isVisible());
    EXPECT_EQ(form->findChildren<FenetreAnalyse*>().size(), 1);
}

TEST_F(AnalyseTest, a_click_draws_the_tangent_at_the_nearest_point_and_escape_removes_it)
{
    FenetreAnalyse& f = Ouvrir();
    Placer(f);
    const int x = f.GraphiqueAvancement->XPixel(50.2), y = f.GraphiqueAvancement->YPixel(1.0);
    f.GraphiqueAvancement->MouseMove(x, y); // the readout of the nearest point
    EXPECT_EQ(f.Etat->text().toStdString(), "Point le plus proche : t = 50,0065 s ; x = " +
                                                FormatGeneral((Pression(50) - Pression(0)) * kMolParPa * 1000, 4, DecimalSeparator()) +
                                                " mmol ; p = " + FormatGeneral(Pression(50), 6, DecimalSeparator()) + " Pa");
    f.GraphiqueAvancement->MouseDown(TMouseButton::Left, x, y);
    f.GraphiqueAvancement->MouseUp(TMouseButton::Left, x + 2, y + 1);

    ASSERT_TRUE(f.TempsTangente());
    EXPECT_DOUBLE_EQ(*f.TempsTangente(), 50 * kPas); // the nearest point's date
    const TChartMark* tangente = Marque(f, TChartMarkKind::Line, 1); // after the one at the start
    ASSERT_NE(tangente, nullptr);
    const double pente = kK * kXf * std::exp(-kK * 50 * kPas) * 1000; // mmol/s, from the law
    EXPECT_NEAR(tangente->Slope, pente, 0.01 * pente);
    EXPECT_TRUE(f.TexteTangente->text().startsWith(QStringLiteral("Tangente à t = 50,007 s : dx/dt = ")));

    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_FALSE(f.TempsTangente());
    EXPECT_EQ(Marque(f, TChartMarkKind::Line, 1), nullptr);
}

TEST_F(AnalyseTest, a_ctrl_click_excludes_the_nearest_point_drawn_hollow_and_ctrl_z_takes_it_back)
{
    FenetreAnalyse& f = Ouvrir();
    Placer(f);
    const std::string avant = f.Analyse().TexteResultats(DecimalSeparator());
    const QPoint ici(f.GraphiqueAvancement->XPixel(50.2), f.GraphiqueAvancement->YPixel(1.0));
    QTest::mouseClick(f.GraphiqueAvancement, Qt::LeftButton, Qt::ControlModifier, ici);
    EXPECT_TRUE(f.Analyse().Exclu(50));
    EXPECT_FALSE(f.TempsTangente()); // no tangent for a Ctrl+click
    EXPECT_EQ(f.SerieExclus->Count(), 1);
    EXPECT_TRUE(f.SerieExclus->Hollow());
    EXPECT_EQ(f.SerieMesures->Count(), kPoints - 1);
    const QString liste = QStringLiteral("Point exclu à la demande : t = 50,0065 s.");
    EXPECT_TRUE(f.Resultats->text().contains(liste)) << f.Resultats->text().toStdString();
    EXPECT_NE(f.Analyse().TexteResultats(DecimalSeparator()).find(liste.toStdString()), std::string::npos);
    EXPECT_EQ(f.Analyse().Resultat().points, kPoints - 1);

    QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(f.Analyse().Exclu(50));
    EXPECT_EQ(f.SerieExclus->Count(), 0);
    EXPECT_EQ(f.SerieMesures->Count(), kPoints);
    EXPECT_EQ(f.Analyse().TexteResultats(DecimalSeparator()), avant);
}

TEST_F(AnalyseTest, a_straight_rise_draws_no_half_time_or_final_extent_and_says_not_determined)
{
    std::ofstream droite(chemin, std::ios::trunc);
    droite << "Date, en s\tTension sur la voie 1, en V\r";
    for (int i = 0; i < kPoints; ++i)
        droite << i << "\t" << kP0 + 3 * i + (i % 2 ? 15 : -15) << "\r";
    droite.close();
    FenetreAnalyse& f = Ouvrir();
    ASSERT_TRUE(f.Analyse().Valide()) << f.Analyse().Erreur();
    EXPECT_EQ(Marque(f, TChartMarkKind::VerticalLine), nullptr);
    EXPECT_EQ(Marque(f, TChartMarkKind::HorizontalLine), nullptr);
    for (const char* ligne : {"k : non déterminé", "t½ (modèle) : non déterminé", "Aucune courbure visible : "})
        EXPECT_TRUE(f.Resultats->text().contains(QString::fromUtf8(ligne))) << f.Resultats->text().toStdString();
}

TEST(AnalyseEssai, values_the_data_cannot_give_are_said_not_determined)
{
    // A pressure rising in a straight line: no curvature, no k.
    DonneesEssai donnees;
    donnees.nom = "droite";
    donnees.volume = 0.25;
    donnees.temperature = 20;
    for (int i = 0; i < 300; ++i)
        donnees.points.push_back({double(i), kP0 + 3.0 * i + (i % 2 ? 5.0 : -5.0)});
    AnalyseEssai analyse;
    analyse.SetDonnees(donnees);
    analyse.Recalculer();
    ASSERT_TRUE(analyse.Valide());
    int nonDetermines = 0;
    for (const auto& [libelle, valeur] : analyse.LignesResultats(DecimalSeparator()))
        if (valeur == "non déterminé")
            ++nonDetermines;
    EXPECT_EQ(nonDetermines, 5); // x_f, k, t½, the graphical t½ and the rate at the start
}

TEST_F(AnalyseTest, a_changed_interval_refits_from_the_fields_and_from_the_markers)
{
    FenetreAnalyse& f = Ouvrir();
    f.ChampDebut->setText(QStringLiteral("100"));
    QMetaObject::invokeMethod(f.ChampDebut, "editingFinished");
    ASSERT_TRUE(f.Analyse().Valide());
    EXPECT_EQ(f.Analyse().Resultat().points, kPoints - 100);
    EXPECT_DOUBLE_EQ(f.GraphiqueAvancement->IntervalMarkers().Value(TIntervalEdge::Start), 100 * kPas);
    EXPECT_NEAR(Valeur(f, QStringLiteral("t½ (modèle)")).first, kTDemi, 0.5); // same law on its tail

    // Dragging the end marker to about 300 s refits at each move.
    Placer(f);
    const int y = f.GraphiqueAvancement->YPixel(1.0);
    f.GraphiqueAvancement->MouseDown(TMouseButton::Left, f.GraphiqueAvancement->XPixel(399.052), y);
    f.GraphiqueAvancement->MouseMove(f.GraphiqueAvancement->XPixel(300), y);
    f.GraphiqueAvancement->MouseUp(TMouseButton::Left, f.GraphiqueAvancement->XPixel(300), y);
    ASSERT_TRUE(f.Analyse().Valide());
    EXPECT_NEAR(f.Analyse().Resultat().fin, 300, 2);
    EXPECT_NEAR(f.ChampFin->text().replace(',', '.').toDouble(), 300, 2);
    EXPECT_LT(f.Analyse().Resultat().points, kPoints - 100);
}

TEST_F(AnalyseTest, a_refusal_of_the_analysis_is_shown_in_the_results)
{
    FenetreAnalyse& f = Ouvrir();
    f.ChampDebut->setText(QStringLiteral("5000"));
    QMetaObject::invokeMethod(f.ChampDebut, "editingFinished");
    EXPECT_FALSE(f.Analyse().Valide());
    EXPECT_FALSE(f.Analyse().Erreur().empty());
    EXPECT_EQ(f.Resultats->text().toStdString(), f.Analyse().Erreur());
    EXPECT_EQ(f.SerieModele->Count(), 0);
    EXPECT_TRUE(f.GraphiqueAvancement->ChartMarks().Items().empty());
}

TEST_F(AnalyseTest, ctrl_c_copies_the_command_line_row_and_the_table_has_six_digits)
{
    FenetreAnalyse& f = Ouvrir();
    f.ChampDebut->setFocus(); // the results win over the field's own copy
    QTest::keyClick(f.ChampDebut, Qt::Key_C, Qt::ControlModifier);
    std::ostringstream sortie, erreurs;
    const std::vector<std::string> arguments{"--analyse", "--volume", "0,25", "--temperature", "20", chemin};
    ASSERT_EQ(Cinetique::EnLigneDeCommande(arguments, DecimalSeparator(), sortie, erreurs), 0) << erreurs.str();
    ASSERT_EQ(platform.clipboard.size(), 1u);
    EXPECT_EQ(platform.clipboard.back(), sortie.str());

    f.BoutonTableau->click();
    std::istringstream tableau(platform.clipboard.back());
    std::string ligne;
    std::getline(tableau, ligne);
    EXPECT_EQ(ligne, "t (s)\tp (Pa)\tx (mol)\tx modèle (mol)\tv dérivée des mesures (mol·L⁻¹·s⁻¹)");
    std::getline(tableau, ligne);
    std::getline(tableau, ligne); // point 1
    EXPECT_TRUE(ligne.starts_with("1,00013\t" + FormatGeneral(Pression(1), 6, DecimalSeparator()) + "\t")) << ligne;
    int lignes = 3; // the header, points 0 and 1
    while (std::getline(tableau, ligne))
        ++lignes;
    EXPECT_EQ(lignes, kPoints + 1);
}

TEST_F(AnalyseTest, ctrl_l_follows_the_run_tick_by_tick_with_the_result_table_values)
{
    // p et -p: each code step is 250 Pa; the codes rise as 400·(1 - e^(-i/20)).
    Click();
    form->Analyserlessai1->trigger();
    FenetreAnalyse& f = *form->FenetreAnalyse1;
    Activer(f);
    EXPECT_FALSE(f.Analyse().Valide()); // no point yet: a message, no crash
    for (int i = 1; i <= 60; ++i) {
        const int n = static_cast<int>(std::lround(400 * (1 - std::exp(-i / 20.0))));
        SetCodes(static_cast<std::uint16_t>(2048 + n), static_cast<std::uint16_t>(2048 - n));
        Tick();
        ASSERT_EQ(f.Analyse().Points(), i);
    }
    EXPECT_TRUE(f.Etat->text().startsWith(QStringLiteral("Mesure en cours")));
    ASSERT_TRUE(f.Analyse().Valide()) << f.Analyse().Erreur();
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(f.Analyse().Donnees().points[i].p, static_cast<double>(form->P->MesuresVoie1[i]));
        EXPECT_EQ(*f.Analyse().Avancement(i), static_cast<double>(form->P->MesuresVoie2[i]));
    }
    // The law's time constant, 20 ticks: t½ = 20·ln 2 periods.
    EXPECT_NEAR(f.Analyse().Resultat().tDemi, 20 * std::log(2.0) * kPas, 1.0);

    Click(); // stop
    EXPECT_FALSE(f.Etat->text().contains(QStringLiteral("Mesure en cours")));
    QTest::keyClick(&f, Qt::Key_C, Qt::ControlModifier);
    ASSERT_FALSE(platform.clipboard.empty());
    EXPECT_TRUE(platform.clipboard.back().find("\nEssai 1\t60\t") != std::string::npos);
}

TEST_F(AnalyseTest, the_extent_chart_matches_its_reference_picture)
{
    FenetreAnalyse& f = Ouvrir();
    f.PoserTangente(40);
    Placer(f);
    CommeLaReference(f, QStringLiteral("analysis-window-chart.png"));
}

TEST_F(AnalyseTest, the_first_order_test_chart_writes_its_subscripts_as_subscripts)
{
    // "p_a" and "t_a" in the axis titles: the left one read upward, its
    // subscript lowered towards the plot, as the picture shows.
    FenetreAnalyse& f = Ouvrir();
    f.Onglets->setCurrentWidget(f.GraphiqueTest);
    EXPECT_EQ(f.GraphiqueTest->LeftAxis().Title().Caption(), "ln((p∞ − p_a)/(p∞ − p))");
    EXPECT_EQ(f.GraphiqueTest->BottomAxis().Title().Caption(), "t − t_a en s");
    f.GraphiqueTest->SetChartSize(640, 400);
    CommeLaReference(f, QStringLiteral("analysis-window-order-one-test.png"), f.GraphiqueTest);
}

TEST_F(AnalyseTest, the_comparison_table_header_writes_x_f_with_a_subscript)
{
    // The header's "x_f (mmol)" as drawn: its first glyph the x, the next
    // one the f, smaller and lowered: neither an underscore under the
    // baseline nor a full-size f rising above the x.
    FenetreAnalyse& f = Ouvrir();
    f.Onglets->setCurrentIndex(2);
    QHeaderView* entete = f.TableauComparaison->horizontalHeader();
    EXPECT_EQ(f.TableauComparaison->horizontalHeaderItem(5)->text(), QStringLiteral("x_f (mmol)")); // copies keep it
    const QImage image =
        entete->grab(QRect(entete->sectionViewportPosition(5), 0, entete->sectionSize(5), entete->height()))
            .toImage();
    struct Glyphe {
        int gauche, droite, haut = 1 << 20, bas = -1;
    };
    std::vector<Glyphe> glyphes; // runs of columns holding ink, left to right
    constexpr int kBord = 3;       // the section's frame left out
    for (int x = kBord; x < image.width() - kBord; ++x) {
        int haut = 1 << 20, bas = -1;
        for (int y = kBord; y < image.height() - kBord; ++y)
            if (qGray(image.pixel(x, y)) < 0xB0)
                haut = std::min(haut, y), bas = std::max(bas, y);
        if (bas < 0)
            continue;
        if (glyphes.empty() || glyphes.back().droite != x - 1)
            glyphes.push_back({x, x});
        Glyphe& g = glyphes.back();
        g.droite = x;
        g.haut = std::min(g.haut, haut);
        g.bas = std::max(g.bas, bas);
    }
    ASSERT_GE(glyphes.size(), 3u);
    const Glyphe& x = glyphes[0];
    const Glyphe& indice = glyphes[1];
    EXPECT_LT(indice.haut, x.bas);     // not an underscore
    EXPECT_GE(indice.haut, x.haut);     // not a full-size f rising above the x
    EXPECT_GT(indice.bas, x.bas);       // lowered
}

TEST_F(AnalyseTest, runs_ticked_in_the_list_are_overlaid_and_tabled_with_the_same_half_time)
{
    // One first-order law (time constant 20 ticks), then half the amount: same t½.
    for (const int amplitude : {400, 200}) {
        Click();
        for (int i = 1; i <= 80; ++i) {
            const int n = static_cast<int>(std::lround(amplitude * (1 - std::exp(-i / 20.0))));
            SetCodes(static_cast<std::uint16_t>(2048 + n), static_cast<std::uint16_t>(2048 - n));
            Tick();
        }
        Click();
    }
    EXPECT_EQ(Points1(), 80); // the main chart shows the last run alone
    form->Analyserlessai1->trigger();
    FenetreAnalyse& f = *form->FenetreAnalyse1;
    f.Onglets->setCurrentIndex(2);
    EXPECT_EQ(f.Onglets->tabText(2), QStringLiteral("Essais com&parés"));
    ASSERT_EQ(f.ListeEssais->count(), 2);
    // Named by their start, the computer that measured them and their conditions.
    const QRegularExpression nom(QStringLiteral("^\\d\\d/\\d\\d \\d\\d:\\d\\d, ") +
                                 QRegularExpression::escape(QString::fromStdString(NomDeLaMachine())) +
                                 QStringLiteral(", V = 0,\\d+ L, θ = \\d+ °C$"));
    EXPECT_TRUE(nom.match(f.ListeEssais->item(0)->text()).hasMatch()) << f.ListeEssais->item(0)->text().toStdString();
    f.ListeEssais->item(0)->setCheckState(Qt::Checked);
    f.ListeEssais->item(1)->setCheckState(Qt::Checked);

    std::vector<const TChartSeries*> courbes;
    for (int i = 0; i < f.GraphiqueComparaison->SeriesCount(); ++i)
        if (f.GraphiqueComparaison->Series(i)->Active())
            courbes.push_back(f.GraphiqueComparaison->Series(i));
    ASSERT_EQ(courbes.size(), 2u);
    EXPECT_NE(courbes[0]->SeriesColor(), courbes[1]->SeriesColor());
    EXPECT_EQ(courbes[1]->Title(), f.ListeEssais->item(1)->text().toStdString()); // in the legend
    EXPECT_EQ(courbes[0]->Count(), 80);
    EXPECT_NEAR(courbes[1]->YValue(79) / courbes[0]->YValue(79), 0.5, 0.01);

    ASSERT_EQ(f.TableauComparaison->rowCount(), 2);
    EXPECT_EQ(f.TableauComparaison->horizontalHeaderItem(7)->text(), QStringLiteral("t½ (modèle) (s)"));
    for (int ligne = 0; ligne < 2; ++ligne) {
        EXPECT_EQ(f.TableauComparaison->item(ligne, 1)->text().toStdString(), NomDeLaMachine());
        EXPECT_EQ(f.TableauComparaison->item(ligne, 4)->text(), QStringLiteral("80"));
        const QString tDemi = f.TableauComparaison->item(ligne, 7)->text();
        EXPECT_NEAR(tDemi.section(QLatin1Char(' '), 0, 0).replace(',', '.').toDouble(), 20 * std::log(2.0) * kPas,
                    0.3)
            << tDemi.toStdString();
    }

    // A third run appears in the list at its first point; the ticks keep it.
    Click();
    Tick();
    EXPECT_EQ(f.ListeEssais->count(), 3);
}

TEST_F(AnalyseTest, the_status_line_counts_the_readings_more_than_a_quarter_second_late)
{
    FenetreAnalyse& f = Ouvrir();
    DonneesEssai donnees;
    donnees.nom = "Essai 1";
    for (const auto& [reelle, tick] : {std::pair{0.0, 0.0}, {1.26, 1.0}, {2.25, 2.0}, {3.9, 3.0}, {4.3, 4.0}})
        donnees.points.push_back({reelle, Pression(static_cast<int>(tick))}), donnees.tempsTicks.push_back(tick);
    f.MontrerEssai(donnees, false);
    EXPECT_EQ(f.Analyse().LecturesEnRetard(), 3); // 0,26, 0,9 and 0,3 s; 0,25 s is on time
    EXPECT_TRUE(f.Etat->text().startsWith(QStringLiteral("3 lectures en retard (plus de 0,25 s)")))
        << f.Etat->text().toStdString();
}

TEST_F(AnalyseTest, from_a_later_start_the_marks_say_where_they_stand)
{
    // Début at 52 s: the vertical line stands at t_a + t½ and the horizontal
    // one half-way from x_a to x_f; their labels say so, as the picture shows.
    FenetreAnalyse& f = Ouvrir();
    f.ChampDebut->setText(QStringLiteral("52"));
    QMetaObject::invokeMethod(f.ChampDebut, "editingFinished");
    ASSERT_TRUE(f.Analyse().Valide());
    const double ta = f.Analyse().Resultat().modele.ta;
    EXPECT_NEAR(ta, 52 * kPas, 0.01);
    const double xa = kXf * (1 - std::exp(-kK * ta)) * 1000; // mmol, from the law
    const TChartMark* haut = Marque(f, TChartMarkKind::HorizontalLine, 0);
    const TChartMark* moitie = Marque(f, TChartMarkKind::HorizontalLine, 1);
    const TChartMark* demi = Marque(f, TChartMarkKind::VerticalLine, 0);
    const TChartMark* tau = Marque(f, TChartMarkKind::VerticalLine, 1);
    ASSERT_TRUE(haut && moitie && demi && tau);
    EXPECT_EQ(moitie->Text, "(x_a + x_f)/2");
    EXPECT_NEAR(moitie->Y, (xa + kXf * 1000) / 2, 0.005);
    EXPECT_EQ(demi->Text, "t_a + t½ = 135,2 s"); // 52,007 + 83,2
    EXPECT_NEAR(demi->X, ta + kTDemi, 0.3);
    EXPECT_EQ(tau->Text, "t_a + τ = 172,0 s"); // 52,007 + 120,0
    Placer(f);
    CommeLaReference(f, QStringLiteral("analysis-window-from-52s.png"));
}

TEST_F(AnalyseTest, without_volume_and_temperature_the_chart_shows_the_pressure_with_its_model_and_marks)
{
    FenetreAnalyse& f = Ouvrir();
    f.ChampVolume->clear();
    QMetaObject::invokeMethod(f.ChampVolume, "editingFinished");
    ASSERT_TRUE(f.Analyse().Valide());
    EXPECT_EQ(f.GraphiqueAvancement->Title().Text().front(), "Pression au cours du temps");
    EXPECT_EQ(f.GraphiqueAvancement->LeftAxis().Title().Caption(), "Pression en Pa");
    ASSERT_EQ(f.SerieMesures->Count(), kPoints);
    EXPECT_NEAR(f.SerieMesures->YValue(7), Pression(7), 1e-3); // as the file writes it
    const double pFinale = kP0 + kXf / kMolParPa;
    const TChartMark* haut = Marque(f, TChartMarkKind::HorizontalLine, 0);
    const TChartMark* demi = Marque(f, TChartMarkKind::VerticalLine, 0);
    ASSERT_TRUE(haut && demi);
    EXPECT_NEAR(haut->Y, pFinale, 5);
    EXPECT_EQ(haut->Text.substr(0, 7), "p∞ = ");
    EXPECT_EQ(demi->Text, "t½ = 83,2 s");
    const TChartMark* moitie = Marque(f, TChartMarkKind::HorizontalLine, 1);
    ASSERT_NE(moitie, nullptr);
    EXPECT_EQ(moitie->Text, "(p_a + p∞)/2");
    EXPECT_NEAR(moitie->Y, (kP0 + pFinale) / 2, 5);
}

TEST_F(AnalyseTest, ctrl_z_undoes_the_zoom_from_a_field_unless_typing_is_to_be_undone)
{
    FenetreAnalyse& f = Ouvrir();
    Activer(f);
    Placer(f);
    TChart& graphique = *f.GraphiqueAvancement;
    auto zoomer = [&graphique] {
        graphique.ZoomRect(graphique.XPixel(100), graphique.YPixel(2.5), graphique.XPixel(200), graphique.YPixel(1));
        ASSERT_TRUE(graphique.HasSavedScale());
    };
    zoomer();
    f.ChampDebut->setFocus();
    QTest::keyClick(f.ChampDebut, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(graphique.HasSavedScale());
    EXPECT_TRUE(graphique.BottomAxis().Automatic());

    zoomer();
    f.ChampFin->setFocus();
    QTest::keyClicks(f.ChampFin, QStringLiteral("12"));
    QTest::keyClick(f.ChampFin, Qt::Key_Z, Qt::ControlModifier); // the typing's undo
    EXPECT_NE(f.ChampFin->text(), QStringLiteral("12"));
    EXPECT_TRUE(graphique.HasSavedScale());
}

TEST_F(AnalyseTest, a_new_run_starts_unzoomed_without_the_last_readout)
{
    FenetreAnalyse& f = Ouvrir();
    Placer(f);
    f.GraphiqueAvancement->MouseMove(f.GraphiqueAvancement->XPixel(50), f.GraphiqueAvancement->YPixel(1));
    ASSERT_TRUE(f.Etat->text().contains(QStringLiteral("Point le plus proche")));
    f.GraphiqueVitesse->SetChartSize(640, 300);
    f.GraphiqueVitesse->ScreenImage();
    f.GraphiqueVitesse->ZoomRect(100, 50, 300, 200);
    ASSERT_TRUE(f.GraphiqueVitesse->HasSavedScale());

    DonneesEssai autre;
    autre.nom = "autre.txt";
    autre.fichier = true;
    for (int i = 0; i < 50; ++i)
        autre.points.push_back({i * kPas, Pression(i)});
    f.MontrerEssai(std::move(autre), false);
    EXPECT_FALSE(f.Etat->text().contains(QStringLiteral("Point le plus proche"))) << f.Etat->text().toStdString();
    EXPECT_FALSE(f.GraphiqueVitesse->HasSavedScale());
}

TEST_F(AnalyseTest, ctrl_c_in_the_comparison_tab_copies_the_table_of_the_ticked_runs)
{
    FenetreAnalyse& f = Ouvrir();
    Activer(f);
    f.Onglets->setCurrentIndex(2);
    ASSERT_GE(f.ListeEssais->count(), 1);
    f.ListeEssais->item(0)->setCheckState(Qt::Checked);
    ASSERT_EQ(f.TableauComparaison->rowCount(), 1);
    QTest::keyClick(&f, Qt::Key_C, Qt::ControlModifier);
    ASSERT_FALSE(platform.clipboard.empty());
    std::string attendu =
        "Essai\tPoste\tV (L)\tθ (°C)\tPoints\tx_f (mmol)\tk (s⁻¹)\tt½ (modèle) (s)\tp initiale (Pa)\n";
    for (int colonne = 0; colonne < f.TableauComparaison->columnCount(); ++colonne)
        attendu += (colonne ? "\t" : "") + f.TableauComparaison->item(0, colonne)->text().toStdString();
    EXPECT_EQ(platform.clipboard.back(), attendu + "\n");
    EXPECT_EQ(f.TableauComparaison->item(0, 4)->text(), QStringLiteral("400"));
}

TEST(AideAnalyse, the_help_page_gives_the_demonstration_runs_own_numbers)
{
    // The demonstration's reaction has a time constant of 120 s: τ = 120 s,
    // t½ = 120·ln 2 = 83,18 s.
    SetDecimalSeparator(',');
    AnalyseEssai demonstration;
    demonstration.SetDonnees(EssaiDeDemonstration());
    demonstration.Recalculer();
    ASSERT_TRUE(demonstration.Valide()) << demonstration.Erreur();
    const QString page = QString::fromStdString(PageAide(demonstration, DecimalSeparator()));
    auto nombre = [&page](const QString& motif) {
        const QRegularExpressionMatch m = QRegularExpression(motif).match(page);
        EXPECT_TRUE(m.hasMatch()) << motif.toStdString();
        return std::pair{m.captured(1).replace(',', '.').toDouble(), m.captured(2).replace(',', '.').toDouble()};
    };
    const auto [tDemi, uTDemi] = nombre(QStringLiteral("t½ = ([0-9]+,[0-9]+) ± ([0-9]+,[0-9]+) s"));
    EXPECT_GT(uTDemi, 0);
    EXPECT_NEAR(tDemi, 120 * std::log(2.0), std::max(3 * uTDemi, 0.5));
    EXPECT_NEAR(nombre(QStringLiteral("τ = ([0-9]+,[0-9])() s")).first, 120, 1.0);
    for (const char* sujet : {"La constante de vitesse k", "Le temps de demi-réaction t½", "Le temps caractéristique τ",
                              "Le test de l'ordre 1", "La vitesse volumique de réaction", "L'incertitude-type"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(sujet))) << sujet;
}

TEST_F(AnalyseTest, the_tangent_and_the_first_order_line_go_into_the_results_and_the_copy)
{
    FenetreAnalyse& f = Ouvrir();
    f.PoserTangente(50);
    const auto ligne = f.Analyse().LigneTangente(DecimalSeparator());
    ASSERT_TRUE(ligne);
    EXPECT_TRUE(ligne->second.starts_with("à t = 50,007 s : dx/dt = ")) << ligne->second;
    f.CopierResultats();
    std::istringstream copie(platform.clipboard.back());
    std::string entete, rangee;
    std::getline(copie, entete);
    std::getline(copie, rangee);
    EXPECT_TRUE(entete.ends_with("\ttangente t (s)\ttangente dx/dt (mol/s)\ttangente v (mol/L/s)")) << entete;
    std::vector<double> champs;
    std::istringstream lecture(rangee);
    for (std::string champ; std::getline(lecture, champ, '\t');)
        champs.push_back(std::strtod(QString::fromStdString(champ).replace(',', '.').toStdString().c_str(), nullptr));
    ASSERT_GE(champs.size(), 3u);
    const double t = 50 * kPas, pente = kK * kXf * std::exp(-kK * t); // mol/s, from the law
    EXPECT_NEAR(champs[champs.size() - 3], t, 1e-3);
    EXPECT_NEAR(champs[champs.size() - 2], pente, 0.01 * pente);
    EXPECT_NEAR(champs.back(), pente / 0.25, 0.01 * pente / 0.25);

    // The first-order test's line under its chart's title: slope k, R².
    f.Onglets->setCurrentIndex(1);
    const std::vector<std::string>& titre = f.GraphiqueTest->Title().Text();
    ASSERT_EQ(titre.size(), 2u);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^pente = ([0-9],[0-9]+)·10⁻³ s⁻¹ \\(= k\\) ; ordonnée à l'origine = 0 ; "
                                          "R² = (0,99[0-9]*)$"))
            .match(QString::fromStdString(titre[1]));
    ASSERT_TRUE(m.hasMatch()) << titre[1];
    EXPECT_NEAR(m.captured(1).replace(',', '.').toDouble() * 1e-3, kK, 0.01 * kK);
}
