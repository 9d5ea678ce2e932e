#include "protect/ShutdownSequence.h"

#include <QProcess>

namespace zav {

ShutdownSequence::ShutdownSequence(ProcessRunner& runner, PowerOff& powerOff)
    : runner_(runner), powerOff_(powerOff) {}

void ShutdownSequence::note(const QString& line) {
    if (log) log(line);
}

void ShutdownSequence::say(Notice notice, const QString& detail) {
    if (tellUser) tellUser(notice, detail);
}

void ShutdownSequence::start(const SequenceSetup& setup) {
    if (step_ != Step::Idle) return; // once per program run
    setup_ = setup;
    runProgram();
}

void ShutdownSequence::runProgram() {
    step_ = Step::Program;
    if (!setup_.runProgram) return runCompanion();
    const QStringList words = QProcess::splitCommand(setup_.programLine);
    if (words.isEmpty()) {
        note(QStringLiteral("no program to run before the shutdown"));
        say(Notice::ProgramMissing, QString());
        return runCompanion();
    }
    QString error;
    run_ = runner_.start(words.first(), words.mid(1), &error);
    if (run_ == 0) {
        note(QStringLiteral("program %1 could not be started: %2").arg(words.first(), error));
        say(Notice::ProgramMissing, error);
        return runCompanion();
    }
    secondsLeft_ = setup_.programWaitSeconds;
    note(QStringLiteral("program %1 started; waiting up to %2 s").arg(words.first()).arg(secondsLeft_));
    if (secondsLeft_ <= 0) runCompanion(); // no time allowed: it runs on beside the shutdown
}

void ShutdownSequence::runCompanion() {
    step_ = Step::CloseApps;
    run_ = 0;
    if (!setup_.closeApps) return powerOff();
    QString error;
    run_ = runner_.start(setup_.companionProgram, setup_.companionArguments, &error);
    if (run_ == 0) {
        note(QStringLiteral("close-apps companion %1 could not be started: %2")
                 .arg(setup_.companionProgram, error));
        return powerOff();
    }
    secondsLeft_ = setup_.companionWaitSeconds;
    note(QStringLiteral("close-apps companion started; waiting up to %1 s").arg(secondsLeft_));
    if (secondsLeft_ <= 0) powerOff();
}

void ShutdownSequence::powerOff() {
    step_ = Step::PowerOff;
    run_ = 0;
    note(QStringLiteral("powering the PC off (%1)").arg(powerOff_.name()));
    powerOff_.powerOff([this](const PowerOffResult& r) {
        result_ = r;
        step_ = Step::Done;
        switch (r.outcome) {
        case PowerOffOutcome::Started:
            note(QStringLiteral("power-off accepted: %1").arg(r.detail));
            if (powerOff_.isDryRun()) say(Notice::DryRun, r.detail);
            break;
        case PowerOffOutcome::Refused:
            note(QStringLiteral("POWER-OFF REFUSED: %1").arg(r.detail));
            say(Notice::PowerOffRefused, r.detail);
            break;
        case PowerOffOutcome::Failed:
            note(QStringLiteral("POWER-OFF FAILED: %1").arg(r.detail));
            say(Notice::PowerOffFailed, r.detail);
            break;
        }
    });
}

void ShutdownSequence::secondTick() {
    if ((step_ != Step::Program && step_ != Step::CloseApps) || run_ == 0) return;
    if (--secondsLeft_ > 0) return;
    if (step_ == Step::Program) {
        note(QStringLiteral("program still running after its time limit: left running, going on"));
        runCompanion();
    } else {
        note(QStringLiteral("close-apps companion still running after its time limit: going on"));
        powerOff();
    }
}

void ShutdownSequence::processEnded(int run, int exitCode, bool normalExit) {
    if (run == 0 || run != run_) return; // a program left behind earlier, or none awaited
    const QString how = normalExit ? QStringLiteral("ended with status %1").arg(exitCode)
                                   : QStringLiteral("crashed");
    if (step_ == Step::Program) {
        note(QStringLiteral("program %1").arg(how));
        runCompanion();
    } else if (step_ == Step::CloseApps) {
        note(QStringLiteral("close-apps companion %1").arg(how));
        powerOff();
    }
}

} // namespace zav
