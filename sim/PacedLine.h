#pragma once
// The serial line between the tool and a simulated device, at the pace of its baud rate: bytes are
// taken from the tool and given back no faster than the rate the tool set on the pty allows
// (10 bits a byte: start, 8 data, stop). It also counts what crossed each way, and the time those
// bytes need on the wire at the rate they crossed at. The owner calls read() and write() often
// (every few ms); the line keeps no timer of its own. A byte is never handed on before its ten bits
// have passed since it was first seen, so a paced exchange takes at least its wire time.

#include "PtyPair.h"

#include <QByteArray>
#include <QList>

namespace zav::sim {

// Bytes that crossed the line and their wire time.
struct LineCounts {
    qint64 bytesIn = 0;  // from the tool to the device
    qint64 bytesOut = 0; // from the device to the tool
    double wireMs = 0;   // both ways, each byte at the rate of the moment it crossed

    void addIn(qint64 n, int baud);
    void addOut(qint64 n, int baud);
};

// Ms a byte count takes on the line at `baud` (10 bits a byte).
double wireMsFor(qint64 bytes, int baud);

class PacedLine {
  public:
    // Reads and writes the master side of `pty`, whichever fd it holds at the time.
    explicit PacedLine(const PtyPair& pty) : pty_(pty) {}

    // The tool's bytes reached the line at `nowMs` (a readable master seen as it happens). Bytes that
    // find the line idle start crossing then, not at the next read, so a coarse pump does not
    // delay every request by its step.
    void arrived(double nowMs);
    // No byte of the tool's is waiting to cross (the next arrival is worth noting).
    bool inputIdle() const { return !inBusy_; }
    // Brings the line up to `nowMs` at the rate the tool has set and returns the bytes from the
    // tool the line carried meanwhile (empty when none).
    QByteArray read(double nowMs);
    // When the last byte the last read returned had whole crossed the line (a UPS answers from
    // then, not from the pump step that noticed it).
    double lastByteInMs() const { return lastByteInMs_; }
    // The rate of the last read (at least 300, as a line without a rate set is still slow).
    int baud() const { return baud_; }

    // Bytes for the tool, sent once `dueMs` has come and the bytes before them have gone.
    void send(const QByteArray& bytes, double dueMs);
    // Moves due replies onto the line and writes what the line carries by `nowMs`.
    void write(double nowMs);
    // Nothing left to send.
    bool idle() const { return out_.isEmpty() && later_.isEmpty(); }

    const LineCounts& counts() const { return counts_; }

  private:
    struct Pending {
        QByteArray bytes;
        double dueMs;
    };

    double carried(double budget, double elapsedMs) const;

    const PtyPair& pty_;
    int baud_ = 300;
    double lastInMs_ = -1;
    double lastOutMs_ = -1;
    double lastByteInMs_ = 0;
    double inBudget_ = 0;  // bytes the line has carried from the tool and not yet taken
    double outBudget_ = 0; // bytes the line has carried towards the tool and not yet given
    bool inBusy_ = false;  // the tool's bytes still waited after the last read
    QList<Pending> later_; // replies not yet due
    QByteArray out_;       // due, waiting for the line
    LineCounts counts_;
};

} // namespace zav::sim
