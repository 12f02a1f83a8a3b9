// The paint sequence on small charts: background and bevel, titles and
// margins, the back-wall frame, empty-scale labels, ticks, grid lines, and the
// clipped red curve.
#include "ChartTestSupport.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

#include <utility>

namespace {

constexpr TColor kFace = 0xF0F0F0, kLight = 0xFFFFFF, kShadow = 0xA0A0A0;

// Whether a pixel is text ink (antialiased dark grey or black).
bool IsDark(TColor c) { return (c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80; }
bool IsBluish(TColor c) { return ((c >> 16) & 0xFF) > (c & 0xFF) + 0x40; }
bool IsGray(TColor c) { return c == clGray; }
bool IsRed(TColor c) { return c == clRed; }

int CountIn(const ChartCanvas& c, int left, int top, int right, int bottom, bool (*test)(TColor))
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += test(c.Pixel(x, y));
    return n;
}

int LabelFontHeight(TestChart& chart)
{
    chart.Canvas().SetFont("Arial", 8, clBlack);
    return chart.Canvas().FontHeight();
}

} // namespace

TEST(ChartPaint, background_in_button_face_with_a_raised_one_pixel_bevel)
{
    TestChart chart(60, 40);
    chart.BackBuffer();
    // Light top and left edges, dark right and bottom ones, dark in the
    // top-right and bottom-left corners.
    const struct {
        int x, y;
        TColor color;
    } pixels[] = {{0, 0, kLight},   {30, 0, kLight},   {0, 20, kLight},  {59, 0, kShadow}, {0, 39, kShadow},
                  {59, 20, kShadow}, {30, 39, kShadow}, {59, 39, kShadow}, {1, 1, kFace},    {58, 38, kFace}};
    for (const auto& px : pixels)
        EXPECT_EQ(chart.Canvas().Pixel(px.x, px.y), px.color) << px.x << "," << px.y;
}

TEST(ChartPaint, margins_title_and_axis_bands_shape_the_plot_and_an_empty_or_hidden_title_takes_no_space)
{
    TestChart chart(300, 200);
    ConfigureLikeMainWindow(chart);
    chart.BackBuffer();
    EXPECT_EQ(chart.PlotRect().Top, 8); // no title: the 4 % margin only
    chart.Title().SetText({"Evolution de la pression au cours du temps"});
    chart.BottomAxis().Title().SetCaption("Date en s");
    chart.LeftAxis().Title().SetCaption("Pression en hPa");
    chart.BackBuffer();
    const int fh = LabelFontHeight(chart); // every font here is Arial 8
    // Margins 3 % and 4 %: 9 and 8 pixels.
    const TChartRect& plot = chart.PlotRect();
    EXPECT_EQ(plot.Top, 8 + fh + 5);
    EXPECT_EQ(chart.BottomAxis().TitlePos(), 192 - fh);
    EXPECT_EQ(chart.BottomAxis().LabelsPos(), 192 - 2 * fh);
    EXPECT_EQ(plot.Bottom, 192 - 2 * fh - 6);
    EXPECT_EQ(chart.LeftAxis().TitlePos(), 9 + fh);
    EXPECT_GT(chart.LeftAxis().LabelsPos(), chart.LeftAxis().TitlePos());
    EXPECT_EQ(plot.Left, chart.LeftAxis().LabelsPos() + 6);
    EXPECT_EQ(plot.Right, 291);
    EXPECT_EQ(chart.PlotWidth(), plot.Right - plot.Left);
    EXPECT_EQ(chart.PlotXCenter(), (plot.Left + plot.Right) / 2);

    // The blue title lies in its band, above the plot.
    const ChartCanvas& c = chart.Canvas();
    EXPECT_GT(CountIn(c, 9, 8, 291, 8 + fh, IsBluish), 20);
    EXPECT_EQ(CountIn(c, 0, 8 + fh, 300, 200, IsBluish), 0);
    // The turned left title: ink in its band, around the plot's middle.
    EXPECT_GT(CountIn(c, 9, plot.Top, 9 + fh, plot.Bottom, IsDark), 20);
    // The bottom title: ink under the labels.
    EXPECT_GT(CountIn(c, plot.Left, 192 - fh, plot.Right, 192, IsDark), 10);

    chart.Title().SetVisible(false);
    chart.BackBuffer();
    EXPECT_EQ(chart.PlotRect().Top, 8);
}

