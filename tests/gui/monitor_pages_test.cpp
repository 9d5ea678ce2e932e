// The live monitoring pages over a scheduler that talks to a scripted UPS on a fake channel:
// the pages are built through the page factory, the link runs real poll cycles, and the grids,
// labels and charts are read back by their widget names.

#include "FakeUps.h"
#include "monitor/widgets/MonitorPage.h"
#include "monitor/widgets/MonitorPages.h"
#include "monitor/widgets/VoltageChart.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

class MonitorPagesTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    AppContext context{&scheduler, 1};
    QWidget window;
    QList<ZavPage*> pages;
    QDateTime clock{QDate(2026, 3, 2), QTime(10, 0, 0)};

    void SetUp() override {
        for (int index = 0; index <= 6; ++index) {
            ZavPage* page = createMonitorPage(index, context, &window);
            ASSERT_NE(page, nullptr) << index;
            auto* monitorPage = qobject_cast<MonitorPage*>(page);
            ASSERT_NE(monitorPage, nullptr);
            monitorPage->setClock([this] { return clock; });
            pages.append(page);
        }
        // The module data carry the number of the module asked for, as a real module answers.
        ups.answer = [this](const Request& r) {
            if (r.function == fn::ReadModule && r.start == 2000) ups.registers[2000] = uint16_t(r.module);
            return ups.defaultAnswer(r);
        };
    }

    // Connect at 9600 baud, RTU, with ComboBoxUpsType item `modelItem`; FormStrInit relabels.
    void connectAs(int modelItem) {
        ups.mode = Protocol::Rtu;
        ConnectRequest request;
        request.modelItem = modelItem;
        request.baudItem = 3;
        request.portName = "/dev/ttyFAKE";
        request.protocol = Protocol::Rtu;
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
        applyLanguage(context.language);
    }
    void applyLanguage(int language) {
        context.language = language;
        for (ZavPage* page : pages)
            page->applyLanguage(language);
    }
    bool cycleEnds(int cycles = 1) {
        QSignalSpy spy(&scheduler, &UpsSession::liveCycleEnded);
        return ups.stepUntil([&] { return spy.count() >= cycles; }, 400 * cycles);
    }

    template <typename T> T* widget(const char* name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString cell(const char* gridName, int column, int row) {
        QTableWidget* grid = widget<QTableWidget>(gridName);
        if (!grid) return "<no grid>";
        const QTableWidgetItem* item = grid->item(row, column);
        return item ? item->text() : QString();
    }
    QColor cellColour(const char* gridName, int column, int row) {
        const QTableWidgetItem* item = widget<QTableWidget>(gridName)->item(row, column);
        return item ? item->background().color() : QColor();
    }
    QString label(const char* name) { return widget<QLabel>(name)->text(); }
    QList<QPointF> chartPoints(const char* chartName) {
        return widget<VoltageChart>(chartName)->line()->points();
    }

    // A three-phase modular unit with every value of interest set.
    void setMeasurements() {
        const std::pair<int, uint16_t> values[] = {
            {1, 2205},    {2, 2210},  {3, 2199}, {4, 123},   {7, 5001},  {10, 99},   {13, 2301},
            {14, 2302},   {15, 2303}, {16, 456}, {19, 4998}, {22, 100},  {25, 2200}, {26, 2201},
            {27, 2202},   {37, 1250}, {46, 755}, {31, 5000}, {49, 251},  {50, 2710}, {51, 2705},
            {52, 0xFF85}, {53, 5},    {54, 302}, {55, 1234}, {56, 1000}, {68, 1},    {69, 2},
            {70, 3},      {83, 1},    {116, 1},  {82, 3},    {81, 2},
        };
        for (const auto& [reg, value] : values)
            ups.registers[reg] = value;
    }
};

