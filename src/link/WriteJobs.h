#pragma once
// The two jobs that change the UPS: a control command (0x68, fire and forget) and the settings
// write sequence (0x10, one register per transaction, skipping registers that already hold the value).

#include "link/LinkTypes.h"
#include "link/ModbusCodec.h"
#include "link/LinkJob.h"
#include "link/RegisterStore.h"

#include <QVector>
#include <cstdint>

namespace zav {

struct WriteEntry {
    uint16_t reg = 0;
    uint16_t value = 0;
    bool operator==(const WriteEntry&) const = default;
};

// What the UPS made of a command or a write. The jobs keep their wire behaviour (a command is sent
// once, a write entry twice at most); this only tells the page what happened, so a refused or
// unanswered change is never mistaken for a done one.
enum class WriteOutcome {
    Accepted,  // the UPS answered with the echo of the request
    Refused,   // exception reply; `exceptionCode` says why
    NoAnswer,  // nothing (or only part of a reply) arrived within the reply wait
    Damaged,   // a complete reply with a wrong check or for another address or function
    Unchanged, // write sequence only: the UPS already held the value, nothing was sent
    Abandoned, // the tool stopped the job before the answer was judged (see the log for why)
};

struct WriteResult {
    uint16_t reg = 0;
    uint16_t value = 0;
    WriteOutcome outcome = WriteOutcome::NoAnswer;
    uint8_t exceptionCode = 0;
};

// Classifies what was read after a one-register request of `function` (0x68 or 0x10).
WriteResult judgeWriteReply(Protocol mode, const QByteArray& raw, uint8_t address, uint8_t function);

class ControlCommandJob : public LinkJob {
  public:
    JobState state() const { return state_; }
    uint16_t reg() const { return reg_; }
    uint16_t value() const { return value_; }
    // One slot: a command started while another waits replaces it.
    void start(uint16_t reg, uint16_t value) {
        reg_ = reg;
        value_ = value;
        state_ = JobRequestDue;
    }
    // LinkJob. serve() returns true when the command has ended.
    const char* name() const override { return "control command"; }
    bool wantsLine() const override { return state_ != JobIdle; }
    bool serve(LinkIo& io) override;
    void reset() override { state_ = JobIdle; }
    void abandon(const QString& reason) override;
    // How the UPS answered the command that ended last.
    const WriteResult& lastResult() const { return result_; }

  private:
    WriteResult result_;
    JobState state_ = JobIdle;
    uint16_t reg_ = 0;
    uint16_t value_ = 0;
};

class WriteSequenceJob : public LinkJob {
  public:
    // SettingNew receives the values to write; an entry whose SettingNew equals SettingData (what was
    // last read from the UPS) is not sent.
    WriteSequenceJob(RegisterStore& settingNew, const RegisterStore& settingData)
        : settingNew_(settingNew), settingData_(settingData) {}

    JobState state() const { return state_; }
    int position() const { return position_; }
    int lastPosition() const { return int(entries_.size()); }
    int failures() const { return failures_; }
    const QVector<WriteEntry>& entries() const { return entries_; }
    // One result per entry of the sequence that ran last (or runs now), in the order handled.
    const QVector<WriteResult>& results() const { return results_; }

    // Fills WriteList and SettingNew; the first entry is due on the next free tick.
    void start(const QVector<WriteEntry>& entries);

    // LinkJob. serve() returns true when the sequence has ended (the settings download follows).
    const char* name() const override { return "write sequence"; }
    bool wantsLine() const override { return state_ != JobIdle; }
    bool serve(LinkIo& io) override;
    void reset() override;
    void abandon(const QString& reason) override;

  private:
    bool inRange() const { return position_ >= 1 && position_ <= lastPosition(); }
    bool end();

    RegisterStore& settingNew_;
    const RegisterStore& settingData_;
    JobState state_ = JobIdle;
    QVector<WriteEntry> entries_;
    QVector<WriteResult> results_;
    int position_ = 0;
    int failures_ = 0;
};

} // namespace zav
