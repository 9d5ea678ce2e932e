#pragma once
// Which addresses answer on a line, at which rate, and what model they report: one short read of
// the model register (78) to every address at every rate asked for. A UPS at an address answers it
// within the wire time of the two frames and a turnaround allowance (`kTurnaroundMs`); whatever
// answers later, or names another address, is not credited to the address asked (every reply is
// examined for its address byte). The time a scan takes is therefore bounded and known beforehand
// (`durationMs`). It runs on the event loop with one timer and talks to the line only through a
// SerialChannel; zavctl scan prints its results and the window's connection bar offers them.

#include "link/ModbusCodec.h"
#include "link/SerialChannel.h"

#include <QObject>
#include <QTimer>
#include <QVector>

namespace zav {

struct ScanFind {
    int address = 0;
    int baud = 0;
    int modelCode = 0; // register 78
    int model = -1;    // the model the code stands for, -1 when the code is not known
};

class AddressScan : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTurnaroundMs = 200; // how long a UPS may think before it answers
    static constexpr int kModelRegister = 78;

    explicit AddressScan(SerialChannel& channel, QObject* parent = nullptr);
    ~AddressScan() override;

    // The channel must be closed; it is opened for the scan and closed at its end. False (with the
    // channel's errorText()) when it cannot be opened.
    bool start(Protocol protocol, const QVector<int>& rates, const QVector<int>& addresses);
    void stop(); // ends at once; finished() follows
    bool running() const { return running_; }
    const QVector<ScanFind>& finds() const { return finds_; }

    // The most one address takes at `baud`, and a whole scan.
    static int perAddressMs(Protocol protocol, int baud);
    static qint64 durationMs(Protocol protocol, const QVector<int>& rates, int addressCount);

  signals:
    void found(const zav::ScanFind& find);
    void progress(int done, int total);
    void finished();

  private:
    void sendNext();
    void judge();
    void onRx();
    void end();

    SerialChannel& channel_;
    QTimer timer_;
    Protocol protocol_ = Protocol::Ascii;
    QVector<int> rates_;
    QVector<int> addresses_;
    QVector<ScanFind> finds_;
    int rateIndex_ = 0;
    int addressIndex_ = 0;
    bool awaiting_ = false;
    bool running_ = false;
};

} // namespace zav
