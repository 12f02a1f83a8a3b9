#pragma once
// An axis of a chart: its scale (automatic from the data, or fixed by
// SetMinMax for zooming and scrolling), its label step and label text, the
// space it takes out of the plot rectangle, and its drawing: title, labels,
// ticks, minor ticks, dotted grid lines and the axis line.
#include "chart/AxisScale.h"
#include "chart/ChartPens.h"

#include <string>
#include <vector>

class ChartCanvas;
class TCustomAxisPanel;
struct ClipRect;

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// Where an axis sits: which edge of the plot it runs along.
enum class TAxisPlace { Bottom, Top, Left, Right };

struct TChartRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TChartRect&) const = default;
};

class TChartAxisTitle : public TChartElement {
public:
    TChartAxisTitle(TChartChangeSink* chart, int angle) : TChartElement(chart), font_(chart), angle_(angle) {}

    // The title's text; "_" followed by letters or digits is drawn as a
    // subscript ("t − t_a en s"), upright or turned.
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }
    TChartFont& Font() { return font_; }
    const TChartFont& Font() const { return font_; }
    int Angle() const { return angle_; }
    void SetAngle(int angle) { Assign(angle_, angle); }

private:
    std::string caption_;
    TChartFont font_;
    int angle_;
};

class TChartAxis : public TChartElement {
public:
    TChartAxis(TCustomAxisPanel* chart, TAxisPlace place);

    TAxisPlace Place() const { return place_; }
    bool Horizontal() const { return place_ == TAxisPlace::Bottom || place_ == TAxisPlace::Top; }
    bool OtherSide() const { return place_ == TAxisPlace::Top || place_ == TAxisPlace::Right; }

    // Scale properties. Setting Automatic sets AutomaticMinimum and
    // AutomaticMaximum with it; clearing either of those clears Automatic.
    bool Automatic() const { return automatic_; }
    bool AutomaticMinimum() const { return automaticMinimum_; }
    bool AutomaticMaximum() const { return automaticMaximum_; }
    void SetAutomatic(bool v);
    void SetAutomaticMinimum(bool v);
    void SetAutomaticMaximum(bool v);
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    // Throw AxisException when the new value would pass the other end.
    void SetMinimum(double v);
    void SetMaximum(double v);
    double Increment() const { return increment_; }
    // Throws AxisException for a negative increment, and for one that is
    // not a finite normal number (infinite, NaN, denormal).
    void SetIncrement(double v);
    // A fixed scale from the smaller to the larger of a and b, at least 1e-10
    // wide; never throws.
    void SetMinMax(double a, double b);

