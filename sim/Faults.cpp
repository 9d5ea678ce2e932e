#include "Faults.h"

namespace zav::sim {

namespace {
struct KindName {
    FaultKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {FaultKind::Checksum, "checksum"}, {FaultKind::ByteCount, "byte-count"},
    {FaultKind::Truncate, "truncate"}, {FaultKind::Exception, "exception"},
    {FaultKind::Garbage, "garbage"},
};

bool hasByteCount(const QByteArray& pdu) {
    return pdu.size() >= 3 && replyHasByteCount(uint8_t(pdu[1]));
}
} // namespace

std::optional<FaultKind> faultKindFromName(const QString& name) {
    for (const KindName& k : kKindNames)
        if (name == QLatin1String(k.name)) return k.kind;
    return std::nullopt;
}

QString faultKindName(FaultKind kind) {
    for (const KindName& k : kKindNames)
        if (k.kind == kind) return QString::fromLatin1(k.name);
    return {};
}

void FaultInjector::add(FaultKind kind, int every, qint64 untilMs) {
    rules_.append(FaultRule{kind, every < 1 ? 1 : every, untilMs, 0});
}

void FaultInjector::clear() {
    rules_.clear();
    silentForever_ = false;
    silentUntil_ = 0;
    delayMs_ = 0;
    delayUntil_ = kForever;
}

FaultDecision FaultInjector::decide(qint64 now) {
    FaultDecision d;
    rules_.removeIf([now](const FaultRule& r) { return r.untilMs != kForever && now >= r.untilMs; });
    for (FaultRule& r : rules_) {
        if (++r.counter % r.every != 0) continue;
        switch (r.kind) {
        case FaultKind::Checksum:
            d.checksum = true;
            break;
        case FaultKind::ByteCount:
            d.byteCount = true;
            break;
        case FaultKind::Truncate:
            d.truncate = true;
            break;
        case FaultKind::Exception:
            d.exception = true;
            break;
        case FaultKind::Garbage:
            d.garbage = true;
            break;
        }
    }
    if (delayUntil_ == kForever || now < delayUntil_) d.delayMs = delayMs_;
    return d;
}

QByteArray noise(int length, uint32_t seed) {
    QByteArray out(length, '\0');
    uint32_t x = seed * 2654435761u + 12345u;
    for (int i = 0; i < length; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = char((x >> 16) & 0xFF);
    }
    return out;
}

QByteArray damageReply(Protocol protocol, const QByteArray& pdu, const FaultDecision& d, uint32_t noiseSeed) {
    QByteArray body = pdu;
    if (d.byteCount && hasByteCount(body)) body[2] = char(uint8_t(body[2]) + 2);
    QByteArray wire = frame(protocol, body);
    if (d.checksum) {
        if (protocol == Protocol::Rtu) {
            wire[wire.size() - 1] = char(wire[wire.size() - 1] ^ 0x5A);
        } else {
            // The two LRC digits stand before CR LF.
            const int at = int(wire.size()) - 4;
            const uint8_t lrc = uint8_t(HexValue(wire[at]) * 16 + HexValue(wire[at + 1]) + 1);
            wire[at] = HexDigit(lrc >> 4);
            wire[at + 1] = HexDigit(lrc & 0x0F);
        }
    }
    if (d.garbage) wire = noise(int(wire.size()), noiseSeed);
    if (d.truncate) wire.chop(qMax<qsizetype>(1, wire.size() / 3));
    return wire;
}

} // namespace zav::sim
