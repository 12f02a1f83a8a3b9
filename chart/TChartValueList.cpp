#include "chart/TChartValueList.h"

#include <cmath>

int TChartValueList::AddValue(double v)
{
    int i = Count();
    if (order_ != loNone && !values_.empty()) {
        int t = Count() - 1;
        if (order_ == loAscending) {
            if (values_[static_cast<std::size_t>(t)] > v) {
                while (t >= 0 && values_[static_cast<std::size_t>(t)] > v)
                    --t;
                i = t + 1;
            }
        } else {
            if (values_[static_cast<std::size_t>(t)] < v) {
                while (t >= 0 && values_[static_cast<std::size_t>(t)] < v)
                    --t;
                i = t + 1;
            }
        }
    }
    InsertValueAt(i, v);
    return i;
}

void TChartValueList::InsertValueAt(int i, double v)
{
    values_.insert(values_.begin() + i, v);
    CountIn(v);
}

void TChartValueList::CountIn(double raw)
{
    const double m = raw * multiplier_;
    totalValue_ += m;
    totalAbsValue_ += std::fabs(m);
    if (values_.size() == 1) {
        minValue_ = m;
        maxValue_ = m;
    } else {
        if (m < minValue_)
            minValue_ = m;
        if (m > maxValue_)
            maxValue_ = m;
    }
}

void TChartValueList::ReserveOneMore()
{
    if (values_.size() == values_.capacity())
        values_.reserve(values_.empty() ? 16 : values_.size() * 2);
}

void TChartValueList::Clear()
{
    values_.clear();
    minValue_ = maxValue_ = totalValue_ = totalAbsValue_ = 0.0;
}

void TChartValueList::SetMultiplier(double m)
{
    if (m == multiplier_)
        return;
    multiplier_ = m;
    RecomputeStatistics();
}

void TChartValueList::RecomputeStatistics()
{
    minValue_ = maxValue_ = totalValue_ = totalAbsValue_ = 0.0;
    bool first = true;
    for (double raw : values_) {
        const double m = raw * multiplier_;
        totalValue_ += m;
        totalAbsValue_ += std::fabs(m);
        if (first || m < minValue_)
            minValue_ = m;
        if (first || m > maxValue_)
            maxValue_ = m;
        first = false;
    }
}
