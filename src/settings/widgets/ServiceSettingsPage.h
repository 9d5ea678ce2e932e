#pragma once
// Page 10, user-service settings: PageControl3 with the system, battery, configuration-code and
// dry-contact tabs. The alarm-settings and shutdown tabs are placeholders here (their own pages
// fill them).

#include "settings/widgets/SettingsPage.h"

class QTabWidget;

namespace zav {

class ServiceSettingsPage : public SettingsPage {
    Q_OBJECT
  public:
    ServiceSettingsPage(AppContext& context, QWidget* parent = nullptr);
    // ServicePageInit: also shows the first tab.
    void pageInit(int language, int model, RegisterStore& SettingData) override;

    enum Tab {
        TabSystem = 0,
        TabBattery = 1,
        TabConfig = 2,
        TabAlarm = 3,
        TabDryContact = 4,
        TabShutdown = 5
    };

  protected:
    void applyModelLayout(int model) override;

  private:
    QWidget* scrollTab(const char* tabName, const char* scrollName, const char* groupName, SettingGroup group,
                       const char* hintName, const char* buttonName);
    QTabWidget* tabs_ = nullptr;
    QWidget* cfgCode2_ = nullptr;
};

} // namespace zav
