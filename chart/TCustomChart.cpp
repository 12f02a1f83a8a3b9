#include "chart/TCustomChart.h"

#include <algorithm>
#include <cstdlib>

TCustomChart::TCustomChart()
    : title_(this, false),
      foot_(this, true),
      backWall_(this),
      leftWall_(this),
      bottomWall_(this),
      legend_(this),
      marks_(this),
      intervalMarkers_(this)
{
}

TCustomChart::~TCustomChart() = default;

void TCustomChart::DrawTitlesAndLegend()
{
    // The legend is not drawn.
    TChartRect plot = PlotRect();
    title_.DrawAndReserve(Canvas(), plot);
    SetPlotRect(plot);
    plot = PlotRect();
    foot_.DrawAndReserve(Canvas(), plot);
    SetPlotRect(plot);
}

void TCustomChart::DrawWalls()
{
    // Flat view: the back wall only, as the frame of the plot, covering
    // columns left .. right and rows top .. bottom - 1.
    ChartCanvas& c = Canvas();
    const TChartRect& plot = PlotRect();
    if (backWall_.Brush().Style() == bsClear)
        c.SetBrush(clWhite, bsClear);
    else
        c.SetBrush(backWall_.Brush().Color() == ColorUnset ? clWhite : backWall_.Brush().Color(), bsSolid);
    if (backWall_.Pen().Visible()) {
        c.SetPen(backWall_.Pen().Color(), backWall_.Pen().Width(), backWall_.Pen().Style());
        c.Rectangle(plot.Left, plot.Top, plot.Right + 1, plot.Bottom);
    } else {
        c.FillRect(plot.Left, plot.Top, plot.Right + 1, plot.Bottom);
    }
}

void TCustomChart::DrawOverSeries(ChartCanvas& canvas)
{
    marks_.Draw(canvas, *this);
    // The markers' labels clear of the marks' labels and of the legend.
    std::vector<TChartRect> occupied = marks_.LabelRects();
    if (intervalMarkers_.Visible())
        if (const auto box = legend_.Box(canvas, *this))
            occupied.push_back(*box);
    intervalMarkers_.Draw(canvas, *this, occupied);
    legend_.Draw(canvas, *this);
}

void TCustomChart::ExtendAutomaticRange(const TChartAxis& axis, bool maximum, bool& found, double& result) const
{
    if (&axis == &BottomAxis())
        marks_.ExtendRange(TChartMarkKind::VerticalLine, maximum, found, result);
    else if (&axis == &LeftAxis())
        marks_.ExtendRange(TChartMarkKind::HorizontalLine, maximum, found, result);
}

void TCustomChart::SetOnPointerMove(std::function<void(double x, double y)> f)
{
    onPointerMove_ = std::move(f);
    TrackPointer(static_cast<bool>(onPointerMove_));
}

void TCustomChart::DrawWindowOverlay(ChartCanvas& canvas)
{
    // The chart's colour as a plain colour (a system colour's index: white
    // becomes a dark red), one pixel wide, solid, no fill.
    canvas.SetPenMode(pmNotXor);
    canvas.SetPen(PlainColor(Color()), 1, psSolid);
    canvas.SetBrush(clWhite, bsClear);
    for (const TChartRect& band : bands_)
        canvas.Rectangle(band.Left, band.Top, band.Right, band.Bottom);
    canvas.SetPenMode(pmCopy);
}

void TCustomChart::DrawBand()
{
    const TChartRect band{zoom_.X0, zoom_.Y0, zoom_.X1, zoom_.Y1};
    if (auto it = std::find(bands_.begin(), bands_.end(), band); it != bands_.end())
        bands_.erase(it);
    else
        bands_.push_back(band);
    RequestRepaint(); // the window shows the change; the BackBuffer stays valid
}

bool TCustomChart::InsidePlot(int x, int y) const
{
    const TChartRect& p = PlotRect();
    return x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom;
}

bool TCustomChart::OnShownAxis(int x, int y) const
{
    const TChartRect& p = PlotRect();
    auto* self = const_cast<TCustomChart*>(this);
    for (const TChartAxis* axis : {&self->BottomAxis(), &self->TopAxis(), &self->LeftAxis(), &self->RightAxis()}) {
        if (!axis->IsShown())
            continue;
        if (axis->Horizontal()) {
            if (std::abs(y - axis->AxisLinePos()) < kAxisClickTolerance && x >= p.Left && x <= p.Right)
                return true;
        } else {
            if (std::abs(x - axis->AxisLinePos()) < kAxisClickTolerance && y >= p.Top && y <= p.Bottom)
                return true;
        }
    }
    return false;
}

