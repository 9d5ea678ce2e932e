// The rated and user-service settings pages over a scheduler that downloads the settings from a
// scripted UPS on a fake channel: the pages are built through the page factory, the download runs
// for real, and the values shown are read back by widget name.

#include "FakeUps.h"
#include "settings/widgets/SettingsPage.h"
#include "settings/widgets/SettingsPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

constexpr int CN = 0, EN = 1, CHT = 2;

class SettingsPagesTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    AppContext context{&scheduler, EN};
    QWidget window;
    SettingsPage* rated = nullptr;
    SettingsPage* service = nullptr;
    const QDateTime pcNow{QDate(2031, 7, 8), QTime(9, 10, 11)};

    void SetUp() override {
        rated = qobject_cast<SettingsPage*>(createSettingsPage(9, context, &window));
        service = qobject_cast<SettingsPage*>(createSettingsPage(10, context, &window));
        ASSERT_NE(rated, nullptr);
        ASSERT_NE(service, nullptr);
        for (SettingsPage* page : {rated, service})
            page->setClock([this] { return pcNow; });
    }

    // Connect at 9600 baud, RTU, as UpsModel `model`; FormStrInit re-initialises the pages.
    void connectAs(int model) {
        ups.mode = Protocol::Rtu;
        ConnectRequest request;
        request.modelItem = model + 1;
        request.baudItem = 3;
        request.portName = "/dev/ttyFAKE";
        request.protocol = Protocol::Rtu;
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
        applyLanguage(context.language);
    }
    void applyLanguage(int language) {
        context.language = language;
        rated->applyLanguage(language);
        service->applyLanguage(language);
    }
    // FormStrInit for a new language: the page texts, then ResetLinkState (a new download is due).
    void formStrInit(int language) {
        applyLanguage(language);
        scheduler.resetLinkState();
    }
    bool settingsDownloaded() {
        QSignalSpy spy(&scheduler, &UpsSession::settingsDownloaded);
        return ups.stepUntil([&] { return spy.count() >= 1; }, 400);
    }
    void setText(int first, const char* text, int registers) {
        QByteArray bytes(text);
        bytes = bytes.leftJustified(registers * 2, '\0');
        for (int k = 0; k < registers; ++k)
            ups.registers[first + k] = uint16_t(uint8_t(bytes[2 * k]) << 8 | uint8_t(bytes[2 * k + 1]));
    }

    template <typename T> T* widget(const char* name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) {
        auto* edit = widget<QLineEdit>(name);
        return edit ? edit->text() : QString("<missing>");
    }
    QString selected(const char* name) {
        auto* combo = widget<QComboBox>(name);
        if (!combo) return "<missing>";
        return combo->currentIndex() < 0 ? QString("<none>") : combo->currentText();
    }
    // Position of a widget when the page is drawn.
    QPoint at(const char* name) {
        auto* w = widget<QWidget>(name);
        return w ? w->pos() : QPoint(-1, -1);
    }
};

} // namespace

TEST_F(SettingsPagesTest, OnlyTreeIndexes9And10AreSettingsPages) {
    for (const int index : {0, 8, 11, 15})
        EXPECT_EQ(createSettingsPage(index, context, &window), nullptr) << index;
    // Every widget a row names exists once, on one of the two pages.
    for (const SettingRow& row : settingRows())
        for (const char* name : {row.label, row.oldName, row.newName}) {
            if (!name) continue;
            EXPECT_EQ(window.findChildren<QWidget*>(name).size(), 1) << name;
        }
    for (const char* name : {"ButtonRateSettingSend", "ButtonSeverSend", "ButtonBattSetSend",
                             "ButtonCfgCodeSet", "ButtonDryContactSet"})
        EXPECT_FALSE(widget<QPushButton>(name)->isEnabled()) << name; // until the window finds the link free
}

