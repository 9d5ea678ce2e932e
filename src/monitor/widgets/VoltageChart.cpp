#include "monitor/widgets/VoltageChart.h"

#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

namespace zav {

VoltageChart::VoltageChart(const QString& chartName, const QString& lineName, QWidget* parent)
    : QChartView(parent) {
    setObjectName(chartName);
    auto* chart = new QChart;
    chart->setObjectName(chartName);
    chart->legend()->hide();
    line_ = new QLineSeries(chart);
    line_->setObjectName(lineName);
    line_->setColor(QColor(0, 128, 0));
    line_->setPointsVisible(true);
    chart->addSeries(line_);

    timeAxis_ = new QDateTimeAxis(chart);
    timeAxis_->setFormat(QStringLiteral("hh:mm:ss"));
    timeAxis_->setTickCount(6);
    voltAxis_ = new QValueAxis(chart);
    voltAxis_->setRange(0, 300);
    voltAxis_->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(voltAxis_, Qt::AlignLeft);
    line_->attachAxis(timeAxis_);
    line_->attachAxis(voltAxis_);
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(trend_.windowStart()),
                        QDateTime::fromMSecsSinceEpoch(trend_.windowEnd()));

    setChart(chart); // the view owns the chart
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(220);
}

void VoltageChart::setTitle(const QString& title) {
    chart()->setTitle(title);
}

void VoltageChart::addPoint(const QDateTime& t, int volts) {
    trend_.append(t.toMSecsSinceEpoch(), volts);
    line_->replace(trend_.points());
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(trend_.windowStart()),
                        QDateTime::fromMSecsSinceEpoch(trend_.windowEnd()));
}

} // namespace zav
