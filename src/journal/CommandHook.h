#pragma once
// The event command: a program the user names, run for every event with the event in its
// environment (ZAV_EVENT, the event's name; ZAV_KIND; ZAV_TEXT; ZAV_UPS; ZAV_TIME; ZAV_DETAILS),
// as NUT's NOTIFYCMD. It runs through QProcess, without a shell, so nothing in an event's text is
// ever read as a command. Nothing waits for it: at most `maxRunning` runs at once, a few more
// events wait their turn, later ones are dropped (and counted); a run still going after the time
// limit is killed. Its output goes nowhere.

#include "journal/JournalConfig.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QProcess;

namespace zav {

class CommandHook : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxWaiting = 16;

    explicit CommandHook(QObject* parent = nullptr);
    ~CommandHook() override;

    // A bad command line (an unclosed quote) is refused: false, and the hook stays off.
    bool setSettings(const HookSettings& settings);
    bool enabled() const { return !program_.isEmpty(); }
    void run(const UpsEvent& event);

    int running() const { return int(running_.size()); }
    int waiting() const { return int(waiting_.size()); }
    int dropped() const { return dropped_; }

    // The environment a run gets for an event (the process's own plus the event's variables).
    static QStringList environment(const UpsEvent& event, const QStringList& base);

  signals:
    // A run ended: its exit code, or killed after the time limit, or not started at all.
    void ended(const QString& event, int exitCode, bool timedOut, bool startFailed);
    void note(const QString& line); // for the program's log

  private:
    void startNext();

    QString program_;
    QStringList arguments_;
    HookSettings settings_;
    QList<QProcess*> running_;
    QList<UpsEvent> waiting_;
    int dropped_ = 0;
};

} // namespace zav
