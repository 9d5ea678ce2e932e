#include "PacedLine.h"

#include "PtyLine.h"

#include <algorithm>
#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zav::sim {

namespace {
constexpr int kSlowestBaud = 300;
// What a line may carry between two calls of a late owner.
constexpr double kBurstMs = 20;
} // namespace

double wireMsFor(qint64 bytes, int baud) {
    return baud > 0 ? double(bytes) * 10.0 * 1000.0 / baud : 0.0;
}

void LineCounts::addIn(qint64 n, int baud) {
    bytesIn += n;
    wireMs += wireMsFor(n, baud);
}

void LineCounts::addOut(qint64 n, int baud) {
    bytesOut += n;
    wireMs += wireMsFor(n, baud);
}

void PacedLine::arrived(double nowMs) {
    if (inBusy_) return; // the line is already carrying the tool's bytes
    inBusy_ = true;
    inBudget_ = 0;
    lastInMs_ = nowMs;
}

QByteArray PacedLine::read(double nowMs) {
    const int fd = pty_.master();
    if (fd < 0) return {};
    baud_ = std::max(ptyLineBaud(fd), kSlowestBaud);
    const double elapsed = lastInMs_ < 0 ? 0.0 : std::max(0.0, nowMs - lastInMs_);
    lastInMs_ = nowMs;
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) waiting = 0;
    // The line carried the tool's bytes only while some waited; bytes that came to an idle line
    // start from nothing (now, or when arrived() saw them come), so none is taken before its ten
    // bits have passed.
    inBudget_ = (inBusy_ && waiting > 0) ? carried(inBudget_, elapsed) : 0.0;
    const int want = std::min(int(inBudget_), waiting);
    inBusy_ = waiting > 0;
    if (want <= 0) return {};
    QByteArray bytes(want, '\0');
    ssize_t n = -1;
    do {
        n = ::read(fd, bytes.data(), size_t(want));
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return {};
    bytes.truncate(n);
    inBudget_ -= double(n);
    inBusy_ = waiting > n;
    // What the line carried beyond the last byte is time it stood idle after it: the byte was
    // whole that much earlier than this read.
    lastByteInMs_ = inBusy_ ? nowMs : nowMs - std::max(0.0, inBudget_) * 10000.0 / baud_;
    counts_.addIn(n, baud_);
    return bytes;
}

double PacedLine::carried(double budget, double elapsedMs) const {
    const double bytesPerMs = baud_ / 10000.0;
    // An owner that was late catches up a little, not with a whole backlog at once.
    return std::min(budget + bytesPerMs * elapsedMs, bytesPerMs * kBurstMs + 1);
}

void PacedLine::send(const QByteArray& bytes, double dueMs) {
    if (!bytes.isEmpty()) later_.append({bytes, dueMs});
}

void PacedLine::write(double nowMs) {
    const double elapsed = lastOutMs_ < 0 ? 0.0 : std::max(0.0, nowMs - lastOutMs_);
    lastOutMs_ = nowMs;
    // Bytes already waiting went on at the line's pace; bytes that find the line idle have been on
    // it since they became due (a pump step late at most), not only from now.
    const bool wasIdle = out_.isEmpty();
    outBudget_ = wasIdle ? 0.0 : carried(outBudget_, elapsed);
    double firstDueMs = nowMs;
    for (qsizetype i = 0; i < later_.size();) {
        if (later_[i].dueMs <= nowMs) {
            firstDueMs = std::min(firstDueMs, later_[i].dueMs);
            out_ += later_[i].bytes;
            later_.removeAt(i);
        } else {
            ++i;
        }
    }
    if (wasIdle && !out_.isEmpty()) outBudget_ = carried(0.0, nowMs - firstDueMs);
    const int fd = pty_.master();
    if (fd < 0) {
        out_.clear(); // the line is gone: nothing more reaches the tool
        return;
    }
    const qsizetype give = std::min<qsizetype>(qsizetype(outBudget_), out_.size());
    if (give <= 0) return;
    const ssize_t n = ::write(fd, out_.constData(), size_t(give));
    if (n > 0) {
        out_.remove(0, n);
        outBudget_ -= double(n);
        counts_.addOut(n, baud_);
    }
}

} // namespace zav::sim
