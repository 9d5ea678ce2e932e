#pragma once
// Turns SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in the terminal, a closed terminal)
// into a Qt signal on the event loop, so the program ends the way its window's Exit does: ZAV.ini
// written, the port closed, the virtual UPS of the demo stopped. A signal handler may only do
// async-signal-safe work: it writes the signal number into a socket pair that the loop watches.

#include <QObject>

class QSocketNotifier;

namespace zav {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    bool installed() const { return notifier_ != nullptr; }

signals:
    void quitAsked(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace zav
