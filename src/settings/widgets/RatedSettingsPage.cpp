#include "settings/widgets/RatedSettingsPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace zav {

RatedSettingsPage::RatedSettingsPage(AppContext& context, QWidget* parent) : SettingsPage(context, parent) {
    auto* rate = new QGroupBox(this);
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

    addSetButton(this, SetPage::Rated)->setGeometry(10, 305, 90, 25);
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
}

} // namespace zav
