#pragma once
// The main window's two charts with a simulated run of 300 points: a gas
// given off at a slowing rate, read once a second with a little
// deterministic noise, at the default volume (0,25 L) and temperature
// (20 °C). Drawn by chart_render, and by the tests that compare a whole
// chart with its reference picture.
#include "chart/TCustomChart.h"
#include "chart/TFastLineSeries.h"

#include <cmath>

namespace sample_run {

inline constexpr double kPeriode = 1.00013;        // s between two points
inline constexpr double kVolume = 0.25 / 1000.0;   // m3
inline constexpr double kTemperature = 20.0 + 273; // K
inline constexpr double kConstanteGaz = 8.314;     // J/(mol K)
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
        const double amount = p * kVolume / (kConstanteGaz * kTemperature);
        if (n == 1)
            firstAmount = amount;
        else if (extent)
            extent->AddPoint(n * kPeriode, amount - firstAmount, "", 0x00FF00);
    }
}

} // namespace sample_run
