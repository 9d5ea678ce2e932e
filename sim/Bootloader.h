#pragma once
// A signal processor in serial boot mode, for the programming page: its boot ROM locks on an 'A'
// at whatever rate the tool chose and takes a Flash API kernel as a boot table (echoing each byte);
// the kernel announces itself with 16 line feeds, checks the code-security keys and target IDs
// (64 hex characters), locks again at the programming rate, takes the application (nibbles 6 and 7
// swapped, a boot table underneath), and reports the checksum of what it received followed by its
// closing sentence. Bytes at a rate other than the locked one are noise to it.
//
// Pure logic: bytes, the line's rate and the time go in, replies (with delays) come out.

#include <QByteArray>
#include <QList>
#include <QString>

namespace zav::sim {

// CablePulled goes silent part-way through the application with its line still there; HangUp
// leaves at the same point by closing its line, so the tool's open port loses its device.
enum class BootFault { None, WrongKeys, SilentAfterKernel, CorruptApplication, CablePulled, HangUp };

struct BootReply {
    QByteArray bytes;
    int delayMs = 0;
};

// Walks a C2000 boot table (16-bit words, low byte first): key 0x08AA, 8 reserved words, a 32-bit
// entry point, then blocks of (size in words, 32-bit address, data) until a block of size 0.
class BootTableReader {
  public:
    enum State { Reading, Done, Invalid };
    State push(uint8_t byte);
    State state() const { return state_; }
    int dataWords() const { return dataWords_; }

  private:
    State state_ = Reading;
    int at_ = 0;          // bytes taken in the current field
    int field_ = 0;       // 0 key, 1 reserved+entry, 2 block size, 3 block address, 4 block data
    uint16_t word_ = 0;
    int remaining_ = 0;   // bytes of the current block's data
    int dataWords_ = 0;
};

class Bootloader {
  public:
    enum Stage { WaitLock, Kernel, Keys, WaitLock2, Application, Done, Dead };

    void setKeys(const QByteArray& keys) { keys_ = keys.toUpper(); } // 64 hex characters
    void setFault(BootFault fault) { fault_ = fault; }
    BootFault fault() const { return fault_; }

    QList<BootReply> receive(const QByteArray& bytes, int lineBaud);

    Stage stage() const { return stage_; }
    int lockedBaud() const { return lockedBaud_; }
    int kernelBytes() const { return kernelBytes_; }
    int applicationBytes() const { return appBytes_; }
    uint16_t applicationChecksum() const { return checksum_; }
    int noiseBytes() const { return noise_; }
    // The target has left: its server closes the line once the replies already due are out.
    bool hangUpDue() const { return hangUpDue_; }

    // The texts of the test kernel (our own sentences with the key words the tool looks for).
    static QByteArray unlockedText();
    static QByteArray lockedText();
    static QByteArray readyText();
    static QByteArray closingText(uint16_t checksum);
    static QByteArray refusalText();

  private:
    void takeApplicationByte(uint8_t raw, QList<BootReply>& out);

    Stage stage_ = WaitLock;
    BootFault fault_ = BootFault::None;
    QByteArray keys_ = QByteArray(64, 'F');
    QByteArray typed_;
    BootTableReader table_;
    int lockedBaud_ = 0;
    int kernelBytes_ = 0;
    int appBytes_ = 0;
    uint16_t checksum_ = 0;
    int highByte_ = -1; // first byte of a checksum word
    int noise_ = 0;
    bool hangUpDue_ = false;
};

} // namespace zav::sim
