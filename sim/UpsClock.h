#pragma once
// The UPS's own calendar clock (settings registers 424-426, BCD). It runs on simulator time; a write
// replaces one register's two fields. A date that does not exist (30 February) is refused with an
// exception reply, as a real clock chip would not take it, and the clock runs on.

#include <QDateTime>
#include <cstdint>

namespace zav::sim {

struct ClockFields {
    int second = 0, minute = 0, hour = 0, day = 1, month = 1, year = 0; // year within the century
};

class UpsClock {
  public:
    explicit UpsClock(const QDateTime& start = QDateTime(QDate(2024, 1, 1), QTime(0, 0)));

    // Moves the simulator time (milliseconds since the simulator started).
    void advanceTo(qint64 ms) { nowMs_ = ms; }

    ClockFields fields() const;
    QDateTime now() const; // invalid while the fields make no date

    // Register words: 424 = seconds:minutes, 425 = hours:day, 426 = month:year (high:low, BCD).
    uint16_t registerWord(int reg) const;
    // Replaces the two fields of one register. False (and nothing changed) when a byte is not BCD,
    // a field is out of its range, or the month and year (426, written last) make no date with the day.
    bool writeRegister(int reg, uint16_t value);

  private:
    void setFields(const ClockFields& f);

    ClockFields base_; // fields at baseMs_
    qint64 baseMs_ = 0;
    qint64 nowMs_ = 0;
    int pendingDay_ = 0; // a day written for a month still to come (0: none)
};

bool isBcdByte(uint8_t b);

} // namespace zav::sim
