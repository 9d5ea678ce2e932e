// The remote-control and calibration pages in the real window, over a scripted UPS on a fake
// channel: clicks arm commands and writes, the window enables the buttons by name, and what the UPS
// answers shows on the page.

#include "app_fixture.h"

#include "FakeUps.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/PageFactory.h"
#include "session/UpsSession.h"
#include "service/widgets/CalibrationPage.h"
#include "service/widgets/ControlCmdPage.h"
#include "service/widgets/ServiceDialogs.h"
#include "service/widgets/ServicePages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>
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

// The pages' questions answered by the test; messages still open as real (non-blocking) boxes.
struct AnsweringDialogs : StandardServiceDialogs {
    QStringList questions;
    QList<bool> answers; // taken in order; Yes when none is left
    bool hold = false;   // keep the answer for later, as a user who has not yet clicked
    std::function<void(bool)> held;
    void ask(QWidget*, const QString& question, const char*, std::function<void(bool)> answer) override {
        questions << question;
        if (hold) {
            held = std::move(answer);
            return;
        }
        answer(answers.isEmpty() ? true : answers.takeFirst());
    }
};

class ServicePagesTest : public ShellTest {
  protected:
    std::unique_ptr<FakeUps> ups;
    Reply commandReply = Reply::Echo;
    AnsweringDialogs service;
    bool realBoxes = false; // the pages open their standard boxes instead of asking `service`

    UpsSession& scheduler() { return window().scheduler(); }

    // Connects the window as UpsModel `model` (RTU, 9600) and runs until a live cycle has ended.
    void connectAs(int model, std::map<int, uint16_t> registers = {}) {
        ups.reset(); // it drives the scheduler of the window that start() replaces
        ShellOptions o = options();
        // The maintenance pages and plain pages elsewhere: these tests are about pages 11 and 12.
        o.pageFactory = [this](int index, AppContext& context, QWidget* parent) -> ZavPage* {
            ZavPage* page = createServicePage(index, context, parent);
            if (!page) return new PlaceholderPage(index, context, parent);
            if (realBoxes) return page;
            if (auto* control = qobject_cast<ControlCmdPage*>(page)) control->setDialogs(&service);
            if (auto* calibration = qobject_cast<CalibrationPage*>(page)) calibration->setDialogs(&service);
            return page;
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
        QSignalSpy ended(&scheduler(), &UpsSession::liveCycleEnded);
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
        int sentValue; // -1: nothing is sent, and the page says why
        const char* why;
    } cases[] = {
        {0, 0, "SpeedButtonBattTest", -1, "\"Battery Self-Test\" was not sent: the battery is not connected."},
        {1, 0, "SpeedButtonBattTest", 0x000F, ""},
        {1, 1, "SpeedButtonBattMaint", -1, "\"Battery Maintenance\" was not sent: a battery self-test is running."},
        {1, 1, "SpeedButtonStopTest", 0, ""},
        {0, 0, "SpeedButtonStopTest", -1, "\"Stop Test\" was not sent: the battery is not connected."},
    };
    for (const Case& c : cases) {
        connectAs(2, {{83, c.s83}, {98, c.s98}});
        const auto sent = sentAfter([&] { click(c.button); }, fn::ControlCommand);
        if (c.sentValue < 0) {
            EXPECT_TRUE(sent.isEmpty()) << c.button << " 83=" << c.s83 << " 98=" << c.s98;
            EXPECT_EQ(find<QLabel>("LabelCmdResult")->text(), c.why);
            auto* box = find<QMessageBox>("MessageBoxCmdCondition");
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isVisible());
            EXPECT_EQ(box->text(), c.why);
        } else {
            ASSERT_EQ(sent.size(), 1) << c.button;
            EXPECT_EQ(sent[0].start, 355);
            EXPECT_EQ(sent[0].value, c.sentValue) << c.button;
        }
    }
}

