// Layout scaling: edges scaled by the ratio of text heights, rounded half
// away from zero, and the ratio measured from the font on a display.
#include "widgets/LayoutScale.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// An image whose logical resolution is `dpi` pixels per inch.
QImage DisplayAt(int dpi)
{
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

} // namespace

TEST(LayoutScale, scales_by_the_ratio_rounding_halves_away_from_zero)
{
    struct Cas {
        LayoutScale scale;
        int design;
        int scaled;
    };
    for (const Cas& cas : {Cas{{1, 2}, 1, 1}, Cas{{1, 2}, 2, 1}, Cas{{1, 2}, 3, 2}, Cas{{1, 2}, -1, -1},
                           Cas{{1, 2}, -3, -2}, Cas{{1, 2}, 0, 0}, Cas{{2, 3}, 1, 1}, Cas{{1, 3}, 1, 0},
                           Cas{{15, 12}, 445, 556}, Cas{{13, 13}, 412, 412}, Cas{{12, 12}, 75, 75}, Cas{{}, 445, 445},
                           // 4e9 / 13 = 307 692 307.7: no overflow on the way.
                           Cas{{40000, 13}, 100000, 307692308}}) {
        SCOPED_TRACE(std::to_string(cas.scale.numerator) + "/" + std::to_string(cas.scale.denominator) + " of "
                     + std::to_string(cas.design));
        EXPECT_EQ(cas.scale.Scale(cas.design), cas.scaled);
    }
    // A rectangle scales its edges: the example at the ratio 16 to 13.
    EXPECT_EQ((LayoutScale{16, 13}).Scale(8, 8, 281, 401), QRect(10, 10, 346, 493));
    EXPECT_EQ((LayoutScale{16, 13}).Scale(QSize(302, 445)), QSize(372, 548));
}

TEST(LayoutScale, controls_that_touch_at_design_still_touch_at_any_ratio)
{
    // Panel2 ends where Panel3 begins (113), and the group box fills Panel3.
    for (int numerator = 8; numerator <= 40; ++numerator) {
        const LayoutScale scale{numerator, 13};
        SCOPED_TRACE(numerator);
        const QRect panel2 = scale.Scale(2, 2, 277, 111);
        const QRect panel3 = scale.Scale(2, 113, 277, 286);
        EXPECT_EQ(panel2.bottom() + 1, panel3.top());
        EXPECT_EQ(panel2.left(), panel3.left());
        EXPECT_EQ(panel2.width(), panel3.width());
    }
}

TEST(LayoutScale, the_ratio_is_one_at_96_dpi_and_follows_the_font_elsewhere)
{
    const QFont font(QStringLiteral("Liberation Sans"), 8);
    const QImage at96 = DisplayAt(96);
    const QImage at120 = DisplayAt(120);
    const QImage at192 = DisplayAt(192);

    const LayoutScale s96 = LayoutScale::ForFont(font, &at96);
    const LayoutScale s120 = LayoutScale::ForFont(font, &at120);
    const LayoutScale s192 = LayoutScale::ForFont(font, &at192);

    EXPECT_EQ(s96.numerator, s96.denominator);
    EXPECT_EQ(s120.denominator, s96.denominator);
    EXPECT_EQ(s120.numerator, QFontMetrics(font, &at120).height());
    EXPECT_GT(s120.numerator, s120.denominator);
    // Twice the pixels per inch: about twice the text height.
    EXPECT_NEAR(double(s192.numerator) / s192.denominator, 2.0, 0.2);
    EXPECT_EQ(s192.Scale(QSize(302, 445)).width(), s192.Scale(302));
}

TEST(LayoutScale, a_font_sized_in_pixels_does_not_grow_with_the_display)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    const QImage at144 = DisplayAt(144);

    const LayoutScale scale = LayoutScale::ForFont(font, &at144);

    EXPECT_EQ(scale.numerator, scale.denominator);
}
