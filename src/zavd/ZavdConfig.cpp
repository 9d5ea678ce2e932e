#include "zavd/ZavdConfig.h"

#include "foundation/BoundedFile.h"
#include "foundation/ProfileFile.h"

#include <QFile>
#include <algorithm>
#include <QHash>

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>

#include <sys/stat.h>

namespace zav {

namespace {

class Reader {
  public:
    explicit Reader(const QString& path) : profile_(path), path_(path) {}
    const ProfileFile& profile() const { return profile_; }

    bool has(const QString& section, const QString& key) const { return profile_.valueExists(section, key); }
    QString text(const QString& section, const QString& key, const QString& fallback) const {
        return profile_.readString(section, key, fallback).trimmed();
    }
    // A whole number in [min, max]; anything else is an error naming the key.
    int number(const QString& section, const QString& key, int fallback, int min, int max) {
        if (!has(section, key)) return fallback;
        const QString t = text(section, key, QString());
        bool ok = false;
        const int v = t.toInt(&ok, 10);
        if (!ok || v < min || v > max) fail(section, key, QStringLiteral("'%1' is not a number in %2..%3").arg(t).arg(min).arg(max));
        return ok ? v : fallback;
    }
    void fail(const QString& section, const QString& key, const QString& why) {
        if (error_.isEmpty()) error_ = QStringLiteral("%1: [%2] %3: %4").arg(path_, section, key, why);
    }
    const QString& error() const { return error_; }

