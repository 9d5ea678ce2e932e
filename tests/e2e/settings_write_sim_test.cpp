// The Set buttons of the settings pages against the virtual UPS over a pseudo-terminal: the user
// changes a few controls and presses Set; afterwards the UPS holds the new values and, once the
// settings are read back, the Old fields show them. A write the UPS refuses is named to the user.

#include "SimHarness.h"
#include "settings/SettingWrites.h"
#include "settings/widgets/SettingsPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;
constexpr int EN = 1;

class SettingsWriteOnSim : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    AppContext context;
    QWidget window;
    QList<ZavPage*> pages;
    QString skipReason;
    std::unique_ptr<QSignalSpy> downloads;

    // Connects pages 9 and 10 to a virtual UPS of `model` and waits for the first download.
    bool start(int model, Protocol protocol) {
        SimConfig config;
        config.upsModel = model;
        config.protocol = protocol;
        harness = std::make_unique<SimHarness>(config);
        if (!harness->startSimulator(&skipReason)) return false;
        context.scheduler = &harness->scheduler();
        context.language = EN;
        for (int index : {9, 10})
            pages.append(createSettingsPage(index, context, &window));
        downloads = std::make_unique<QSignalSpy>(&harness->scheduler(), &UpsSession::settingsDownloaded);
        if (harness->connect(model + 1, kBaud9600Item, protocol) != ConnectResult::Connected) return false;
        for (ZavPage* page : pages)
            page->applyLanguage(EN);
        return QTest::qWaitFor([&] { return downloads->count() >= 1; }, kWaitMs);
    }
    template <class W> W* find(const char* name) {
        W* w = window.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void choose(const char* combo, const QString& text) {
        auto* box = find<QComboBox>(combo);
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << combo << " has no " << text.toStdString();
        box->setCurrentIndex(index);
    }
    // Presses a Set button (the window would enable it while the link is free) and waits until
    // the write sequence and its read-back have ended.
    bool pressSet(const char* button) {
        const int before = int(downloads->count());
        auto* b = find<QPushButton>(button);
        b->setEnabled(true);
        b->click();
        return QTest::qWaitFor([&] { return downloads->count() > before; }, kWaitMs);
    }
    uint16_t ups(int reg) {
        return harness->fromUps<uint16_t>([reg](VirtualUps& u) { return u.settings().value(reg); });
    }
    QString oldText(const char* name) { return find<QLineEdit>(name)->text(); }
    QMessageBox* message() { return window.findChild<QMessageBox*>("SettingsMessage"); }
    bool messageShown() {
        QMessageBox* box = message();
        return box && box->isVisible();
    }
};

} // namespace

