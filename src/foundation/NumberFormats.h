#pragma once
// Text formats of the live register words. Every format is built from the digits of the word, so
// nothing is ever rounded; a word of 0x8000 or more (negative as a signed value) in an unsigned
// quantity shows the zero text of its format.

#include <QString>
#include <cstdint>

namespace zav {

QString FormatTenths(uint16_t word);      // 2205 -> "220.5", 7 -> "0.7"
QString FormatHundredths(uint16_t word);  // 4998 -> "49.98", 5 -> "0.05"
QString FormatThousandths(uint16_t word); // 1250 -> "1.250", 5 -> "0.005"
// The battery currents are the only signed words: "#0.0" of the value / 10 (0xFF85 -> "-12.3").
QString FormatSignedTenths(uint16_t word);
// Monitor firmware version of registers 68..70: "01 . 002 . 003", or "** . *** . ***" when all are 0.
QString FormatMonitorVersion(uint16_t major, uint16_t minor, uint16_t build);

} // namespace zav