// A click on a command that clears data or moves or drops the load asks first: No sends nothing,
// Yes sends exactly the command the click chose.
TEST_F(ServicePagesTest, DestructiveCommandsAskAndOnlyYesSends) {
    struct Case {
        const char* button;
        const char* asked; // the question's first line
        uint16_t reg, value;
    } cases[] = {
        {"SpeedButtonHisClr", "\"History Clear\"", 352, 0x00FF},
        {"SpeedButtonBattClr", "\"Battery History Clear\"", 352, 0xFF00},
        {"SpeedButtonAllClr", "\"Clear All\"", 352, 0xFFFF},
        {"SpeedButtonTxByp", "\"Manual Transfer to Bypass\"", 354, 0x00FF},
        {"SpeedButtonBattMaint", "\"Battery Maintenance\"", 355, 0x00F0},
        // The action box starts at "Rectifier OFF": the default action asks too.
        {"ButtonModOnOffDone", "\"Module 1: Rectifier OFF\"", 356, 0x0100},
    };
    connectAs(1, {{121, 1}});
    for (const Case& c : cases) {
        service.questions.clear();
        service.answers = {false};
        auto sent = sentAfter(
            [&] {
                click(c.button);
                cycle(); // the link goes on; the refused command never follows
            },
            fn::ControlCommand);
        EXPECT_TRUE(sent.isEmpty()) << c.button;
        ASSERT_EQ(service.questions.size(), 1) << c.button;
        EXPECT_EQ(service.questions[0].section('\n', 0, 0), c.asked);
        EXPECT_NE(scheduler().activity(), ActControl);
        EXPECT_EQ(find<QLabel>("LabelTxByp")->text(), "Manual Transfer to Bypass"); // a No changes no caption

        service.answers = {true};
        sent = sentAfter([&] { click(c.button); }, fn::ControlCommand);
        ASSERT_EQ(sent.size(), 1) << c.button;
        EXPECT_EQ(sent[0].start, c.reg) << c.button;
        EXPECT_EQ(sent[0].value, c.value) << c.button;
        EXPECT_EQ(service.questions.size(), 2) << c.button;
        if (c.reg == 354) {
            // The transfer went out: its cancel asks too, and sends 0.
            EXPECT_EQ(find<QLabel>("LabelTxByp")->text(), "Esc Manual Bypass");
            sent = sentAfter([&] { click(c.button); }, fn::ControlCommand);
            ASSERT_EQ(sent.size(), 1);
            EXPECT_EQ(sent[0].value, 0);
            EXPECT_EQ(service.questions.last().section('\n', 0, 0), "\"Esc Manual Bypass\"");
        }
    }
    // Harmless commands go at once, as they always did.
    service.questions.clear();
    const auto sent = sentAfter([&] { click("SpeedButtonMuteOn"); }, fn::ControlCommand);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 353);
    EXPECT_TRUE(service.questions.isEmpty());
}

// The question does not hold the link; an answer that comes after another part of the tool armed its
// own command (the PC protection's switch-off order) must not replace it.
TEST_F(ServicePagesTest, AnOpenQuestionKeepsTheLinkRunningAndALateYesReplacesNothing) {
    connectAs(1);
    service.hold = true;
    const int before = int(ups->requests.size());
    click("SpeedButtonHisClr");
    ASSERT_TRUE(service.held);
    cycle(); // polls go on while the question is open
    cycle();
    ASSERT_TRUE(scheduler().startControlCommand(358, 30)); // armed while the question is open
    service.held(true);
    ups->stepUntil([&] { return scheduler().activity() != ActControl; }, 200);
    QVector<Request> commands;
    for (int i = before; i < ups->requests.size(); ++i)
        if (ups->requests[i].function == fn::ControlCommand) commands << ups->requests[i];
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0].start, 358);
    EXPECT_EQ(commands[0].value, 30);
    EXPECT_EQ(find<QLabel>("LabelCmdResult")->text(),
              "\"History Clear\" was not sent: the link became busy, was lost or was reconnected while the "
              "question was open.");

    // A question left open across a link reset (a reconnection, a language change) sends nothing
    // either, even when the link is free again by the time of the answer.
    service.held = nullptr;
    click("SpeedButtonHisClr");
    ASSERT_TRUE(service.held);
    scheduler().resetLinkState();
    cycle();
    ASSERT_TRUE(scheduler().linkOk());
    const auto sent = sentAfter([&] { service.held(true); }, fn::ControlCommand);
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_TRUE(find<QLabel>("LabelCmdResult")->text().startsWith("\"History Clear\" was not sent"));
}

