#pragma once
// Two vertical markers across the plot at the start ("début") and the end
// ("fin") of an interval of the bottom axis, each labelled at the plot's
// bottom. The chart lets the user drag them with the left button (see
// TCustomChart::MouseDown). Hidden by default; the main charts never show
// them.
#include "chart/ChartPens.h"
#include "chart/TChartAxis.h"

#include <span>
#include <string>

class ChartCanvas;
class TCustomAxisPanel;

enum class TIntervalEdge { Start, End };

class TIntervalMarkers : public TChartElement {
public:
    // A press this many pixels or fewer from a marker's line grabs it.
    static constexpr int kGrabTolerance = 4;

    explicit TIntervalMarkers(TChartChangeSink* chart);

    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Assign(visible_, v); }
    // The markers' places in bottom axis units (seconds on the extent
    // chart). Setting one never reports a move.
    double Value(TIntervalEdge edge) const { return edge == TIntervalEdge::Start ? start_ : end_; }
    void SetValue(TIntervalEdge edge, double v) { Assign(edge == TIntervalEdge::Start ? start_ : end_, v); }
    // Texts at the bottom of each line, UTF-8: "début" and "fin".
    const std::string& Label(TIntervalEdge edge) const { return edge == TIntervalEdge::Start ? startLabel_ : endLabel_; }
    void SetLabel(TIntervalEdge edge, std::string text)
    {
        Assign(edge == TIntervalEdge::Start ? startLabel_ : endLabel_, std::move(text));
    }
    // The lines' pen: dark green, 2 pixels, solid. The labels take its colour.
    TChartPen& Pen() { return pen_; }
    TChartFont& Font() { return font_; }

    // The marker whose line is within kGrabTolerance pixels of (x, y) inside
    // the plot, the nearer one when both are; false when none (or hidden).
    bool HitTest(const TCustomAxisPanel& chart, int x, int y, TIntervalEdge& edge) const;
    // Draws both lines and labels inside the plot (nothing when hidden). A
    // label that would overlap one of the boxes `occupied` (other labels, the
    // legend) goes up along its line, just above the boxes in its way.
    void Draw(ChartCanvas& canvas, const TCustomAxisPanel& chart,
              std::span<const TChartRect> occupied = {});

private:
    bool visible_ = false;
    double start_ = 0.0, end_ = 0.0;
    std::string startLabel_ = "début", endLabel_ = "fin";
    TChartPen pen_;
    TChartFont font_;
};
