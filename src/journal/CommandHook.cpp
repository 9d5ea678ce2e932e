#include "journal/CommandHook.h"

#include "journal/JournalFormat.h"

#include <QProcess>
#include <QTimer>

namespace zav {

CommandHook::CommandHook(QObject* parent) : QObject(parent) {}

CommandHook::~CommandHook() {
    // A run still going when the program ends is not waited for: it is killed with its process
    // object, so no child outlives its time limit.
    for (QProcess* p : std::as_const(running_)) {
        p->disconnect(this);
        p->kill();
        p->waitForFinished(1000);
        delete p;
    }
}

bool CommandHook::setSettings(const HookSettings& settings) {
    settings_ = settings;
    program_.clear();
    arguments_.clear();
    // splitCommand takes an unclosed quote as running to the end of the line; a line the user
    // mistyped that way would run something other than meant, so it is refused.
    if (settings.commandLine.count(u'"') % 2 != 0) return false;
    const QStringList parts = QProcess::splitCommand(settings.commandLine);
    if (parts.isEmpty()) return settings.commandLine.trimmed().isEmpty();
    program_ = parts.first();
    arguments_ = parts.mid(1);
    return true;
}

QStringList CommandHook::environment(const UpsEvent& event, const QStringList& base) {
    QStringList env;
    static const QStringList ours{"ZAV_EVENT=", "ZAV_KIND=", "ZAV_TEXT=", "ZAV_UPS=", "ZAV_TIME=", "ZAV_DETAILS="};
    for (const QString& line : base) {
        const bool replaced = std::any_of(ours.begin(), ours.end(), [&](const QString& k) { return line.startsWith(k); });
        if (!replaced) env << line;
    }
    env << QStringLiteral("ZAV_EVENT=") + event.name() << QStringLiteral("ZAV_KIND=") + event.kind()
        << QStringLiteral("ZAV_TEXT=") + event.text << QStringLiteral("ZAV_UPS=") + event.ups
        << QStringLiteral("ZAV_TIME=") + journalTimeText(event.time) << QStringLiteral("ZAV_DETAILS=") + event.details;
    return env;
}

void CommandHook::run(const UpsEvent& event) {
    if (!enabled()) return;
    if (waiting_.size() >= kMaxWaiting) {
        ++dropped_;
        emit note(QStringLiteral("event command: %1 runs still going, event %2 not passed on").arg(running()).arg(event.name()));
        return;
    }
    waiting_.append(event);
    startNext();
}

void CommandHook::startNext() {
    while (!waiting_.isEmpty() && running_.size() < std::max(1, settings_.maxRunning)) {
        const UpsEvent event = waiting_.takeFirst();
        auto* p = new QProcess;
        p->setProgram(program_);
        p->setArguments(arguments_);
        p->setEnvironment(environment(event, QProcess::systemEnvironment()));
        p->setStandardInputFile(QProcess::nullDevice());
        p->setStandardOutputFile(QProcess::nullDevice());
        p->setStandardErrorFile(QProcess::nullDevice());
        auto* limit = new QTimer(p);
        limit->setSingleShot(true);
        auto timedOut = std::make_shared<bool>(false);
        connect(limit, &QTimer::timeout, p, [p, timedOut] {
            *timedOut = true;
            p->kill();
        });
        const QString name = event.name();
        const auto done = [this, p, name, timedOut](int code, bool startFailed) {
            running_.removeOne(p);
            p->deleteLater();
            if (*timedOut) emit note(QStringLiteral("event command for %1 killed after its time limit").arg(name));
            else if (startFailed) emit note(QStringLiteral("event command %1 could not be started: %2").arg(program_, p->errorString()));
            emit ended(name, code, *timedOut, startFailed);
            startNext();
        };
        connect(p, &QProcess::finished, this, [done](int code, QProcess::ExitStatus) { done(code, false); });
        connect(p, &QProcess::errorOccurred, this, [p, done](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) done(-1, true);
            Q_UNUSED(p);
        });
        running_.append(p);
        limit->start(settings_.timeoutSeconds * 1000);
        p->start();
    }
}

} // namespace zav
