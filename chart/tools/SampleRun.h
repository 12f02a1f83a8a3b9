#pragma once
// The main window's two charts with a simulated run of 300 points: a gas
// given off at a slowing rate, read once a second with a little
// deterministic noise, at the default volume (0,25 L) and temperature
// (20 °C). Drawn by chart_render, and by the tests that compare a whole
// chart with its reference picture.
#include "chart/TCustomChart.h"
#include "chart/TFastLineSeries.h"
#include "chart/TPointSeries.h"

#include "kinetics/Constantes.h"

#include <cmath>

namespace sample_run {

inline constexpr double kPeriode = 1.00013;        // s between two points
inline constexpr double kVolume = 0.25 / Constantes::kLitresParM3;          // m3
inline constexpr double kTemperature = 20.0 + Constantes::kZeroCelsiusEssai; // K
inline constexpr int kPoints = 300;
inline constexpr int kWidth = 700, kHeight = 400;  // pixels of a rendered chart

// The main window's settings of a chart, with its titles.
inline void Configure(TCustomChart& chart, const char* title, const char* bottomCaption, const char* leftCaption)
{
    chart.Title().SetText({title});
    chart.BottomAxis().Title().SetCaption(bottomCaption);
    chart.LeftAxis().Title().SetCaption(leftCaption);
    chart.BackWall().Brush().SetStyle(bsClear);
    chart.Legend().SetVisible(false);
    chart.SetView3D(false);
    chart.SetAnimatedZoom(true);
}

inline void ConfigurePressure(TCustomChart& chart)
{
    Configure(chart, "Evolution de la pression au cours du temps", "Date en s", "Pression en hPa");
}

inline void ConfigureExtent(TCustomChart& chart)
{
    Configure(chart, "Evolution de l'avancement au cours du temps", "Date en secondes",
              "Avancement calculé en fonction de la variation de pression, en moles");
}

// The pressure read at point n (from 1), in Pa.
inline double PressurePa(int n)
{
    const double t = n * kPeriode;
    const double noise = 6.0 * std::sin(n * 12.9898) * std::sin(n * 4.1414);
    return 100000.0 + 9000.0 * (1.0 - std::exp(-t / 90.0)) + noise;
}

// Adds the run's red series to each chart (either may be null) and fills
// them: pressure in hPa, and the extent of reaction in mol measured from the
// first point's amount, as the main window's tick does.
inline void AddRun(TCustomChart* pressureChart, TCustomChart* extentChart)
{
    TFastLineSeries* pressure = nullptr;
    TFastLineSeries* extent = nullptr;
    if (pressureChart) {
        pressure = pressureChart->AddSeries<TFastLineSeries>();
        pressure->SetSeriesColor(clRed);
    }
    if (extentChart) {
        extent = extentChart->AddSeries<TFastLineSeries>();
        extent->SetSeriesColor(clRed);
    }
    double firstAmount = 0.0;
    for (int n = 1; n <= kPoints; ++n) {
        const double p = PressurePa(n);
        if (pressure)
            pressure->AddPoint(n * kPeriode, p / 100.0, "", 0x0000FF);
        const double amount = p * kVolume / (Constantes::kConstanteGazEssai * kTemperature);
        if (n == 1)
            firstAmount = amount;
        else if (extent)
            extent->AddPoint(n * kPeriode, amount - firstAmount, "", 0x00FF00);
    }
}

// A first-order reaction as a run's analysis shows it: the extent reaches
// kFinalExtent with time constant kTimeConstant (half-time 83,18 s).
inline constexpr double kFinalExtent = 2.93e-3; // mol
inline constexpr double kTimeConstant = 120.0;  // s

// The extent chart of an analysed run: `points` measured points `step`
// seconds apart (with a little deterministic noise) as squares, the model
// as a line at every second over the same time, dashed lines at x_f, x_f/2
// and t½ with their labels, the tangent at the start, the interval's two
// markers at 10 s and 300 s and the legend. Returns the measured series.
inline TPointSeries* AddAnalysis(TCustomChart& chart, int points, double step)
{
    chart.Title().SetText({"Avancement au cours du temps"});
    chart.BottomAxis().Title().SetCaption("Date en s");
    chart.LeftAxis().Title().SetCaption("Avancement en mol");
    chart.BackWall().Brush().SetStyle(bsClear);
    chart.SetView3D(false);
    auto model = [](double t) { return kFinalExtent * (1.0 - std::exp(-t / kTimeConstant)); };
    TPointSeries* measured = chart.AddSeries<TPointSeries>();
    measured->SetSeriesColor(SeriesPaletteColor(0));
    measured->SetTitle("Mesures");
    TFastLineSeries* line = chart.AddSeries<TFastLineSeries>();
    line->SetSeriesColor(SeriesPaletteColor(1));
    line->LinePen().SetWidth(2);
    line->SetTitle("Modèle");
    for (int n = 0; n < points; ++n) {
        const double t = n * step;
        measured->AddPoint(t, model(t) + 2e-5 * std::sin(n * 12.9898) * std::sin(n * 4.1414), "", ColorAuto);
    }
    const int seconds = static_cast<int>((points - 1) * step);
    for (int t = 0; t <= seconds; ++t)
        line->AddPoint(t, model(t), "", ColorAuto);
    TChartMarks& marks = chart.ChartMarks();
    marks.AddHorizontalLine(kFinalExtent, "x_f = 2,93 mmol", clBlack);
    marks.AddHorizontalLine(kFinalExtent / 2, "x_f/2 = 1,47 mmol", clBlack);
    marks.AddVerticalLine(kTimeConstant * std::log(2.0), "t½ = 83,2 s", clBlack);
    marks.AddLine(0.0, 0.0, kFinalExtent / kTimeConstant, clGray);
    chart.IntervalMarkers().SetValue(TIntervalEdge::Start, 10.0);
    chart.IntervalMarkers().SetValue(TIntervalEdge::End, 300.0);
    chart.IntervalMarkers().SetVisible(true);
    return measured;
}

} // namespace sample_run
