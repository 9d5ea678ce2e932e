#include "settings/widgets/SettingsPages.h"

#include "link/Scheduler.h"
#include "settings/widgets/RatedSettingsPage.h"
#include "settings/widgets/ServiceSettingsPage.h"

namespace zav {

// The scheduler is reached only from this file: it holds SettingData and UpsModel.

void SettingsPage::applyLanguage(int language) {
    if (Scheduler* s = context_.scheduler)
        pageInit(language, s->upsModel(), s->settings().SettingData);
    else
        pageInit(language, model_, idleStore_);
}

void SettingsPage::refresh() {
    Scheduler* s = context_.scheduler;
    if (!s) return;
    settingDisplay(s->settings().SettingData, s->upsModel(), context_.language, clock_());
}

ZavPage* createSettingsPage(int index, AppContext& context, QWidget* parent) {
    SettingsPage* page = nullptr;
    if (index == 9)
        page = new RatedSettingsPage(context, parent);
    else if (index == 10)
        page = new ServiceSettingsPage(context, parent);
    if (!page) return nullptr;
    page->applyLanguage(context.language);
    if (context.scheduler)
        QObject::connect(context.scheduler, &Scheduler::settingsDownloaded, page, &SettingsPage::refresh);
    return page;
}

} // namespace zav
