// Axis properties and scale: automatic range from the data, fixed scales,
// property errors, label text under the process-wide decimal separator.
#include "ChartTestSupport.h"
#include "numtext/NumberText.h"
#include "runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Restores the process-wide decimal separator after a test.
class DecimalSeparatorGuard {
public:
    DecimalSeparatorGuard() : saved_(DecimalSeparator()) {}
    ~DecimalSeparatorGuard() { SetDecimalSeparator(saved_); }

private:
    char saved_;
};

template <class F>
std::string MessageOf(F&& f)
{
    try {
        f();
    } catch (const AxisException& e) {
        return e.Message();
    }
    return "(no exception)";
}

} // namespace

TEST(AxisRange, spans_exactly_the_data_of_the_active_series_using_the_axis)
{
    TestChart chart;
    TFastLineSeries* a = chart.AddSeries<TFastLineSeries>();
    TFastLineSeries* b = chart.AddSeries<TFastLineSeries>();
    TFastLineSeries* hidden = chart.AddSeries<TFastLineSeries>();
    chart.AddSeries<TFastLineSeries>(); // empty: ignored
    a->AddPoint(2.0, -1.0, "", clRed);
    a->AddPoint(4.0, 3.0, "", clRed);
    b->AddPoint(3.0, 5.0, "", clRed);
    hidden->AddPoint(-50.0, 50.0, "", clRed);
    hidden->SetActive(false);
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMin(), 2.0);
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 4.0);
    EXPECT_EQ(chart.LeftAxis().ScaleMin(), -1.0);
    EXPECT_EQ(chart.LeftAxis().ScaleMax(), 5.0);
    EXPECT_EQ(chart.LeftAxis().ScaleRange(), 6.0);
    // While automatic, Minimum and Maximum hold the last paint's scale.
    EXPECT_EQ(chart.BottomAxis().Minimum(), 2.0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 4.0);
    // No series on the top axis: 0 to 0.
    EXPECT_EQ(chart.TopAxis().ScaleMax(), 0.0);
}

TEST(AxisRange, a_fixed_scale_is_kept_until_made_automatic_again)
{
    TestChart chart;
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    s->AddPoint(0.0, 0.0, "", clRed);
    s->AddPoint(100.0, 10.0, "", clRed);
    chart.BottomAxis().SetMinMax(30.0, 20.0);
    EXPECT_FALSE(chart.BottomAxis().Automatic());
    EXPECT_FALSE(chart.BottomAxis().AutomaticMinimum());
    EXPECT_FALSE(chart.BottomAxis().AutomaticMaximum());
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMin(), 20.0);
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 30.0);
    s->AddPoint(200.0, 1.0, "", clRed);
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 30.0);
    chart.BottomAxis().SetAutomatic(true);
    EXPECT_TRUE(chart.BottomAxis().AutomaticMinimum());
    EXPECT_TRUE(chart.BottomAxis().AutomaticMaximum());
    chart.BackBuffer();
    EXPECT_EQ(chart.BottomAxis().ScaleMax(), 200.0);
}

TEST(AxisRange, clearing_one_automatic_end_clears_automatic)
{
    TestChart chart;
    TChartAxis& axis = chart.LeftAxis();
    axis.SetAutomaticMaximum(false);
    EXPECT_FALSE(axis.Automatic());
    EXPECT_TRUE(axis.AutomaticMinimum());
    axis.SetAutomaticMaximum(true);
    EXPECT_FALSE(axis.Automatic()); // setting one end back does not restore it
    // The minimum still follows the data, the maximum stays.
    TFastLineSeries* s = chart.AddSeries<TFastLineSeries>();
    s->AddPoint(0.0, 7.0, "", clRed);
    s->AddPoint(1.0, 9.0, "", clRed);
    chart.BackBuffer();
    EXPECT_EQ(axis.ScaleMin(), 7.0);
    EXPECT_EQ(axis.ScaleMax(), 9.0);
}

TEST(AxisSetMinMax, orders_its_ends_keeps_the_scale_at_least_1e_10_wide_and_invalidates)
{
    TestChart chart;
    TChartAxis& axis = chart.BottomAxis();
    chart.BackBuffer();
    axis.SetMinMax(5.0, 1.0);
    EXPECT_TRUE(chart.BufferDirty());
    EXPECT_EQ(axis.Minimum(), 1.0);
    EXPECT_EQ(axis.Maximum(), 5.0);
    axis.SetMinMax(3.0, 3.0);
    EXPECT_EQ(axis.Minimum(), 3.0);
    EXPECT_EQ(axis.Maximum(), 3.0 + 1e-10);
    axis.SetMinMax(2.0, 2.0 - 1e-12);
    EXPECT_EQ(axis.Minimum(), 2.0);
    EXPECT_EQ(axis.Maximum(), 2.0 + 1e-10);
    axis.SetMinMax(1e12, 1e12); // 1e-10 is below the spacing of doubles here
    EXPECT_GT(axis.Maximum(), axis.Minimum());
}

