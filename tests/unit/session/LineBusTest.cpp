// Several UPS sessions on one line: turns, silent and late addresses, the quiet wait across
// addresses, a lost port, and a bus of one that polls as a port of its own.

#include "FakeUps.h"
#include "ReplyBuilder.h"
#include "link/LineBus.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

using namespace zav;
using namespace zav::test;

namespace {

// UPSes at several addresses on one fake port. The answer to a request written during a tick
// arrives before the next tick (or `lateTicks` later), as on a real line.
class FakeBusLine {
  public:
    struct Unit {
        bool silent = false;
        int lateTicks = 0;
    };
    struct Sent {
        int tick;
        Request request;
    };

    FakeSerialChannel port;
    std::map<uint8_t, Unit> units;
    QVector<Sent> sent;
    int now = 0;

    // Register r of the UPS at address a holds a * 1000 + r (a value no other address has).
    static uint16_t value(uint8_t address, int reg) { return uint16_t(address * 1000 + reg); }

    // Runs one tick of `bus`; answers go out for the requests it wrote.
    void step(LineBus& bus) {
        step([&bus] { bus.tick(); });
    }
    void step(const std::function<void()>& tick) {
        ++now;
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (it->first <= now) {
                port.deliver(it->second);
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
        tick();
        while (handled_ < port.written.size()) {
            Request r;
            if (!parseRequest(Protocol::Rtu, port.written[handled_++], r)) continue;
            sent.append({now, r});
            const auto unit = units.find(r.address);
            if (unit == units.end() || unit->second.silent) continue;
            QVector<uint16_t> regs;
            for (int i = 0; i < r.count; ++i)
                regs.append(value(r.address, r.start + i));
            pending_.insert({now + 1 + unit->second.lateTicks, blockReply(Protocol::Rtu, r.address, r.function, regs)});
        }
    }
    bool replyPending() const { return !pending_.empty(); }

  private:
    std::multimap<int, QByteArray> pending_; // by the tick it arrives before
    int handled_ = 0;
};

class LineBusTest : public ::testing::Test {
  protected:
    FakeBusLine line;
    LineBus bus{line.port};
    std::vector<std::unique_ptr<UpsSession>> sessions;

