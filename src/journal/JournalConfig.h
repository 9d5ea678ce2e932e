#pragma once
// Where the journal lives and what the events set off, as ZAV.ini keeps it for the window:
//
//   [Journal]       Database (path; default the user's data folder), MaxAgeDays, MaxSizeMB,
//                   TrendMaxSizeMB (the trends, kept in <journal>-trends.sqlite beside the journal's file)
//   [Notify]        one key per notification choice (PowerFail, PowerBack, BatteryLow, Link,
//                   OutputOff, Alarm): 1 notifies, 0 not; a missing key notifies
//   [EventCommand]  Program (a program and its arguments, run without a shell), TimeoutSeconds
//
// zavd reads the same sections from zavd.conf (with [Journal] StateDirectory instead of Database).

#include "journal/EventJournal.h"
#include "journal/TrendStore.h"
#include "journal/UpsEvent.h"

#include <QString>
#include <array>

namespace zav {

class ProfileFile;

// The choices of the software settings dialog: which events show a desktop notification.
enum class NotifyChoice : int { PowerFail, PowerBack, BatteryLow, Link, OutputOff, Alarm, Count };
inline constexpr int kNotifyChoiceCount = int(NotifyChoice::Count);
struct NotifyChoiceInfo {
    NotifyChoice choice;
    const char* key; // in [Notify]
    Texts3 caption;
};
const std::array<NotifyChoiceInfo, kNotifyChoiceCount>& notifyChoices();
// The choice an event type falls under, or Count when that type never notifies.
NotifyChoice notifyChoiceOf(EventType type);

struct HookSettings {
    QString commandLine;     // empty: no hook
    int timeoutSeconds = 30; // a run still going then is killed
    int maxRunning = 3;      // more events meanwhile wait (at most kMaxWaiting), the rest are dropped
};

struct JournalSettings {
    QString database; // empty: no journal
    JournalRetention retention;
    TrendRetention trends; // in journal-trends.sqlite beside the journal; the journal's age limit, a size of its own
    HookSettings hook;
    std::array<bool, kNotifyChoiceCount> notify{};
};

inline constexpr char kJournalSection[] = "Journal";
inline constexpr char kNotifySection[] = "Notify";
inline constexpr char kEventCommandSection[] = "EventCommand";

// The window's journal when ZAV.ini names none: journal.sqlite in the user's data folder of zav
// (~/.local/share/zav), the same for zav and for zavctl.
QString defaultWindowJournalPath();
JournalSettings loadJournalSettings(const ProfileFile& profile);
bool saveNotifyChoices(ProfileFile& profile, const std::array<bool, kNotifyChoiceCount>& notify);

} // namespace zav