TEST(AxisProperties, refuse_wrong_values_with_french_messages)
{
    TestChart chart;
    TChartAxis& axis = chart.LeftAxis();
    EXPECT_EQ(MessageOf([&] { axis.SetIncrement(-1.0); }), "Incrément axe doit être >= 0");
    EXPECT_EQ(MessageOf([&] { axis.SetIncrement(NAN); }), "Incrément axe doit être >= 0");
    EXPECT_EQ(MessageOf([&] { axis.SetIncrement(INFINITY); }), "Incrément axe hors limites");
    EXPECT_EQ(MessageOf([&] { axis.SetIncrement(1e-310); }), "Incrément axe hors limites");
    axis.SetMinMax(0.0, 10.0);
    EXPECT_EQ(MessageOf([&] { axis.SetMinimum(11.0); }), "La valeur minimum de l'axe doit être <= maximum");
    EXPECT_EQ(MessageOf([&] { axis.SetMaximum(-1.0); }), "La valeur maximum de l'axe doit être >= minimum");
    EXPECT_EQ(axis.Minimum(), 0.0);
    EXPECT_EQ(axis.Maximum(), 10.0);
    EXPECT_EQ(axis.Increment(), 0.0);
    axis.SetMinimum(10.0); // equal ends are allowed
    axis.SetIncrement(0.5);
    EXPECT_EQ(axis.Minimum(), 10.0);
    EXPECT_EQ(axis.Increment(), 0.5);
}

TEST(AxisLabelText, uses_the_process_wide_decimal_separator_and_the_system_thousands_separator)
{
    DecimalSeparatorGuard guard;
    SetDecimalSeparator(',');
    EXPECT_EQ(TChartAxis::AxisLabelText(1234.5678), "1" + SystemThousandsSeparator() + "234,568");
    SetDecimalSeparator('.');
    EXPECT_EQ(TChartAxis::AxisLabelText(2.5), "2.5");
}

TEST(AxisLabelText, labels_with_more_decimals_along_the_bottom_axis_never_overlap)
{
    DecimalSeparatorGuard guard;
    SetDecimalSeparator(',');
    // Deep zooms of the time axis, whose labels need four to six decimals.
    for (const double width : {0.00045, 0.0007, 0.0016, 0.000019}) {
        SCOPED_TRACE(width);
        TestChart chart(300, 200);
        ConfigureLikeMainWindow(chart)->AddPoint(80.0, 1.0, "", clRed);
        TChartAxis& axis = chart.BottomAxis();
        axis.SetMinMax(80.0, 80.0 + width);
        chart.BackBuffer();
        ASSERT_GT(axis.CurrentLabelFormat().decimals, 3);
        ChartCanvas& canvas = chart.Canvas();
        canvas.SetFont(axis.LabelsFont());
        const auto labels =
            axis_scale::LabelValues(axis.ScaleMin(), axis.ScaleMax(), axis.CurrentLabelStep(), true, true);
        ASSERT_GE(labels.size(), 2u);
        auto halfWidth = [&](double v) {
            return canvas.TextWidth(TChartAxis::AxisLabelText(v, axis.CurrentLabelFormat())) / 2;
        };
        // Labels are centred on their values, from the right end leftwards.
        for (std::size_t i = 1; i < labels.size(); ++i)
            EXPECT_GT(axis.ValueToPixel(labels[i - 1]) - axis.ValueToPixel(labels[i]),
                      halfWidth(labels[i - 1]) + halfWidth(labels[i]))
                << labels[i];
    }
}

TEST(AxisLabelText, time_labels_stay_a_character_apart_at_every_width)
{
    // A run of 300 s (labels "100", "110", "120"... when the step is 10) on
    // charts from narrow to wide: neighbours never come closer than the
    // width of one digit, fewer labels being written where they would.
    DecimalSeparatorGuard guard;
    SetDecimalSeparator(',');
    for (int width = 200; width <= 1400; width += 9) {
        SCOPED_TRACE(width);
        TestChart chart(width, 200);
        TFastLineSeries* serie = ConfigureLikeMainWindow(chart);
        serie->AddPoint(0.0, 0.0, "", clRed);
        serie->AddPoint(299.0, 1.0, "", clRed);
        chart.BackBuffer();
        TChartAxis& axis = chart.BottomAxis();
        ChartCanvas& canvas = chart.Canvas();
        canvas.SetFont(axis.LabelsFont());
        const int chiffre = canvas.TextWidth("0");
        const auto labels =
            axis_scale::LabelValues(axis.ScaleMin(), axis.ScaleMax(), axis.CurrentLabelStep(), true, true);
        ASSERT_GE(labels.size(), 2u);
        auto halfWidth = [&](double v) {
            return canvas.TextWidth(TChartAxis::AxisLabelText(v, axis.CurrentLabelFormat())) / 2.0;
        };
        for (std::size_t i = 1; i < labels.size(); ++i)
            EXPECT_GE(std::abs(axis.ValueToPixel(labels[i - 1]) - axis.ValueToPixel(labels[i])) -
                          (halfWidth(labels[i - 1]) + halfWidth(labels[i])),
                      chiffre - 1)
                << labels[i];
    }
}

TEST(AxisShown, only_axes_that_an_active_series_uses_are_shown)
{
    TestChart chart;
    EXPECT_TRUE(chart.TopAxis().IsShown()); // no series at all: every axis
    TFastLineSeries* s = ConfigureLikeMainWindow(chart);
    EXPECT_TRUE(chart.BottomAxis().IsShown());
    EXPECT_TRUE(chart.LeftAxis().IsShown());
    EXPECT_FALSE(chart.TopAxis().IsShown());
    EXPECT_FALSE(chart.RightAxis().IsShown());
    s->SetActive(false);
    EXPECT_FALSE(chart.BottomAxis().IsShown());
    s->SetActive(true);
    chart.SetAxisVisible(false);
    EXPECT_FALSE(chart.LeftAxis().IsShown());
}
