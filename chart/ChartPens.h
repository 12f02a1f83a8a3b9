#pragma once
// Pens, brushes and fonts of the chart's parts. Each one belongs to a chart
// and invalidates it when one of its properties changes to a new value, so
// the next paint redraws the picture.
#include "chart/ChartColors.h"

#include <string>
#include <utility>

// psDash: dashes of kDashOn pixels with gaps of kDashOff (ChartCanvas.h); the
// main charts draw no dashed line.
enum TPenStyle { psSolid, psDot, psDash };
enum TBrushStyle { bsSolid, bsClear };
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Whatever must redraw when a part changes: the chart.
class TChartChangeSink {
public:
    virtual void Invalidate() = 0;

protected:
    ~TChartChangeSink() = default;
};

// A part of a chart: not copyable (it knows its chart).
class TChartElement {
public:
    explicit TChartElement(TChartChangeSink* chart) : chart_(chart) {}
    TChartElement(const TChartElement&) = delete;
    TChartElement& operator=(const TChartElement&) = delete;

protected:
    ~TChartElement() = default;
    void Changed() const
    {
        if (chart_ != nullptr)
            chart_->Invalidate();
    }
    // Sets `field` and invalidates the chart when the value differs.
    template <class T, class U>
    void Assign(T& field, U&& value)
    {
        if (field == value)
            return;
        field = std::forward<U>(value);
        Changed();
    }

private:
    TChartChangeSink* chart_;
};

class TChartPen : public TChartElement {
public:
    explicit TChartPen(TChartChangeSink* chart, TColor color = clBlack, int width = 1,
                       TPenStyle style = psSolid, bool visible = true)
        : TChartElement(chart), color_(color), width_(width), style_(style), visible_(visible)
    {
    }

    TColor Color() const { return color_; }
    int Width() const { return width_; }
    TPenStyle Style() const { return style_; }
    bool Visible() const { return visible_; }
    void SetColor(TColor c) { Assign(color_, c); }
    void SetWidth(int w) { Assign(width_, w < 1 ? 1 : w); }
    void SetStyle(TPenStyle s) { Assign(style_, s); }
    void SetVisible(bool v) { Assign(visible_, v); }

private:
    TColor color_;
    int width_;
    TPenStyle style_;
    bool visible_;
};

// The axis line: black, 2 pixels wide.
class TChartAxisPen : public TChartPen {
public:
    explicit TChartAxisPen(TChartChangeSink* chart) : TChartPen(chart, clBlack, 2) {}
};

// Grid lines: grey, dotted.
class TDottedGrayPen : public TChartPen {
public:
    explicit TDottedGrayPen(TChartChangeSink* chart) : TChartPen(chart, clGray, 1, psDot) {}
};

// Ticks: grey, solid.
class TDarkGrayPen : public TChartPen {
public:
    explicit TDarkGrayPen(TChartChangeSink* chart) : TChartPen(chart, clGray) {}
};

// Frames that are not drawn unless made visible.
class TChartHiddenPen : public TChartPen {
public:
    explicit TChartHiddenPen(TChartChangeSink* chart) : TChartPen(chart, clBlack, 1, psSolid, false) {}
};

class TChartBrush : public TChartElement {
public:
    explicit TChartBrush(TChartChangeSink* chart, TColor color = ColorUnset, TBrushStyle style = bsSolid)
        : TChartElement(chart), color_(color), style_(style)
    {
    }

    TColor Color() const { return color_; }
    TBrushStyle Style() const { return style_; }
    void SetColor(TColor c) { Assign(color_, c); }
    void SetStyle(TBrushStyle s) { Assign(style_, s); }

private:
    TColor color_;
    TBrushStyle style_;
};

// A font by name and size in points. Sizes become pixels with the
// resolution of the surface drawn on.
class TChartFont : public TChartElement {
public:
    explicit TChartFont(TChartChangeSink* chart, TColor color = clBlack)
        : TChartElement(chart), color_(color)
    {
    }

    const std::string& Name() const { return name_; }
    int Size() const { return size_; }
    TColor Color() const { return color_; }
    unsigned Style() const { return style_; }
    void SetName(std::string name) { Assign(name_, std::move(name)); }
    void SetSize(int points) { Assign(size_, points); }
    void SetColor(TColor c) { Assign(color_, c); }
    void SetStyle(unsigned styleBits) { Assign(style_, styleBits); }

private:
    std::string name_ = "Arial";
    int size_ = 8;
    TColor color_;
    unsigned style_ = 0;
};
