#include "journal/JournalView.h"

#include "journal/JournalFormat.h"

#include <QSaveFile>

namespace zav {

namespace {

struct PageText {
    const char* key;
    Texts3 text;
};
constexpr PageText kTexts[] = {
    {"title", {"事件日志", "Event journal", "事件日誌"}},
    {"kind", {"类别", "Kind", "類別"}},
    {"allKinds", {"全部类别", "All kinds", "全部類別"}},
    {"range", {"时间", "Time", "時間"}},
    {"from", {"从", "From", "從"}},
    {"to", {"到", "To", "到"}},
    {"search", {"搜索", "Search", "搜尋"}},
    {"refresh", {"刷新", "Refresh", "重新整理"}},
    {"export", {"导出CSV...", "Export CSV...", "匯出CSV..."}},
    {"exported", {"已导出：%1", "Exported: %1", "已匯出：%1"}},
    {"exportFailed", {"导出失败：%1", "Export failed: %1", "匯出失敗：%1"}},
    {"noJournal", {"没有事件日志：%1", "No event journal: %1", "沒有事件日誌：%1"}},
    {"count", {"%1 条事件", "%1 events", "%1 條事件"}},
    {"more", {"显示最新的 %1 条事件，更早的请缩小时间范围或导出", "The newest %1 events are shown; narrow the time or export for the rest",
              "顯示最新的 %1 條事件，更早的請縮小時間範圍或匯出"}},
    {"colTime", {"时间", "Time", "時間"}},
    {"colKind", {"类别", "Kind", "類別"}},
    {"colEvent", {"事件", "Event", "事件"}},
};

constexpr Texts3 kRanges[kJournalRangeCount] = {
    {"最近1小时", "Last hour", "最近1小時"}, {"最近1天", "Last day", "最近1天"},   {"最近1周", "Last week", "最近1週"},
    {"最近1个月", "Last month", "最近1個月"}, {"全部", "Everything", "全部"},       {"自定义", "Custom", "自訂"},
};

} // namespace

QString journalPageText(const char* key, int language) {
    for (const PageText& t : kTexts)
        if (qstrcmp(t.key, key) == 0) return pickText(t.text, language);
    return QString::fromLatin1(key);
}

QStringList journalKindItems(int language) {
    QStringList items{journalPageText("allKinds", language)};
    for (const QString& k : eventKinds()) items << eventKindTitle(k, language);
    return items;
}

QStringList journalRangeItems(int language) {
    QStringList items;
    for (const Texts3& t : kRanges) items << pickText(t, language);
    return items;
}

JournalQuery journalQuery(const JournalFilter& f, const QDateTime& now) {
    JournalQuery q;
    const QStringList kinds = eventKinds();
    if (f.kindItem >= 1 && f.kindItem <= kinds.size()) q.kinds << kinds[f.kindItem - 1];
    switch (f.range) {
    case JournalRange::Hour: q.since = now.addSecs(-3600); break;
    case JournalRange::Day: q.since = now.addDays(-1); break;
    case JournalRange::Week: q.since = now.addDays(-7); break;
    case JournalRange::Month: q.since = now.addMonths(-1); break;
    case JournalRange::All: break;
    case JournalRange::Custom:
        q.since = f.from;
        q.until = f.to;
        break;
    }
    q.search = f.search.trimmed();
    q.limit = kJournalPageRows + 1;
    return q;
}

JournalTable journalTable(const QVector<UpsEvent>& found, int language, const QString& error) {
    JournalTable t;
    t.headers = QStringList{journalPageText("colTime", language), journalPageText("colKind", language),
                            journalPageText("colEvent", language)};
    if (!error.isEmpty()) {
        t.status = journalPageText("noJournal", language).arg(error);
        return t;
    }
    const int shown = int(std::min<qsizetype>(found.size(), kJournalPageRows));
    for (int i = 0; i < shown; ++i) {
        const UpsEvent& e = found[i];
        t.rows << QStringList{e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                              eventKindTitle(e.kind(), language), e.text};
    }
    t.status = found.size() > kJournalPageRows ? journalPageText("more", language).arg(kJournalPageRows)
                                               : journalPageText("count", language).arg(shown);
    return t;
}

QString exportJournalCsv(const EventJournal& journal, JournalQuery query, const QString& path) {
    query.limit = 0;
    const QVector<UpsEvent> events = journal.query(query);
    if (!journal.queryError().isEmpty()) return journal.queryError();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return f.errorString();
    f.write(journalCsv(events, true));
    if (!f.commit()) return f.errorString();
    return {};
}

} // namespace zav
