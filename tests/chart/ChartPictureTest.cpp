// Whole charts against their reference pictures: the main window's charts
// with the sample run of chart_render, drawn headlessly, pixel for pixel.
// To renew a reference after a deliberate change of the drawing, look at the
// "actual-<name>" picture the failing test writes in its current folder and
// copy it over the one here.
#include "chart/TChart.h"
#include "ChartTestSupport.h"
#include "chart/tools/SampleRun.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

namespace {

// Whether `actual` is pixel for pixel the reference picture `name`; when it
// is not, it is written to the current folder as "actual-<name>", to look at.
bool SameAsReference(const QImage& actual, const char* name)
{
    const QImage reference(QStringLiteral(NELVAR_CHART_PICTURES "/") + QString::fromLatin1(name));
    const QImage shown = actual.convertToFormat(QImage::Format_RGB32);
    if (!reference.isNull() && shown == reference.convertToFormat(QImage::Format_RGB32))
        return true;
    shown.save(QStringLiteral("actual-") + QString::fromLatin1(name));
    return false;
}

} // namespace

TEST(ChartPicture, the_extent_of_reaction_chart_of_a_run_labels_every_grid_line_apart)
{
    // 300 points from 0 to 0.88 mmol: the left axis steps by 0.00005, so its
    // labels read 0,00005 to 0,00085 with five decimals, in a band that is
    // wide enough for them; the time axis reads 50 to 300.
    TChart chart;
    sample_run::ConfigureExtent(chart);
    chart.resize(sample_run::kWidth, sample_run::kHeight);
    chart.SetChartSize(sample_run::kWidth, sample_run::kHeight); // a hidden widget gets no resize event
    sample_run::AddRun(nullptr, &chart);
    EXPECT_TRUE(SameAsReference(chart.ScreenImage(), "extent-chart.png"));
}

TEST(ChartPicture, a_zoomed_extent_axis_keeps_its_widest_labels_clear_of_its_title)
{
    // Zoomed on 0,0005 to 0,0011 mol, as a drag leaves the ends (a little
    // above the round values): the axis steps by 0.00005, so its inner labels
    // (0,00105, 0,00095 ...) are one digit wider than the labels at its ends
    // (0,0011, 0,0005); the band before the title is as wide as they are.
    TChart chart;
    sample_run::ConfigureExtent(chart);
    chart.resize(sample_run::kWidth, sample_run::kHeight);
    chart.SetChartSize(sample_run::kWidth, sample_run::kHeight); // a hidden widget gets no resize event
    sample_run::AddRun(nullptr, &chart);
    chart.LeftAxis().SetMinMax(0.000501, 0.001101);
    EXPECT_TRUE(SameAsReference(chart.ScreenImage(), "extent-zoom.png"));
}

TEST(ChartPicture, an_analysed_run_shows_points_model_dashed_marks_tangent_interval_and_legend)
{
    // 81 points 5 s apart as blue squares, the model as a red line, dashed
    // lines at x_f, x_f/2 and t½ labelled beside them, the grey tangent at
    // the start, the interval's green markers at 10 s and 300 s, and the
    // legend in the plot's bottom right corner.
    TestChart chart(sample_run::kWidth, sample_run::kHeight);
    sample_run::AddAnalysis(chart, 81, 5.0);
    EXPECT_TRUE(SameAsReference(chart.ScreenImage(), "analysis-chart.png"));
}
