#include "settings/widgets/ServiceSettingsPage.h"
#include "settings/widgets/FieldDataPanel.h"

#include "foundation/AppTexts.h"
#include "pagekit/WheelStepScroll.h"
#include "settings/AlarmEvents.h"
#include "settings/AlarmSelection.h"
#include "settings/SettingTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zav {

QWidget* ServiceSettingsPage::scrollTab(const char* tabName, const char* scrollName, const char* groupName,
                                        SettingGroup group, const char* hintName, SetPage page) {
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
    QPushButton* set = addSetButton(tab, page, true);
    bottom->addWidget(resultLine(page), 1);
    bottom->addWidget(set);
    column->addLayout(bottom);
    return tab;
}

namespace {

// A hand-placed tab inside a scroll area of its own: the tab widget then needs little height, so
// the page fits a small window and each tab scrolls by itself (one scroll bar, not two nested).
QWidget* scrolled(QWidget* content) {
    auto* holder = new QScrollArea;
    holder->setObjectName(content->objectName() + QStringLiteral("Scroll"));
    holder->setFrameShape(QFrame::NoFrame);
    holder->setWidgetResizable(false);
    holder->setWidget(content);
    return holder;
}

// The same with the tab's Set button and its result line in a row under the scroll area, so Set
// stays in sight however small the window is.
QWidget* scrolledWithSet(QWidget* content, QPushButton* set, QLabel* result) {
    auto* tab = new QWidget;
    tab->setObjectName(content->objectName() + QStringLiteral("Tab"));
    auto* column = new QVBoxLayout(tab);
    column->addWidget(scrolled(content), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(result, 1);
    bottom->addWidget(set);
    column->addLayout(bottom);
    return tab;
}

} // namespace

ServiceSettingsPage::ServiceSettingsPage(AppContext& context, QWidget* parent)
    : SettingsPage(context, parent) {
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl3"));
    layout->addWidget(tabs_);

    tabs_->addTab(scrollTab("TabSheetSysSet", "ScrollBox1", "GroupBoxSeverSet", SettingGroup::Server,
                            "LabelHintServSet", SetPage::System),
                  QString());
    tabs_->widget(TabSystem)->layout()->addWidget(new FieldDataPanel(context, tabs_->widget(TabSystem)));
    tabs_->addTab(scrollTab("TabSheetBattSet", "ScrollBox2", "GroupBoxBattSet", SettingGroup::Batt,
                            "LabelHintBatt", SetPage::Battery),
                  QString());

    // The long groups scroll 10 pixels a wheel step; a click on them makes the wheel work.
    for (const char* box : {"ScrollBox1", "ScrollBox2"})
        WheelStepScroll::install(this, QLatin1String(box));
    installHints(SettingGroup::Server, "LabelHintServSet", QStringLiteral(" "));
    installHints(SettingGroup::Batt, "LabelHintBatt", QStringLiteral(" "));

    auto* config = new QWidget;
    config->setObjectName(QStringLiteral("TabSheetCfgCode"));
    config_ = config;
    auto* cfgCode1 = cfgCode1_ = new QGroupBox(config);
    cfgCode1->setObjectName(QStringLiteral("GroupBoxCfgCode1"));
    cfgCode1->move(10, 10);
    buildRows(SettingGroup::CfgCode1, cfgCode1);
    buildBitBoxes(BitWord::CfgCode1, cfgCode1);
    cfgCode2_ = new QGroupBox(config);
    cfgCode2_->setObjectName(QStringLiteral("GroupBoxCfgCode2"));
    cfgCode2_->move(400, 10);
    buildRows(SettingGroup::CfgCode2, cfgCode2_);
    named(new QLabel(config), "LabelcfgCode")->setGeometry(400, 180, 340, 17);
    cfgCodeSet_ = addSetButton(config, SetPage::CfgCode, true);
    // ComboBoxRotationPrtChange: the test-mode note under the group.
    for (const char* name : {"ComboBoxRotationPrt", "ComboBoxAmbOvTmpShutdown", "ComboBoxGenInChgCurrLevel"})
        connect(static_cast<QComboBox*>(widget(name)), &QComboBox::currentIndexChanged, this, [this] {
            const auto* rotation = static_cast<QComboBox*>(widget("ComboBoxRotationPrt"));
            static_cast<QLabel*>(widget("LabelcfgCode"))
                ->setText(rotationHint(rotation->currentIndex(), language()));
        });
    tabs_->addTab(scrolledWithSet(config, cfgCodeSet_, resultLine(SetPage::CfgCode)), QString());

    tabs_->addTab(scrolled(alarmTab()), QString());

    auto* dry = dry_ = new QWidget;
    dry->setObjectName(QStringLiteral("TabSheetDryContact"));
    auto* input = input_ = new QGroupBox(dry);
    input->setObjectName(QStringLiteral("GroupBoxIPDryContact"));
    input->move(10, 10);
    buildRows(SettingGroup::IPDry, input);
    auto* output = output_ = new QGroupBox(dry);
    output->setObjectName(QStringLiteral("GroupBoxOPDryContact"));
    output->move(380, 10);
    buildRows(SettingGroup::OPDry, output);
    drySet_ = addSetButton(dry, SetPage::DryContacts, true);
    tabs_->addTab(scrolledWithSet(dry, drySet_, resultLine(SetPage::DryContacts)), QString());

    auto* shutdown = new QWidget;
    shutdown->setObjectName(QStringLiteral("TabSheetShutdown"));
    tabs_->addTab(shutdown, QString());
}

QWidget* ServiceSettingsPage::alarmTab() {
    auto* tab = alarm_ = new QWidget;
    tab->setObjectName(QStringLiteral("TabSheetUpsEvent"));
    auto* group = new QGroupBox(tab);
    group->setObjectName(QStringLiteral("GroupBoxUpsEvent"));
    group->setGeometry(10, 10, 690, 400);
    auto* grid = new QGridLayout(group);
    const QVector<AlarmEvent>& events = alarmEvents();
    constexpr int kRowsPerColumn = 11;
    for (int i = 0; i < events.size(); ++i) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QLatin1String(events[i].name));
        // The beeper follows the box at once; ButtonOK only makes the choice last.
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
            if (context_.alarms) context_.alarms->setTicked(box->objectName(), on);
        });
        grid->addWidget(box, i % kRowsPerColumn, i / kRowsPerColumn);
        eventBoxes_ << box;
    }
    named(new QLabel(tab), "LabelBeeper")->setGeometry(10, 420, 60, 21);
    beeper_ = static_cast<QComboBox*>(named(new QComboBox(tab), "ComboBoxBeeperOnOff"));
    beeper_->setGeometry(75, 420, 80, 21);
    // ComboBoxBeeperOnOffClick: the switch is kept at once.
    connect(beeper_, &QComboBox::activated, this, [this](int item) {
        if (context_.alarms) context_.alarms->setBeeperOn(item == 1);
        if (context_.profile && !saveBeeperSwitch(*context_.profile, item))
            showMessage(profileWriteFailedText(language()));
    });
    const struct {
        const char* name;
        int left;
        void (ServiceSettingsPage::*click)();
    } buttons[] = {{"ButtonSelAll", 200, &ServiceSettingsPage::selectAllEvents},
                   {"ButtonClrAll", 300, &ServiceSettingsPage::clearAllEvents},
                   {"ButtonOK", 400, &ServiceSettingsPage::saveEvents}};
    for (const auto& b : buttons) {
        auto* button = static_cast<QPushButton*>(named(new QPushButton(tab), b.name));
        button->setGeometry(b.left, 418, 90, 25);
        connect(button, &QPushButton::clicked, this, b.click);
    }
    return tab;
}

