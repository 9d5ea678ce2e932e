#include "records/RecordDecode.h"

#include "link/ModbusCodec.h"
#include "records/RecordTexts.h"

namespace zav {

namespace {

bool wideCodeModel(int upsModel) {
    return upsModel == 0 || upsModel == 3 || upsModel == 6;
}

QString two(int v) {
    return QString::asprintf("%02d", v);
}

// BCD seconds, minutes, hours, day, month, year within the century; no range check, as the UPS
// writes them.
QString calendarText(const std::array<uint8_t, 6>& at) {
    return QString::number(2000 + FromBcd(at[5])) + '-' + two(FromBcd(at[4])) + '-' + two(FromBcd(at[3])) +
           ' ' + two(FromBcd(at[2])) + ':' + two(FromBcd(at[1])) + ':' + two(FromBcd(at[0]));
}

} // namespace

HistoryFields splitHistoryRecord(int upsModel, uint8_t r0, uint8_t r1) {
    if (wideCodeModel(upsModel)) return {r0 * 2 + (r1 >> 7), (r1 >> 5) & 3, r1 & 0x1F};
    return {r0 * 4 + (r1 >> 6), (r1 >> 4) & 3, r1 & 0x0F};
}

bool historyTimeIsRunningTime(int upsModel) {
    return !(upsModel >= 0 && upsModel <= 4);
}

QString historyTimeText(int upsModel, const HistoryBytes& r) {
    if (!historyTimeIsRunningTime(upsModel)) {
        // Bit 7 of the hour byte is not part of the hour.
        return calendarText({r[2], r[3], uint8_t(r[4] & 0x7F), r[5], r[6], r[7]});
    }
    // Two big-endian words, the low word (r4 r5) first.
    const uint32_t s = uint32_t(r[6]) << 24 | uint32_t(r[7]) << 16 | uint32_t(r[4]) << 8 | r[5];
    return QString::asprintf("%05u", s / 3600) + ':' + two(int((s / 60) % 60)) + ':' + two(int(s % 60));
}

QStringList historyRowCells(int row, const HistoryBytes& r, int upsModel, int language, bool unitAfterName) {
    const HistoryFields f = splitHistoryRecord(upsModel, r[0], r[1]);
    QStringList cells = {QString::number(row), QString::number(f.code)};
    if (f.code >= kHistoryEventCount) return cells;

    const QString name = historyEventText(f.code, language);
    const QString unit = two(f.unit);
    if (f.unit == 0)
        cells << name;
    else if (unitAfterName && upsModel != 0)
        cells << name + unit + '#';
    else
        cells << unit + '#' + name;
    cells << historyActionText(f.action, language);
    cells << historyTimeText(upsModel, r);
    return cells;
}

QStringList scodeRowTexts(int number, const SCodeBytes& r) {
    QStringList rows;
    // Bit 7 of every stamp byte carries nothing of the time.
    std::array<uint8_t, 6> stamp{};
    for (size_t i = 0; i < 6; ++i)
        stamp[i] = uint8_t(r[2 + i] & 0x7F);
    rows << two(number) + " SCode " + two(r[1] & 0x0F) + "# " + calendarText(stamp);
    for (int g = 0; g < 8; ++g) {
        QStringList words;
        for (int w = 0; w < 4; ++w) {
            const int at = 8 + 8 * g + 2 * w;
            words << QString::asprintf("%04X", unsigned(r[size_t(at)]) << 8 | r[size_t(at + 1)]);
        }
        rows << QString::fromLatin1(kSCodeGroupKeys[size_t(g)]) + ": " + words.join('-');
    }
    return rows;
}

} // namespace zav
