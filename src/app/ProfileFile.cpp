#include "app/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zav {

namespace {

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

ProfileFile::Lines ProfileFile::load() const {
    Lines result;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return result;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    if (bytes.contains("\r\n")) result.eol = QStringLiteral("\r\n");
    QString text = QString::fromUtf8(bytes);
    text.remove(u'\r');
    result.lines = text.split(u'\n');
    if (!result.lines.isEmpty() && result.lines.last().isEmpty()) result.lines.removeLast();
    return result;
}

bool ProfileFile::save(const Lines& content) const {
    const QFileInfo info(path_);
    QDir().mkpath(info.absolutePath());
    QSaveFile file(path_); // writes a temporary file beside the target and renames it on commit
    if (!file.open(QIODevice::WriteOnly)) return false;
    QString text;
    for (const QString& line : content.lines) text += line + content.eol;
    if (file.write(text.toUtf8()) < 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int ProfileFile::findKey(const QStringList& lines, const QString& section, const QString& key) {
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name, k;
        if (sectionOf(lines[i], &name)) {
            inSection = sameName(name, section);
        } else if (inSection && keyOf(lines[i], &k, nullptr) && sameName(k, key)) {
            return i;
        }
    }
    return -1;
}

bool ProfileFile::sectionExists(const QString& section) const {
    const Lines content = load();
    QString name;
    for (const QString& line : content.lines)
        if (sectionOf(line, &name) && sameName(name, section)) return true;
    return false;
}

bool ProfileFile::valueExists(const QString& section, const QString& key) const {
    return findKey(load().lines, section, key) >= 0;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& fallback) const {
    const Lines content = load();
    const int i = findKey(content.lines, section, key);
    if (i < 0) return fallback;
    QString k, value;
    keyOf(content.lines[i], &k, &value);
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
    Lines content = load();
    QStringList& lines = content.lines;
    const int at = findKey(lines, section, key);
    if (at >= 0) {
        QString oldKey;
        keyOf(lines[at], &oldKey, nullptr);
        lines[at] = oldKey + u'=' + value;
        return save(content);
    }
    // Key missing: add it after the last non-blank line of the section, or add the section.
    int sectionLine = -1, lastLine = -1;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (sectionOf(lines[i], &name)) {
            if (sectionLine >= 0) break;
            if (sameName(name, section)) sectionLine = lastLine = i;
        } else if (sectionLine >= 0 && !lines[i].trimmed().isEmpty()) {
            lastLine = i;
        }
    }
    if (sectionLine >= 0) {
        lines.insert(lastLine + 1, key + u'=' + value);
    } else {
        lines.append(u'[' + section + u']');
        lines.append(key + u'=' + value);
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
