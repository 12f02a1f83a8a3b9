#pragma once
// A series drawn as a small filled square at each point, in the series
// colour, and nothing between points: measured values beside a model's line.
// The main charts use line series only.
//
//   TPointSeries* mesures = chart->AddSeries<TPointSeries>();
//   mesures->SetSeriesColor(SeriesPaletteColor(0));
//   mesures->SetTitle("Mesures");
//   mesures->AddPoint(12.0, 0.00041, "", ColorAuto);
#include "chart/TChartSeries.h"

class TPointSeries : public TChartSeries {
public:
    // The side of a point's square in pixels (odd sides centre on the
    // point; at least 1). 3 by default.
    int PointSize() const { return pointSize_; }
    void SetPointSize(int pixels) { Assign(pointSize_, pixels < 1 ? 1 : pixels); }
    // Hollow squares: only their one-pixel outline (points left out of a fit).
    bool Hollow() const { return hollow_; }
    void SetHollow(bool hollow) { Assign(hollow_, hollow); }

    void DrawPoint(ChartCanvas& canvas, int i) override;
    // Whether (x, y) lies on the square of a point drawn by the last paint.
    bool Clicked(int x, int y) const override;
    // The point's square, centred in the box.
    void DrawLegendSymbol(ChartCanvas& canvas, int left, int top, int width, int height) const override;

protected:
    void PrepareCanvas(ChartCanvas& canvas) override;

private:
    void Square(ChartCanvas& canvas, int left, int top) const;

    int pointSize_ = 3;
    bool hollow_ = false;
};
