#pragma once
// The chart's legend: a framed box in a corner of the plot, over the
// series, with one row per active series that has a title: its sign (a line
// or a point's square, in its colour) and the title, written as it is (the
// titles are names of runs, files and computers: an "_" there is a
// character, not a subscript). Drawn only when visible
// and when some series has a title; the main charts hide it (and their
// series have no title), so they draw nothing of it.
#include "chart/ChartPens.h"
#include "chart/TChartAxis.h"

#include <optional>

class ChartCanvas;
class TCustomAxisPanel;

// Emptiest: of the four corners, the one whose box covers the fewest of the
// listed series' points (bottom right, top right, top left, bottom left
// first on a tie), so that the box stays off the curves.
enum class TLegendCorner { TopLeft, TopRight, BottomLeft, BottomRight, Emptiest };

class TChartLegend : public TChartElement {
public:
    // Pixels between the box and the plot's edges, and inside the box
    // around the rows; the width of a series' sign.
    static constexpr int kMargin = 6, kPadding = 4, kSymbolWidth = 18;

    explicit TChartLegend(TChartChangeSink* chart) : TChartElement(chart), font_(chart) {}
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Assign(visible_, v); }
    // The plot corner the box sits in; bottom right by default.
    TLegendCorner Corner() const { return corner_; }
    void SetCorner(TLegendCorner c) { Assign(corner_, c); }
    // The titles' font: Arial 8, black.
    TChartFont& Font() { return font_; }

    // Draws the box over the chart's plot (nothing when not visible or no
    // active series has a title).
    void Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart);
    // Where Draw puts the box, in pixels; none when it draws nothing. Sets
    // the canvas's font to the legend's.
    std::optional<TChartRect> Box(ChartCanvas& canvas, const TCustomAxisPanel& chart) const;

private:
    bool visible_ = true;
    TLegendCorner corner_ = TLegendCorner::BottomRight;
    TChartFont font_;
};
