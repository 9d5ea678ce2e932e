#include "settings/SettingsDownload.h"

#include "link/ModbusCodec.h"

namespace zav {

const QVector<Block>& SettingsDownload::blocks() {
    static const QVector<Block> list = {{301, 35, 0}, {361, 30, 0}, {421, 60, 0}};
    return list;
}

void SettingsDownload::start() {
    list_.load(blocks());
    state_ = JobRequestDue;
    givenUp_ = 0;
}

bool SettingsDownload::end() {
    list_.clear();
    state_ = JobIdle;
    return true;
}

void SettingsDownload::abandon(const QString& reason) {
    Q_UNUSED(reason);
    if (list_.inRange()) givenUp_ += list_.last() - list_.index() + 1;
    end();
}

bool SettingsDownload::serve(LinkIo& io) {
    if (state_ == JobRequestDue) {
        if (!list_.inRange()) return end();
        const Block& b = list_.current();
        io.send(blockReadRequest(io.protocol(), io.address(), fn::ReadSettings, uint16_t(b.start),
                                 uint16_t(b.count)));
        state_ = JobReplyDue;
        return false;
    }
    settingRx(io);
    if (list_.inRange()) {
        state_ = JobRequestDue;
        return false;
    }
    return end();
}

void SettingsDownload::settingRx(LinkIo& io) {
    const Block b = list_.current();
    const QByteArray raw = io.receive(blockReplyLength(io.protocol(), b.count));
    const BlockReply reply = examineBlockReply(io.protocol(), raw, io.address(), fn::ReadSettings, b.count);
    if (reply.outcome != ReplyOutcome::Accepted) {
        const int block = list_.index();
        list_.failed(); // missing and damaged alike
        if (list_.index() != block) ++givenUp_;
        return;
    }
    for (int i = 0; i < b.count; ++i)
        settingData_.set(b.start + i, reply.registers[i]);
    if (b.start == 301) applyCapacityRule(settingData_, io.upsModel());
    list_.accepted();
}

void applyCapacityRule(RegisterStore& settingData, int upsModel) {
    if (upsModel < 5 || upsModel > 8) return;
    for (int reg = 321; reg <= 324; ++reg)
        settingData.set(reg, uint16_t(settingData[reg] / 1000));
}

} // namespace zav
