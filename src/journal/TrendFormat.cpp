#include "journal/TrendFormat.h"

#include "journal/JournalFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zav {

namespace {

QString number(float v) { return QString::number(double(v), 'g', 7); }
QString timeOf(const TrendPoint& p) { return journalTimeText(QDateTime::fromMSecsSinceEpoch(p.ms, Qt::UTC)); }

} // namespace

QString trendLevelName(TrendLevel level) {
    switch (level) {
    case TrendLevel::Cycle: return QStringLiteral("cycle");
    case TrendLevel::Minute: return QStringLiteral("minute");
    case TrendLevel::TenMinutes: return QStringLiteral("ten-minutes");
    }
    return {};
}

QByteArray trendCsv(const TrendResult& result, bool byteOrderMark) {
    QString text = QStringLiteral("time,value,mean,min,max,gap\r\n");
    for (const TrendSeries& s : result.series)
        for (const TrendPoint& p : s.points)
            text += QStringList{timeOf(p), s.key, number(p.mean), number(p.min), number(p.max),
                                p.gapBefore ? QStringLiteral("1") : QStringLiteral("0")}
                        .join(u',') +
                    QStringLiteral("\r\n");
    QByteArray out = byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return out + text.toUtf8();
}

QByteArray trendJson(const QString& ups, const TrendResult& result) {
    QJsonArray series;
    for (const TrendSeries& s : result.series) {
        QJsonArray points;
        for (const TrendPoint& p : s.points)
            points.append(QJsonObject{{"time", timeOf(p)},
                                      {"mean", double(p.mean)},
                                      {"min", double(p.min)},
                                      {"max", double(p.max)},
                                      {"gap", p.gapBefore}});
        series.append(QJsonObject{{"value", s.key}, {"points", points}});
    }
    return QJsonDocument(QJsonObject{{"ups", ups}, {"level", trendLevelName(result.level)}, {"series", series}})
        .toJson(QJsonDocument::Indented);
}

} // namespace zav