TEST_F(SettingsPagesTest, ShowsTheValuesTheUpsHoldsAfterTheDownload) {
    const std::map<int, uint16_t> values = {
        {301, 2},      {302, 3},      {303, 1},      {304, 220},    {305, 5},      {306, 30},
        {307, 150},    {308, 12},     {309, 345},    {311, 40},     {312, 100},    {313, 225},
        {314, 230},    {315, 165},    {316, 175},    {317, 10},     {318, 12},     {319, 4320},
        {320, 2160},   {321, 60},     {322, 40},     {323, 20},     {324, 15},     {325, 220},
        {326, 50},     {327, 230},    {328, 60},     {329, 0x0011}, {330, 0x0008}, {331, 0x0403},
        {332, 110},    {333, 300},    {334, 5},      {369, 0x8001}, {373, 10},     {374, 2},
        {377, 0x0B03}, {378, 0x0005}, {379, 0x0E09}, {380, 0x0603}, {381, 30},     {382, 60},
        {383, 2},      {384, 365},    {385, 0x3C2D}, {386, 0x00A0}, {387, 120},    {388, 5},
        {389, 20},     {421, 20000},  {422, 30000},  {423, 40000},  {440, 5},      {441, 10},
        {442, 90},
    };
    for (const auto& [reg, value] : values)
        ups.registers[reg] = value;
    // 375: +20, -40, unlimited, 10 s, bypass only, 100 %, fan 3-level yes.
    ups.registers[375] = uint16_t(2 | 4 << 3 | 3 << 6 | 3 << 8 | 1 << 10 | 7 << 12 | 1 << 15);
    // 376: phase loss yes, rise level 4, inlet level 3, converter mode yes, charger off on generator yes.
    ups.registers[376] = uint16_t(1 | 3 << 1 | 2 << 3 | 1 << 6 | 1 << 12);
    // 370: dormancy 90 %, test mode, 12.5 %, ambient shutdown yes.
    ups.registers[370] = uint16_t(7 | 1 << 3 | 3 << 6 | 1 << 15);
    ups.registers[424] = 0x0907;
    ups.registers[425] = 0x1405;
    ups.registers[426] = 0x0324;
    setText(427, "UPS-10K", 5);
    setText(432, "ACME POWER", 8);

    connectAs(0);
    ASSERT_TRUE(settingsDownloaded());

    const struct {
        const char* name;
        const char* shown;
    } olds[] = {
        {"EditModeOld", "Parallel"},
        {"EditNumOld", "3"},
        {"EditIdOld", "1"},
        {"EditOutVOld", "220"},
        {"EditFreq1Old", "0.5"},
        {"EditFreq2Old", "3.0"},
        {"EditTempCompOld", "15.0"},
        {"Edit3", "0012345"},
        {"EditBattNumOld", "40"},
        {"EditBattAh", "100"},
        {"EditFloatOld", "2.25"},
        {"EditBoostOld", "2.30"},
        {"EditEod1Old", "1.65"},
        {"EditEod2Old", "1.75"},
        {"EditChgOld", "10"},
        {"EditBoostLmtOld", "12"},
        {"EditBoostPrdOld", "4320"},
        {"EditDischgPrdOld", "2160"},
        {"Edit21", "60"},
        {"Edit1", "40"},
        {"Edit22", "20"},
        {"Edit2", "15"},
        {"Edit23", "220"},
        {"Edit24", "50"},
        {"Edit25", "230"},
        {"Edit26", "60"},
        {"Editsyscode1", "17"},
        {"Editsyscode4", "8"},
        {"EditUPSModeOld", "3"},
        {"EditUPSModeNew", "3"},
        {"EditBattLowVoltMult", "1.10"},
        {"EditSoftStartTime", "300"},
        {"EditTxtimes", "5"},
        {"EditCfgCode1", "32769"},
        {"EditBlkPrd", "10"},
        {"EditModRedundantOld", "2"},
        {"EditBypVoltUpLmtOld", "+20"},
        {"EditBypVoltDnLmtOld", "-40"},
        {"EditBypFreqRangeOld", "Unlimited"},
        {"EditBattTxRecDlyOld", "10"},
        {"EditEodEndSysStartOld", "BypOnly"},
        {"EditAgingCurrOld", "100"},
        {"EditFan3LevelOld", "Yes"},
        {"EditAllowLostPhsWork", "Yes"},
        {"EditDeltaTmpErrRange", "Level 4"},
        {"EditFanFaultOff", "Level 3"},
        {"EditFreqTransMode", "Yes"},
        {"EditGenInChgOff", "Yes"},
        {"EditMotorMode", "No"},
        {"EditIPDry1", "BCB Status"},
        {"EditIPDry2", "Stop Boost Charge"},
        {"EditIPDry3", "BCB Online"},
        {"EditOPDry1", "Normal Mode"},
        {"EditOPDry2", "Battery Boost Charge"},
        {"EditOPDry3", "General Alarm"},
        {"EditOPDry4", "Utility Fail"},
        {"EditDeepDischgTimeOld", "30"},
        {"EditNoBattDetPrdOld", "60"},
        {"EditNoBattDetOffTimeOld", "2"},
        {"EditBattRunTimeOld", "365"},
        {"EditBattOvTmpOld", "45"},
        {"EditBattAmbientOvTmpOld", "60"},
        {"EditBattType", "Lead-Acid"},
        {"EditBattLmtChgCurrent", "0.20"},
        {"EditStandbyTimeOld", "120"},
        {"EditSlaveStandbyTimeOld", "5"},
        {"EditChgModCurrLimitOld", "20"},
        {"EditBypFanRunTimeOld", "20000"},
        {"EditModFanRunTimeOld", "30000"},
        {"EditModCapacitorRunTimeOld", "40000"},
        {"EditSysTimeOld", "2024-03-05 14:07"},
        {"EditUPSTypeOld", "UPS-10K"},
        {"EditCompanyNameOld", "ACME POWER"},
        {"EditLogoShowTime", "5"},
        {"EditPowerMods", "10"},
        {"EditCabDustMaintTimeOld", "90"},
        {"EditDormancyLoadLevelOld", "90"},
        {"EditRotationPrtOld", "Test Mode"},
        {"EditGenInChgCurrLevel", "12.5%"},
        {"EditAmbOvTmpShutdown", "Yes"},
    };
    for (const auto& o : olds)
        EXPECT_EQ(text(o.name), QString(o.shown)) << o.name;

    // The New controls are preloaded with the same values.
    const struct {
        const char* name;
        const char* item;
    } news[] = {
        {"ComboBoxMode", "Parallel"},
        {"ComboBoxNum", "3"},
        {"ComboBoxID", "1"},
        {"ComboBoxFloat", "2.25"},
        {"ComboBoxBoost", "2.30"},
        {"ComboBoxEod2", "1.75"},
        {"ComboBoxChg", "10"},
        {"ComboBox16", "60"},
        {"ComboBox17", "20"},
        {"ComboBox19", "230"},
        {"ComboBox21", "60"},
        {"ComboBoxBklTime", "10"},
        {"ComboBoxBypFreqRange", "Unlimited"},
        {"ComboBoxIPDry2", "Stop Boost Charge"},
        {"ComboBoxBattLmtChgCurrent", "0.20"},
        {"ComboBoxRotationPrt", "Test Mode"},
    };
    for (const auto& n : news)
        EXPECT_EQ(selected(n.name), QString(n.item)) << n.name;
    EXPECT_EQ(text("EditFreq1"), QString("0.5"));
    EXPECT_EQ(text("Edit4"), QString("0012345"));
    EXPECT_EQ(text("EditCompanyNameNew"), QString("ACME POWER"));
    EXPECT_EQ(text("EditBattOvTmpNew"), QString("45"));
    EXPECT_TRUE(widget<QCheckBox>("CheckBoxSysCode1Bit0")->isChecked());
    EXPECT_TRUE(widget<QCheckBox>("CheckBoxSysCode1Bit4")->isChecked());
    EXPECT_FALSE(widget<QCheckBox>("CheckBoxSysCode1Bit1")->isChecked());
    EXPECT_TRUE(widget<QCheckBox>("CheckBoxSysCode4Bit3")->isChecked());
    EXPECT_TRUE(widget<QCheckBox>("CheckBoxCfgCode1Bit15")->isChecked());
    EXPECT_EQ(widget<QDateEdit>("DateTimePickerDataNew")->date(), QDate(2024, 3, 5));
    EXPECT_EQ(widget<QTimeEdit>("DateTimePickerTimeNew")->time(), QTime(14, 7, 9));
    EXPECT_FALSE(widget<QLineEdit>("EditStandbyTimeNew")->isEnabled()); // lead-acid
}

