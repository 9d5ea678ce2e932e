#pragma once
// A tone generator that writes what the beeper plays into a WAV file (16-bit mono PCM): tones as
// sine waves, rests as silence, one after another as they would sound. The header is brought up to
// date after every command, so the file can be read at any time. Used where no sound device exists,
// by the tests and by the benchmark.

#include "monitor/ToneTypes.h"

#include <QFile>
#include <QString>

namespace zav {

class WavToneSink : public ToneGenerator {
  public:
    explicit WavToneSink(const QString& path, int sampleRate = 8000);

    bool isOpen() const { return file_.isOpen(); }
    int sampleRate() const { return sampleRate_; }
    qint64 samplesWritten() const { return samples_; }

    void tone(int frequencyHz, int durationMs) override;
    void rest(int durationMs) override;

  private:
    void writeSamples(int frequencyHz, int durationMs);
    void writeHeader();

    QFile file_;
    int sampleRate_;
    qint64 samples_ = 0;
    double phase_ = 0; // carried over, so back-to-back tones join without a click
};

} // namespace zav