    // Sessions for these addresses, connected at 9600 baud, RTU, model 2 (no detection).
    void connectAll(std::initializer_list<int> addresses) {
        for (const int address : addresses) {
            sessions.push_back(std::make_unique<UpsSession>(bus.addChannel()));
            bus.join(*sessions.back());
            ConnectRequest r;
            r.modelItem = 2;
            r.baudItem = 3;
            r.portName = "/dev/ttyFAKE";
            r.protocol = Protocol::Rtu;
            r.addressText = QString::number(address);
            ASSERT_EQ(sessions.back()->connectLink(r), ConnectResult::Connected);
        }
    }
    void steps(int n) {
        for (int i = 0; i < n; ++i)
            line.step(bus);
    }
    UpsSession& session(int index) { return *sessions[size_t(index)]; }
};

TEST_F(LineBusTest, EachAddressFillsItsOwnStoresAndASilentOneStallsNoCycle) {
    line.units[1] = {};
    line.units[2] = {};
    // Address 3 has no UPS on the line.
    connectAll({1, 2, 3});
    QSignalSpy cycles1(&session(0), &UpsSession::liveCycleEnded);
    QSignalSpy cycles2(&session(1), &UpsSession::liveCycleEnded);
    steps(600); // 30 s

    for (int i = 0; i < 2; ++i) {
        const uint8_t address = uint8_t(i + 1);
        EXPECT_TRUE(session(i).linkOk()) << i;
        EXPECT_EQ(session(i).live().LiveData[1], FakeBusLine::value(address, 1)) << i;
        EXPECT_EQ(session(i).live().LiveStatus[81], FakeBusLine::value(address, 81)) << i;
        EXPECT_EQ(session(i).settings().SettingData[301], FakeBusLine::value(address, 301)) << i;
    }
    EXPECT_FALSE(session(2).linkOk());
    EXPECT_EQ(session(2).live().LiveData[1], 0);
    // A cycle is due every 41 ticks: 14 in 30 s. The empty address costs its reply wait and quiet
    // wait (72 ticks) once per probe, not once per block of a cycle.
    EXPECT_GE(cycles1.count(), 10);
    EXPECT_GE(cycles2.count(), 10);

    // After a request to the empty address nothing goes out before the late-answer horizon.
    int checked = 0;
    for (int i = 0; i + 1 < line.sent.size(); ++i) {
        if (line.sent[i].request.address != 3) continue;
        EXPECT_GE(line.sent[i + 1].tick - line.sent[i].tick, session(2).replyTimeout() + 60) << i;
        ++checked;
    }
    EXPECT_GE(checked, 2) << "the empty address is probed again";
    EXPECT_LE(checked, 8) << "but not on every turn";
}

TEST_F(LineBusTest, AUpsThatFallsSilentLosesOnlyItsOwnLinkAndComesBack) {
    line.units[1] = {};
    line.units[2] = {};
    connectAll({1, 2});
    steps(200);
    ASSERT_TRUE(session(0).linkOk() && session(1).linkOk());

    line.units[2].silent = true;
    QSignalSpy cycles1(&session(0), &UpsSession::liveCycleEnded);
    steps(200);
    EXPECT_FALSE(session(1).linkOk());
    EXPECT_EQ(session(1).live().LiveData[1], 0) << "its stale values are cleared";
    EXPECT_TRUE(session(0).linkOk());
    EXPECT_EQ(session(0).live().LiveData[1], FakeBusLine::value(1, 1));
    EXPECT_GE(cycles1.count(), 3);

    line.units[2].silent = false;
    steps(300);
    EXPECT_TRUE(session(1).linkOk());
    EXPECT_EQ(session(1).live().LiveData[1], FakeBusLine::value(2, 1));
}

TEST_F(LineBusTest, ALateAnswerIsNeverTakenForTheNextAddresssReply) {
    // Address 2 answers after its reply wait (12 ticks at 9600 baud), always.
    line.units[1] = {};
    line.units[2] = {false, 20};
    connectAll({1, 2});
    steps(800);

    EXPECT_FALSE(session(1).linkOk());
    EXPECT_GT(session(1).lateReplies(), 0);
    EXPECT_EQ(session(1).live().LiveData[1], 0);
    EXPECT_TRUE(session(0).linkOk());
    EXPECT_EQ(session(0).live().LiveData[1], FakeBusLine::value(1, 1));
    EXPECT_EQ(session(0).settings().SettingData[301], FakeBusLine::value(1, 301));
    // No request goes out while address 2's answer is still on its way.
    for (int i = 0; i + 1 < line.sent.size(); ++i) {
        if (line.sent[i].request.address == 2) EXPECT_GT(line.sent[i + 1].tick, line.sent[i].tick + 20) << i;
    }
}

TEST_F(LineBusTest, ALostPortIsLostForEveryAddressAndReopenedForAll) {
    line.units[1] = {};
    line.units[2] = {};
    connectAll({1, 2});
    steps(200);
    line.port.unplug();
    steps(2);
    EXPECT_FALSE(session(0).linkOk());
    EXPECT_FALSE(session(1).linkOk());
    steps(300);
    EXPECT_TRUE(line.port.isOpen());
    EXPECT_TRUE(session(0).linkOk());
    EXPECT_TRUE(session(1).linkOk());

    // The port closes only when the last address disconnects.
    session(0).disconnectLink();
    EXPECT_TRUE(line.port.isOpen());
    session(1).disconnectLink();
    EXPECT_FALSE(line.port.isOpen());
}

TEST(LineBusAlone, ABusOfOneSendsWhatAPortOfItsOwnWouldSend) {
    // The same UPS, silent for a while in the middle, once on a port of its own and once as the
    // only member of a bus: the same requests on the same ticks.
    auto run = [](bool onBus) {
        FakeBusLine line;
        line.units[5] = {};
        std::unique_ptr<LineBus> bus;
        std::unique_ptr<UpsSession> session;
        if (onBus) {
            bus = std::make_unique<LineBus>(line.port);
            session = std::make_unique<UpsSession>(bus->addChannel());
            bus->join(*session);
        } else {
            session = std::make_unique<UpsSession>(line.port);
        }
        const ConnectRequest r{2, 3, "/dev/ttyFAKE", Protocol::Rtu, "5"};
        EXPECT_EQ(session->connectLink(r), ConnectResult::Connected);
        for (int i = 0; i < 700; ++i) {
            line.units[5].silent = i >= 200 && i < 400;
            line.step([&] { onBus ? bus->tick() : session->tick(); });
        }
        QVector<std::pair<int, int>> out;
        for (const auto& s : line.sent)
            out.append({s.tick, s.request.start});
        return out;
    };
    const auto plain = run(false);
    const auto shared = run(true);
    EXPECT_GT(plain.size(), 30);
    EXPECT_EQ(plain, shared);
}

} // namespace
