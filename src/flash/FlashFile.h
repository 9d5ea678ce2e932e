#pragma once
// The files of a DSP programming run: the application image goes out with nibbles 6 and 7 swapped
// (the kernel swaps them back), its checksum is the sum of the swapped 16-bit words, files leave in
// 512-byte blocks, and the Flash API kernel is chosen by processor and erase choice.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

class QIODevice;

namespace zav {

// SwapNibbles67: in each nibble 6 becomes 7 and 7 becomes 6; its own inverse.
uint8_t swapNibbles67(uint8_t byte);
QByteArray swapNibbles67(QByteArray bytes);

// FileChecksum: the swapped bytes taken as big-endian words, summed modulo 65536; an odd last
// byte is not counted.
uint16_t fileChecksum(const QByteArray& fileBytes);

// "0x" + 4 upper-case hex digits, as the log shows checksums.
QString checksumText(uint16_t checksum);

constexpr int kFileBlockBytes = 512;
// Reads blocks of up to 512 bytes and stops after the first read that is short or empty, so an
// exact multiple of 512 ends with an empty read and an empty file gives no block at all.
QList<QByteArray> readFileBlocks(QIODevice& file);

// Kernels and applications are C2000 boot tables (16-bit words, low byte first): the key 0x08AA,
// 8 reserved words, a 32-bit entry point, then blocks of (size in words, 32-bit address, data)
// closed by a block of size 0. A whole image is exactly one such table with at least one data
// block: a table without data would erase the flash and program nothing, and bytes after the
// closing block are not part of what the kernel takes, so such a file is not the image it claims
// to be. Checked before the target sees a byte.
enum class BootImageFault { None, Unreadable, NoKey, CutOff, NoDataBlock, BytesAfterEnd };
struct BootImageCheck {
    BootImageFault fault = BootImageFault::None;
    int blocks = 0;          // whole data blocks before a cut (CutOff)
    qsizetype extraBytes = 0; // after the closing block (BytesAfterEnd)
    bool whole() const { return fault == BootImageFault::None; }
};
BootImageCheck checkBootTable(const QByteArray& bytes);
// Why the bytes are not a whole image, in English (empty when they are).
QString bootTableProblem(const QByteArray& bytes);

// ComboBoxDspType items and ComboBoxBaud items.
enum DspType : int { DspF28035 = 0, DspF2812 = 1, DspF28232 = 2, DspF28335 = 3, DspF28062 = 4 };
QStringList dspTypeItems();
QStringList programBaudItems();
constexpr int kDefaultProgramBaudItem = 9; // 115200
int programBaudRate(int item);              // 0 for an item out of range

// The Flash API kernel for a processor; the erase choice (0 whole flash, 1 program area) matters
// only for the F28035. Empty for an unknown processor.
QString kernelFileName(int dspType, int eraseItem);

} // namespace zav
