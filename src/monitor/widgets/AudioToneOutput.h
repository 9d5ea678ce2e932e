#pragma once
// The beeper's sound on the PC: a sine tone of the asked frequency and length through the default
// audio output. Without a sound device (or when the output fails to open) the tone keeps its time in
// silence, so the sound thread runs at the same pace either way and nothing crashes or blocks.

#include "monitor/ToneTypes.h"

#include <QAudioDevice>

namespace zav {

class AudioToneOutput : public ToneGenerator {
  public:
    bool hasDevice(); // looks the device up on first use (on the sound thread)
    void tone(int frequencyHz, int durationMs) override;
    void rest(int durationMs) override;

  private:
    QAudioDevice device_;
    bool looked_ = false;
    bool failed_ = false; // the output failed once: stay silent rather than retry every second
};

} // namespace zav
