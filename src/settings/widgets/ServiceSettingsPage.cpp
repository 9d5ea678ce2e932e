#include "settings/widgets/ServiceSettingsPage.h"

#include "app/widgets/WheelStepScroll.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zav {

namespace {

// Set buttons are wired by the write side; until then they stay disabled and out of sight, so no
// button offers a write that does not happen.
QPushButton* setButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setEnabled(false);
    button->setVisible(false);
    return button;
}

} // namespace

QWidget* ServiceSettingsPage::scrollTab(const char* tabName, const char* scrollName, const char* groupName,
                                        SettingGroup group, const char* hintName, const char* buttonName) {
    auto* tab = new QWidget;
    tab->setObjectName(QLatin1String(tabName));
    auto* column = new QVBoxLayout(tab);
    auto* scroll = new QScrollArea(tab);
    scroll->setObjectName(QLatin1String(scrollName));
    scroll->setWidgetResizable(false); // the group keeps the height of its rows and scrolls
    auto* box = new QGroupBox;
    box->setObjectName(QLatin1String(groupName));
    buildRows(group, box);
    scroll->setWidget(box);
    column->addWidget(scroll, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(named(new QLabel(tab), hintName), 1);
    bottom->addWidget(named(setButton(tab), buttonName));
    column->addLayout(bottom);
    return tab;
}

ServiceSettingsPage::ServiceSettingsPage(AppContext& context, QWidget* parent)
    : SettingsPage(context, parent) {
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl3"));
    layout->addWidget(tabs_);

    tabs_->addTab(scrollTab("TabSheetSysSet", "ScrollBox1", "GroupBoxSeverSet", SettingGroup::Server,
                            "LabelHintServSet", "ButtonSeverSend"),
                  QString());
    tabs_->addTab(scrollTab("TabSheetBattSet", "ScrollBox2", "GroupBoxBattSet", SettingGroup::Batt,
                            "LabelHintBatt", "ButtonBattSetSend"),
                  QString());

    // The long groups scroll 10 pixels a wheel step; a click on them makes the wheel work.
    for (const char* box : {"ScrollBox1", "ScrollBox2"})
        WheelStepScroll::install(this, QLatin1String(box));

    auto* config = new QWidget;
    config->setObjectName(QStringLiteral("TabSheetCfgCode"));
    auto* cfgCode1 = new QGroupBox(config);
    cfgCode1->setObjectName(QStringLiteral("GroupBoxCfgCode1"));
    cfgCode1->move(10, 10);
    buildRows(SettingGroup::CfgCode1, cfgCode1);
    buildBitBoxes(BitWord::CfgCode1, cfgCode1);
    cfgCode2_ = new QGroupBox(config);
    cfgCode2_->setObjectName(QStringLiteral("GroupBoxCfgCode2"));
    cfgCode2_->move(400, 10);
    buildRows(SettingGroup::CfgCode2, cfgCode2_);
    named(new QLabel(config), "LabelcfgCode")->setGeometry(400, 180, 340, 17);
    named(setButton(config), "ButtonCfgCodeSet")->setGeometry(400, 210, 90, 25);
    tabs_->addTab(config, QString());

    // Alarm events and the PC shutdown settings have pages of their own that fill these tabs.
    auto* alarm = new QWidget;
    alarm->setObjectName(QStringLiteral("TabSheetUpsEvent"));
    tabs_->addTab(alarm, QString());

    auto* dry = new QWidget;
    dry->setObjectName(QStringLiteral("TabSheetDryContact"));
    auto* input = new QGroupBox(dry);
    input->setObjectName(QStringLiteral("GroupBoxIPDryContact"));
    input->move(10, 10);
    buildRows(SettingGroup::IPDry, input);
    auto* output = new QGroupBox(dry);
    output->setObjectName(QStringLiteral("GroupBoxOPDryContact"));
    output->move(380, 10);
    buildRows(SettingGroup::OPDry, output);
    named(setButton(dry), "ButtonDryContactSet")->setGeometry(10, 180, 90, 25);
    tabs_->addTab(dry, QString());

    auto* shutdown = new QWidget;
    shutdown->setObjectName(QStringLiteral("TabSheetShutdown"));
    tabs_->addTab(shutdown, QString());
}

void ServiceSettingsPage::pageInit(int language, int model, RegisterStore& SettingData) {
    SettingsPage::pageInit(language, model, SettingData);
    tabs_->setCurrentIndex(TabSystem);
}

void ServiceSettingsPage::applyModelLayout(int model) {
    for (const SettingGroup group : {SettingGroup::Server, SettingGroup::Batt, SettingGroup::CfgCode1,
                                     SettingGroup::CfgCode2, SettingGroup::IPDry, SettingGroup::OPDry})
        applyGroupLayout(group, model);
    applyBitBoxLayout(BitWord::CfgCode1, model);
    cfgCode2_->setHidden(!cfgCode2GroupShown(model));
    tabs_->setTabVisible(TabDryContact, dryContactTabShown(model));
}

} // namespace zav
