#include "link/WriteJobs.h"

#include "link/ModbusCodec.h"
#include "link/LinkJob.h"

#include <algorithm>

namespace zav {

WriteResult judgeWriteReply(Protocol mode, const QByteArray& raw, uint8_t address, uint8_t function) {
    WriteResult r;
    if (raw.isEmpty()) return r; // NoAnswer
    QByteArray pdu; // address, function, data; check removed once it matched
    if (mode == Protocol::Rtu) {
        const auto* b = reinterpret_cast<const uint8_t*>(raw.constData());
        const int n = int(raw.size()) - 2;
        if (n < 3) return r;
        if (!CrcMatches(b, n, uint16_t(b[n + 1] << 8 | b[n]))) {
            // An exception reply is 5 bytes, an echo 8: anything shorter is a reply cut off.
            r.outcome = raw.size() == 5 || raw.size() == 8 ? WriteOutcome::Damaged : WriteOutcome::NoAnswer;
            return r;
        }
        pdu = raw.left(n);
    } else {
        if (raw.size() < 2 || !raw.endsWith("\r\n")) return r; // no LF yet: the reply did not finish
        const QByteArray decoded = asciiPayload(raw);
        const int n = int(decoded.size()) - 1;
        if (n < 3 || !LrcMatches(reinterpret_cast<const uint8_t*>(decoded.constData()), n, uint8_t(decoded[n]))) {
            r.outcome = WriteOutcome::Damaged;
            return r;
        }
        pdu = decoded.left(n);
    }
    const uint8_t a = uint8_t(pdu[0]), f = uint8_t(pdu[1]);
    if (a == address && f == (function | 0x80) && pdu.size() == 3) {
        r.outcome = WriteOutcome::Refused;
        r.exceptionCode = uint8_t(pdu[2]);
    } else if (a == address && f == function && pdu.size() == 6) {
        r.outcome = WriteOutcome::Accepted;
    } else {
        r.outcome = WriteOutcome::Damaged;
    }
    return r;
}

bool ControlCommandJob::serve(LinkIo& io) {
    if (state_ == JobRequestDue) {
        io.send(oneRegisterRequest(io.protocol(), io.address(), fn::ControlCommand, reg_, value_));
        state_ = JobReplyDue;
        return false;
    }
    // The link acts on nothing in the answer to a command; it is judged only to tell the user.
    result_ = judgeWriteReply(io.protocol(), io.receive(frameLength(io.protocol(), 6)), io.address(),
                              fn::ControlCommand);
    result_.reg = reg_;
    result_.value = value_;
    state_ = JobIdle;
    return true;
}

void ControlCommandJob::abandon(const QString& reason) {
    Q_UNUSED(reason);
    result_ = {reg_, value_, WriteOutcome::Abandoned, 0};
    state_ = JobIdle;
}

void WriteSequenceJob::start(const QVector<WriteEntry>& entries) {
    entries_ = entries;
    results_.clear();
    for (const WriteEntry& e : entries_)
        settingNew_.set(e.reg, e.value);
    position_ = 1;
    failures_ = 0;
    state_ = JobRequestDue;
}

void WriteSequenceJob::reset() {
    state_ = JobIdle;
    entries_.clear();
    position_ = 0;
    failures_ = 0;
}

bool WriteSequenceJob::end() {
    entries_.clear();
    position_ = 0;
    failures_ = 0;
    state_ = JobIdle;
    return true;
}

void WriteSequenceJob::abandon(const QString& reason) {
    Q_UNUSED(reason);
    // Every entry not yet judged is reported as such; the read-back shows what the UPS holds.
    for (int p = std::max(position_, 1); p <= lastPosition(); ++p) {
        const WriteEntry& e = entries_[p - 1];
        results_.append({e.reg, e.value, WriteOutcome::Abandoned, 0});
    }
    end();
}

bool WriteSequenceJob::serve(LinkIo& io) {
    if (state_ == JobRequestDue) {
        if (!inRange()) return end();
        // Registers that already hold the new value are not written again.
        while (inRange()) {
            const WriteEntry& e = entries_[position_ - 1];
            if (settingNew_[e.reg] != settingData_[e.reg]) {
                io.send(oneRegisterRequest(io.protocol(), io.address(), fn::WriteMultiple, e.reg, e.value));
                state_ = JobReplyDue;
                return false;
            }
            results_.append({e.reg, e.value, WriteOutcome::Unchanged, 0});
            ++position_;
        }
        return false; // nothing left to send: the next tick ends the sequence
    }

    const QByteArray reply = io.receive(frameLength(io.protocol(), 6));
    const WriteEntry& e = entries_[position_ - 1];
    if (writeReplyAccepted(io.protocol(), reply, io.address())) {
        results_.append({e.reg, e.value, WriteOutcome::Accepted, 0});
        ++position_;
        failures_ = 0;
    } else if (++failures_ > 1) {
        WriteResult failed = judgeWriteReply(io.protocol(), reply, io.address(), fn::WriteMultiple);
        failed.reg = e.reg;
        failed.value = e.value;
        if (failed.outcome == WriteOutcome::Accepted) failed.outcome = WriteOutcome::Damaged;
        results_.append(failed);
        failures_ = 0;
        ++position_; // the entry is given up; the read-back shows what the UPS holds
    }
    if (inRange()) {
        state_ = JobRequestDue;
        return false;
    }
    return end();
}

} // namespace zav
