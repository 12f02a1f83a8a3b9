// Zoom and scroll with the mouse, driven through the chart's press, move
// and release operations.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using B = TMouseButton;

// A chart of the main window's kind with 101 points, y = x / 10, painted once.
struct ZoomFixture : ::testing::Test {
    TestChart chart{400, 300};
    TFastLineSeries* series = ConfigureLikeMainWindow(chart);
    TChartRect plot;

    void SetUp() override
    {
        for (int i = 0; i <= 100; ++i)
            series->AddPoint(i, i / 10.0, "", clRed);
        chart.BackBuffer();
        plot = chart.PlotRect();
    }
    int CX() const { return (plot.Left + plot.Right) / 2; }
    int CY() const { return (plot.Top + plot.Bottom) / 2; }
    void Drag(B button, int x0, int y0, int x1, int y1)
    {
        chart.MouseDown(button, x0, y0);
        chart.MouseMove(x1, y1);
        chart.MouseUp(button, x1, y1);
    }
    bool AllAutomatic()
    {
        return chart.BottomAxis().Automatic() && chart.LeftAxis().Automatic() && chart.TopAxis().Automatic() &&
               chart.RightAxis().Automatic();
    }
    // Pixels where the window's picture differs from the BackBuffer.
    int BandPixels()
    {
        const QImage screen = chart.ScreenImage().copy();
        const QImage& back = chart.BackBuffer();
        int n = 0;
        for (int y = 0; y < back.height(); ++y)
            for (int x = 0; x < back.width(); ++x)
                n += screen.pixel(x, y) != back.pixel(x, y);
        return n;
    }
};

using Zoom = ZoomFixture;
using RubberBand = ZoomFixture;
using Scroll = ZoomFixture;
using Press = ZoomFixture;

} // namespace

TEST_F(Zoom, a_drag_of_sixteen_pixels_or_less_changes_nothing_and_leaves_no_band)
{
    const int paints = chart.paints;
    Drag(B::Left, CX(), CY(), CX() + 16, CY() + 40);
    Drag(B::Left, CX(), CY(), CX() + 40, CY() + 16);
    Drag(B::Left, CX(), CY(), CX(), CY()); // a click
    EXPECT_FALSE(chart.Zoom().Active);
    EXPECT_FALSE(chart.HasSavedScale());
    EXPECT_TRUE(AllAutomatic());
    EXPECT_FALSE(chart.BufferDirty());
    EXPECT_EQ(BandPixels(), 0);
    EXPECT_EQ(chart.paints, paints);
}

TEST_F(Zoom, dragging_right_and_down_zooms_into_the_rectangle_in_seven_converging_frames)
{
    const int x0 = plot.Left + 40, y0 = plot.Top + 30, x1 = plot.Left + 140, y1 = plot.Top + 100;
    const double startMin = chart.BottomAxis().Minimum(), startMax = chart.BottomAxis().Maximum();
    const double left = chart.BottomAxis().PixelToValue(x0), right = chart.BottomAxis().PixelToValue(x1);
    const double low = chart.LeftAxis().PixelToValue(y1), high = chart.LeftAxis().PixelToValue(y0);
    std::vector<double> mins, maxs;
    chart.onFrame = [&] {
        // Each frame is painted with the scale it shows.
        EXPECT_FALSE(chart.BufferDirty());
        mins.push_back(chart.BottomAxis().ScaleMin());
        maxs.push_back(chart.BottomAxis().ScaleMax());
    };
    Drag(B::Left, x0, y0, x1, y1);
    ASSERT_EQ(mins.size(), 7u);
    for (std::size_t k = 0; k < mins.size(); ++k) {
        const double share = std::pow(2.0 / 3.0, static_cast<double>(k + 1)); // of the way still to go
        EXPECT_NEAR(mins[k], left + (startMin - left) * share, 1e-9) << k;
        EXPECT_NEAR(maxs[k], right + (startMax - right) * share, 1e-9) << k;
    }
    EXPECT_EQ(chart.BottomAxis().Minimum(), left);
    EXPECT_EQ(chart.BottomAxis().Maximum(), right);
    EXPECT_EQ(chart.LeftAxis().Minimum(), low);
    EXPECT_EQ(chart.LeftAxis().Maximum(), high);
    EXPECT_FALSE(chart.BottomAxis().Automatic());
    EXPECT_TRUE(chart.HasSavedScale());
    EXPECT_TRUE(chart.BufferDirty());
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMin(), left);
    EXPECT_EQ(chart.LeftAxis().ScaleMax(), high);
}

