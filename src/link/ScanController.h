#pragma once
// The window's bus scan without the window: what to scan (port, protocols, rates, address range),
// whether it may start, the scan itself on the link's channel, its progress and time left, and the
// table of what answered (address, protocol, baud, model) that the scan dialog shows. A picked row
// gives what the connection bar takes; it never connects.
//
// The scan borrows the channel of the window's link, so it is refused while the link is connected;
// it is cancelled at any moment and the port released at once. Every text is in the three languages
// of the window (scanText).

#include "link/AddressScan.h"
#include "link/LinkTypes.h"

#include <QAbstractTableModel>
#include <array>

namespace zav {

enum class ScanText {
    Title, Button, ButtonTip, ButtonBusyTip, ProtocolLabel, RatesLabel, AddressesLabel, AddressTo,
    BothProtocols, AllRates, Start, Cancel, Use, Close, ColAddress, ColProtocol, ColBaud, ColModel,
    Ready, Scanning, Finished, Cancelled, PortLost, OpenFailed, RefusedConnected, RefusedNoPort,
    RefusedRange, PlanTip, NotRecognised, AnswersLate, PickHint, ThisPlan,
};
QString scanText(ScanText text, int language);
// "3 min 20 s", "2 h 5 min" in the language.
QString scanDurationText(qint64 ms, int language);
// The tool tip of the plan: how long 254 addresses take at most at each rate, and why.
QString scanPlanText(int language);

struct ScanRequest {
    QString portName;
    Protocol protocol = Protocol::Ascii;
    bool bothProtocols = false;
    int baud = 9600;
    bool allRates = false;
    int firstAddress = kFirstUpsAddress;
    int lastAddress = kLastUpsAddress;
    QVector<Protocol> protocols() const;
    QVector<int> rates() const;
    QVector<int> addresses() const;
};

// What the connection bar takes from a row.
struct ScanPick {
    int address = 0;
    Protocol protocol = Protocol::Ascii;
    int baudItem = 0;  // the baud box item
    int modelItem = 0; // the model box item; 0 when the model was not recognised
};

class ScanController : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { ColAddress, ColProtocol, ColBaud, ColModel, ColumnCount };
    enum class State { Idle, Scanning, Finished, Cancelled, PortLost, OpenFailed };

    ScanController(SerialChannel& channel, int language, QObject* parent = nullptr);

    void setLanguage(int language);
    // The window's link holds the port while it is connected.
    void setLinkConnected(bool connected) { linkConnected_ = connected; }
    // Why `request` may not start now; empty when it may.
    QString refusal(const ScanRequest& request) const;
    // Starts the scan; false when refused or the port cannot be opened (statusText says why).
    bool start(const ScanRequest& request);
    void cancel();
    bool running() const { return scan_.running(); }
    State state() const { return state_; }
    // One line on where the scan stands: progress and time left, or how it ended and why.
    QString statusText() const;
    qint64 remainingMs() const { return scan_.remainingMs(); }
    int done() const { return scan_.done(); }
    int total() const { return scan_.total(); }
    static qint64 durationMs(const ScanRequest& request);

    const QVector<ScanFind>& finds() const { return scan_.finds(); }
    ScanPick pick(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  signals:
    void changed(); // progress, a find or the end: statusText() and the rows may differ

  private:
    void onFound();
    void onFinished();

    SerialChannel& channel_;
    AddressScan scan_;
    int language_;
    bool linkConnected_ = false;
    State state_ = State::Idle;
    QString openError_;
    int rows_ = 0;
};

} // namespace zav
