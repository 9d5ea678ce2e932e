#include "monitor/LivePoll.h"

#include "link/ModbusCodec.h"

namespace zav {

void LivePoll::startLiveCycle(const ModulePresence& modules) {
    measure_.load({{1, 80, 0}});
    QVector<Block> status = {{81, 80, 0}, {161, 80, 0}};
    if (modules.count >= 1 && modules.count <= 30) status.append({3071, 120, 0});
    status_.load(status);
}

void LivePoll::startModuleStage(int selectedModule) {
    if (selectedModule < 1 || selectedModule > 30) return;
    module_.load({{2000, 73, selectedModule}, {2073, 80, selectedModule}});
}

bool LivePoll::serve(LinkIo& io) {
    const Protocol mode = io.protocol();
    const uint8_t address = io.address();
    switch (step_) {
    case 1:
        if (measure_.inRange()) {
            const Block& b = measure_.current();
            io.send(blockReadRequest(mode, address, fn::ReadHolding, uint16_t(b.start), uint16_t(b.count)));
            step_ = 2;
        } else {
            io.setActivity(ActLiveStatus);
            step_ = 3;
        }
        break;
    case 2:
        dataRx(io);
        if (measure_.inRange()) {
            step_ = 1;
        } else {
            io.setActivity(ActLiveStatus);
            step_ = 3;
        }
        break;
    case 3:
        if (status_.inRange()) {
            const Block& b = status_.current();
            io.send(blockReadRequest(mode, address, fn::ReadInput, uint16_t(b.start), uint16_t(b.count)));
            step_ = 4;
        } else {
            return endStatusStage(io);
        }
        break;
    case 4:
        stsRx(io);
        if (status_.inRange())
            step_ = 3;
        else
            return endStatusStage(io);
        break;
    case 5:
        if (module_.inRange()) {
            const Block& b = module_.current();
            io.send(
                moduleReadRequest(mode, address, uint16_t(b.start), uint16_t(b.count), uint16_t(b.module)));
            step_ = 6;
        } else {
            endModuleStage(io);
        }
        break;
    case 6:
        modDataRx(io);
        if (module_.inRange())
            step_ = 5;
        else
            endModuleStage(io);
        break;
    case 7:
        io.setActivity(ActIdle);
        step_ = 0;
        return true;
    default:
        break;
    }
    return false;
}

void LivePoll::abandon(const QString& reason) {
    Q_UNUSED(reason);
    step_ = 0;
}

bool LivePoll::endStatusStage(LinkIo& io) {
    const int count = live_.modules.count;
    if (count >= 1 && count <= 30) {
        startModuleStage(live_.modules.selected);
        io.setActivity(ActModuleData);
        step_ = 5;
        return false;
    }
    io.setActivity(ActIdle);
    step_ = 0;
    return true;
}

void LivePoll::endModuleStage(LinkIo& io) {
    io.setActivity(ActModuleEnd);
    emit moduleStageEnded();
    step_ = 7;
}

void LivePoll::dataRx(LinkIo& io) {
    const Block b = measure_.current();
    const QByteArray raw = io.receive(blockReplyLength(io.protocol(), b.count));
    const BlockReply reply = examineBlockReply(io.protocol(), raw, io.address(), fn::ReadHolding, b.count);
    if (reply.outcome == ReplyOutcome::Accepted) {
        io.setLinkOk(true);
        if (io.baudSearching()) io.endBaudSearch();
        for (int i = 0; i < b.count; ++i)
            live_.LiveData.set(b.start + i, reply.registers[i]);
        measure_.accepted();
    } else if (reply.outcome == ReplyOutcome::Missing && io.baudSearching()) {
        io.tryNextBaud(); // ask for the same block again at the next rate
    } else {
        measure_.failed();
    }
}

void LivePoll::stsRx(LinkIo& io) {
    const Block b = status_.current();
    const QByteArray raw = io.receive(blockReplyLength(io.protocol(), b.count));
    const BlockReply reply = examineBlockReply(io.protocol(), raw, io.address(), fn::ReadInput, b.count);
    if (reply.outcome != ReplyOutcome::Accepted) {
        status_.failed();
        return;
    }
    if (b.start < 3000) {
        for (int i = 0; i < b.count; ++i)
            live_.LiveStatus.set(b.start + i, reply.registers[i]);
        if (live_.updateModulePresence()) emit moduleListChanged();
    } else {
        for (int i = 0; i < b.count; ++i)
            live_.ModuleStatus.set(b.start + i, reply.registers[i]);
    }
    status_.accepted();
}

void LivePoll::modDataRx(LinkIo& io) {
    const Block b = module_.current();
    const QByteArray raw = io.receive(blockReplyLength(io.protocol(), b.count));
    const BlockReply reply = examineBlockReply(io.protocol(), raw, io.address(), fn::ReadModule, b.count);
    if (reply.outcome != ReplyOutcome::Accepted) {
        module_.failed();
        return;
    }
    for (int i = 0; i < b.count; ++i)
        live_.ModuleData.set(b.start + i, reply.registers[i]);
    module_.accepted();
}

} // namespace zav
