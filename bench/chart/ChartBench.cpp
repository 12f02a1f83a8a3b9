// Speed of the chart: a full paint of a run of 1024 points on a full-HD
// chart, a repaint without change, and storing the points of a run; then the
// full paint of a one-hour run's analysis (measured points, model line,
// dashed marks, tangent, interval markers, legend) beside the main chart's
// full paint of as many points.
#include "chart/TCustomChart.h"
#include "chart/TFastLineSeries.h"
#include "chart/tools/SampleRun.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr double kPeriode = 1.00013;
constexpr int kRunPoints = 1024;

double Pressure(int n)
{
    return 1000.0 + 90.0 * (1.0 - std::exp(-n * kPeriode / 300.0)) + 0.05 * std::sin(n * 12.9898);
}

// The main window's pressure chart at the given size, with no point yet.
TFastLineSeries* SetUpChart(TCustomChart& chart, int width, int height)
{
    chart.Title().SetText({"Evolution de la pression au cours du temps"});
    chart.BottomAxis().Title().SetCaption("Date en s");
    chart.LeftAxis().Title().SetCaption("Pression en hPa");
    chart.Legend().SetVisible(false);
    chart.SetView3D(false);
    TFastLineSeries* series = chart.AddSeries<TFastLineSeries>();
    series->SetSeriesColor(clRed);
    chart.SetChartSize(width, height);
    return series;
}

// The chart after a whole run, painted once: fonts resolved, label texts
// rendered.
void SetUpPaintedRun(TCustomChart& chart)
{
    TFastLineSeries* series = SetUpChart(chart, 1920, 1080);
    for (int n = 1; n <= kRunPoints; ++n)
        series->AddPoint(n * kPeriode, Pressure(n), "", clRed);
    chart.PaintBackBuffer();
}

void BM_FullPaint1024Points1920x1080(benchmark::State& state)
{
    TCustomChart chart;
    SetUpPaintedRun(chart);
    for (auto _ : state) {
        chart.Invalidate();
        benchmark::DoNotOptimize(chart.BackBuffer().constBits());
    }
}
BENCHMARK(BM_FullPaint1024Points1920x1080)->Unit(benchmark::kMillisecond);

// A tick of a run: one more point, then the full paint.
void BM_AddPointAndPaint1920x1080(benchmark::State& state)
{
    TCustomChart chart;
    TFastLineSeries* series = SetUpChart(chart, 1920, 1080);
    int n = 0;
    for (auto _ : state) {
        if (n == kRunPoints) {
            state.PauseTiming();
            series->ClearPoints();
            n = 0;
            state.ResumeTiming();
        }
        ++n;
        series->AddPoint(n * kPeriode, Pressure(n), "", clRed);
        benchmark::DoNotOptimize(chart.BackBuffer().constBits());
    }
}
BENCHMARK(BM_AddPointAndPaint1920x1080)->Unit(benchmark::kMillisecond);

void BM_RepaintWithoutChange1920x1080(benchmark::State& state)
{
    TCustomChart chart;
    SetUpPaintedRun(chart);
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.ScreenImage().constBits());
}
BENCHMARK(BM_RepaintWithoutChange1920x1080);

void BM_AddPoint1024(benchmark::State& state)
{
    TCustomChart chart;
    TFastLineSeries* series = SetUpChart(chart, 700, 400);
    for (auto _ : state) {
        series->ClearPoints();
        for (int n = 1; n <= kRunPoints; ++n)
            benchmark::DoNotOptimize(series->AddPoint(n * kPeriode, Pressure(n), "", clRed));
    }
    state.SetItemsProcessed(state.iterations() * kRunPoints);
}
BENCHMARK(BM_AddPoint1024)->Unit(benchmark::kMicrosecond);

constexpr int kHourPoints = 3600;

void BM_FullPaint3600Points1920x1080(benchmark::State& state)
{
    TCustomChart chart;
    TFastLineSeries* series = SetUpChart(chart, 1920, 1080);
    for (int n = 1; n <= kHourPoints; ++n)
        series->AddPoint(n * kPeriode, Pressure(n), "", clRed);
    chart.PaintBackBuffer();
    for (auto _ : state) {
        chart.Invalidate();
        benchmark::DoNotOptimize(chart.BackBuffer().constBits());
    }
}
BENCHMARK(BM_FullPaint3600Points1920x1080)->Unit(benchmark::kMillisecond);

// 3 600 measured points a second apart, the model's 3 600 points, and the
// marks, markers and legend.
void BM_AnalysisFullPaint3600Points1920x1080(benchmark::State& state)
{
    TCustomChart chart;
    chart.SetChartSize(1920, 1080);
    sample_run::AddAnalysis(chart, kHourPoints, 1.0);
    chart.PaintBackBuffer();
    for (auto _ : state) {
        chart.Invalidate();
        benchmark::DoNotOptimize(chart.BackBuffer().constBits());
    }
}
BENCHMARK(BM_AnalysisFullPaint3600Points1920x1080)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