  private:
    ProfileFile profile_;
    QString path_;
    QString error_;
};

// A key written twice in one section: the reader would take one of them without a word, so the
// file is refused instead. Section and key names are compared without regard to case, as read.
void refuseDuplicates(Reader& r, const QByteArray& bytes) {
    QString section;
    QHash<QString, int> seen; // "section\nkey" -> line
    int lineNo = 0;
    for (QByteArray raw : bytes.split('\n')) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString id = section.toLower() + u'\n' + key.toLower();
        if (const auto it = seen.constFind(id); it != seen.cend())
            r.fail(section, key, QStringLiteral("given twice (lines %1 and %2)").arg(*it).arg(lineNo));
        else
            seen.insert(id, lineNo);
    }
}

// The check boxes of the PC protection: 0 or 1 as the window writes them, or yes/no, true/false,
// on/off. Anything else would read as "off" and leave the protection silently disabled.
void readCheckBoxes(Reader& r, ShutdownConfig& c) {
    static const QStringList on{"1", "yes", "true", "on"}, off{"0", "no", "false", "off"};
    for (const ShutdownCheckBox& k : kShutdownCheckBoxes) {
        if (!r.has(kShutEventsSection, k.name)) continue;
        const QString v = r.text(kShutEventsSection, k.name, QString()).toLower();
        if (on.contains(v)) c.*k.field = true;
        else if (off.contains(v)) c.*k.field = false;
        else r.fail(kShutEventsSection, k.name, QStringLiteral("'%1': use 1 or 0 (or yes/no, true/false, on/off)").arg(v));
    }
}

// The link of one UPS: each key from the first of `sections` that has it ([Ups NAME], then [Link]).
void readLink(Reader& r, const QStringList& sections, ConnectRequest& link, bool portGiven) {
    auto from = [&](const char* key) {
        for (const QString& s : sections)
            if (r.has(s, key)) return s;
        return sections.first(); // a key missing everywhere is missing in the UPS's own section
    };
    link.portName = r.text(from("Port"), "Port", QString());
    if (link.portName.isEmpty() && !portGiven) r.fail(from("Port"), "Port", "missing: give the serial port's path (e.g. /dev/ttyUSB0)");
    const QString proto = r.text(from("Protocol"), "Protocol", "ascii").toLower();
    if (proto != "ascii" && proto != "rtu") r.fail(from("Protocol"), "Protocol", QStringLiteral("'%1': use ascii or rtu").arg(proto));
    link.protocol = proto == "rtu" ? Protocol::Rtu : Protocol::Ascii;
    const QString baud = r.text(from("Baud"), "Baud", "auto").toLower();
    if (baud == "auto") {
        link.baudItem = kBaudAutoItem;
    } else {
        const auto it = std::find(kBaudItems.begin(), kBaudItems.end(), baud.toInt());
        if (it == kBaudItems.end()) r.fail(from("Baud"), "Baud", QStringLiteral("'%1': use auto, 1200, 2400, 4800, 9600, 14400, 19200 or 38400").arg(baud));
        else link.baudItem = int(it - kBaudItems.begin());
    }
    link.addressText = QString::number(r.number(from("Address"), "Address", 1, 1, 254));
    const QString model = r.text(from("Model"), "Model", "auto").toLower();
    bool ok = false;
    const int m = model.toInt(&ok);
    if (model == "auto") link.modelItem = 0;
    else if (ok && m >= 0 && m <= 8) link.modelItem = m + 1;
    else r.fail(from("Model"), "Model", QStringLiteral("'%1': use auto or 0..8").arg(model));
}

void readTiming(Reader& r, TimingOptions& timingOut) {
    const QString s = QStringLiteral("Link");
    const QString timing = r.text(s, "Timing", "fast");
    if (const std::optional<LinkTiming> t = parseLinkTiming(timing)) timingOut.mode = *t;
    else r.fail(s, "Timing", QStringLiteral("'%1': use fast or classic").arg(timing));
    timingOut.extraGapMs = r.number(s, "ExtraGapMs", 0, 0, kMaxExtraGapMs);
}

const QRegularExpression& listSeparator() {
    static const QRegularExpression sep(QStringLiteral("[ ,]+"));
    return sep;
}

bool validUpsName(const QString& name) {
    static const QRegularExpression upsName(QStringLiteral("^[A-Za-z0-9_.-]{1,32}$"));
    return upsName.match(name).hasMatch();
}

// Names in `key` of `section` that are not UPSes of the service.
void refuseUnknownUpses(Reader& r, const QString& section, const char* key, const QStringList& names,
                        const QVector<ZavdUpsConfig>& upses) {
    for (const QString& n : names)
        if (std::none_of(upses.begin(), upses.end(), [&](const ZavdUpsConfig& u) { return u.name == n; }))
            r.fail(section, key, QStringLiteral("'%1' is not one of the UPSes (UpsNames in [Server])").arg(n));
}

void readUsers(Reader& r, const QString& list, QVector<NutUser>& users) {
    const QRegularExpression& sep = listSeparator();
    for (const QString& name : list.split(sep, Qt::SkipEmptyParts)) {
        const QString s = QStringLiteral("User ") + name;
        NutUser u;
        u.name = name;
        u.password = r.text(s, "Password", QString());
        if (u.password.isEmpty()) r.fail(s, "Password", "missing: every user needs a password");
        for (const QString& a : r.text(s, "Actions", QString()).split(sep, Qt::SkipEmptyParts)) {
            if (a.compare("SET", Qt::CaseInsensitive) == 0) u.maySet = true;
            else if (a.compare("FSD", Qt::CaseInsensitive) == 0) u.mayForceShutdown = true;
            else r.fail(s, "Actions", QStringLiteral("'%1': use SET and FSD").arg(a));
        }
        u.commands = r.text(s, "InstCmds", QString()).split(sep, Qt::SkipEmptyParts);
        u.upsmon = r.text(s, "Upsmon", QString()).toLower();
        if (!u.upsmon.isEmpty() && u.upsmon != "primary" && u.upsmon != "secondary")
            r.fail(s, "Upsmon", QStringLiteral("'%1': use primary or secondary").arg(u.upsmon));
        u.upses = r.text(s, "Upses", QString()).split(sep, Qt::SkipEmptyParts);
        users << u;
    }
}

void readJournal(Reader& r, JournalSettings& j) {
    const QString s = QLatin1String(kJournalSection);
    const QString dir = r.text(s, "StateDirectory", QLatin1String(kDefaultZavdStateDirectory));
    if (dir.compare("off", Qt::CaseInsensitive) == 0) j.database.clear();
    else if (!QDir::isAbsolutePath(dir)) r.fail(s, "StateDirectory", QStringLiteral("'%1': give an absolute path, or off").arg(dir));
    else j.database = QDir(dir).filePath(QStringLiteral("journal.sqlite"));
    j.retention.maxAgeDays = r.number(s, "MaxAgeDays", j.retention.maxAgeDays, 1, 36500);
    j.retention.maxSizeMb = r.number(s, "MaxSizeMB", j.retention.maxSizeMb, 1, 100000);
    j.trends.maxAgeDays = j.retention.maxAgeDays;
    j.trends.maxSizeMb = r.number(s, "TrendMaxSizeMB", j.trends.maxSizeMb, 1, 100000);
    const QString c = QLatin1String(kEventCommandSection);
    j.hook.commandLine = r.text(c, "Program", QString());
    if (j.hook.commandLine.count(u'"') % 2 != 0) r.fail(c, "Program", "a quote is not closed");
    j.hook.timeoutSeconds = r.number(c, "TimeoutSeconds", j.hook.timeoutSeconds, 1, 3600);
}

} // namespace

