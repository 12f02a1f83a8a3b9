#pragma once
// The chart without its window: titles, walls and legend on top of the axis
// panel, and the mouse: a left-button drag zooms into the dragged rectangle
// (or, dragged up or left, restores the scale from before the first zoom or
// scroll), a right-button drag scrolls the axes.
//
// Over that, for a window that analyses a run (the main charts use none of
// it, so they draw and behave as before): reference lines, tangents and
// texts (ChartMarks), a legend, two draggable interval markers, and
// callbacks for a click without drag, for the pointer's moves and for a
// moved marker, all in data coordinates:
//
//   chart->IntervalMarkers().SetValue(TIntervalEdge::Start, 10.0);
//   chart->IntervalMarkers().SetValue(TIntervalEdge::End, 300.0);
//   chart->IntervalMarkers().SetVisible(true);
//   chart->SetOnIntervalMarkerMoved([&](TIntervalEdge edge, double t) { Refit(edge, t); });
//   chart->SetOnClick([&](double t, double x) { ShowTangentNear(t); });
//   chart->SetOnPointerMove([&](double t, double x) { ShowNearest(mesures->NearestPointIndex(t)); });
//
// The widget forwards its mouse events to MouseDown, MouseMove and MouseUp;
// tests call them directly with client coordinates.
#include "chart/TChartLegend.h"
#include "chart/TChartMarks.h"
#include "chart/TChartTitle.h"
#include "chart/TChartWall.h"
#include "chart/TCustomAxisPanel.h"
#include "chart/TIntervalMarkers.h"

#include <functional>
#include <vector>

enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
enum class TMouseButton { Left, Right, Middle };

// One drag: where it started and the latest mouse position.
struct TZoomPanningRecord {
    bool Active = false;
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    void Activate(int x, int y)
    {
        Active = true;
        X0 = X1 = x;
        Y0 = Y1 = y;
    }
};

class TCustomChart : public TCustomAxisPanel {
public:
    // Drags of this many pixels or fewer in either direction do not zoom.
    static constexpr int kMinZoomDrag = 16;
    // Presses closer than this to an axis line count as on the axis.
    static constexpr int kAxisClickTolerance = 12;
    // Each frame of an animated zoom covers 1 / kAnimatedZoomFactor of the
    // remaining way.
    static constexpr double kAnimatedZoomFactor = 3.0;

    TCustomChart();
    ~TCustomChart() override;

    TChartTitle& Title() { return title_; }
    TChartTitle& Foot() { return foot_; }
    TChartWall& BackWall() { return backWall_; }
    TChartWall& LeftWall() { return leftWall_; }
    TChartWall& BottomWall() { return bottomWall_; }
    TChartLegend& Legend() { return legend_; }
    // Reference lines, straight lines and texts over the series.
    TChartMarks& ChartMarks() { return marks_; }
    // The interval's two draggable markers (hidden until made visible).
    TIntervalMarkers& IntervalMarkers() { return intervalMarkers_; }

    // Data <-> pixel on the bottom (x) and left (y) axes, against the plot
    // and scales of the last paint; client pixels, axis units. Pixels are
    // rounded to nearest and clamped far off the surface.
    int XPixel(double x) const { return BottomAxis().ValueToPixel(x); }
    int YPixel(double y) const { return LeftAxis().ValueToPixel(y); }
    double XValueAt(int px) const { return BottomAxis().PixelToValue(px); }
    double YValueAt(int py) const { return LeftAxis().PixelToValue(py); }

    // Called with the data coordinates (bottom, left axis units) of a left
    // click in the plot without a drag: press and release no more than
    // kMinZoomDrag pixels apart both ways (so no zoom happens); the point
    // reported is the press. Not called after a marker drag. Empty: nothing.
    void SetOnClick(std::function<void(double x, double y)> f) { onClick_ = std::move(f); }
    // Called at every move of the pointer inside the plot with its data
    // coordinates, button held or not. Setting it also asks the widget to
    // report moves without a button (TrackPointer); empty stops that.
    void SetOnPointerMove(std::function<void(double x, double y)> f);
    // Called while a marker is dragged, at each move that changes its value,
    // with the marker and its new value (bottom axis units). The start stays
    // at or before the end and both stay within the scale.
    void SetOnIntervalMarkerMoved(std::function<void(TIntervalEdge edge, double value)> f)
    {
        onMarkerMoved_ = std::move(f);
    }
    // Whether a marker is being dragged, and which.
    bool DraggingMarker() const { return markerDrag_.Active; }
    TIntervalEdge DraggedMarker() const { return markerDrag_.Edge; }

