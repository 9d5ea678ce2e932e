#pragma once
// The UPS side of the logo upload. After the control command 357 = 1 the UPS port stops speaking
// Modbus and takes the logo block-transfer frames instead: a handshake (answered with the target
// type), blocks of picture memory (answered with their address) and a finish request, which is
// accepted when the picture buffer arrived whole (length, F0 28 marker and LRC right). After the
// finish, or 10 s without a byte, the port speaks Modbus again.

#include <QByteArray>
#include <QMap>
#include <cstdint>

namespace zav::sim {

// HangUp: after the first block the UPS port's device goes away (its adapter pulled).
enum class LogoFault { None, BadCrc, WrongAddress, Type3, HangUp };

class LogoReceiver {
  public:
    void setTargetType(int type) { type_ = type; } // 1 or 2, what the handshake reports
    void setFault(LogoFault fault) { fault_ = fault; }
    LogoFault fault() const { return fault_; }

    void activate(qint64 nowMs);
    // True while the port belongs to the logo protocol (an idle one lets go after 10 s).
    bool active(qint64 nowMs);
    // Whether these bytes are for the logo protocol. Until the handshake the UPS hears nothing else
    // (the tool's last polls before it switches are lost). After it, every logo frame starts with 00
    // (a block) or FF (handshake, finish), never a Modbus address (1-254): a Modbus request ends the
    // logo mode, as when the tool gave up and went back to polling.
    bool takes(const QByteArray& bytes, qint64 nowMs);
    // Bytes from the tool; the replies to send.
    QByteArray receive(const QByteArray& bytes, qint64 nowMs);

    // The picture buffer as assembled from the blocks (address order), and the upload's outcome.
    QByteArray received() const;
    bool finishedOk() const { return finishedOk_; }
    int handshakes() const { return handshakes_; }
    int blocks() const { return blocks_; }
    // The port is to vanish: its server closes the line.
    bool hangUpDue() const { return hangUpDue_; }

  private:
    QByteArray frameReply(uint32_t tag, uint8_t status, uint8_t type) const;
    bool bufferWhole() const;

    bool active_ = false;
    bool session_ = false; // a handshake came
    qint64 activatedMs_ = 0;
    qint64 lastByteMs_ = 0;
    QByteArray pending_;
    QMap<uint32_t, QByteArray> memory_;
    int type_ = 1;
    LogoFault fault_ = LogoFault::None;
    bool finishedOk_ = false;
    int handshakes_ = 0;
    int blocks_ = 0;
    bool hangUpDue_ = false;
};

} // namespace zav::sim
