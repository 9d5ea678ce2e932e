#pragma once
// zavd as its own process for end-to-end tests: a config file written root-only, a free local port,
// the dry-run power-off, its log read as it comes; plain NUT protocol requests on fresh connections;
// and upsmon from Debian's nut-client as a primary of it.

#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>

class QTemporaryDir;

namespace zav::sim::test {

constexpr int kZavdWaitMs = 30'000;

class ZavdProcess {
  public:
    ZavdProcess() = default;
    ~ZavdProcess();
    ZavdProcess(const ZavdProcess&) = delete;
    ZavdProcess& operator=(const ZavdProcess&) = delete;

    // Writes `config` to `configPath` (owner-only, as zavd wants a file holding passwords), starts
    // zavd on it and waits until it listens; false with what zavd said when it does not.
    bool start(const QString& configPath, const QByteArray& config, QString* why);
    // Reads zavd's log until it holds `needle`; false when the time ran out or zavd ended.
    bool waitLog(const QByteArray& needle, int ms = kZavdWaitMs);
    // Ends zavd (SIGTERM) and waits for it; also done when the object goes.
    void stop();
    const QByteArray& log() const { return log_; }
    std::string logText() const { return log_.toStdString(); }
    QProcess::ProcessState state() const { return process_.state(); }
    int port() const { return port_; }

    // The NUT address of a UPS on this zavd, as upsc takes it.
    QString target(const QString& upsName = QStringLiteral("zav")) const;
    // A request line on a fresh connection; up to `lines` reply lines.
    QByteArrayList talk(const QByteArray& request, int lines = 1) const;
    QByteArray client(const QByteArray& line) const { return talk(line).value(0); }

  private:
    QProcess process_;
    QByteArray log_;
    int port_ = 0;
};

// Runs a program to its end with its output and errors merged into `out`; its exit code, -1 when it
// crashed or did not end in time.
int runTool(const QString& program, const QStringList& args, QByteArray* out);

// zavctl run to its end: exit code (-1 when it crashed or did not end in time), stdout and stderr apart.
struct CtlRun {
    int code = -1;
    QByteArray out, err;
};
CtlRun runZavctl(const QStringList& args);

// upsmon as a primary of the given NUT addresses, dry-run: its shutdown command touches `flag`.
struct Upsmon {
    QProcess process;
    QByteArray said;
    QString flag;
    // hostSync: seconds the primary waits for its secondaries to log out on a forced shutdown.
    bool start(const QTemporaryDir& dir, const QStringList& targets, int hostSync = 2);
    // Reads upsmon's output until it holds `text`, with the end-to-end bound.
    bool says(const QByteArray& text);
    ~Upsmon();
};

} // namespace zav::sim::test
