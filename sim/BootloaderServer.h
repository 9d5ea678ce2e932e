#pragma once
// Serves a Bootloader on a pseudo-terminal of its own, paced like a real line: bytes are taken from
// the tool and replies given back no faster than the line's baud rate allows (10 bits a byte), so a
// tool that does not keep its queue full loses time, as it would on a real cable.

#include "Bootloader.h"

#include "PacedLine.h"
#include "PtyPair.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

namespace zav::sim {

class BootloaderServer : public QObject {
    Q_OBJECT
  public:
    explicit BootloaderServer(Bootloader& boot, QObject* parent = nullptr);
    ~BootloaderServer() override;

    bool open(QString* error);
    QString devicePath() const { return pty_.devicePath(); }
    bool createLink(const QString& linkPath, QString* error);
    void start();
    void stop();

  signals:
    void logLine(const QString& line);

  private:
    void pump();

    Bootloader& boot_;
    PtyPair pty_;
    PacedLine line_{pty_};
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    int lastStage_ = -1;
};

} // namespace zav::sim
