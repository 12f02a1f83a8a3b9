#pragma once
// The chart's title above the plot and its foot below it: lines of text in
// their font, aligned in the band of the plot's width, with an optional
// frame and brush. "_" followed by letters or digits in a line is drawn as a
// subscript.
#include "chart/ChartPens.h"

#include <string>
#include <vector>

class ChartCanvas;
struct TChartRect;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TChartTitle : public TChartElement {
public:
    // `foot` places the lines upward from the plot's bottom.
    TChartTitle(TChartChangeSink* chart, bool foot)
        : TChartElement(chart), font_(chart, clBlue), frame_(chart), brush_(chart), foot_(foot)
    {
    }

    const std::vector<std::string>& Text() const { return text_; }
    void SetText(std::vector<std::string> lines) { Assign(text_, std::move(lines)); }
    TChartFont& Font() { return font_; }
    const TChartFont& Font() const { return font_; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a) { Assign(alignment_, a); }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Assign(visible_, v); }
    bool AdjustFrame() const { return adjustFrame_; }
    void SetAdjustFrame(bool v) { Assign(adjustFrame_, v); }
    TChartHiddenPen& Frame() { return frame_; }
    TChartBrush& Brush() { return brush_; }
    bool IsFoot() const { return foot_; }

    // Draws the lines inside `plot` and takes their band off it (top for the
    // title, bottom for the foot). Nothing when there is no line.
    void DrawAndReserve(ChartCanvas& canvas, TChartRect& plot);

private:
    std::vector<std::string> text_;
    TChartFont font_;
    TAlignment alignment_ = taCenter;
    bool visible_ = true;
    bool adjustFrame_ = true;
    TChartHiddenPen frame_;
    TChartBrush brush_;
    bool foot_;
};
