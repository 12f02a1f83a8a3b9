// The layout on a display of 120 pixels per inch: the font grows with the
// resolution, and every position and size with the font's text height.
// This test makes its own application, with the fonts' resolution forced.
#include "widgets/Apparence.h"
#include "app/UPrincipal.h"
#include "tests/app/support/FakeBoxes.h"
#include "tests/app/support/FakePlatform.h"
#include "tests/acquisition/support/FakePorts.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QApplication> application;
int argc = 1;
char nom[] = "app_scaling_test";
char* argv[] = {nom, nullptr};

} // namespace

class EchelleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without Qt's own high-resolution scaling the program scales its layout.
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qputenv("QT_FONT_DPI", "120");
        application = std::make_unique<QApplication>(argc, argv);
        AppliquerApparence();
    }
    static void TearDownTestSuite() { application.reset(); }
};

TEST_F(EchelleTest, controls_scale_with_the_text_height_and_the_restored_size_does_not)
{
    UPrincipal::ReinitialiserEtatUnite();
    FakePorts ports;
    FakeBoxes boxes;
    FakePlatform platform;
    TForm1 form(ports, boxes, &platform);
    const LayoutScale& echelle = form.Echelle();
    // 8 points at 120 pixels per inch: a taller font than the design's.
    ASSERT_GT(echelle.numerator, echelle.denominator);
    EXPECT_EQ(echelle.denominator, 12);

    EXPECT_EQ(form.Button1->geometry(), echelle.Scale(16, 8, 75, 25));
    EXPECT_EQ(form.Edit5->geometry(), echelle.Scale(152, 12, 57, 21));
    form.show();
    EXPECT_EQ(form.ZoneClient()->size(), QSize(707, 371));
    EXPECT_EQ(form.Panel1->height(), echelle.Scale(83));
    EXPECT_EQ(form.Panel2->width(), echelle.Scale(265));
    EXPECT_EQ(form.Panel3->x(), echelle.Scale(265) + echelle.Scale(3));
    UPrincipal::ReinitialiserEtatUnite();
}
