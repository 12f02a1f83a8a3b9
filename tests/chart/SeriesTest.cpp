// Storing points: ordered placement, the four parallel lists, statistics,
// colours, and the invalidation of the chart.
#include "ChartTestSupport.h"
#include "chart/TChartValueList.h"
#include "chart/TFastLineSeries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(ValueList, places_each_value_after_its_equals_in_the_list_order)
{
    struct Case {
        TChartListOrder order;
        std::vector<double> values;
        std::vector<int> places; // the index AddValue returns for each value
    };
    const Case cases[] = {
        // Between, after the equal one, before all, equal to the last.
        {loAscending, {1.0, 3.0, 2.0, 2.0, 0.5, 3.0}, {0, 1, 1, 2, 0, 5}},
        {loDescending, {5.0, 3.0, 4.0, 9.0, 4.0}, {0, 1, 1, 0, 3}},
        {loNone, {5.0, 1.0}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        TChartValueList list("X", c.order);
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(list.AddValue(c.values[i]), c.places[i]) << i;
        std::vector<double> stored;
        for (int i = 0; i < list.Count(); ++i)
            stored.push_back(list.Value(i));
        std::vector<double> sorted = c.values;
        if (c.order == loAscending)
            std::sort(sorted.begin(), sorted.end());
        else if (c.order == loDescending)
            std::sort(sorted.rbegin(), sorted.rend());
        EXPECT_EQ(stored, sorted);
    }
}

TEST(ValueList, statistics_follow_the_multiplied_values)
{
    TChartValueList y("Y", loNone);
    EXPECT_EQ(y.MinValue(), 0.0);
    EXPECT_EQ(y.MaxValue(), 0.0);
    y.AddValue(-2.0);
    EXPECT_EQ(y.MinValue(), -2.0);
    EXPECT_EQ(y.MaxValue(), -2.0); // a single value is both ends, not 0
    y.AddValue(4.0);
    y.InsertValueAt(0, 1.0);
    EXPECT_EQ(y.MinValue(), -2.0);
    EXPECT_EQ(y.MaxValue(), 4.0);
    EXPECT_EQ(y.TotalValue(), 3.0);
    EXPECT_EQ(y.TotalAbsValue(), 7.0);
    y.SetMultiplier(-10.0);
    EXPECT_EQ(y.Value(1), 20.0);
    EXPECT_EQ(y.RawValue(1), -2.0);
    EXPECT_EQ(y.MinValue(), -40.0);
    EXPECT_EQ(y.MaxValue(), 20.0);
    y.Clear();
    EXPECT_EQ(y.Count(), 0);
    EXPECT_EQ(y.MinValue(), 0.0);
    EXPECT_EQ(y.MaxValue(), 0.0);
    EXPECT_EQ(y.TotalValue(), 0.0);
    EXPECT_EQ(y.TotalAbsValue(), 0.0);
}

TEST(FastLineSeries, a_smaller_x_takes_its_y_colour_and_label_to_its_sorted_place)
{
    TestChart chart;
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    EXPECT_EQ(s->AddPoint(1.0, 10.0, "a", 0x0000FF), 0);
    EXPECT_EQ(s->AddPoint(3.0, 30.0, "c", 0x00FF00), 1);
    EXPECT_EQ(s->AddPoint(2.0, 20.0, "b", 0xFF0000), 1);
    EXPECT_EQ(s->AddPoint(2.0, 21.0, "b2", 0x123456), 2);
    ASSERT_EQ(s->Count(), 4);
    EXPECT_EQ(s->XValue(1), 2.0);
    EXPECT_EQ(s->YValue(1), 20.0);
    EXPECT_EQ(s->Label(1), "b");
    EXPECT_EQ(s->ValueColor(1), 0xFF0000u);
    EXPECT_EQ(s->YValue(2), 21.0);
    EXPECT_EQ(s->Label(2), "b2");
    EXPECT_EQ(s->YValue(3), 30.0);
    EXPECT_EQ(s->Label(3), "c");
}

TEST(FastLineSeries, color_auto_and_unset_colours_read_as_the_series_colour)
{
    TestChart chart;
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    s->AddPoint(1.0, 1.0, "", ColorAuto);
    s->AddPoint(2.0, 1.0, "", ColorUnset);
    s->AddPoint(3.0, 1.0, "", clLime);
    EXPECT_EQ(s->ValueColor(0), clRed);
    EXPECT_EQ(s->ValueColor(1), clRed);
    EXPECT_EQ(s->ValueColor(2), clLime);
    s->SetSeriesColor(clBlue);
    EXPECT_EQ(s->ValueColor(0), clBlue);
    EXPECT_EQ(s->LinePen().Color(), clBlue); // the line pen follows
}

TEST(FastLineSeries, clear_points_empties_the_four_lists_and_the_statistics)
{
    TestChart chart;
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    s->AddPoint(1.0, 5.0, "x", clRed);
    s->AddPoint(2.0, 7.0, "y", clRed);
    s->ClearPoints();
    EXPECT_EQ(s->Count(), 0);
    EXPECT_EQ(s->YValues.Count(), 0);
    EXPECT_EQ(s->MaxYValue(), 0.0);
    EXPECT_EQ(s->AddPoint(9.0, 1.0, "", clRed), 0);
    EXPECT_EQ(s->Label(0), "");
}

TEST(FastLineSeries, adding_clearing_and_pen_changes_invalidate_the_chart)
{
    TestChart chart;
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    chart.PaintBackBuffer();
    const int before = chart.repaintRequests;
    s->AddPoint(1.0, 1.0, "", clRed);
    EXPECT_TRUE(chart.BufferDirty());
    EXPECT_EQ(chart.repaintRequests, before + 1);
    chart.PaintBackBuffer();
    s->ClearPoints();
    EXPECT_TRUE(chart.BufferDirty());
    chart.PaintBackBuffer();
    s->LinePen().SetWidth(1); // unchanged
    EXPECT_FALSE(chart.BufferDirty());
    s->LinePen().SetWidth(2);
    EXPECT_TRUE(chart.BufferDirty());
    chart.PaintBackBuffer();
    s->SetActive(false);
    EXPECT_TRUE(chart.BufferDirty());
    chart.PaintBackBuffer();
    s->AddPoint(2.0, 1.0, "", clRed); // an inactive series does not redraw its chart
    EXPECT_FALSE(chart.BufferDirty());
}
