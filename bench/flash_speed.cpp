// How well Comm1's queue keeps the line busy: a 256 KiB application flashed at 115200 baud through
// the simulated bootloader (paced at the line rate), timing the application phase against the wire
// time of its bytes (10 bits a byte). A ratio near 1 means the tool never lets the line idle.
//
//   bench_flash_speed [KiB] [baud]

#include "BootloaderServer.h"
#include "flash/DspProgrammer.h"
#include "flash/FlashFile.h"
#include "flash/ProgramChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace zav;

namespace {

QByteArray word(int w) { return QByteArray(1, char(w & 0xFF)) + char(w >> 8 & 0xFF); }

// A C2000 boot table: key, 8 reserved words, entry point, blocks of up to 0x8000 words, end.
QByteArray bootTable(int dataBytes, uint32_t address) {
    QByteArray out = word(0x08AA) + QByteArray(16, '\0') + word(int(address >> 16)) + word(int(address & 0xFFFF));
    int words = dataBytes / 2;
    uint32_t at = address;
    while (words > 0) {
        const int n = std::min(words, 0x8000);
        out += word(n) + word(int(at >> 16)) + word(int(at & 0xFFFF));
        for (int i = 0; i < n; ++i) out += word(0x6700 + (i * 31 & 0xFF));
        words -= n;
        at += uint32_t(n);
    }
    return out + word(0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int kib = argc > 1 ? std::atoi(argv[1]) : 256;
    const int baud = argc > 2 ? std::atoi(argv[2]) : 115200;

    QTemporaryDir dir;
    const QString kernel = dir.filePath("Flash28035_All_API.bin");
    const QString application = dir.filePath("app.bin");
    for (const auto& [path, bytes] : {std::pair{kernel, bootTable(960, 0x8000)},
                                      std::pair{application, bootTable(kib * 1024 - 32, 0x3E8000)}}) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    zav::sim::Bootloader boot;
    zav::sim::BootloaderServer server(boot);
    QString error;
    if (!server.open(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    server.start();

    ProgramChannel comm1;
    DspProgrammer run;
    QTimer pings, watch;
    pings.setInterval(1000);
    watch.setInterval(1000);
    QObject::connect(&pings, &QTimer::timeout, &run, &DspProgrammer::pingTick);
    QObject::connect(&watch, &QTimer::timeout, &run, [&] { run.secondTick(comm1.sending()); });
    QObject::connect(&run, &DspProgrammer::pingTimerSwitched, [&](bool on) { on ? pings.start() : pings.stop(); });
    QObject::connect(&run, &DspProgrammer::sendDue, [&](const QByteArray& b) { comm1.queueData(b); });
    QObject::connect(&run, &DspProgrammer::baudDue, [&](int b) { comm1.setBaudRate(b); });
    QObject::connect(&comm1, &ProgramChannel::receiveData, &run, &DspProgrammer::onChunk);
    QElapsedTimer clock;
    qint64 appStart = -1;
    QObject::connect(&run, &DspProgrammer::progressChanged, [&] {
        if (appStart < 0 && run.progStage() == DspProgrammer::ApplicationSent) appStart = clock.elapsed();
    });
    FlashMessage outcome = FlashMessage::NoResponse;
    QObject::connect(&run, &DspProgrammer::messageDue, [&](FlashMessage m) {
        outcome = m;
        app.quit();
    });

    QFile f(application);
    f.open(QIODevice::ReadOnly);
    const QByteArray appBytes = f.readAll();
    comm1.setCommName(server.devicePath());
    comm1.setBaudRate(DspProgrammer::kLockBaud);
    comm1.open();
    ProgramRun r;
    r.applicationPath = application;
    r.kernelPath = kernel;
    r.programmingBaud = baud;
    r.keys = QByteArray(64, 'F');
    clock.start();
    watch.start();
    run.start(r, fileChecksum(appBytes));
    app.exec();
    const qint64 end = clock.elapsed();

    const double wireMs = double(appBytes.size()) * 10.0 * 1000.0 / baud;
    const double appMs = double(end - appStart);
    std::printf("application %lld bytes at %d baud: %s\n", qlonglong(appBytes.size()), baud,
                outcome == FlashMessage::Pass ? "Pass" : "not passed");
    std::printf("whole run %lld ms, application phase %.0f ms, wire time %.0f ms, ratio %.3f\n", end, appMs,
                wireMs, appMs / wireMs);
    return outcome == FlashMessage::Pass ? 0 : 1;
}
