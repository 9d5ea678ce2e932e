// zavctl flash and zavctl logo: the firmware page's two jobs for shells.
//
// flash: the page's DSP programming run (the same DspProgrammer, kernel choice and key format) on
// the programming port alone; the Modbus link is not involved. The files are checked before the
// port is opened. Exit 0 only when the kernel's closing report came and its checksum is that of
// the application sent.
//
// logo: the page's logo upload over the Modbus link: the control command, the port handed over to
// the block transfer and given back, and the UPS's confirmation.

#include "CtlCommon.h"
#include "Commands.h"
#include "foundation/ConfigLocation.h"
#include "foundation/InstallLayout.h"
#include "foundation/ProfileFile.h"
#include "flash/DspProgrammer.h"
#include "flash/FlashFile.h"
#include "foundation/BoundedFile.h"
#include "flash/LogoFile.h"
#include "flash/LogoUpload.h"
#include "flash/ProgramChannel.h"
#include "service/ControlCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <optional>

using namespace zav;

namespace zavctl {

namespace {

// ---- flash ----

const char* kFlashUsage =
    "usage: zavctl flash APPLICATION.bin --port PATH [--baud 115200] [--keys HEX64]\n"
    "                    [--kernel FILE | --dsp F28035|F2812|F28232|F28335|F28062 [--erase all|program]]\n"
    "                    [--config PATH] [--silence S] [--verbose]\n"
    "  The DSP must be in its serial boot mode on PATH. Without --kernel the Flash API kernel is the one\n"
    "  the programming page would pick: by the processor and erase choice saved in ZAV.ini (or --dsp and\n"
    "  --erase), from the folder of the program.\n";

// Stages of a run in the order they are reached; each is announced once on stderr.
enum Stage { FirstLock, KernelLoad, Unlock, SecondLock, Application, Report };

QString stageName(int stage, int baud) {
    switch (stage) {
    case FirstLock: return QStringLiteral("first lock at %1 baud").arg(DspProgrammer::kLockBaud);
    case KernelLoad: return QStringLiteral("kernel download");
    case Unlock: return QStringLiteral("unlock (keys sent)");
    case SecondLock: return QStringLiteral("second lock at %1 baud").arg(baud);
    case Application: return QStringLiteral("application download");
    default: return QStringLiteral("wait for the kernel's report");
    }
}

int stageOf(const DspProgrammer& p, bool sending) {
    if (p.progStage() == DspProgrammer::ApplicationSent) return sending ? Application : Report;
    if (p.bootStage() == 2 || p.progStage() == DspProgrammer::Unlocked) return SecondLock;
    if (p.progStage() == DspProgrammer::KernelStarted) return Unlock;
    if (p.bootStage() == 1) return KernelLoad;
    return FirstLock;
}

// The last log line holding one of the words: the kernel's own explanation.
QString lineWith(const QString& log, std::initializer_list<const char*> words) {
    const QStringList lines = log.split(QLatin1Char('\n'));
    for (auto it = lines.crbegin(); it != lines.crend(); ++it)
        for (const char* w : words)
            if (it->contains(QLatin1String(w))) return it->trimmed();
    return {};
}

// Only a regular file within its kind's size (a device or a FIFO is refused with what it is).
bool readWhole(const QString& path, qint64 limit, QByteArray* bytes, QString* error) {
    BoundedRead file = readRegularFile(path, limit);
    if (!file.ok()) {
        *error = QStringLiteral("cannot read %1").arg(file.error);
        return false;
    }
    *bytes = std::move(file.bytes);
    return true;
}

// A boot image that can go to the target: readable, not empty, a whole boot table.
QString imageProblem(const QString& what, const QString& path, QByteArray* bytes) {
    QString error;
    if (!readWhole(path, FileLimit::flashImage, bytes, &error)) return QStringLiteral("%1: %2").arg(what, error);
    if (bytes->isEmpty()) return QStringLiteral("%1 %2 is empty").arg(what, path);
    if (const QString problem = bootTableProblem(*bytes); !problem.isEmpty())
        return QStringLiteral("%1 %2 is not a boot image: %3").arg(what, path, problem);
    return {};
}

struct FlashOptions {
    QString application;
    QString port;
    int baud = 115200;
    QString kernel;
    QByteArray keys = QByteArray(64, 'F');
    int silenceSeconds = DspProgrammer::kStallSeconds;
    bool verbose = false;
};

// The options, or the usage error.
QString readFlashOptions(const QCommandLineParser& p, FlashOptions& o) {
    const QStringList files = p.positionalArguments();
    if (files.size() != 1) return "give one application file";
    o.application = files.first();
    if (!p.isSet("port") || p.value("port").trimmed().isEmpty()) return "--port is required: the DSP's serial port";
    o.port = p.value("port").trimmed();

    const QStringList rates = programBaudItems();
    const int rateItem = int(rates.indexOf(p.value("baud").trimmed()));
    if (rateItem < 0) return "bad --baud '" + p.value("baud") + "': use one of " + rates.join(", ");
    o.baud = programBaudRate(rateItem);

    const QString keys = p.value("keys").trimmed();
    if (!QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{64}$")).match(keys).hasMatch())
        return "bad --keys: give 64 hexadecimal digits, the 8 code-security keys then the 8 target IDs, "
               "4 digits each";
    o.keys = keys.toLatin1(); // sent as typed, as the page's key fields are

    bool ok = false;
    o.silenceSeconds = p.value("silence").toInt(&ok);
    if (!ok || o.silenceSeconds < 1 || o.silenceSeconds > 3600) return "bad --silence '" + p.value("silence") + "': use 1..3600 seconds";
    o.verbose = p.isSet("verbose");

    if (p.isSet("kernel")) {
        if (p.isSet("dsp") || p.isSet("erase")) return "--kernel names the kernel itself: leave out --dsp and --erase";
        o.kernel = p.value("kernel");
        return {};
    }
    // The page's choice: the processor and erase items saved in ZAV.ini, unless given here.
    const ProfileFile profile(profilePathForProcess(p.value("config"), QCoreApplication::applicationDirPath()));
    const QString section = QStringLiteral("Program Config");
    int dsp = profile.readInteger(section, QStringLiteral("ComboBoxDspType"), DspF28035);
    int erase = profile.readInteger(section, QStringLiteral("ComboBoxErase"), 0);
    if (dsp < 0 || dsp >= int(dspTypeItems().size())) dsp = DspF28035;
    if (erase < 0 || erase > 1) erase = 0;
    if (p.isSet("dsp")) {
        dsp = int(dspTypeItems().indexOf(p.value("dsp").trimmed().toUpper()));
        if (dsp < 0) return "bad --dsp '" + p.value("dsp") + "': use one of " + dspTypeItems().join(", ");
    }
    if (p.isSet("erase")) {
        const QString e = p.value("erase").trimmed().toLower();
        if (e != "all" && e != "program") return "bad --erase '" + p.value("erase") + "': use all or program";
        if (dsp != DspF28035) return "--erase applies to the F28035 only";
        erase = e == "program" ? 1 : 0;
    }
    o.kernel = programFile(QCoreApplication::applicationDirPath(), ProgramFileKind::Data, kernelFileName(dsp, erase));
    return {};
}

} // namespace

int runFlash(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    p.addOption({"port", "The programming serial port (the DSP in serial boot mode).", "path"});
    p.addOption({"baud", "Programming rate after the kernel has started (default 115200).", "rate", "115200"});
    p.addOption({"keys", "The 8 code-security keys and 8 target IDs, 64 hex digits (default all F).", "hex",
                 QString(64, QLatin1Char('F'))});
    p.addOption({"kernel", "The Flash API kernel file.", "file"});
    p.addOption({"dsp", "The processor, to pick the kernel: F28035|F2812|F28232|F28335|F28062.", "type"});
    p.addOption({"erase", "F28035 only: all (whole flash) or program (program area).", "choice"});
    p.addOption({"config", "The ZAV.ini whose saved processor choice picks the kernel.", "path"});
    p.addOption({"silence", "Give up when the target has said nothing for this many seconds while nothing "
                            "is left to send (default 30).",
                 "s", QString::number(DspProgrammer::kStallSeconds)});
    p.addOption({{"v", "verbose"}, "Also print the programming log on stderr."});
    p.addPositionalArgument("application", "The application image (.bin).");
    if (int code = parseCommandLine(p, args, kFlashUsage); code >= 0) return code;
    FlashOptions o;
    if (QString error = readFlashOptions(p, o); !error.isEmpty()) return fail(ExitUsage, error + "\n" + kFlashUsage);

    // Both files are checked before the port is touched.
    QByteArray application, kernel;
    if (QString problem = imageProblem("application", o.application, &application); !problem.isEmpty())
        return fail(ExitFailed, "flash: " + problem);
    if (!QFile::exists(o.kernel))
        return fail(ExitFailed, QStringLiteral("flash: no Flash API kernel file %1 (put the processor's kernel "
                                               "there, or give --kernel)")
                                    .arg(o.kernel));
    if (QString problem = imageProblem("kernel", o.kernel, &kernel); !problem.isEmpty())
        return fail(ExitFailed, "flash: " + problem);
    const uint16_t checksum = fileChecksum(application);
    note(QStringLiteral("flash: %1 (%2 bytes, checksum %3) through %4 with the kernel %5, programming at %6 baud")
             .arg(o.application)
             .arg(application.size())
             .arg(checksumText(checksum), o.port, QFileInfo(o.kernel).fileName())
             .arg(o.baud));

    ProgramChannel comm1;
    comm1.setCommName(o.port);
    comm1.setBaudRate(DspProgrammer::kLockBaud);
    try {
        comm1.open();
    } catch (const CommsError& e) {
        return fail(ExitPort, QStringLiteral("flash: cannot open %1: %2").arg(o.port, e.text()));
    }

    DspProgrammer programmer;
    programmer.setStallSeconds(o.silenceSeconds);
    QTimer pingTimer, watchTimer; // TimerProgram and TimerProgCnt of the page
    pingTimer.setInterval(1000);
    watchTimer.setInterval(1000);
    std::optional<FlashMessage> message;
    QString portError;
    bool silentAfterLock = false;
    int stage = FirstLock;
    int sentDecile = 0;
    qsizetype printedLines = 0;

    auto printLog = [&](bool all) {
        if (!o.verbose) return;
        const QStringList lines = programmer.logText().split(QLatin1Char('\n'));
        // The last line may still grow (dots, a kernel line in parts) until the run ends.
        const qsizetype upTo = all ? lines.size() : lines.size() - 1;
        for (; printedLines < upTo; ++printedLines) std::fprintf(stderr, "%s\n", qPrintable(lines[printedLines]));
    };
    auto followStage = [&] {
        // A closed port sends nothing more: that is no step forward (a lost device stays in its stage).
        if (!programmer.running() || !comm1.isOpen()) return;
        const int now = stageOf(programmer, comm1.sending());
        if (now <= stage) return;
        stage = now;
        note(QStringLiteral("flash: %1 (%2 %)").arg(stageName(stage, o.baud)).arg(programmer.progress()));
    };

    QObject::connect(&pingTimer, &QTimer::timeout, &programmer, &DspProgrammer::pingTick);
    QObject::connect(&watchTimer, &QTimer::timeout, &app, [&] {
        programmer.secondTick(comm1.sending());
        if (!programmer.running()) return;
        followStage();
        if (stage == Application) { // the application's bytes leaving, in steps of 10 %
            const qint64 sent = application.size() - comm1.bytesToWrite();
            const int decile = int(sent * 10 / std::max<qsizetype>(application.size(), 1));
            if (decile > sentDecile && decile < 10) {
                sentDecile = decile;
                note(QStringLiteral("flash: application %1 % sent").arg(decile * 10));
            }
        }
        // Locked again, and then not a word: a kernel that hangs here would keep the run waiting,
        // where the page's user would press Cancel.
        if (programmer.bootStage() == 2 && programmer.progStage() == DspProgrammer::Unlocked && !comm1.sending() &&
            programmer.idleWatch() - 1 >= o.silenceSeconds) {
            silentAfterLock = true;
            programmer.cancel();
        }
    });
    QObject::connect(&programmer, &DspProgrammer::sendDue, &app, [&](const QByteArray& b) { comm1.queueData(b); });
    QObject::connect(&programmer, &DspProgrammer::baudDue, &app, [&](int baud) { comm1.setBaudRate(baud); });
    QObject::connect(&programmer, &DspProgrammer::pingTimerSwitched, &app, [&](bool on) {
        if (on)
            pingTimer.start();
        else
            pingTimer.stop();
    });
    QObject::connect(&programmer, &DspProgrammer::logChanged, &app, [&] {
        followStage();
        printLog(false);
    });
    // The application is queued in one go with no new log line: its progress step marks the stage.
    QObject::connect(&programmer, &DspProgrammer::progressChanged, &app, [&] { followStage(); });
    QObject::connect(&programmer, &DspProgrammer::messageDue, &app, [&](FlashMessage row) { message = row; });
    // The message of a failure follows the run's end: decide once both are in.
    QObject::connect(&programmer, &DspProgrammer::runEnded, &app, [&] { comm1.close(); app.quit(); },
                     Qt::QueuedConnection);
    QObject::connect(&comm1, &ProgramChannel::receiveData, &programmer, &DspProgrammer::onChunk);
    QObject::connect(&comm1, &ProgramChannel::requestHangup, &app, [&](const QString& reason) {
        if (!programmer.running()) return; // the target's last words had already ended the run
        portError = reason;
        programmer.portFailed(reason);
    });

    ProgramRun run;
    run.applicationPath = o.application;
    run.kernelPath = o.kernel;
    run.applicationImage = application; // what was checked is what is sent
    run.kernelImage = kernel;
    run.programmingBaud = o.baud;
    run.keys = o.keys;
    note(QStringLiteral("flash: %1 (0 %)").arg(stageName(FirstLock, o.baud)));
    programmer.start(run, checksum);
    watchTimer.start();
    app.exec();
    watchTimer.stop();
    pingTimer.stop();
    comm1.close();
    printLog(true);

    const QString log = programmer.logText();
    const QString at = QStringLiteral("flash failed during the ") + stageName(stage, o.baud);
    if (message == FlashMessage::Pass) {
        note(QStringLiteral("flash: Program  Success! The kernel reports checksum %1, the sum of the application sent")
                 .arg(checksumText(uint16_t(reportedChecksum(log)))));
        return ExitOk;
    }
    if (!portError.isEmpty()) return fail(ExitPort, QStringLiteral("%1: the port %2 failed: %3").arg(at, o.port, portError));
    if (silentAfterLock)
        return fail(ExitNoAnswer, QStringLiteral("%1: the kernel locked at %2 baud, then said nothing for %3 s")
                                      .arg(at)
                                      .arg(o.baud)
                                      .arg(o.silenceSeconds));
    if (!message) {
        // The kernel refused the image; its own words say why.
        const QString why = lineWith(log, {"NOT VORN", "CAN NOT BE", "PROGRAMMED"});
        return fail(ExitRefused, QStringLiteral("%1: the kernel refused: %2").arg(at, why.isEmpty() ? log.section('\n', -1) : why));
    }
    switch (*message) {
    case FlashMessage::NoResponse:
        return fail(ExitNoAnswer, stage == FirstLock
                                      ? QStringLiteral("%1: no answer to %2 pings; is the DSP in serial boot mode, "
                                                       "and is %3 its port?")
                                            .arg(at)
                                            .arg(DspProgrammer::kMaxPings)
                                            .arg(o.port)
                                      : QStringLiteral("%1: the kernel did not answer %2 pings; can the line carry "
                                                       "%3 baud?")
                                            .arg(at)
                                            .arg(DspProgrammer::kMaxPings)
                                            .arg(o.baud));
    case FlashMessage::CheckConfiguration:
        return fail(ExitNoAnswer, log.endsWith(QLatin1String(flashlog::kConnectFail))
                                      ? at + ": the kernel did not report its Flash API version within 10 s of "
                                             "unlocking; check the kernel and the processor"
                                      : at + ": the kernel did not start and lock again within 10 s; check the "
                                             "kernel file and the processor choice");
    case FlashMessage::UnlockFailed:
        return fail(ExitRefused, QStringLiteral("%1: the kernel refused the keys: %2")
                                     .arg(at, lineWith(log, {"Incorrect", "failed", "processor"})));
    case FlashMessage::NoKernelFile:
        return fail(ExitFailed, QStringLiteral("%1: no Flash API kernel file %2").arg(at, o.kernel));
    case FlashMessage::Fail:
        if (log.contains(QLatin1String(flashlog::kTargetSilent)))
            return fail(ExitNoAnswer, QStringLiteral("%1: the target said nothing for %2 s after the application "
                                                     "was sent (cable pulled, or the target stopped); the flash is "
                                                     "not complete")
                                          .arg(at)
                                          .arg(o.silenceSeconds));
        if (log.contains(QLatin1String(flashlog::kChecksumDiffers))) {
            const int reported = reportedChecksum(log);
            return fail(ExitFailed, QStringLiteral("%1: checksum mismatch: the kernel reports %2, the application "
                                                   "sent sums to %3")
                                        .arg(at, reported < 0 ? QStringLiteral("no checksum")
                                                              : checksumText(uint16_t(reported)),
                                             checksumText(checksum)));
        }
        return fail(ExitFailed, at + ": " + log.section('\n', -2, -2));
    case FlashMessage::Pass:
        break;
    }
    return fail(ExitFailed, at);
}

// ---- logo ----

namespace {

const char* kLogoUsage =
    "usage: zavctl logo FILE.logo --port PATH [--baud 9600|...|auto] [--proto ascii|rtu] [--addr N]\n"
    "                   [--model auto|0..8] [--timeout S]\n"
    "  Uploads a start-up logo (models 0 to 2) over the Modbus link, as the update page does.\n";

constexpr int kRelinkMs = 10'000; // the Modbus link answering again after the upload

// The Modbus link as the upload borrows it: the scheduler is disconnected for the transfer (its
// tick then has nothing to send) and connected again at the rate and model it had.
class CtlHandover : public LinkHandover {
  public:
    CtlHandover(CtlLink& link, const ConnectRequest& request) : link_(link), request_(request) {}
    bool linkOpen() const override { return link_.scheduler().portOpen(); }
    bool startLogoCommand() override { return link_.scheduler().startControlCommand(357, 1); }
    void releaseLink() override {
        UpsSession& s = link_.scheduler();
        baud_ = s.baudValue();
        model_ = s.upsModel();
        s.disconnectLink();
    }
    bool restoreLink() override {
        ConnectRequest r = request_;
        const auto rate = std::find(kBaudItems.begin(), kBaudItems.end(), baud_);
        if (rate != kBaudItems.end()) r.baudItem = int(rate - kBaudItems.begin());
        r.modelItem = model_ + 1;
        restored_ = link_.scheduler().connectLink(r) == ConnectResult::Connected;
        return restored_;
    }
    QString portName() const override { return request_.portName; }
    int baudRate() const override { return baud_; }
    bool restored() const { return restored_; }

