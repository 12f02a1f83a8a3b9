// The window measuring through a box played by the test on a pseudo-terminal:
// the pressure recorded with either "p et - p" setting, and a box unplugged
// during a run.
#include "acquisition/boitier/BoitierUsb.h"
#include "tests/app/support/FenetreFixture.h"
#include "tests/acquisition/support/ChienDeGarde.h"
#include "tests/acquisition/support/FauxBoitier.h"

namespace {

using namespace std::chrono_literals;

// A0 at 174/1024 of the supply through the MPX5700AP, in Pa.
constexpr double kPression = (174 / 1024.0 - 0.04) / 0.0012858 * 1000;

class BoitierFenetreTest : public FenetreTest {
protected:
    void SetUp() override
    {
        FenetreTest::SetUp();
        Issue<std::unique_ptr<BoitierUsb>> ouverture = BoitierUsb::Ouvrir(faux.Chemin(), {2000ms, 50ms, 30ms, 2000ms});
        ASSERT_TRUE(ouverture) << ouverture.Message();
        boitier = std::move(ouverture).Valeur();
        form = std::make_unique<TForm1>(*boitier, boxes, &platform);
    }

    const ChienDeGarde garde;
    FauxBoitier faux{FauxBoitier::Normal("MPX5700AP", 174, 0)};
    std::unique_ptr<BoitierUsb> boitier;
};

TEST_F(BoitierFenetreTest, the_default_coefficient_gives_the_pressure_with_either_setting)
{
    for (const int reglage : {0, 1}) {
        form->RadioGroup1->SetItemIndex(reglage);
        Click();
        Tick();
        Click();
        EXPECT_NEAR(static_cast<double>(form->P->MesuresVoie1[0]), kPression, 1e-6) << reglage;
        EXPECT_EQ(form->Edit4->text(), QStringLiteral("1,01044"));
        EXPECT_EQ(form->Edit5->text(), QStringLiteral("-1,01044"));
    }
    EXPECT_TRUE(boxes.all.empty());
}

TEST_F(BoitierFenetreTest, an_unplugged_box_stops_the_run_says_so_once_and_the_points_stay)
{
    Click();
    Tick();
    Tick();
    faux.Debrancher();
    Tick();

    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Le boîtier de mesure ne répond plus."});
    EXPECT_FALSE(UPrincipal::EnMarche);
    EXPECT_EQ(form->Button1->text(), QStringLiteral("M&arche"));
    EXPECT_EQ(Points1(), 2);
    EXPECT_EQ(form->P->MesuresVoie1[2], 0.0L);
}

} // namespace
