#pragma once
// Starting the external programs of the shutdown sequence without waiting for them: the start
// returns at once, the end comes back through `finished`. Tests use a fake runner.

#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

namespace zav {

class ProcessRunner {
  public:
    virtual ~ProcessRunner() = default;
    // Starts the program; returns a run number above 0, or 0 with the reason when it could not be
    // started (not found, not executable).
    virtual int start(const QString& program, const QStringList& arguments, QString* error) = 0;

    // A started program ended: run number, exit code, and whether it ended normally.
    std::function<void(int run, int exitCode, bool normalExit)> finished;
    // A line the program printed (standard output and error), for the log.
    std::function<void(int run, const QString& line)> output;
};

// QProcess behind the interface. A program still running when the runner goes is left running.
class QtProcessRunner : public ProcessRunner {
  public:
    QtProcessRunner() = default;
    ~QtProcessRunner() override;
    QtProcessRunner(const QtProcessRunner&) = delete;
    QtProcessRunner& operator=(const QtProcessRunner&) = delete;
    int start(const QString& program, const QStringList& arguments, QString* error) override;

  private:
    int lastRun_ = 0;
    QList<QProcess*> processes_;
};

} // namespace zav
