// Text with subscripts: turned a quarter for the left axis's title, the same
// picture as upright text turned; the subscript smaller and lowered; the
// painter's text where the surface's is; the axis title centred on its ink.
#include "ChartTestSupport.h"
#include "chart/ChartCanvas.h"
#include "chart/TChart.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int kInkLimit = 0x80; // a pixel darker than this in green is ink

bool IsInk(TColor c) { return ((c >> 8) & 0xFF) < kInkLimit; }

// A white w x h surface with `text` drawn at (x, y).
std::unique_ptr<ChartCanvas> Drawn(int w, int h, const char* text, int x, int y, int angle = 0)
{
    auto c = std::make_unique<ChartCanvas>();
    c->SetSize(w, h);
    c->SetBrush(clWhite);
    c->FillRect(0, 0, w, h);
    c->SetFont("Arial", 10, clBlack);
    c->SubscriptTextOut(x, y, text, TextHAlign::Left, angle);
    return c;
}

// The bounds of the ink among the columns [0, w) and rows [rowsFrom, rowsTo).
struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    bool Empty() const { return right < 0; }
};

Ink InkOf(int w, int rowsFrom, int rowsTo, const std::function<bool(int, int)>& isInk)
{
    Ink ink;
    for (int y = rowsFrom; y < rowsTo; ++y)
        for (int x = 0; x < w; ++x)
            if (isInk(x, y))
                ink = {std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y), std::max(ink.bottom, y)};
    return ink;
}

Ink InkOf(const ChartCanvas& c, int rowsFrom = 0, int rowsTo = -1)
{
    return InkOf(c.Width(), rowsFrom, rowsTo < 0 ? c.Height() : rowsTo,
                 [&](int x, int y) { return IsInk(c.Pixel(x, y)); });
}

} // namespace

TEST(SubscriptText, turned_text_is_the_upright_text_turned_a_quarter_counter_clockwise)
{
    // Pixel (x, y) of the upright W x H picture is pixel (y, W - 1 - x) of the turned one.
    constexpr int kW = 260, kH = 34, kX0 = 7, kY0 = 5;
    for (const char* text : {"ln((p∞ − p_a)/(p∞ − p))", "t − t_a en s", "(x_a + x_f)/2", "Avancement"}) {
        const auto upright = Drawn(kW, kH, text, kX0, kY0);
        const auto turned = Drawn(kH, kW, text, kY0, kW - kX0, 90);
        int ink = 0, differ = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                ink += IsInk(upright->Pixel(x, y));
                differ += upright->Pixel(x, y) != turned->Pixel(y, kW - 1 - x);
            }
        EXPECT_GT(ink, 40) << text;
        EXPECT_EQ(differ, 0) << text;
    }
}

TEST(SubscriptText, a_turned_subscript_is_smaller_and_nearer_the_bottom_than_the_letter_at_full_size)
{
    // "pa" and "p_a" read upward from row 150; the text's bottom is on the right.
    const auto plain = Drawn(40, 160, "pa", 10, 150, 90);
    const auto sub = Drawn(40, 160, "p_a", 10, 150, 90);
    const int afterP = 150 - plain->TextWidth("p"); // the rows of the "a"
    const Ink full = InkOf(*plain, 0, afterP), low = InkOf(*sub, 0, afterP);
    ASSERT_FALSE(full.Empty() || low.Empty());
    EXPECT_LT(low.right - low.left, full.right - full.left); // smaller across
    EXPECT_LT(low.bottom - low.top, full.bottom - full.top); // and along
    EXPECT_GT(low.right, full.right);                        // its baseline lowered
    EXPECT_GT(low.left, full.left + (full.right - full.left) / 4);
    const Ink pPlain = InkOf(*plain, afterP, 160), pSub = InkOf(*sub, afterP, 160);
    EXPECT_EQ(std::pair(pPlain.top, pPlain.right), std::pair(pSub.top, pSub.right)); // the same "p"
}

TEST(SubscriptText, the_painter_draws_subscripts_where_the_surface_does)
{
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
        const Ink onSurface = InkOf(*Drawn(kW, kH, c.text, c.x, c.y, c.angle));
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
        const Ink onPainter =
            InkOf(kW, 0, kH, [&](int x, int y) { return image.pixelColor(x, y).green() < kInkLimit; });
        ASSERT_FALSE(onSurface.Empty()) << c.text;
        for (const auto& [painter, surface] : {std::pair(onPainter.left, onSurface.left),
                                               std::pair(onPainter.right, onSurface.right),
                                               std::pair(onPainter.top, onSurface.top),
                                               std::pair(onPainter.bottom, onSurface.bottom)})
            EXPECT_NEAR(painter, surface, 1) << c.text;
    }
}

TEST(SubscriptText, the_left_axis_title_is_centred_on_the_plot_as_drawn_with_its_subscripts)
{
    // Measured with the "_" and full-size letters it would stand several pixels off.
    TestChart chart(300, 420);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    chart.LeftAxis().Title().SetCaption("ln((p∞ − p_a)/(p∞ − p)) et x_f, t_a, x_a");
    s->AddPoint(0, 0, "", clRed);
    s->AddPoint(1, 1, "", clRed);
    chart.BackBuffer();
    const ChartCanvas& canvas = chart.Canvas();
    // The title's band ends at TitlePos; the labels begin a space further.
    const Ink title = InkOf(chart.LeftAxis().TitlePos() + 1, 0, canvas.Height(),
                            [&](int x, int y) { return IsInk(canvas.Pixel(x, y)); });
    ASSERT_FALSE(title.Empty());
    EXPECT_GT(title.bottom - title.top, 150); // the whole caption, read upward
    EXPECT_NEAR((title.top + title.bottom) / 2.0, (chart.PlotRect().Top + chart.PlotRect().Bottom) / 2.0, 3);
}