TEST_F(Zoom, without_animation_the_scale_jumps_at_once)
{
    chart.SetAnimatedZoom(false);
    Drag(B::Left, plot.Left + 10, plot.Top + 10, plot.Left + 100, plot.Top + 100);
    EXPECT_EQ(chart.synchronousFrames, 0);
    EXPECT_TRUE(chart.HasSavedScale());
}

TEST_F(Zoom, dragging_up_left_up_right_or_down_left_undoes_the_zoom)
{
    const int d = 60;
    const int moves[3][2] = {{-d, -d}, {d, -d}, {-d, d}};
    for (const auto& m : moves) {
        Drag(B::Left, plot.Left + 20, plot.Top + 20, plot.Left + 120, plot.Top + 120);
        ASSERT_TRUE(chart.HasSavedScale());
        Drag(B::Left, CX(), CY(), CX() + m[0], CY() + m[1]);
        EXPECT_FALSE(chart.HasSavedScale()) << m[0] << "," << m[1];
        EXPECT_TRUE(AllAutomatic()) << m[0] << "," << m[1];
        chart.BackBuffer();
        EXPECT_EQ(chart.BottomAxis().ScaleMin(), 0.0);
        EXPECT_EQ(chart.BottomAxis().ScaleMax(), 100.0);
        EXPECT_EQ(chart.LeftAxis().ScaleMax(), 10.0);
    }
}

TEST_F(Zoom, undoing_with_nothing_saved_only_repaints)
{
    Drag(B::Left, CX(), CY(), CX() - 30, CY() - 30);
    EXPECT_TRUE(AllAutomatic());
    EXPECT_TRUE(chart.BufferDirty());
    EXPECT_EQ(chart.synchronousFrames, 0);
}

TEST_F(Zoom, during_a_run_new_points_do_not_rescale_and_undo_fits_them_all)
{
    Drag(B::Left, plot.Left + 20, plot.Top + 20, plot.Left + 120, plot.Top + 120);
    chart.BackBuffer();
    const double min = chart.BottomAxis().ScaleMin(), max = chart.BottomAxis().ScaleMax();
    for (int i = 101; i <= 150; ++i)
        series->AddPoint(i, i / 5.0, "", clRed);
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMin(), min);
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), max);
    Drag(B::Left, CX(), CY(), CX() - 40, CY() - 40);
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 150.0);
    EXPECT_EQ(chart.LeftAxis().ScaleMax(), 30.0);
}

TEST_F(Zoom, a_second_zoom_or_a_scroll_keeps_the_first_saved_scale)
{
    Drag(B::Left, plot.Left + 20, plot.Top + 20, plot.Left + 200, plot.Top + 150);
    chart.BackBuffer();
    Drag(B::Left, plot.Left + 20, plot.Top + 20, plot.Left + 100, plot.Top + 100);
    chart.BackBuffer();
    Drag(B::Right, CX(), CY(), CX() + 10, CY());
    chart.BackBuffer();
    Drag(B::Left, CX(), CY(), CX() - 30, CY() - 30);
    EXPECT_TRUE(AllAutomatic());
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMin(), 0.0);
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 100.0);
}

