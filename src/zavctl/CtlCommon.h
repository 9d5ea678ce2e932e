#pragma once
// What every zavctl subcommand shares: exit codes, messages on stderr, the link options
// (--port --baud --proto --addr --model --timeout) and a connected link that runs the real
// scheduler on its 50 ms tick until the subcommand says it is finished.

#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <QVector>
#include <functional>

namespace zavctl {

// The exit status says what happened; 0 only when the job was done and the UPS took part in it.
enum ExitCode {
    ExitOk = 0,
    ExitUsage = 1,    // bad command line
    ExitPort = 2,     // the port could not be opened, or was lost for good
    ExitNoAnswer = 3, // nothing (or not enough) was accepted from the UPS in time
    ExitModel = 4,    // the model could not be recognised
    ExitRefused = 5,  // the UPS answered with an exception reply or kept what it had
    ExitFailed = 6,   // anything else that went wrong (a file that could not be written, ...)
};

int fail(int code, const QString& message); // prints "zavctl: message" on stderr, returns code
void note(const QString& message);          // a progress or warning line on stderr

constexpr int kMaxTimeoutSeconds = 24 * 3600;
// A record download with more unanswered requests in a row than this has lost its UPS.
constexpr int kStallReplies = 10;

struct LinkOptions {
    zav::ConnectRequest request;
    zav::TimingOptions timing;
    int timeoutSeconds = 60;
};

// Adds the link options to a parser; readLinkOptions() checks them and returns an error text
// (empty when they are sound).
void addLinkOptions(QCommandLineParser& parser, int defaultTimeoutSeconds = 60);
// `addressList`: the caller reads --addr itself (a list), so it is not checked here.
QString readLinkOptions(const QCommandLineParser& parser, LinkOptions& out, bool addressList = false);
// "1,2,5" or "1-8,12": distinct addresses 1..254 in the order given; an error text or empty.
QString parseAddressList(const QString& text, QVector<int>& out);

// Parses `args` (program name first) with the given parser. Returns -1 to go on, or the exit
// code to return at once: ExitOk after --help, ExitUsage after a bad option (usage on stderr).
int parseCommandLine(QCommandLineParser& parser, const QStringList& args, const char* usage);

// A link to the UPS for one subcommand: open() connects as the Connect button would, run() ticks
// the scheduler in the event loop until finish() is called or the time-out passes.
class CtlLink {
  public:
    CtlLink(QCoreApplication& app, const LinkOptions& options);
    ~CtlLink();

    // ExitOk, or the exit code after printing why the connection could not be made.
    int open();
    // Runs until finish(); on time-out prints what was tried and returns ExitNoAnswer (or
    // ExitPort when the port was lost) unless onTimeout is set, which then decides.
    int run();
    void finish(int exitCode); // also before run(): run() then returns at once

    std::function<int()> onTimeout;

    zav::UpsSession& scheduler() { return scheduler_; }
    zav::QtSerialChannel& channel() { return channel_; }
    // True once the UPS's link state was good at least once (a reply was accepted).
    bool everLinked() const { return everLinked_ || scheduler_.linkOk(); }
    bool portLost() const { return portLostNow_; }
    // "/dev/ttyUSB0 at 9600 baud, Modbus ASCII, address 1": what was tried, for messages.
    QString describeAttempt() const;
    // The message for a run that ended without the UPS: no reply ever accepted, or link lost.
    int noAnswer(const QString& what);

  private:
    QCoreApplication& app_;
    LinkOptions options_;
    zav::QtSerialChannel channel_;
    zav::UpsSession scheduler_;
    QTimer tick_;
    int exitCode_ = ExitOk;
    bool finished_ = false;
    bool everLinked_ = false;
    bool portLostNow_ = false;
    QString lostReason_;
};

// {"1":2205,...}: the non-zero registers of a store in register order.
QByteArray nonZeroJson(const zav::RegisterStore& store);

} // namespace zavctl