TEST_F(SettingsPagesTest, LanguageChangesCaptionsListsAndModeText) {
    ups.registers[301] = 2;
    ups.registers[375] = uint16_t(1 << 10);
    connectAs(0);
    ASSERT_TRUE(settingsDownloaded());
    EXPECT_EQ(text("EditModeOld"), QString("Parallel"));

    formStrInit(CN);
    EXPECT_EQ(widget<QLabel>("Label14")->text(), QString("系统模式"));
    EXPECT_EQ(widget<QComboBox>("ComboBoxMode")->itemText(1), QString("并机"));
    EXPECT_EQ(widget<QComboBox>("ComboBoxMode")->currentIndex(), 0); // rebuilt on item 0
    EXPECT_EQ(widget<QGroupBox>("GroupBoxRateSet")->title(), QString("额定设置"));
    ASSERT_TRUE(settingsDownloaded()); // FormStrInit asks for a new download
    EXPECT_EQ(text("EditModeOld"), QString("并机"));
    EXPECT_EQ(text("EditEodEndSysStartOld"), QString("仅旁路工作"));
    EXPECT_EQ(selected("ComboBoxMode"), QString("并机"));

    formStrInit(CHT);
    ASSERT_TRUE(settingsDownloaded());
    EXPECT_EQ(text("EditModeOld"), QString("並機"));
    EXPECT_EQ(widget<QLabel>("Label14")->text(), QString("系統模式"));
    auto* tabs = widget<QTabWidget>("PageControl3");
    EXPECT_EQ(tabs->tabText(1), QString("電池設置"));
}