TEST_F(RubberBand, follows_the_mouse_in_not_xor_and_is_erased_on_release)
{
    const int x0 = plot.Left + 30, y0 = plot.Top + 20;
    chart.MouseDown(B::Left, x0, y0);
    EXPECT_TRUE(chart.Zoom().Active);
    EXPECT_EQ(BandPixels(), 0); // a rectangle without width shows nothing
    const int requests = chart.repaintRequests;
    chart.MouseMove(x0 + 50, y0 + 30);
    EXPECT_GT(chart.repaintRequests, requests); // the window shows the band...
    EXPECT_FALSE(chart.BufferDirty());          // ...without redrawing the chart
    // The outline of columns x0 .. x0 + 49 and rows y0 .. y0 + 29.
    EXPECT_EQ(BandPixels(), 2 * 50 + 2 * 28);
    const QImage screen = chart.ScreenImage().copy();
    const QImage& back = chart.BackBuffer();
    const QRgb under = back.pixel(x0 + 10, y0);
    EXPECT_EQ(screen.pixel(x0 + 10, y0) & 0xFFFFFFu, ~(under ^ 0x0F0000u) & 0xFFFFFFu); // 0x00000F as RGB
    EXPECT_EQ(screen.pixel(x0 + 50, y0), back.pixel(x0 + 50, y0));
    // Up and left of the start: the outline of the ordered rectangle.
    chart.MouseMove(x0 - 20, y0 - 10);
    EXPECT_EQ(BandPixels(), 2 * 20 + 2 * 8);
    EXPECT_EQ(chart.ScreenImage().pixel(x0 - 20, y0 - 10) & 0xFFFFFFu,
              ~(chart.BackBuffer().pixel(x0 - 20, y0 - 10) ^ 0x0F0000u) & 0xFFFFFFu);
    chart.MouseUp(B::Left, x0 + 5, y0 + 5);
    EXPECT_EQ(BandPixels(), 0);
}

TEST_F(RubberBand, a_repaint_during_the_drag_draws_the_band_last)
{
    chart.MouseDown(B::Left, plot.Left + 10, plot.Top + 10);
    chart.MouseMove(plot.Left + 60, plot.Top + 40);
    const int before = BandPixels();
    series->AddPoint(101, 0.0, "", clRed); // a tick of the run: the chart is redrawn under the band
    EXPECT_TRUE(chart.BufferDirty());
    EXPECT_EQ(BandPixels(), before);
    EXPECT_FALSE(chart.BufferDirty());
    chart.MouseUp(B::Left, plot.Left + 60, plot.Top + 40);
    EXPECT_EQ(BandPixels(), 0);
}

TEST_F(Scroll, a_right_drag_moves_the_scale_with_the_mouse)
{
    const double min = chart.BottomAxis().Minimum(), lowY = chart.LeftAxis().Minimum();
    const double perPixelX = chart.BottomAxis().ScaleRange() / chart.PlotWidth();
    const double perPixelY = chart.LeftAxis().ScaleRange() / chart.PlotHeight();
    chart.MouseDown(B::Right, CX(), CY());
    EXPECT_TRUE(chart.Panning().Active);
    chart.MouseMove(CX() - 20, CY() + 10); // left shows later times, down higher values
    EXPECT_TRUE(chart.HasSavedScale());
    EXPECT_TRUE(chart.BufferDirty());
    EXPECT_NEAR(chart.BottomAxis().Minimum(), min + 20 * perPixelX, 1e-9);
    EXPECT_NEAR(chart.LeftAxis().Minimum(), lowY + 10 * perPixelY, 1e-9);
    EXPECT_FALSE(chart.BottomAxis().Automatic());
    chart.MouseUp(B::Right, CX() - 20, CY() + 10);
    EXPECT_FALSE(chart.Panning().Active);
}

TEST_F(Scroll, left_then_right_by_the_same_distance_returns_the_scale)
{
    const double min = chart.BottomAxis().Minimum(), max = chart.BottomAxis().Maximum();
    const double low = chart.LeftAxis().Minimum(), high = chart.LeftAxis().Maximum();
    chart.MouseDown(B::Right, CX(), CY());
    chart.MouseMove(CX() - 30, CY());
    chart.BackBuffer(); // the window repaints between moves
    chart.MouseMove(CX() - 50, CY());
    chart.BackBuffer();
    chart.MouseMove(CX(), CY());
    chart.BackBuffer();
    EXPECT_NEAR(chart.BottomAxis().Minimum(), min, 1e-9);
    EXPECT_NEAR(chart.BottomAxis().Maximum(), max, 1e-9);
    chart.MouseMove(CX(), CY() + 25);
    chart.BackBuffer();
    chart.MouseMove(CX(), CY());
    chart.MouseUp(B::Right, CX(), CY());
    EXPECT_NEAR(chart.LeftAxis().Minimum(), low, 1e-12);
    EXPECT_NEAR(chart.LeftAxis().Maximum(), high, 1e-12);
}

