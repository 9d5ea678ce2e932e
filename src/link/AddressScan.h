#pragma once
// Which addresses answer on a line, at which rate and protocol, and what model they report: one
// short read of the model register (78) to every address at every rate and protocol asked for.
//
// The scan keeps the link's own rules, so what it finds is what a connection would hear:
// - it waits for each answer the link's reply wait (`replyWaitMs`); a whole frame ends the wait early
//   and the next request keeps the inter-frame gap;
// - after a request that got no answer it keeps the late-reply rule (lateReplyHorizonTicks): the line
//   must stay quiet for the horizon before the next address is asked; bytes that arrive restart a
//   reply wait of quiet, a whole late frame shortens the wait to one reply wait after it, and the
//   whole quiet wait is bounded by the horizon and one reply wait. So a late answer is never met by
//   the next request, nor read as the next address's answer (every reply is examined for its
//   address byte as well). A late answer that names the address asked is still credited to it,
//   marked `late`: that UPS is there, but the link will not hear it.
// The time a scan takes is therefore bounded and known beforehand (`durationMs`), and what is left of
// it at any moment (`remainingMs`). It runs on the event loop with one timer and talks to the line
// only through a SerialChannel, whose notifications it borrows for the scan and gives back after.

#include "link/ModbusCodec.h"
#include "link/SerialChannel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <functional>

namespace zav {

struct ScanFind {
    int address = 0;
    int baud = 0;
    int modelCode = 0; // register 78
    int model = -1;    // the model the code stands for, -1 when the code is not known
    Protocol protocol = Protocol::Ascii;
    int modelItem = 0; // the model box item of the code, 0 when the code is not known
    bool late = false; // answered only after the link's reply wait
};

// How a scan ended: every address asked, stopped by the caller, or the port went away.
enum class ScanEnd { Done, Stopped, PortLost };

class AddressScan : public QObject {
    Q_OBJECT
  public:
    static constexpr int kModelRegister = 78;

    explicit AddressScan(SerialChannel& channel, QObject* parent = nullptr);
    ~AddressScan() override;

    // The channel must be closed; it is opened for the scan (at the channel's port name) and closed
    // at its end. Every address at every rate, for each protocol in turn. False (with the channel's
    // errorText()) when it cannot be opened; false too for an empty plan or a scan under way.
    bool start(const QVector<Protocol>& protocols, const QVector<int>& rates, const QVector<int>& addresses);
    bool start(Protocol protocol, const QVector<int>& rates, const QVector<int>& addresses) {
        return start(QVector<Protocol>{protocol}, rates, addresses);
    }
    void stop(); // ends at once and releases the port; finished() follows
    bool running() const { return running_; }
    ScanEnd endReason() const { return end_; }
    const QVector<ScanFind>& finds() const { return finds_; }
    int done() const { return done_; }   // addresses asked and judged
    int total() const { return total_; } // addresses x rates x protocols
    // The most the rest of the scan can take from now.
    qint64 remainingMs() const;

    // The link's reply wait and late-reply horizon at `baud`, and the most one address takes there.
    static int replyWaitMs(int baud);
    static int quietWaitMs(int baud);
    static int perAddressMs(int baud);
    // The most a whole scan takes.
    static qint64 durationMs(int protocolCount, const QVector<int>& rates, int addressCount);

  signals:
    void found(const zav::ScanFind& find);
    void progress(int done, int total);
    void finished();

  private:
    enum class Phase { Idle, Gap, Awaiting, Settling };
    void onTimer();
    void onRx();
    void sendNext();
    void judge();
    void settle(int quietMs);
    void absorbLate();
    void armSettleTimer();
    void next();
    void credit(const BlockReply& reply, bool late);
    void end(ScanEnd how);
    void releaseChannel();
    Protocol protocol() const { return protocols_[pass_ / int(rates_.size())]; }
    int baud() const { return rates_[pass_ % int(rates_.size())]; }
    int address() const { return addresses_[addressIndex_]; }

    SerialChannel& channel_;
    std::function<void(int)> savedRxChar_;
    std::function<void()> savedRxFlag_;
    QTimer timer_;
    QElapsedTimer clock_; // since the current address was asked
    QVector<Protocol> protocols_;
    QVector<int> rates_;
    QVector<int> addresses_;
    QVector<ScanFind> finds_;
    Phase phase_ = Phase::Idle;
    int pass_ = 0; // protocol x rate
    int addressIndex_ = 0;
    int done_ = 0;
    int total_ = 0;
    bool running_ = false;
    bool credited_ = false; // the current address has answered
    ScanEnd end_ = ScanEnd::Done;
    // The quiet wait after a request without an accepted answer, in ms since the request.
    qint64 quietUntilMs_ = 0;
    qint64 quietCapMs_ = 0;
    bool overdue_ = false; // nothing came within the reply wait
    static constexpr int kLateBytesKept = 1024;
    QByteArray lateBytes_;
};

} // namespace zav
