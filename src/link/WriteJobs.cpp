#include "link/WriteJobs.h"

#include "link/ModbusCodec.h"
#include "link/RecordJob.h"

namespace zav {

bool ControlCommandJob::serve(LinkIo& io) {
    if (state_ == JobRequestDue) {
        io.send(oneRegisterRequest(io.protocol(), io.address(), fn::ControlCommand, reg_, value_));
        state_ = JobReplyDue;
        return false;
    }
    // The UPS's answer to a command carries nothing the tool acts on: read it away unexamined.
    io.receive(frameLength(io.protocol(), 6));
    state_ = JobIdle;
    return true;
}

void WriteSequenceJob::start(const QVector<WriteEntry>& entries, SettingStores& stores) {
    entries_ = entries;
    for (const WriteEntry& e : entries_)
        stores.SettingNew.set(e.reg, e.value);
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

bool WriteSequenceJob::serve(LinkIo& io, const SettingStores& stores) {
    if (state_ == JobRequestDue) {
        if (!inRange()) return end();
        // Registers that already hold the new value are not written again.
        while (inRange()) {
            const WriteEntry& e = entries_[position_ - 1];
            if (stores.SettingNew[e.reg] != stores.SettingData[e.reg]) {
                io.send(oneRegisterRequest(io.protocol(), io.address(), fn::WriteMultiple, e.reg, e.value));
                state_ = JobReplyDue;
                return false;
            }
            ++position_;
        }
        return false; // nothing left to send: the next tick ends the sequence
    }

    const QByteArray reply = io.receive(frameLength(io.protocol(), 6));
    if (writeReplyAccepted(io.protocol(), reply, io.address())) {
        ++position_;
        failures_ = 0;
    } else if (++failures_ > 1) {
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
