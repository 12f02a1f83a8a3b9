#pragma once
// The chart's series and axes and its paint sequence: background and bevel,
// titles, axis scales and space, back wall, axes, series, then the surface's
// state reset.
#include "chart/TChartAxis.h"
#include "chart/TChartSeries.h"
#include "chart/TCustomChartPanel.h"

#include <memory>
#include <vector>

class TCustomAxisPanel : public TCustomChartPanel {
public:
    TCustomAxisPanel();
    ~TCustomAxisPanel() override;

    // Creates a series owned by the chart, listed after the others.
    template <class S>
    S* AddSeries()
    {
        auto series = std::make_unique<S>();
        S* raw = series.get();
        AdoptSeries(std::move(series));
        return raw;
    }
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    TChartSeries* Series(int i) const { return series_[static_cast<std::size_t>(i)].get(); }
    bool HasActiveSeries() const;

    TChartAxis& BottomAxis() { return bottomAxis_; }
    TChartAxis& TopAxis() { return topAxis_; }
    TChartAxis& LeftAxis() { return leftAxis_; }
    TChartAxis& RightAxis() { return rightAxis_; }
    const TChartAxis& BottomAxis() const { return bottomAxis_; }
    const TChartAxis& LeftAxis() const { return leftAxis_; }
    TChartAxis* AxisFor(TAxisChoice choice);
    const TChartAxis* AxisFor(TAxisChoice choice) const;

    bool ClipPoints() const { return clipPoints_; }
    void SetClipPoints(bool v) { SetField(clipPoints_, v); }
    bool AxisVisible() const { return axisVisible_; }
    void SetAxisVisible(bool v) { SetField(axisVisible_, v); }
    // Paging is not used (0 points per page: all points on one page).
    int MaxPointsPerPage() const { return maxPointsPerPage_; }
    int Page() const { return page_; }

    // Widens an axis's automatic end beyond the series' data: `result` is
    // the end found so far (valid when `found`). Nothing here.
    virtual void ExtendAutomaticRange(const TChartAxis& axis, bool maximum, bool& found, double& result) const
    {
        (void)axis, (void)maximum, (void)found, (void)result;
    }

    // True while the chart is being destroyed: clearing points then
    // invalidates nothing.
    bool Destroying() const { return destroying_; }

protected:
    void DrawChart() override;
    // Titles and legend, taking their space from the plot rectangle.
    virtual void DrawTitlesAndLegend() {}
    // The walls around the final plot rectangle.
    virtual void DrawWalls() {}
    // What is drawn over the series (marks, legend), on the final scales.
    virtual void DrawOverSeries(ChartCanvas& canvas) { (void)canvas; }

    bool destroying_ = false;

private:
    void AdoptSeries(std::unique_ptr<TChartSeries> series);
    void CalcAxisRectangles();
    void DrawSeries(TChartSeries& series);

    std::vector<std::unique_ptr<TChartSeries>> series_;
    TChartAxis bottomAxis_, topAxis_, leftAxis_, rightAxis_;
    bool clipPoints_ = true;
    bool axisVisible_ = true;
    int maxPointsPerPage_ = 0, page_ = 1;
};