// The real question box: opened without a nested event loop and without blocking the main window's
// other windows (the shutdown countdown is one), No as its default, answered by its buttons.
TEST_F(ServicePagesTest, TheQuestionBoxIsNonBlockingAndDefaultsToNo) {
    realBoxes = true;
    connectAs(1);
    auto* countdown = new QWidget(&window(), Qt::Window); // a window of the main window, as the countdown
    auto* cancel = new QPushButton("Cancel shutdown", countdown);
    countdown->show();
    QSignalSpy cancelled(cancel, &QPushButton::clicked);
    auto openBox = [&] {
        // A nested event loop inside the click would run this queued call before the click
        // returns; it then closes the box, so the test fails instead of hanging.
        auto inClick = std::make_shared<bool>(true), nested = std::make_shared<bool>(false);
        QTimer::singleShot(0, &window(), [this, inClick, nested] {
            if (!*inClick) return;
            *nested = true;
            for (QMessageBox* b : window().findChildren<QMessageBox*>())
                b->reject();
        });
        click("SpeedButtonHisClr"); // returns with the box open
        *inClick = false;
        EXPECT_FALSE(*nested);
        return find<QMessageBox>("MessageBoxCmdConfirm");
    };
    QPointer<QMessageBox> box = openBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    EXPECT_TRUE(box->text().startsWith("\"History Clear\"\n\nThe UPS erases its whole history log"));
    // A user's click, through the window system's path (where modality blocks windows).
    QTest::mouseClick(countdown->windowHandle(), Qt::LeftButton, {}, cancel->geometry().center());
    EXPECT_EQ(cancelled.count(), 1);
    auto sent = sentAfter(
        [&] {
            cycle(); // the link runs under the open box
            box->button(QMessageBox::No)->click();
            cycle();
        },
        fn::ControlCommand);
    EXPECT_TRUE(sent.isEmpty());
    delete box.data(); // closed boxes delete themselves later; the next find must see the new one

    box = openBox();
    ASSERT_NE(box, nullptr);
    sent = sentAfter([&] { box->button(QMessageBox::Yes)->click(); }, fn::ControlCommand);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 352);
    EXPECT_EQ(sent[0].value, 0x00FF);
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
        {"EditModMsrBypValA", "Button3", "99.9", "Check the value, please!\nAllowed: 100.0 ~ 300.0 V"},
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

TEST_F(ServicePagesTest, CalibrationWriteAsksWithTheChannelAndTheValue) {
    connectAs(1, {{71, 1}, {72, 2205}});
    find<QLineEdit>("EditModMsrInvVoltA")->setText("221");
    service.answers = {false};
    auto sent = sentAfter(
        [&] {
            click("ButtonModVoltAdj");
            cycle();
        },
        fn::WriteMultiple);
    EXPECT_TRUE(sent.isEmpty());
    ASSERT_EQ(service.questions.size(), 1);
    EXPECT_EQ(service.questions[0],
              "\"Inverter Voltage A\"\n\n221.0 V goes to the UPS as the true value; the UPS corrects its measurement "
              "of this channel from it.\n\nWrite it?");

    // A wrong entry is refused before any question.
    find<QLineEdit>("EditModMsrInvDCVoltA")->setText("9");
    click("Button6");
    EXPECT_EQ(service.questions.size(), 1);

    service.answers = {true};
    sent = sentAfter([&] { click("ButtonModVoltAdj"); }, fn::WriteMultiple);
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].start, 336);
    EXPECT_EQ(sent[0].value, 2210);
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