void ServiceSettingsPage::selectAllEvents() {
    for (QCheckBox* box : eventBoxes_)
        box->setChecked(true);
}

void ServiceSettingsPage::clearAllEvents() {
    for (QCheckBox* box : eventBoxes_)
        box->setChecked(false);
}

void ServiceSettingsPage::saveEvents() {
    if (!context_.profile) return;
    QHash<QString, bool> ticks;
    for (const QCheckBox* box : eventBoxes_)
        ticks.insert(box->objectName(), box->isChecked());
    if (!saveAlarmEvents(*context_.profile, ticks)) showMessage(profileWriteFailedText(language()));
}

void ServiceSettingsPage::loadEvents() {
    if (!context_.profile) return;
    const QHash<QString, bool> ticks = loadAlarmEvents(*context_.profile);
    for (QCheckBox* box : eventBoxes_) {
        const bool on = ticks.value(box->objectName(), true);
        box->setChecked(on);
        if (context_.alarms) context_.alarms->setTicked(box->objectName(), on); // also when unchanged
    }
}

void ServiceSettingsPage::applyAlarmTexts(int language) {
    const QVector<AlarmEvent>& events = alarmEvents();
    for (int i = 0; i < events.size() && i < eventBoxes_.size(); ++i)
        eventBoxes_[i]->setText(alarmEventCaption(events[i], language));
    static_cast<QLabel*>(widget("LabelBeeper"))
        ->setText(settingsPageText(QStringLiteral("LabelBeeper"), language));
    const QSignalBlocker block(beeper_);
    beeper_->clear();
    beeper_->addItems(
        settingsPageText(QStringLiteral("ComboBoxBeeperOnOff"), language).split(QLatin1Char('|')));
    beeper_->setCurrentIndex(context_.profile ? loadBeeperSwitch(*context_.profile) : 1);
    if (context_.alarms) context_.alarms->setBeeperOn(beeper_->currentIndex() == 1);
}

