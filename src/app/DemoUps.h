#pragma once
// `zav --demo`: the virtual UPS (the program zav-ups-sim beside zav) serves a pseudo-terminal;
// its device path goes into the port box so that a newcomer only has to press Connect.

#include <QProcess>
#include <QString>

namespace zav {

class DemoUps {
public:
    DemoUps() = default;
    ~DemoUps();

    // The simulator program: beside the executable, else on PATH.
    static QString simulatorProgram(const QString& executableDir);

    // Starts the simulator and waits (at most timeoutMs) for the device path it prints.
    // On failure returns false and *error says why.
    bool start(const QString& program, const QStringList& arguments, QString* error, int timeoutMs = 5000);
    void stop();
    bool running() const { return process_.state() != QProcess::NotRunning; }
    QString devicePath() const { return devicePath_; }

    // The device path in the simulator's output: the first word that starts with /dev/.
    static QString devicePathIn(const QString& output);

private:
    QProcess process_;
    QString devicePath_;
};

} // namespace zav