TEST_F(MonitorPagesTest, FactoryBuildsTheSevenMonitoringPagesOnly) {
    AppContext other;
    EXPECT_EQ(createMonitorPage(7, other, &window), nullptr);
    EXPECT_EQ(createMonitorPage(-1, other, &window), nullptr);
    for (const char* name : {"StringGridBypass", "StringGridMain", "StringGridOut", "StringGridBatt",
                             "StringGridZav", "StringGridModule", "StringGridModData"})
        EXPECT_NE(window.findChild<QTableWidget*>(name), nullptr) << name;
    for (const char* name : {"ChartByVolt", "ChartMainVolt", "ChartOutVolt", "ChartBattVolt"})
        EXPECT_NE(window.findChild<VoltageChart*>(name), nullptr) << name;
    EXPECT_NE(window.findChild<QWidget*>("EnergyFlowArea"), nullptr);
    // Before any link: empty values, unknown version.
    EXPECT_EQ(cell("StringGridBypass", 1, 1), "0.0");
    EXPECT_EQ(label("LabelZAVVer"), "** . *** . ***");
}

TEST_F(MonitorPagesTest, ThreePhaseUnitShowsScaledValuesAfterACycle) {
    setMeasurements();
    connectAs(1); // UpsModel 0, S1 = S2 = 0 from the settings
    ASSERT_TRUE(cycleEnds());

    EXPECT_EQ(cell("StringGridBypass", 1, 0), "A");
    EXPECT_EQ(cell("StringGridBypass", 0, 1), "Volt(V)");
    EXPECT_EQ(cell("StringGridBypass", 1, 1), "220.5");
    EXPECT_EQ(cell("StringGridBypass", 3, 1), "219.9");
    EXPECT_EQ(cell("StringGridBypass", 1, 3), "50.01");
    EXPECT_EQ(cell("StringGridBypass", 1, 4), "0.99");
    EXPECT_EQ(cell("StringGridMain", 1, 2), "45.6");
    EXPECT_EQ(cell("StringGridMain", 1, 3), "49.98");
    EXPECT_EQ(cell("StringGridOut", 1, 5), "125.0");
    EXPECT_EQ(cell("StringGridOut", 1, 8), "75.5");
    EXPECT_EQ(cell("StringGridBatt", 1, 0), "POS");
    EXPECT_EQ(cell("StringGridBatt", 1, 1), "271.0");
    EXPECT_EQ(cell("StringGridBatt", 2, 1), "270.5");
    EXPECT_EQ(cell("StringGridBatt", 1, 2), "-12.3");
    EXPECT_EQ(cell("StringGridBatt", 2, 2), "0.5");
    EXPECT_EQ(cell("StringGridBatt", 1, 3), "100.0");
    EXPECT_EQ(cell("StringGridBatt", 1, 4), "123.4");
    EXPECT_EQ(cell("StringGridBatt", 1, 5), "--.-"); // battery temperature not available
    EXPECT_EQ(cell("StringGridBatt", 1, 6), "25.1");

    EXPECT_EQ(label("LabelByA"), "A:220.5V");
    EXPECT_EQ(label("LabelByC"), "C:219.9V");
    EXPECT_EQ(label("LabelMainB"), "B:230.2V");
    EXPECT_EQ(label("LabelOutA"), "A:220.0V");
    EXPECT_EQ(label("LabelBattP"), "Pos:271.0V");
    EXPECT_EQ(label("LabelBattN"), "Neg:270.5V");
    EXPECT_TRUE(widget<QGroupBox>("GroupBox6")->isVisibleTo(&window));
    EXPECT_EQ(widget<QGroupBox>("GroupBox5")->title(), "Main");
    EXPECT_EQ(label("LabelZAVVer"), "01 . 002 . 003");

    EXPECT_EQ(cell("StringGridZav", 0, 0), "SupplySrc");
    EXPECT_EQ(cell("StringGridZav", 1, 0), "Bypass");
    EXPECT_EQ(cell("StringGridZav", 1, 1), "Discharge");
    EXPECT_EQ(cell("StringGridZav", 1, 2), "Not EPO");
    EXPECT_EQ(cellColour("StringGridZav", 1, 0), QColor(192, 220, 192));
    EXPECT_EQ(cellColour("StringGridZav", 3, 5), QColor(192, 220, 192));
    EXPECT_NE(cellColour("StringGridZav", 2, 0), QColor(192, 220, 192));

    const QList<QPointF> points = chartPoints("ChartByVolt");
    ASSERT_FALSE(points.isEmpty());
    EXPECT_EQ(points.last(), QPointF(double(clock.toMSecsSinceEpoch()), 220));
    EXPECT_EQ(chartPoints("ChartMainVolt").last().y(), 230);
    EXPECT_EQ(chartPoints("ChartOutVolt").last().y(), 220);
    EXPECT_EQ(chartPoints("ChartBattVolt").last().y(), 271);
}

