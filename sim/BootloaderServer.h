#pragma once
// Serves a Bootloader on a pseudo-terminal of its own, paced like a real line: bytes are taken from
// the tool and replies given back no faster than the line's baud rate allows (10 bits a byte), so a
// tool that does not keep its queue full loses time, as it would on a real cable.

#include "Bootloader.h"

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

    struct Pending {
        QByteArray bytes;
        qint64 dueMs;
    };

    Bootloader& boot_;
    PtyPair pty_;
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    qint64 lastMs_ = 0;
    double inBudget_ = 0;
    double outBudget_ = 0;
    QList<Pending> later_; // replies with a delay
    QByteArray outQueue_;  // replies due, waiting for the line
    int lastStage_ = -1;
};

} // namespace zav::sim
