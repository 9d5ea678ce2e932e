#include "FakeUps.h"

#include "ReplyBuilder.h"

namespace zav::test {

bool parseRequest(Protocol mode, const QByteArray& frame, Request& out) {
    QByteArray pdu;
    if (mode == Protocol::Rtu) {
        if (frame.size() < 4) return false;
        pdu = frame.left(frame.size() - 2);
    } else {
        pdu = asciiPayload(frame);
        if (pdu.isEmpty()) return false;
        pdu.chop(1); // LRC
    }
    if (pdu.size() < 6) return false;
    auto u8 = [&](int i) { return int(uint8_t(pdu[i])); };
    auto u16 = [&](int i) { return u8(i) << 8 | u8(i + 1); };
    out = Request{};
    out.address = uint8_t(u8(0));
    out.function = uint8_t(u8(1));
    out.start = u16(2);
    out.count = u16(4);
    if (out.function == fn::WriteMultiple || out.function == fn::ControlCommand) {
        if (pdu.size() < 9) return false;
        out.value = u16(7);
        out.count = 1;
    } else if (out.function == fn::ReadModule) {
        if (pdu.size() < 9) return false;
        out.module = u16(7);
    }
    return true;
}

QByteArray FakeUps::defaultAnswer(const Request& r) const {
    if (r.address != address) return {};
    switch (r.function) {
    case fn::ReadHolding:
    case fn::ReadInput:
    case fn::ReadSettings:
    case fn::ReadModule: {
        QVector<uint16_t> regs;
        for (int i = 0; i < r.count; ++i) {
            const auto it = registers.find(r.start + i);
            regs.append(it == registers.end() ? 0 : it->second);
        }
        return blockReply(mode, address, r.function, regs);
    }
    case fn::WriteMultiple:
    case fn::ControlCommand:
        return writeEcho(mode, address, uint16_t(r.start));
    default:
        return {};
    }
}

void FakeUps::step() {
    if (!pending_.isEmpty()) {
        channel_.deliver(pending_);
        pending_.clear();
    }
    scheduler_.tick();
    takeRequests();
    // Bounded: a scheduler that kept sending on every prompt would otherwise never give the tick back.
    for (int i = 0; answerAtOnce && !pending_.isEmpty() && i < 100; ++i) {
        channel_.deliver(pending_);
        pending_.clear();
        scheduler_.prompt();
        takeRequests();
    }
}

void FakeUps::takeRequests() {
    while (handled_ < channel_.written.size()) {
        Request r;
        if (parseRequest(mode, channel_.written[handled_++], r)) {
            requests.append(r);
            if (!silent) pending_ = answer ? answer(r) : defaultAnswer(r);
        }
    }
}

bool FakeUps::stepUntil(const std::function<bool()>& done, int maxTicks) {
    for (int i = 0; i < maxTicks; ++i) {
        if (done()) return true;
        step();
    }
    return done();
}

} // namespace zav::test
