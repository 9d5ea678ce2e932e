#pragma once
// btBeeper: a first-in first-out queue of tone commands played one after another by a sound thread,
// so the user-interface thread only queues and never waits for a tone. The queue is the only object
// the two threads share; its lock guards adding and taking.

#include "monitor/ToneTypes.h"

#include <QThread>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace zav {

// TQueueList. Holds at most `capacity` commands: a sound that cannot keep up with the one-second
// tick (a tone that takes a little longer than its length) drops the oldest waiting command, so the
// beeper never lags further and further behind the alarms or grows without bound.
class ToneQueue {
  public:
    explicit ToneQueue(size_t capacity = 8) : capacity_(capacity) {}

    void push(const ToneCommand& command);
    // Waits for a command; false once stop() was called.
    bool take(ToneCommand& command);
    void stop();
    size_t size() const;
    // For tests and the benchmark: waits (bounded) until the queue is empty and nothing plays.
    bool waitIdle(int timeoutMs);
    void donePlaying();

  private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<ToneCommand> commands_;
    size_t capacity_;
    bool playing_ = false;
    bool stopped_ = false;
};

class Beeper {
  public:
    enum BeatDuration { bd_500 = 500, bd_1000 = 1000, bd_1500 = 1500, bd_2000 = 2000 };

    explicit Beeper(std::unique_ptr<ToneGenerator> generator);
    ~Beeper(); // stops the sound thread after the command it is playing

    void setBeatDuration(BeatDuration beat) { beat_ = beat; }
    int beatMs() const { return int(beat_); }

    void tone(int frequencyHz) { play({uint16_t(frequencyHz), beatMs()}); }
    void tone(int frequencyHz, int durationMs) { play({uint16_t(frequencyHz), durationMs}); }
    void rest() { play({kRestFrequency, beatMs()}); }
    void rest(int durationMs) { play({kRestFrequency, durationMs}); }
    void play(const ToneCommand& command) { queue_.push(command); }

    size_t queued() const { return queue_.size(); }
    bool waitIdle(int timeoutMs) { return queue_.waitIdle(timeoutMs); }

  private:
    class SoundThread;
    ToneQueue queue_;
    std::unique_ptr<ToneGenerator> generator_;
    std::unique_ptr<QThread> thread_;
    BeatDuration beat_ = bd_1000;
};

} // namespace zav
