// The trends page in the window: the window's live cycles go into its trend store, and the page
// draws the chosen values, breaks the line at a gap, zooms and exports what it shows.
#include "app_fixture.h"

#include "FakeUps.h"
#include "foundation/AppTexts.h"
#include "journal/TrendFeed.h"
#include "journal/widgets/TrendPages.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

using namespace zav;
using namespace zav::test;

namespace {

class TrendsPageTest : public ShellTest {
  protected:
    TrendStore& store() { return shell->trendFeed().store(); }
    TrendsPage* page() { return qobject_cast<TrendsPage*>(window().page(kTrendsPageIndex)); }
    QList<QLineSeries*> lines() {
        QList<QLineSeries*> out;
        for (QAbstractSeries* s : page()->chart()->chart()->series())
            if (auto* l = qobject_cast<QLineSeries*>(s)) out << l;
        return out;
    }
    QVector<float> cycle(float load) {
        QVector<float> v(trendChannels().size(), std::nanf(""));
        v[trendChannelIndex("output.load.a")] = load;
        return v;
    }
};

TEST_F(TrendsPageTest, LiveCyclesAreKeptAndDrawnWithGapsZoomAndExport) {
    MainWindow& w = start(options());
    ASSERT_TRUE(store().isOpen()) << store().error().toStdString();
    UpsSession& session = w.scheduler();
    FakeUps ups(channel, session);
    ups.mode = Protocol::Rtu;
    ups.registers[81] = 1;
    ups.registers[46] = 412; // output load of phase A, 41.2 %
    ConnectRequest request;
    request.modelItem = 2;
    request.baudItem = 3;
    request.portName = "/dev/ttyS0";
    request.protocol = Protocol::Rtu;
    ASSERT_EQ(session.connectLink(request), ConnectResult::Connected);
    QSignalSpy cycles(&session, &UpsSession::liveCycleEnded);
    ASSERT_TRUE(ups.stepUntil([&] { return cycles.count() >= 3; }, 2000));
    session.disconnectLink();
    ASSERT_TRUE(store().flush());
    const QString ups1 = shell->trendFeed().upsName();
    EXPECT_EQ(store().upses(), QStringList{ups1});

    // Older cycles of the same UPS with a gap between them: two more lines.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int minutesAgo : {40, 30}) {
        for (int i = 0; i < 5; ++i) store().add(ups1, now.addSecs(-60 * minutesAgo + 2 * i), cycle(20.0f + i));
    }
    ASSERT_TRUE(store().flush());

    w.show();
    w.showPage(kTrendsPageIndex);
    TrendsPage* p = page();
    ASSERT_NE(p, nullptr);
    find<QComboBox>("ComboTrendRange")->setCurrentIndex(int(TrendRange::Hour));
    auto* status = find<QLabel>("LabelTrendStatus");
    ASSERT_EQ(p->shown().series.size(), 1);
    const int points = int(p->shown().series[0].points.size());
    EXPECT_GE(points, 13);
    EXPECT_EQ(status->text(), QString("%1 points (every cycle)").arg(points));
    ASSERT_EQ(lines().size(), 3) << "one line between each two gaps";
    EXPECT_NEAR(lines().last()->points().last().y(), 41.2, 1e-4);

    // A second value from the list: its own lines (no data: none), the legend names it.
    auto* tree = find<QTreeWidget>("TreeTrendValues");
    ASSERT_EQ(tree->topLevelItemCount(), 5);
    QTreeWidgetItem* battery = tree->topLevelItem(3);
    EXPECT_EQ(battery->text(0), "Battery");
    battery->child(0)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(p->model().chosen(), (QStringList{"output.load.a", "battery.voltage.pos"}));
    EXPECT_EQ(p->shown().series.size(), 2);

    // The wheel zooms in around the pointer: a narrower window, still ending by now.
    auto* axis = qobject_cast<QDateTimeAxis*>(p->chart()->chart()->axes(Qt::Horizontal).first());
    const qint64 before = axis->max().toMSecsSinceEpoch() - axis->min().toMSecsSinceEpoch();
    const QPointF at = p->chart()->viewport()->rect().center();
    QWheelEvent wheel(at, p->chart()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(p->chart()->viewport(), &wheel);
    const qint64 after = axis->max().toMSecsSinceEpoch() - axis->min().toMSecsSinceEpoch();
    EXPECT_NEAR(double(after) / double(before), 0.64, 0.01);
    EXPECT_TRUE(find<QPushButton>("ButtonTrendResetZoom")->isEnabled());
    find<QPushButton>("ButtonTrendResetZoom")->click();
    EXPECT_FALSE(p->model().zoomed());

    // A band dragged over the plot: the window becomes the band's span.
    QWidget* plot = p->chart()->viewport();
    const QRectF area = p->chart()->chart()->plotArea();
    const QPoint a = p->chart()->mapFromScene(area.topLeft() + QPointF(area.width() * 0.25, area.height() / 2));
    const QPoint b = p->chart()->mapFromScene(area.topLeft() + QPointF(area.width() * 0.5, area.height() / 2));
    const qint64 full = axis->max().toMSecsSinceEpoch() - axis->min().toMSecsSinceEpoch();
    const qint64 bandFrom = axis->min().toMSecsSinceEpoch() + full / 4;
    QMouseEvent press(QEvent::MouseButtonPress, a, plot->mapToGlobal(a), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, b, plot->mapToGlobal(b), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, b, plot->mapToGlobal(b), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    for (QMouseEvent* e : {&press, &move, &release}) QApplication::sendEvent(plot, e);
    EXPECT_TRUE(p->model().zoomed());
    EXPECT_NEAR(double(axis->max().toMSecsSinceEpoch() - axis->min().toMSecsSinceEpoch()) / double(full), 0.25, 0.02);
    EXPECT_NEAR(double(axis->min().toMSecsSinceEpoch() - bandFrom) / double(full), 0, 0.02);
    find<QPushButton>("ButtonTrendResetZoom")->click();

    const QString csv = dir.filePath("shown.csv");
    p->exportCsvTo(csv);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF" "time,value,mean,min,max,gap\r\n"));
    EXPECT_EQ(bytes.count(",output.load.a,"), points);
    EXPECT_EQ(bytes.count(",1\r\n"), 2) << "the two gaps";
    EXPECT_TRUE(status->text().startsWith("Exported: "));
    const QString png = dir.filePath("shown.png");
    p->exportPngTo(png);
    EXPECT_FALSE(QImage(png).isNull());

    p->applyLanguage(LangCN);
    EXPECT_EQ(tree->topLevelItem(3)->text(0), "电池");
    EXPECT_EQ(pageCaption(kTrendsPageIndex, LangCHT), "趨勢");
    EXPECT_EQ(pageCaption(kTrendsPageIndex, LangEN), "Trends");
}

TEST_F(TrendsPageTest, AStoreThatCannotBeOpenedIsSaidAndTheWindowGoesOn) {
    QFile bad(dir.filePath("journal-trends.sqlite"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("garbage\n").repeated(1000));
    bad.close();
    start(options());
    EXPECT_FALSE(store().isOpen());
    window().showPage(kTrendsPageIndex);
    EXPECT_EQ(find<QLabel>("LabelTrendStatus")->text(), "No trend database");
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_FALSE(find<QPushButton>("ButtonTrendExportCsv")->isEnabled());
}

} // namespace
