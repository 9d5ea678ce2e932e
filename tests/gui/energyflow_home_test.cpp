// The energy-flow diagram on the home page over a scheduler that polls a scripted UPS: the elements
// of each variant, the picture states, squares painted where the frame says and moving with the
// phase, the repaint limited to the squares' strips, and Timerflow running only while it is needed.

#include "FakeUps.h"
#include "monitor/widgets/EnergyFlowWidget.h"
#include "monitor/widgets/MonitorPages.h"
#include "monitor/widgets/StatusStrip.h"

#include <QGraphicsEffect>
#include <QLabel>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::test;

namespace {

// Collects the regions the squares layer is asked to paint.
struct PaintSpy : QObject {
    QVector<QRegion> regions;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) regions << static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

class EnergyFlowHomeTest : public ::testing::Test {
  protected:
    FakeSerialChannel channel;
    UpsSession scheduler{channel};
    FakeUps ups{channel, scheduler};
    AppContext context{&scheduler, 1};
    QWidget window;
    EnergyFlowWidget* flow = nullptr;

    void SetUp() override {
        ZavPage* home = createMonitorPage(0, context, &window);
        ASSERT_NE(home, nullptr);
        window.resize(800, 500);
        home->resize(800, 500);
        window.show();
        flow = window.findChild<EnergyFlowWidget*>("EnergyFlow");
        ASSERT_NE(flow, nullptr);
        ASSERT_NE(window.findChild<QWidget*>("EnergyFlowArea")->findChild<EnergyFlowWidget*>(), nullptr);
    }

