#include "settings/FieldDataZip.h"

#include <zlib.h>

namespace zav {

namespace {

uint32_t le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData() + at);
    return uint16_t(p[0] | p[1] << 8);
}

constexpr uint32_t kEndSig = 0x06054b50, kCentralSig = 0x02014b50, kLocalSig = 0x04034b50;
constexpr int kMaxEntries = 4096;

} // namespace

bool ZipReader::open(const QByteArray& archive) {
    archive_ = archive;
    entries_.clear();
    const qsizetype n = archive.size();
    if (n < 22) return false;
    // The end record sits in the last 22 bytes plus a comment of up to 64 KiB.
    qsizetype end = -1;
    for (qsizetype at = n - 22; at >= 0 && at >= n - 22 - 65535; --at)
        if (le32(archive, at) == kEndSig) {
            end = at;
            break;
        }
    if (end < 0) return false;
    const int count = le16(archive, end + 10);
    const qint64 dirSize = le32(archive, end + 12), dirOffset = le32(archive, end + 16);
    if (count > kMaxEntries || dirOffset + dirSize > end) return false;
    qsizetype at = qsizetype(dirOffset);
    for (int i = 0; i < count; ++i) {
        if (at + 46 > end || le32(archive, at) != kCentralSig) return false;
        Entry e{le16(archive, at + 10), le32(archive, at + 16), le32(archive, at + 20), le32(archive, at + 24),
                le32(archive, at + 42)};
        const int nameLen = le16(archive, at + 28), extraLen = le16(archive, at + 30), commentLen = le16(archive, at + 32);
        if (at + 46 + nameLen > end) return false;
        entries_.insert(QString::fromUtf8(archive.constData() + at + 46, nameLen), e);
        at += 46 + nameLen + extraLen + commentLen;
    }
    return true;
}

bool ZipReader::read(const QString& name, QByteArray& out, qint64 limit) const {
    out.clear();
    const auto it = entries_.constFind(name);
    if (it == entries_.cend()) return false;
    const Entry& e = *it;
    if (e.size > limit || qint64(e.localOffset) + 30 > archive_.size() || le32(archive_, e.localOffset) != kLocalSig)
        return false;
    const qint64 data = qint64(e.localOffset) + 30 + le16(archive_, e.localOffset + 26) + le16(archive_, e.localOffset + 28);
    if (data + qint64(e.packed) > archive_.size()) return false;
    const char* packed = archive_.constData() + data;
    if (e.method == 0) {
        if (e.packed != e.size) return false;
        out = QByteArray(packed, e.size);
    } else if (e.method == 8) {
        out.resize(qsizetype(e.size));
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed));
        z.avail_in = e.packed;
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = e.size;
        const int rc = inflate(&z, Z_FINISH); // stops at the size the directory states
        const bool whole = rc == Z_STREAM_END && z.total_out == e.size;
        inflateEnd(&z);
        if (!whole) return false;
    } else {
        return false;
    }
    return uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(out.constData()), uInt(out.size()))) == e.crc;
}

} // namespace zav
