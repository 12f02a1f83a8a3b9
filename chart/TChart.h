#pragma once
// The chart control: a Qt widget around the chart model. It forwards paint,
// resize and mouse events and shows the chart's BackBuffer; the window
// system's background erase is off, so the chart never flashes empty.
//
//   auto* chart = new TChart(parent);
//   chart->Title().SetText({"Evolution de la pression au cours du temps"});
//   chart->BottomAxis().Title().SetCaption("Date en s");
//   chart->LeftAxis().Title().SetCaption("Pression en hPa");
//   chart->BackWall().Brush().SetStyle(bsClear);
//   chart->Legend().SetVisible(false);
//   chart->SetView3D(false);
//   chart->SetAnimatedZoom(true);
//   TFastLineSeries* series = chart->AddSeries<TFastLineSeries>();
//   series->SetSeriesColor(clRed);
//   series->AddPoint(1.00013, 1013.2, "", 0x0000FF);
#include "chart/TCustomChart.h"
#include "chart/TFastLineSeries.h"

#include <QWidget>

class TChart : public QWidget, public TCustomChart {
    Q_OBJECT

public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Whether Ctrl was held when the last mouse button went down on the
    // widget (read from the click's callback).
    bool ControlClick() const { return controlClick_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

    void RequestRepaint() override;
    void RepaintNow() override;
    void UseDefaultCursor() override;
    void UseMarkerCursor(bool on) override;
    void TrackPointer(bool on) override;

private:
    bool controlClick_ = false;
};