TEST(ChartPaint, back_wall_frame_covers_columns_left_to_right_and_rows_top_to_bottom_minus_one)
{
    TestChart chart(200, 150);
    ConfigureLikeMainWindow(chart);
    chart.BackBuffer();
    const ChartCanvas& c = chart.Canvas();
    const TChartRect p = chart.PlotRect();
    for (int x = p.Left; x <= p.Right; ++x) {
        EXPECT_EQ(c.Pixel(x, p.Top), clBlack) << x;
        if (x > p.Left) {
            EXPECT_EQ(c.Pixel(x, p.Top - 1), kFace) << x; // nothing above the frame
        }
    }
    for (int y = p.Top; y < p.Bottom; ++y) {
        EXPECT_EQ(c.Pixel(p.Right, y), clBlack) << y;
        EXPECT_EQ(c.Pixel(p.Right + 1, y), kFace) << y;
    }
    // The two-pixel bottom axis line covers rows bottom - 1 and bottom from
    // one column left of the plot to right - 1; the frame's column `right`
    // stops at bottom - 1.
    EXPECT_EQ(c.Pixel(p.Right, p.Bottom), kFace);
    EXPECT_EQ(c.Pixel(p.Right - 1, p.Bottom), clBlack);
    EXPECT_EQ(c.Pixel(p.Left - 1, p.Bottom), clBlack);
    EXPECT_EQ(c.Pixel(p.Left + 5, p.Bottom + 1), kFace);
    // The left axis line covers columns left - 1 and left.
    EXPECT_EQ(c.Pixel(p.Left - 1, p.Top + 5), clBlack);
    EXPECT_EQ(c.Pixel(p.Left + 1, p.Top + 5), kFace);
}

TEST(ChartPaint, an_empty_chart_labels_zero_once_in_the_middle_of_each_axis)
{
    TestChart chart(200, 150);
    ConfigureLikeMainWindow(chart);
    chart.BackBuffer();
    const ChartCanvas& c = chart.Canvas();
    const TChartRect p = chart.PlotRect();
    const int fh = LabelFontHeight(chart);
    EXPECT_EQ(chart.BottomAxis().ScaleMin(), 0.0);
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 0.0);
    EXPECT_EQ(chart.LeftAxis().ScaleRange(), 0.0);

    // Bottom axis: one 4-pixel tick under the middle, one pixel below the line.
    const int cx = chart.PlotXCenter();
    for (int y = p.Bottom + 1; y <= p.Bottom + 4; ++y)
        EXPECT_EQ(c.Pixel(cx, y), clGray) << y;
    EXPECT_EQ(c.Pixel(cx, p.Bottom + 5), kFace);
    EXPECT_EQ(CountIn(c, 0, p.Bottom + 3, 200, p.Bottom + 4, IsGray), 1);
    // Left axis: the tick in the middle row; its first pixel is under the axis line.
    const int cy = chart.PlotYCenter();
    for (int x = p.Left - 4; x <= p.Left - 2; ++x)
        EXPECT_EQ(c.Pixel(x, cy), clGray) << x;
    EXPECT_EQ(c.Pixel(p.Left - 5, cy), kFace);
    EXPECT_EQ(CountIn(c, p.Left - 4, 0, p.Left - 3, 150, IsGray), 1);
    // No grid line on a label at the scale's end.
    EXPECT_EQ(CountIn(c, p.Left + 1, p.Top + 1, p.Right, p.Bottom - 1, IsGray), 0);
    // The "0" labels: below the bottom tick, left of the left one.
    EXPECT_GT(CountIn(c, cx - 4, chart.BottomAxis().LabelsPos(), cx + 5, chart.BottomAxis().LabelsPos() + fh, IsDark), 4);
    EXPECT_GT(CountIn(c, chart.LeftAxis().LabelsPos() - 10, cy - fh / 2, chart.LeftAxis().LabelsPos(), cy - fh / 2 + fh,
                      IsDark),
              4);
}

TEST(ChartPaint, one_point_draws_no_curve_nor_labels_and_the_second_draws_the_first_segment)
{
    TestChart chart(200, 150);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    s->AddPoint(1.00013, 1000.0, "", clRed);
    chart.BackBuffer();
    EXPECT_EQ(CountPixels(chart.Canvas(), clRed), 0);
    EXPECT_EQ(s->FirstVisible(), 0);
    // 1.00013 s and 1000 hPa over the 1e-12 step pass 2^31 - 1: no label,
    // tick or grid line on either axis.
    EXPECT_EQ(CountPixels(chart.Canvas(), clGray), 0);
    s->AddPoint(2.00026, 1001.0, "", clRed);
    chart.BackBuffer();
    EXPECT_GT(CountPixels(chart.Canvas(), clRed), 20);
}

