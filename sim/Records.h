#pragma once
// The UPS's two logs: the history log (events, read one 8-byte record at a time with 0x66) and the
// maintenance codes (status and alarm snapshots, 72 bytes each, read with 0x6A). Records are
// numbered from 1, oldest first, so the numbers stay put while a download runs.

#include "UpsProfile.h"

#include <QDateTime>
#include <QVector>
#include <array>
#include <cstdint>

namespace zav::sim {

namespace event {
// History event codes (one code per event kind; the UPS's table pairs some codes).
constexpr int LoadOnUps = 0, LoadOnBypass = 1, NoLoad = 2, BatteryBoost = 3, BatteryFloat = 4,
              BatteryDischarge = 5, BatteryConnected = 6, BatteryNotConnected = 7, Epo = 10,
              ModuleOnLess = 12, UtilityAbnormal = 16, BypassVoltAbnormal = 20, BypassOverload = 24,
              BatteryEod = 34, BatteryTest = 36, BatteryTestOk = 37, BatteryTestFail = 38,
              BatteryMaintenance = 39, BatteryMaintenanceOk = 40, BatteryMaintenanceFail = 41, StopTest = 42,
              FaultClear = 43, LogClear = 44, ModuleInserted = 45, ModuleExit = 46, OutputOverload = 55,
              ManualTransferBypass = 63, EscManualBypass = 64, BatteryVoltLow = 65, ManualShutdown = 74,
              ManualBoost = 75, ManualFloat = 76, NxRedundantLost = 83, ManualTransferToInv = 127,
              CapacitorTimeReset = 136, FanTimeReset = 137, BatteryHistoryReset = 138,
              BypassFanTimeReset = 139, DustFilterExpired = 150;
} // namespace event

enum Action : uint8_t { ActionClear = 0, ActionSet = 1 };

struct HistoryEvent {
    int code = 0;
    int action = ActionSet;
    int unit = 0;                // 0 = the whole unit
    QDateTime calendar;          // UPS clock at the event (models with calendar stamps)
    uint32_t runningSeconds = 0; // running time at the event (the other models)
};

// The 8 record bytes r0..r7 of one event, in the layout of the model.
std::array<uint8_t, 8> encodeHistoryRecord(const UpsProfile& profile, const HistoryEvent& e);

struct SCodeRecord {
    int unit = 0;
    QDateTime time;
    std::array<uint16_t, 32> words{}; // S0, S1, A0..A5, four words each
};

// The 72 record bytes; r0 is the number of records the UPS holds.
std::array<uint8_t, 72> encodeSCodeRecord(const SCodeRecord& r, int total);

// A log that keeps the newest `capacity` entries.
template <class T> class RecordLog {
  public:
    explicit RecordLog(int capacity) : capacity_(capacity) {}
    void append(const T& item) {
        items_.append(item);
        if (items_.size() > capacity_) items_.removeFirst();
    }
    void clear() { items_.clear(); }
    int count() const { return int(items_.size()); }
    bool contains(int number) const { return number >= 1 && number <= count(); }
    const T& at(int number) const { return items_[number - 1]; } // 1 = oldest
    const QVector<T>& items() const { return items_; }
    int capacity() const { return capacity_; }

  private:
    int capacity_;
    QVector<T> items_;
};

using HistoryLog = RecordLog<HistoryEvent>;
using SCodeLog = RecordLog<SCodeRecord>;

constexpr int kHistoryCapacity = 1000;
constexpr int kSCodeCapacity = 200; // the count travels in one byte

// The state digits of an S-code snapshot, group by group (0 S0, 1 S1, 2..7 A0..A5), digit 0..15.
// Digit j of a group is the j-th hex digit in reading order of its four words.
void setSCodeDigit(std::array<uint16_t, 32>& words, int group, int digit, int value);
int scodeDigit(const std::array<uint16_t, 32>& words, int group, int digit);

// A log for trying the downloads out: `count` events that go through every event code 0..199,
// first set, then cleared on the next pass, with unit numbers spread over the model's range, one
// event every 17 minutes, the last one at `end` (running time `runningAtEnd`).
QVector<HistoryEvent> historyCatalogue(const UpsProfile& profile, int count, const QDateTime& end,
                                       uint32_t runningAtEnd);
// `count` snapshots whose digits, record after record, take every value their items know (0, 1,
// 2, 4, 8 in the status groups; 0, 1, 2 in the alarm groups), six hours apart up to `end`.
QVector<SCodeRecord> scodeCatalogue(int count, const QDateTime& end);

} // namespace zav::sim
