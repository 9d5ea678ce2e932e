#pragma once
// The shape of a record download (history log, S-codes). The job keeps its index, total and counters
// and decides what to send and how to judge a reply; state 1 sends, state 2 judges.

#include "link/LinkJob.h"

namespace zav {

class RecordJob : public LinkJob {
  public:
    virtual JobState state() const = 0;
    // State 1: either end the download (set Activity 0 through io) or send the next request.
    virtual void serveRequest(LinkIo& io) = 0;
    // State 2: read and judge the reply (io reads and purges), then back to state 1.
    virtual void serveReply(LinkIo& io) = 0;

    // LinkJob
    bool wantsLine() const override { return state() != JobIdle; }
    bool serve(LinkIo& io) override {
        if (state() == JobRequestDue)
            serveRequest(io);
        else
            serveReply(io);
        return state() == JobIdle;
    }
};

} // namespace zav
