#pragma once
// A page of PageControl1. The main window creates the pages, installs them at their tree index and
// calls applyLanguage() from FormStrInit; pages connect themselves to the scheduler's signals
// (liveCycleEnded, settingsDownloaded, ...) and redraw from the stores. Action buttons only need
// their objectName: the window enables them from UpdateButtonStates.

#include <QWidget>

namespace zav {

class UpsSession;
class ProfileFile;
class AlarmSelection;
class EventJournal;
class TrendFeed;

struct AppContext {
    UpsSession* scheduler = nullptr;
    int language = 1;               // 0 CN, 1 EN, 2 CHT; kept current by the main window
    ProfileFile* profile = nullptr; // ZAV.ini, for pages that keep their own keys
    // The alarm tab's event boxes and beeper switch as they stand now: the tab writes, the alarm
    // beeper reads. nullptr: the beeper keeps its own copy loaded from ZAV.ini.
    AlarmSelection* alarms = nullptr;
    // The event journal of the window; nullptr while there is none (the journal page says so).
    EventJournal* journal = nullptr;
    // The trends of the window; nullptr while there are none (the trends page says so).
    TrendFeed* trends = nullptr;
};

class ZavPage : public QWidget {
    Q_OBJECT
public:
    ZavPage(AppContext& context, QWidget* parent = nullptr) : QWidget(parent), context_(context) {}
    virtual void applyLanguage(int language) { Q_UNUSED(language); } // captions of this page
    virtual void refresh() {}                                          // redraw from the stores
    virtual void pageShown() {}                                        // the tree selected this page

protected:
    AppContext& context_;
};

} // namespace zav
