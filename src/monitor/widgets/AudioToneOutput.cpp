#include "monitor/widgets/AudioToneOutput.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <numbers>

namespace zav {

namespace {

constexpr double kVolume = 0.4;
constexpr int kFinishMarginMs = 500; // an output that never reports the end is given up after this

// The samples of a sine in the format's sample type and channel count; empty if it is neither
// 16-bit integer nor float.
QByteArray sineSamples(const QAudioFormat& format, int frequencyHz, int durationMs) {
    const int frames = format.sampleRate() * durationMs / 1000;
    const int channels = format.channelCount();
    const double step = 2 * std::numbers::pi * frequencyHz / format.sampleRate();
    QByteArray out;
    if (format.sampleFormat() == QAudioFormat::Int16) {
        out.resize(qsizetype(frames) * channels * 2);
        auto* p = reinterpret_cast<qint16*>(out.data());
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                *p++ = qint16(std::lround(kVolume * 32767 * std::sin(step * i)));
    } else if (format.sampleFormat() == QAudioFormat::Float) {
        out.resize(qsizetype(frames) * channels * 4);
        auto* p = reinterpret_cast<float*>(out.data());
        for (int i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                *p++ = float(kVolume * std::sin(step * i));
    }
    return out;
}

} // namespace

bool AudioToneOutput::hasDevice() {
    // The audio system is asked only when a tone is first played, so a run without alarms never
    // starts it.
    if (!looked_) {
        device_ = QMediaDevices::defaultAudioOutput();
        looked_ = true;
    }
    return !device_.isNull();
}

void AudioToneOutput::rest(int durationMs) {
    QThread::msleep(ulong(std::max(durationMs, 0)));
}

void AudioToneOutput::tone(int frequencyHz, int durationMs) {
    if (failed_ || !hasDevice()) return rest(durationMs);

    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device_.isFormatSupported(format)) format = device_.preferredFormat();
    QByteArray samples = sineSamples(format, frequencyHz, durationMs);
    if (samples.isEmpty()) {
        failed_ = true;
        return rest(durationMs);
    }

    QBuffer buffer(&samples);
    buffer.open(QIODevice::ReadOnly);
    QAudioSink sink(device_, format);
    sink.start(&buffer);
    if (sink.error() != QAudio::NoError) {
        failed_ = true;
        return rest(durationMs);
    }
    // This is the sound thread: a local loop lets the output report that it has played the buffer.
    QEventLoop loop;
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&](QAudio::State state) {
        if (state == QAudio::IdleState || state == QAudio::StoppedState) loop.quit();
    });
    QTimer::singleShot(durationMs + kFinishMarginMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (sink.error() != QAudio::NoError && sink.error() != QAudio::UnderrunError) failed_ = true;
    sink.stop();
}

} // namespace zav
