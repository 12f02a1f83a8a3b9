#pragma once
// The base of the chart control without any window: its size, margins,
// colour and bevel, the drawing surface with its BackBuffer, and the repaint
// model.
//
// Invalidate() marks the BackBuffer dirty and asks for a repaint
// (RequestRepaint, which the widget turns into a paint event). A paint takes
// ScreenImage(): when the buffer is dirty the whole chart is drawn into it
// first, otherwise it is shown as it is. A size change discards the buffer,
// which is drawn again at the new size.
#include "chart/ChartCanvas.h"
#include "chart/ChartPens.h"
#include "chart/TChartAxis.h"

#include "numtext/NumberText.h"

#include <QImage>

#include <optional>

class QPainter;

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TCustomChartPanel : public TChartChangeSink {
public:
    TCustomChartPanel();
    virtual ~TCustomChartPanel();
    TCustomChartPanel(const TCustomChartPanel&) = delete;
    TCustomChartPanel& operator=(const TCustomChartPanel&) = delete;

    // The client area's size. A new size discards the BackBuffer.
    void SetChartSize(int width, int height);
    int ChartWidth() const { return width_; }
    int ChartHeight() const { return height_; }

    // Marks the BackBuffer dirty and asks for a repaint.
    void Invalidate() override;
    bool BufferDirty() const { return bufferDirty_; }
    // The BackBuffer, drawn first when dirty.
    const QImage& BackBuffer();
    // What the window shows: the BackBuffer with whatever is drawn over it
    // on the window only (the zoom rubber band).
    const QImage& ScreenImage();
    // Draws the chart into the BackBuffer now, dirty or not.
    void PaintBackBuffer();
    // Draws the whole chart through `painter` as vector figures (ChartCanvas),
    // laid out on a client area of w x h pixels at 96 per inch whatever the
    // window's size; the painter's transformation places and scales it. The
    // window's own overlay (the rubber band) is left out, and the BackBuffer
    // is drawn again at once at the window's size.
    void PaintOn(QPainter& painter, int width, int height);

    int MarginLeft() const { return marginLeft_; }
    int MarginTop() const { return marginTop_; }
    int MarginRight() const { return marginRight_; }
    int MarginBottom() const { return marginBottom_; }
    void SetMarginLeft(int percent) { SetField(marginLeft_, percent); }
    void SetMarginTop(int percent) { SetField(marginTop_, percent); }
    void SetMarginRight(int percent) { SetField(marginRight_, percent); }
    void SetMarginBottom(int percent) { SetField(marginBottom_, percent); }
    bool View3D() const { return view3D_; }
    // Only the flat view is drawn; the flag is kept.
    void SetView3D(bool v) { SetField(view3D_, v); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { SetField(color_, c); }
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    TPanelBevel BevelInner() const { return bevelInner_; }
    int BevelWidth() const { return bevelWidth_; }
    int BorderWidth() const { return borderWidth_; }
    void SetBevelOuter(TPanelBevel b) { SetField(bevelOuter_, b); }
    void SetBevelInner(TPanelBevel b) { SetField(bevelInner_, b); }
    void SetBevelWidth(int w) { SetField(bevelWidth_, w); }
    void SetBorderWidth(int w) { SetField(borderWidth_, w); }
    // The platform's button face, highlight and shadow colours.
    void SetSystemColors(const SystemColors& colors);
    // The decimal separator of the axis labels: the window's default
    // (numtext's DecimalSeparator()) unless one is set, as a report sets ','
    // whatever the window shows.
    char LabelsDecimalSeparator() const { return labelsSeparator_.value_or(DecimalSeparator()); }
    std::optional<char> LabelsSeparatorSet() const { return labelsSeparator_; }
    void SetLabelsDecimalSeparator(std::optional<char> separator) { SetField(labelsSeparator_, separator); }

    // Layout of the last paint.
    const TChartRect& PanelBounds() const { return panelBounds_; }
    const TChartRect& PlotRect() const { return plotRect_; }
    int PlotWidth() const { return plotWidth_; }
    int PlotHeight() const { return plotHeight_; }
    int PlotXCenter() const { return plotXCenter_; }
    int PlotYCenter() const { return plotYCenter_; }

    ChartCanvas& Canvas() { return canvas_; }

protected:
    // Asks the window system for a paint; the widget calls update().
    virtual void RequestRepaint() {}
    // Draws the whole chart on Canvas() (already sized to the client area).
    virtual void DrawChart() = 0;
    // Whether something is drawn over the BackBuffer on the window only, and
    // drawing it on a copy of the buffer.
    virtual bool HasWindowOverlay() const { return false; }
    virtual void DrawWindowOverlay(ChartCanvas& canvas) { (void)canvas; }

    // Sets PlotRect and normalises it: left and top no less than the
    // bounds', right and bottom beyond left and top; then the plot's width,
    // height and centre.
    void SetPlotRect(const TChartRect& r);
    // Panel bounds and the plot rectangle inside the margins.
    void CalcPlotRectFromMargins();
    // Background and bevel.
    void DrawPanelBackground();

    template <class T, class U>
    void SetField(T& field, U value)
    {
        if (field == value)
            return;
        field = value;
        Invalidate();
    }

private:
    int width_ = 0, height_ = 0;
    bool bufferDirty_ = true;
    bool bufferValid_ = false;
    ChartCanvas canvas_;
    ChartCanvas screen_;

    int marginLeft_ = 3, marginTop_ = 4, marginRight_ = 3, marginBottom_ = 4;
    bool view3D_ = true;
    std::optional<char> labelsSeparator_;
    TColor color_ = clBtnFace;
    TPanelBevel bevelOuter_ = bvRaised, bevelInner_ = bvNone;
    int bevelWidth_ = 1, borderWidth_ = 0;

    TChartRect panelBounds_, plotRect_;
    int plotWidth_ = 0, plotHeight_ = 0, plotXCenter_ = 0, plotYCenter_ = 0;
};