TEST_F(SettingsWriteOnSim, RatedPageInKvaAndTextsAscii) {
    if (!start(5, Protocol::Ascii)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();
    EXPECT_EQ(oldText("Edit23"), "220"); // the phase voltage, which the list can show
    choose("ComboBox17", "12");
    choose("ComboBox19", "230");
    find<QLineEdit>("EditUseModCap")->setText("9");
    find<QLineEdit>("EditUPSTypeNew")->setText("ABC");
    find<QCheckBox>(bitBoxName(BitWord::SysCode1, 0).toLatin1())->setChecked(true);
    ASSERT_TRUE(pressSet("ButtonRateSettingSend"));
    // Models 5-8 take the capacities in kVA and report them in VA.
    EXPECT_EQ(ups(323), 12000);
    EXPECT_EQ(ups(324), 9000);
    EXPECT_EQ(ups(327), 230);
    EXPECT_EQ(ups(427), 0x4142);
    EXPECT_EQ(ups(428), 0x4320);
    EXPECT_EQ(ups(329) & 1, 1);
    EXPECT_EQ(oldText("Edit22"), "12");
    EXPECT_EQ(oldText("Edit2"), "9");
    EXPECT_EQ(oldText("Edit25"), "230");
    EXPECT_EQ(oldText("EditUPSTypeOld"), "ABC");
    EXPECT_FALSE(messageShown());
}

TEST_F(SettingsWriteOnSim, SystemPageRtu) {
    if (!start(1, Protocol::Rtu)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();
    find<QLineEdit>("EditFreq1")->setText("1.5");
    find<QLineEdit>("EditOutV")->setText("225");
    choose("ComboBoxBypVoltUpLmt", "+20");
    choose("ComboBoxBklTime", "10");
    ASSERT_TRUE(pressSet("ButtonSeverSend"));
    EXPECT_EQ(ups(305), 15);
    EXPECT_EQ(ups(304), 225);
    EXPECT_EQ(ups(375) & 7, 2);
    EXPECT_EQ(ups(373), 10);
    EXPECT_EQ(oldText("EditFreq1Old"), "1.5");
    EXPECT_EQ(oldText("EditBypVoltUpLmtOld"), "+20");
    EXPECT_FALSE(messageShown());

    // A failed check sends nothing: the UPS keeps its value and no sequence starts.
    find<QLineEdit>("EditFreq1")->setText("0.05");
    auto* set = find<QPushButton>("ButtonSeverSend");
    set->setEnabled(true);
    set->click();
    ASSERT_TRUE(messageShown());
    EXPECT_TRUE(message()->text().startsWith("Check the value, please!"));
    EXPECT_EQ(harness->scheduler().writeJob().state(), JobIdle);
    EXPECT_EQ(ups(305), 15);
}

TEST_F(SettingsWriteOnSim, BatteryAndCodesAscii) {
    if (!start(0, Protocol::Ascii)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();
    find<QLineEdit>("EditBattAhNew")->setText("150");
    choose("ComboBoxFloat", "2.30");
    ASSERT_TRUE(pressSet("ButtonBattSetSend"));
    EXPECT_EQ(ups(312), 150);
    EXPECT_EQ(ups(313), 230);
    EXPECT_EQ(oldText("EditFloatOld"), "2.30");

    find<QCheckBox>(bitBoxName(BitWord::CfgCode1, 2).toLatin1())->setChecked(true);
    choose("ComboBoxRotationPrt", "Test Mode");
    EXPECT_EQ(find<QLabel>("LabelcfgCode")->text(), "Time, 9 Minute");
    ASSERT_TRUE(pressSet("ButtonCfgCodeSet"));
    EXPECT_EQ(ups(369) & 4, 4);
    EXPECT_EQ((ups(370) >> 3) & 7, 1);
    EXPECT_EQ(oldText("EditRotationPrtOld"), "Test Mode");
}

TEST_F(SettingsWriteOnSim, DryContactsRtu) {
    if (!start(3, Protocol::Rtu)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();
    find<QComboBox>("ComboBoxOPDry2")->setCurrentIndex(4);
    find<QComboBox>("ComboBoxIPDry1")->setCurrentIndex(7);
    ASSERT_TRUE(pressSet("ButtonDryContactSet"));
    EXPECT_EQ(ups(379) >> 8, 4);
    EXPECT_EQ(ups(377) & 0xFF, 7);
    EXPECT_EQ(oldText("EditOPDry2"), find<QComboBox>("ComboBoxOPDry2")->itemText(4));
}

TEST_F(SettingsWriteOnSim, RefusedWriteIsNamedAndTheReadBackShowsTheUps) {
    if (!start(2, Protocol::Rtu)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();
    const uint16_t before = ups(385);
    find<QLineEdit>("EditBattOvTmpNew")->setText("80"); // the UPS takes 25..70 degC
    find<QLineEdit>("EditBattAhNew")->setText("120");
    ASSERT_TRUE(pressSet("ButtonBattSetSend"));
    EXPECT_EQ(ups(385), before);
    EXPECT_EQ(ups(312), 120); // the other setting went through
    ASSERT_TRUE(messageShown());
    const QString text = message()->text();
    EXPECT_TRUE(text.contains("Battery Over-Temperature Alarm")) << text.toStdString();
    EXPECT_FALSE(text.contains("Battery AH")) << text.toStdString();
    EXPECT_EQ(oldText("EditBattOvTmpOld"), QString::number(before & 0xFF));
}
