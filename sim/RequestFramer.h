#pragma once
// Cuts the byte stream from the master into request frames and checks them, as the UPS's serial
// receiver does: ASCII frames run from ':' to CR LF; RTU frames have the length their function
// code implies (a real slave finds the end by the line going quiet, which a pseudo-terminal does
// not show). A frame with a wrong CRC or LRC is dropped whole.

#include "link/ModbusCodec.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace zav::sim {

class RequestFramer {
  public:
    explicit RequestFramer(Protocol protocol) : protocol_(protocol) {}

    // Adds received bytes; returns every complete frame (raw, check included), oldest first.
    QList<QByteArray> push(const QByteArray& bytes);
    void reset() { buffer_.clear(); }
    int pending() const { return int(buffer_.size()); }
    Protocol protocol() const { return protocol_; }

  private:
    QList<QByteArray> pushAscii();
    QList<QByteArray> pushRtu();

    Protocol protocol_;
    QByteArray buffer_;
};

// Length of an RTU request PDU (address to last field) from its first bytes; 0 = not known yet
// (more bytes needed), -1 = a function the UPS does not know.
int rtuRequestPduLength(const QByteArray& head);

// The PDU (address, function, fields) of a raw frame whose check is right; nothing otherwise.
std::optional<QByteArray> checkedPdu(Protocol protocol, const QByteArray& raw);

} // namespace zav::sim
