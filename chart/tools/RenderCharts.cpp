// Renders the main window's two charts, with a simulated run of 300 points,
// to PNG files: chart1.png (pressure) and chart2.png (extent of reaction),
// 700 x 400 pixels each, in the folder given as the first argument (the
// current folder by default); then chart1-band.png, the pressure chart during
// a left-button drag with its rubber band, and chart1-zoom.png, the same chart
// zoomed into that rectangle. Runs without a display:
//   QT_QPA_PLATFORM=offscreen chart_render /tmp
#include "chart/TChart.h"

#include <QApplication>
#include <QDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kPeriode = 1.00013;         // s between two points
constexpr double kVolume = 0.25 / 1000.0;    // m3
constexpr double kTemperature = 20.0 + 273;  // K
constexpr double kConstanteGaz = 8.314;      // J/(mol K)
constexpr int kPoints = 300;

void Configure(TChart& chart, const char* title, const char* bottomCaption, const char* leftCaption)
{
    chart.Title().SetText({title});
    chart.BottomAxis().Title().SetCaption(bottomCaption);
    chart.LeftAxis().Title().SetCaption(leftCaption);
    chart.BackWall().Brush().SetStyle(bsClear);
    chart.Legend().SetVisible(false);
    chart.SetView3D(false);
    chart.SetAnimatedZoom(true);
}

// A gas given off at a slowing rate, read with a little deterministic noise.
double PressurePa(int n)
{
    const double t = n * kPeriode;
    const double noise = 6.0 * std::sin(n * 12.9898) * std::sin(n * 4.1414);
    return 100000.0 + 9000.0 * (1.0 - std::exp(-t / 90.0)) + noise;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    TChart chart1, chart2;
    Configure(chart1, "Evolution de la pression au cours du temps", "Date en s", "Pression en hPa");
    Configure(chart2, "Evolution de l'avancement au cours du temps", "Date en secondes",
              "Avancement calculé en fonction de la variation de pression, en moles");
    TFastLineSeries* series1 = chart1.AddSeries<TFastLineSeries>();
    TFastLineSeries* series2 = chart2.AddSeries<TFastLineSeries>();
    series1->SetSeriesColor(clRed);
    series2->SetSeriesColor(clRed);
    chart1.resize(700, 400);
    chart2.resize(700, 400);
    chart1.SetChartSize(700, 400); // a hidden widget gets no resize event
    chart2.SetChartSize(700, 400);

    series1->ClearPoints();
    series2->ClearPoints();
    double firstAmount = 0.0;
    for (int n = 1; n <= kPoints; ++n) {
        const double p = PressurePa(n);
        series1->AddPoint(n * kPeriode, p / 100.0, "", 0x0000FF);
        const double amount = p * kVolume / (kConstanteGaz * kTemperature);
        if (n == 1)
            firstAmount = amount;
        else
            series2->AddPoint(n * kPeriode, amount - firstAmount, "", 0x00FF00);
    }

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
    return ok ? 0 : 1;
}
