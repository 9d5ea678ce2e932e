#include "monitor/widgets/MonitorPage.h"

#include "monitor/StatusViews.h"

namespace zav {

MonitorPage::MonitorPage(AppContext& context, QWidget* parent)
    : ZavPage(context, parent), language_(context.language) {}

const LiveStores& MonitorPage::live() const {
    static const LiveStores empty; // no link yet: every page shows its empty values
    return context_.scheduler ? context_.scheduler->live() : empty;
}

MeasureLayout MonitorPage::layout() const {
    if (!context_.scheduler) return {};
    return measureLayout(context_.scheduler->upsModel(), context_.scheduler->settings().SettingData);
}

bool MonitorPage::modulesChoosable() const {
    return context_.scheduler && context_.scheduler->portOpen() && modulesPresent(live());
}

} // namespace zav
