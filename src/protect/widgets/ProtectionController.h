#pragma once
// The PC protection in the window: TimerShutdown (1000 ms) steps the shutdown policy with the live
// status words and LinkOk, shows or closes FormCountDown, queues the UPS switch-off through the
// scheduler, runs the shutdown sequence, and shows the close list fmCloseFile when the main window
// becomes active. It puts the shutdown tab's controls into page 10 and keeps them loaded from
// ZAV.ini at start-up and on every language or model change.
//
// The countdown and the pending switch-off warning (FormUpsOff) are windows without a parent, so no
// box modal to the main window blocks them; they are placed clear of the boxes over the main window.
// standDown() ends the protection for the program's end: the timer stops, both windows go, and
// nothing more is started.

#include "protect/PowerOff.h"
#include "protect/ProcessRunner.h"
#include "protect/ShutdownPolicy.h"
#include "protect/ShutdownSequence.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QDialog;
class QMessageBox;
class QTimer;

namespace zav {

struct AppContext;
class FmCloseFile;
class FormCountDown;
class FormUpsOff;
class ShutdownTab;

struct ProtectionOptions {
    PowerOff* powerOff = nullptr;     // the system's power-off; nullptr: the dry run
    ProcessRunner* runner = nullptr;  // nullptr: QProcess
    QString companionProgram;         // zav-closeapp (beside zav, or in its installed helper folder)
    QString closeRecordPath;          // CLOSEAPP.INI beside ZAV.ini
    int companionWaitSeconds = 60;    // the longest wait for the companion
};

class ProtectionController : public QObject {
    Q_OBJECT
  public:
    // `window` is the main window: the tab goes into its TabSheetShutdown, the two windows belong to it.
    ProtectionController(AppContext& context, QWidget* window, ProtectionOptions options);
    ~ProtectionController() override;

    FormCountDown* formCountDown() const { return formCountDown_; }
    FmCloseFile* fmCloseFile() const { return fmCloseFile_; }
    FormUpsOff* formUpsOff() const { return formUpsOff_; }
    ShutdownTab* tab() const { return tab_; }
    QTimer* timerShutdown() const { return timer_; }
    const ShutdownPolicy& policy() const { return policy_; }
    const ShutdownSequence& sequence() const { return *sequence_; }
    DryRunPowerOff* dryRun() const { return dryRun_.get(); } // nullptr with the system's power-off
    const QStringList& log() const { return log_; }
    QString lastMessage() const { return lastMessage_; }

    void timerShutdownTimer();
    void buttonShutSetClick();
    void reload();       // start-up, language and model change
    void formActivate(); // the main window became active
    void standDown();    // the program ends: no tick, no window, no sequence from now on
    // Seconds on a steady clock for the pending switch-off (default: since this object was made);
    // tests give their own.
    void setClock(std::function<qint64()> steadySeconds) { clock_ = std::move(steadySeconds); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void startSequence();
    void note(const QString& line, bool loud = false);
    void tellUser(const QString& text);
    void showPlaced(QDialog* window); // shown clear of the boxes over the main window
    QDateTime wallTime(qint64 steadySeconds) const;
    void showSwitchOff(const PendingSwitchOff& upsOff);

    AppContext& context_;
    QWidget* window_;
    ProtectionOptions options_;
    std::unique_ptr<DryRunPowerOff> dryRun_;
    std::unique_ptr<QtProcessRunner> ownRunner_;
    ShutdownPolicy policy_;
    ShutdownConfig loaded_;
    std::unique_ptr<ShutdownSequence> sequence_;
    ShutdownTab* tab_ = nullptr;
    std::unique_ptr<FormCountDown> formCountDownOwner_; // top-level windows of their own
    std::unique_ptr<FormUpsOff> formUpsOffOwner_;
    FormCountDown* formCountDown_ = nullptr;
    FormUpsOff* formUpsOff_ = nullptr;
    FmCloseFile* fmCloseFile_ = nullptr;
    QElapsedTimer steady_;
    QDateTime wallAtStart_;
    std::function<qint64()> clock_;
    bool stoodDown_ = false;
    QTimer* timer_ = nullptr;
    QPointer<QMessageBox> messageBox_;
    QStringList log_;
    QString lastMessage_;
};

} // namespace zav
