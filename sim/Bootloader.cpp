#include "Bootloader.h"

namespace zav::sim {

namespace {
constexpr int kAnnounceDelayMs = 50;
constexpr int kReadyDelayMs = 200; // after the lock's echo, in a chunk of its own
constexpr int kProgressEvery = 1024;
constexpr int kCorruptAt = 40;     // inside the first block's data of any real image
constexpr int kPullAfterBytes = 1000; // the cable comes out part-way through the application

uint8_t swap67(uint8_t b) {
    auto n = [](int v) { return v == 6 ? 7 : v == 7 ? 6 : v; };
    return uint8_t(n(b >> 4) << 4 | n(b & 0x0F));
}
} // namespace

BootTableReader::State BootTableReader::push(uint8_t byte) {
    if (state_ != Reading) return state_;
    switch (field_) {
    case 0: // key word 0x08AA
        word_ = uint16_t(at_ == 0 ? byte : word_ | byte << 8);
        if (++at_ == 2) {
            if (word_ != 0x08AA) return state_ = Invalid;
            field_ = 1;
            at_ = 0;
        }
        break;
    case 1: // 8 reserved words and the entry point
        if (++at_ == 20) {
            field_ = 2;
            at_ = 0;
        }
        break;
    case 2: // block size in words
        word_ = uint16_t(at_ == 0 ? byte : word_ | byte << 8);
        if (++at_ == 2) {
            at_ = 0;
            if (word_ == 0) return state_ = Done;
            remaining_ = 2 * word_;
            dataWords_ += word_;
            field_ = 3;
        }
        break;
    case 3: // destination address
        if (++at_ == 4) {
            at_ = 0;
            field_ = 4;
        }
        break;
    case 4:
        if (--remaining_ == 0) field_ = 2;
        break;
    }
    return state_;
}

QByteArray Bootloader::unlockedText() {
    return "\r\nZAV test kernel, Flash API Version 1.00\r\nCode security module unlocked: OK.\r\n";
}
QByteArray Bootloader::lockedText() {
    return "\r\nZAV test kernel, Flash API Version 1.00\r\nIncorrect keys: the code security module "
           "stays locked.\r\n";
}
QByteArray Bootloader::readyText() { return "\r\nFlash erased. Send the image.\r\n"; }
QByteArray Bootloader::closingText(uint16_t checksum) {
    return QByteArray("\r\nProgramming complete. Checksum = 0x") +
           QByteArray::number(checksum, 16).rightJustified(4, '0').toUpper() +
           "\r\nYou may now close this window and reset the target.\r\n";
}
QByteArray Bootloader::refusalText() { return "\r\nNo boot table: the image CAN NOT BE flashed.\r\n"; }

QList<BootReply> Bootloader::receive(const QByteArray& bytes, int lineBaud) {
    QList<BootReply> out;
    for (char c : bytes) {
        const uint8_t b = uint8_t(c);
        const bool atLockedRate = lineBaud <= 0 || lineBaud == lockedBaud_;
        switch (stage_) {
        case WaitLock:
        case WaitLock2:
            if (b != 'A') break; // autobaud: only the 'A' counts, at any rate
            lockedBaud_ = lineBaud;
            out.append({QByteArray(1, 'A'), 0});
            if (stage_ == WaitLock) {
                stage_ = Kernel;
            } else {
                stage_ = Application;
                out.append({readyText(), kReadyDelayMs});
            }
            break;
        case Kernel:
            if (!atLockedRate) {
                ++noise_;
                break;
            }
            ++kernelBytes_;
            out.append({QByteArray(1, c), 0}); // the boot ROM echoes what it takes
            if (table_.push(b) == BootTableReader::Done) {
                if (fault_ == BootFault::SilentAfterKernel) {
                    stage_ = Dead;
                    break;
                }
                stage_ = Keys;
                out.append({QByteArray(16, '\n'), kAnnounceDelayMs});
            } else if (table_.state() == BootTableReader::Invalid) {
                stage_ = Dead; // not a kernel: the ROM jumps nowhere useful
            }
            break;
        case Keys:
            if (!atLockedRate) {
                ++noise_;
                break;
            }
            typed_.append(char(b));
            if (typed_.size() == 64) {
                const bool right = fault_ != BootFault::WrongKeys && typed_.toUpper() == keys_;
                out.append({right ? unlockedText() : lockedText(), 0});
                stage_ = right ? WaitLock2 : Dead;
                table_ = BootTableReader();
            }
            break;
        case Application:
            if (!atLockedRate) {
                ++noise_;
                break;
            }
            takeApplicationByte(b, out);
            break;
        case Done:
        case Dead:
            break;
        }
    }
    return out;
}

void Bootloader::takeApplicationByte(uint8_t raw, QList<BootReply>& out) {
    if ((fault_ == BootFault::CablePulled || fault_ == BootFault::HangUp) && appBytes_ >= kPullAfterBytes) {
        stage_ = Dead;
        hangUpDue_ = fault_ == BootFault::HangUp;
        return;
    }
    if (fault_ == BootFault::CorruptApplication && appBytes_ == kCorruptAt) raw ^= 0x01; // a bit lost on the line
    ++appBytes_;
    if (highByte_ < 0) {
        highByte_ = raw;
    } else {
        checksum_ = uint16_t(checksum_ + (highByte_ << 8 | raw));
        highByte_ = -1;
    }
    if (appBytes_ % kProgressEvery == 0) out.append({".", 0});
    switch (table_.push(swap67(raw))) {
    case BootTableReader::Done:
        stage_ = Done;
        out.append({closingText(checksum_), 0});
        break;
    case BootTableReader::Invalid:
        stage_ = Dead;
        out.append({refusalText(), 0});
        break;
    case BootTableReader::Reading:
        break;
    }
}

} // namespace zav::sim