    void connectAs(int modelItem) {
        ups.mode = Protocol::Rtu;
        ConnectRequest request;
        request.modelItem = modelItem;
        request.baudItem = 3;
        request.portName = "/dev/ttyFAKE";
        request.protocol = Protocol::Rtu;
        ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
        for (ZavPage* page : window.findChildren<ZavPage*>())
            page->applyLanguage(context.language);
        ASSERT_TRUE(cycleEnds(2));
    }
    bool cycleEnds(int cycles = 1) {
        QSignalSpy spy(&scheduler, &UpsSession::liveCycleEnded);
        return ups.stepUntil([&] { return spy.count() >= cycles; }, 400 * cycles);
    }
    bool shown(const char* name) {
        QWidget* w = flow->findChild<QWidget*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w && w->isVisible();
    }
    QColor pixelAt(QPointF diagramPoint) {
        const QImage image = flow->grab().toImage();
        return image.pixelColor(flow->transform().map(diagramPoint).toPoint());
    }
    // The centre of square k of the first run along `wire`.
    QPointF squareCentre(const char* wire, int k) {
        for (const FlowRun& run : flow->frame().runs)
            if (qstrcmp(run.wire, wire) == 0) return QRectF(run.squares().at(k)).center();
        ADD_FAILURE() << "no run on " << wire;
        return {};
    }
};

TEST_F(EnergyFlowHomeTest, TowerOnStaticBypassDrawsRedSquaresAlongTheBypassWire) {
    ups.registers[81] = 2;
    ups.registers[1] = 2300;
    connectAs(3); // UpsModel 2
    for (const char* name : {"Shape2", "Shape3", "Shape4", "Shape5", "Shape11", "Shape9", "Shape25", "Panel2",
                             "Panel4", "Panel8", "ImageBypScrClose", "ImageMaintCbOpen"})
        EXPECT_TRUE(shown(name)) << name;
    for (const char* name : {"ShapeByp1", "ShapeByp2", "Shape1", "PanelRec", "PanelInv", "PanelBypass",
                             "PanelBatt", "ImageBypScrOpen", "ImageMaintCbClose"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_FALSE(window.findChild<QWidget*>("GroupBox6")->isHidden());
    ASSERT_TRUE(flow->timer()->isActive());

    flow->timerflowTimer();
    const QPointF square = squareCentre("Shape4", 5);
    EXPECT_EQ(pixelAt(square), QColor(255, 0, 0));
    EXPECT_NE(pixelAt(square + QPointF(6, 0)), QColor(255, 0, 0)); // the gap between two squares
    // One tick later the square has moved 3 pixels towards the output.
    flow->timerflowTimer();
    EXPECT_EQ(squareCentre("Shape4", 5), square + QPointF(3, 0));
    EXPECT_EQ(pixelAt(square + QPointF(3, 0)), QColor(255, 0, 0));

    // Back on the inverter: the switch opens and the squares turn green and leave the bypass wire.
    ups.registers[81] = 1;
    ASSERT_TRUE(cycleEnds());
    EXPECT_TRUE(shown("ImageBypScrOpen"));
    EXPECT_NE(pixelAt(square + QPointF(3, 0)), QColor(255, 0, 0));
    EXPECT_EQ(pixelAt(squareCentre("Shape2", 3)), QColor(0, 128, 0)); // right of the power module
}

TEST_F(EnergyFlowHomeTest, SmallTowerOnBatteryShowsItsOwnElements) {
    ups.registers[81] = 1;
    ups.registers[82] = 3;  // discharging: utility failure
    ups.registers[107] = 1; // battery voltage low
    ups.registers[91] = 1;  // bypass failed
    connectAs(7);           // UpsModel 6
    for (const char* name : {"Shape2", "Shape3", "ShapeByp1", "ShapeByp2", "Shape1", "PanelRec", "PanelInv",
                             "PanelBypass", "PanelBatt", "ImageBypFail", "ImageBattDisConn"})
        EXPECT_TRUE(shown(name)) << name;
    for (const char* name : {"Shape4", "Shape5", "Shape11", "Shape9", "Shape25", "Panel2", "Panel4", "Panel8",
                             "ImageBypassOK", "ImageBattConned"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_TRUE(window.findChild<QWidget*>("GroupBox6")->isHidden());

    // The battery squares move up, towards the inverter.
    flow->timerflowTimer();
    const QPointF before = squareCentre("Shape1", 0);
    flow->timerflowTimer();
    EXPECT_EQ(squareCentre("Shape1", 0), before - QPointF(0, 3));
    EXPECT_EQ(pixelAt(squareCentre("Shape1", 1)), QColor(0, 128, 0));
}

TEST_F(EnergyFlowHomeTest, TickRepaintsOnlyTheSquaresStrips) {
    ups.registers[81] = 1;
    ups.registers[109] = 1;
    ups.registers[82] = 1;
    connectAs(2); // UpsModel 1
    QWidget* layer = flow->findChild<QWidget*>("FlowSquares");
    ASSERT_NE(layer, nullptr);
    PaintSpy spy;
    layer->installEventFilter(&spy);
    QCoreApplication::processEvents(); // whatever was pending is painted first
    spy.regions.clear();
    // The squares before and after the tick: the old ones are wiped, the new ones drawn.
    QRegion runs;
    const auto addRuns = [&] {
        for (const FlowRun& run : flow->frame().runs)
            runs += flow->transform().mapRect(QRectF(run.bounds())).toAlignedRect().adjusted(-2, -2, 2, 2);
    };
    addRuns();
    flow->timerflowTimer();
    addRuns();
    QCoreApplication::processEvents();
    ASSERT_FALSE(spy.regions.isEmpty());
    for (const QRegion& r : spy.regions)
        EXPECT_TRUE((r - runs).isEmpty())
            << "painted outside the strips: " << (r - runs).boundingRect().x() << ","
            << (r - runs).boundingRect().y() << " " << (r - runs).boundingRect().width() << "x"
            << (r - runs).boundingRect().height();
    EXPECT_LT(runs.boundingRect().height(), layer->height() / 2);
}

TEST_F(EnergyFlowHomeTest, TimerflowRunsOnlyWhileShownAndLinked) {
    EXPECT_FALSE(flow->timer()->isActive()); // not connected
    ups.registers[81] = 1;
    connectAs(2);
    EXPECT_TRUE(flow->timer()->isActive());
    window.hide();
    EXPECT_FALSE(flow->timer()->isActive());
    window.show();
    EXPECT_TRUE(flow->timer()->isActive());
    EXPECT_FALSE(flow->frame().runs.isEmpty());

    // The cable is pulled: the watchdog clears the stores, the squares go and the timer stops.
    ups.silent = true;
    ASSERT_TRUE(ups.stepUntil([&] { return !scheduler.linkOk(); }, 200));
    ups.step();
    EXPECT_FALSE(flow->timer()->isActive());
    EXPECT_TRUE(flow->frame().runs.isEmpty());
    EXPECT_TRUE(shown("ImageBypScrOpen"));
}

TEST_F(EnergyFlowHomeTest, PendingModelDetectionHoldsThePhase) {
    ConnectRequest request;
    request.modelItem = 0; // Auto
    request.baudItem = 3;
    request.portName = "/dev/ttyFAKE";
    ASSERT_EQ(scheduler.connectLink(request), ConnectResult::Connected);
    ASSERT_TRUE(scheduler.autoModelPending());
    const uint32_t phase = flow->clock().FlowPhase;
    flow->timerflowTimer();
    EXPECT_EQ(flow->clock().FlowPhase, phase);
}

} // namespace

// The strip on top of the home page says what the UPS does, or why nothing is known; without live
// data the diagram is greyed and names the reason instead of showing a healthy UPS.
TEST_F(EnergyFlowHomeTest, StatusStripAndGreyDiagramFollowTheLink) {
    auto* strip = window.findChild<StatusStrip*>("StatusStrip");
    ASSERT_NE(strip, nullptr);
    const auto text = [&](const char* name) { return window.findChild<QLabel*>(name)->text(); };
    const auto greyed = [&] { return flow->graphicsEffect() != nullptr && !flow->dataGap().isEmpty(); };

    EXPECT_EQ(text("LabelUpsState"), "No data");
    EXPECT_EQ(text("LabelDataGap"), "Not connected");
    EXPECT_TRUE(greyed());
    EXPECT_EQ(flow->dataGap(), "Not connected");

    ups.registers[81] = 1;   // inverter
    ups.registers[88] = 1;   // utility failure
    ups.registers[83] = 1;   // battery connected
    ups.registers[56] = 853; // charge 85.3 %
    ups.registers[55] = 127; // 12.7 minutes left
    ups.registers[46] = 412;
    ups.registers[47] = 657; // the most loaded phase
    ups.registers[48] = 300;
    connectAs(2); // UpsModel 1
    EXPECT_EQ(text("LabelUpsState"), "On battery");
    EXPECT_FALSE(window.findChild<QLabel*>("LabelDataGap")->isVisibleTo(&window));
    EXPECT_EQ(text("LabelBatteryCharge"), "Charge 85 %");
    EXPECT_EQ(text("LabelRuntimeLeft"), "Runtime 13 min");
    EXPECT_EQ(text("LabelUpsLoad"), "Load 66 %");
    EXPECT_FALSE(greyed());
    EXPECT_EQ(strip->summary().state, UpsPowerState::OnBattery);

    // The UPS falls silent: once the link is given up the strip and the diagram say so.
    ups.silent = true;
    ASSERT_TRUE(ups.stepUntil([&] { return !scheduler.linkOk(); }, 400));
    ups.step();
    EXPECT_EQ(text("LabelUpsState"), "No data");
    EXPECT_EQ(text("LabelDataGap"), "The UPS does not answer");
    EXPECT_TRUE(greyed());

    scheduler.disconnectLink();
    ups.step();
    EXPECT_EQ(text("LabelDataGap"), "Not connected");
    EXPECT_EQ(flow->dataGap(), "Not connected");
}

