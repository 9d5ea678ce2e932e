#pragma once
// The shutdown sequence once a countdown has run out: the user's program (bounded by the policy's
// program wait), then the close-apps companion (bounded as well), then the power-off. Nothing here
// waits: programs are started through the ProcessRunner, their ends arrive as calls, and
// secondTick() counts the time limits. A limit that passes is logged and the sequence goes on, so
// a hung program can never keep the PC from powering off while the battery runs down.

#include "protect/PowerOff.h"
#include "protect/ProcessRunner.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zav {

struct SequenceSetup {
    bool runProgram = false;
    QString programLine;          // EditRunExProcedureAddr, split like a shell command line
    int programWaitSeconds = 300; // SEMaxRunTime * 60
    bool closeApps = false;
    QString companionProgram;     // zav-closeapp (beside zav, or in its installed helper folder)
    QStringList companionArguments;
    int companionWaitSeconds = 60;
};

class ShutdownSequence {
  public:
    enum class Step { Idle, Program, CloseApps, PowerOff, Done };
    enum class Notice { ProgramMissing, PowerOffRefused, PowerOffFailed, DryRun };

    ShutdownSequence(ProcessRunner& runner, PowerOff& powerOff);

    void start(const SequenceSetup& setup);
    void secondTick(); // one second of waiting has passed
    // A program started by this sequence ended (wired to the runner's `finished`).
    void processEnded(int run, int exitCode, bool normalExit);

    Step step() const { return step_; }
    int secondsLeft() const { return secondsLeft_; }
    const PowerOffResult& result() const { return result_; }

    std::function<void(const QString&)> log;                       // every step and its reason
    std::function<void(Notice, const QString& detail)> tellUser;   // what the window must say

  private:
    void runProgram();
    void runCompanion();
    void powerOff();
    void say(Notice notice, const QString& detail);
    void note(const QString& line);

    ProcessRunner& runner_;
    PowerOff& powerOff_;
    SequenceSetup setup_;
    Step step_ = Step::Idle;
    int run_ = 0; // the run this step waits for
    int secondsLeft_ = 0;
    PowerOffResult result_;
};

} // namespace zav