bool TCustomChart::PressCounts(int x, int y) const
{
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active() && Series(i)->Clicked(x, y))
            return true;
    if (OnShownAxis(x, y))
        return true;
    return InsidePlot(x, y) && HasActiveSeries();
}

void TCustomChart::MouseDown(TMouseButton button, int x, int y)
{
    if (zoom_.Active || panning_.Active || markerDrag_.Active)
        return;
    // A press on an interval marker drags it, and nothing else starts.
    TIntervalEdge edge = TIntervalEdge::Start;
    if (button == TMouseButton::Left && intervalMarkers_.HitTest(*this, x, y, edge)) {
        markerDrag_.Active = true;
        markerDrag_.Edge = edge;
        UseMarkerCursor(true);
        return;
    }
    if (!PressCounts(x, y))
        return;
    if (button == TMouseButton::Left) {
        leftPress_.Active = InsidePlot(x, y);
        leftPress_.X = x;
        leftPress_.Y = y;
    }
    if (button == TMouseButton::Left && allowZoom_) {
        UseDefaultCursor();
        zoom_.Activate(x, y);
        DrawBand();
    } else if (button == TMouseButton::Right && allowPanning_ != pmNone) {
        UseDefaultCursor();
        panning_.Activate(x, y);
    }
}

void TCustomChart::MouseMove(int x, int y)
{
    if (markerDrag_.Active)
        DragMarkerTo(x);
    else
        DragTo(x, y);
    if (onPointerMove_ && InsidePlot(x, y))
        onPointerMove_(XValueAt(x), YValueAt(y));
}

void TCustomChart::DragMarkerTo(int x)
{
    // Within the plot, and the start never past the end.
    const TChartRect& p = PlotRect();
    const TIntervalEdge edge = markerDrag_.Edge;
    double v = XValueAt(std::clamp(x, p.Left, p.Right));
    if (edge == TIntervalEdge::Start)
        v = std::min(v, intervalMarkers_.Value(TIntervalEdge::End));
    else
        v = std::max(v, intervalMarkers_.Value(TIntervalEdge::Start));
    if (v == intervalMarkers_.Value(edge))
        return;
    intervalMarkers_.SetValue(edge, v); // repaints
    if (onMarkerMoved_)
        onMarkerMoved_(edge, v);
}

void TCustomChart::DragTo(int x, int y)
{
    if (zoom_.Active && (x != zoom_.X1 || y != zoom_.Y1)) {
        DrawBand(); // erase the band at its old place
        zoom_.X1 = x;
        zoom_.Y1 = y;
        DrawBand();
    }
    if (panning_.Active) {
        if (!InsidePlot(x, y)) {
            panning_.Active = false;
            return;
        }
        if (x == panning_.X1 && y == panning_.Y1)
            return;
        SaveScaleIfNone();
        bool scrolled = false;
        if (x != panning_.X1 && (allowPanning_ == pmHorizontal || allowPanning_ == pmBoth)) {
            ScrollAxis(BottomAxis(), panning_.X1, x);
            ScrollAxis(TopAxis(), panning_.X1, x);
            scrolled = true;
        }
        if (y != panning_.Y1 && (allowPanning_ == pmVertical || allowPanning_ == pmBoth)) {
            ScrollAxis(LeftAxis(), panning_.Y1, y);
            ScrollAxis(RightAxis(), panning_.Y1, y);
            scrolled = true;
        }
        panning_.X1 = x;
        panning_.Y1 = y;
        if (scrolled)
            Invalidate();
    }
}

