// The chart widget on the offscreen platform: what it shows is the chart's
// picture, it repaints the animated zoom's frames at once, and a drag keeps
// reaching it outside its area while the button is held.
#include "chart/TChart.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class CountingChart : public TChart {
public:
    using TChart::TChart;
    int paintEvents = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paintEvents;
        TChart::paintEvent(event);
    }
};

// A window with the chart on the left and another widget on the right.
struct Window {
    QWidget top;
    CountingChart* chart = new CountingChart;
    QWidget* neighbour = new QWidget;
    TFastLineSeries* series = nullptr;

    Window()
    {
        auto* layout = new QHBoxLayout(&top);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(chart);
        layout->addWidget(neighbour);
        chart->SetAnimatedZoom(true);
        series = chart->AddSeries<TFastLineSeries>();
        series->SetSeriesColor(clRed);
        for (int i = 0; i <= 50; ++i)
            series->AddPoint(i, i * i, "", clRed);
        top.resize(600, 300);
        top.show();
    }
    bool Exposed() { return QTest::qWaitForWindowExposed(&top); }
    QPoint InWindow(int x, int y) const { return chart->mapTo(&top, QPoint(x, y)); }
};

} // namespace

TEST(TChartWidget, paints_its_own_background)
{
    TChart chart;
    EXPECT_TRUE(chart.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_TRUE(chart.testAttribute(Qt::WA_NoSystemBackground));
    EXPECT_FALSE(chart.autoFillBackground());
}

TEST(TChartWidget, shows_the_chart_picture_at_its_size)
{
    Window w;
    ASSERT_TRUE(w.Exposed());
    EXPECT_EQ(w.chart->ChartWidth(), w.chart->width());
    EXPECT_EQ(w.chart->ChartHeight(), w.chart->height());
    const QImage shown = w.chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = w.chart->ScreenImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), picture.size());
    EXPECT_TRUE(shown == picture);
    // Red curve pixels are on screen.
    bool red = false;
    for (int y = 0; y < shown.height() && !red; ++y)
        for (int x = 0; x < shown.width() && !red; ++x)
            red = (shown.pixel(x, y) & 0xFFFFFFu) == 0xFF0000u;
    EXPECT_TRUE(red);
}

TEST(TChartWidget, a_new_size_redraws_the_chart_at_that_size)
{
    Window w;
    ASSERT_TRUE(w.Exposed());
    w.top.resize(500, 240);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.chart->BackBuffer().height(), 240);
    EXPECT_EQ(w.chart->BackBuffer().width(), w.chart->width());
}

TEST(TChartWidget, the_animated_zoom_paints_its_frames_before_the_release_returns)
{
    Window w;
    ASSERT_TRUE(w.Exposed());
    w.chart->repaint();
    const TChartRect p = w.chart->PlotRect();
    w.chart->MouseDown(TMouseButton::Left, p.Left + 10, p.Top + 10);
    w.chart->MouseMove(p.Left + 80, p.Top + 80);
    const int before = w.chart->paintEvents;
    w.chart->MouseUp(TMouseButton::Left, p.Left + 80, p.Top + 80);
    EXPECT_GE(w.chart->paintEvents - before, 7);
    EXPECT_TRUE(w.chart->HasSavedScale());
}

TEST(TChartWidget, a_held_button_keeps_the_moves_outside_the_chart_coming)
{
    Window w;
    ASSERT_TRUE(w.Exposed());
    w.chart->repaint();
    const TChartRect p = w.chart->PlotRect();
    QWindow* window = w.top.windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mousePress(window, Qt::LeftButton, {}, w.InWindow(p.Left + 10, p.Top + 10));
    ASSERT_TRUE(w.chart->Zoom().Active);
    // Over the neighbouring widget: the chart still gets the move.
    const QPoint over = w.neighbour->mapTo(&w.top, QPoint(20, 150));
    QTest::mouseMove(window, over);
    const QPoint inChart = w.chart->mapFrom(&w.top, over);
    EXPECT_EQ(w.chart->Zoom().X1, inChart.x());
    EXPECT_EQ(w.chart->Zoom().Y1, inChart.y());
    QTest::mouseRelease(window, Qt::LeftButton, {}, over);
    EXPECT_FALSE(w.chart->Zoom().Active);
    EXPECT_TRUE(w.chart->HasSavedScale()); // right and down, beyond the chart: a zoom
}

TEST(TChartWidget, the_right_button_scrolls_through_window_events)
{
    Window w;
    ASSERT_TRUE(w.Exposed());
    w.chart->repaint();
    const TChartRect p = w.chart->PlotRect();
    QWindow* window = w.top.windowHandle();
    const double min = w.chart->BottomAxis().Minimum();
    QTest::mousePress(window, Qt::RightButton, {}, w.InWindow(p.Left + 100, p.Top + 50));
    QTest::mouseMove(window, w.InWindow(p.Left + 80, p.Top + 50));
    QTest::mouseRelease(window, Qt::RightButton, {}, w.InWindow(p.Left + 80, p.Top + 50));
    EXPECT_GT(w.chart->BottomAxis().Minimum(), min);
    EXPECT_FALSE(w.chart->Panning().Active);
}

TEST(TChartWidget, a_modal_box_opening_during_a_drag_ends_it_without_zooming)
{
    // Given a zoom drag under way when a tick opens its error box: the
    // release never reaches the blocked window.
    Window w;
    ASSERT_TRUE(w.Exposed());
    w.chart->repaint();
    const TChartRect p = w.chart->PlotRect();
    QWindow* window = w.top.windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, w.InWindow(p.Left + 10, p.Top + 10));
    QTest::mouseMove(window, w.InWindow(p.Left + 80, p.Top + 80));
    ASSERT_TRUE(w.chart->Zoom().Active);

    QDialog box;
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    EXPECT_FALSE(w.chart->Zoom().Active);
    EXPECT_TRUE(w.chart->ScreenImage() == w.chart->BackBuffer()); // no band left
    box.hide();

    // The next click is a click, not the end of the old drag.
    QTest::mouseClick(window, Qt::LeftButton, {}, w.InWindow(p.Left + 120, p.Top + 90));
    EXPECT_FALSE(w.chart->HasSavedScale());
    EXPECT_TRUE(w.chart->BottomAxis().Automatic());

    // A scroll ends the same way.
    QTest::mousePress(window, Qt::RightButton, {}, w.InWindow(p.Left + 100, p.Top + 50));
    ASSERT_TRUE(w.chart->Panning().Active);
    box.show();
    EXPECT_FALSE(w.chart->Panning().Active);
    box.hide();
}
