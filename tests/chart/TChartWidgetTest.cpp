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

// A shown window with the chart on the left and another widget on the
// right; the chart holds 51 points and has been painted once.
class TChartWidget : public ::testing::Test {
protected:
    QWidget top;
    CountingChart* chart = new CountingChart;
    QWidget* neighbour = new QWidget;
    QWindow* window = nullptr;
    TChartRect p;

    void SetUp() override
    {
        auto* layout = new QHBoxLayout(&top);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(chart);
        layout->addWidget(neighbour);
        chart->SetAnimatedZoom(true);
        TFastLineSeries* series = chart->AddSeries<TFastLineSeries>();
        series->SetSeriesColor(clRed);
        for (int i = 0; i <= 50; ++i)
            series->AddPoint(i, i * i, "", clRed);
        top.resize(600, 300);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        chart->repaint();
        p = chart->PlotRect();
        window = top.windowHandle();
        ASSERT_NE(window, nullptr);
    }
    // A point of the chart in the window's coordinates.
    QPoint At(int x, int y) const { return chart->mapTo(&top, QPoint(x, y)); }
};

} // namespace

TEST_F(TChartWidget, shows_the_chart_picture_at_its_size)
{
    EXPECT_EQ(chart->ChartWidth(), chart->width());
    EXPECT_EQ(chart->ChartHeight(), chart->height());
    const QImage shown = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = chart->ScreenImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), picture.size());
    EXPECT_TRUE(shown == picture);
    // Red curve pixels are on screen.
    bool red = false;
    for (int y = 0; y < shown.height() && !red; ++y)
        for (int x = 0; x < shown.width() && !red; ++x)
            red = (shown.pixel(x, y) & 0xFFFFFFu) == 0xFF0000u;
    EXPECT_TRUE(red);
}

TEST_F(TChartWidget, a_new_size_redraws_the_chart_at_that_size)
{
    top.resize(500, 240);
    QCoreApplication::processEvents();
    EXPECT_EQ(chart->BackBuffer().height(), 240);
    EXPECT_EQ(chart->BackBuffer().width(), chart->width());
}

TEST_F(TChartWidget, the_animated_zoom_paints_its_frames_before_the_release_returns)
{
    chart->MouseDown(TMouseButton::Left, p.Left + 10, p.Top + 10);
    chart->MouseMove(p.Left + 80, p.Top + 80);
    const int before = chart->paintEvents;
    chart->MouseUp(TMouseButton::Left, p.Left + 80, p.Top + 80);
    EXPECT_GE(chart->paintEvents - before, 7);
    EXPECT_TRUE(chart->HasSavedScale());
}

TEST_F(TChartWidget, a_held_button_keeps_the_moves_outside_the_chart_coming)
{
    QTest::mousePress(window, Qt::LeftButton, {}, At(p.Left + 10, p.Top + 10));
    ASSERT_TRUE(chart->Zoom().Active);
    // Over the neighbouring widget: the chart still gets the move.
    const QPoint over = neighbour->mapTo(&top, QPoint(20, 150));
    QTest::mouseMove(window, over);
    const QPoint inChart = chart->mapFrom(&top, over);
    EXPECT_EQ(chart->Zoom().X1, inChart.x());
    EXPECT_EQ(chart->Zoom().Y1, inChart.y());
    QTest::mouseRelease(window, Qt::LeftButton, {}, over);
    EXPECT_FALSE(chart->Zoom().Active);
    EXPECT_TRUE(chart->HasSavedScale()); // right and down, beyond the chart: a zoom
}

TEST_F(TChartWidget, a_modal_box_opening_during_a_drag_ends_it_without_zooming)
{
    // Given a zoom drag under way when a tick opens its error box: the
    // release never reaches the blocked window.
    QTest::mousePress(window, Qt::LeftButton, {}, At(p.Left + 10, p.Top + 10));
    QTest::mouseMove(window, At(p.Left + 80, p.Top + 80));
    ASSERT_TRUE(chart->Zoom().Active);

    QDialog box;
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    EXPECT_FALSE(chart->Zoom().Active);
    EXPECT_TRUE(chart->ScreenImage() == chart->BackBuffer()); // no band left
    box.hide();

    // The next click is a click, not the end of the old drag.
    QTest::mouseClick(window, Qt::LeftButton, {}, At(p.Left + 120, p.Top + 90));
    EXPECT_FALSE(chart->HasSavedScale());
    EXPECT_TRUE(chart->BottomAxis().Automatic());

    // A scroll ends the same way.
    QTest::mousePress(window, Qt::RightButton, {}, At(p.Left + 100, p.Top + 50));
    ASSERT_TRUE(chart->Panning().Active);
    box.show();
    EXPECT_FALSE(chart->Panning().Active);
    box.hide();
}