TEST_F(MonitorPagesTest, SystemCodeBitsFromTheSettingsSwitchTheLayouts) {
    setMeasurements();
    ups.registers[329] = 0x0002; // S1: single-phase bypass and output
    connectAs(1);
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(cell("StringGridBypass", 0, 0), "Volt(V)");
    EXPECT_EQ(cell("StringGridBypass", 1, 0), "220.5");
    EXPECT_EQ(cell("StringGridBypass", 2, 0), "");
    EXPECT_EQ(cell("StringGridBypass", 1, 1), "12.3");
    EXPECT_EQ(cell("StringGridBypass", 0, 4), "");
    EXPECT_EQ(cell("StringGridOut", 1, 4), "125.0");
    EXPECT_EQ(cell("StringGridMain", 1, 0), "A"); // main stays three-phase (S2 = 0)
    EXPECT_EQ(label("LabelByA"), "220.5V");
    EXPECT_EQ(label("LabelByB"), "");
    EXPECT_EQ(label("LabelOutC"), "");
    EXPECT_EQ(label("LabelMainC"), "C:230.3V");
}

TEST_F(MonitorPagesTest, SingleInputTowerShowsThousandthsAndOneInputBox) {
    setMeasurements();
    connectAs(9); // UpsModel 8
    ASSERT_TRUE(cycleEnds());
    EXPECT_EQ(cell("StringGridOut", 0, 4), "Power S(kVA)");
    EXPECT_EQ(cell("StringGridOut", 1, 4), "1.250");
    EXPECT_EQ(cell("StringGridBatt", 1, 0), "271.0");
    EXPECT_EQ(cell("StringGridBatt", 1, 1), "-12.3");
    EXPECT_EQ(cell("StringGridBatt", 2, 1), "");
    EXPECT_FALSE(widget<QGroupBox>("GroupBox6")->isVisibleTo(&window));
    EXPECT_EQ(widget<QGroupBox>("GroupBox5")->title(), "Input");
    // On bypass (status 81 = 2) the input box shows the bypass.
    EXPECT_EQ(label("LabelMainA"), "220.5V");
    EXPECT_EQ(label("LabelMainB"), "12.3A");
    EXPECT_EQ(label("LabelMainC"), "50.01Hz");
    EXPECT_EQ(label("LabelOutB"), "50.00Hz");
    EXPECT_EQ(label("LabelBattN"), "100.0%");
}

TEST_F(MonitorPagesTest, EveryLanguageRelabelsAndKeepsTheValues) {
    setMeasurements();
    connectAs(2);
    ASSERT_TRUE(cycleEnds());
    applyLanguage(0);
    EXPECT_EQ(cell("StringGridOut", 0, 1), "电压V");
    EXPECT_EQ(cell("StringGridOut", 1, 1), "220.0");
    EXPECT_EQ(cell("StringGridZav", 1, 1), "电池放电");
    EXPECT_EQ(cell("StringGridModule", 1, 0), "单元1");
    EXPECT_EQ(widget<QGroupBox>("GroupBox5")->title(), "主路");
    applyLanguage(2);
    EXPECT_EQ(cell("StringGridBatt", 0, 5), "電池溫度℃");
    EXPECT_EQ(cell("StringGridBatt", 1, 5), "--.-");
    EXPECT_EQ(cell("StringGridZav", 0, 0), "供電方式");
    EXPECT_EQ(cell("StringGridModData", 0, 0), "交流输入电压ph_A(V)");
}

TEST_F(MonitorPagesTest, ChartsMoveAndKeepOnlyTheLastTenMinutes) {
    connectAs(2);
    ups.registers[25] = 2300;
    ASSERT_TRUE(cycleEnds());
    const int afterFirst = int(chartPoints("ChartOutVolt").size());
    for (int i = 0; i < 5; ++i) {
        clock = clock.addSecs(120);
        ups.registers[25] = uint16_t(2300 + 10 * i);
        ASSERT_TRUE(cycleEnds());
    }
    QList<QPointF> points = chartPoints("ChartOutVolt");
    EXPECT_EQ(points.size(), afterFirst + 5);
    EXPECT_EQ(points.last(), QPointF(double(clock.toMSecsSinceEpoch()), 234));
    auto* axis = widget<VoltageChart>("ChartOutVolt")->timeAxis();
    EXPECT_EQ(axis->min(), clock.addSecs(-600));
    EXPECT_EQ(axis->max(), clock.addSecs(1));

    clock = clock.addSecs(601); // every earlier point leaves the window
    ASSERT_TRUE(cycleEnds());
    points = chartPoints("ChartOutVolt");
    ASSERT_EQ(points.size(), 1);
    EXPECT_EQ(points.first().x(), double(clock.toMSecsSinceEpoch()));
}

