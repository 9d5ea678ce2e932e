#pragma once
// The logo upload as a state machine stepped by TimerUpgrade (tick(), every 50 ms): a control
// command 357 = 1 over the Modbus link asks the UPS to listen for a logo, then the link is handed
// over to a second port object (ComPort2) on the same port, which runs the handshake, the blocks of
// up to 256 bytes and the finish request, each answered by a 10-byte reply. Every end, good or bad,
// gives the port back to the Modbus link.

#include "flash/FlashTexts.h"
#include "link/SerialChannel.h"

#include <QObject>
#include <cstdint>

namespace zav {

// What the upload needs of the Modbus link and its owner.
class LinkHandover {
  public:
    virtual ~LinkHandover() = default;
    virtual bool linkOpen() const = 0;     // ComPort1 is open
    virtual bool startLogoCommand() = 0;   // the control command 357 = 1
    virtual void releaseLink() = 0;        // stop Timer1 and close ComPort1
    virtual bool restoreLink() = 0;        // open ComPort1 again and restart Timer1
    virtual QString portName() const = 0;  // ComboBox2
    virtual int baudRate() const = 0;      // the rate ComPort1 runs at
};

class LogoUpload : public QObject {
    Q_OBJECT
  public:
    enum Step : int { End = 0, HandshakeDue, HandshakeReply, BlockDue, BlockReply, FinishDue, FinishReply };
    static constexpr int kSwitchDelayTicks = 20;   // about 1 s for the command to go out
    static constexpr int kHandshakeWaitTicks = 30; // 1.5 s
    static constexpr int kBlockWaitTicks = 10;     // 0.5 s
    static constexpr int kHandshakeTries = 5;
    static constexpr int kBlockTries = 3;
    static constexpr int kFinishTries = 5;

    LogoUpload(SerialChannel& port2, LinkHandover& link, QObject* parent = nullptr);

    // ButtonUpLogoClick: checks the link and the file, then starts. False with a message when it
    // does not start.
    bool start(const QString& logoPath);
    void tick(); // TimerUpgradeTimer

    bool running() const { return running_; }
    int step() const { return step_; }
    int progress() const { return progress_; }
    uint32_t logoBase() const { return logoBase_; }
    int logoOffset() const { return logoOffset_; }
    const QByteArray& buffer() const { return buffer_; }

  signals:
    void messageDue(LogoMessage message);
    void progressChanged(int value);
    void started(); // ButtonUpLogo and ButtonConnect disabled, TimerUpgrade on
    void ended();   // TimerUpgrade off, ButtonConnect and ButtonUpLogo enabled

  private:
    void switchPorts();
    void runStep();
    void endUpload(LogoMessage message);
    void finishUpload();
    void setProgress(int value);
    bool send(const QByteArray& frame);
    QByteArray readReply();

    SerialChannel& port2_;
    LinkHandover& link_;
    bool running_ = false;
    bool switchPending_ = false;
    int switchDelay_ = 0;
    int step_ = End;
    int wait_ = 0;
    uint32_t logoBase_ = 0; // a type 2 target keeps the base of the upload before
    int logoOffset_ = 0;
    int blockLength_ = 0;
    int handshakeFailures_ = 0;
    int blockFailures_ = 0;
    int finishFailures_ = 0;
    int progress_ = 0;
    QByteArray buffer_;
};

} // namespace zav
