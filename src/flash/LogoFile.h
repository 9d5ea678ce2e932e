#pragma once
// Logo files and the logo block-transfer frames. A logo file is text with C-style byte literals
// (0x12, 0xAB, ...); the bytes go into LogoBuffer behind a small header and ahead of an LRC, and
// travel in CRC-16 protected frames of up to 256 bytes.

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace zav {

// Every '0' followed by a lower-case 'x' starts a byte whose two hex digits follow (a non-hex digit
// counts as 0). A '0' that is not followed by 'x' is skipped together with the next character.
QByteArray parseLogoText(const QByteArray& text);

constexpr int kLogoBufferBytes = 9600;
constexpr int kLogoMaxBytes = kLogoBufferBytes - 5; // 9595 picture bytes fit

// LogoBuffer: n (2 bytes, high first), F0 28, the n bytes, the LRC of all that. Empty when there
// are no bytes or more than fit the buffer.
std::optional<QByteArray> buildLogoBuffer(const QByteArray& pictureBytes);

// Frames of the upload (the CRC of all preceding bytes, low byte first).
QByteArray logoHandshakeRequest();
QByteArray logoBlockRequest(uint32_t address, const QByteArray& data);
QByteArray logoFinishRequest();
// A reply of 10 bytes: tag (4), two bytes, status, type, CRC.
QByteArray logoReply(uint32_t tag, uint8_t status, uint8_t type);

// Reply checks. The handshake gives the target type (1 or 2 known, others not) or nothing.
std::optional<uint8_t> logoHandshakeReply(const QByteArray& reply);
bool logoBlockReplyAccepted(const QByteArray& reply, uint32_t address);
bool logoFinishReplyAccepted(const QByteArray& reply);

constexpr uint32_t kLogoHandshakeTag = 0xFFFFFFFF;
constexpr uint32_t kLogoFinishTag = 0xFFFFFFFE;
constexpr uint32_t kLogoBaseType1 = 0x3D8000;
constexpr int kLogoBlockBytes = 256;

} // namespace zav
