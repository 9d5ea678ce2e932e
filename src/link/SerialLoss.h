#pragma once
// The errors by which QSerialPort says that the device under an open port has gone away (USB adapter
// pulled, the far end of a pty closed), and what to tell the user. Both serial channels (the Modbus
// link and the programming channel) close the port once on the first such error and report it
// once; errors raised while the port is being closed are part of that same loss.

#include <QSerialPort>
#include <QString>

namespace zav {

inline bool isDeviceLoss(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError || error == QSerialPort::WriteError;
}

// errorString() holds whatever errno the last call left ("Inappropriate ioctl for device" on a
// vanished pty): say what happened instead.
inline QString deviceLossText(QSerialPort::SerialPortError error) {
    return error == QSerialPort::WriteError  ? QStringLiteral("the device no longer takes data")
           : error == QSerialPort::ReadError ? QStringLiteral("the device no longer delivers data")
                                             : QStringLiteral("the device was removed");
}

} // namespace zav