TEST_F(SettingsPagesTest, TowerCapacitiesAreShownInKva) {
    ups.registers[321] = 60000; // models 5-8 report VA
    ups.registers[323] = 20000;
    ups.registers[324] = 15000;
    connectAs(6);
    ASSERT_TRUE(settingsDownloaded());
    EXPECT_EQ(text("Edit21"), QString("60"));
    EXPECT_EQ(text("Edit22"), QString("20"));
    EXPECT_EQ(text("Edit2"), QString("15"));
    EXPECT_EQ(selected("ComboBox17"), QString("20"));
    EXPECT_EQ(widget<QLabel>("Label29")->text(), QString("RateKva"));
}

TEST_F(SettingsPagesTest, InvalidUpsClockShowsPlainNumbersAndPickersOnThePcClock) {
    ups.registers[424] = 0x0005;
    ups.registers[425] = 0x1030;
    ups.registers[426] = 0x0213; // 2013-02-30
    connectAs(1);
    ASSERT_TRUE(settingsDownloaded());
    EXPECT_EQ(text("EditSysTimeOld"), QString("2013-2-30 10:5"));
    EXPECT_EQ(widget<QDateEdit>("DateTimePickerDataNew")->date(), pcNow.date());
    EXPECT_EQ(widget<QTimeEdit>("DateTimePickerTimeNew")->time(), pcNow.time());
    EXPECT_FALSE(widget<QDateEdit>("DateTimePickerDataNew")->isHidden()); // model 1 has the clock row

    // DateTimePickerDataNewChange keeps the year within 2000-2099.
    widget<QDateEdit>("DateTimePickerDataNew")->setDate(QDate(2150, 5, 6));
    EXPECT_EQ(widget<QDateEdit>("DateTimePickerDataNew")->date(), QDate(2000, 5, 6));
}

