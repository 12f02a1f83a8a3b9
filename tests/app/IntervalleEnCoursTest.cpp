// The interval typed in the analysis window while its run goes on: each tick
// brings new points, and the analysis keeps the interval the fields show.
#include "analyse/AnalyseEssai.h"
#include "analyse/fenetre/FenetreAnalyse.h"
#include "tests/app/support/FenetreFixture.h"

#include <QLineEdit>

#include <cmath>

class IntervalleEnCours : public FenetreTest {
protected:
    // A first-order rise of time constant 20 ticks, through the card's codes.
    void Mesurer(int ticks)
    {
        for (int k = 0; k < ticks; ++k, ++i_) {
            const int n = static_cast<int>(std::lround(400 * (1 - std::exp(-i_ / 20.0))));
            SetCodes(static_cast<std::uint16_t>(2048 + n), static_cast<std::uint16_t>(2048 - n));
            Tick();
        }
    }

private:
    int i_ = 1;
};

TEST_F(IntervalleEnCours, the_typed_interval_holds_at_every_tick_of_a_live_run)
{
    Click();
    Mesurer(30);
    form->Analyserlessai1->trigger();
    ASSERT_NE(form->FenetreAnalyse1, nullptr);
    FenetreAnalyse& f = *form->FenetreAnalyse1;
    const struct {
        const char *debut, *fin;
        double de, a; // the interval, s
    } cas[] = {{"5.5", "", 5.5, 1e9}, {"", "25.5", -1e9, 25.5}, {"5.5", "25.5", 5.5, 25.5}};
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.debut) + " to " + c.fin);
        f.ChampDebut->setText(QString::fromLatin1(c.debut));
        f.ChampFin->setText(QString::fromLatin1(c.fin));
        emit f.ChampFin->editingFinished();
        for (int tick = 0; tick < 5; ++tick) {
            Mesurer(1);
            ASSERT_TRUE(f.Analyse().Valide()) << f.Analyse().Erreur();
            const auto& points = f.Analyse().Donnees().points;
            int dans = 0; // the points of the interval, counted here
            for (const Cinetique::Point& p : points)
                dans += p.t >= c.de && p.t <= c.a;
            const Cinetique::Resultat& r = f.Analyse().Resultat();
            EXPECT_EQ(r.points, dans) << "tick " << tick;
            EXPECT_GE(r.debut, c.de);
            EXPECT_LE(r.fin, c.a);
            EXPECT_EQ(f.ChampDebut->text(), QString::fromLatin1(c.debut));
            EXPECT_EQ(f.ChampFin->text(), QString::fromLatin1(c.fin));
        }
    }
    Click();
}
