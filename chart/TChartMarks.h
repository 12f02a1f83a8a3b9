#pragma once
// What a chart draws over its series at data coordinates: reference lines
// across the plot at a value (dashed by default, with a label beside them),
// straight lines (a tangent through a point with a slope, or a segment
// between two points) and texts. All are clipped to the inside of the plot,
// placed on the bottom and left axes' current scales, and drawn in the order
// they were added; a reference line's label sits on a box of the chart's
// colour (Color()), so that it reads over grid lines and curves. The main
// charts add none, so they draw nothing of this.
//
//   TChartMarks& marks = chart->ChartMarks();
//   marks.Clear();
//   marks.AddHorizontalLine(xf, "x_f = 2,93 mmol", clBlue);
//   marks.AddHorizontalLine(xf / 2, "x_f/2", clBlue);
//   marks.AddVerticalLine(tDemi, "t½ = 83,2 s", clBlue);
//   tangent = marks.AddLine(t0, x0, pente, clBlack);   // later: marks.Remove(tangent)
#include "chart/ChartPens.h"
#include "chart/TChartAxis.h"

#include <string>
#include <vector>

class ChartCanvas;
class TCustomAxisPanel;

enum class TChartMarkKind { HorizontalLine, VerticalLine, Line };

struct TChartMark {
    int Id = 0;
    TChartMarkKind Kind = TChartMarkKind::Line;
    // HorizontalLine: Y. VerticalLine: X. Line: through (X, Y) with Slope
    // (y units per x unit).
    double X = 0.0, Y = 0.0, Slope = 0.0;
    std::string Text; // the label of a reference line; UTF-8
    TColor Color = clBlack;
    TPenStyle Style = psDash;
    int Width = 1;
};

class TChartMarks : public TChartElement {
public:
    // Pixels between a reference line and its label, and between the label
    // and the plot's edge.
    static constexpr int kLabelGap = 3;
    // The room beyond a reference line in an automatic scale, as a part of
    // the line's value.
    static constexpr double kRangeRoom = 0.05;

    explicit TChartMarks(TChartChangeSink* chart) : TChartElement(chart), font_(chart) {}

    // Reference lines count in the automatic scale of their axis, so that
    // they stay in sight: a horizontal line's value in the left axis's, a
    // vertical line's in the bottom axis's, each with kRangeRoom of its size
    // as room beyond it (a line at 2,93 mmol makes the top at least
    // 3,0765 mmol), so that it does not fall on the plot's frame.
    //
    // A line across the whole plot at y (left axis units), with `label`
    // above it at the plot's right end (below it when the top is too near).
    // Returns the mark's id.
    int AddHorizontalLine(double y, std::string label, TColor color = clBlack, TPenStyle style = psDash);
    // A line across the whole plot at x (bottom axis units), with `label`
    // right of it near the plot's top (left of it when the right edge is too
    // near).
    int AddVerticalLine(double x, std::string label, TColor color = clBlack, TPenStyle style = psDash);
    // The straight line through (x, y) of the given slope (left axis units
    // per bottom axis unit), drawn across the whole plot: a tangent.
    int AddLine(double x, double y, double slope, TColor color = clBlack, TPenStyle style = psSolid, int width = 1);

    // Takes off the mark of that id; false when there is none.
    bool Remove(int id);
    void Clear();
    const std::vector<TChartMark>& Items() const { return items_; }

    // The font of labels and texts (its colour is the mark's); Arial 8.
    TChartFont& Font() { return font_; }

    // Widens the end of an automatic scale (the maximum, or the minimum) by
    // the values of the reference lines of `kind`; `result` is valid when
    // `found`.
    void ExtendRange(TChartMarkKind kind, bool maximum, bool& found, double& result) const;
    // Draws every mark on the chart's current scales, inside its plot.
    void Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart);
    // The boxes of the labels the last Draw wrote, in pixels: what the
    // interval markers' labels keep clear of.
    const std::vector<TChartRect>& LabelRects() const { return labelRects_; }

private:
    int Add(TChartMark mark);

    std::vector<TChartMark> items_;
    std::vector<TChartRect> labelRects_;
    int nextId_ = 1;
    TChartFont font_;
};
