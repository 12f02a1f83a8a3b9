// The analysis window on the simulated card's demonstration reaction: a
// first-order rise of 30 000 Pa with a time constant of 120 s, so t½ =
// 120 s × ln 2 = 83,18 s and x_f = 30 000 Pa × 0,25 L / (8,314 × 293 K) =
// 3,079 mmol. After 300 ticks (five minutes, on a virtual clock) the window
// must find them.
//
// With NELVAR_CAPTURE set to a file name, the test also saves the window's
// picture there (docs/fenetre-analyse.png is made so):
//   NELVAR_CAPTURE=$PWD/docs/fenetre-analyse.png build/tests/app/app_window_test
//     --gtest_filter='Demonstration*'
#include "app/Apparence.h"
#include "app/FenetreAnalyse.h"
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
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kTicks = 300;
constexpr double kPeriode = 1.00013; // s
constexpr double kTDemi = 120 * 0.69314718055994531;
constexpr double kXfMmol = 30000 * 0.00025 / (8.314 * 293) * 1000;

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
            // The tick i at i periods after the start, as the timer gives it.
            const auto echeance = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::duration<double>(i * kPeriode));
            if (echeance > horloge.Now())
                horloge.Advance(echeance - horloge.Now());
            QMetaObject::invokeMethod(fenetre.Timer1, "timeout");
            QCoreApplication::sendPostedEvents(&fenetre, QEvent::MetaCall);
        }
        fenetre.Analyserlessai1->trigger();
        ASSERT_NE(fenetre.FenetreAnalyse1, nullptr);
        const AnalyseEssai& analyse = fenetre.FenetreAnalyse1->Analyse();
        ASSERT_TRUE(analyse.Valide()) << analyse.Erreur();
        EXPECT_EQ(analyse.Points(), kTicks);
        const Cinetique::Resultat& r = analyse.Resultat();
        EXPECT_NEAR(r.tDemi, kTDemi, 3 * r.uTDemi);
        EXPECT_LT(r.uTDemi, 1.0);
        ASSERT_TRUE(r.xFinal && r.uXFinal);
        // x is measured from the first point, whose own noise the fit's
        // uncertainty leaves out: within 0,01 mmol (about 100 Pa).
        EXPECT_NEAR(*r.xFinal * 1000, kXfMmol, 0.01);

        if (const QByteArray capture = qgetenv("NELVAR_CAPTURE"); !capture.isEmpty()) {
            EXPECT_TRUE(fenetre.FenetreAnalyse1->grab().save(QString::fromLocal8Bit(capture)));
        }
    }
    UPrincipal::ReinitialiserEtatUnite();
    UDravoC::ReinitialiserEtatUnite();
}
