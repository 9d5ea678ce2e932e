// The remote-control and calibration pages in the real window, over a scripted UPS on a fake
// channel: clicks arm commands and writes, the window enables the buttons by name, and what the UPS
// answers shows on the page.

#include "app_fixture.h"

#include "FakeUps.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/PageFactory.h"
#include "link/Scheduler.h"
#include "service/widgets/ServicePages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace zav;
using namespace zav::test;

namespace {

const char* const kCommandButtons[] = {"SpeedButtonMuteOn",      "SpeedButtonTxByp",      "SpeedButtonBattTest",
                                       "SpeedButtonBattMaint",   "SpeedButtonManualBoost", "SpeedButtonStopTest",
                                       "SpeedButtonManualFloat", "ButtonModOnOffDone"};
const char* const kClearButtons[] = {"SpeedButtonFaultClr", "SpeedButtonHisClr", "SpeedButtonBattClr",
                                     "SpeedButtonDustProofNetTimeClr", "SpeedButtonBypFanTimeClr",
                                     "SpeedButtonAllClr"};

enum class Reply { Echo, Refuse, Silent };

class ServicePagesTest : public ShellTest {
  protected:
    std::unique_ptr<FakeUps> ups;
    Reply commandReply = Reply::Echo;

    Scheduler& scheduler() { return window().scheduler(); }

    // Connects the window as UpsModel `model` (RTU, 9600) and runs until a live cycle has ended.
    void connectAs(int model, std::map<int, uint16_t> registers = {}) {
        ups.reset(); // it drives the scheduler of the window that start() replaces
        ShellOptions o = options();
        // The maintenance pages and plain pages elsewhere: these tests are about pages 11 and 12.
        o.pageFactory = [](int index, AppContext& context, QWidget* parent) -> ZavPage* {
            if (ZavPage* page = createServicePage(index, context, parent)) return page;
            return new PlaceholderPage(index, context, parent);
        };
        start(o);
        channel.written.clear();
        channel.rx.clear();
        ups = std::make_unique<FakeUps>(channel, scheduler());
        ups->mode = Protocol::Rtu;
        ups->registers = registers;
        ups->registers.emplace(83, 1);  // battery connected
        ups->registers.emplace(81, 1);  // load on the inverter
        ups->answer = [this](const Request& r) -> QByteArray {
            if (r.function != fn::ControlCommand && r.function != fn::WriteMultiple) return ups->defaultAnswer(r);
            if (commandReply == Reply::Silent) return {};
            QByteArray pdu;
            pdu.append(char(r.address));
            if (commandReply == Reply::Refuse)
                pdu.append(char(r.function | 0x80)).append(char(4));
            else
                pdu.append(char(r.function)).append(char(r.start >> 8)).append(char(r.start)).append('\0').append('\1');
            return frame(Protocol::Rtu, pdu);
        };
        find<QComboBox>("ComboBoxUpsType")->setCurrentIndex(model + 1);
        find<QComboBox>("ComboBox1")->setCurrentIndex(3);
        find<QComboBox>("ComboBoxProto")->setCurrentIndex(1);
        window().setPortText("/dev/ttyFAKE");
        QTest::mouseClick(find<QPushButton>("ButtonConnect"), Qt::LeftButton);
        ASSERT_TRUE(channel.isOpen());
        cycle();
    }
    void cycle() {
        QSignalSpy ended(&scheduler(), &Scheduler::liveCycleEnded);
        ASSERT_TRUE(ups->stepUntil([&] { return ended.count() > 0; }, 400));
    }
    // Steps until the command or write the page armed has been answered and the link is idle.
    QVector<Request> sentAfter(const std::function<void()>& click, uint8_t function) {
        const int before = int(ups->requests.size());
        click();
        ups->stepUntil([&] { return scheduler().activity() == ActIdle || scheduler().activity() == ActLiveData; }, 200);
        QVector<Request> sent;
        for (int i = before; i < ups->requests.size(); ++i)
            if (ups->requests[i].function == function) sent << ups->requests[i];
        return sent;
    }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
};

TEST_F(ServicePagesTest, MuteTwiceSendsSilenceThenItsCancel) {
    connectAs(1);
    QLabel* caption = find<QLabel>("LabelMuteOn");
    EXPECT_EQ(caption->text(), "Mute");
    auto sent = sentAfter(
        [&] {
            click("SpeedButtonMuteOn");
            // Armed: Activity 6 and every command button off before the next tick.
            EXPECT_EQ(scheduler().activity(), ActControl);
            for (const char* name : kCommandButtons)
                EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
        },
        fn::ControlCommand);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 353);
    EXPECT_EQ(sent[0].value, 255);
    EXPECT_EQ(caption->text(), "ESC Mute");
    EXPECT_EQ(find<QLabel>("LabelCmdResult")->text(), "The UPS accepted \"Mute\".");
    EXPECT_TRUE(find<QWidget>("SpeedButtonMuteOn")->isEnabled());

