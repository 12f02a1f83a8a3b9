#pragma once
// A series of points of a chart: per point an x value, a y value, a colour
// and a label, in four parallel lists of the same length. Points are placed
// in the order of XValues (ascending x here), so a smaller x is inserted at
// its sorted place with its y, colour and label at the same index.
#include "chart/AxisScale.h"
#include "chart/ChartColors.h"
#include "chart/ChartPens.h"
#include "chart/TChartValueList.h"

#include <string>
#include <vector>

class ChartCanvas;
class TCustomAxisPanel;
class TChartAxis;

enum TAxisChoice { aBottomAxis, aTopAxis, aLeftAxis, aRightAxis };

// Point marks: never drawn by this chart; the properties are kept.
struct TSeriesMarks {
    bool Visible = false;
    int ArrowLength = 8;
};

class TChartSeries : public TChartChangeSink {
public:
    TChartSeries();
    virtual ~TChartSeries();
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    TCustomAxisPanel* ParentChart() const { return chart_; }

    // Adds one point and returns its index. ColorAuto is stored as ColorUnset.
    virtual int AddPoint(double x, double y, const std::string& label, TColor color);
    // Removes every point.
    virtual void ClearPoints();

    int Count() const { return XValues.Count(); }
    double XValue(int i) const { return XValues.Value(i); }
    double YValue(int i) const { return YValues.Value(i); }
    // The stored colour, or SeriesColor where none was stored.
    TColor ValueColor(int i) const;
    const std::string& Label(int i) const { return labels_[static_cast<std::size_t>(i)]; }
    double MaxXValue() const { return XValues.MaxValue(); }
    double MaxYValue() const { return YValues.MaxValue(); }
    double MinXValue() const { return XValues.MinValue(); }
    double MinYValue() const { return YValues.MinValue(); }

    // The series' name in the chart's legend, UTF-8; a series without a
    // title is not listed. Empty by default (the main charts set none).
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { Assign(title_, std::move(title)); }

    // The index of the point whose x value is nearest to x (ties: the
    // smaller index), in the series' own units; -1 for an empty series.
    // Ascending x lists are searched by halving, others point by point.
    int NearestPointIndex(double x) const;

    TColor SeriesColor() const { return seriesColor_; }
    virtual void SetSeriesColor(TColor c);
    bool Active() const { return active_; }
    void SetActive(bool a) { Assign(active_, a); }
    TAxisChoice HorizAxis() const { return horizAxis_; }
    TAxisChoice VertAxis() const { return vertAxis_; }
    void SetHorizAxis(TAxisChoice a) { Assign(horizAxis_, a); }
    void SetVertAxis(TAxisChoice a) { Assign(vertAxis_, a); }
    // Whether the series uses `axis` as its horizontal or vertical axis.
    bool UsesAxis(const TChartAxis& axis) const;

    TSeriesMarks Marks;
    TChartValueList XValues{"X", loAscending};
    TChartValueList YValues{"Y", loNone};

    // The index range drawn by the last paint; -1 when nothing was drawn.
    int FirstVisible() const { return firstVisible_; }
    int LastVisible() const { return lastVisible_; }
    // Sets FirstVisible and LastVisible from the bottom axis's current scale.
    void FindVisibleRange();

    // Pixel of point i on the series' axes.
    int CalcXPos(int i) const;
    int CalcYPos(int i) const;

    // Draws the points of the visible range, clipped to the plot.
    virtual void DrawAllValues(ChartCanvas& canvas);
    // Draws point i (the series' own way of joining points).
    virtual void DrawPoint(ChartCanvas& canvas, int i) = 0;
    // The series' sign in the legend, inside the box [left, left + width) x
    // [top, top + height): here a line of the series colour across its middle.
    virtual void DrawLegendSymbol(ChartCanvas& canvas, int left, int top, int width, int height) const;
    // Whether (x, y) lies on the drawn series, within about one pixel.
    virtual bool Clicked(int x, int y) const { (void)x; (void)y; return false; }

    // A change of the series' look: invalidates its chart.
    void Invalidate() override;

protected:
    // Called after a point was stored (invalidates the chart here).
    virtual void NotifyPointAdded(int index);
    // Called before and after the points are drawn.
    virtual void PrepareCanvas(ChartCanvas& canvas) { (void)canvas; }
    void Repaint();
    // Sets `field` and repaints the chart when the value differs.
    template <class T>
    void Assign(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        Repaint();
    }
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;

    int firstVisible_ = -1, lastVisible_ = -1;
    // The axes' scales while the points are drawn.
    axis_scale::ScaleMap xMap_, yMap_;

private:
    friend class TCustomAxisPanel;
    void SetParentChart(TCustomAxisPanel* chart) { chart_ = chart; }

    TCustomAxisPanel* chart_ = nullptr;
    std::vector<TColor> colors_;
    std::vector<std::string> labels_;
    TColor seriesColor_ = ColorUnset;
    std::string title_;
    bool active_ = true;
    TAxisChoice horizAxis_ = aBottomAxis, vertAxis_ = aLeftAxis;
};
