// Record download speed: 900 history records from the virtual UPS at 9600 and 38400 baud, in both
// framings, counted in scheduler ticks against the fewest the tick rules allow, next to the time
// the bytes need on the wire. The line is simulated in ticks: a request leaves during a tick, so its
// reply is there on the first tick strictly after the wire time of both frames (their bytes at the
// rate the tool set, 10 bits a byte), as on a paced line. The figures do not depend on this
// machine. Then the CSV writer on a full history grid, in wall-clock time.
//
//   bench_records_download

#include "VirtualUps.h"
#include "session/UpsSession.h"
#include "records/GridCsv.h"
#include "records/RecordDownload.h"
#include "records/RecordTexts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
#include <cstdio>

using namespace zav;
using namespace zav::sim;

namespace {

constexpr int kRecords = 900;

// Ticks from a request's tick to the first tick strictly after the last byte of its reply: the
// request goes out while its tick runs, a little after the tick's instant, so a reply whose wire
// time is exactly a whole number of ticks just misses the last of them.
int ticksOnWire(double wireMs) {
    return int(std::floor(wireMs / kTickMs)) + 1;
}

// A serial line in ticks: what the tool writes reaches the UPS, and the UPS's answer is delivered
// before the first tick strictly after the moment its last byte would have arrived. It also
// counts the fewest ticks the tick rules allow for the exchanges that crossed it.
class TickLine : public SerialChannel {
  public:
    TickLine(VirtualUps& ups, int baud, Protocol protocol)
        : ups_(ups), baud_(baud), settleTicks_(protocol == Protocol::Rtu ? 2 : 1) {}
    void setPortName(const QString&) override {}
    QString portName() const override { return "tick-line"; }
    void setBaudRate(int baud) override { baud_ = baud; }
    int baudRate() const override { return baud_; }
    bool open() override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QString errorText() const override { return {}; }
    void purge() override { rx_.clear(); }
    bool write(const QByteArray& bytes) override {
        ups_.advanceTo(qint64(tick_) * kTickMs);
        for (const Outgoing& out : ups_.receive(bytes, baud_)) {
            const double wireMs = double(bytes.size() + out.bytes.size()) * 10.0 * 1000.0 / baud_;
            wireMs_ += wireMs;
            due_ = tick_ + ticksOnWire(wireMs);
            // The tick rules: the reply is taken on the tick it is there (ASCII: its LF ends the
            // wait) or, in RTU, one tick of silence later; the next request goes out on the tick
            // after that.
            fewest_ += ticksOnWire(wireMs) + settleTicks_;
            pending_ = out.bytes;
        }
        return true;
    }
    QByteArray readAvailable(int maxBytes) override {
        const QByteArray out = rx_.left(maxBytes);
        rx_.remove(0, out.size());
        return out;
    }
    // Called before each tick.
    void advance() {
        ++tick_;
        if (!pending_.isEmpty() && tick_ >= due_) {
            rx_ += pending_;
            pending_.clear();
            if (onRxChar) onRxChar(int(rx_.size()));
            if (rx_.contains('\n') && onRxFlag) onRxFlag();
        }
    }
    double wireMs() const { return wireMs_; }
    int fewestTicks() const { return fewest_; }

  private:
    VirtualUps& ups_;
    int baud_;
    int settleTicks_;
    int fewest_ = 0;
    bool open_ = false;
    int tick_ = 0;
    int due_ = 0;
    QByteArray pending_, rx_;
    double wireMs_ = 0;
};

struct Result {
    int ticks = 0;
    int fewest = 0;
    double wireMs = 0;
    int records = 0;
};

Result downloadHistory(int baud, Protocol protocol) {
    SimConfig config;
    config.upsModel = 1;
    config.protocol = protocol;
    config.baud = baud;
    config.historyEvents = 0;
    VirtualUps ups(config);
    for (const HistoryEvent& e : historyCatalogue(ups.profile(), kRecords, ups.clock().now(), 3'600'000))
        ups.history().append(e);

    TickLine line(ups, baud, protocol);
    UpsSession scheduler(line);
    HistoryDownload job(&scheduler.settings().SettingData);
    scheduler.setRecordJob(1, &job);
    ConnectRequest request;
    request.modelItem = 2;
    request.baudItem = baud == 9600 ? 3 : 6;
    request.protocol = protocol;
    scheduler.connectLink(request);
    job.start();
    scheduler.setActivity(job.activity());

    Result r;
    while (job.running() && r.ticks < 100'000) {
        line.advance();
        scheduler.tick();
        ++r.ticks;
    }
    r.records = job.recordsRead();
    r.wireMs = line.wireMs();
    r.fewest = line.fewestTicks() + 1; // one more tick ends the download
    return r;
}

void csvBench() {
    TextGrid grid(kHistoryColumns, kRecordGridRows);
    for (int language : {1, 0}) {
        for (int c = 0; c < kHistoryColumns; ++c)
            grid.set(c, 0, historyHeaderText(c, language));
        for (int n = 1; n < kRecordGridRows; ++n) {
            grid.set(0, n, QString::number(n));
            grid.set(1, n, QString::number(n % 200));
            grid.set(2, n, "05#" + historyEventText(n % 200, language));
            grid.set(3, n, historyActionText(n % 2, language));
            grid.set(4, n, "2013-07-05 08:03:09");
        }
        constexpr int kRounds = 50;
        QElapsedTimer timer;
        timer.start();
        qsizetype bytes = 0;
        for (int i = 0; i < kRounds; ++i)
            bytes = gridCsvBytes(grid).size();
        std::printf("CSV writer, full history grid (%s): %lld bytes, %.2f ms per file\n",
                    language == 1 ? "English" : "Chinese, GBK", static_cast<long long>(bytes),
                    double(timer.nsecsElapsed()) / 1e6 / kRounds);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("History download, %d records, model 1 (ticks of %d ms)\n", kRecords, kTickMs);
    std::printf("%-7s %-6s %7s %7s %6s %10s %12s\n", "baud", "proto", "ticks", "fewest", "ratio", "link time",
                "wire time");
    for (int baud : {9600, 38400}) {
        for (Protocol protocol : {Protocol::Ascii, Protocol::Rtu}) {
            const Result r = downloadHistory(baud, protocol);
            if (r.records != kRecords) std::printf("  (only %d records read)\n", r.records);
            std::printf("%-7d %-6s %7d %7d %6.2f %8.1f s %10.1f s\n", baud,
                        protocol == Protocol::Rtu ? "RTU" : "ASCII", r.ticks, r.fewest,
                        double(r.ticks) / r.fewest, r.ticks * kTickMs / 1000.0, r.wireMs / 1000.0);
        }
    }
    csvBench();
    return 0;
}
