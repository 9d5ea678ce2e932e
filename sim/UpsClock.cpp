#include "UpsClock.h"

#include "link/ModbusCodec.h"

namespace zav::sim {

namespace {
QDateTime toDateTime(const ClockFields& f) {
    const QDate date(2000 + f.year, f.month, f.day);
    const QTime time(f.hour, f.minute, f.second);
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time);
}

ClockFields fromDateTime(const QDateTime& t) {
    return {t.time().second(), t.time().minute(), t.time().hour(),
            t.date().day(),    t.date().month(),  t.date().year() % 100};
}

uint16_t pack(int high, int low) {
    return uint16_t(ToBcd(high) << 8 | ToBcd(low));
}
} // namespace

bool isBcdByte(uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

UpsClock::UpsClock(const QDateTime& start) {
    setFields(fromDateTime(start));
}

void UpsClock::setFields(const ClockFields& f) {
    base_ = f;
    baseMs_ = nowMs_;
}

QDateTime UpsClock::now() const {
    const QDateTime base = toDateTime(base_);
    if (!base.isValid()) return {};
    return base.addMSecs(nowMs_ - baseMs_);
}

ClockFields UpsClock::fields() const {
    const QDateTime t = now();
    return t.isValid() ? fromDateTime(t) : base_;
}

uint16_t UpsClock::registerWord(int reg) const {
    const ClockFields f = fields();
    switch (reg) {
    case 424:
        return pack(f.second, f.minute);
    case 425:
        return pack(f.hour, f.day);
    case 426:
        return pack(f.month, f.year);
    default:
        return 0;
    }
}

bool UpsClock::writeRegister(int reg, uint16_t value) {
    const uint8_t high = uint8_t(value >> 8), low = uint8_t(value & 0xFF);
    // The tool leaves bit 15 (hours) as it found it; the clock ignores it.
    const uint8_t highField = reg == 425 ? uint8_t(high & 0x7F) : high;
    if (!isBcdByte(highField) || !isBcdByte(low)) return false;
    const int h = FromBcd(highField), l = FromBcd(low);
    ClockFields f = fields();
    switch (reg) {
    case 424:
        if (h > 59 || l > 59) return false;
        f.second = h;
        f.minute = l;
        break;
    case 425:
        if (h > 23 || l < 1 || l > 31) return false;
        f.hour = h;
        f.day = l;
        // The day is written before its month: 31 is taken while the clock still shows June, and
        // judged with the month that follows. Until then the clock runs on with the day it had.
        pendingDay_ = 0;
        if (!toDateTime(f).isValid()) {
            pendingDay_ = l;
            f.day = fields().day;
        }
        break;
    case 426:
        if (h < 1 || h > 12) return false;
        f.month = h;
        f.year = l;
        if (pendingDay_ > 0) f.day = pendingDay_;
        pendingDay_ = 0;
        // A date that does not exist (31 June, 29 February 2025) is refused: the clock keeps its date.
        if (!toDateTime(f).isValid()) return false;
        break;
    default:
        return false;
    }
    setFields(f);
    return true;
}

} // namespace zav::sim
