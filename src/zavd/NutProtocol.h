#pragma once
// The NUT network protocol (the language of upsd on TCP port 3493) as plain classes: a request line
// goes in, reply lines come out. No socket and no clock: the TCP server feeds lines and writes
// replies, the tests feed a table of lines.
//
// NutUps holds what all clients share: the device behind (variables, commands, writes), the users,
// the number of logins and the forced-shutdown flag. NutSession is one client's state (user name,
// password, login).

#include "zavd/NutVariables.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace zav {

// What zavd's device offers; ZavdDevice implements it on the scheduler, tests on a table.
class NutDevice {
  public:
    virtual ~NutDevice() = default;
    // False while the UPS does not answer: reads then say DATA-STALE.
    virtual bool online() const = 0;
    virtual QVector<NutVar> variables() const = 0; // read-only and writable ones
    struct Command {
        QString name;
        QString description;
    };
    virtual QVector<Command> commands() const = 0;
    // Empty when the command was handed to the UPS, else the NUT error name (INVALID-ARGUMENT,
    // CMD-NOT-SUPPORTED, INSTCMD-FAILED, ...) with an optional reason for the log after a colon.
    virtual QString runCommand(const QString& name, const QString& parameter) = 0;
    virtual QString setVariable(const QString& name, const QString& value) = 0;
    // After a successful setVariable: false when nothing had to be written (the UPS held the value).
    virtual bool settingPending() const = 0;
    // The commands depend on the model: until it is known they say DATA-STALE, as the variables do.
    virtual bool modelKnown() const { return online(); }
};

// At most `burst` lines per window of `windowMs`; the first line let through after a window that
// dropped some says how many ("... (12 similar lines dropped)"). Time comes in, nothing is read.
class LogThrottle {
  public:
    LogThrottle(int burst, qint64 windowMs) : burst_(burst), windowMs_(windowMs) {}
    // The line to write now, or an empty string when it is dropped.
    QString pass(const QString& line, qint64 nowMs);
    int dropped() const { return dropped_; }

  private:
    int burst_;
    qint64 windowMs_;
    qint64 windowStart_ = -1;
    int inWindow_ = 0;
    int dropped_ = 0;
};

// A client's text as it may reach the log: control characters (NUL, line ends, escapes) shown as
// \xNN so that a client can neither forge log lines nor hide what it sent.
QString printable(const QString& text);

struct NutUser {
    QString name;
    QString password;
    bool mayForceShutdown = false; // actions = FSD
    bool maySet = false;           // actions = SET
    QStringList commands;          // instcmds; "all" allows every command
    QString upsmon;                // "primary", "secondary" or empty
    QStringList upses;             // the UPSes this user may act on; empty: every one
    bool mayRun(const QString& command) const;
    bool mayUse(const QString& ups) const { return upses.isEmpty() || upses.contains(ups); }
};

class NutUps {
  public:
    NutUps(NutDevice& device, QString name, QString description, QVector<NutUser> users);

    NutDevice& device() { return device_; }
    const NutDevice& device() const { return device_; }
    const QString& name() const { return name_; }
    const QString& description() const { return description_; }
    const NutUser* user(const QString& name) const;
    int logins() const { return int(clients_.size()); }
    const QStringList& clients() const { return clients_; } // addresses of the logged-in clients
    bool forcedShutdown() const { return fsd_; }
    void setForcedShutdown() { fsd_ = true; }

    // TRACKING: a command or a setting handed to the UPS gets an id; the device says later how it
    // ended. The device carries out each kind in the order it was handed over, so the ids of a kind
    // wait in that order and each end closes the oldest. The newest ids are kept (kTrackedIds).
    enum class Tracked { Command, Setting };
    static constexpr int kTrackedIds = 64;
    QString startTracking(Tracked kind);
    QString finishedTracking(bool success); // an id for something already done
    void trackingEnded(Tracked kind, bool success);
    QByteArray trackingStatus(const QString& id) const; // PENDING, SUCCESS, ERR FAILED, ERR UNKNOWN

    std::function<void(const QString&)> log; // who did what, for the journal

  private:
    friend class NutSession;
    NutDevice& device_;
    QString name_;
    QString description_;
    QVector<NutUser> users_;
    QStringList clients_; // one entry per logged-in session (LIST CLIENT, NUMLOGINS)
    bool fsd_ = false;
    enum class Outcome { Pending, Success, Failed };
    QVector<std::pair<QString, Outcome>> tracked_; // oldest first
    QStringList pending_[2];                        // by Tracked, oldest first
};

class NutSession {
  public:
    static constexpr int kMaxLineBytes = 512; // longer request lines are refused
    static constexpr int kMaxWords = 16;

    NutSession(NutUps& ups, QString peer);
    // A service with several UPSes: every request names the one it is about (at least one).
    NutSession(QVector<NutUps*> upses, QString peer);
    ~NutSession(); // a logged-in client that goes counts no longer
    NutSession(const NutSession&) = delete;
    NutSession& operator=(const NutSession&) = delete;

    struct Reply {
        QByteArrayList lines; // without line ends
        bool close = false;   // the server closes the connection after sending them
    };
    Reply handle(const QByteArray& line);

    bool loggedIn() const { return loggedIn_; }
    const QString& peer() const { return peer_; }

    // Splits a request line into words: blanks separate, "double quotes" group, a backslash
    // escapes the next character. Nothing for an unterminated quote.
    static std::optional<QStringList> split(const QByteArray& line);
    static QByteArray quote(const QString& value);

  private:
    Reply list(const QStringList& w);
    Reply get(const QStringList& w);
    Reply set(const QStringList& w);
    Reply instcmd(const QStringList& w);
    Reply login(const QStringList& w);
    Reply primary(const QStringList& w, bool oldName);
    Reply fsd(const QStringList& w);
    Reply setTracking(const QStringList& w);
    Reply listClients(const QStringList& w);
    // USERNAME-REQUIRED or PASSWORD-REQUIRED while either is missing, as upsd answers actions.
    std::optional<Reply> credentialsMissing() const;
    QString address() const; // the peer without its port
    // "OK", or "OK TRACKING <id>" with TRACKING on (an id that is already done when `done`).
    Reply accepted(NutUps& ups, NutUps::Tracked kind, bool done);
    const NutUser* authenticated() const; // the user when name and password match, else nullptr
    // ... and may act on `ups`; a user limited to other UPSes is refused as a wrong one would be.
    const NutUser* authenticatedFor(const NutUps& ups) const;
    NutUps* find(const QString& name) const; // nullptr for a name the service does not have
    static std::optional<NutVar> variable(const NutUps& ups, const QString& name);
    void note(const QString& line) const;

    QVector<NutUps*> upses_;
    NutUps* loginUps_ = nullptr; // the UPS this client logged in to
    QString peer_;
    QString username_;
    QString password_;
    bool passwordSet_ = false;
    bool loggedIn_ = false;
    bool tracking_ = false;
};

} // namespace zav
