#include "monitor/Beeper.h"

#include <chrono>

namespace zav {

void ToneQueue::push(const ToneCommand& command) {
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        while (commands_.size() >= capacity_)
            commands_.pop_front();
        commands_.push_back(command);
    }
    wake_.notify_one();
}

bool ToneQueue::take(ToneCommand& command) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopped_ || !commands_.empty(); });
    if (stopped_) return false;
    command = commands_.front();
    commands_.pop_front();
    playing_ = true;
    return true;
}

void ToneQueue::donePlaying() {
    std::lock_guard lock(mutex_);
    playing_ = false;
    if (commands_.empty()) idle_.notify_all();
}

void ToneQueue::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        commands_.clear();
    }
    wake_.notify_all();
    idle_.notify_all();
}

size_t ToneQueue::size() const {
    std::lock_guard lock(mutex_);
    return commands_.size();
}

bool ToneQueue::waitIdle(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return stopped_ || (commands_.empty() && !playing_); });
}

// TSoundThread: takes the head of the queue and plays it; sleeps in take() while the queue is empty.
class Beeper::SoundThread : public QThread {
  public:
    SoundThread(ToneQueue& queue, ToneGenerator& generator) : queue_(queue), generator_(generator) {
        setObjectName(QStringLiteral("TSoundThread"));
    }

  protected:
    void run() override {
        ToneCommand command;
        while (queue_.take(command)) {
            if (command.isRest())
                generator_.rest(command.durationMs);
            else
                generator_.tone(command.frequency, command.durationMs);
            queue_.donePlaying();
        }
    }

  private:
    ToneQueue& queue_;
    ToneGenerator& generator_;
};

Beeper::Beeper(std::unique_ptr<ToneGenerator> generator) : generator_(std::move(generator)) {
    thread_ = std::make_unique<SoundThread>(queue_, *generator_);
    thread_->start(QThread::NormalPriority);
}

Beeper::~Beeper() {
    queue_.stop();
    thread_->wait();
}

} // namespace zav
