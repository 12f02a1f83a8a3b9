#pragma once
// One coordinate of a series' points (its x or its y values), with the
// ordered placement of new values and running statistics.
//
// Values are stored raw; everything read for drawing and scaling is the
// stored value times Multiplier. The statistics are kept in multiplied form:
// MinValue and MaxValue are the least and greatest multiplied values of a
// non-empty list; all four statistics are 0 for an empty list.
#include <cstddef>
#include <string>
#include <vector>

enum TChartListOrder { loNone, loAscending, loDescending };

class TChartValueList {
public:
    TChartValueList(std::string name, TChartListOrder order) : name_(std::move(name)), order_(order) {}

    // Places v by Order and returns its index. Ascending: after every value
    // <= v (equal values keep their arrival order); descending: after every
    // value >= v; loNone or an empty list: at the end. Compares raw values.
    int AddValue(double v);
    // Inserts v at index i (0..Count()) without ordering.
    void InsertValueAt(int i, double v);
    void Clear();
    // Makes room for one more value (growing geometrically), so that the
    // next insertion cannot fail.
    void ReserveOneMore();

    int Count() const { return static_cast<int>(values_.size()); }
    // The multiplied value at index i.
    double Value(int i) const { return values_[static_cast<std::size_t>(i)] * multiplier_; }
    double RawValue(int i) const { return values_[static_cast<std::size_t>(i)]; }

    const std::string& Name() const { return name_; }
    TChartListOrder Order() const { return order_; }
    void SetOrder(TChartListOrder order) { order_ = order; }
    double Multiplier() const { return multiplier_; }
    // Changing the multiplier rescales the statistics with it.
    void SetMultiplier(double m);
    bool DateTime() const { return dateTime_; }
    void SetDateTime(bool d) { dateTime_ = d; }

    double PendingValue = 0.0;

    double MinValue() const { return minValue_; }
    double MaxValue() const { return maxValue_; }
    double TotalValue() const { return totalValue_; }
    double TotalAbsValue() const { return totalAbsValue_; }

private:
    void CountIn(double raw);
    void RecomputeStatistics();

    std::vector<double> values_;
    std::string name_;
    TChartListOrder order_;
    double multiplier_ = 1.0;
    bool dateTime_ = false;
    double minValue_ = 0.0;
    double maxValue_ = 0.0;
    double totalValue_ = 0.0;
    double totalAbsValue_ = 0.0;
};