    bool AllowZoom() const { return allowZoom_; }
    void SetAllowZoom(bool v) { allowZoom_ = v; }
    TPanningMode AllowPanning() const { return allowPanning_; }
    void SetAllowPanning(TPanningMode m) { allowPanning_ = m; }
    bool AnimatedZoom() const { return animatedZoom_; }
    void SetAnimatedZoom(bool v) { animatedZoom_ = v; }
    int AnimatedZoomSteps() const { return animatedZoomSteps_; }
    void SetAnimatedZoomSteps(int n) { animatedZoomSteps_ = n; }

    // Mouse input in client coordinates.
    void MouseDown(TMouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(TMouseButton button, int x, int y);
    // Ends a drag whose release can no longer reach the chart (a modal box
    // opened during it): the rubber band goes, nothing is zoomed or undone,
    // a scroll stays where it got to.
    void CancelDrag();

    const TZoomPanningRecord& Zoom() const { return zoom_; }
    const TZoomPanningRecord& Panning() const { return panning_; }
    // Whether a scale from before the first zoom or scroll is kept.
    bool HasSavedScale() const { return savedScale_.saved; }
    // Restores the scale from before the first zoom or scroll, if any.
    void UndoZoom();
    // Zooms into the pixel rectangle (x0, y0)-(x1, y1), animated when
    // AnimatedZoom is set.
    void ZoomRect(int x0, int y0, int x1, int y1);
    // Whether a press at (x, y) starts a drag.
    bool PressCounts(int x, int y) const;

protected:
    void DrawTitlesAndLegend() override;
    void DrawWalls() override;
    // Reference lines count in their axis's automatic scale (ChartMarks).
    void ExtendAutomaticRange(const TChartAxis& axis, bool maximum, bool& found, double& result) const override;
    // Marks, interval markers, then the legend on top.
    void DrawOverSeries(ChartCanvas& canvas) override;
    bool HasWindowOverlay() const override { return !bands_.empty(); }
    void DrawWindowOverlay(ChartCanvas& canvas) override;
    // Paints the chart and shows it at once, before anything else runs; the
    // widget repaints synchronously. Here: the BackBuffer is drawn.
    virtual void RepaintNow() { PaintBackBuffer(); }
    // The mouse cursor becomes the default arrow.
    virtual void UseDefaultCursor() {}
    // The cursor while a marker is dragged (a horizontal resize arrow), and
    // back to the default after.
    virtual void UseMarkerCursor(bool on) { (void)on; }
    // Whether moves without a button held must reach MouseMove (the widget
    // turns its mouse tracking on).
    virtual void TrackPointer(bool on) { (void)on; }

private:
    struct AxisScaleState {
        bool automatic = true, automaticMinimum = true, automaticMaximum = true;
        double minimum = 0.0, maximum = 0.0;
    };
    struct SavedScale {
        bool saved = false;
        AxisScaleState top, bottom, left, right;
    };

    // Draws the rubber band of the zoom state on the window, in
    // not-exclusive-or mode: drawing the same band again erases it.
    void DrawBand();
    void SaveScaleIfNone();
    bool InsidePlot(int x, int y) const;
    bool OnShownAxis(int x, int y) const;
    void ScrollAxis(TChartAxis& axis, int from, int to);
    // The zoom's rubber band or the scroll follows the mouse.
    void DragTo(int x, int y);
    // The dragged marker follows the mouse.
    void DragMarkerTo(int x);

    TChartTitle title_, foot_;
    TChartWall backWall_, leftWall_, bottomWall_;
    TChartLegend legend_;
    TChartMarks marks_;
    TIntervalMarkers intervalMarkers_;
    bool allowZoom_ = true;
    TPanningMode allowPanning_ = pmBoth;
    bool animatedZoom_ = false;
    int animatedZoomSteps_ = 8;

    TZoomPanningRecord zoom_, panning_;
    SavedScale savedScale_;
    // A left press in the plot that may end as a click.
    struct {
        bool Active = false;
        int X = 0, Y = 0;
    } leftPress_;
    struct {
        bool Active = false;
        TIntervalEdge Edge = TIntervalEdge::Start;
    } markerDrag_;
    std::function<void(double, double)> onClick_, onPointerMove_;
    std::function<void(TIntervalEdge, double)> onMarkerMoved_;
    // The rubber bands on the window, each inverted once over the
    // BackBuffer; drawing one again takes it off.
    std::vector<TChartRect> bands_;
};
