#include "app/DemoUps.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace zav {

DemoUps::~DemoUps() { stop(); }

QString DemoUps::simulatorProgram(const QString& executableDir) {
    const QString beside = QDir(executableDir).filePath(QStringLiteral("zav-ups-sim"));
    if (QFileInfo(beside).isExecutable()) return beside;
    return QStandardPaths::findExecutable(QStringLiteral("zav-ups-sim"));
}

QString DemoUps::devicePathIn(const QString& output) {
    static const QRegularExpression word(QStringLiteral("(/dev/[^\\s'\"]+)"));
    const QRegularExpressionMatch match = word.match(output);
    return match.hasMatch() ? match.captured(1) : QString();
}

bool DemoUps::start(const QString& program, const QStringList& arguments, QString* error, int timeoutMs) {
    stop();
    if (program.isEmpty()) {
        *error = QStringLiteral("The virtual UPS program zav-ups-sim was not found.");
        return false;
    }
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    // The virtual UPS ends with this program whatever ends it (a signal, a crash): the kernel sends
    // it SIGTERM when its parent goes. A parent that is already gone is caught by getppid().
    const pid_t parent = ::getpid();
    process_.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);
    });
    process_.start(program, arguments);
    if (!process_.waitForStarted(timeoutMs)) {
        *error = QStringLiteral("The virtual UPS could not be started: ") + process_.errorString();
        return false;
    }
    QString output;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (process_.canReadLine() || process_.waitForReadyRead(int(deadline.remainingTime()))) {
            while (process_.canReadLine()) {
                output += QString::fromLocal8Bit(process_.readLine());
                devicePath_ = devicePathIn(output);
                if (!devicePath_.isEmpty()) return true;
            }
        }
        if (process_.state() == QProcess::NotRunning) break;
    }
    *error = QStringLiteral("The virtual UPS did not report its device. ") +
             QString::fromLocal8Bit(process_.readAllStandardError()).trimmed();
    stop();
    return false;
}

void DemoUps::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
    devicePath_.clear();
}

} // namespace zav
