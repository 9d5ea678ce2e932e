#pragma once
// Page 10, user-service settings: PageControl3 with the system, battery, configuration-code,
// alarm-settings and dry-contact tabs. The shutdown tab is filled by the PC protection.

#include "settings/widgets/SettingsPage.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTabWidget;

namespace zav {

class ServiceSettingsPage : public SettingsPage {
    Q_OBJECT
  public:
    ServiceSettingsPage(AppContext& context, QWidget* parent = nullptr);
    // ServicePageInit: also shows the first tab.
    void pageInit(int language, int model, RegisterStore& SettingData) override;
    void pageShown() override;

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
                       const char* hintName, SetPage page);
    // Alarm settings: the events warned about on the PC and the beeper switch (ZAV.ini).
    QWidget* alarmTab();
    void applyAlarmTexts(int language);
    // The hand-placed tabs: groups side by side as far as they grew, each tab as large as it holds.
    void arrangeTabs();
    static constexpr int kPageWidth = 820; // what a 1024 wide window leaves for a page
    void loadEvents();
    void selectAllEvents(); // ButtonSelAllClick
    void clearAllEvents();  // ButtonClrAllClick
    void saveEvents();      // ButtonOKClick
    QTabWidget* tabs_ = nullptr;
    QWidget* cfgCode2_ = nullptr;
    QWidget* config_ = nullptr;
    QGroupBox* cfgCode1_ = nullptr;
    QPushButton* cfgCodeSet_ = nullptr;
    QWidget* dry_ = nullptr;
    QGroupBox* input_ = nullptr;
    QGroupBox* output_ = nullptr;
    QPushButton* drySet_ = nullptr;
    QWidget* alarm_ = nullptr;
    QVector<QCheckBox*> eventBoxes_;
    QComboBox* beeper_ = nullptr;
};

} // namespace zav
