#pragma once
// Text forms of settings words: the display formats of the settings pages, the typed-decimal
// conversion of the New fields, the serial number, the clock and the text registers.

#include "link/RegisterStore.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace zav {

// Unsigned decimal text of a word. Tenths and hundredths use the shared FormatTenths and
// FormatHundredths (monitor/NumberFormats.h).
QString integerText(uint16_t value);

// DecimalTextToScaled: typed decimal text to the integer text x 10^decimals, digits only, no
// rounding ("2.25", 2 -> "225"; "5", 1 -> "50"; "-1.5", 2 -> "-150"; "" -> "0").
// decimals <= 0 returns the text unchanged.
QString DecimalTextToScaled(const QString& text, int decimals);
// The same, as a number; false when the result is not an integer (for example "abc").
bool decimalTextToScaled(const QString& text, int decimals, int* value);

// Serial number of registers 308 and 309: at least four and at least three digits.
QString serialNumberText(uint16_t first, uint16_t second);

// Text registers: two characters a register, high byte first; a byte outside 32..126 ends the
// text, trailing blanks are dropped.
QString registerText(const RegisterStore& store, int firstRegister, int registerCount);

// The UPS clock of registers 424..426 (BCD: 424 = seconds:minutes, 425 = hours:day with bit 15 a
// flag, 426 = month:year within the century).
struct ClockRegisters {
    int year = 2000; // 2000 + the BCD year
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool valid() const;           // a real date in 2000..2099 and a real time of day
    QDateTime toDateTime() const; // only meaningful when valid()
    QString text() const;         // "yyyy-MM-dd hh:mm" when valid, else plain numbers
};
ClockRegisters decodeUpsClock(const RegisterStore& SettingData);

// DateTimePickerDataNewChange: a year outside 2000..2099 becomes 2000, same month and day.
QDate pickerDateInRange(const QDate& date);

} // namespace zav
