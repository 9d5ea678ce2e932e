#include "monitor/widgets/VoltageChart.h"

#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QToolTip>
#include <QValueAxis>

namespace zav {

VoltageChart::VoltageChart(const QString& chartName, const QString& lineName, QWidget* parent)
    : QChartView(parent), lineName_(lineName) {
    setObjectName(chartName);
    auto* chart = new QChart;
    chart->setObjectName(chartName);
    chart->legend()->hide();

    timeAxis_ = new QDateTimeAxis(chart);
    timeAxis_->setFormat(QStringLiteral("hh:mm:ss"));
    timeAxis_->setTickCount(6);
    voltAxis_ = new QValueAxis(chart);
    voltAxis_->setRange(0, 300);
    voltAxis_->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(voltAxis_, Qt::AlignLeft);
    addSegment(chart);
    setChart(chart); // the view owns the chart; set after the first series, or the time axis is not drawn
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(trend_.windowStart()),
                        QDateTime::fromMSecsSinceEpoch(trend_.windowEnd()));

    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(220);
}

QLineSeries* VoltageChart::addSegment(QChart* chart) {
    auto* series = new QLineSeries(chart);
    series->setColor(QColor(0, 128, 0));
    series->setPointsVisible(true);
    chart->addSeries(series);
    series->attachAxis(timeAxis_);
    series->attachAxis(voltAxis_);
    connect(series, &QLineSeries::hovered, this, [this](const QPointF& p, bool over) {
        if (over)
            QToolTip::showText(QCursor::pos(), hoverText(p), this);
        else
            QToolTip::hideText();
    });
    segments_.append(series);
    return series;
}

QString VoltageChart::pointLabel(double x) {
    return QLocale::system().toString(QDateTime::fromMSecsSinceEpoch(qint64(x)).time(), QLocale::ShortFormat);
}

QString VoltageChart::hoverText(const QPointF& p) {
    return pointLabel(p.x()) + QStringLiteral("  %1 V").arg(qRound(p.y()));
}

void VoltageChart::setTitle(const QString& title) {
    chart()->setTitle(title);
}

void VoltageChart::addPoint(const QDateTime& t, int volts) {
    trend_.append(t.toMSecsSinceEpoch(), volts);
    redraw();
}

void VoltageChart::addGap(const QDateTime& t) {
    trend_.appendGap(t.toMSecsSinceEpoch());
    redraw();
}

void VoltageChart::redraw() {
    const QVector<QVector<QPointF>> runs = trend_.runs();
    while (segments_.size() < runs.size()) addSegment(chart());
    while (segments_.size() > runs.size()) {
        QLineSeries* old = segments_.takeFirst();
        chart()->removeSeries(old);
        delete old;
    }
    for (qsizetype i = 0; i < runs.size(); ++i) {
        segments_[i]->setObjectName(i + 1 == runs.size() ? lineName_ : lineName_ + QString::number(i));
        segments_[i]->replace(runs[i]);
    }
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(trend_.windowStart()),
                        QDateTime::fromMSecsSinceEpoch(trend_.windowEnd()));
}

} // namespace zav