TEST_F(SettingsPagesTest, LayoutOfModel0And8) {
    RegisterStore data(301, 480);
    service->pageInit(EN, 0, data);
    rated->pageInit(EN, 0, data);
    EXPECT_EQ(at("ComboBoxTxtimes").y(), 1075);
    EXPECT_EQ(at("EditTxtimes"), QPoint(275, 1075));
    EXPECT_EQ(at("LabelTxtimes"), QPoint(20, 20 + 32 * 33));
    EXPECT_EQ(widget<QGroupBox>("GroupBoxSeverSet")->height(), 1112);
    EXPECT_TRUE(widget<QComboBox>("ComboBoxInvCtrWay")->isHidden());
    EXPECT_FALSE(widget<QComboBox>("ComboBoxInvCtrWay")->isEnabled());
    EXPECT_TRUE(widget<QLabel>("LabelInvCtrWay")->isHidden());
    EXPECT_TRUE(widget<QDateEdit>("DateTimePickerDataNew")->isHidden());
    EXPECT_FALSE(widget<QWidget>("SpeedButtonTime")->isEnabled());
    EXPECT_TRUE(widget<QCheckBox>("CheckBoxSysCode1Bit7")->isHidden());
    EXPECT_EQ(widget<QCheckBox>("CheckBoxSysCode1Bit7")->text(), QString("LogoType(7)"));
    // Bit 8 takes cell 7 (bit 7 took none): the second column, one row under bit 6.
    EXPECT_EQ(at("CheckBoxSysCode1Bit8"), at("CheckBoxSysCode1Bit6") + QPoint(0, 32));
    EXPECT_GT(at("CheckBoxSysCode1Bit6").x(), at("CheckBoxSysCode1Bit0").x());

    rated->pageInit(EN, 8, data);
    service->pageInit(EN, 8, data);
    // The two output rows are the first two rows; the value columns sit where the English
    // captions end, the New column 56 right of the Old one.
    EXPECT_EQ(at("ComboBox19"), QPoint(at("Edit25").x() + 56, 20));
    EXPECT_EQ(at("ComboBox21"), QPoint(at("Edit26").x() + 56, 52));
    EXPECT_EQ(at("Label33"), QPoint(12, 53));
    EXPECT_GE(at("Edit25").x(), 112);
    EXPECT_EQ(widget<QGroupBox>("GroupBoxRateSet")->height(), 245);
    for (const char* name :
         {"ComboBox16", "EditUseCabCap", "ComboBox17", "EditUseModCap", "ComboBox18", "ComboBox20"}) {
        EXPECT_TRUE(widget<QWidget>(name)->isHidden()) << name;
        EXPECT_FALSE(widget<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(widget<QGroupBox>("GroupBoxSeverSet")->height(), 56 + 32 * 9);
    EXPECT_EQ(widget<QLabel>("LabelBattTxRecDelay")->text(), QString("Power On Off Mode"));
    EXPECT_EQ(widget<QComboBox>("ComboBoxBattTxRecDly")->itemText(2), QString("AutoByp"));
    EXPECT_EQ(widget<QCheckBox>("CheckBoxSysCode1Bit1")->text(), QString("FanFullSpeed(1)"));
}

TEST_F(SettingsPagesTest, ColumnsHaveHeadsAndTheUpsValuesAreNoTabStops) {
    RegisterStore data(301, 480);
    for (int model : {0, 8}) {
        service->pageInit(EN, model, data);
        rated->pageInit(EN, model, data);
        // Every group with rows shows which column is the UPS's and which one Set writes.
        for (const char* group : {"GroupBoxSeverSet", "GroupBoxBattSet", "GroupBoxRateSet"}) {
            QStringList heads;
            for (QLabel* l : widget<QWidget>(group)->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                if (l->objectName().startsWith("LabelHead") && l->isVisibleTo(l->parentWidget())) heads << l->text();
            EXPECT_TRUE(heads.contains("UPS")) << group << " model " << model;
            EXPECT_TRUE(heads.contains("New")) << group << " model " << model;
        }
        // The heads stand over their columns.
        if (model == 0) {
            auto* group = widget<QWidget>("GroupBoxSeverSet");
            EXPECT_EQ(group->findChild<QLabel*>("LabelHeadOld")->x(), at("EditTxtimes").x());
            EXPECT_EQ(group->findChild<QLabel*>("LabelHeadNew")->x(), at("ComboBoxTxtimes").x());
        }
        // Heads never run into each other, also where the New column is close to the old one.
        auto* rate = widget<QWidget>("GroupBoxRateSet");
        const QRect oldHead = rate->findChild<QLabel*>("LabelHeadOld")->geometry();
        EXPECT_LT(oldHead.right(), rate->findChild<QLabel*>("LabelHeadNew")->x()) << model;
    }
    // What the UPS holds is read-only, looks it, and is skipped by Tab; what Set writes is not.
    for (const SettingRow& row : settingRows()) {
        auto* old = window.findChild<QLineEdit*>(row.oldName);
        if (!old) continue;
        EXPECT_TRUE(old->isReadOnly()) << row.oldName;
        EXPECT_FALSE(old->focusPolicy() & Qt::TabFocus) << row.oldName;
        EXPECT_FALSE(old->hasFrame()) << row.oldName;
        if (auto* edit = window.findChild<QLineEdit*>(row.newName ? row.newName : "-"))
            EXPECT_TRUE(edit->focusPolicy() & Qt::TabFocus) << row.newName;
    }
}

TEST_F(SettingsPagesTest, SwitchingModelsRestoresEveryRow) {
    RegisterStore data(301, 480);
    auto snapshot = [&] {
        QMap<QString, QString> out;
        for (QWidget* w : window.findChildren<QWidget*>())
            if (!w->objectName().isEmpty())
                out[w->objectName()] = QString("%1,%2 %3 %4 %5")
                                           .arg(w->x())
                                           .arg(w->y())
                                           .arg(w->height())
                                           .arg(w->isHidden())
                                           .arg(w->isEnabled());
        return out;
    };
    for (SettingsPage* page : {rated, service})
        page->pageInit(EN, 0, data);
    const auto model0 = snapshot();
    for (SettingsPage* page : {rated, service})
        page->pageInit(EN, 4, data);
    EXPECT_NE(snapshot(), model0);
    for (SettingsPage* page : {rated, service})
        page->pageInit(EN, 0, data);
    EXPECT_EQ(snapshot(), model0);
}

TEST_F(SettingsPagesTest, GroupsAndTabsByModel) {
    RegisterStore data(301, 480);
    auto* tabs = widget<QTabWidget>("PageControl3");
    service->pageInit(EN, 6, data);
    EXPECT_TRUE(tabs->isTabVisible(4));
    EXPECT_TRUE(widget<QComboBox>("ComboBoxIPDry2")->isHidden());
    EXPECT_EQ(widget<QLabel>("LabelIPDry1")->text(), QString("Pin4"));
    EXPECT_EQ(selected("ComboBoxOPDry2"), QString("Batt Volt Low"));
    EXPECT_TRUE(widget<QGroupBox>("GroupBoxCfgCode2")->isHidden());
    service->pageInit(EN, 5, data);
    EXPECT_FALSE(tabs->isTabVisible(4));
    service->pageInit(EN, 2, data);
    EXPECT_FALSE(widget<QGroupBox>("GroupBoxCfgCode2")->isHidden());
    EXPECT_FALSE(widget<QComboBox>("ComboBoxAmbOvTmpShutdown")->isHidden());
    EXPECT_EQ(at("ComboBoxAmbOvTmpShutdown"), QPoint(at("EditAmbOvTmpShutdown").x() + 58, 22));
    EXPECT_TRUE(widget<QComboBox>("ComboBoxRotationPrt")->isHidden());
    EXPECT_EQ(selected("ComboBoxOPDry2"), QString("Batt Volt Low")); // output list A, item 10
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(SettingsPagesTest, BatteryTypeDecidesListsAndBackupTime) {
    RegisterStore data(301, 480);
    service->pageInit(EN, 0, data);
    data.set(386, 1); // lithium
    data.set(313, 345);
    data.set(387, 240);
    service->settingDisplay(data, 0, EN, pcNow);
    EXPECT_EQ(selected("ComboBoxFloat"), QString("3.45"));
    EXPECT_EQ(widget<QComboBox>("ComboBoxFloat")->count(), 86);
    EXPECT_TRUE(widget<QLineEdit>("EditStandbyTimeNew")->isEnabled());
    EXPECT_EQ(text("EditStandbyTimeNew"), QString("240"));

    data.set(386, 0);
    service->settingDisplay(data, 0, EN, pcNow);
    EXPECT_EQ(selected("ComboBoxFloat"), QString("<none>")); // 3.45 is not a lead-acid voltage
    EXPECT_FALSE(widget<QLineEdit>("EditStandbyTimeNew")->isEnabled());
    EXPECT_FALSE(widget<QLineEdit>("EditStandbyTimeNew")->isHidden());
    // A language change keeps the lists of the type shown.
    service->pageInit(EN, 0, data);
    EXPECT_EQ(widget<QComboBox>("ComboBoxFloat")->count(), 26);
}

TEST_F(SettingsPagesTest, HiddenDryContactKeepsItsListAndValue) {
    RegisterStore data(301, 480);
    service->pageInit(EN, 0, data); // contact 2 gets input list A
    service->pageInit(EN, 6, data); // hidden on model 6: keeps it
    data.set(377, 0x0B00);
    service->settingDisplay(data, 6, EN, pcNow);
    EXPECT_EQ(text("EditIPDry1"), QString("Remote Shutdown"));
    EXPECT_EQ(widget<QComboBox>("ComboBoxIPDry2")->currentIndex(), 11);
    EXPECT_EQ(widget<QComboBox>("ComboBoxIPDry2")->count(), 12);
}

TEST_F(SettingsPagesTest, EveryModelShowsItsRowsAfterTheDownload) {
    ups.registers[301] = 1;
    ups.registers[304] = 230;
    ups.registers[312] = 65;
    ups.registers[330] = 0x0200; // two EOD levels where the model has them
    for (int model = 0; model <= 8; ++model) {
        connectAs(model);
        ASSERT_TRUE(settingsDownloaded()) << model;
        for (const SettingRow& row : settingRows()) {
            if (row.group != SettingGroup::Rate && row.group != SettingGroup::Server &&
                row.group != SettingGroup::Batt)
                continue;
            const bool exists = rowExists(row, model);
            EXPECT_EQ(widget<QWidget>(row.oldName)->isHidden(), !exists) << row.oldName << " model " << model;
            EXPECT_EQ(widget<QWidget>(row.label)->isHidden(), !exists) << row.label << " model " << model;
            // The backup time also follows the battery type (lead-acid here: locked).
            const bool typeRule = QLatin1String(row.newName) == QLatin1String("EditStandbyTimeNew");
            EXPECT_EQ(widget<QWidget>(row.newName)->isEnabled(), exists && !typeRule)
                << row.newName << " model " << model;
        }
        EXPECT_EQ(text("EditModeOld"), QString("Single")) << model;
        EXPECT_EQ(selected("ComboBoxMode"), QString("Single")) << model;
        EXPECT_EQ(text("EditOutVOld"), QString("230")) << model;
        EXPECT_EQ(text("EditBattAh"), QString("65")) << model;
        const bool twoEod = model == 5 || model == 7 || model == 8;
        EXPECT_EQ(widget<QLabel>("Label72")->text(),
                  QString(twoEod ? "Battery Boot EOD(V)" : "EOD Voltage/Cell,@0.6C Current(V)"))
            << model;
        scheduler.disconnectLink();
    }
}
