#include "monitor/WavToneSink.h"

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace zav {

namespace {
constexpr int kHeaderBytes = 44;
constexpr double kAmplitude = 0.5 * 32767;

void put32(char* p, quint32 v) {
    qToLittleEndian(v, p);
}
void put16(char* p, quint16 v) {
    qToLittleEndian(v, p);
}
} // namespace

WavToneSink::WavToneSink(const QString& path, int sampleRate) : file_(path), sampleRate_(sampleRate) {
    if (file_.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        writeHeader();
        file_.flush();
    }
}

void WavToneSink::tone(int frequencyHz, int durationMs) {
    writeSamples(frequencyHz, durationMs);
}

void WavToneSink::rest(int durationMs) {
    writeSamples(0, durationMs);
}

void WavToneSink::writeSamples(int frequencyHz, int durationMs) {
    if (!file_.isOpen() || durationMs <= 0) return;
    const qint64 count = qint64(sampleRate_) * durationMs / 1000;
    std::vector<char> data(size_t(count) * 2);
    const double step = 2 * std::numbers::pi * frequencyHz / sampleRate_;
    for (qint64 i = 0; i < count; ++i) {
        const double v = frequencyHz > 0 ? kAmplitude * std::sin(phase_) : 0.0;
        put16(&data[size_t(i) * 2], quint16(qint16(std::lround(v))));
        if (frequencyHz > 0) phase_ = std::fmod(phase_ + step, 2 * std::numbers::pi);
    }
    file_.seek(kHeaderBytes + samples_ * 2);
    file_.write(data.data(), qint64(data.size()));
    samples_ += count;
    writeHeader();
    file_.flush();
}

void WavToneSink::writeHeader() {
    const quint32 dataBytes = quint32(samples_ * 2);
    char h[kHeaderBytes];
    memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + dataBytes);
    memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16); // format chunk size
    put16(h + 20, 1);  // PCM
    put16(h + 22, 1);  // mono
    put32(h + 24, quint32(sampleRate_));
    put32(h + 28, quint32(sampleRate_ * 2)); // bytes per second
    put16(h + 32, 2);                        // bytes per frame
    put16(h + 34, 16);                       // bits per sample
    memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
    file_.seek(0);
    file_.write(h, kHeaderBytes);
}

} // namespace zav
