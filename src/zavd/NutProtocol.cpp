#include "zavd/NutProtocol.h"

#include <algorithm>

#include <QUuid>

namespace zav {

namespace {

using Reply = NutSession::Reply;

Reply one(const QByteArray& line, bool close = false) {
    return {{line}, close};
}
Reply err(const char* name) {
    return one(QByteArray("ERR ") + name);
}

const char* const kHelp = "Commands: HELP VER GET LIST SET INSTCMD LOGIN LOGOUT USERNAME PASSWORD STARTTLS";

} // namespace

QString LogThrottle::pass(const QString& line, qint64 nowMs) {
    if (windowStart_ < 0 || nowMs - windowStart_ >= windowMs_) {
        windowStart_ = nowMs;
        inWindow_ = 0;
    }
    if (inWindow_ >= burst_) {
        ++dropped_;
        return {};
    }
    ++inWindow_;
    if (dropped_ == 0) return line;
    const QString out = QStringLiteral("%1 (%2 lines dropped before this one)").arg(line).arg(dropped_);
    dropped_ = 0;
    return out;
}

QString printable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::ReplacementCharacter)
            out += QStringLiteral("\\x%1").arg(c.unicode() & 0xFF, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

bool NutUser::mayRun(const QString& command) const {
    for (const QString& c : commands)
        if (c.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0 || c == command) return true;
    return false;
}

NutUps::NutUps(NutDevice& device, QString name, QString description, QVector<NutUser> users)
    : device_(device), name_(std::move(name)), description_(std::move(description)), users_(std::move(users)) {}

const NutUser* NutUps::user(const QString& name) const {
    for (const NutUser& u : users_)
        if (u.name == name) return &u;
    return nullptr;
}

QString NutUps::startTracking(Tracked kind) {
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    tracked_.append({id, Outcome::Pending});
    if (tracked_.size() > kTrackedIds) tracked_.removeFirst();
    pending_[int(kind)].append(id);
    return id;
}

QString NutUps::finishedTracking(bool success) {
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    tracked_.append({id, success ? Outcome::Success : Outcome::Failed});
    if (tracked_.size() > kTrackedIds) tracked_.removeFirst();
    return id;
}

void NutUps::trackingEnded(Tracked kind, bool success) {
    if (pending_[int(kind)].isEmpty()) return;
    const QString id = pending_[int(kind)].takeFirst();
    for (auto& [known, outcome] : tracked_)
        if (known == id && outcome == Outcome::Pending) outcome = success ? Outcome::Success : Outcome::Failed;
}

QByteArray NutUps::trackingStatus(const QString& id) const {
    for (const auto& [known, outcome] : tracked_)
        if (known == id)
            return outcome == Outcome::Pending ? "PENDING" : outcome == Outcome::Success ? "SUCCESS" : "ERR FAILED";
    return "ERR UNKNOWN";
}

NutSession::NutSession(NutUps& ups, QString peer) : NutSession(QVector<NutUps*>{&ups}, std::move(peer)) {}

NutSession::NutSession(QVector<NutUps*> upses, QString peer) : upses_(std::move(upses)), peer_(std::move(peer)) {}

NutSession::~NutSession() {
    if (loginUps_) loginUps_->clients_.removeOne(address());
}

NutUps* NutSession::find(const QString& name) const {
    for (NutUps* u : upses_)
        if (u->name() == name) return u;
    return nullptr;
}

QString NutSession::address() const {
    // The server names a peer "address:port"; LIST CLIENT shows the address as upsd does.
    const qsizetype colon = peer_.lastIndexOf(':');
    bool port = false;
    if (colon > 0) peer_.mid(colon + 1).toUShort(&port);
    return port ? peer_.left(colon) : peer_;
}

std::optional<Reply> NutSession::credentialsMissing() const {
    if (username_.isEmpty()) return err("USERNAME-REQUIRED");
    if (!passwordSet_) return err("PASSWORD-REQUIRED");
    return std::nullopt;
}

std::optional<QStringList> NutSession::split(const QByteArray& line) {
    QStringList words;
    QByteArray word;
    bool inWord = false, quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (c == '"') {
            if (quoted) {
                words << QString::fromUtf8(word);
                word.clear();
                inWord = false;
            } else if (inWord) {
                words << QString::fromUtf8(word);
                word.clear();
            }
            quoted = !quoted;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words << QString::fromUtf8(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) return std::nullopt;
    if (inWord) words << QString::fromUtf8(word);
    return words;
}

QByteArray NutSession::quote(const QString& value) {
    QByteArray out = "\"";
    for (const char c : value.toUtf8()) {
        if (c == '"' || c == '\\') out += '\\';
        // A line end inside a value would end the reply line: never sent.
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out + '"';
}

void NutSession::note(const QString& line) const {
    const NutUps& first = *upses_.front(); // the users and the log are the service's
    if (first.log) first.log(printable(QStringLiteral("%1: %2").arg(peer_, line)));
}

const NutUser* NutSession::authenticated() const {
    const NutUser* u = upses_.front()->user(username_);
    return u && passwordSet_ && u->password == password_ ? u : nullptr;
}

const NutUser* NutSession::authenticatedFor(const NutUps& ups) const {
    const NutUser* u = authenticated();
    return u && u->mayUse(ups.name()) ? u : nullptr;
}

std::optional<NutVar> NutSession::variable(const NutUps& ups, const QString& name) {
    for (const NutVar& v : ups.device().variables())
        if (v.name == name) return v;
    return std::nullopt;
}

Reply NutSession::handle(const QByteArray& raw) {
    const std::optional<QStringList> parsed = split(raw);
    if (!parsed) return err("INVALID-ARGUMENT");
    const QStringList& w = *parsed;
    if (w.isEmpty()) return {};
    if (w.size() > kMaxWords) return err("INVALID-ARGUMENT");
    const QString cmd = w[0].toUpper();
    if (cmd == "VER" && w.size() == 1) return one("Network UPS Tools upsd 2.8.0 - zavd " ZAVD_VERSION);
    if ((cmd == "NETVER" || cmd == "PROTVER") && w.size() == 1) return one("1.3");
    if (cmd == "HELP" && w.size() == 1) return one(kHelp);
    if (cmd == "STARTTLS") return err("FEATURE-NOT-CONFIGURED");
    if (cmd == "LIST") return list(w);
    if (cmd == "GET") return get(w);
    if (cmd == "SET" && w.size() >= 2 && w[1].toUpper() == "TRACKING") return setTracking(w);
    if (cmd == "SET") return set(w);
    if (cmd == "INSTCMD") return instcmd(w);
    if (cmd == "LOGIN") return login(w);
    if (cmd == "PRIMARY" || cmd == "MASTER") return primary(w, cmd == "MASTER");
    if (cmd == "FSD") return fsd(w);
    if (cmd == "LOGOUT") return one("OK Goodbye", true);
    if (cmd == "USERNAME" || cmd == "PASSWORD") {
        if (w.size() != 2) return err("INVALID-ARGUMENT");
        if (cmd == "USERNAME") {
            if (!username_.isEmpty()) return err("ALREADY-SET-USERNAME");
            username_ = w[1];
        } else {
            if (passwordSet_) return err("ALREADY-SET-PASSWORD");
            password_ = w[1];
            passwordSet_ = true;
        }
        return one("OK");
    }
    if (cmd == "VER" || cmd == "NETVER" || cmd == "PROTVER" || cmd == "HELP") return err("INVALID-ARGUMENT");
    return err("UNKNOWN-COMMAND");
}

namespace {
// upsd lists variables and commands in the order of their names, letter case aside.
bool listedBefore(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}
} // namespace

Reply NutSession::list(const QStringList& w) {
    if (w.size() < 2) return err("INVALID-ARGUMENT");
    const QString what = w[1].toUpper();
    if (what == "UPS" && w.size() == 2) {
        Reply r;
        r.lines << "BEGIN LIST UPS";
        for (const NutUps* u : upses_) r.lines << "UPS " + u->name().toUtf8() + ' ' + quote(u->description());
        r.lines << "END LIST UPS";
        return r;
    }
    if (what == "CLIENT") return listClients(w);
    const bool perVar = what == "ENUM" || what == "RANGE";
    if (w.size() != (perVar ? 4 : 3) || !(what == "VAR" || what == "RW" || what == "CMD" || perVar))
        return err("INVALID-ARGUMENT");
    NutUps* found = find(w[2]);
    if (!found) return err("UNKNOWN-UPS");
    NutUps& unit = *found;
    const QByteArray tail = ' ' + w.mid(2).join(' ').toUtf8();
    const QByteArray ups = unit.name().toUtf8();
    Reply r;
    if (what == "CMD") {
        if (!unit.device().modelKnown()) return err("DATA-STALE");
        r.lines << "BEGIN LIST CMD" + tail;
        QVector<NutDevice::Command> commands = unit.device().commands();
        std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return listedBefore(a.name, b.name); });
        for (const NutDevice::Command& c : commands) r.lines << "CMD " + ups + ' ' + c.name.toUtf8();
        r.lines << "END LIST CMD" + tail;
        return r;
    }
    if (!unit.device().online()) return err("DATA-STALE");
    if (perVar) {
        const std::optional<NutVar> v = variable(unit, w[3]);
        if (!v) return err("VAR-NOT-SUPPORTED");
        r.lines << "BEGIN LIST " + what.toUtf8() + tail;
        if (what == "ENUM")
            for (const QString& e : v->enums)
                r.lines << "ENUM " + ups + ' ' + v->name.toUtf8() + ' ' + quote(e);
        if (what == "RANGE" && !v->rangeMin.isEmpty())
            r.lines << "RANGE " + ups + ' ' + v->name.toUtf8() + ' ' + quote(v->rangeMin) + ' ' + quote(v->rangeMax);
        r.lines << "END LIST " + what.toUtf8() + tail;
        return r;
    }
    r.lines << "BEGIN LIST " + what.toUtf8() + tail;
    QVector<NutVar> variables = unit.device().variables();
    std::sort(variables.begin(), variables.end(), [](const NutVar& a, const NutVar& b) { return listedBefore(a.name, b.name); });
    for (const NutVar& v : variables)
        if (what == "VAR" || v.writable)
            r.lines << (what == "VAR" ? "VAR " : "RW ") + ups + ' ' + v.name.toUtf8() + ' ' + quote(v.value);
    r.lines << "END LIST " + what.toUtf8() + tail;
    return r;
}

Reply NutSession::get(const QStringList& w) {
    if (w.size() >= 2 && w[1].toUpper() == "TRACKING") {
        if (w.size() == 2) return one(tracking_ ? "ON" : "OFF");
        if (w.size() == 3) {
            if (!tracking_) return err("FEATURE-NOT-CONFIGURED");
            for (const NutUps* u : upses_)
                if (const QByteArray status = u->trackingStatus(w[2]); status != "ERR UNKNOWN") return one(status);
            return one("ERR UNKNOWN");
        }
        return err("INVALID-ARGUMENT");
    }
    if (w.size() < 3) return err("INVALID-ARGUMENT");
    const QString what = w[1].toUpper();
    NutUps* found = find(w[2]);
    if (what == "UPSDESC" || what == "NUMLOGINS") {
        if (w.size() != 3) return err("INVALID-ARGUMENT");
        if (!found) return err("UNKNOWN-UPS");
        const NutUps& unit = *found;
        const QByteArray ups = unit.name().toUtf8();
        if (what == "UPSDESC") return one("UPSDESC " + ups + ' ' + quote(unit.description()));
        return one("NUMLOGINS " + ups + ' ' + QByteArray::number(unit.logins()));
    }
    if (w.size() != 4) return err("INVALID-ARGUMENT");
    if (what != "VAR" && what != "TYPE" && what != "DESC" && what != "CMDDESC") return err("INVALID-ARGUMENT");
    if (!found) return err("UNKNOWN-UPS");
    const NutUps& unit = *found;
    const QByteArray ups = unit.name().toUtf8();
    const QByteArray name = w[3].toUtf8();
    if (what == "CMDDESC") {
        if (!unit.device().modelKnown()) return err("DATA-STALE");
        QString description = QStringLiteral("Description unavailable"); // upsd's answer for any other name
        for (const NutDevice::Command& c : unit.device().commands())
            if (c.name == w[3] && !c.description.isEmpty()) description = c.description;
        return one("CMDDESC " + ups + ' ' + name + ' ' + quote(description));
    }
    if (!unit.device().online()) return err("DATA-STALE");
    const std::optional<NutVar> v = variable(unit, w[3]);
    if (!v) return err("VAR-NOT-SUPPORTED");
    if (what == "VAR") return one("VAR " + ups + ' ' + name + ' ' + quote(v->value));
    if (what == "TYPE") return one("TYPE " + ups + ' ' + name + ' ' + v->type.toUtf8());
    return one("DESC " + ups + ' ' + name + ' ' +
               quote(v->description.isEmpty() ? QStringLiteral("Description unavailable") : v->description));
}

Reply NutSession::set(const QStringList& w) {
    if (w.size() != 5 || w[1].toUpper() != "VAR") return err("INVALID-ARGUMENT");
    NutUps* found = find(w[2]);
    if (!found) return err("UNKNOWN-UPS");
    NutUps& unit = *found;
    if (auto missing = credentialsMissing()) return *missing;
    const NutUser* u = authenticatedFor(unit);
    if (!u || !u->maySet) {
        note(QStringLiteral("SET VAR %1 refused to user '%2'").arg(w[3], username_));
        return err("ACCESS-DENIED");
    }
    if (!unit.device().online()) return err("DATA-STALE");
    const std::optional<NutVar> v = variable(unit, w[3]);
    if (!v) return err("VAR-NOT-SUPPORTED");
    if (!v->writable) return err("READONLY");
    if (const int at = v->type.indexOf(QLatin1String("STRING:")); at >= 0 && w[4].toUtf8().size() > v->type.mid(at + 7).toInt())
        return err("TOO-LONG");
    if (!v->enums.isEmpty() && !v->enums.contains(w[4])) return err("INVALID-VALUE");
    const QString result = unit.device().setVariable(w[3], w[4]);
    note(QStringLiteral("user '%1': SET VAR %2 %3 \"%4\": %5")
             .arg(username_, unit.name(), w[3], w[4], result.isEmpty() ? QStringLiteral("handed to the UPS") : result));
    if (!result.isEmpty()) return one("ERR " + result.section(':', 0, 0).toUtf8());
    return accepted(unit, NutUps::Tracked::Setting, !unit.device().settingPending());
}

Reply NutSession::instcmd(const QStringList& w) {
    if (w.size() != 3 && w.size() != 4) return err("INVALID-ARGUMENT");
    NutUps* found = find(w[1]);
    if (!found) return err("UNKNOWN-UPS");
    NutUps& unit = *found;
    if (auto missing = credentialsMissing()) return *missing;
    const NutUser* u = authenticatedFor(unit);
    if (!u || !u->mayRun(w[2])) {
        note(QStringLiteral("INSTCMD %1 refused to user '%2'").arg(w[2], username_));
        return err("ACCESS-DENIED");
    }
    bool known = false;
    for (const NutDevice::Command& c : unit.device().commands()) known = known || c.name == w[2];
    if (!known) return err("CMD-NOT-SUPPORTED");
    const QString parameter = w.size() == 4 ? w[3] : QString();
    const QString result = unit.device().runCommand(w[2], parameter);
    note(QStringLiteral("user '%1': INSTCMD %2 %3%4: %5")
             .arg(username_, unit.name(), w[2], parameter.isEmpty() ? QString() : ' ' + parameter,
                  result.isEmpty() ? QStringLiteral("handed to the UPS") : result));
    if (!result.isEmpty()) return one("ERR " + result.section(':', 0, 0).toUtf8());
    return accepted(unit, NutUps::Tracked::Command, false);
}

Reply NutSession::setTracking(const QStringList& w) {
    if (w.size() != 3) return err("INVALID-ARGUMENT");
    const QString value = w[2].toUpper();
    if (value != "ON" && value != "OFF") return err("INVALID-ARGUMENT");
    if (auto missing = credentialsMissing()) return *missing;
    tracking_ = value == "ON";
    return one("OK");
}

Reply NutSession::accepted(NutUps& ups, NutUps::Tracked kind, bool done) {
    // Every hand-over gets its place in the order, tracked or not, so that each end closes its own.
    const QString id = done ? ups.finishedTracking(true) : ups.startTracking(kind);
    return tracking_ ? one("OK TRACKING " + id.toUtf8()) : one("OK");
}

Reply NutSession::login(const QStringList& w) {
    if (w.size() != 2) return err("INVALID-ARGUMENT");
    if (loggedIn_) return err("ALREADY-LOGGED-IN");
    if (auto missing = credentialsMissing()) return *missing;
    NutUps* found = find(w[1]);
    if (!found) return err("UNKNOWN-UPS");
    const NutUser* u = authenticated();
    if (!u) {
        note(QStringLiteral("login of user '%1' refused: wrong user name or password").arg(username_));
        return err("ACCESS-DENIED");
    }
    if (!u->mayUse(found->name())) {
        note(QStringLiteral("login of user '%1' to %2 refused: not one of the user's UPSes").arg(username_, found->name()));
        return err("ACCESS-DENIED");
    }
    // Only upsmon users log in: a login counts in NUMLOGINS, which a primary waits for before it
    // shuts down, so a login by any other client would hold the shutdown back.
    if (u->upsmon.isEmpty()) {
        note(QStringLiteral("login of user '%1' refused: not an upsmon user").arg(username_));
        return err("ACCESS-DENIED");
    }
    loggedIn_ = true;
    loginUps_ = found;
    found->clients_ << address();
    note(QStringLiteral("user '%1' logged in to %2").arg(username_, found->name()));
    return one("OK");
}

Reply NutSession::listClients(const QStringList& w) {
    if (w.size() != 3) return err("INVALID-ARGUMENT");
    const NutUps* found = find(w[2]);
    if (!found) return err("UNKNOWN-UPS");
    const NutUps& unit = *found;
    const QByteArray ups = unit.name().toUtf8();
    Reply r;
    r.lines << "BEGIN LIST CLIENT " + ups;
    for (const QString& client : unit.clients()) r.lines << "CLIENT " + ups + ' ' + client.toUtf8();
    r.lines << "END LIST CLIENT " + ups;
    return r;
}

Reply NutSession::primary(const QStringList& w, bool oldName) {
    if (w.size() != 2) return err("INVALID-ARGUMENT");
    if (auto missing = credentialsMissing()) return *missing;
    const NutUps* found = find(w[1]);
    if (!found) return err("UNKNOWN-UPS");
    const NutUser* u = authenticatedFor(*found);
    if (!u || u->upsmon.compare(QLatin1String("primary"), Qt::CaseInsensitive) != 0) return err("ACCESS-DENIED");
    return one(oldName ? "OK MASTER-GRANTED" : "OK PRIMARY-GRANTED");
}

Reply NutSession::fsd(const QStringList& w) {
    if (w.size() != 2) return err("INVALID-ARGUMENT");
    if (auto missing = credentialsMissing()) return *missing;
    NutUps* found = find(w[1]);
    if (!found) return err("UNKNOWN-UPS");
    NutUps& unit = *found;
    const NutUser* u = authenticatedFor(unit);
    const bool primaryUser = u && u->upsmon.compare(QLatin1String("primary"), Qt::CaseInsensitive) == 0;
    if (!u || !(primaryUser || u->mayForceShutdown)) {
        note(QStringLiteral("FSD refused to user '%1'").arg(username_));
        return err("ACCESS-DENIED");
    }
    unit.setForcedShutdown();
    note(QStringLiteral("user '%1' set forced shutdown (FSD) on %2").arg(username_, unit.name()));
    return one("OK FSD-SET");
}

} // namespace zav
