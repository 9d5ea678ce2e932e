#pragma once
// The alarm choices as the alarm tab's boxes hold them now. The tab writes every tick and untick
// into it at once and the alarm beeper reads it on every TimerBeeper tick, so unticking an event
// silences it at once; ZAV.ini keeps the event choices only when the user confirms them (ButtonOK),
// the beeper switch as soon as it is chosen. Start-up and opening page 10 load it from ZAV.ini.
// One object shared through the page context: the beeper needs no settings widget to read it.

#include <QHash>
#include <QString>

namespace zav {

class ProfileFile;

class AlarmSelection {
  public:
    void load(const ProfileFile& profile); // "UPSEvents" and "Beeper"/"BeepOnOff"
    bool saveEvents(ProfileFile& profile) const;

    bool ticked(const QString& box) const { return ticks_.value(box, true); } // ZAV.ini's default
    void setTicked(const QString& box, bool on) { ticks_.insert(box, on); }
    bool beeperOn() const { return beeperOn_; }
    void setBeeperOn(bool on) { beeperOn_ = on; }

  private:
    QHash<QString, bool> ticks_; // by check-box name
    bool beeperOn_ = true;
};

} // namespace zav
