#pragma once
// Serves a VirtualUps on a pseudo-terminal: the tool opens the slave device (/dev/pts/N), the
// server reads requests from the master side, checks the rate the tool set on the line, and writes
// the replies back. Several UPSes may share the pty as they share an RS-485 bus: every one hears
// every request and answers those for its own address. It runs on the event loop of the thread it lives in. Paced, it carries the bytes
// both ways no faster than the line's baud rate allows, as a real cable does; either way it counts
// the bytes that crossed.

#include "VirtualUps.h"

#include "PacedLine.h"
#include "PtyPair.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QVector>

class QSocketNotifier;
class QTimer;

namespace zav::sim {

class PtyServer : public QObject {
    Q_OBJECT
  public:
    explicit PtyServer(VirtualUps& ups, QObject* parent = nullptr);
    // Several UPSes on one line (at least one; the first sets the pty's initial rate and serves
    // the logo protocol). They must outlive the server.
    explicit PtyServer(const QVector<VirtualUps*>& units, QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pair. The slave fd stays open for the server's life, so the master never sees a
    // hang-up when the tool closes and reopens the port.
    bool open(QString* error);
    QString devicePath() const { return pty_.devicePath(); }
    // A symbolic link to the device; an existing link is replaced, any other file is left alone.
    bool createLink(const QString& linkPath, QString* error);

    // Before start(): carry bytes at the line's rate instead of at once.
    void setPaced(bool paced) { paced_ = paced; }
    bool paced() const { return paced_; }

    // Serving starts and stops on the thread the server lives in.
    void start();
    void stop();
    bool serving() const { return notifier_ != nullptr || pump_ != nullptr; }
    // Moves the UPS's time to the time elapsed since start().
    void sync();
    // The device goes away under the tool (an adapter pulled): serving stops and the pty closes.
    void hangUp();

    // The bytes that crossed since the pair was opened, and their wire time.
    LineCounts counts() const { return paced_ ? line_.counts() : counts_; }
    // The rate the tool has set on the line now (0 once the device is gone).
    int lineBaud() const;

  signals:
    void logLine(const QString& line);

  private:
    void onReadable();
    void pump();
    double nowMs() const; // since start(), below the millisecond
    void answer(const QByteArray& batch, int lineBaud);
    void writeOut(const QByteArray& bytes);

    QVector<VirtualUps*> units_;
    VirtualUps& ups_; // the first unit
    PtyPair pty_;
    bool paced_ = false;
    PacedLine line_{pty_};
    LineCounts counts_; // unpaced: what was read and written
    QSocketNotifier* notifier_ = nullptr;
    QTimer* pump_ = nullptr; // paced: moves the line on every few ms
    QTimer* clock_ = nullptr;
    QElapsedTimer elapsed_;
};

} // namespace zav::sim