TEST_F(Scroll, stops_as_soon_as_the_mouse_leaves_the_plot_rectangle)
{
    chart.MouseDown(B::Right, CX(), CY());
    chart.MouseMove(CX() + 10, CY());
    const double min = chart.BottomAxis().Minimum();
    chart.MouseMove(plot.Right, CY()); // the right edge is outside
    EXPECT_FALSE(chart.Panning().Active);
    chart.MouseMove(CX() + 40, CY()); // back inside, button still held
    EXPECT_EQ(chart.BottomAxis().Minimum(), min);
}

TEST_F(Scroll, moves_only_the_allowed_direction)
{
    chart.SetAllowPanning(pmHorizontal);
    chart.MouseDown(B::Right, CX(), CY());
    chart.MouseMove(CX() + 10, CY() + 10);
    EXPECT_FALSE(chart.BottomAxis().Automatic());
    EXPECT_TRUE(chart.LeftAxis().Automatic());
    chart.MouseUp(B::Right, CX() + 10, CY() + 10);
    chart.SetAllowPanning(pmNone);
    chart.MouseDown(B::Right, CX(), CY());
    EXPECT_FALSE(chart.Panning().Active);
}

TEST_F(Press, on_the_title_or_the_margins_starts_nothing)
{
    chart.Title().SetText({"Evolution de la pression au cours du temps"});
    chart.BackBuffer();
    plot = chart.PlotRect();
    chart.MouseDown(B::Left, 200, plot.Top - 10); // in the title's band
    EXPECT_FALSE(chart.Zoom().Active);
    chart.MouseDown(B::Right, 2, 2);
    EXPECT_FALSE(chart.Panning().Active);
    chart.MouseDown(B::Left, plot.Right + 5, CY()); // right margin, far from any axis
    EXPECT_FALSE(chart.Zoom().Active);
}

TEST_F(Press, near_a_shown_axis_counts_within_eleven_pixels)
{
    const int axisY = chart.BottomAxis().AxisLinePos();
    chart.MouseDown(B::Left, CX(), axisY + 12);
    EXPECT_FALSE(chart.Zoom().Active);
    chart.MouseDown(B::Left, CX(), axisY + 11); // on the labels
    EXPECT_TRUE(chart.Zoom().Active);
    chart.MouseUp(B::Left, CX(), axisY + 11);
    chart.MouseDown(B::Right, chart.LeftAxis().AxisLinePos() - 11, plot.Top);
    EXPECT_TRUE(chart.Panning().Active);
    chart.MouseUp(B::Right, 0, 0);
    chart.MouseDown(B::Left, plot.Right + 1, axisY + 5); // beyond the axis's extent
    EXPECT_FALSE(chart.Zoom().Active);
}

TEST_F(Press, on_the_curve_counts_within_a_pixel_even_outside_the_plot)
{
    // The right edge column is outside the plot; the curve's last drawn
    // pixels lie just left of it, at the top.
    EXPECT_TRUE(chart.PressCounts(plot.Right, plot.Top + 2));
    EXPECT_FALSE(chart.PressCounts(plot.Right, CY())); // the curve is far, so are the axes
    EXPECT_FALSE(chart.PressCounts(plot.Right + 2, plot.Top + 2));
}

TEST_F(Press, inside_the_plot_needs_an_active_series)
{
    EXPECT_TRUE(chart.PressCounts(plot.Left, plot.Top));
    EXPECT_FALSE(chart.PressCounts(plot.Right, plot.Bottom + 20));
    series->SetActive(false);
    chart.BackBuffer();
    EXPECT_FALSE(chart.PressCounts(CX(), CY()));
}

TEST_F(Press, a_press_during_a_drag_is_ignored)
{
    chart.MouseDown(B::Left, CX(), CY());
    chart.MouseDown(B::Right, CX(), CY());
    EXPECT_FALSE(chart.Panning().Active);
    chart.MouseUp(B::Right, CX(), CY()); // not the zoom button: the zoom goes on
    EXPECT_TRUE(chart.Zoom().Active);
    chart.MouseUp(B::Left, CX(), CY());
    EXPECT_FALSE(chart.Zoom().Active);
}
