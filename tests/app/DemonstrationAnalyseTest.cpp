// The analysis window on the simulated card's demonstration reaction (first
// order, 30 000 Pa, time constant 120 s: t½ = 83,18 s, x_f = 3,079 mmol at
// 0,25 L and 20 °C) after 300 ticks on a virtual clock. NELVAR_CAPTURE=<png>
// also saves the window's picture (docs/fenetre-analyse.png is made so).
#include "widgets/Apparence.h"
#include "analyse/TexteResultat.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "app/UPrincipal.h"
#include "acquisition/Clocks.h"
#include "acquisition/SimulatedCard.h"
#include "numtext/NumberText.h"
#include "tests/app/support/FakeBoxes.h"
#include "tests/app/support/FakePlatform.h"

#include <QAction>
#include <QCoreApplication>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include "workers/Acquisition.h"

#include <QSignalBlocker>
#include <QSignalSpy>
#include <gtest/gtest.h>


namespace {
constexpr int kTicks = 300;
constexpr double kPeriode = 1.00013; // s
} // namespace

TEST(DemonstrationAnalyse, after_five_minutes_the_window_shows_the_reaction_half_time)
{
    UPrincipal::ReinitialiserEtatUnite();
    UDravoC::ReinitialiserEtatUnite();
    SetDecimalSeparator(',');
    AppliquerApparence();
    VirtualClock horloge{std::chrono::microseconds(2)};
    SimulatedCard carte{horloge};
    FakeBoxes boites;
    FakePlatform bureau;
    {
        TForm1 fenetre{carte, boites, &bureau};
        fenetre.HorlogeLectures = &horloge; // the readings dated on the card's clock
        fenetre.Button1->click();
        for (int i = 1; i <= kTicks; ++i) {
            // Tick i at i periods after the start, as the timer gives it.
            const auto echeance = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::duration<double>(i * kPeriode));
            if (echeance > horloge.Now())
                horloge.Advance(echeance - horloge.Now());
            QSignalSpy lue(&fenetre.Lectures(), &Acquisition::Lue);
            QMetaObject::invokeMethod(fenetre.Timer1, "timeout");
            // The real timer's own ticks during the wait are not the test's.
            const QSignalBlocker sansMinuterie(fenetre.Timer1);
            QCoreApplication::sendPostedEvents(&fenetre, QEvent::MetaCall);
            ASSERT_TRUE(lue.wait(30000)) << "tick " << i;
        }
        fenetre.Analyserlessai1->trigger();
        ASSERT_NE(fenetre.FenetreAnalyse1, nullptr);
        const AnalyseEssai& analyse = fenetre.FenetreAnalyse1->Analyse();
        ASSERT_TRUE(analyse.Valide()) << analyse.Erreur();
        EXPECT_EQ(analyse.Points(), kTicks);
        const Cinetique::Resultat& r = analyse.Resultat();
        EXPECT_NEAR(r.tDemi, 83.18, 3 * r.uTDemi);
        // A clean run: its start stays the first point, and no step, wild
        // point or baseline is seen in it.
        EXPECT_EQ(r.debut, analyse.Donnees().points.front().t);
        EXPECT_EQ(r.fin, analyse.Donnees().points.back().t);
        for (const Cinetique::Remarque remarque : r.remarques)
            EXPECT_TRUE(remarque != Cinetique::Remarque::DebutDetecte && remarque != Cinetique::Remarque::Rupture
                        && remarque != Cinetique::Remarque::PointAberrant)
                << Cinetique::TexteRemarques(r, DecimalSeparator());
        EXPECT_LT(r.uTDemi, 1.0);
        ASSERT_TRUE(r.xFinal && r.uXFinal);
        // Within 0,01 mmol (~100 Pa): x starts at the first point, whose noise the fit leaves out.
        EXPECT_NEAR(*r.xFinal * 1000, 3.079, 0.01);
        if (const QByteArray capture = qgetenv("NELVAR_CAPTURE"); !capture.isEmpty()) {
            EXPECT_TRUE(fenetre.FenetreAnalyse1->grab().save(QString::fromLocal8Bit(capture)));
        }
    }
    UPrincipal::ReinitialiserEtatUnite();
    UDravoC::ReinitialiserEtatUnite();
}
