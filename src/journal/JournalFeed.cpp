#include "journal/JournalFeed.h"

namespace zav {

JournalFeed::JournalFeed(UpsSession& session, const JournalSettings& settings, const QString& upsName, Log log,
                         QObject* parent)
    : QObject(parent), events_(session), log_(std::move(log)) {
    events_.setUpsName(upsName);
    journal_.setRetention(settings.retention);
    if (settings.database.isEmpty()) log_(false, QStringLiteral("no event journal (none configured)"));
    else if (!journal_.open(settings.database))
        log_(true, QStringLiteral("no event journal: %1").arg(journal_.error()));
    connect(&journal_, &EventJournal::failed, this, [this](const QString& why) { log_(true, why); });
    if (!hook_.setSettings(settings.hook))
        log_(true, QStringLiteral("event command not used: a quote is not closed in '%1'").arg(settings.hook.commandLine));
    connect(&hook_, &CommandHook::note, this, [this](const QString& line) { log_(true, line); });
    connect(&events_, &UpsEvents::happened, this, [this](const UpsEvent& e) {
        journal_.add(e);
        hook_.run(e);
        emit happened(e);
    });
}

} // namespace zav
