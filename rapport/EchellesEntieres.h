#pragma once
#include "chart/TChart.h"

#include <vector>

// While alive, the charts show their whole automatic scale (a report shows
// the whole run or class, whatever zoom the window has); their scales come
// back after.
class EchellesEntieres {
public:
    explicit EchellesEntieres(const std::vector<TChart*>& graphiques)
    {
        for (TChart* g : graphiques)
            for (TChartAxis* axe : {&g->LeftAxis(), &g->BottomAxis()}) {
                axes_.push_back({axe, axe->AutomaticMinimum(), axe->AutomaticMaximum(), axe->Minimum(),
                                 axe->Maximum()});
                axe->SetAutomatic(true);
            }
    }
    ~EchellesEntieres()
    {
        for (const Axe& a : axes_) {
            if (a.automatiqueMin && a.automatiqueMax)
                continue; // automatic still
            a.axe->SetMinMax(a.minimum, a.maximum);
            a.axe->SetAutomaticMinimum(a.automatiqueMin);
            a.axe->SetAutomaticMaximum(a.automatiqueMax);
        }
    }
    EchellesEntieres(const EchellesEntieres&) = delete;
    EchellesEntieres& operator=(const EchellesEntieres&) = delete;

private:
    struct Axe {
        TChartAxis* axe;
        bool automatiqueMin, automatiqueMax;
        double minimum, maximum;
    };
    std::vector<Axe> axes_;
};
