// Download speed in the window against wire time: the real main window (offscreen) connects to the
// virtual UPS with its pty paced at the line rate, then the history page and the S-code page each
// download their log by their Download button, as a user would. For each run: the time from the
// click to the download's end, the wire time of the bytes that crossed meanwhile (10 bits a byte at
// the line's rate, both ways) and their ratio. The window's 50 ms timer, its pages and its event loop
// all run, so this shows what zavctl's figures (bench_link_speed) leave out.
//
//   bench_window_download [--quick] [--timing classic|fast]
//
// --quick fills the logs with 40 history events and 10 S-codes instead of the 999 and 111 the
// pages hold. Both link timings are run unless one is named; the timing is set in ZAV.ini as a user
// would set it in the software settings dialog.

#include "SimulatorThread.h"
#include "app/widgets/AppShell.h"
#include "link/QtSerialChannel.h"
#include "pagekit/UserDialogs.h"
#include "records/widgets/RecordPage.h"
#include "session/UpsSession.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace zav;
using namespace zav::sim;

namespace {

constexpr int kConnectBoundMs = 60'000;
constexpr int kDownloadBoundMs = 3600 * 1000; // a download that takes longer has hung

// Boxes would wait for a user: the bench collects their texts and answers No.
struct CollectedDialogs : UserDialogs {
    QStringList texts;
    void inform(QWidget*, const QString& text) override { texts << text; }
    void askYesNo(QWidget*, const QString& text, std::function<void(bool)> answered) override {
        texts << text;
        answered(false);
    }
};

struct Page {
    const char* name;
    int index;
    const char* button;
};

const Page kPages[] = {{"history", 7, "ButtonDownload"}, {"scodes", 8, "ButtonSCodeDownload"}};

struct Run {
    double seconds = 0;
    double wireSeconds = 0;
    int records = 0;
    QString error;
};

// Runs the event loop as the program does until `done` holds or `boundMs` passed. Not
// QTest::qWaitFor: it sleeps 10 ms between its turns, so every reply and timer would wait for it.
bool waitFor(const std::function<bool()>& done, int boundMs) {
    QEventLoop loop;
    QTimer check;
    check.setInterval(5);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(boundMs, &loop, &QEventLoop::quit);
    check.start();
    if (!done()) loop.exec();
    return done();
}

bool selectText(QComboBox* box, const QString& text) {
    const int at = box ? box->findText(text) : -1;
    if (at < 0) return false;
    box->setCurrentIndex(at);
    return true;
}

Run runOnce(const Page& page, int baud, Protocol protocol, const QString& timing, int historyEvents,
            int scodes) {
    Run r;
    SimConfig config;
    config.upsModel = 1;
    config.baud = baud;
    config.protocol = protocol;
    config.historyEvents = historyEvents;
    config.scodeRecords = scodes;
    SimulatorThread sim(config);
    sim.setPaced(true);
    if (!sim.start(&r.error)) return r;

    QTemporaryDir dir;
    {
        QFile ini(dir.filePath("ZAV.ini"));
        if (!ini.open(QIODevice::WriteOnly)) {
            r.error = "cannot write ZAV.ini";
            return r;
        }
        ini.write("[Link]\r\nTiming=" + timing.toLatin1() + "\r\n");
    }
    CollectedDialogs dialogs;
    ShellOptions options;
    options.profilePath = dir.filePath("ZAV.ini");
    options.satelliteBase = dir.filePath("zav");
    const QString device = sim.devicePath();
    options.listPorts = [&] { return QStringList{device}; };
    options.dialogs = &dialogs;
    QtSerialChannel channel;
    auto shell = std::make_unique<AppShell>(channel, options);
    MainWindow& window = shell->mainWindow();
    window.show();

    // The model box is left on "Auto"; the rate and protocol are the line's.
    window.setPortText(device);
    if (!selectText(window.findChild<QComboBox*>("ComboBox1"), QString::number(baud)) ||
        !selectText(window.findChild<QComboBox*>("ComboBoxProto"),
                    protocol == Protocol::Rtu ? "MODBUS_RTU" : "MODBUS_ASCII")) {
        r.error = "the connection bar has no such rate or protocol";
        return r;
    }
    bool settingsRead = false;
    QObject::connect(&window.scheduler(), &UpsSession::settingsDownloaded, [&] { settingsRead = true; });
    QTest::mouseClick(window.findChild<QPushButton*>("ButtonConnect"), Qt::LeftButton);
    if (!waitFor([&] { return settingsRead; }, kConnectBoundMs)) {
        r.error = "not connected: " + dialogs.texts.join(" / ");
        return r;
    }

    auto* recordPage = qobject_cast<RecordPage*>(window.page(page.index));
    auto* button = recordPage ? recordPage->findChild<QPushButton*>(page.button) : nullptr;
    if (!button) {
        r.error = "no record page";
        return r;
    }
    bool ended = false;
    QObject::connect(&recordPage->job(), &RecordDownload::finished, [&] { ended = true; });
    // After "Auto" the model found starts the settings download again: the button waits for it.
    if (!waitFor([&] { return button->isEnabled(); }, kConnectBoundMs)) {
        r.error = "the Download button stays disabled";
        return r;
    }
    const LineCounts before = sim.counts();
    QElapsedTimer clock;
    clock.start();
    button->click(); // the page need not be the one on screen
    if (!waitFor([&] { return ended || !recordPage->job().running(); }, kDownloadBoundMs))
        r.error = "no end in an hour";
    else if (!ended)
        r.error = "the download stopped before the log's end";
    r.seconds = double(clock.nsecsElapsed()) / 1e9;
    r.wireSeconds = (sim.counts().wireMs - before.wireMs) / 1000.0;
    r.records = recordPage->job().recordsRead();
    shell.reset();
    sim.stop();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool quick = args.removeAll("--quick") > 0;
    QStringList timings{"Classic", "Fast"};
    if (const qsizetype at = args.indexOf("--timing"); at >= 0 && at + 1 < args.size()) {
        QString one = args.at(at + 1).toLower();
        if (one != "classic" && one != "fast") {
            std::fprintf(stderr, "bench_window_download: --timing classic|fast\n");
            return 2;
        }
        one[0] = one[0].toUpper();
        timings = {one};
    }
    const int historyEvents = quick ? 40 : 999;
    const int scodes = quick ? 10 : 111;

    std::printf("the window (offscreen), paced virtual UPS model 1, %d history events, %d S-codes\n",
                historyEvents, scodes);
    std::printf("%-9s %-6s %-6s %-8s %9s %9s %6s %8s\n", "page", "baud", "proto", "timing", "time", "wire", "ratio",
                "records");
    int failures = 0;
    for (const QString& timing : timings) {
        for (int baud : {9600, 38400}) {
            for (Protocol protocol : {Protocol::Rtu, Protocol::Ascii}) {
                for (const Page& page : kPages) {
                    const Run r = runOnce(page, baud, protocol, timing, historyEvents, scodes);
                    std::printf("%-9s %-6d %-6s %-8s %7.1f s %7.1f s %6.2f %8d", page.name, baud,
                                protocol == Protocol::Rtu ? "RTU" : "ASCII", qPrintable(timing.toLower()),
                                r.seconds, r.wireSeconds, r.wireSeconds > 0 ? r.seconds / r.wireSeconds : 0.0,
                                r.records);
                    if (!r.error.isEmpty()) {
                        ++failures;
                        std::printf("  FAILED %s", qPrintable(r.error));
                    }
                    std::printf("\n");
                    std::fflush(stdout);
                }
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
