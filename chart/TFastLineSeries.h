#pragma once
// A line series drawn as one polyline in the series colour: one segment per
// point, none for a point on the same pixel as the previous one. The colour
// stored with each point has no effect on the line.
#include "chart/ChartPens.h"
#include "chart/TChartSeries.h"

class TFastLineSeries : public TChartSeries {
public:
    TFastLineSeries();

    // Black, width 1, solid; its colour follows SeriesColor.
    TChartPen& LinePen() { return linePen_; }
    bool AutoRepaint() const { return autoRepaint_; }
    void SetAutoRepaint(bool v) { autoRepaint_ = v; }

    // Also sets the line pen's colour.
    void SetSeriesColor(TColor c) override;

    void DrawPoint(ChartCanvas& canvas, int i) override;
    bool Clicked(int x, int y) const override;

    // The pixel of the last point drawn.
    int LastPixelX() const { return lastPixelX_; }
    int LastPixelY() const { return lastPixelY_; }

protected:
    void NotifyPointAdded(int index) override;
    void PrepareCanvas(ChartCanvas& canvas) override;

private:
    // A line between two pixels that may lie far off the surface (a deep
    // zoom): cut to the reach of line drawing with its direction kept.
    static void DrawSegment(ChartCanvas& canvas, double x0, double y0, double x1, double y1);

    TChartPen linePen_;
    bool autoRepaint_ = true;
    int lastPixelX_ = 0, lastPixelY_ = 0;
    // The last point's pixel before clamping.
    double lastExactX_ = 0.0, lastExactY_ = 0.0;
};