TEST(ChartPaint, a_flat_segment_covers_the_plot_inside_the_frame)
{
    TestChart chart(200, 150);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    s->AddPoint(0.0, 5.0, "", clRed);
    s->AddPoint(10.0, 5.0, "", clRed);
    chart.BackBuffer();
    const ChartCanvas& c = chart.Canvas();
    const TChartRect p = chart.PlotRect();
    // From (left, middle) to (right, middle), end excluded, clipped to the
    // inside of the frame: columns left + 1 .. right - 1.
    const int cy = chart.PlotYCenter();
    EXPECT_EQ(c.Pixel(p.Left, cy), clBlack);
    for (int x = p.Left + 1; x < p.Right; ++x)
        ASSERT_EQ(c.Pixel(x, cy), clRed) << x;
    EXPECT_EQ(c.Pixel(p.Right, cy), clBlack);
    EXPECT_EQ(CountPixels(c, clRed), p.Right - p.Left - 1);
}

TEST(ChartPaint, a_curve_beyond_the_scale_is_cut_at_the_clip_rectangle)
{
    TestChart chart(200, 150);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    for (double x : {-100.0, -50.0, 0.0, 5.0, 50.0, 100.0})
        s->AddPoint(x, x, "", clRed);
    chart.BottomAxis().SetMinMax(0.0, 10.0);
    chart.LeftAxis().SetMinMax(0.0, 10.0);
    chart.BackBuffer();
    // The last point left of the plot and the first one beyond its right.
    EXPECT_EQ(s->FirstVisible(), 2);
    EXPECT_EQ(s->LastVisible(), 4);
    const ChartCanvas& c = chart.Canvas();
    const TChartRect p = chart.PlotRect();
    int inside = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.Pixel(x, y) == clRed) {
                ASSERT_TRUE(x > p.Left && x < p.Right && y > p.Top && y < p.Bottom - 1) << x << "," << y;
                ++inside;
            }
    EXPECT_GT(inside, 50);
    // The diagonal leaves through the top of the clip, at row top + 1.
    EXPECT_GT(CountIn(c, p.Left, p.Top + 1, p.Right, p.Top + 2, IsRed), 0);
}

TEST(ChartPaint, after_a_deep_zoom_the_curve_still_crosses_the_plot_where_it_belongs)
{
    // Two points a whole unit apart seen through a window 2e-9 wide: their
    // pixels lie some 10^11 pixels off the surface, yet the line between
    // them must cross the plot's centre, as y = x does.
    TestChart chart(200, 150);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    s->AddPoint(0.0, 0.0, "", clRed);
    s->AddPoint(1.0, 1.0, "", clRed);
    chart.BottomAxis().SetMinMax(0.5 - 1e-9, 0.5 + 1e-9);
    chart.LeftAxis().SetMinMax(0.5 - 1e-9, 0.5 + 1e-9);
    chart.BackBuffer();
    const ChartCanvas& c = chart.Canvas();
    const TChartRect p = chart.PlotRect();
    const int cx = chart.PlotXCenter(), cy = chart.PlotYCenter();
    EXPECT_GT(CountIn(c, cx - 1, cy - 1, cx + 2, cy + 2, IsRed), 0);
    // Across the whole plot, from its bottom-left corner to its top-right
    // one: a pixel in nearly every column of the clip.
    EXPECT_GE(CountPixels(c, clRed), p.Right - p.Left - 3);
    EXPECT_GT(CountIn(c, p.Left + 1, p.Bottom - 4, p.Left + 4, p.Bottom - 1, IsRed), 0);
    EXPECT_GT(CountIn(c, p.Right - 3, p.Top + 1, p.Right, p.Top + 4, IsRed), 0);
}

TEST(ChartPaint, points_on_the_same_pixel_add_nothing_and_the_next_draws_from_it)
{
    TestChart withRepeat(200, 150), without(200, 150);
    TFastLineSeries* a = ConfigureLikeMainWindow(withRepeat);
    TFastLineSeries* b = ConfigureLikeMainWindow(without);
    a->AddPoint(0.0, 0.0, "", clRed);
    a->AddPoint(0.001, 0.001, "", clRed); // same pixel as the first
    a->AddPoint(10.0, 7.0, "", clRed);
    b->AddPoint(0.0, 0.0, "", clRed);
    b->AddPoint(10.0, 7.0, "", clRed);
    const QImage& imageA = withRepeat.BackBuffer();
    const QImage& imageB = without.BackBuffer();
    EXPECT_EQ(a->LastPixelX(), b->LastPixelX());
    EXPECT_TRUE(imageA == imageB);
}

TEST(ChartPaint, series_two_lime_points_are_drawn_red)
{
    TestChart chart(200, 150);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    for (int n = 2; n <= 20; ++n)
        s->AddPoint(n * 1.00013, 0.0001 * n * n, "", clLime);
    chart.BackBuffer();
    EXPECT_EQ(CountPixels(chart.Canvas(), clLime), 0);
    EXPECT_GT(CountPixels(chart.Canvas(), clRed), 50);
}