    // Label and look properties.
    const std::string& AxisValuesFormat() const { return axisValuesFormat_; }
    bool Labels() const { return labels_; }
    void SetLabels(bool v) { Assign(labels_, v); }
    TChartFont& LabelsFont() { return labelsFont_; }
    int LabelsAngle() const { return labelsAngle_; }
    void SetLabelsAngle(int v) { Assign(labelsAngle_, v); }
    int LabelsSeparation() const { return labelsSeparation_; }
    void SetLabelsSeparation(int v) { Assign(labelsSeparation_, v); }
    int LabelsSize() const { return labelsSize_; }
    void SetLabelsSize(int v) { Assign(labelsSize_, v); }
    int TitleSize() const { return titleSize_; }
    void SetTitleSize(int v) { Assign(titleSize_, v); }
    bool LabelsOnAxis() const { return labelsOnAxis_; }
    void SetLabelsOnAxis(bool v) { Assign(labelsOnAxis_, v); }
    TAxisLabelStyle LabelStyle() const { return labelStyle_; }
    void SetLabelStyle(TAxisLabelStyle v) { Assign(labelStyle_, v); }
    bool RoundFirstLabel() const { return roundFirstLabel_; }
    void SetRoundFirstLabel(bool v) { Assign(roundFirstLabel_, v); }
    int TickLength() const { return tickLength_; }
    void SetTickLength(int v) { Assign(tickLength_, v); }
    int TickInnerLength() const { return tickInnerLength_; }
    void SetTickInnerLength(int v) { Assign(tickInnerLength_, v); }
    int MinorTickCount() const { return minorTickCount_; }
    void SetMinorTickCount(int v) { Assign(minorTickCount_, v); }
    int MinorTickLength() const { return minorTickLength_; }
    void SetMinorTickLength(int v) { Assign(minorTickLength_, v); }
    bool TickOnLabelsOnly() const { return tickOnLabelsOnly_; }
    void SetTickOnLabelsOnly(bool v) { Assign(tickOnLabelsOnly_, v); }
    TDarkGrayPen& Ticks() { return ticks_; }
    TDarkGrayPen& MinorTicks() { return minorTicks_; }
    TDarkGrayPen& TicksInner() { return ticksInner_; }
    TDottedGrayPen& Grid() { return grid_; }
    bool GridCentered() const { return gridCentered_; }
    void SetGridCentered(bool v) { Assign(gridCentered_, v); }
    TChartAxisPen& Axis() { return axisPen_; }
    TChartAxisTitle& Title() { return title_; }
    const TChartAxisTitle& Title() const { return title_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { Assign(visible_, v); }
    bool Inverted() const { return inverted_; }
    void SetInverted(bool v) { Assign(inverted_, v); }

    // Run-time scale and positions, recomputed at every paint.
    double ScaleMin() const { return scaleMin_; }
    double ScaleMax() const { return scaleMax_; }
    double ScaleRange() const { return scaleRange_; }
    int AxisLinePos() const { return axisLinePos_; }
    int LabelsPos() const { return labelsPos_; }
    int TitlePos() const { return titlePos_; }
    double CurrentLabelStep() const { return labelStep_; }
    // How the labels of the current step are written.
    const axis_scale::LabelFormat& CurrentLabelFormat() const { return labelFormat_; }

    // Minimum and Maximum from the data where automatic, then the scale.
    void AdjustRange();
    // The scale against the chart's current plot rectangle.
    axis_scale::ScaleMap Map() const;
    int ValueToPixel(double v) const { return Map().ValueToPixel(v); }
    double PixelToValue(int p) const { return Map().PixelToValue(p); }
    // The label of v in the window's default decimal separator and the
    // system's thousands separator, written in `format` ("#,##0.###" by
    // default).
    static std::string AxisLabelText(double v, const axis_scale::LabelFormat& format = {});
    // The label as this axis draws it: with its chart's decimal separator
    // (TCustomChartPanel::LabelsDecimalSeparator).
    std::string LabelText(double v, const axis_scale::LabelFormat& format) const;
    // Labels of this axis's font, written in `format`, that fit along the
    // plot (canvas font is selected by the caller).
    int MaxLabelCount(ChartCanvas& canvas, const axis_scale::LabelFormat& format = {}) const;
    double ComputeLabelStep(ChartCanvas& canvas) const;
    // `step`, or the next nice steps until neighbouring labels along the
    // axis are at least one character's width apart.
    double SpreadLabelStep(ChartCanvas& canvas, double step) const;
    // The width of the widest label of the current step, ends of the scale
    // and every label drawn, plus a space: the band that labels written
    // across the axis take.
    // The labels and texts measured are kept for the drawing that follows.
    int MaxLabelWidth(ChartCanvas& canvas);
    // Takes the title, label and tick bands out of r.
    void ReserveAxisSpace(ChartCanvas& canvas, TChartRect& r);
    // Whether the chart shows this axis.
    bool IsShown() const;
    // The label style in effect (talAuto resolved).
    TAxisLabelStyle ResolvedLabelStyle() const;
    void Draw(ChartCanvas& canvas);

private:
    void SetAutomaticEnd(bool& end, bool v);
    // The label step for the current plot, with the label format it asks for.
    void UpdateLabelStep(ChartCanvas& canvas);
    void DrawTitle(ChartCanvas& canvas);
    // `written` is the label's text when already written, or null.
    void DrawLabel(ChartCanvas& canvas, double value, const std::string* written);
    void DrawTicksAndGrid(ChartCanvas& canvas, int p, double value);
    void DrawTick(ChartCanvas& canvas, int p, int outside, int length);

    TCustomAxisPanel* chart_;
    TAxisPlace place_;

    bool automatic_ = true, automaticMinimum_ = true, automaticMaximum_ = true;
    double minimum_ = 0.0, maximum_ = 0.0, increment_ = 0.0;
    std::string axisValuesFormat_ = "#,##0.###";
    bool labels_ = true;
    TChartFont labelsFont_;
    int labelsAngle_ = 0, labelsSeparation_ = 10, labelsSize_ = 0, titleSize_ = 0;
    bool labelsOnAxis_ = true;
    TAxisLabelStyle labelStyle_ = talAuto;
    bool roundFirstLabel_ = true;
    int tickLength_ = 4, tickInnerLength_ = 0, minorTickCount_ = 3, minorTickLength_ = 2;
    bool tickOnLabelsOnly_ = true;
    TDarkGrayPen ticks_, minorTicks_, ticksInner_;
    TDottedGrayPen grid_;
    bool gridCentered_ = false;
    TChartAxisPen axisPen_;
    TChartAxisTitle title_;
    bool visible_ = true, inverted_ = false;

    double scaleMin_ = 0.0, scaleMax_ = 0.0, scaleRange_ = 0.0;
    int axisLinePos_ = 0, labelsPos_ = 0, titlePos_ = 0;
    double labelStep_ = 0.0;
    axis_scale::LabelFormat labelFormat_;
    int lastTickPos_ = -1;
    // The labels whose widths gave the band in this paint, with their texts
    // and format: drawn as they are when the step has not changed since.
    std::vector<double> measuredValues_;
    std::vector<std::string> measuredTexts_;
    axis_scale::LabelFormat measuredFormat_;
};
