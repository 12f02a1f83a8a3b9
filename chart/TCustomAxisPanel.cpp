#include "chart/TCustomAxisPanel.h"

#include <algorithm>

TCustomAxisPanel::TCustomAxisPanel()
    : bottomAxis_(this, TAxisPlace::Bottom),
      topAxis_(this, TAxisPlace::Top),
      leftAxis_(this, TAxisPlace::Left),
      rightAxis_(this, TAxisPlace::Right)
{
}

TCustomAxisPanel::~TCustomAxisPanel()
{
    destroying_ = true;
    series_.clear();
}

void TCustomAxisPanel::AdoptSeries(std::unique_ptr<TChartSeries> series)
{
    series->SetParentChart(this);
    series_.push_back(std::move(series));
    Invalidate();
}

bool TCustomAxisPanel::HasActiveSeries() const
{
    return std::any_of(series_.begin(), series_.end(), [](const auto& s) { return s->Active(); });
}

TChartAxis* TCustomAxisPanel::AxisFor(TAxisChoice choice)
{
    switch (choice) {
    case aBottomAxis: return &bottomAxis_;
    case aTopAxis: return &topAxis_;
    case aLeftAxis: return &leftAxis_;
    case aRightAxis: return &rightAxis_;
    }
    return &bottomAxis_;
}

const TChartAxis* TCustomAxisPanel::AxisFor(TAxisChoice choice) const
{
    return const_cast<TCustomAxisPanel*>(this)->AxisFor(choice);
}

void TCustomAxisPanel::DrawChart()
{
    ChartCanvas& canvas = Canvas();

    // Margins, then background and bevel.
    CalcPlotRectFromMargins();
    DrawPanelBackground();

    // Titles take their lines off the plot.
    DrawTitlesAndLegend();

    // Scales from the data, then the axes' bands.
    leftAxis_.AdjustRange();
    rightAxis_.AdjustRange();
    topAxis_.AdjustRange();
    bottomAxis_.AdjustRange();
    CalcAxisRectangles();

    DrawWalls();

    for (TChartAxis* axis : {&topAxis_, &bottomAxis_, &leftAxis_, &rightAxis_})
        if (axis->IsShown())
            axis->Draw(canvas);

    for (const auto& series : series_)
        if (series->Active())
            series->DrawAllValues(canvas);

    DrawOverSeries(canvas);

    canvas.ResetState();
}

void TCustomAxisPanel::CalcAxisRectangles()
{
    ChartCanvas& canvas = Canvas();
    TChartRect r = PlotRect();
    // Each shown axis takes its bands from a trial copy, kept only while some
    // plot remains.
    for (TChartAxis* axis : {&leftAxis_, &rightAxis_, &topAxis_, &bottomAxis_}) {
        if (!axis->IsShown())
            continue;
        TChartRect trial = r;
        axis->ReserveAxisSpace(canvas, trial);
        const int left = std::max(trial.Left, r.Left), right = std::min(trial.Right, r.Right);
        const int top = std::max(trial.Top, r.Top), bottom = std::min(trial.Bottom, r.Bottom);
        if (right > left && bottom > top)
            r = trial;
    }
    SetPlotRect(r);
    // Series may ask for pixel margins at the plot's edges, to which the
    // scales are then refitted; line series ask for none, so the scales stay
    // as computed.
}