    sent = sentAfter([&] { click("SpeedButtonMuteOn"); }, fn::ControlCommand);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].value, 0);
    EXPECT_EQ(caption->text(), "Mute");
}

TEST_F(ServicePagesTest, BatteryCommandsNeedTheirConditions) {
    struct Case {
        uint16_t s83, s98;
        const char* button;
        int sentValue; // -1: nothing is sent
    } cases[] = {
        {0, 0, "SpeedButtonBattTest", -1},
        {1, 0, "SpeedButtonBattTest", 0x000F},
        {1, 1, "SpeedButtonBattMaint", -1}, // a self-test runs
        {1, 1, "SpeedButtonStopTest", 0},
        {0, 0, "SpeedButtonStopTest", -1},
    };
    for (const Case& c : cases) {
        connectAs(2, {{83, c.s83}, {98, c.s98}});
        const auto sent = sentAfter([&] { click(c.button); }, fn::ControlCommand);
        if (c.sentValue < 0) {
            EXPECT_TRUE(sent.isEmpty()) << c.button << " 83=" << c.s83 << " 98=" << c.s98;
        } else {
            ASSERT_EQ(sent.size(), 1) << c.button;
            EXPECT_EQ(sent[0].start, 355);
            EXPECT_EQ(sent[0].value, c.sentValue) << c.button;
        }
    }
}

TEST_F(ServicePagesTest, ModuleBoxFollowsTheUnitsAndAllResetsTheFanTimers) {
    connectAs(1, {{121, 1}, {133, 1}}); // no module mask; power units 1 and 2 present
    auto* modules = find<QComboBox>("ComboBoxModID");
    auto* actions = find<QComboBox>("ComboBoxModAction");
    EXPECT_FALSE(find<QWidget>("GroupBoxModule")->isHidden());
    ASSERT_EQ(modules->count(), 3);
    EXPECT_EQ(modules->itemText(2), "All");
    EXPECT_EQ(actions->count(), 10);
    modules->setCurrentIndex(2);
    ASSERT_EQ(actions->count(), 6);
    actions->setCurrentIndex(actions->findText("Reset Fan Running Timer"));
    const auto sent = sentAfter([&] { click("ButtonModOnOffDone"); }, fn::ControlCommand);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 356);
    EXPECT_EQ(sent[0].value, 32516);

    // Unit 2 goes away: the box is refilled at the end of the next cycle, without "All".
    ups->registers[133] = 0;
    cycle();
    EXPECT_EQ(modules->count(), 1);
    EXPECT_EQ(modules->currentText(), "1");
    EXPECT_EQ(actions->count(), 10);
}

TEST_F(ServicePagesTest, ButtonsByModelAndActivity) {
    connectAs(8);
    for (const char* name : kClearButtons)
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name; // never on model 8
    EXPECT_TRUE(find<QWidget>("SpeedButtonMuteOn")->isEnabled());
    EXPECT_TRUE(find<QWidget>("GroupBoxModule")->isHidden()); // models 0 and 1 only
    auto* tabs = find<QTabWidget>("PageControlAdj");
    EXPECT_FALSE(tabs->isTabVisible(0));
    EXPECT_TRUE(tabs->isTabVisible(2));
    EXPECT_EQ(tabs->currentIndex(), 2);

    connectAs(1);
    EXPECT_TRUE(find<QWidget>("SpeedButtonAllClr")->isEnabled());
    scheduler().setActivity(ActHistory); // a history download runs
    window().updateButtonStates();
    for (const char* name : kCommandButtons)
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    for (const char* name : kClearButtons)
        EXPECT_FALSE(find<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(find<QWidget>("ButtonOutTranfAuxV1")->isEnabled());
}

TEST_F(ServicePagesTest, RefusedOrUnansweredCommandIsReported) {
    struct Case {
        Reply reply;
        const char* text;
    } cases[] = {
        {Reply::Refuse, "The UPS refused \"Manual Transfer to Bypass\" (exception 4: the UPS cannot do it now)."},
        {Reply::Silent, "No answer from the UPS to \"Manual Transfer to Bypass\"."},
    };
    for (const Case& c : cases) {
        connectAs(1);
        commandReply = c.reply;
        const auto sent = sentAfter([&] { click("SpeedButtonTxByp"); }, fn::ControlCommand);
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(sent[0].start, 354);
        EXPECT_EQ(sent[0].value, 255);
        EXPECT_EQ(find<QLabel>("LabelCmdResult")->text(), c.text);
        auto* box = find<QMessageBox>("MessageBoxCmdResult");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->text(), c.text);
        box->close();
    }
}

