#include "journal/JournalFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace zav {

namespace {

QString csvCell(const QString& cell) {
    const bool quote = cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r') ||
                       (!cell.isEmpty() && (cell.front().isSpace() || cell.back().isSpace()));
    if (!quote) return cell;
    QString c = cell;
    c.replace(u'"', QStringLiteral("\"\""));
    return u'"' + c + u'"';
}

} // namespace

QString journalTimeText(const QDateTime& time) {
    return time.toLocalTime().toOffsetFromUtc(time.toLocalTime().offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QByteArray journalCsv(const QVector<UpsEvent>& events, bool byteOrderMark) {
    QString text = QStringLiteral("time,ups,event,kind,text,details\r\n");
    for (const UpsEvent& e : events) {
        const QStringList cells{journalTimeText(e.time), e.ups, e.name(), e.kind(), e.text, e.details};
        QStringList quoted;
        for (const QString& c : cells) quoted << csvCell(c);
        text += quoted.join(u',') + QStringLiteral("\r\n");
    }
    QByteArray out = byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    return out + text.toUtf8();
}

QByteArray journalJson(const QVector<UpsEvent>& events) {
    QJsonArray list;
    for (const UpsEvent& e : events)
        list.append(QJsonObject{{"time", journalTimeText(e.time)},
                                {"ups", e.ups},
                                {"event", e.name()},
                                {"kind", e.kind()},
                                {"text", e.text},
                                {"details", e.details}});
    return QJsonDocument(list).toJson(QJsonDocument::Indented);
}

std::optional<QDateTime> parseJournalTime(const QString& raw, const QDateTime& now) {
    const QString text = raw.trimmed();
    static const QRegularExpression span(QStringLiteral("^(\\d{1,6})([smhdw])$"));
    if (const QRegularExpressionMatch m = span.match(text); m.hasMatch()) {
        static const QHash<QChar, qint64> unit{{u's', 1}, {u'm', 60}, {u'h', 3600}, {u'd', 86400}, {u'w', 7 * 86400}};
        return now.addSecs(-m.captured(1).toLongLong() * unit.value(m.captured(2).front()));
    }
    QString iso = text;
    iso.replace(u' ', u'T');
    QDateTime t = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!t.isValid()) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid()) t = d.startOfDay();
    }
    if (!t.isValid()) return std::nullopt;
    return t.toUTC();
}

} // namespace zav