// With "Auto" the stores are cleared once the model is known and the settings are read again before
// the next cycle ends: that settings download must not plot the cleared store as 0 V.
TEST_F(MonitorPagesTest, ChartsNeverPlotAClearedStoreAfterModelDetection) {
    setMeasurements();
    ups.registers[78] = 2; // model code of item 2
    connectAs(0);
    QSignalSpy detected(&scheduler, &UpsSession::modelDetected);
    ASSERT_TRUE(ups.stepUntil([&] { return detected.count() == 1; }, 2000));
    ASSERT_TRUE(cycleEnds(2));
    for (const char* name : {"ChartByVolt", "ChartMainVolt", "ChartOutVolt", "ChartBattVolt"}) {
        int points = 0;
        for (QLineSeries* s : widget<VoltageChart>(name)->segments())
            for (const QPointF& p : s->points()) {
                EXPECT_NE(p.y(), 0) << name;
                ++points;
            }
        EXPECT_GE(points, 2) << name;
    }
}

TEST_F(MonitorPagesTest, DisconnectClearsThePages) {
    setMeasurements();
    connectAs(2);
    ASSERT_TRUE(cycleEnds());
    ASSERT_EQ(cell("StringGridBypass", 1, 1), "220.5");
    scheduler.disconnectLink();
    EXPECT_EQ(cell("StringGridBypass", 1, 1), "0.0");
    EXPECT_EQ(cell("StringGridBypass", 1, 3), "0.00");
    EXPECT_EQ(cell("StringGridBatt", 1, 4), "----.-");
    EXPECT_EQ(cell("StringGridZav", 1, 0), "None");
    EXPECT_EQ(label("LabelByA"), "A:0.0V");
    EXPECT_EQ(label("LabelZAVVer"), "** . *** . ***");
    // No 0 V point: the line breaks where the measurements stopped.
    EXPECT_TRUE(chartPoints("ChartByVolt").isEmpty());
    EXPECT_TRUE(VoltageTrend::isGap(widget<VoltageChart>("ChartByVolt")->trend().points().last()));
}