void TCustomChart::MouseUp(TMouseButton button, int x, int y)
{
    if (markerDrag_.Active) {
        if (button == TMouseButton::Left) {
            markerDrag_.Active = false;
            UseMarkerCursor(false);
        }
        return;
    }
    // A release near the press: a click, at the press's data coordinates
    // (the scales do not change, as no zoom follows).
    bool clicked = false;
    double clickX = 0.0, clickY = 0.0;
    if (button == TMouseButton::Left && leftPress_.Active) {
        leftPress_.Active = false;
        clicked = std::abs(x - leftPress_.X) <= kMinZoomDrag && std::abs(y - leftPress_.Y) <= kMinZoomDrag;
        clickX = XValueAt(leftPress_.X);
        clickY = YValueAt(leftPress_.Y);
    }
    if (zoom_.Active && button == TMouseButton::Left) {
        zoom_.Active = false;
        DrawBand(); // erase it
        zoom_.X1 = x;
        zoom_.Y1 = y;
        if (std::abs(zoom_.X1 - zoom_.X0) > kMinZoomDrag && std::abs(zoom_.Y1 - zoom_.Y0) > kMinZoomDrag) {
            if (zoom_.X0 < zoom_.X1 && zoom_.Y0 < zoom_.Y1)
                ZoomRect(zoom_.X0, zoom_.Y0, zoom_.X1, zoom_.Y1);
            else
                UndoZoom();
            Invalidate();
        }
    }
    panning_.Active = false;
    if (clicked && onClick_)
        onClick_(clickX, clickY);
}

void TCustomChart::CancelDrag()
{
    leftPress_.Active = false;
    if (markerDrag_.Active) {
        markerDrag_.Active = false;
        UseMarkerCursor(false);
    }
    if (zoom_.Active) {
        zoom_.Active = false;
        DrawBand(); // erase it
    }
    panning_.Active = false;
}

void TCustomChart::ScrollAxis(TChartAxis& axis, int from, int to)
{
    const double d = axis.PixelToValue(from) - axis.PixelToValue(to);
    axis.SetMinMax(axis.Minimum() + d, axis.Maximum() + d);
}

void TCustomChart::SaveScaleIfNone()
{
    if (savedScale_.saved)
        return;
    auto save = [](TChartAxis& a) {
        return AxisScaleState{a.Automatic(), a.AutomaticMinimum(), a.AutomaticMaximum(), a.Minimum(), a.Maximum()};
    };
    savedScale_.top = save(TopAxis());
    savedScale_.bottom = save(BottomAxis());
    savedScale_.left = save(LeftAxis());
    savedScale_.right = save(RightAxis());
    savedScale_.saved = true;
}

void TCustomChart::UndoZoom()
{
    if (savedScale_.saved) {
        auto restore = [](TChartAxis& a, const AxisScaleState& s) {
            a.SetAutomatic(s.automatic);
            a.SetAutomaticMinimum(s.automaticMinimum);
            a.SetAutomaticMaximum(s.automaticMaximum);
            if (!s.automatic)
                a.SetMinMax(s.minimum, s.maximum);
        };
        restore(TopAxis(), savedScale_.top);
        restore(BottomAxis(), savedScale_.bottom);
        restore(LeftAxis(), savedScale_.left);
        restore(RightAxis(), savedScale_.right);
        savedScale_.saved = false;
    }
    Invalidate();
}

void TCustomChart::ZoomRect(int x0, int y0, int x1, int y1)
{
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    struct Target {
        TChartAxis* axis;
        double min, max;
    };
    // Left, right, top, bottom: the order in which the axes move.
    Target targets[] = {
        {&LeftAxis(), LeftAxis().PixelToValue(y1), LeftAxis().PixelToValue(y0)},
        {&RightAxis(), RightAxis().PixelToValue(y1), RightAxis().PixelToValue(y0)},
        {&TopAxis(), TopAxis().PixelToValue(x0), TopAxis().PixelToValue(x1)},
        {&BottomAxis(), BottomAxis().PixelToValue(x0), BottomAxis().PixelToValue(x1)},
    };
    SaveScaleIfNone();
    if (animatedZoom_) {
        // Each frame covers a third of the remaining way, and is shown before
        // anything else runs.
        for (int frame = 1; frame < animatedZoomSteps_; ++frame) {
            for (Target& t : targets) {
                const double lo = t.axis->Minimum(), hi = t.axis->Maximum();
                t.axis->SetMinMax(lo + (t.min - lo) / kAnimatedZoomFactor, hi - (hi - t.max) / kAnimatedZoomFactor);
            }
            RepaintNow();
        }
    }
    for (Target& t : targets)
        t.axis->SetMinMax(t.min, t.max);
}
