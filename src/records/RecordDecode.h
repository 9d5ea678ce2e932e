#pragma once
// Turns the bytes of one history record (8 bytes, function 0x66) or one S-code record (72 bytes,
// function 0x6A) into the texts of their grid rows. Pure functions: bytes, model and language in,
// texts out.

#include <QStringList>
#include <array>
#include <cstdint>

namespace zav {

using HistoryBytes = std::array<uint8_t, 8>;
using SCodeBytes = std::array<uint8_t, 72>;

struct HistoryFields {
    int code = 0;   // event code
    int action = 0; // 0 clear, 1 set, 2 and 3 without a text
    int unit = 0;   // 0 = the whole unit
    bool operator==(const HistoryFields&) const = default;
};

// Models 0, 3 and 6 pack a 9-bit code and a 5-bit unit into r0 r1; the others a 10-bit code and a
// 4-bit unit.
HistoryFields splitHistoryRecord(int upsModel, uint8_t r0, uint8_t r1);

// Column 4: a BCD calendar stamp (models 0-4, "2013-07-05 08:03:09") or the running time in
// seconds (models 5-8, "00123:04:05").
QString historyTimeText(int upsModel, const HistoryBytes& r);
// The models whose history stamps are the running time (hours:minutes:seconds), not a date.
bool historyTimeIsRunningTime(int upsModel);

// The cells of one history row: number, code, event, action, time. For a code without a text
// (200 and above) only the first two cells are returned; the others keep what the grid holds.
// `unitAfterName` is bit 4 of system code 1: the unit number follows the event text.
QStringList historyRowCells(int row, const HistoryBytes& r, int upsModel, int language, bool unitAfterName);

// The nine rows of S-code record `number`: the title ("03 SCode 01# 2014-06-09 17:05:00") and the
// eight groups ("S0: 1000-0000-0000-0000" ... "A5: ...").
QStringList scodeRowTexts(int number, const SCodeBytes& r);

inline constexpr int kSCodeRowsPerRecord = 9;
inline constexpr std::array<const char*, 8> kSCodeGroupKeys = {"S0", "S1", "A0", "A1",
                                                               "A2", "A3", "A4", "A5"};

} // namespace zav
