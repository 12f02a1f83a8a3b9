#include "chart/TCustomChartPanel.h"

#include <algorithm>
#include <cmath>

namespace {

// p percent of `size`, to the nearest pixel, halves up.
int PercentOf(int p, int size) { return static_cast<int>(std::floor(p * static_cast<double>(size) / 100.0 + 0.5)); }

} // namespace

TCustomChartPanel::TCustomChartPanel() = default;

TCustomChartPanel::~TCustomChartPanel() = default;

void TCustomChartPanel::SetChartSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    bufferValid_ = false;
    Invalidate();
}

void TCustomChartPanel::Invalidate()
{
    bufferDirty_ = true;
    RequestRepaint();
}

void TCustomChartPanel::SetSystemColors(const SystemColors& colors)
{
    canvas_.SetSystemColors(colors);
    screen_.SetSystemColors(colors);
    Invalidate();
}

const QImage& TCustomChartPanel::BackBuffer()
{
    if (!bufferValid_ || bufferDirty_)
        PaintBackBuffer();
    return canvas_.Image();
}

void TCustomChartPanel::PaintBackBuffer()
{
    if (!bufferValid_) {
        canvas_.SetSize(width_, height_);
        bufferValid_ = true;
    }
    canvas_.ResetState();
    if (width_ > 0 && height_ > 0)
        DrawChart();
    canvas_.ResetState();
    bufferDirty_ = false;
}

void TCustomChartPanel::PaintOn(QPainter& painter, int width, int height)
{
    const int ecranLargeur = width_, ecranHauteur = height_;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    canvas_.DessinerSur(&painter, width_, height_);
    if (width_ > 0 && height_ > 0)
        DrawChart();
    canvas_.DessinerSur(nullptr, 0, 0);
    width_ = ecranLargeur;
    height_ = ecranHauteur;
    // The surface lost its pixels, and the layout is the painter's: the
    // window's is drawn again at once, so that the mouse meets its own.
    bufferValid_ = false;
    PaintBackBuffer();
    RequestRepaint();
}

const QImage& TCustomChartPanel::ScreenImage()
{
    const QImage& back = BackBuffer();
    if (!HasWindowOverlay() || width_ == 0 || height_ == 0)
        return back;
    screen_.CopyFrom(canvas_);
    DrawWindowOverlay(screen_);
    screen_.ResetState();
    return screen_.Image();
}

void TCustomChartPanel::SetPlotRect(const TChartRect& r)
{
    plotRect_ = r;
    plotRect_.Left = std::max(plotRect_.Left, panelBounds_.Left);
    plotRect_.Top = std::max(plotRect_.Top, panelBounds_.Top);
    if (plotRect_.Right < plotRect_.Left)
        plotRect_.Right = plotRect_.Left + 1;
    else if (plotRect_.Right == plotRect_.Left)
        plotRect_.Right = plotRect_.Left + width_;
    if (plotRect_.Bottom < plotRect_.Top)
        plotRect_.Bottom = plotRect_.Top + 1;
    else if (plotRect_.Bottom == plotRect_.Top)
        plotRect_.Bottom = plotRect_.Top + height_;
    plotWidth_ = plotRect_.Right - plotRect_.Left;
    plotHeight_ = plotRect_.Bottom - plotRect_.Top;
    plotXCenter_ = (plotRect_.Left + plotRect_.Right) / 2;
    plotYCenter_ = (plotRect_.Top + plotRect_.Bottom) / 2;
}

void TCustomChartPanel::CalcPlotRectFromMargins()
{
    panelBounds_ = TChartRect{0, 0, width_, height_};
    TChartRect r = panelBounds_;
    r.Left += PercentOf(marginLeft_, width_) + borderWidth_;
    r.Top += PercentOf(marginTop_, height_) + borderWidth_;
    r.Right -= PercentOf(marginRight_, width_) + borderWidth_;
    r.Bottom -= PercentOf(marginBottom_, height_) + borderWidth_;
    SetPlotRect(r);
}

void TCustomChartPanel::DrawPanelBackground()
{
    ChartCanvas& c = canvas_;
    c.SetBrush(color_, bsSolid);
    c.FillRect(panelBounds_.Left, panelBounds_.Top, panelBounds_.Right, panelBounds_.Bottom);

    // A bevel ring by ring from the outside: the light colour on the left and
    // top edges, the dark one on the right and bottom edges (the top-right and
    // bottom-left corner pixels are dark).
    auto frame3D = [&c](TChartRect r, TColor topLeft, TColor bottomRight, int width) {
        for (int i = 0; i < width && r.Right - r.Left > 0 && r.Bottom - r.Top > 0; ++i) {
            c.SetPen(topLeft);
            c.MoveTo(r.Left, r.Bottom - 1);
            c.LineTo(r.Left, r.Top);
            c.LineTo(r.Right - 1, r.Top);
            c.SetPen(bottomRight);
            c.LineTo(r.Right - 1, r.Bottom - 1);
            c.LineTo(r.Left - 1, r.Bottom - 1);
            ++r.Left;
            ++r.Top;
            --r.Right;
            --r.Bottom;
        }
        return r;
    };
    TChartRect r = panelBounds_;
    if (bevelOuter_ != bvNone)
        r = frame3D(r, bevelOuter_ == bvRaised ? clBtnHighlight : clBtnShadow,
                    bevelOuter_ == bvRaised ? clBtnShadow : clBtnHighlight, bevelWidth_);
    r.Left += borderWidth_;
    r.Top += borderWidth_;
    r.Right -= borderWidth_;
    r.Bottom -= borderWidth_;
    if (bevelInner_ != bvNone)
        frame3D(r, bevelInner_ == bvRaised ? clBtnHighlight : clBtnShadow,
                bevelInner_ == bvRaised ? clBtnShadow : clBtnHighlight, bevelWidth_);
}
