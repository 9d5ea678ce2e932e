#pragma once
// The five windows of the program, created in their order: Form1 (the main window), FormSCode,
// FormPassword, FormCountDown, fmCloseFile.

#include "app/widgets/MainWindow.h"

#include <memory>

class QDialog;

namespace zav {

class ProtectionController;
class JournalFeed;
class TrendFeed;
class DesktopNotifier;

class AppShell {
public:
    AppShell(SerialChannel& channel, ShellOptions options);
    ~AppShell();

    MainWindow& mainWindow() { return *form1_; }
    FormPassword& formPassword() { return *formPassword_; }
    QDialog* formSCode() const { return formSCode_; }
    QDialog* formCountDown() const { return formCountDown_; }
    QDialog* fmCloseFile() const { return fmCloseFile_; }
    ProtectionController& protection() { return *protection_; }
    JournalFeed& journalFeed() { return *journal_; }
    TrendFeed& trendFeed() { return *trends_; }
    DesktopNotifier& notifier() { return *notifier_; }

    // Ends the program at once, in every state: the protection stands down (no countdown, no
    // sequence) and the event loop is left with QCoreApplication::exit(), which, unlike quit(), does
    // not first ask the windows to close, so the countdown's refusal cannot keep the program alive.
    void endProgram();

private:
    std::unique_ptr<MainWindow> form1_;
    QDialog* formSCode_ = nullptr;
    FormPassword* formPassword_ = nullptr;
    QDialog* formCountDown_ = nullptr;
    QDialog* fmCloseFile_ = nullptr;
    ProtectionController* protection_ = nullptr; // TimerShutdown, FormCountDown, fmCloseFile
    JournalFeed* journal_ = nullptr;             // the events: journal, command, notifications
    DesktopNotifier* notifier_ = nullptr;
    TrendFeed* trends_ = nullptr;                // each live cycle's values, thinned with age
};

} // namespace zav
