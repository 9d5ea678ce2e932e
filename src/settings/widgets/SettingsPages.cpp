#include "settings/widgets/SettingsPages.h"

#include "session/UpsSession.h"
#include "settings/widgets/RatedSettingsPage.h"
#include "settings/widgets/ServiceSettingsPage.h"

namespace zav {

// The scheduler is reached only from this file: it holds SettingData and UpsModel.

void SettingsPage::applyLanguage(int language) {
    if (UpsSession* s = context_.scheduler)
        pageInit(language, s->upsModel(), s->settings().SettingData);
    else
        pageInit(language, model_, idleStore_);
}

void SettingsPage::refresh() {
    UpsSession* s = context_.scheduler;
    if (!s) return;
    settingDisplay(s->settings().SettingData, s->upsModel(), context_.language, clock_());
    reportUnwritten(); // the read-back of this page's Set has ended
}

RegisterStore& SettingsPage::settingData() {
    return context_.scheduler ? context_.scheduler->settings().SettingData : idleStore_;
}

RegisterStore* SettingsPage::settingNew() {
    return context_.scheduler ? &context_.scheduler->settings().SettingNew : &idleNew_;
}

bool SettingsPage::portOpen() const {
    return context_.scheduler && context_.scheduler->portOpen();
}

bool SettingsPage::startWriteSequence(const QVector<WriteEntry>& entries) {
    return context_.scheduler && context_.scheduler->startWriteSequence(entries);
}

QVector<WriteResult> SettingsPage::writeResults() const {
    return context_.scheduler ? context_.scheduler->writeJob().results() : QVector<WriteResult>{};
}

ZavPage* createSettingsPage(int index, AppContext& context, QWidget* parent) {
    SettingsPage* page = nullptr;
    if (index == 9)
        page = new RatedSettingsPage(context, parent);
    else if (index == 10)
        page = new ServiceSettingsPage(context, parent);
    if (!page) return nullptr;
    page->applyLanguage(context.language);
    if (context.scheduler) {
        QObject::connect(context.scheduler, &UpsSession::settingsDownloaded, page, &SettingsPage::refresh);
        // A link reset cuts a running sequence short: say what was not confirmed.
        QObject::connect(context.scheduler, &UpsSession::linkReset, page, [page] { page->reportUnwritten(false); });
    }
    return page;
}

} // namespace zav