TEST(ChartPaint, each_label_has_its_tick_and_three_minor_ticks_between_labels)
{
    TestChart chart(400, 200);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    for (int n = 1; n <= 60; ++n)
        s->AddPoint(n * 1.00013, n, "", clRed);
    chart.BackBuffer();
    const TChartAxis& axis = chart.BottomAxis();
    const auto labels = axis_scale::LabelValues(axis.ScaleMin(), axis.ScaleMax(), axis.CurrentLabelStep(), true, true);
    ASSERT_GE(labels.size(), 2u);
    const ChartCanvas& c = chart.Canvas();
    const int below = chart.PlotRect().Bottom;
    // Row below + 4 holds only the 4-pixel ticks, row below + 2 the minor ones too.
    std::vector<int> majors, all;
    for (int x = 0; x < c.Width(); ++x) {
        if (c.Pixel(x, below + 4) == clGray)
            majors.push_back(x);
        if (c.Pixel(x, below + 2) == clGray)
            all.push_back(x);
    }
    std::vector<int> expected;
    for (auto it = labels.rbegin(); it != labels.rend(); ++it)
        expected.push_back(axis.ValueToPixel(*it));
    EXPECT_EQ(majors, expected);
    EXPECT_EQ(all.size(), labels.size() + 3 * (labels.size() - 1));
    // Dotted grid lines across the plot at the labels inside it: every
    // other pixel grey (the curve may cross one).
    const TChartRect p = chart.PlotRect();
    for (int x : expected) {
        if (x <= p.Left || x >= p.Right)
            continue;
        const int grey = CountIn(c, x, p.Top + 1, x + 1, p.Bottom - 1, IsGray);
        EXPECT_GE(grey, (p.Bottom - p.Top - 2) / 2 - 2) << x;
    }
}

TEST(ChartRepaint, an_unchanged_chart_is_shown_from_its_buffer)
{
    TestChart chart(120, 90);
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    chart.BackBuffer();
    EXPECT_FALSE(chart.BufferDirty());
    const int paints = chart.paints;
    chart.ScreenImage();
    chart.BackBuffer();
    EXPECT_EQ(chart.paints, paints);
    // Several points before the next paint cost one redraw.
    s->AddPoint(1.0, 1.0, "", clRed);
    s->AddPoint(2.0, 2.0, "", clRed);
    s->AddPoint(3.0, 1.0, "", clRed);
    EXPECT_TRUE(chart.BufferDirty());
    chart.ScreenImage();
    EXPECT_EQ(chart.paints, paints + 1);
    EXPECT_TRUE(chart.ScreenImage() == chart.BackBuffer());
}

TEST(ChartRepaint, property_changes_invalidate_only_when_the_value_changes)
{
    TestChart chart(120, 90);
    ConfigureLikeMainWindow(chart);
    chart.BackBuffer();
    chart.SetView3D(false);
    chart.Legend().SetVisible(false);
    chart.BackWall().Brush().SetStyle(bsClear);
    EXPECT_FALSE(chart.BufferDirty());
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"title", [&] { chart.Title().SetText({"Titre"}); }},
        {"axis title", [&] { chart.LeftAxis().Title().SetCaption("Pression en hPa"); }},
        {"grid", [&] { chart.BottomAxis().Grid().SetVisible(false); }},
        {"font", [&] { chart.Title().Font().SetSize(10); }},
    };
    for (const auto& [what, change] : changes) {
        chart.BackBuffer();
        change();
        EXPECT_TRUE(chart.BufferDirty()) << what;
    }
}

TEST(ChartRepaint, a_new_size_rebuilds_the_buffer_at_that_size)
{
    TestChart chart(120, 90);
    ConfigureLikeMainWindow(chart);
    chart.BackBuffer();
    chart.SetChartSize(160, 100);
    EXPECT_TRUE(chart.BufferDirty());
    const QImage& image = chart.BackBuffer();
    EXPECT_EQ(image.width(), 160);
    EXPECT_EQ(image.height(), 100);
    EXPECT_EQ(chart.Canvas().Pixel(159, 99), kShadow);
    EXPECT_EQ(chart.PlotRect().Right, 160 - 5); // 3 % of 160 is 4.8: 5
}

TEST(ChartFonts, arial_eight_points_is_eleven_pixels_of_a_metric_compatible_family)
{
    ChartCanvas canvas;
    canvas.SetSize(10, 10);
    canvas.SetFont("Arial", 8, clBlack);
    EXPECT_EQ(canvas.ResolvedFontFamily(), "Liberation Sans");
    QFont f("Arial");
    f.setPixelSize(11); // 8 points at 96 dots per inch
    EXPECT_EQ(canvas.FontHeight(), QFontMetrics(f).height());
    EXPECT_GT(canvas.TextWidth("1 000"), canvas.TextWidth("1"));
    EXPECT_EQ(canvas.TextWidth(""), 0);
}
