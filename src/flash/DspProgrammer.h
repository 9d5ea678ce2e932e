#pragma once
// A DSP programming run through the processor's serial bootloader, as a state machine with no port,
// widget or clock: received chunks (onChunk), the ping timer (pingTick, TimerProgram) and the 1 s
// watch timer (secondTick, TimerProgCnt) go in; bytes to queue on Comm1, baud changes, log lines,
// progress and messages come out as signals.
//
// The run: pings of 'A' until the boot ROM locks its baud rate (38400), the Flash API kernel file,
// 16 line feeds by which the kernel announces itself, the code-security keys and target IDs, the
// kernel's unlock result, pings again at the programming rate, the application (nibbles 6/7 swapped),
// and the kernel's closing text with the checksum of what it received. Everything after the first
// lock is steered by key words in the kernel's text.

#include "flash/FlashTexts.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace zav {

struct ProgramRun {
    QString applicationPath;
    QString kernelPath;         // the Flash API file beside the program
    // The files as they were checked before the run: when set, these bytes are sent, not whatever
    // the paths hold by then (a file replaced meanwhile is never sent unchecked).
    QByteArray applicationImage;
    QByteArray kernelImage;
    int programmingBaud = 115200;
    QByteArray keys;            // EditKey0..7 then EditID0..7, as typed (64 characters)
};

class DspProgrammer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kLockBaud = 38400;
    static constexpr int kMaxPings = 20;
    static constexpr int kKernelLines = 16;
    static constexpr int kStallSeconds = 30; // silence after the application has left: a failed run

    enum Stage : int { KernelStarted = 22, Unlocked = 33, ApplicationSent = 44 };

    explicit DspProgrammer(QObject* parent = nullptr) : QObject(parent) {}

    // ButtonBrowseClick: a new log with the reset request and the file's checksum.
    void fileChosen(uint16_t checksum);
    // ButtonProgramClick after its checks, with Comm1 open at 38400 baud.
    void start(const ProgramRun& run, uint16_t checksum);
    void pingTick();                          // TimerProgramTimer
    void secondTick(bool stillSending = false); // TimerProgCntTimer; stillSending: Comm1 has bytes queued
    void onChunk(const QByteArray& bytes);    // Comm1ReceiveData
    void cancel();                            // ButtonProgramResetClick
    void portFailed(const QString& reason);   // Comm1 lost its port during a run
    void resetProgramming();
    // The page's initialisation: IdleWatch 0 and Cancel disabled (only while no run is going).
    void resetIdleWatch();
    void setProgress(int value);
    // Seconds of silence after the application has left before the run counts as failed.
    void setStallSeconds(int seconds) { stallSeconds_ = seconds; }

    bool running() const { return running_; }
    bool pingTimerOn() const { return pingTimerOn_; }
    int progStage() const { return progStage_; }
    int bootStage() const { return bootStage_; }
    int pingCount() const { return pingCount_; }
    bool baudSwitched() const { return baudSwitched_; }
    int kernelWatch() const { return kernelWatch_; }
    int apiVersionWatch() const { return apiVersionWatch_; }
    int idleWatch() const { return idleWatch_; }
    int progress() const { return progress_; }
    bool resetButtonEnabled() const { return idleWatch_ > 29; }
    QString logText() const; // the log as shown, the line being received included
    QStringList logLines() const { return lines_; }

  signals:
    void sendDue(const QByteArray& bytes); // queue on Comm1
    void baudDue(int baud);                 // Comm1's rate, on the open port
    void pingTimerSwitched(bool on);        // TimerProgram
    void runEnded();                        // Comm1 closed, ButtonProgram enabled, port refresh on
    void messageDue(FlashMessage row);
    void logChanged();
    void progressChanged(int value);
    void resetButtonChanged(bool enabled);

  private:
    void lockChunk(const QByteArray& bytes);
    void sendKernel();
    void sendApplication();
    void finish();
    void fail(FlashMessage row);
    void addLine(const QString& line);
    void appendText(const QString& text);
    void showByte(uint8_t byte);
    void addProgress(int step) { setProgress(progress_ + step); }
    void setPingTimer(bool on);
    bool logHas(const char* word) const { return logText().contains(QLatin1String(word)); }
    bool logHasAny(std::initializer_list<const char*> words) const;

    ProgramRun run_;
    bool running_ = false;
    bool pingTimerOn_ = false;
    int progStage_ = 0;
    int bootStage_ = 0;
    int pingCount_ = 0;
    bool baudSwitched_ = false;
    int kernelWatch_ = 0;
    int apiVersionWatch_ = 0;
    int idleWatch_ = 0;
    int silentAfterSend_ = 0;
    int stallSeconds_ = kStallSeconds;
    bool resetButton_ = false;
    int progress_ = 0;
    uint16_t expectedChecksum_ = 0;
    QStringList lines_;
    QString current_; // received characters since the last carriage return
};

// The checksum the kernel reports: the 4 characters after the first "Checksum = 0x" that follows
// "Programming" (non-hex characters count as 0); -1 when either is missing or the digits are cut off.
int reportedChecksum(const QString& log);

} // namespace zav