  private:
    CtlLink& link_;
    ConnectRequest request_;
    int baud_ = 9600;
    int model_ = 0;
    bool restored_ = false;
};

int logoExitCode(LogoMessage m) {
    switch (m) {
    case LogoMessage::Success: return ExitOk;
    case LogoMessage::PortFailed: return ExitPort;
    case LogoMessage::UnidentifiedType: return ExitModel;
    case LogoMessage::FinishFailed: return ExitRefused;
    case LogoMessage::FileError:
    case LogoMessage::NoFile: return ExitFailed;
    default: return ExitNoAnswer;
    }
}

} // namespace

int runLogo(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p, 120);
    p.addPositionalArgument("file", "The logo file (.logo: 0x.. byte literals).");
    if (int code = parseCommandLine(p, args, kLogoUsage); code >= 0) return code;
    if (p.positionalArguments().size() != 1) return fail(ExitUsage, QStringLiteral("give one logo file\n") + kLogoUsage);
    const QString path = p.positionalArguments().first();
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty()) return fail(ExitUsage, error + "\n" + kLogoUsage);

    // The file is checked before the port is touched, with the checks the upload makes itself.
    QByteArray text;
    QString error;
    if (!readWhole(path, FileLimit::logo, &text, &error)) return fail(ExitFailed, "logo: File error: " + error);
    const QByteArray picture = parseLogoText(text);
    if (picture.isEmpty())
        return fail(ExitFailed, QStringLiteral("logo: File error: %1 holds no byte literal (0x..)").arg(path));
    if (picture.size() > kLogoMaxBytes)
        return fail(ExitFailed, QStringLiteral("logo: File error: %1 holds %2 bytes, a logo has at most %3")
                                    .arg(path)
                                    .arg(picture.size())
                                    .arg(kLogoMaxBytes));
    const int total = int(picture.size()) + 5;

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& scheduler = link.scheduler();
    CtlHandover handover(link, options.request);
    QtSerialChannel port2; // ComPort2: the same port, for the block transfer
    LogoUpload upload(port2, handover);
    QTimer upgradeTimer; // TimerUpgrade
    upgradeTimer.setInterval(50);
    QTimer relinkBound;
    relinkBound.setSingleShot(true);
    relinkBound.setInterval(kRelinkMs);
    bool started = false;
    bool ended = false;
    std::optional<LogoMessage> result;
    std::optional<WriteResult> command;
    int shownDecile = -1;

