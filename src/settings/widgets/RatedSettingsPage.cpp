#include "settings/widgets/RatedSettingsPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

namespace zav {

RatedSettingsPage::RatedSettingsPage(AppContext& context, QWidget* parent) : SettingsPage(context, parent) {
    auto* rate = rate_ = new QGroupBox(this);
    rate->setObjectName(QStringLiteral("GroupBoxRateSet"));
    rate->move(10, 10);
    buildRows(SettingGroup::Rate, rate);

    sysCodeTabs_ = new QTabWidget(this);
    sysCodeTabs_->setObjectName(QStringLiteral("PageControlSysCode"));
    sysCodeTabs_->setGeometry(285, 10, 420, 300);
    const struct {
        const char* name;
        SettingGroup group;
    } tabs[] = {{"TabSheetSysCode1", SettingGroup::SysCode1},
                {"TabSheetSysCode4", SettingGroup::SysCode4},
                {"TabSheetSysCode5", SettingGroup::SysInfo}};
    for (const auto& t : tabs) {
        auto* tab = new QWidget;
        tab->setObjectName(QLatin1String(t.name));
        sysCodeTabs_->addTab(tab, QString());
        buildRows(t.group, tab);
    }
    buildBitBoxes(BitWord::SysCode1, sysCodeTabs_->widget(0));
    buildBitBoxes(BitWord::SysCode4, sysCodeTabs_->widget(1));
    named(new QLabel(sysCodeTabs_->widget(2)), "LabelHintSysCode5")->setGeometry(10, 130, 400, 17);

    setButton_ = addSetButton(this, SetPage::Rated);
    setButton_->setGeometry(10, 305, 90, 25);
    installHints(SettingGroup::SysInfo, "LabelHintSysCode5", QString());
}

void RatedSettingsPage::pageInit(int language, int model, RegisterStore& SettingData) {
    SettingsPage::pageInit(language, model, SettingData);
    for (int i = 0; i < sysCodeTabs_->count(); ++i)
        sysCodeTabs_->setTabVisible(i, true);
    resetTextRegisters(SettingData);
}

void RatedSettingsPage::applyModelLayout(int model) {
    for (const SettingGroup group :
         {SettingGroup::Rate, SettingGroup::SysCode1, SettingGroup::SysCode4, SettingGroup::SysInfo})
        applyGroupLayout(group, model);
    applyBitBoxLayout(BitWord::SysCode1, model);
    applyBitBoxLayout(BitWord::SysCode4, model);

    // The groups keep their order: the rated group, the system-code tabs beside it, the Set button
    // under the rated group; each moves aside as far as the one before it grew.
    for (int i = 0; i < sysCodeTabs_->count(); ++i)
        growToFit(sysCodeTabs_->widget(i));
    const QSize tabs = sysCodeTabs_->minimumSizeHint().expandedTo(QSize(420, 300));
    sysCodeTabs_->setGeometry(rate_->geometry().right() + 1 + 15, 10, tabs.width(), tabs.height());
    setButton_->move(10, std::max(305, rate_->geometry().bottom() + 1 + 14));
    growToFit(this);
}

} // namespace zav
