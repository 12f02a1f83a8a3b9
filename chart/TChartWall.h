#pragma once
// The walls behind the plot (only the back wall is drawn in a flat view).
#include "chart/ChartPens.h"

class TChartWall : public TChartElement {
public:
    explicit TChartWall(TChartChangeSink* chart)
        : TChartElement(chart), brush_(chart, ColorUnset, bsClear), pen_(chart)
    {
    }

    TChartBrush& Brush() { return brush_; }
    const TChartBrush& Brush() const { return brush_; }
    TChartPen& Pen() { return pen_; }
    const TChartPen& Pen() const { return pen_; }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { Assign(color_, c); }
    int Size() const { return size_; }
    void SetSize(int s) { Assign(size_, s); }

private:
    TChartBrush brush_;
    TChartPen pen_;
    TColor color_ = ColorUnset;
    int size_ = 0;
};
