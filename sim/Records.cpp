#include "Records.h"

#include "link/ModbusCodec.h"

#include <algorithm>

namespace zav::sim {

// Seconds, minutes, hours, day, month, year within the century: six BCD bytes, as the UPS stamps
// its records.
static void putBcdStamp(uint8_t* at, const QDateTime& t) {
    at[0] = ToBcd(t.time().second());
    at[1] = ToBcd(t.time().minute());
    at[2] = ToBcd(t.time().hour());
    at[3] = ToBcd(t.date().day());
    at[4] = ToBcd(t.date().month());
    at[5] = ToBcd(t.date().year() % 100);
}

std::array<uint8_t, 8> encodeHistoryRecord(const UpsProfile& profile, const HistoryEvent& e) {
    std::array<uint8_t, 8> r{};
    const int action = e.action & 3;
    if (profile.wideEventCode) {
        // code bits 8..1 | code bit 0, action (2 bits), unit (5 bits)
        r[0] = uint8_t((e.code >> 1) & 0xFF);
        r[1] = uint8_t((e.code & 1) << 7 | action << 5 | (e.unit & 0x1F));
    } else {
        // code bits 9..2 | code bits 1..0, action (2 bits), unit (4 bits)
        r[0] = uint8_t((e.code >> 2) & 0xFF);
        r[1] = uint8_t((e.code & 3) << 6 | action << 4 | (e.unit & 0x0F));
    }
    if (profile.calendarStamps) {
        putBcdStamp(&r[2], e.calendar);
    } else {
        // Two big-endian words, the low word first.
        const uint32_t s = e.runningSeconds;
        r[4] = uint8_t(s >> 8);
        r[5] = uint8_t(s);
        r[6] = uint8_t(s >> 24);
        r[7] = uint8_t(s >> 16);
    }
    return r;
}

std::array<uint8_t, 72> encodeSCodeRecord(const SCodeRecord& rec, int total) {
    std::array<uint8_t, 72> r{};
    r[0] = uint8_t(total);
    r[1] = uint8_t(rec.unit & 0x0F);
    putBcdStamp(&r[2], rec.time);
    for (int i = 0; i < 32; ++i) {
        r[size_t(8 + 2 * i)] = uint8_t(rec.words[size_t(i)] >> 8);
        r[size_t(9 + 2 * i)] = uint8_t(rec.words[size_t(i)]);
    }
    return r;
}

void setSCodeDigit(std::array<uint16_t, 32>& words, int group, int digit, int value) {
    uint16_t& w = words[size_t(group * 4 + digit / 4)];
    const int shift = 12 - 4 * (digit % 4);
    w = uint16_t((w & ~(0xF << shift)) | ((value & 0xF) << shift));
}

int scodeDigit(const std::array<uint16_t, 32>& words, int group, int digit) {
    return (words[size_t(group * 4 + digit / 4)] >> (12 - 4 * (digit % 4))) & 0xF;
}

QVector<HistoryEvent> historyCatalogue(const UpsProfile& profile, int count, const QDateTime& end,
                                       uint32_t runningAtEnd) {
    constexpr int kCodes = 200;
    constexpr int kStepSeconds = 17 * 60;
    const int units = profile.wideEventCode ? 32 : 16;
    QVector<HistoryEvent> log;
    for (int k = 0; k < count; ++k) {
        const int before = count - 1 - k; // events after this one
        HistoryEvent e;
        e.code = k % kCodes;
        e.action = (k / kCodes) % 2 == 0 ? ActionSet : ActionClear;
        e.unit = (k * 7) % units;
        e.calendar = end.addSecs(-qint64(before) * kStepSeconds);
        e.runningSeconds = uint32_t(std::max<qint64>(0, qint64(runningAtEnd) - qint64(before) * kStepSeconds));
        log.append(e);
    }
    return log;
}

QVector<SCodeRecord> scodeCatalogue(int count, const QDateTime& end) {
    static const int kStatusValues[] = {0, 1, 2, 4, 8};
    static const int kAlarmValues[] = {0, 1, 2};
    QVector<SCodeRecord> log;
    for (int k = 0; k < count; ++k) {
        SCodeRecord r;
        r.unit = k % 16;
        r.time = end.addSecs(-qint64(count - 1 - k) * 6 * 3600);
        for (int g = 0; g < 8; ++g) {
            for (int d = 0; d < 16; ++d) {
                const int v = g < 2 ? kStatusValues[(k + d + g) % 5] : kAlarmValues[(k + d + g) % 3];
                setSCodeDigit(r.words, g, d, v);
            }
        }
        log.append(r);
    }
    return log;
}

} // namespace zav::sim
