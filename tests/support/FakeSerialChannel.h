#pragma once
// A serial channel for unit tests: records what the scheduler writes and lets the test deliver
// reply bytes with the notifications a real port would raise.

#include "link/SerialChannel.h"

#include <QByteArrayList>

namespace zav::test {

class FakeSerialChannel : public SerialChannel {
  public:
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void setBaudRate(int baud) override {
        baud_ = baud;
        baudHistory.append(baud);
    }
    int baudRate() const override { return baud_; }
    bool open() override {
        if (failOpen) return false;
        open_ = true;
        ++openCount;
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QString errorText() const override { return failOpen ? QStringLiteral("cannot open") : QString(); }
    void purge() override {
        rx.clear();
        ++purgeCount;
    }
    bool write(const QByteArray& bytes) override {
        written.append(bytes);
        return true;
    }
    QByteArray readAvailable(int maxBytes) override {
        const QByteArray out = rx.left(maxBytes);
        rx.remove(0, out.size());
        return out;
    }
    QByteArray peekAvailable(int maxBytes) override { return rx.left(maxBytes); }

    // The device answers: bytes arrive in one batch with OnRxChar, then OnRxFlag if an LF came.
    void deliver(const QByteArray& bytes) {
        rx.append(bytes);
        if (onRxChar) onRxChar(int(rx.size()));
        if (bytes.contains('\n') && onRxFlag) onRxFlag();
    }
    // The device disappears (adapter pulled).
    void unplug() { open_ = false; }
    QByteArray lastWritten() const { return written.isEmpty() ? QByteArray() : written.last(); }

    QByteArrayList written;
    QByteArray rx;
    QList<int> baudHistory;
    bool failOpen = false;
    int openCount = 0;
    int purgeCount = 0;

  private:
    QString name_;
    int baud_ = 9600;
    bool open_ = false;
};

} // namespace zav::test
