#include "monitor/LivePoll.h"

#include "link/ModbusCodec.h"
#include "link/Scheduler.h"

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

void LivePoll::serve(Scheduler& s) {
    const Protocol mode = s.protocol();
    const uint8_t address = s.address();
    switch (step_) {
    case 1:
        if (measure_.inRange()) {
            const Block& b = measure_.current();
            s.send(blockReadRequest(mode, address, fn::ReadHolding, uint16_t(b.start), uint16_t(b.count)));
            step_ = 2;
        } else {
            s.activity_ = ActLiveStatus;
            step_ = 3;
        }
        break;
    case 2:
        dataRx(s);
        if (measure_.inRange()) {
            step_ = 1;
        } else {
            s.activity_ = ActLiveStatus;
            step_ = 3;
        }
        break;
    case 3:
        if (status_.inRange()) {
            const Block& b = status_.current();
            s.send(blockReadRequest(mode, address, fn::ReadInput, uint16_t(b.start), uint16_t(b.count)));
            step_ = 4;
        } else {
            endStatusStage(s);
        }
        break;
    case 4:
        stsRx(s);
        if (status_.inRange())
            step_ = 3;
        else
            endStatusStage(s);
        break;
    case 5:
        if (module_.inRange()) {
            const Block& b = module_.current();
            s.send(
                moduleReadRequest(mode, address, uint16_t(b.start), uint16_t(b.count), uint16_t(b.module)));
            step_ = 6;
        } else {
            endModuleStage(s);
        }
        break;
    case 6:
        modDataRx(s);
        if (module_.inRange())
            step_ = 5;
        else
            endModuleStage(s);
        break;
    case 7:
        s.activity_ = ActIdle;
        step_ = 0;
        s.endLiveCycle();
        break;
    default:
        break;
    }
}

void LivePoll::endStatusStage(Scheduler& s) {
    const int count = s.live_.modules.count;
    if (count >= 1 && count <= 30) {
        startModuleStage(s.live_.modules.selected);
        s.activity_ = ActModuleData;
        step_ = 5;
    } else {
        s.activity_ = ActIdle;
        step_ = 0;
        s.endLiveCycle();
    }
}

void LivePoll::endModuleStage(Scheduler& s) {
    s.activity_ = ActModuleEnd;
    emit s.moduleStageEnded();
    step_ = 7;
}

void LivePoll::dataRx(Scheduler& s) {
    const Block b = measure_.current();
    const QByteArray raw = s.receive(blockReplyLength(s.protocol(), b.count));
    const BlockReply reply = examineBlockReply(s.protocol(), raw, s.address(), fn::ReadHolding, b.count);
    if (reply.outcome == ReplyOutcome::Accepted) {
        s.setLinkOk(true);
        if (!s.baudFixed_) s.endBaudSearch();
        for (int i = 0; i < b.count; ++i)
            s.live_.LiveData.set(b.start + i, reply.registers[i]);
        measure_.accepted();
    } else if (reply.outcome == ReplyOutcome::Missing && !s.baudFixed_) {
        s.advanceBaudProbe(); // ask for the same block again at the next rate
    } else {
        measure_.failed();
    }
}

void LivePoll::stsRx(Scheduler& s) {
    const Block b = status_.current();
    const QByteArray raw = s.receive(blockReplyLength(s.protocol(), b.count));
    const BlockReply reply = examineBlockReply(s.protocol(), raw, s.address(), fn::ReadInput, b.count);
    if (reply.outcome != ReplyOutcome::Accepted) {
        status_.failed();
        return;
    }
    if (b.start < 3000) {
        for (int i = 0; i < b.count; ++i)
            s.live_.LiveStatus.set(b.start + i, reply.registers[i]);
        if (s.live_.updateModulePresence()) emit s.moduleListChanged();
    } else {
        for (int i = 0; i < b.count; ++i)
            s.live_.ModuleStatus.set(b.start + i, reply.registers[i]);
    }
    status_.accepted();
}

void LivePoll::modDataRx(Scheduler& s) {
    const Block b = module_.current();
    const QByteArray raw = s.receive(blockReplyLength(s.protocol(), b.count));
    const BlockReply reply = examineBlockReply(s.protocol(), raw, s.address(), fn::ReadModule, b.count);
    if (reply.outcome != ReplyOutcome::Accepted) {
        module_.failed();
        return;
    }
    for (int i = 0; i < b.count; ++i)
        s.live_.ModuleData.set(b.start + i, reply.registers[i]);
    module_.accepted();
}

} // namespace zav
