// The Set buttons, hints and alarm-settings tab of the settings pages, offscreen, over a scheduler
// that talks to a scripted UPS on a fake channel. The scripted UPS stores what it is written, so
// the read-back after a Set shows what it took.

#include "FakeUps.h"
#include "foundation/ProfileFile.h"
#include "settings/AlarmEvents.h"
#include "settings/widgets/SettingsPage.h"
#include "settings/widgets/SettingsPages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

constexpr int EN = 1;

class SettingsWriteTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    QTemporaryDir dir;
    ProfileFile profile{dir.filePath("ZAV.ini")};
    AppContext context{&scheduler, EN, &profile};
    QWidget window;
    SettingsPage* rated = nullptr;
    SettingsPage* service = nullptr;
    QSet<int> unanswered; // registers whose writes get no answer

    void SetUp() override {
        const std::pair<int, uint16_t> values[] = {
            {301, 1},       {302, 1},
            {304, 220},     {305, 5},
            {306, 20},      {307, 30},
            {311, 40},      {312, 100},
            {313, 225},     {314, 225},
            {315, 165},     {316, 175},
            {317, 10},      {318, 12},
            {319, 4320},    {320, 2160},
            {327, 220},     {328, 50},
            {382, 24},      {383, 5},
            {384, 300},     {385, 45 << 8 | 40},
            {386, 20 << 3}, {387, 30},
            {421, 40000},   {422, 40000},
            {423, 40000},
        };
        for (const auto& [reg, v] : values)
            ups.registers[reg] = v;
        ups.answer = [this](const Request& r) -> QByteArray {
            if (r.function == fn::WriteMultiple) {
                if (unanswered.contains(r.start)) return {};
                ups.registers[r.start] = uint16_t(r.value);
            }
            return ups.defaultAnswer(r);
        };
        rated = qobject_cast<SettingsPage*>(createSettingsPage(9, context, &window));
        service = qobject_cast<SettingsPage*>(createSettingsPage(10, context, &window));
        ASSERT_TRUE(rated && service);
    }
    void connectAs(int model) {
        ups.mode = Protocol::Rtu;
        ConnectRequest request;
        request.modelItem = model + 1;
        request.baudItem = 3;
        request.portName = "/dev/ttyFAKE";
        request.protocol = Protocol::Rtu;
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
        rated->applyLanguage(EN);
        service->applyLanguage(EN);
        ASSERT_TRUE(downloaded());
    }
    bool downloaded() {
        QSignalSpy spy(&scheduler, &UpsSession::settingsDownloaded);
        return ups.stepUntil([&] { return spy.count() >= 1; }, 600);
    }
    template <typename T> T* widget(const char* name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void press(const char* button) {
        auto* b = widget<QPushButton>(button);
        b->setEnabled(true); // the window enables it while the link is free
        b->click();
    }
    QVector<Request> writes() const {
        QVector<Request> out;
        for (const Request& r : ups.requests)
            if (r.function == fn::WriteMultiple) out << r;
        return out;
    }
    QMessageBox* message() { return window.findChild<QMessageBox*>("SettingsMessage"); }
    static void focus(QWidget* w, bool in) {
        QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w, &event);
    }
};

} // namespace

TEST_F(SettingsWriteTest, SetWritesOnlyChangedRegistersAndShowsTheReadBack) {
    connectAs(0);
    widget<QLineEdit>("EditBattAhNew")->setText("150");
    press("ButtonBattSetSend");
    EXPECT_EQ(scheduler.activity(), ActWriteList);
    auto* line = widget<QLabel>("LabelSetResultButtonBattSetSend");
    EXPECT_TRUE(line->text().startsWith("Writing ")) << line->text().toStdString();
    ASSERT_TRUE(downloaded());
    const QVector<Request> sent = writes();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 312);
    EXPECT_EQ(sent[0].value, 150);
    EXPECT_EQ(widget<QLineEdit>("EditBattAh")->text(), "150");
    EXPECT_TRUE(!message() || !message()->isVisible());
    // The page says that the UPS took it, not only the "old" column.
    EXPECT_TRUE(line->text().startsWith("Written and read back")) << line->text().toStdString();
}

TEST_F(SettingsWriteTest, NothingChangedSendsNoWriteButReadsBack) {
    for (int reg = 427; reg <= 439; ++reg)
        ups.registers[reg] = 0x2020; // blank texts, as the Set pads them
    connectAs(8);
    const qsizetype before = ups.requests.size();
    press("ButtonRateSettingSend");
    ASSERT_TRUE(downloaded());
    EXPECT_TRUE(writes().isEmpty());
    EXPECT_GT(ups.requests.size(), before); // the settings blocks were read again
    EXPECT_TRUE(!message() || !message()->isVisible());
}

