#pragma once
// The decision of the PC protection, stepped once a second by TimerShutdown. It reads nothing by
// itself: the two status words, LinkOk and the ticked boxes come in, the actions go out (show or
// close the countdown window, queue the UPS switch-off, start the shutdown sequence), each with a
// line saying why. No clock, no platform call: tests step it second by second.
//
// Per event (utility failure from status 88, low battery from status 107):
//   inactive --(word 1)--> active, remaining = delay --(word 1)--> remaining - 1 (not below 0)
//   active --(word 0)--> inactive; any other word changes nothing.
// The sequence starts when a countdown has run out while the window is wanted and not cancelled,
// or when the user asked to shut down now; it runs at most once per program run.
//
// A switch-off order (register 358) makes the UPS switch its output off `delay` seconds after it
// took it, whatever happens to the event meanwhile: the registers offer no way to withdraw it. So
// the policy keeps the time the order falls due (now + delay, in the caller's steady seconds) and
// reports it until that time has passed, also after the event is gone and while the link is lost;
// a later order replaces the earlier one, as the UPS holds one delay.

#include "protect/ShutdownConfig.h"

#include <QStringList>
#include <QtGlobal>
#include <QVector>
#include <cstdint>

namespace zav {

struct PolicyInputs {
    bool linkOk = false;        // the UPS answers
    bool enabled = false;       // CheckBoxShutdownEnable as ticked now
    bool utilityUpsOff = false; // CheckBoxUtilityFailUpsShutDelay as ticked now
    bool batteryUpsOff = false; // CheckBoxBattVoltLowUpsShutDelay as ticked now
    uint16_t inputFail = 0;     // LiveStatus 88: 1 present, 0 absent
    uint16_t batteryLow = 0;    // LiveStatus 107: 1 present, 0 absent
    bool windowVisible = false; // FormCountDown is on screen
    qint64 now = 0;             // seconds on a steady clock: when a switch-off order falls due
};

enum class WindowAction { Keep, Show, Close };

// A switch-off order the UPS holds and has not carried out yet.
struct PendingSwitchOff {
    bool pending = false;
    qint64 at = 0;          // when it falls due, in PolicyInputs::now's seconds
    qint64 secondsLeft = 0;
    bool eventGone = false; // no event is active any more: the output goes off although the cause is gone
};

struct PolicyActions {
    WindowAction window = WindowAction::Keep;
    int windowSeconds = -1;          // the number the window shows now; -1 keeps the last one
    QVector<uint16_t> upsOffDelays;  // switch-off commands (register 358) to queue, in this order
    bool startSequence = false;
    bool held = false;               // the link is lost while a countdown runs: it stands still
    PendingSwitchOff upsOff;         // what the screen says about a switch-off order
    QStringList reasons;             // why, one line per decision
    QStringList warnings;            // lines that must stand out in a log (a load about to lose power)
};

class ShutdownPolicy {
  public:
    static constexpr uint16_t kUpsOffRegister = 358;
    static constexpr int kMaxUpsDelay = 32767; // the register holds a signed 16-bit number of seconds

    enum Event { Utility = 0, Battery = 1 };

    // The seconds the UPS waits before it switches off: minutes * 60 + seconds, at most 32767.
    static int upsDelaySeconds(int minutes, int seconds);

    // Takes the delays of the confirmed settings; the running countdowns keep their state.
    void load(const ShutdownConfig& config);

    PolicyActions secondTick(const PolicyInputs& in); // TimerShutdownTimer
    void cancel();  // ButtonCancel: the running countdown no longer shuts the PC down
    void shutNow(); // ButtonShut: the sequence starts at the next tick
    void switchOffNotSent() { upsOffAt_ = -1; } // the port was closed: the UPS holds no order

    bool active(Event e) const { return events_[e].active; }
    int remaining(Event e) const { return events_[e].remaining; }
    bool commandSent(Event e) const { return events_[e].commandSent; }
    int delay(Event e) const { return events_[e].delay; }
    int upsDelay(Event e) const { return events_[e].upsDelay; }
    bool windowWanted() const { return windowWanted_; }
    bool expired() const { return expired_; }
    bool cancelled() const { return cancelled_; }
    bool started() const { return started_; }
    qint64 upsOffAt() const { return upsOffAt_; } // -1: no order pending

  private:
    struct EventState {
        int delay = 0;    // countdown start, seconds
        int upsDelay = 0; // seconds sent to the UPS
        bool active = false;
        int remaining = 0;
        bool commandSent = false;
    };
    void stepEvent(Event e, uint16_t word, PolicyActions& out);
    void followSwitchOff(const PolicyInputs& in, PolicyActions& out);
    bool anyActive() const { return events_[Utility].active || events_[Battery].active; }

    EventState events_[2];
    bool windowWanted_ = false;
    bool expired_ = false;
    bool cancelled_ = false;
    bool shutNow_ = false;
    bool started_ = false;
    bool frozen_ = false; // the link was lost at the last tick: said once, not every second
    qint64 upsOffAt_ = -1;
};

} // namespace zav
