#pragma once
// What a program hangs on one UPS session for its events: the event source, the journal they go
// into and the event command they start; the window adds its desktop notifications through
// happened(). Used alike by the window and by zavd, so both keep the same journal.
//
// A journal that cannot be opened is said once through `log` and left off; the events still reach
// the command and the notifications.

#include "journal/CommandHook.h"
#include "journal/EventJournal.h"
#include "journal/JournalConfig.h"
#include "journal/UpsEvents.h"

#include <QObject>
#include <functional>

namespace zav {

class UpsSession;
class ShutdownPolicy;

class JournalFeed : public QObject {
    Q_OBJECT
  public:
    // `log(warning, line)`: the program's log (stderr in zavd, the debug log in the window).
    using Log = std::function<void(bool warning, const QString& line)>;
    JournalFeed(UpsSession& session, const JournalSettings& settings, const QString& upsName, Log log,
                QObject* parent = nullptr);

    UpsEvents& events() { return events_; }
    EventJournal& journal() { return journal_; }
    CommandHook& hook() { return hook_; }
    void setLanguage(int language) { events_.setLanguage(language); }
    void protectionStepped(const ShutdownPolicy& policy) { events_.protectionStepped(policy); }

  signals:
    void happened(const zav::UpsEvent& event);

  private:
    UpsEvents events_;
    EventJournal journal_;
    CommandHook hook_;
    Log log_;
};

} // namespace zav
