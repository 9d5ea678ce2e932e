// zavctl shutdown-policy --check: prints the PC-shutdown policy as the window loads it from ZAV.ini
// (the confirmed settings and what they come to: countdowns and the delays sent to the UPS), so a
// setup can be checked from a shell before a real utility failure tests it.

#include "CtlCommon.h"
#include "Commands.h"
#include "foundation/ConfigLocation.h"
#include "foundation/BoundedFile.h"
#include "foundation/ProfileFile.h"
#include "protect/ShutdownConfig.h"
#include "protect/ShutdownPolicy.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

const char* kPolicyUsage = "usage: zavctl shutdown-policy --check [--config PATH] [--model 0..8]\n";

} // namespace

int runShutdownPolicy(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    p.addOption({"check", "Print the policy loaded from ZAV.ini as JSON."});
    p.addOption({"config", "The ZAV.ini to read (default: where zav keeps it).", "path"});
    p.addOption({"model", "Also say whether the protection runs for this UpsModel.", "n"});
    if (int code = parseCommandLine(p, args, kPolicyUsage); code >= 0) return code;
    if (!p.isSet("check") || !p.positionalArguments().isEmpty()) return fail(ExitUsage, kPolicyUsage);
    const QString path = profilePathForProcess(p.value("config"), QCoreApplication::applicationDirPath());
    int model = -1;
    if (p.isSet("model")) {
        bool ok = false;
        model = p.value("model").toInt(&ok);
        if (!ok || model < 0 || model > 8) return fail(ExitUsage, "bad --model: use 0..8");
    }
    const ProfileFile profile(path);
    if (!profile.exists()) note(QStringLiteral("no %1: the defaults apply").arg(path));
    else if (const QString problem = regularFileProblem(path, FileLimit::profile); !problem.isEmpty())
        return fail(ExitFailed, problem); // a FIFO, a device or a huge file is not a profile
    const ShutdownConfig c = loadShutdownConfig(profile);
    ShutdownPolicy policy;
    policy.load(c);

    QJsonObject o;
    o["config"] = path;
    o["enabled"] = c.enabled;
    o["utilityCountdownSeconds"] = policy.delay(ShutdownPolicy::Utility);
    o["utilityUpsOff"] = c.utilityUpsOff;
    o["utilityUpsDelaySeconds"] = policy.upsDelay(ShutdownPolicy::Utility);
    o["batteryCountdownSeconds"] = policy.delay(ShutdownPolicy::Battery);
    o["batteryUpsOff"] = c.batteryUpsOff;
    o["batteryUpsDelaySeconds"] = policy.upsDelay(ShutdownPolicy::Battery);
    o["runProgram"] = c.runProgram;
    o["programLine"] = c.programLine;
    o["programWaitSeconds"] = c.maxRunMinutes * 60;
    o["closeApps"] = c.saveFiles;
    o["showSavedFiles"] = c.showSavedFiles;
    if (model >= 0) o["protectedModel"] = protectionModel(model);
    std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
    Q_UNUSED(app);
    return ExitOk;
}

} // namespace zavctl
