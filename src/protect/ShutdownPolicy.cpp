#include "protect/ShutdownPolicy.h"

#include <algorithm>

namespace zav {

namespace {

const char* const kEventNames[2] = {"utility failure", "battery voltage low"};

} // namespace

int ShutdownPolicy::upsDelaySeconds(int minutes, int seconds) {
    // Sums in 64 bits so no setting can overflow before the cap.
    const long long total = (long long)(minutes) * 60 + seconds;
    return int(std::clamp<long long>(total, 0, kMaxUpsDelay));
}

void ShutdownPolicy::load(const ShutdownConfig& c) {
    events_[Utility].delay = c.utilityMinutes * 60;
    events_[Utility].upsDelay = upsDelaySeconds(c.utilityMinutes, c.utilityUpsSeconds);
    events_[Battery].delay = c.batteryMinutes * 60;
    events_[Battery].upsDelay = upsDelaySeconds(c.batteryMinutes, c.batteryUpsSeconds);
}

void ShutdownPolicy::cancel() { cancelled_ = true; }

void ShutdownPolicy::shutNow() { shutNow_ = true; }

void ShutdownPolicy::stepEvent(Event e, uint16_t word, PolicyActions& out) {
    EventState& s = events_[e];
    const QString name = QLatin1String(kEventNames[e]);
    if (word == 1 && !s.active) {
        // A new occurrence: a full countdown, and an earlier cancel or expiry no longer counts.
        s.active = true;
        s.commandSent = false;
        s.remaining = s.delay;
        expired_ = false;
        windowWanted_ = true;
        cancelled_ = false;
        out.reasons << QStringLiteral("%1 reported: countdown of %2 s started").arg(name).arg(s.delay);
    } else if (word == 1) {
        s.remaining = std::max(0, s.remaining - 1);
    } else if (word == 0 && s.active) {
        s.active = false;
        out.reasons << QStringLiteral("%1 gone with %2 s left: countdown stopped").arg(name).arg(s.remaining);
    }
}

void ShutdownPolicy::followSwitchOff(const PolicyInputs& in, PolicyActions& out) {
    if (upsOffAt_ < 0) return;
    if (in.now >= upsOffAt_) {
        upsOffAt_ = -1;
        out.warnings << QStringLiteral("the time of the UPS switch-off order has come: the UPS output is off");
        return;
    }
    out.upsOff.pending = true;
    out.upsOff.at = upsOffAt_;
    out.upsOff.secondsLeft = upsOffAt_ - in.now;
    out.upsOff.eventGone = !anyActive();
}

PolicyActions ShutdownPolicy::secondTick(const PolicyInputs& in) {
    PolicyActions out;
    // The UPS carries out an order it holds whatever this side does: followed in every state.
    const bool wasActive = anyActive();
    if (!in.enabled) {
        followSwitchOff(in, out);
        return out; // the protection is off: nothing is watched
    }
    if (!in.linkOk) {
        // Without the UPS's word nothing is known: a pulled cable must never shut the PC down.
        if (!frozen_) out.reasons << QStringLiteral("link lost: countdowns frozen, nothing is started");
        frozen_ = true;
        out.held = wasActive;
        followSwitchOff(in, out);
        return out;
    }
    if (frozen_ && (events_[Utility].active || events_[Battery].active))
        out.reasons << QStringLiteral("link back: countdowns go on");
    frozen_ = false;

    stepEvent(Utility, in.inputFail, out);
    stepEvent(Battery, in.batteryLow, out);

    // Evaluation.
    int shortest = -1;
    for (const EventState& s : events_) {
        if (!s.active) continue;
        if (s.remaining == 0) expired_ = true;
        shortest = shortest < 0 ? s.remaining : std::min(shortest, s.remaining);
    }
    if (shortest < 0) windowWanted_ = false;

    bool visible = in.windowVisible;
    if (windowWanted_ && !visible && !cancelled_) {
        out.window = WindowAction::Show;
        visible = true;
    } else if (!windowWanted_ && visible) {
        out.window = WindowAction::Close;
        visible = false;
    }
    // A number of 0 or less is not written: the window keeps showing the last one.
    if (visible && shortest > 0) out.windowSeconds = shortest;

    if (!started_ && ((expired_ && windowWanted_ && !cancelled_) || shutNow_)) {
        started_ = true;
        out.startSequence = true;
        out.reasons << (shutNow_ ? QStringLiteral("shut down now pressed: shutdown sequence started")
                                 : QStringLiteral("countdown ran out: shutdown sequence started"));
    }

    // The UPS switch-off, once per occurrence, at its start (a cancel does not take it back).
    const bool boxes[2] = {in.utilityUpsOff, in.batteryUpsOff};
    for (int e = Utility; e <= Battery; ++e) {
        EventState& s = events_[e];
        if (!s.active || s.commandSent || !boxes[e]) continue;
        s.commandSent = true;
        out.upsOffDelays << uint16_t(s.upsDelay);
        upsOffAt_ = in.now + s.upsDelay; // the UPS holds one delay: the last order counts
        out.reasons << QStringLiteral("UPS switch-off after %1 s queued (%2)")
                           .arg(s.upsDelay)
                           .arg(QLatin1String(kEventNames[e]));
    }
    if (wasActive && !anyActive() && upsOffAt_ > in.now)
        out.warnings << QStringLiteral("the event is gone but the UPS was told to switch its output off: "
                                       "it does so in %1 s, the load then loses power")
                            .arg(upsOffAt_ - in.now);
    followSwitchOff(in, out);
    return out;
}

} // namespace zav
