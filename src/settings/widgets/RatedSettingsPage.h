#pragma once
// Page 9, rated settings: GroupBoxRateSet and the system-code tabs (PageControlSysCode).

#include "settings/widgets/SettingsPage.h"

class QGroupBox;
class QPushButton;
class QTabWidget;

namespace zav {

class RatedSettingsPage : public SettingsPage {
    Q_OBJECT
  public:
    RatedSettingsPage(AppContext& context, QWidget* parent = nullptr);
    // RatedPageInit: also resets the text registers 427..439 to blanks.
    void pageInit(int language, int model, RegisterStore& SettingData) override;

  protected:
    void applyModelLayout(int model) override;

  private:
    QTabWidget* sysCodeTabs_ = nullptr;
    QGroupBox* rate_ = nullptr;
    QPushButton* setButton_ = nullptr;
};

} // namespace zav