    auto finalCode = [&]() -> int {
        const LogoMessage m = result.value_or(LogoMessage::HandshakeFailed);
        const QString text = logoMessageText(m, 1);
        if (m == LogoMessage::Success) {
            note(QStringLiteral("logo: %1 (%2 bytes confirmed by the UPS)").arg(text).arg(total));
            return ExitOk;
        }
        QString why;
        if (m == LogoMessage::BlockFailed)
            why = QStringLiteral(" at byte %1 of %2").arg(upload.logoOffset()).arg(total);
        if (m == LogoMessage::HandshakeFailed && command && command->outcome != WriteOutcome::Accepted)
            return fail(command->outcome == WriteOutcome::Refused ? ExitRefused : ExitNoAnswer,
                        "logo: " + text + "; the logo command was " + writeResultText(*command, "357 = 1", 1));
        return fail(logoExitCode(m), "logo: " + text + why);
    };
    auto done = [&](const QString& linkNote) {
        relinkBound.stop();
        note("logo: " + linkNote);
        link.finish(finalCode());
    };

    QObject::connect(&upgradeTimer, &QTimer::timeout, &upload, &LogoUpload::tick);
    QObject::connect(&upload, &LogoUpload::started, &app, [&] { upgradeTimer.start(); });
    QObject::connect(&upload, &LogoUpload::messageDue, &app, [&](LogoMessage m) {
        if (!ended && !result) result = m; // the outcome; a later port message is about the link
    });
    QObject::connect(&upload, &LogoUpload::progressChanged, &app, [&](int value) {
        if (!upload.running() || upload.step() < LogoUpload::BlockDue || value / 10 <= shownDecile) return;
        shownDecile = value / 10;
        note(QStringLiteral("logo: %1 % sent").arg(value));
    });
    QObject::connect(&upload, &LogoUpload::ended, &app, [&] {
        upgradeTimer.stop();
        ended = true;
        if (!handover.restored())
            return done(QStringLiteral("the Modbus link could not be opened again: ") + link.channel().errorText());
        relinkBound.start();
    });
    QObject::connect(&relinkBound, &QTimer::timeout, &app, [&] {
        done(QStringLiteral("the UPS did not answer on the Modbus link within %1 s after the upload").arg(kRelinkMs / 1000));
    });
    QObject::connect(&scheduler, &UpsSession::controlCommandEnded, &app, [&](const WriteResult& r) {
        if (started && !command) command = r;
    });
    QObject::connect(&scheduler, &UpsSession::liveCycleEnded, &app, [&] {
        if (ended) {
            if (scheduler.linkOk()) done(QStringLiteral("the Modbus link answers again"));
            return;
        }
        if (started) return;
        if (!scheduler.linkOk()) return link.finish(link.noAnswer(QStringLiteral("logo")));
        const int model = scheduler.upsModel();
        if (model < 0 || model > 2)
            return link.finish(fail(ExitRefused, QStringLiteral("logo: UPS model %1 takes no logo (models 0 to 2 do)").arg(model)));
        started = true;
        note(QStringLiteral("logo: %1 (%2 bytes) to model %3 through %4").arg(path).arg(total).arg(model).arg(link.describeAttempt()));
        if (!upload.start(path)) {
            ended = true;
            link.finish(finalCode());
        }
    });
    QObject::connect(&scheduler, &UpsSession::modelRejected, &app, [&] {
        link.finish(fail(ExitModel, QStringLiteral("model code %1 not recognised; give --model").arg(scheduler.live().LiveData[78])));
    });
    link.onTimeout = [&]() -> int {
        if (started && !ended)
            return fail(ExitNoAnswer, QStringLiteral("logo: not finished within %1 s; the transfer was at byte %2 of %3")
                                          .arg(options.timeoutSeconds)
                                          .arg(upload.logoOffset())
                                          .arg(total));
        if (ended) return finalCode();
        return link.noAnswer(QStringLiteral("logo"));
    };
    const int code = link.run();
    upgradeTimer.stop();
    port2.close();
    return code;
}

} // namespace zavctl
