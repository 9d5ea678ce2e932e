#include "journal/TrendFeed.h"

#include "monitor/TrendValues.h"
#include "session/UpsSession.h"

namespace zav {

TrendFeed::TrendFeed(UpsSession& session, const JournalSettings& settings, const QString& upsName, Log log,
                     QObject* parent)
    : QObject(parent), session_(session), ups_(upsName), log_(std::move(log)) {
    store_.setRetention(settings.trends);
    const QString path = trendDatabasePath(settings.database);
    if (path.isEmpty()) log_(false, QStringLiteral("no trends (no journal configured)"));
    else if (!store_.open(path)) log_(true, QStringLiteral("no trends: %1").arg(store_.error()));
    connect(&store_, &TrendStore::failed, this, [this](const QString& why) { log_(true, why); });
    connect(&session, &UpsSession::liveCycleEnded, this, &TrendFeed::cycleEnded);
}

QString TrendFeed::shownUps() const {
    if (const QString now = upsName(); !now.isEmpty()) return now;
    if (!lastWritten_.isEmpty()) return lastWritten_;
    const QStringList names = store_.upses();
    return names.isEmpty() ? QString() : names.first();
}

void TrendFeed::cycleEnded() {
    if (!store_.isOpen()) return;
    const MeasureLayout layout = measureLayout(session_.upsModel(), session_.settings().SettingData);
    lastWritten_ = upsName();
    store_.add(lastWritten_, clock_ ? clock_() : QDateTime::currentDateTimeUtc(), trendSample(session_.live(), layout));
}

} // namespace zav
