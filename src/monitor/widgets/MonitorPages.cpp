#include "monitor/widgets/MonitorPages.h"

#include "monitor/widgets/CabStatusPage.h"
#include "monitor/widgets/HomePage.h"
#include "monitor/widgets/MeasurePage.h"
#include "monitor/widgets/UnitStatusPage.h"

namespace zav {

ZavPage* createMonitorPage(int index, AppContext& context, QWidget* parent) {
    switch (index) {
    case 0:
        return new HomePage(context, parent);
    case 1:
        return new MeasurePage(MeasureGrid::Bypass, context, parent);
    case 2:
        return new MeasurePage(MeasureGrid::Main, context, parent);
    case 3:
        return new MeasurePage(MeasureGrid::Output, context, parent);
    case 4:
        return new MeasurePage(MeasureGrid::Battery, context, parent);
    case 5:
        return new CabStatusPage(context, parent);
    case 6:
        return new UnitStatusPage(context, parent);
    default:
        return nullptr;
    }
}

} // namespace zav
