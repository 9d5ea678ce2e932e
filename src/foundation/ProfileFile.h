#pragma once
// ZAV.ini: an INI profile read and written the way the Windows profile functions do it.
// Sections and keys are matched without regard to case, values are trimmed, section names keep
// their blanks ("Program Config"). Every read looks at the file as it is on disk now; every write
// rewrites the whole file through a temporary file and a rename, so a crash or power cut leaves
// either the old or the new file, never half of one. Lines this program does not know (comments,
// other keys, other sections) are kept byte for byte: the file is handled as bytes, so a GBK
// comment, a byte-order mark, lone CRs or mixed line ends survive a write; only the lines this
// program writes are encoded (UTF-8) and they take the line end of their neighbours.

#include <QString>
#include <QStringList>

namespace zav {

class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }
    bool exists() const;

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;

    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // Decimal (or 0x hexadecimal) integer; anything else gives the fallback.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    // Stored as an integer: 0 is false, any other number true; no number gives the fallback.
    bool readBool(const QString& section, const QString& key, bool fallback) const;

    // Each returns false when the file could not be written; the file is then unchanged.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);
    bool writeBool(const QString& section, const QString& key, bool value); // 1 or 0

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray eol;  // "\r\n", "\n", "\r", or empty on a last line without one
    };
    struct Content {
        QByteArray bom; // a UTF-8 byte-order mark at the start, kept as it was
        QList<Line> lines;
        bool unreadable = false; // the file is there but was refused (not a regular file, too large)
    };
    Content load() const;
    bool save(const Content& content) const;
    // Index of the value line of key in section, or -1.
    static int findKey(const QList<Line>& lines, const QString& section, const QString& key);

    QString path_;
};

} // namespace zav
