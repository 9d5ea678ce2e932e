#pragma once
// A beeper command and the tone generator that plays it.

#include <cstdint>

namespace zav {

constexpr int kAlarmToneHz = 400;
constexpr int kChirpMs = 100;
constexpr int kDefaultBeatMs = 1000;
constexpr uint16_t kRestFrequency = 1; // a command of frequency 1 is a rest

struct ToneCommand {
    uint16_t frequency = kRestFrequency; // hertz
    int durationMs = 0;
    bool isRest() const { return frequency == kRestFrequency; }
    bool operator==(const ToneCommand&) const = default;
};

// Sounds a tone or keeps silent; both return when the time has passed (a file sink returns at once
// after writing it). Called only on the beeper's sound thread.
class ToneGenerator {
  public:
    virtual ~ToneGenerator() = default;
    virtual void tone(int frequencyHz, int durationMs) = 0;
    virtual void rest(int durationMs) = 0;
};

} // namespace zav
