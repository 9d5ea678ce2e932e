#include "protect/ProcessRunner.h"

#include <QProcess>

namespace zav {

QtProcessRunner::~QtProcessRunner() {
    for (QProcess* p : std::as_const(processes_)) {
        p->disconnect();
        // A program that outlived its time limit keeps running: deleting its QProcess would kill
        // it, so the runner only stops watching and lets the object go with the program's end.
        if (p->state() == QProcess::NotRunning) delete p;
    }
}

int QtProcessRunner::start(const QString& program, const QStringList& arguments, QString* error) {
    auto* process = new QProcess;
    const int run = ++lastRun_;
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [this, process, run] {
        while (process->canReadLine())
            if (output) output(run, QString::fromLocal8Bit(process->readLine()).trimmed());
    });
    QObject::connect(process, &QProcess::finished, process, [this, process, run](int code, QProcess::ExitStatus st) {
        const QString rest = QString::fromLocal8Bit(process->readAll()).trimmed();
        if (!rest.isEmpty() && output) output(run, rest);
        if (finished) finished(run, code, st == QProcess::NormalExit);
    });
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    // The start itself is a fork and an exec; waiting for it tells a missing program at once.
    if (!process->waitForStarted(5000)) {
        if (error) *error = process->errorString();
        delete process;
        return 0;
    }
    processes_ << process;
    return run;
}

} // namespace zav
