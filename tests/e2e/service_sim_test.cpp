// Remote control and calibration against the virtual UPS over a pseudo-terminal: the pages' clicks
// change what the UPS reports in the next live cycles, and a refused command is reported on the page.

#include "SimHarness.h"
#include "service/widgets/ServicePages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;

SimConfig config(int model) {
    SimConfig c;
    c.upsModel = model;
    c.protocol = Protocol::Rtu;
    c.baud = 9600;
    return c;
}

class ServiceSim : public ::testing::Test {
  protected:
    SimHarness sim{config(1)};
    AppContext context{nullptr, 1};
    QWidget window;
    QWidget* control = nullptr;
    QWidget* calibration = nullptr;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(sim.startSimulator(&error)) << error.toStdString();
        context.scheduler = &sim.scheduler();
        control = createServicePage(12, context, &window);
        calibration = createServicePage(11, context, &window);
        ASSERT_EQ(sim.connect(2, kBaud9600Item, Protocol::Rtu), ConnectResult::Connected);
        waitCycles(1);
    }
    void waitCycles(int n) {
        QSignalSpy ended(&sim.scheduler(), &UpsSession::liveCycleEnded);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() >= n; }, kWaitMs));
        ASSERT_TRUE(sim.scheduler().linkOk());
    }
    template <class T> T* find(QWidget* page, const char* name) {
        T* w = page->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Answers the page's open question box `name` with `button`; false when no box is open.
    bool answer(QWidget* page, const char* name, QMessageBox::StandardButton button) {
        QMessageBox* open = nullptr;
        for (QMessageBox* box : page->findChildren<QMessageBox*>(QLatin1String(name)))
            if (box->isVisible()) open = box;
        if (!open) return false;
        open->button(button)->click();
        return true;
    }
    // Clicks, says Yes to the page's question when it asks one, and waits for the UPS's answer to
    // the command the click armed.
    void commandAndWait(const char* button, bool asks) {
        QSignalSpy ended(&sim.scheduler(), &UpsSession::controlCommandEnded);
        find<QAbstractButton>(control, button)->click();
        EXPECT_EQ(answer(control, "MessageBoxCmdConfirm", QMessageBox::Yes), asks) << button;
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() > 0; }, kWaitMs)) << button;
    }
    uint16_t status(int reg) { return sim.scheduler().live().LiveStatus[reg]; }
};

TEST_F(ServiceSim, BypassCommandMovesTheLoadAndBack) {
    ASSERT_EQ(status(81), 1);
    commandAndWait("SpeedButtonTxByp", true);
    EXPECT_EQ(find<QLabel>(control, "LabelCmdResult")->text(), "The UPS accepted \"Manual Transfer to Bypass\".");
    EXPECT_EQ(find<QLabel>(control, "LabelTxByp")->text(), "Esc Manual Bypass");
    waitCycles(1);
    EXPECT_EQ(status(81), 2);  // supply source: bypass
    EXPECT_EQ(status(106), 1); // manual bypass
    commandAndWait("SpeedButtonTxByp", true);
    waitCycles(1);
    EXPECT_EQ(status(81), 1);
    EXPECT_EQ(status(106), 0);
}

// History Clear asks; No leaves the UPS's log as it was, Yes empties it.
TEST_F(ServiceSim, HistoryClearAsksAndNoLeavesTheLog) {
    auto logged = [&] { return sim.fromUps<int>([](VirtualUps& ups) { return ups.history().count(); }); };
    const int before = logged();
    ASSERT_GE(before, 10);
    QSignalSpy ended(&sim.scheduler(), &UpsSession::controlCommandEnded);
    find<QAbstractButton>(control, "SpeedButtonHisClr")->click();
    ASSERT_TRUE(answer(control, "MessageBoxCmdConfirm", QMessageBox::No));
    waitCycles(2);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(logged(), before);

    commandAndWait("SpeedButtonHisClr", true);
    EXPECT_EQ(find<QLabel>(control, "LabelCmdResult")->text(), "The UPS accepted \"History Clear\".");
    EXPECT_LE(logged(), 2); // only the "Log Clear" event itself, and whatever happened since
}

TEST_F(ServiceSim, RefusedCommandIsReported) {
    // Without a bypass supply the UPS cannot transfer and answers with exception 4.
    sim.simulator().withUps([](VirtualUps& ups) { ups.plant().setBypass(false); });
    commandAndWait("SpeedButtonTxByp", true);
    const QString text = "The UPS refused \"Manual Transfer to Bypass\" (exception 4: the UPS cannot do it now).";
    EXPECT_EQ(find<QLabel>(control, "LabelCmdResult")->text(), text);
    auto* box = find<QMessageBox>(control, "MessageBoxCmdResult");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), text);
    waitCycles(1);
    EXPECT_EQ(status(81), 1); // the load stayed where it was
}

TEST_F(ServiceSim, ModuleInverterOffShowsInTheModuleWords) {
    auto* modules = find<QComboBox>(control, "ComboBoxModID");
    auto* actions = find<QComboBox>(control, "ComboBoxModAction");
    ASSERT_GE(modules->findText("2"), 0);
    modules->setCurrentIndex(modules->findText("2"));
    actions->setCurrentIndex(actions->findText("Invertor OFF"));
    commandAndWait("ButtonModOnOffDone", true);
    waitCycles(2); // the module status words arrive from the cycle after the mask was seen
    // Module 2, row item 9 "Manual Shutdown": word 0 bit 8.
    EXPECT_TRUE(sim.scheduler().live().ModuleStatus[3071 + 4] & 0x0100);
    EXPECT_FALSE(sim.scheduler().live().ModuleStatus[3071] & 0x0100);
}

TEST_F(ServiceSim, CalibrationMovesTheMeasuredValueToTheTrueValue) {
    const uint16_t before = sim.scheduler().live().LiveData[1]; // cabinet bypass A, about 220 V
    ASSERT_NEAR(before, 2200, 30);
    auto* entry = find<QLineEdit>(calibration, "EditCabBypVoltA2");
    entry->setText("231.5");
    QSignalSpy written(&sim.scheduler(), &UpsSession::writeSequenceEnded);
    find<QAbstractButton>(calibration, "ButtonCabBypVoltA")->click();
    ASSERT_TRUE(answer(calibration, "MessageBoxAdjConfirm", QMessageBox::Yes));
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.count() > 0; }, kWaitMs));
    EXPECT_EQ(find<QLabel>(calibration, "LabelAdjResult")->text(), "The UPS accepted \"Bypass Voltage A\".");
    waitCycles(1);
    // The supply wobbles by a volt or two; the reading now centres on the true value.
    EXPECT_NEAR(sim.scheduler().live().LiveData[1], 2315, 25);
    EXPECT_NEAR(find<QLineEdit>(calibration, "EditCabBypVoltA1")->text().toDouble(), 231.5, 2.5);
    EXPECT_NEAR(sim.fromUps<double>([](VirtualUps& ups) { return ups.plant().calibrationGain(404); }),
                231.5 / (before / 10.0), 0.02);
}

} // namespace
