#include "PacedLine.h"

#include "PtyLine.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace zav::sim {

namespace {
constexpr int kSlowestBaud = 300;
// Credit a line may build up while its owner is late: more would let a backlog through at once.
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

QByteArray PacedLine::read(qint64 nowMs) {
    const int fd = pty_.master();
    if (fd < 0) return {};
    baud_ = std::max(ptyLineBaud(fd), kSlowestBaud);
    const double bytesPerMs = baud_ / 10000.0;
    const double elapsed = lastMs_ < 0 ? 0.0 : double(nowMs - lastMs_);
    lastMs_ = nowMs;
    // Budgets do not pile up while the line is idle: a line cannot send faster later.
    const double cap = bytesPerMs * kBurstMs + 1;
    inBudget_ = std::min(inBudget_ + bytesPerMs * elapsed, cap);
    outBudget_ = std::min(outBudget_ + bytesPerMs * elapsed, cap);

    const int want = int(inBudget_);
    if (want <= 0) return {};
    QByteArray bytes(want, '\0');
    ssize_t n = -1;
    do {
        n = ::read(fd, bytes.data(), size_t(want));
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        inBudget_ = std::min(inBudget_, 1.0); // nothing waiting: no credit
        return {};
    }
    bytes.truncate(n);
    inBudget_ -= double(n);
    counts_.addIn(n, baud_);
    return bytes;
}

void PacedLine::send(const QByteArray& bytes, qint64 dueMs) {
    if (!bytes.isEmpty()) later_.append({bytes, dueMs});
}

void PacedLine::write(qint64 nowMs) {
    for (qsizetype i = 0; i < later_.size();) {
        if (later_[i].dueMs <= nowMs) {
            out_ += later_[i].bytes;
            later_.removeAt(i);
        } else {
            ++i;
        }
    }
    const int fd = pty_.master();
    if (fd < 0) {
        out_.clear(); // the line is gone: nothing more reaches the tool
        return;
    }
    const qsizetype give = std::min<qsizetype>(qsizetype(outBudget_), out_.size());
    if (give > 0) {
        const ssize_t n = ::write(fd, out_.constData(), size_t(give));
        if (n > 0) {
            out_.remove(0, n);
            outBudget_ -= double(n);
            counts_.addOut(n, baud_);
        }
    } else if (out_.isEmpty()) {
        outBudget_ = std::min(outBudget_, 1.0);
    }
}

} // namespace zav::sim
