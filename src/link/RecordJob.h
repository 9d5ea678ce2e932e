#pragma once
// The shape of a record download (history log at priority 1, S-codes at priority 2). The scheduler
// serves such a job before every other job while its state is not idle; the job itself keeps its
// index, total and counters and decides what to send and how to judge a reply.

#include "link/LinkTypes.h"
#include "link/ModbusCodec.h"

#include <QByteArray>

namespace zav {

class LinkIo; // the scheduler's side of a transaction, given to the job while it is served

class RecordJob {
  public:
    virtual ~RecordJob() = default;
    virtual JobState state() const = 0;
    // State 1: either end the download (set Activity 0 through io) or send the next request.
    virtual void serveRequest(LinkIo& io) = 0;
    // State 2: read and judge the reply (io reads and purges), then back to state 1.
    virtual void serveReply(LinkIo& io) = 0;
    // ResetLinkState: state 0, fail counters 0.
    virtual void reset() = 0;
};

// What a job may do with the link while the scheduler serves it.
class LinkIo {
  public:
    virtual ~LinkIo() = default;
    virtual Protocol protocol() const = 0;
    virtual uint8_t address() const = 0;
    virtual int upsModel() const = 0;
    // Purges both buffers, writes the frame and starts the reply wait.
    virtual void send(const QByteArray& frame) = 0;
    // Reads what is buffered (at most maxBytes) and purges both buffers.
    virtual QByteArray receive(int maxBytes) = 0;
    virtual void setActivity(int activity) = 0;
    virtual void setLinkOk(bool ok) = 0;
};

} // namespace zav
