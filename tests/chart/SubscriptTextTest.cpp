// Text with subscripts on the surface: turned a quarter for the left axis's
// title, the same picture as upright text turned; the subscript smaller and
// lowered towards the text's bottom; the painter's text where the pixels are;
// the axis title centred on what is drawn.
#include "ChartTestSupport.h"
#include "chart/ChartCanvas.h"
#include "chart/TChart.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kInkLimit = 0x80; // a pixel darker than this in green is ink

bool IsInk(TColor c) { return ((c >> 8) & 0xFF) < kInkLimit; }

void MakeWhite(ChartCanvas& c, int w, int h)
{
    c.SetSize(w, h);
    c.SetBrush(clWhite);
    c.FillRect(0, 0, w, h);
}

// The columns and rows the ink covers, among the rows [top, bottom).
struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    bool Empty() const { return right < 0; }
    void Add(int x, int y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

template <class IsInkAt>
Ink InkOf(int w, int rowsFrom, int rowsTo, IsInkAt isInk)
{
    Ink ink;
    for (int y = rowsFrom; y < rowsTo; ++y)
        for (int x = 0; x < w; ++x)
            if (isInk(x, y))
                ink.Add(x, y);
    return ink;
}

Ink InkOf(ChartCanvas& c, int rowsFrom = 0, int rowsTo = -1)
{
    return InkOf(c.Width(), rowsFrom, rowsTo < 0 ? c.Height() : rowsTo,
                 [&](int x, int y) { return IsInk(c.Pixel(x, y)); });
}

} // namespace

TEST(SubscriptText, turned_text_is_the_upright_text_turned_a_quarter_counter_clockwise)
{
    // Upright at (x0, y0) on a W x H surface; turned, the same text at
    // (y0, W - x0) on an H x W surface: pixel (x, y) of the first is pixel
    // (y, W - 1 - x) of the second, subscripts included.
    constexpr int kW = 260, kH = 34, kX0 = 7, kY0 = 5;
    const char* const texts[] = {"ln((p∞ − p_a)/(p∞ − p))", "t − t_a en s", "(x_a + x_f)/2", "Avancement en mmol"};
    for (const char* text : texts) {
        ChartCanvas upright, turned;
        MakeWhite(upright, kW, kH);
        MakeWhite(turned, kH, kW);
        upright.SetFont("Arial", 10, clBlack);
        turned.SetFont("Arial", 10, clBlack);
        upright.SubscriptTextOut(kX0, kY0, text);
        turned.SubscriptTextOut(kY0, kW - kX0, text, TextHAlign::Left, 90);
        int ink = 0, differ = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                ink += IsInk(upright.Pixel(x, y));
                differ += upright.Pixel(x, y) != turned.Pixel(y, kW - 1 - x);
            }
        EXPECT_GT(ink, 40) << text;
        EXPECT_EQ(differ, 0) << text;
    }
}

TEST(SubscriptText, a_turned_subscript_is_smaller_and_nearer_the_bottom_than_the_letter_at_full_size)
{
    // "pa" and "p_a" read upward from row 150: the "a" past the "p", full
    // size, and as a subscript. The text's bottom is on the right.
    constexpr int kX = 10, kY = 150;
    auto drawn = [](const char* text) {
        auto c = std::make_unique<ChartCanvas>();
        MakeWhite(*c, 40, 160);
        c->SetFont("Arial", 10, clBlack);
        c->SubscriptTextOut(kX, kY, text, TextHAlign::Left, 90);
        return c;
    };
    auto plain = drawn("pa");
    auto sub = drawn("p_a");
    const int afterP = kY - plain->TextWidth("p"); // the rows of the "a"
    const Ink full = InkOf(*plain, 0, afterP), low = InkOf(*sub, 0, afterP);
    ASSERT_FALSE(full.Empty());
    ASSERT_FALSE(low.Empty());
    EXPECT_LT(low.right - low.left, full.right - full.left);   // smaller across
    EXPECT_LT(low.bottom - low.top, full.bottom - full.top);   // and along
    EXPECT_GT(low.right, full.right);                          // its baseline lowered
    EXPECT_GT(low.left, full.left + (full.right - full.left) / 4);
    // The "p" is the same in both.
    EXPECT_EQ(InkOf(*plain, afterP, 160).top, InkOf(*sub, afterP, 160).top);
    EXPECT_EQ(InkOf(*plain, afterP, 160).right, InkOf(*sub, afterP, 160).right);
}

TEST(SubscriptText, the_painter_draws_subscripts_where_the_surface_does)
{
    // The same calls on the surface and through a painter (PDF, SVG): the
    // ink of each part within a pixel of the other's.
    struct Case {
        const char* text;
        int x, y, angle;
    } const cases[] = {
        {"p_a", 10, 60, 90},
        {"ln((p∞ − p_a)/(p∞ − p))", 10, 190, 90},
        {"t − t_a en s", 5, 5, 0},
    };
    constexpr int kW = 200, kH = 200;
    for (const Case& c : cases) {
        ChartCanvas raster;
        MakeWhite(raster, kW, kH);
        raster.SetFont("Arial", 10, clBlack);
        raster.SubscriptTextOut(c.x, c.y, c.text, TextHAlign::Left, c.angle);
        QImage image(kW, kH, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            ChartCanvas vector;
            vector.DessinerSur(&painter, kW, kH);
            vector.SetFont("Arial", 10, clBlack);
            vector.SubscriptTextOut(c.x, c.y, c.text, TextHAlign::Left, c.angle);
            vector.DessinerSur(nullptr, 0, 0);
        }
        const Ink onSurface = InkOf(raster);
        const Ink onPainter =
            InkOf(kW, 0, kH, [&](int x, int y) { return image.pixelColor(x, y).green() < kInkLimit; });
        ASSERT_FALSE(onSurface.Empty()) << c.text;
        EXPECT_NEAR(onPainter.left, onSurface.left, 1) << c.text;
        EXPECT_NEAR(onPainter.right, onSurface.right, 1) << c.text;
        EXPECT_NEAR(onPainter.top, onSurface.top, 1) << c.text;
        EXPECT_NEAR(onPainter.bottom, onSurface.bottom, 1) << c.text;
    }
}

TEST(SubscriptText, the_left_axis_title_is_centred_on_the_plot_as_drawn_with_its_subscripts)
{
    // The title's ink, read upward, spans the plot's middle: measured with
    // the "_" and full-size letters it would stand several pixels off.
    TestChart chart(300, 420);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    chart.LeftAxis().Title().SetCaption("ln((p∞ − p_a)/(p∞ − p)) et x_f, t_a, x_a");
    s->AddPoint(0, 0, "", clRed);
    s->AddPoint(1, 1, "", clRed);
    chart.BackBuffer();
    const ChartCanvas& canvas = chart.Canvas();
    // The title's band ends at TitlePos; the labels begin a space further.
    const int titleEnd = chart.LeftAxis().TitlePos() + 1;
    const Ink title = InkOf(titleEnd, 0, canvas.Height(), [&](int x, int y) { return IsInk(canvas.Pixel(x, y)); });
    ASSERT_FALSE(title.Empty());
    EXPECT_GT(title.bottom - title.top, 150); // the whole caption, read upward
    EXPECT_NEAR((title.top + title.bottom) / 2.0, (chart.PlotRect().Top + chart.PlotRect().Bottom) / 2.0, 3);
}
