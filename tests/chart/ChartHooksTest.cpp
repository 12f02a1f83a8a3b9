// What a window analysing a run gets from the chart's mouse: a click
// without drag and the pointer's moves in data coordinates, the interval's
// markers dragged instead of a zoom, the nearest point to a time; and what
// the main charts keep: an unused legend or a removed mark draws nothing.
#include "ChartTestSupport.h"
#include "chart/TPointSeries.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A painted chart whose scales run from 0 to 100 s and 0 to 10 mol.
class Hooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        TFastLineSeries* series = ConfigureLikeMainWindow(chart);
        series->AddPoint(0.0, 0.0, "", ColorAuto);
        series->AddPoint(100.0, 10.0, "", ColorAuto);
        chart.BackBuffer();
        plot = chart.PlotRect();
    }
    // Data units covered by one pixel along x and y.
    double XPixelSize() const { return 100.0 / plot.Width(); }
    double YPixelSize() const { return 10.0 / plot.Height(); }

    TestChart chart;
    TChartRect plot;
};

} // namespace

TEST_F(Hooks, a_left_click_without_drag_reports_the_pressed_point_and_a_drag_does_not)
{
    struct Case {
        const char* what;
        TMouseButton button;
        int dx, dy;
        bool click, zoom;
    };
    const Case cases[] = {
        {"released where pressed", TMouseButton::Left, 0, 0, true, false},
        {"moved sixteen pixels both ways: still a click", TMouseButton::Left, 16, -16, true, false},
        {"moved seventeen across: neither click nor zoom", TMouseButton::Left, 17, 3, false, false},
        {"dragged forty down and right: a zoom, no click", TMouseButton::Left, 40, 40, false, true},
        {"the right button: no click", TMouseButton::Right, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chart.UndoZoom();
        chart.BackBuffer();
        std::vector<std::pair<double, double>> clicks;
        chart.SetOnClick([&](double x, double y) { clicks.emplace_back(x, y); });
        // The pixel of 30 s and 8 mol.
        const int x = chart.XPixel(30.0), y = chart.YPixel(8.0);
        chart.MouseDown(c.button, x, y);
        chart.MouseMove(x + c.dx, y + c.dy);
        chart.MouseUp(c.button, x + c.dx, y + c.dy);
        EXPECT_EQ(chart.HasSavedScale(), c.zoom);
        ASSERT_EQ(clicks.size(), c.click ? 1u : 0u);
        if (c.click) {
            EXPECT_NEAR(clicks[0].first, 30.0, XPixelSize());
            EXPECT_NEAR(clicks[0].second, 8.0, YPixelSize());
        }
    }
}

TEST_F(Hooks, a_press_on_an_interval_marker_drags_it_instead_of_zooming)
{
    struct Case {
        const char* what;
        TIntervalEdge edge;
        int pressOffset; // pixels right of the marker's line
        int moveTo;      // pixel the mouse goes to
        double expected; // the marker's value after the drag (s)
        bool dragged;
    };
    chart.IntervalMarkers().SetVisible(true);
    chart.BackBuffer();
    const Case cases[] = {
        {"début grabbed 3 pixels right of its line goes to 45 s", TIntervalEdge::Start, 3, chart.XPixel(45.0), 45.0,
         true},
        {"fin dragged left past début stops on début", TIntervalEdge::End, -4, chart.XPixel(5.0), 20.0, true},
        {"début dragged off the plot stops at the scale's start", TIntervalEdge::Start, 0, plot.Left - 30, 0.0, true},
        {"a press 6 pixels away starts a zoom band instead", TIntervalEdge::Start, 6, chart.XPixel(45.0), 20.0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chart.IntervalMarkers().SetValue(TIntervalEdge::Start, 20.0);
        chart.IntervalMarkers().SetValue(TIntervalEdge::End, 60.0);
        chart.BackBuffer();
        std::vector<std::pair<TIntervalEdge, double>> moves;
        chart.SetOnIntervalMarkerMoved([&](TIntervalEdge e, double v) { moves.emplace_back(e, v); });
        int clicks = 0;
        chart.SetOnClick([&](double, double) { ++clicks; });
        const int x = chart.XPixel(chart.IntervalMarkers().Value(c.edge)) + c.pressOffset;
        const int y = (plot.Top + plot.Bottom) / 2;
        chart.MouseDown(TMouseButton::Left, x, y);
        EXPECT_EQ(chart.DraggingMarker(), c.dragged);
        EXPECT_EQ(chart.Zoom().Active, !c.dragged);
        chart.MouseMove(c.moveTo, y);
        chart.CancelDrag(); // the zoom band's case: nothing zoomed
        chart.MouseUp(TMouseButton::Left, c.moveTo, y);
        EXPECT_FALSE(chart.DraggingMarker());
        EXPECT_NEAR(chart.IntervalMarkers().Value(c.edge), c.expected, XPixelSize());
        EXPECT_FALSE(chart.HasSavedScale());
        EXPECT_EQ(clicks, 0);
        if (c.dragged) {
            ASSERT_FALSE(moves.empty());
            EXPECT_EQ(moves.back().first, c.edge);
            EXPECT_EQ(moves.back().second, chart.IntervalMarkers().Value(c.edge));
        } else {
            EXPECT_TRUE(moves.empty());
        }
    }
}

TEST_F(Hooks, the_pointer_is_reported_in_data_coordinates_inside_the_plot_only)
{
    std::vector<std::pair<double, double>> seen;
    chart.SetOnPointerMove([&](double x, double y) { seen.emplace_back(x, y); });
    chart.MouseMove(chart.XPixel(12.0), chart.YPixel(3.0));
    chart.MouseMove(plot.Left - 5, chart.YPixel(3.0)); // on the left axis's labels
    chart.MouseMove(chart.XPixel(70.0), plot.Bottom + 5);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NEAR(seen[0].first, 12.0, XPixelSize());
    EXPECT_NEAR(seen[0].second, 3.0, YPixelSize());
}

TEST(NearestPoint, the_nearest_time_wins_and_a_tie_takes_the_earlier_point)
{
    TestChart chart;
    TPointSeries* series = chart.AddSeries<TPointSeries>();
    for (double t : {0.0, 5.0, 10.0, 15.0})
        series->AddPoint(t, 1.0, "", ColorAuto);
    const std::pair<double, int> cases[] = {{-3.0, 0}, {2.4, 0}, {2.5, 0}, {2.6, 1}, {10.0, 2}, {14.0, 3}, {99.0, 3}};
    for (const auto& [t, index] : cases)
        EXPECT_EQ(series->NearestPointIndex(t), index) << "t = " << t;
    EXPECT_EQ(chart.AddSeries<TPointSeries>()->NearestPointIndex(1.0), -1);
}

TEST_F(Hooks, an_unused_legend_and_a_removed_mark_leave_the_picture_as_it_was)
{
    chart.Legend().SetVisible(false);
    const QImage before = chart.BackBuffer().copy();
    chart.Legend().SetVisible(true); // no series has a title
    const int tangent = chart.ChartMarks().AddLine(50.0, 5.0, 0.3);
    EXPECT_NE(chart.BackBuffer(), before);
    EXPECT_TRUE(chart.ChartMarks().Remove(tangent));
    EXPECT_FALSE(chart.ChartMarks().Remove(tangent));
    EXPECT_EQ(chart.BackBuffer(), before);
}

TEST_F(Hooks, the_interval_labels_keep_clear_of_a_reference_label_and_of_the_legend)
{
    // The end marker's "fin" label would sit on the reference line's label
    // and the legend, bottom right: it goes above both, in sight.
    chart.Series(0)->SetTitle("Mesures");
    chart.Legend().SetVisible(true);
    chart.ChartMarks().AddHorizontalLine(0.2, "x_f = -0,02 mmol");
    TIntervalMarkers& markers = chart.IntervalMarkers();
    markers.SetVisible(true);
    markers.SetValue(TIntervalEdge::Start, 0.0);
    markers.SetValue(TIntervalEdge::End, 100.0);
    const QImage& image = chart.BackBuffer();
    ASSERT_EQ(chart.ChartMarks().LabelRects().size(), 1u);
    const std::optional<TChartRect> legend = chart.Legend().Box(chart.Canvas(), chart);
    ASSERT_TRUE(legend);
    // The label's green text pixels, left of the end marker's line.
    int text = 0, hidden = 0;
    for (int y = plot.Top + 1; y < plot.Bottom - 1; ++y)
        for (int x = plot.Left + 1; x < chart.XPixel(100.0) - 2; ++x)
            if (const QColor c = image.pixelColor(x, y); c.green() > c.red() + 40 && c.green() > c.blue() + 40) {
                ++text;
                for (const TChartRect& r : {chart.ChartMarks().LabelRects().front(), *legend})
                    hidden += x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            }
    EXPECT_GT(text, 0);
    EXPECT_EQ(hidden, 0);
}

TEST_F(Hooks, a_legend_writes_a_runs_name_as_it_is_underscore_included)
{
    // Runs are named after their files and computers ("essai_1.txt",
    // "SALLE_2"): an underscore there is a character, not a subscript. An
    // underscore is wider than a hyphen in the chart's font, while "1" drawn
    // as a subscript would leave the box narrower than with the hyphen.
    chart.Legend().SetVisible(true);
    auto width = [&](const char* title) {
        chart.Series(0)->SetTitle(title);
        chart.BackBuffer();
        const std::optional<TChartRect> box = chart.Legend().Box(chart.Canvas(), chart);
        return box ? box->Width() : 0;
    };
    const int hyphen = width("essai-1.txt");
    EXPECT_GT(hyphen, 0);
    EXPECT_GT(width("essai_1.txt"), hyphen);
}
