#pragma once
// Fault injection: what can go wrong between the UPS and the tool. Rules apply to every n-th
// reply (n = 1: every reply) and may end at a simulator time. Silence means the UPS hears nothing
// at all (a pulled cable): requests are neither answered nor carried out.

#include "link/ModbusCodec.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

namespace zav::sim {

enum class FaultKind {
    Checksum,  // CRC or LRC of the reply wrong
    ByteCount, // byte-count field of a block reply wrong (data and check consistent)
    Truncate,  // reply cut short
    Exception, // the UPS answers "busy" (exception 6) without carrying the request out
    Garbage,   // noise of the reply's length instead of the reply
};

std::optional<FaultKind> faultKindFromName(const QString& name);
QString faultKindName(FaultKind kind);

constexpr qint64 kForever = -1;

struct FaultRule {
    FaultKind kind = FaultKind::Checksum;
    int every = 1;
    qint64 untilMs = kForever;
    int counter = 0; // replies seen by the rule
};

// Which faults hit one reply.
struct FaultDecision {
    bool checksum = false, byteCount = false, truncate = false, exception = false, garbage = false;
    int delayMs = 0;
};

class FaultInjector {
  public:
    void add(FaultKind kind, int every = 1, qint64 untilMs = kForever);
    void silenceUntil(qint64 untilMs) {
        silentUntil_ = untilMs;
        silentForever_ = false;
    }
    void setSilent(bool silent) {
        silentForever_ = silent;
        if (!silent) silentUntil_ = 0;
    }
    void setDelay(int ms, qint64 untilMs = kForever) {
        delayMs_ = ms;
        delayUntil_ = untilMs;
    }
    void clear();

    bool silentAt(qint64 now) const { return silentForever_ || now < silentUntil_; }
    // Counts one reply against every live rule and tells which faults hit it.
    FaultDecision decide(qint64 now);
    const QVector<FaultRule>& rules() const { return rules_; }

  private:
    QVector<FaultRule> rules_;
    bool silentForever_ = false;
    qint64 silentUntil_ = 0;
    int delayMs_ = 0;
    qint64 delayUntil_ = kForever;
};

// The reply as it leaves the UPS under the decided faults. `pdu` is the correct reply PDU.
QByteArray damageReply(Protocol protocol, const QByteArray& pdu, const FaultDecision& d, uint32_t noiseSeed);

// Noise bytes, the same for the same seed.
QByteArray noise(int length, uint32_t seed);

} // namespace zav::sim
