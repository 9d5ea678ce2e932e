// zavctl calibrate REGISTER TRUE_VALUE: writes a measured true value to a calibration register, as
// the calibration page does, after the first live cycle and with the page's checks (the model's
// tabs, the enabling rules of the row, the entry's range). Prints the channel's reading before and
// after; exits non-zero when the UPS refuses the write or does not answer.

#include "CtlCommon.h"
#include "Commands.h"
#include "foundation/AppTexts.h"
#include "session/ButtonStates.h"
#include "service/Calibration.h"
#include "service/ControlCommands.h"

#include <cstdio>

using namespace zav;

namespace zavctl {

namespace {

const char* kCalibrateUsage =
    "usage: zavctl calibrate REGISTER TRUE_VALUE --port PATH [--baud 9600|...|auto] [--proto ascii|rtu]\n"
    "                        [--addr N] [--model auto|0..8] [--timeout S]\n"
    "       zavctl calibrate --list   (the calibration registers)\n";

const char* const kTabNames[3] = {"module", "cabinet", "transformer"};

// Whether the row's button would be enabled in the window now.
bool rowEnabled(const CalibrationRow& row, const UpsSession& s) {
    ButtonInputs in;
    in.activity = s.activity();
    in.linkOk = s.linkOk();
    in.upsModel = s.upsModel();
    in.justConnected = false; // the first live cycle has ended: the registers are current
    in.moduleCount = s.live().modules.count;
    in.calibrationFlags = s.live().LiveData[71];
    in.cabinetStatus = s.live().LiveStatus[81];
    in.systemCode1 = s.settings().SettingData[329];
    // A write sequence is not started from a busy link; the rules are asked as for a free window.
    if (!windowFree(in.activity, in.linkOk)) in.activity = ActIdle;
    for (const ButtonState& b : updateButtonStates(in))
        if (qstrcmp(b.name, row.button) == 0) return b.enable == ButtonEnable::Enabled;
    return false;
}

QString reading(const CalibrationRow& row, const UpsSession& s) {
    if (!row.displayReg) return QStringLiteral("null");
    const uint16_t w = row.tab == CalTab::Transformer ? s.settings().SettingData[row.displayReg]
                                                      : s.live().LiveData[row.displayReg];
    return QString::number(w / 10.0, 'f', 1);
}

} // namespace

int runCalibrate(QCoreApplication& app, const QStringList& args) {
    QCommandLineParser p;
    addLinkOptions(p, 30);
    p.addOption({"list", "Print the calibration registers (CSV) and exit."});
    p.addPositionalArgument("register", "The calibration register, 336..349 or 401..410.");
    p.addPositionalArgument("value", "The true value in volts, as typed on the page (for example 220.5).");
    if (int code = parseCommandLine(p, args, kCalibrateUsage); code >= 0) return code;
    if (p.isSet("list")) {
        std::printf("register,tab,channel,shown_register,range\n");
        for (const CalibrationRow& r : calibrationRows())
            std::printf("%d,%s,%s,%d,\"%s\"\n", r.reg, kTabNames[int(r.tab)], r.caption[LangEN], r.displayReg,
                        qPrintable(calibrationHint(r.kind, LangEN)));
        return ExitOk;
    }
    const QStringList pos = p.positionalArguments();
    if (pos.size() != 2) return fail(ExitUsage, QStringLiteral("give REGISTER and TRUE_VALUE\n") + kCalibrateUsage);
    const CalibrationRow* row = calibrationRowForRegister(pos[0].toInt());
    if (!row) return fail(ExitUsage, "not a calibration register: " + pos[0] + " (zavctl calibrate --list)");
    const CalibrationEntry entry = checkCalibrationEntry(*row, pos[1]);
    if (entry.error != CalibrationEntry::None)
        return fail(ExitUsage, commonMessage(entry.error == CalibrationEntry::NoData ? MsgNoData : MsgCheckValue, LangEN) +
                                   " (" + calibrationHint(row->kind, LangEN) + ")");
    LinkOptions options;
    if (QString error = readLinkOptions(p, options); !error.isEmpty()) return fail(ExitUsage, error + "\n" + kCalibrateUsage);

    CtlLink link(app, options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& s = link.scheduler();
    enum { Waiting, Writing, Reading } stage = Waiting;
    QString before;
    uint16_t held = 0;
    WriteResult result;

    QObject::connect(&s, &UpsSession::liveCycleEnded, &app, [&] {
        if (!s.linkOk()) return link.finish(link.noAnswer(QStringLiteral("calibrate")));
        if (stage == Reading) {
            std::printf("{\"register\":%d,\"value\":%d,\"outcome\":\"accepted\",\"before\":%s,\"after\":%s}\n",
                        row->reg, entry.value, qPrintable(before), qPrintable(reading(*row, s)));
            std::fflush(stdout);
            return link.finish(ExitOk);
        }
        if (stage != Waiting) return;
        if (!modelHasCalTab(s.upsModel(), row->tab) || !rowEnabled(*row, s))
            return link.finish(fail(ExitRefused, QStringLiteral("register %1 cannot be calibrated on this UPS now "
                                                                "(model %2, register 71 = %3)")
                                                     .arg(row->reg)
                                                     .arg(s.upsModel())
                                                     .arg(s.live().LiveData[71])));
        before = reading(*row, s);
        held = markCalibrationUnread(s.settings().SettingData, *row, entry.value);
        if (!s.startWriteSequence({WriteEntry{row->reg, entry.value}}))
            return link.finish(link.noAnswer(QStringLiteral("calibrate")));
        stage = Writing;
    });
    QObject::connect(&s, &UpsSession::writeSequenceEnded, &app, [&](const QVector<WriteResult>& results) {
        if (stage != Writing) return;
        s.settings().SettingData.set(row->reg, held);
        for (const WriteResult& r : results)
            if (r.reg == row->reg) result = r;
        const QString text = writeResultText(result, QString::fromUtf8(row->caption[LangEN]), LangEN);
        if (result.outcome == WriteOutcome::Refused) return link.finish(fail(ExitRefused, text));
        if (result.outcome != WriteOutcome::Accepted) return link.finish(fail(ExitNoAnswer, text));
        note(text);
        stage = Reading; // the next cycle shows what the channel reads now
    });
    QObject::connect(&s, &UpsSession::modelRejected, &app, [&] {
        link.finish(fail(ExitModel, QStringLiteral("model code %1 not recognised; give --model").arg(s.live().LiveData[78])));
    });
    return link.run();
}

} // namespace zavctl
