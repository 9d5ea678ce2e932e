#include "foundation/ProfileFile.h"

#include "foundation/BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <iconv.h>

namespace zav {

namespace {

// A profile carried over from a Chinese Windows machine holds GBK text; ours are UTF-8. Lines are
// only decoded for reading: what is on disk is never rewritten from the decoded text.
QString decodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd != iconv_t(-1)) {
        QByteArray in = bytes;
        QByteArray out(in.size() * 4 + 4, '\0');
        char* inPtr = in.data();
        char* outPtr = out.data();
        size_t inLeft = size_t(in.size()), outLeft = size_t(out.size());
        const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv_close(cd);
        if (done != size_t(-1)) return QString::fromUtf8(out.constData(), out.size() - qsizetype(outLeft));
    }
    return QString::fromLatin1(bytes);
}

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// "[Program Config]" -> "Program Config"
bool sectionOf(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0) return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyOf(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith(u'[')) return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0) return false;
    *key = t.left(eq).trimmed();
    if (value) *value = t.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

bool ProfileFile::exists() const { return QFileInfo::exists(path_); }

ProfileFile::Content ProfileFile::load() const {
    Content result;
    // Only a regular file of a profile's size is read: a FIFO would block and a device never end.
    // A file that exists but is refused is marked, so a write cannot replace it by one key.
    const BoundedRead file = readRegularFile(path_, FileLimit::profile);
    if (!file.ok()) {
        result.unreadable = QFileInfo::exists(path_) || QFileInfo(path_).isSymLink();
        return result;
    }
    const QByteArray& bytes = file.bytes;
    qsizetype pos = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        result.bom = bytes.left(3);
        pos = 3;
    }
    // Lines end at LF, CR LF or a lone CR; each keeps its own ending.
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        Line line{bytes.mid(pos, end - pos), {}};
        if (end < bytes.size()) {
            const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.eol = bytes.mid(end, crLf ? 2 : 1);
        }
        pos = end + line.eol.size();
        result.lines.append(line);
    }
    return result;
}

bool ProfileFile::save(const Content& content) const {
    const QFileInfo info(path_);
    QDir().mkpath(info.absolutePath());
    QSaveFile file(path_); // writes a temporary file beside the target and renames it on commit
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray bytes = content.bom;
    for (const Line& line : content.lines) bytes += line.text + line.eol;
    if (file.write(bytes) < 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int ProfileFile::findKey(const QList<Line>& lines, const QString& section, const QString& key) {
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString text = decodeLine(lines[i].text);
        QString name, k;
        if (sectionOf(text, &name)) {
            inSection = sameName(name, section);
        } else if (inSection && keyOf(text, &k, nullptr) && sameName(k, key)) {
            return i;
        }
    }
    return -1;
}

bool ProfileFile::sectionExists(const QString& section) const {
    const Content content = load();
    QString name;
    for (const Line& line : content.lines)
        if (sectionOf(decodeLine(line.text), &name) && sameName(name, section)) return true;
    return false;
}

bool ProfileFile::valueExists(const QString& section, const QString& key) const {
    return findKey(load().lines, section, key) >= 0;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& fallback) const {
    const Content content = load();
    const int i = findKey(content.lines, section, key);
    if (i < 0) return fallback;
    QString k, value;
    keyOf(decodeLine(content.lines[i].text), &k, &value);
    return value;
}

int ProfileFile::readInteger(const QString& section, const QString& key, int fallback) const {
    const QString text = readString(section, key, QString());
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    Content content = load();
    if (content.unreadable) return false;
    QList<Line>& lines = content.lines;
    const int at = findKey(lines, section, key);
    if (at >= 0) {
        // The key keeps its spelling and bytes; only what follows the '=' is new.
        const QByteArray& old = lines[at].text;
        lines[at].text = old.left(old.indexOf('=')).trimmed() + '=' + value.toUtf8();
        return save(content);
    }
    // The line end new lines take: that of the line they follow, else the file's first, else LF.
    QByteArray fileEol = "\n";
    for (const Line& line : lines)
        if (!line.eol.isEmpty()) {
            fileEol = line.eol;
            break;
        }
    auto insertAfter = [&](int index, const QByteArray& text) {
        QByteArray eol = fileEol;
        if (index >= 0) {
            if (lines[index].eol.isEmpty()) lines[index].eol = fileEol; // a last line without an end
            eol = lines[index].eol;
        }
        lines.insert(index + 1, Line{text, eol});
    };
    // Key missing: add it after the last non-blank line of the section, or add the section.
    int sectionLine = -1, lastLine = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString text = decodeLine(lines[i].text);
        QString name;
        if (sectionOf(text, &name)) {
            if (sectionLine >= 0) break;
            if (sameName(name, section)) sectionLine = lastLine = i;
        } else if (sectionLine >= 0 && !text.trimmed().isEmpty()) {
            lastLine = i;
        }
    }
    const QByteArray keyLine = key.toUtf8() + '=' + value.toUtf8();
    if (sectionLine >= 0) {
        insertAfter(lastLine, keyLine);
    } else {
        insertAfter(int(lines.size()) - 1, '[' + section.toUtf8() + ']');
        insertAfter(int(lines.size()) - 1, keyLine);
    }
    return save(content);
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace zav