void ServiceSettingsPage::pageShown() {
    loadEvents(); // opening the page discards ticks that were not confirmed
}

void ServiceSettingsPage::pageInit(int language, int model, RegisterStore& SettingData) {
    SettingsPage::pageInit(language, model, SettingData);
    applyAlarmTexts(language);
    loadEvents();
    tabs_->setCurrentIndex(TabSystem);
}

void ServiceSettingsPage::applyModelLayout(int model) {
    for (const SettingGroup group : {SettingGroup::Server, SettingGroup::Batt, SettingGroup::CfgCode1,
                                     SettingGroup::CfgCode2, SettingGroup::IPDry, SettingGroup::OPDry})
        applyGroupLayout(group, model);
    applyBitBoxLayout(BitWord::CfgCode1, model);
    cfgCode2_->setHidden(!cfgCode2GroupShown(model));
    tabs_->setTabVisible(TabDryContact, dryContactTabShown(model));
    arrangeTabs();
}

void ServiceSettingsPage::arrangeTabs() {
    // Configuration codes: the second group beside the first while both fit the page of a 1024
    // wide window, else under it; its note and the Set button follow it.
    growToFit(cfgCode1_, cfgCode1_->minimumSize());
    const QRect first = cfgCode1_->geometry();
    if (first.right() + 1 + 10 + cfgCode2_->width() <= kPageWidth)
        cfgCode2_->move(first.right() + 1 + 10, 10);
    else
        cfgCode2_->move(10, first.bottom() + 1 + 10);
    QWidget* note = widget("LabelcfgCode");
    note->move(cfgCode2_->x(), cfgCode2_->geometry().bottom() + 1 + 10);
    growToFit(config_);

    // Dry contacts: the output group beside the input group, the Set button under both.
    output_->move(input_->geometry().right() + 1 + 10, 10);
    growToFit(dry_);
    growToFit(alarm_);
}

} // namespace zav
