// Whole charts against their reference pictures: the main window's charts
// with the sample run of chart_render, drawn headlessly, pixel for pixel.
// To renew a reference after a deliberate change of the drawing, run
// `chart_render <folder>` and copy the picture it writes over the one here,
// after looking at it.
#include "chart/TChart.h"
#include "chart/tools/SampleRun.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

namespace {

// The pixels where `actual` differs from the reference picture `name`; the
// actual picture is written to the current folder as "actual-<name>" when
// they differ, to look at.
int DifferingPixels(const QImage& actual, const char* name)
{
    const QImage reference(QStringLiteral(NELVAR_CHART_PICTURES "/") + QString::fromLatin1(name));
    if (reference.isNull())
        ADD_FAILURE() << "no reference picture " << name;
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage r = reference.convertToFormat(QImage::Format_RGB32);
    int differing = a.width() * a.height();
    if (a.size() == r.size()) {
        differing = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                differing += a.pixel(x, y) != r.pixel(x, y);
    }
    if (differing > 0)
        a.save(QStringLiteral("actual-") + QString::fromLatin1(name));
    return differing;
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
    EXPECT_EQ(DifferingPixels(chart.ScreenImage(), "extent-chart.png"), 0);
}
