#pragma once
// Several UPSes on one serial line (an RS-485 bus): one scheduler per address, one port.
//
// Every member keeps everything of its own UPS (jobs, stores, model, link state, watchdog, late
// replies, reconnects); the bus owns only the question who has the line. Each member talks to a
// channel of its own (`channel(i)`), which passes everything on to the shared port; the port's
// notifications go to the member that has the line alone.
//
// Turns: the member that has the line keeps it while one of its jobs runs (a live cycle, a settings
// download, a command) and until the line is quiet again: its reply wait and, after a request that
// got no answer, the quiet wait for a late answer. So a late answer from one address is never read
// as the answer of the next (which also checks the address byte). Then the line goes to the next
// member in turn whose jobs want it. A member whose request went unanswered gives the line up as
// soon as its quiet wait ends, even in mid-cycle (it goes on where it stopped on its next turn), and
// then gets its next turn only `kProbeTicks` later (until a turn of it ends answered): a silent
// address costs the others one reply wait and one quiet wait now and then, never a cycle of them.
// A bus of one member never holds it: it polls exactly as on a port of its own.
// Driven by tick() only (the members are ticked from here, never by a timer of their own).

#include "link/Scheduler.h"
#include "link/SerialChannel.h"

#include <memory>
#include <vector>

namespace zav {

class LineBus {
  public:
    // The shared port; it must outlive the bus. Its notifications are the bus's from now on.
    explicit LineBus(SerialChannel& port);
    ~LineBus();
    LineBus(const LineBus&) = delete;
    LineBus& operator=(const LineBus&) = delete;

    // The channel of the next member: build its scheduler on it, then join() it.
    SerialChannel& addChannel();
    // `member` was built on the channel addChannel() gave last (one join per channel, in order).
    void join(Scheduler& member);

    // One 50 ms tick for the whole line: the turn is settled, then every member is ticked (the
    // one with the line serves it; the others keep their own time).
    void tick();

    int size() const { return int(members_.size()); }
    Scheduler& member(int index) const { return *members_.at(size_t(index)); }
    // The member that has the line now (-1 before the first turn).
    int holder() const { return holder_; }
    SerialChannel& port() const { return port_; }

    static constexpr int kProbeTicks = 200; // 10 s between turns of a member whose link is down

  private:
    class MemberChannel;
    bool turnOver() const;
    bool mayTakeLine(int index) const;
    void giveLine(int index);

    SerialChannel& port_;
    std::vector<std::unique_ptr<MemberChannel>> channels_;
    std::vector<Scheduler*> members_;
    std::vector<int> ticksSinceTurn_;
    std::vector<bool> missedLastTurn_; // its last turn ended on a request that got no answer
    int holder_ = -1;      // hears the port; serves it unless parked
    bool parked_ = false;  // nobody wanted the line when the last turn ended
    int missedAtTurnStart_ = 0;
};

} // namespace zav