QString loadZavdConfig(const QString& path, ZavdConfig& out, bool portGiven) {
    const BoundedRead file = readRegularFile(path, FileLimit::profile);
    if (!file.ok()) {
        const bool missing = !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
        return missing ? file.error + QStringLiteral(" (give --config PATH)") : file.error;
    }
    Reader r(path);
    refuseDuplicates(r, file.bytes);
    readTiming(r, out.timing);

    const QString s = QStringLiteral("Server");
    out.listenAddress = r.text(s, "Listen", out.listenAddress);
    if (QHostAddress(out.listenAddress).isNull())
        r.fail(s, "Listen", QStringLiteral("'%1' is not an IP address").arg(out.listenAddress));
    out.listenPort = r.number(s, "ListenPort", out.listenPort, 1, 65535);
    out.maxConnections = r.number(s, "MaxConnections", out.maxConnections, 1, 1024);
    const QStringList names = r.text(s, "UpsNames", QString()).split(listSeparator(), Qt::SkipEmptyParts);
    out.upses.clear();
    if (names.isEmpty()) {
        // Today's one-UPS file: [Link] and [Server] UpsName/Description.
        ZavdUpsConfig u;
        u.name = r.text(s, "UpsName", out.upsName);
        if (!validUpsName(u.name)) r.fail(s, "UpsName", QStringLiteral("'%1': letters, digits, '_', '.', '-' only").arg(u.name));
        u.description = r.text(s, "Description", out.description);
        readLink(r, {QStringLiteral("Link")}, u.link, portGiven);
        out.upses << u;
    } else {
        for (const QString& name : names) {
            if (!validUpsName(name)) r.fail(s, "UpsNames", QStringLiteral("'%1': letters, digits, '_', '.', '-' only").arg(name));
            if (std::any_of(out.upses.begin(), out.upses.end(), [&](const ZavdUpsConfig& u) { return u.name == name; }))
                r.fail(s, "UpsNames", QStringLiteral("'%1' given twice").arg(name));
            ZavdUpsConfig u;
            u.name = name;
            const QString section = QStringLiteral("Ups ") + name;
            u.description = r.text(section, "Description", out.description);
            // Several UPSes: a port on the command line would put them all on one line unasked.
            readLink(r, {section, QStringLiteral("Link")}, u.link, false);
            out.upses << u;
        }
        if (r.error().isEmpty())
            if (const QString e = checkSharedPorts(out.upses); !e.isEmpty()) r.fail(s, "UpsNames", e);
    }
    out.link = out.upses.front().link;
    out.upsName = out.upses.front().name;
    out.description = out.upses.front().description;
    readUsers(r, r.text(s, "Users", QString()), out.users);
    for (const NutUser& u : out.users)
        refuseUnknownUpses(r, QStringLiteral("User ") + u.name, "Upses", u.upses, out.upses);

    const QString power = r.text("Power", "PowerOff", "dry-run").toLower();
    if (power != "dry-run" && power != "system") r.fail("Power", "PowerOff", QStringLiteral("'%1': use dry-run or system").arg(power));
    out.dryRun = power != "system";
    out.fedBy = r.text("Power", "FedBy", out.upsName).split(listSeparator(), Qt::SkipEmptyParts);
    refuseUnknownUpses(r, "Power", "FedBy", out.fedBy, out.upses);
    const QString rule = r.text("Power", "FedByRule", "any").toLower();
    if (rule != "any" && rule != "all") r.fail("Power", "FedByRule", QStringLiteral("'%1': use any or all").arg(rule));
    out.fedByAll = rule == "all";

    // The protection keys: the same reader as the window's, then the checks it leaves out (the
    // window's controls cannot hold a bad number; a hand-written file can).
    out.shutdown = loadShutdownConfig(r.profile());
    readCheckBoxes(r, out.shutdown);
    for (const ShutdownRange& range : kShutdownRanges)
        r.number(kShutEventsSection, range.name, 0, range.min, range.max);

    readJournal(r, out.journal);

    // zavd runs as root: the program line runs as root too, so it is taken only from a file no
    // other user can change; passwords in a file others can read are worth a warning.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (out.shutdown.runProgram && !out.shutdown.programLine.trimmed().isEmpty() && (st.st_mode & (S_IWGRP | S_IWOTH)))
            r.fail(kShutEventsSection, "EditRunExProcedureAddr",
                   QStringLiteral("refused: other users can write this file and the program would run as this service's "
                                  "user (chmod go-w %1)").arg(path));
        if (!out.journal.hook.commandLine.isEmpty() && (st.st_mode & (S_IWGRP | S_IWOTH)))
            r.fail(kEventCommandSection, "Program",
                   QStringLiteral("refused: other users can write this file and the program would run as this service's "
                                  "user (chmod go-w %1)").arg(path));
        if (!out.users.isEmpty() && (st.st_mode & (S_IRGRP | S_IROTH)))
            out.warnings << QStringLiteral("%1: holds passwords and other users can read it (chmod go-r %1)").arg(path);
    }
    return r.error();
}

QString checkSharedPorts(const QVector<ZavdUpsConfig>& upses) {
    for (int i = 0; i < upses.size(); ++i) {
        for (int j = i + 1; j < upses.size(); ++j) {
            const ConnectRequest& a = upses[i].link;
            const ConnectRequest& b = upses[j].link;
            if (a.portName != b.portName) continue;
            const QString pair = QStringLiteral("%1 and %2 share %3").arg(upses[i].name, upses[j].name, a.portName);
            if (a.baudItem == kBaudAutoItem || b.baudItem == kBaudAutoItem)
                return pair + QStringLiteral(": give their Baud (auto searches the rate of one UPS alone)");
            if (a.baudItem != b.baudItem) return pair + QStringLiteral(" at different Baud rates");
            if (a.protocol != b.protocol) return pair + QStringLiteral(" with different Protocols");
            if (a.addressText == b.addressText) return pair + QStringLiteral(" at the same Address %1").arg(a.addressText);
        }
    }
    return {};
}

} // namespace zav
