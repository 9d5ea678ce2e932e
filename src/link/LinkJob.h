#pragma once
// What the scheduler knows of a job: whether it wants the line, one step on a free tick (send the
// next request or judge the reply to the last one), and the two ways it can be stopped. The jobs
// themselves (live poll, settings download, record downloads, writes, commands) belong to the
// subsystems above the link; the scheduler only runs the one with the highest priority that wants
// the line.

#include "link/LinkTypes.h"
#include "link/ModbusCodec.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace zav {

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
    // The baud search asks for the measurement block at one rate after another: a good answer ends
    // the search at that rate, no answer at all moves it to the next rate.
    virtual bool baudSearching() const { return false; }
    virtual void endBaudSearch() {}
    virtual void tryNextBaud() {}
};

class LinkJob {
  public:
    virtual ~LinkJob() = default;
    virtual const char* name() const = 0; // for the log
    // There is a request to send or a reply to judge.
    virtual bool wantsLine() const = 0;
    // One step on a free tick. Returns true when the job has ended (it then no longer wants the line).
    virtual bool serve(LinkIo& io) = 0;
    // The link state was reset: drop what is under way, without a report.
    virtual void reset() = 0;
    // serve() failed for `reason`: end the job and leave the result a failure reads as, so that the
    // end is reported the way the job reports every failure.
    virtual void abandon(const QString& reason) = 0;
};

} // namespace zav
