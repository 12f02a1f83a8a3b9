// Renders the main window's two charts, with a simulated run of 300 points,
// to PNG files: chart1.png (pressure) and chart2.png (extent of reaction),
// 700 x 400 pixels each, in the folder given as the first argument (the
// current folder by default); then chart1-band.png, the pressure chart during
// a left-button drag with its rubber band, chart1-zoom.png, the same chart
// zoomed into that rectangle, and chart1-deep.png, after three more small
// zooms around the curve (a scale about a hundredth of a hPa high). Runs
// without a display:
//   QT_QPA_PLATFORM=offscreen chart_render /tmp
#include "chart/TChart.h"
#include "chart/tools/SampleRun.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

// A left-button drag over the rectangle from (x0, y0) to (x1, y1).
void Drag(TChart& chart, int x0, int y0, int x1, int y1)
{
    chart.MouseDown(TMouseButton::Left, x0, y0);
    chart.MouseMove(x1, y1);
    chart.MouseUp(TMouseButton::Left, x1, y1);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    TChart chart1, chart2;
    sample_run::ConfigurePressure(chart1);
    sample_run::ConfigureExtent(chart2);
    for (TChart* chart : {&chart1, &chart2}) {
        chart->resize(sample_run::kWidth, sample_run::kHeight);
        chart->SetChartSize(sample_run::kWidth, sample_run::kHeight); // a hidden widget gets no resize event
    }
    sample_run::AddRun(&chart1, &chart2);

    bool ok = true;
    auto save = [&](TChart& chart, const char* name) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        if (!chart.ScreenImage().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    };
    save(chart1, "chart1.png");
    save(chart2, "chart2.png");

    // A drag over the first minute and the upper part of the curve.
    const TChartRect plot = chart1.PlotRect();
    const int x0 = plot.Left + plot.Width() / 10, y0 = plot.Top + plot.Height() / 8;
    const int x1 = plot.Left + plot.Width() / 3, y1 = plot.Top + plot.Height() / 2;
    chart1.MouseDown(TMouseButton::Left, x0, y0);
    chart1.MouseMove(x1, y1);
    save(chart1, "chart1-band.png");
    chart1.MouseUp(TMouseButton::Left, x1, y1);
    save(chart1, "chart1-zoom.png");

    // Three drags of a fifteenth of the plot each way, centred on the
    // point of the 80th second, inside the first zoom.
    constexpr int kPoint = 80;
    for (int i = 0; i < 3; ++i) {
        chart1.ScreenImage(); // lays the plot out for the current scale
        const TChartRect r = chart1.PlotRect();
        const int cx = chart1.BottomAxis().ValueToPixel(kPoint * sample_run::kPeriode);
        const int cy = chart1.LeftAxis().ValueToPixel(sample_run::PressurePa(kPoint) / 100.0);
        const int hw = r.Width() / 30, hh = r.Height() / 30;
        Drag(chart1, cx - hw, cy - hh, cx + hw, cy + hh);
    }
    save(chart1, "chart1-deep.png");
    return ok ? 0 : 1;
}
