// The monitoring pages against the virtual UPS over a pseudo-terminal: a modular three-phase
// cabinet with modules present and a small single-phase tower. The pages are read back by their
// widget names; every wait is on a condition with a generous bound.

#include "SimHarness.h"
#include "monitor/widgets/MonitorPages.h"
#include "monitor/widgets/VoltageChart.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {

constexpr int kWaitMs = 30'000;
constexpr int kBaud9600Item = 3;

class MonitorOnSim : public ::testing::Test {
  protected:
    std::unique_ptr<SimHarness> harness;
    AppContext context;
    QWidget window;
    QList<ZavPage*> pages;

    bool start(int upsModel) {
        SimConfig config;
        config.upsModel = upsModel;
        config.protocol = Protocol::Rtu;
        harness = std::make_unique<SimHarness>(config);
        QString why;
        if (!harness->startSimulator(&why)) {
            skipReason = why;
            return false;
        }
        context.scheduler = &harness->scheduler();
        for (int index = 0; index <= 6; ++index)
            pages.append(createMonitorPage(index, context, &window));
        return true;
    }
    void applyLanguage(int language) {
        context.language = language;
        for (ZavPage* page : pages)
            page->applyLanguage(language);
    }
    QString cell(const char* gridName, int column, int row) {
        auto* grid = window.findChild<QTableWidget*>(gridName);
        if (!grid || !grid->item(row, column)) return {};
        return grid->item(row, column)->text();
    }
    double number(const char* gridName, int column, int row) {
        bool ok = false;
        const double value = cell(gridName, column, row).toDouble(&ok);
        return ok ? value : -1;
    }
    QString label(const char* name) {
        auto* l = window.findChild<QLabel*>(name);
        return l ? l->text() : QString();
    }
    int chartPoints(const char* name) {
        auto* chart = window.findChild<VoltageChart*>(name);
        return chart ? int(chart->line()->count()) : -1;
    }

    QString skipReason;
};

#define START_OR_SKIP(model)                                                                                 \
    do {                                                                                                     \
        if (!start(model)) GTEST_SKIP() << "no pseudo-terminal: " << skipReason.toStdString();               \
    } while (0)

TEST_F(MonitorOnSim, ModularCabinetShowsItsModulesAndPlausibleValues) {
    START_OR_SKIP(1);
    harness->simulator().withUps(
        [](VirtualUps& ups) { ups.plant().setUnitFault(2, 4, true); }); // fan, module 2
    ASSERT_EQ(harness->connect(2, kBaud9600Item, Protocol::Rtu), ConnectResult::Connected);
    applyLanguage(1);
    // Modules appear in the unit grid once their status words are read (second cycle).
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell("StringGridModule", 2, 4) == "X"; }, kWaitMs));

    auto* grid = window.findChild<QTableWidget*>("StringGridModule");
    EXPECT_EQ(grid->columnCount(), 5); // four modules
    EXPECT_EQ(cell("StringGridModule", 1, 0), "U_1");
    EXPECT_EQ(cell("StringGridModule", 0, 4), "Fan Fail");
    EXPECT_EQ(cell("StringGridModule", 1, 4), "V");
    EXPECT_TRUE(window.findChild<QTabWidget*>("PageControlModule")->isTabVisible(1));
    EXPECT_EQ(window.findChild<QComboBox*>("ComboBoxModIDSet")->count(), 4);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !window.findChild<QLineEdit*>("EditModIDSet")->text().isEmpty(); }, kWaitMs));
    EXPECT_EQ(window.findChild<QLineEdit*>("EditModIDSet")->text(),
              QString::number(harness->scheduler().live().modules.selected));
    EXPECT_GT(number("StringGridModData", 1, 0), 150); // module input voltage phase A

    // Three phases everywhere, in volts, hertz and percent that a running UPS shows.
    for (int phase = 1; phase <= 3; ++phase) {
        EXPECT_NEAR(number("StringGridBypass", phase, 1), 220, 30) << phase;
        EXPECT_NEAR(number("StringGridMain", phase, 1), 220, 30) << phase;
        EXPECT_NEAR(number("StringGridOut", phase, 1), 220, 30) << phase;
        EXPECT_NEAR(number("StringGridOut", phase, 3), 50, 10) << phase;
    }
    EXPECT_GT(number("StringGridBatt", 1, 1), 100); // positive string volts
    EXPECT_EQ(cell("StringGridBatt", 2, 0), "NEG");
    EXPECT_TRUE(label("LabelOutA").startsWith("A:"));
    EXPECT_TRUE(label("LabelBattP").startsWith("Pos:"));
    EXPECT_EQ(cell("StringGridZav", 1, 0), "By UPS");
    EXPECT_NE(label("LabelZAVVer"), "");

    // The charts move: one more point per refresh.
    const int points = chartPoints("ChartOutVolt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return chartPoints("ChartOutVolt") > points; }, kWaitMs));

    // All three languages relabel the pages; the values stay.
    applyLanguage(0);
    EXPECT_EQ(cell("StringGridOut", 0, 1), "电压V");
    EXPECT_EQ(cell("StringGridZav", 1, 0), "UPS供电");
    EXPECT_EQ(cell("StringGridModule", 1, 0), "单元1");
    EXPECT_NEAR(number("StringGridOut", 1, 1), 220, 30);
    applyLanguage(2);
    EXPECT_EQ(cell("StringGridBatt", 0, 1), "電壓V");
    EXPECT_EQ(cell("StringGridZav", 1, 0), "UPS供電");
    EXPECT_EQ(cell("StringGridModule", 0, 4), "風扇故障");
}

TEST_F(MonitorOnSim, DetectedSinglePhaseTowerShowsOneValuePerQuantity) {
    START_OR_SKIP(8);
    ASSERT_EQ(harness->connect(0, kBaud9600Item, Protocol::Rtu), ConnectResult::Connected); // model "Auto"
    applyLanguage(1);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return harness->scheduler().upsModel() == 8 && number("StringGridOut", 1, 0) > 100; },
        kWaitMs));
    EXPECT_EQ(cell("StringGridOut", 0, 0), "Volt(V)");
    EXPECT_EQ(cell("StringGridOut", 2, 0), "");
    EXPECT_NEAR(number("StringGridOut", 1, 2), 50, 10);
    // Powers in thousandths of kVA on this model.
    EXPECT_EQ(cell("StringGridOut", 1, 4).section('.', 1).size(), 3)
        << cell("StringGridOut", 1, 4).toStdString();
    EXPECT_GT(number("StringGridOut", 1, 4), 0.1);
    EXPECT_EQ(cell("StringGridBatt", 0, 0), "Voltage(V)");
    EXPECT_GT(number("StringGridBatt", 1, 0), 10);
    EXPECT_FALSE(window.findChild<QGroupBox*>("GroupBox6")->isVisibleTo(&window));
    EXPECT_EQ(window.findChild<QGroupBox*>("GroupBox5")->title(), "Input");
    EXPECT_TRUE(label("LabelOutB").endsWith("Hz"));
    // No modules: the ten-unit view, without the module data tab.
    EXPECT_EQ(window.findChild<QTableWidget*>("StringGridModule")->columnCount(), 11);
    EXPECT_FALSE(window.findChild<QTabWidget*>("PageControlModule")->isTabVisible(1));
}

} // namespace