TEST_F(SettingsWriteTest, AWriteGivenUpIsNamedToTheUser) {
    connectAs(0);
    unanswered = {312};
    widget<QLineEdit>("EditBattAhNew")->setText("150");
    auto* fl = widget<QComboBox>("ComboBoxFloat");
    fl->setCurrentIndex(fl->findText("2.30"));
    press("ButtonBattSetSend");
    ASSERT_TRUE(downloaded());
    int attempts = 0;
    for (const Request& r : writes())
        attempts += r.start == 312;
    EXPECT_EQ(attempts, 2);
    ASSERT_TRUE(message() && message()->isVisible());
    const QString text = message()->text();
    EXPECT_TRUE(text.contains("These settings were not written to the UPS:")) << text.toStdString();
    EXPECT_TRUE(text.contains("Battery AH")) << text.toStdString();
    EXPECT_FALSE(text.contains("Float")) << text.toStdString();
    EXPECT_EQ(widget<QLineEdit>("EditBattAh")->text(), "100"); // what the UPS holds
    EXPECT_EQ(widget<QLineEdit>("EditFloatOld")->text(), "2.30");
    EXPECT_EQ(widget<QLabel>("LabelSetResultButtonBattSetSend")->text(),
              "Not written (the page shows what the UPS holds): Battery AH");
}

TEST_F(SettingsWriteTest, AFailedCheckSendsNothing) {
    connectAs(1);
    widget<QLineEdit>("EditFreq1")->setText("0.05");
    press("ButtonSeverSend");
    ASSERT_TRUE(message() && message()->isVisible());
    EXPECT_TRUE(message()->text().startsWith("Check the value, please!"));
    EXPECT_TRUE(widget<QLabel>("LabelSetResultButtonSeverSend")->text().startsWith("Check the value, please! "));
    EXPECT_EQ(scheduler.writeJob().state(), JobIdle);
    ups.steps(20);
    EXPECT_TRUE(writes().isEmpty());
}

TEST_F(SettingsWriteTest, HintsAndTheOutputVoltageBand) {
    connectAs(0);
    auto* hint = widget<QLabel>("LabelHintBatt");
    auto* ah = widget<QLineEdit>("EditBattAhNew");
    focus(ah, true);
    EXPECT_EQ(hint->text(), "Range 1-30000, uint AH");
    focus(ah, false);
    EXPECT_EQ(hint->text(), " ");

    auto* outV = widget<QLineEdit>("EditOutV");
    focus(outV, true);
    EXPECT_EQ(widget<QLabel>("LabelHintServSet")->text(), "Range210-230V");
    outV->setText("235");
    focus(outV, false);
    EXPECT_EQ(outV->text(), "230");

    auto* type = widget<QLineEdit>("EditUPSTypeNew");
    focus(type, true);
    EXPECT_EQ(widget<QLabel>("LabelHintSysCode5")->text(), "Max Length 10 Characters");

    auto* rotation = widget<QComboBox>("ComboBoxRotationPrt");
    rotation->setCurrentIndex(1);
    EXPECT_EQ(widget<QLabel>("LabelcfgCode")->text(), "Time, 9 Minute");
    rotation->setCurrentIndex(2);
    EXPECT_EQ(widget<QLabel>("LabelcfgCode")->text(), "");
}

TEST_F(SettingsWriteTest, BatteryTypeRebuildsTheBatteryLists) {
    connectAs(0);
    EXPECT_FALSE(widget<QLineEdit>("EditStandbyTimeNew")->isEnabled());
    widget<QComboBox>("ComboBoxBattType")->setCurrentIndex(1); // lithium
    auto* fl = widget<QComboBox>("ComboBoxFloat");
    EXPECT_EQ(fl->count(), 86);
    EXPECT_EQ(fl->currentText(), "3.45");
    EXPECT_EQ(widget<QComboBox>("ComboBoxBattNum")->currentText(), "140");
    EXPECT_TRUE(widget<QLineEdit>("EditStandbyTimeNew")->isEnabled());
}

TEST_F(SettingsWriteTest, AlarmEventsAndBeeperAreKeptInZavIni) {
    service->applyLanguage(EN);
    const QVector<AlarmEvent>& events = alarmEvents();
    ASSERT_EQ(events.size(), 31);
    for (const AlarmEvent& e : events) // no keys yet: every event ticked
        EXPECT_TRUE(widget<QCheckBox>(e.name)->isChecked()) << e.name;

    widget<QPushButton>("ButtonClrAll")->click();
    widget<QPushButton>("ButtonOK")->click();
    for (const AlarmEvent& e : events)
        EXPECT_EQ(profile.readString(kUpsEventsSection, e.name, "?"), "0") << e.name;

    // Ticks not confirmed are dropped when the page is opened again.
    widget<QCheckBox>("CheckBoxEPO")->setChecked(true);
    service->pageShown();
    EXPECT_FALSE(widget<QCheckBox>("CheckBoxEPO")->isChecked());

    widget<QPushButton>("ButtonSelAll")->click();
    widget<QPushButton>("ButtonOK")->click();
    QFile file(profile.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_EQ(text.count("=1"), 31) << text.toStdString();
    EXPECT_TRUE(text.contains("[UPSEvents]"));

    auto* beeper = widget<QComboBox>("ComboBoxBeeperOnOff");
    EXPECT_EQ(beeper->currentIndex(), 1);
    beeper->setCurrentIndex(0);
    emit beeper->activated(0);
    EXPECT_EQ(profile.readInteger(kBeeperSection, kBeepOnOffKey, -1), 0);
}