TEST_F(ServicePagesTest, CalibrationDisplaysChecksAndWrites) {
    connectAs(1, {{71, 1}, {72, 2205}, {13, 2198}});
    EXPECT_EQ(find<QLineEdit>("EditModCurrentInvValA")->text(), "220.5");
    EXPECT_EQ(find<QLineEdit>("EditCurrentIpValA")->text(), "219.8");
    EXPECT_EQ(find<QLabel>("Label47")->text(), "Current unit ID:1");
    // Model 1: inverter and bypass rows, no input or battery rows.
    EXPECT_TRUE(find<QWidget>("ButtonModVoltAdj")->isEnabled());
    EXPECT_TRUE(find<QWidget>("Button5")->isEnabled());
    EXPECT_FALSE(find<QWidget>("ButtonAdjIpA")->isEnabled());

    // The entry takes digits and one separator only.
    auto* entry = find<QLineEdit>("EditModMsrInvVoltA");
    entry->setFocus();
    QTest::keyClicks(entry, "22a0.5.");
    EXPECT_EQ(entry->text(), "220.5");

    auto sent = sentAfter([&] { click("ButtonModVoltAdj"); }, fn::WriteMultiple);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 336);
    EXPECT_EQ(sent[0].value, 2205);
    EXPECT_EQ(find<QLabel>("LabelAdjResult")->text(), "The UPS accepted \"Inverter Voltage A\".");

    // The same true value again is written again: no settings block holds calibration registers.
    sent = sentAfter([&] { click("ButtonModVoltAdj"); }, fn::WriteMultiple);
    EXPECT_EQ(sent.size(), 1);
    EXPECT_EQ(scheduler().settings().SettingData[336], 0);

    struct Bad {
        const char* entry;
        const char* button;
        const char* text;
        const char* message;
    } bad[] = {
        {"EditModMsrBypValA", "Button3", "99.9", "Check the value, please!"},
        {"EditModMsrInvDCVoltA", "Button6", "2+3", "No data or wrong data!"},
        {"EditModMsrBypValB", "Button4", "", "No data or wrong data!"},
    };
    for (const Bad& b : bad) {
        find<QLineEdit>(b.entry)->setText(b.text);
        sent = sentAfter([&] { click(b.button); }, fn::WriteMultiple);
        EXPECT_TRUE(sent.isEmpty()) << b.text;
        auto* box = find<QMessageBox>("MessageBoxAdjCheck");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), b.message) << b.text;
        box->close();
        delete box; // closed boxes delete themselves later; the next find must see the new one
    }

    commandReply = Reply::Refuse;
    find<QLineEdit>("EditModMsrBypValC")->setText("230");
    sent = sentAfter([&] { click("Button5"); }, fn::WriteMultiple);
    EXPECT_EQ(sent.size(), 2); // tried twice, then given up
    EXPECT_EQ(find<QLabel>("LabelAdjResult")->text(),
              "The UPS refused \"Bypass Voltage C\" (exception 4: the UPS cannot do it now).");
    EXPECT_NE(find<QMessageBox>("MessageBoxAdjResult"), nullptr);
}

TEST_F(ServicePagesTest, ModelZeroRowsFollowTheFlagsAndHintsFollowTheFocus) {
    connectAs(0, {{71, 5}});
    EXPECT_EQ(find<QLabel>("Label47")->text(), "");
    EXPECT_TRUE(find<QWidget>("ButtonModVoltAdj")->isEnabled());
    EXPECT_TRUE(find<QWidget>("Button8")->isEnabled()); // inverter DC C goes with bit 0
    EXPECT_TRUE(find<QWidget>("ButtonAdjIpC")->isEnabled());
    EXPECT_FALSE(find<QWidget>("Button3")->isEnabled());
    EXPECT_FALSE(find<QWidget>("ButtonAdjBattPos")->isEnabled());

    auto* hint = find<QLabel>("LabelModVoltAdjHint");
    auto focus = [](const char* name, QEvent::Type type, QWidget* root) {
        QFocusEvent event(type);
        QApplication::sendEvent(root->findChild<QLineEdit*>(QLatin1String(name)), &event);
    };
    focus("EditModMsrInvDCVoltB", QEvent::FocusIn, &window());
    EXPECT_EQ(hint->text(), "Range -3 ~ 3, unit V");
    focus("EditModMsrInvDCVoltB", QEvent::FocusOut, &window());
    EXPECT_EQ(hint->text(), " ");
    focus("EditOutTranfAuxV2New", QEvent::FocusIn, &window());
    EXPECT_EQ(hint->text(), "Range 50.0 ~ 400.0, unit V");
    focus("EditMsrIpValC", QEvent::FocusIn, &window());
    EXPECT_EQ(hint->text(), "Range 100.0 ~ 300.0, unit V");
    QTest::keyClicks(find<QLineEdit>("EditModMsrInvDCVoltB"), "-1.5");
    EXPECT_EQ(find<QLineEdit>("EditModMsrInvDCVoltB")->text(), "-1.5");
}

} // namespace