TEST_F(MonitorPagesTest, ModulesFollowTheMaskAndTheChoiceButtonPollsTheChosenModule) {
    ups.registers[119] = 0x0001;
    ups.registers[120] = 0x8001;           // modules 1, 16, 17
    ups.registers[3071 + 4 * 15] = 0x0002; // module 16: inverter fail
    ups.registers[3071 + 4 * 16] = 0x0080; // module 17: inverter protect
    ups.registers[2001] = 2311;
    ups.registers[2073] = 4321;
    connectAs(2);              // UpsModel 1: eight rows per module
    ASSERT_TRUE(cycleEnds(2)); // the module status words come with the second cycle

    auto* box = widget<QComboBox>("ComboBoxModIDSet");
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(0), "1");
    EXPECT_EQ(box->itemText(2), "17");
    auto* grid = widget<QTableWidget>("StringGridModule");
    ASSERT_EQ(grid->columnCount(), 4);
    ASSERT_EQ(grid->rowCount(), 9);
    EXPECT_EQ(cell("StringGridModule", 2, 0), "U_16");
    EXPECT_EQ(cell("StringGridModule", 0, 2), "Inverter Fail");
    EXPECT_EQ(cell("StringGridModule", 2, 2), "X");
    EXPECT_EQ(cell("StringGridModule", 1, 2), "V");
    EXPECT_EQ(cell("StringGridModule", 3, 8), "X");
    EXPECT_EQ(cellColour("StringGridModule", 2, 2), QColor(255, 0, 0));
    EXPECT_EQ(cellColour("StringGridModule", 1, 2), QColor(61, 149, 255));
    auto* tabs = widget<QTabWidget>("PageControlModule");
    EXPECT_TRUE(tabs->isTabVisible(1));

    EXPECT_EQ(cell("StringGridModData", 1, 0), "231.1");
    EXPECT_EQ(cell("StringGridModData", 3, 8), "4321");
    EXPECT_EQ(widget<QLineEdit>("EditModIDSet")->text(), "1");

    box->setCurrentIndex(1);
    QTest::mouseClick(widget<QPushButton>("ButtonModIDSet"), Qt::LeftButton);
    EXPECT_EQ(scheduler.live().modules.selected, 16);
    EXPECT_EQ(scheduler.activity(), ActModuleData);
    EXPECT_EQ(scheduler.liveStep(), 5);
    QSignalSpy stage(&scheduler, &UpsSession::moduleStageEnded);
    ASSERT_TRUE(ups.stepUntil([&] { return stage.count() > 0; }, 200));
    EXPECT_EQ(ups.requests.last().module, 16);
    EXPECT_EQ(widget<QLineEdit>("EditModIDSet")->text(), "16");
    EXPECT_EQ(box->currentText(), "16");

    // A box turned without pressing the button goes back to the module shown once a language is
    // applied and the next module data arrive.
    box->setCurrentIndex(2);
    applyLanguage(1);
    stage.clear();
    ASSERT_TRUE(ups.stepUntil([&] { return stage.count() > 0; }, 400));
    EXPECT_EQ(box->currentText(), "16");
    EXPECT_EQ(widget<QLineEdit>("EditModIDSet")->text(), "16");

    // The mask changes: the module list follows (the cycle the choice jumped into ends first).
    ups.registers[120] = 0x0001;
    ASSERT_TRUE(cycleEnds(2));
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(cell("StringGridModule", 2, 0), "U_17");
}

TEST_F(MonitorPagesTest, WithoutModulesTheTenUnitViewIsShownAndTheDataTabHidden) {
    ups.registers[119] = 0xC000;         // bits 14/15 are no modules
    ups.registers[121 + 12 * 2] = 1;     // unit 3 present
    ups.registers[121 + 12 * 2 + 2] = 1; // ... its fault 2 active
    connectAs(1);
    auto* tabs = widget<QTabWidget>("PageControlModule");
    tabs->setCurrentIndex(1);
    ASSERT_TRUE(cycleEnds());
    auto* grid = widget<QTableWidget>("StringGridModule");
    ASSERT_EQ(grid->columnCount(), 11);
    ASSERT_EQ(grid->rowCount(), 9);
    EXPECT_EQ(cell("StringGridModule", 10, 0), "U_10");
    EXPECT_EQ(cell("StringGridModule", 3, 1), "V");
    EXPECT_EQ(cell("StringGridModule", 3, 2), "X");
    EXPECT_EQ(cell("StringGridModule", 1, 1), "?");
    EXPECT_EQ(cellColour("StringGridModule", 1, 1), QColor(128, 128, 128));
    EXPECT_FALSE(tabs->isTabVisible(1));
    EXPECT_EQ(tabs->currentIndex(), 0);

    // Without modules the choice button asks nothing of the link.
    const int activity = scheduler.activity();
    QTest::mouseClick(widget<QPushButton>("ButtonModIDSet"), Qt::LeftButton);
    EXPECT_EQ(scheduler.activity(), activity);
}

TEST_F(MonitorPagesTest, WheelMovesTheModuleDataRowThreeAtATime) {
    auto* grid = widget<QTableWidget>("StringGridModData");
    ASSERT_EQ(grid->rowCount(), 44);
    grid->setCurrentCell(0, 1);
    auto wheel = [&](int delta) {
        const QPointF pos(10, 10);
        QWheelEvent event(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
        return grid->currentRow();
    };
    EXPECT_EQ(wheel(-120), 3);
    EXPECT_EQ(wheel(-120), 6);
    EXPECT_EQ(wheel(120), 3);
    EXPECT_EQ(wheel(120), 3); // row 0 is not reached by the wheel
    grid->setCurrentCell(42, 1);
    EXPECT_EQ(wheel(-120), 42);
    EXPECT_EQ(grid->currentColumn(), 1);
}

} // namespace
