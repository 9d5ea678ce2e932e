// zavctl get / zavctl set: the settings of the rated and user-service pages by stable names.
// `get` prints what the pages' Old fields show after the settings download. `set NAME=VALUE ...`
// changes the named controls of a page preloaded with the UPS's settings and runs the page's own
// Set: the same conversion, the same range checks, the same write sequence and read-back. Nothing
// is written unless every value passes; the exit status is not 0 when the UPS did not take one.

#include "Commands.h"
#include "CtlCommon.h"
#include "foundation/AppTexts.h"
#include "settings/SettingDisplay.h"
#include "settings/SettingFormats.h"
#include "settings/SettingItemLists.h"
#include "settings/SettingWrites.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>

using namespace zav;

namespace zavctl {

namespace {

const char* kGetUsage =
    "usage: zavctl get [NAME...] [--csv] --port PATH [--baud 9600|...|auto] [--proto ascii|rtu]\n"
    "                  [--addr N] [--model auto|0..8] [--timeout S]\n"
    "       without names every setting the connected model has is printed\n";
const char* kSetUsage =
    "usage: zavctl set NAME=VALUE... [--csv] --port PATH [--baud 9600|...|auto] [--proto ascii|rtu]\n"
    "                  [--addr N] [--model auto|0..8] [--timeout S]\n"
    "       list settings take one of their items (zavctl get shows them as they read),\n"
    "       system.time takes 'yyyy-MM-dd hh:mm:ss' or 'now', code words a number\n";

QString allKeys() {
    QStringList keys;
    for (const SettingRow& row : settingRows())
        keys << QLatin1String(row.key);
    return keys.join(QStringLiteral(", "));
}

QString unitOf(const SettingRow& row, int model) {
    if (row.show == Show::ChargeLimit) return model >= 5 ? QStringLiteral("A") : QStringLiteral("%");
    return QLatin1String(row.unit);
}

QByteArray jsonString(const QString& s) {
    QByteArray out = "\"";
    for (const QChar c : s) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += '\\' + QString(c).toUtf8();
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUtf8();
        else
            out += QString(c).toUtf8();
    }
    return out + '"';
}

QByteArray csvField(const QString& s) {
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"'))) return s.toUtf8();
    QString q = s;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return '"' + q.toUtf8() + '"';
}

// The named settings (all the model has when none are named) with their shown values.
void printSettings(const QVector<const SettingRow*>& named, const UpsSession& s, bool csv) {
    const int model = s.upsModel();
    const SettingsView view =
        settingDisplay(s.settings().SettingData, model, LangEN, QDateTime::currentDateTime());
    QVector<const SettingRow*> rows = named;
    if (rows.isEmpty())
        for (const SettingRow& row : settingRows())
            if (rowExists(row, model)) rows << &row;
    QByteArray out;
    if (csv) {
        out = "name,value,unit\n";
        for (const SettingRow* row : rows)
            out += QByteArray(row->key) + ',' + csvField(view.texts.value(QLatin1String(row->oldName))) +
                   ',' + csvField(unitOf(*row, model)) + '\n';
    } else {
        out = "{\"UpsModel\":" + QByteArray::number(model) + ",\"settings\":[";
        for (int i = 0; i < rows.size(); ++i) {
            const SettingRow& row = *rows[i];
            out += (i ? "," : "") + QByteArray("{\"name\":") + jsonString(QLatin1String(row.key)) +
                   ",\"value\":" + jsonString(view.texts.value(QLatin1String(row.oldName))) +
                   ",\"unit\":" + jsonString(unitOf(row, model)) + '}';
        }
        out += "]}\n";
    }
    std::fputs(out.constData(), stdout);
    std::fflush(stdout);
}

// NAME=VALUE pairs and NAMEs are checked before the port is touched.
QString parseNames(const QStringList& args, bool withValues, QVector<const SettingRow*>* rows,
                   QStringList* values) {
    for (const QString& arg : args) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (withValues && eq < 0) return QStringLiteral("'%1' is not NAME=VALUE").arg(arg);
        const QString name = withValues ? arg.left(eq).trimmed() : arg;
        const SettingRow* row = rowByKey(name);
        if (!row) return QStringLiteral("unknown setting '%1'; the settings are: %2").arg(name, allKeys());
        if (rows->contains(row)) return QStringLiteral("'%1' is named twice").arg(name);
        *rows << row;
        if (withValues) *values << arg.mid(eq + 1).trimmed();
    }
    return {};
}

BitWord bitWordOf(const SettingRow& row) {
    return row.group == SettingGroup::SysCode1   ? BitWord::SysCode1
           : row.group == SettingGroup::SysCode4 ? BitWord::SysCode4
                                                 : BitWord::CfgCode1;
}

// The battery lists follow a new battery type as on the page: rebuilt with their preset item.
void rebuildBatteryLists(FormState& form, int model, int type, QSet<const SettingRow*>& only) {
    const SettingRow* typeRow = rowByKey(QStringLiteral("battery.type"));
    ListContext c;
    c.model = model;
    c.language = LangEN;
    c.lithium = type == 1;
    c.typeSelectable = typeRow && rowExists(*typeRow, model);
    for (const SettingRow* row : rowsOf(SettingGroup::Batt)) {
        if (!isBatteryList(row->list) || row->list == ItemList::BattType) continue;
        const QString name = QLatin1String(row->newName);
        const QStringList items = itemTexts(row->list, c);
        int index = rebuildIndex(row->list, c);
        if (index == kKeepIndex) index = form.indexes.value(name, -1);
        form.items[name] = items;
        form.indexes[name] = index < items.size() ? index : -1;
        form.texts[name] = index >= 0 && index < items.size() ? items[index] : QString();
        if (rowExists(*row, model)) only.insert(row);
    }
    const bool backup = c.lithium && c.typeSelectable;
    if (backup)
        form.disabled.remove(QStringLiteral("EditStandbyTimeNew"));
    else
        form.disabled.insert(QStringLiteral("EditStandbyTimeNew"));
}

// Puts one typed value into the control of its row, as a user would; an error text when the
// control cannot hold it.
QString applyValue(const SettingRow& row, const QString& value, FormState& form, int model,
                   const RegisterStore& data) {
    switch (row.newKind) {
    case NewKind::None:
        return QStringLiteral("cannot be set");
    case NewKind::Edit:
    case NewKind::Combo:
    case NewKind::Clock:
        return typeIntoControl(row, value, form, QDateTime::currentDateTime());
    case NewKind::BitBoxes: {
        bool ok = false;
        const uint word = value.toUInt(&ok, 0);
        if (!ok || word > 0xFFFF) return QStringLiteral("takes a number 0..65535 (or 0x0000..0xFFFF)");
        const BitWord w = bitWordOf(row);
        const uint16_t read = data[row.reg];
        for (int bit = 0; bit < 16; ++bit) {
            const bool on = (word >> bit) & 1u;
            const bool shown = w == BitWord::CfgCode1 || bitBoxShown(w, bit, model);
            if (!shown && on != bool((read >> bit) & 1u))
                return QStringLiteral("bit %1 is not available on UPS model %2; keep it %3")
                    .arg(bit)
                    .arg(model)
                    .arg(int((read >> bit) & 1u));
            form.checks[bitBoxName(w, bit)] = on;
        }
        return {};
    }
    }
    return {};
}

const WriteResult* resultFor(const QVector<WriteResult>& results, const WriteEntry& e) {
    const WriteResult* found = nullptr;
    for (const WriteResult& r : results)
        if (r.reg == e.reg && r.value == e.value) found = &r;
    return found;
}

QString reasonOf(const WriteResult* r) {
    if (!r) return QStringLiteral("not sent, the link was reset");
    switch (r->outcome) {
    case WriteOutcome::Refused:
        return QStringLiteral("refused by the UPS (exception %1)").arg(r->exceptionCode);
    case WriteOutcome::NoAnswer:
        return QStringLiteral("no answer");
    case WriteOutcome::Damaged:
        return QStringLiteral("damaged reply");
    case WriteOutcome::Abandoned:
        return QStringLiteral("stopped before the UPS confirmed it");
    case WriteOutcome::Accepted:
    case WriteOutcome::Unchanged:
        break;
    }
    return QStringLiteral("the UPS holds another value");
}

struct Common {
    QCommandLineParser parser;
    LinkOptions options;
    QStringList names;
    bool csv = false;
};

int parseCommon(Common& c, const QStringList& args, const char* usage, const char* positional) {
    addLinkOptions(c.parser, 60);
    c.parser.addOption({"csv", "Print CSV (name,value,unit) instead of JSON."});
    c.parser.addPositionalArgument(positional, "The settings.");
    if (int code = parseCommandLine(c.parser, args, usage); code >= 0) return code;
    c.names = c.parser.positionalArguments();
    c.csv = c.parser.isSet("csv");
    if (QString error = readLinkOptions(c.parser, c.options); !error.isEmpty())
        return fail(ExitUsage, error + "\n" + usage);
    return -1;
}

// Runs `onSettings` once the settings of the final model have been read and a live cycle after
// them says the UPS answers.
void whenSettingsRead(CtlLink& link, QCoreApplication& app, const std::function<void()>& onSettings) {
    UpsSession& s = link.scheduler();
    auto read = std::make_shared<bool>(false);
    auto done = std::make_shared<bool>(false);
    QObject::connect(&s, &UpsSession::settingsDownloaded, &app, [&s, read] {
        if (s.autoModelPending()) return; // read again once the model is known
        // A block the UPS did not deliver leaves older values behind: print nothing and compute no
        // write from them; read again until every block arrives (or the time-out says so).
        if (s.settingsDownload().blocksGivenUp() > 0) {
            note(QStringLiteral("%1 settings block(s) not delivered; reading again").arg(s.settingsDownload().blocksGivenUp()));
            s.requestSettingsRefresh();
            return;
        }
        *read = true;
    });
    QObject::connect(&s, &UpsSession::liveCycleEnded, &app, [&link, &s, onSettings, read, done] {
        if (*done || !*read) return;
        *done = true;
        if (!s.linkOk()) return link.finish(link.noAnswer(QStringLiteral("settings")));
        onSettings();
    });
    QObject::connect(&s, &UpsSession::modelRejected, &app, [&link, &s] {
        link.finish(fail(ExitModel, QStringLiteral("model code %1 not recognised; give --model")
                                        .arg(s.live().LiveData[78])));
    });
}

QString notOnModel(const SettingRow& row, int model) {
    return QStringLiteral("UPS model %1 has no setting '%2'").arg(model).arg(QLatin1String(row.key));
}

} // namespace

int runGet(QCoreApplication& app, const QStringList& args) {
    Common c;
    if (int code = parseCommon(c, args, kGetUsage, "names"); code >= 0) return code;
    QVector<const SettingRow*> rows;
    QStringList unused;
    if (QString error = parseNames(c.names, false, &rows, &unused); !error.isEmpty())
        return fail(ExitUsage, error);

    CtlLink link(app, c.options);
    if (int code = link.open(); code != ExitOk) return code;
    whenSettingsRead(link, app, [&] {
        const int model = link.scheduler().upsModel();
        for (const SettingRow* row : rows)
            if (!rowExists(*row, model)) return link.finish(fail(ExitUsage, notOnModel(*row, model)));
        printSettings(rows, link.scheduler(), c.csv);
        link.finish(ExitOk);
    });
    return link.run();
}

int runSet(QCoreApplication& app, const QStringList& args) {
    Common c;
    if (int code = parseCommon(c, args, kSetUsage, "name=value"); code >= 0) return code;
    if (c.names.isEmpty())
        return fail(ExitUsage, QStringLiteral("name at least one NAME=VALUE\n") + kSetUsage);
    QVector<const SettingRow*> rows;
    QStringList values;
    if (QString error = parseNames(c.names, true, &rows, &values); !error.isEmpty())
        return fail(ExitUsage, error);

    CtlLink link(app, c.options);
    if (int code = link.open(); code != ExitOk) return code;
    UpsSession& s = link.scheduler();
    QVector<WriteEntry> queued;
    bool writing = false;

    whenSettingsRead(link, app, [&] {
        const int model = s.upsModel();
        const RegisterStore& data = s.settings().SettingData;
        FormState form = formFromDisplay(data, model, LangEN, QDateTime::currentDateTime());
        QSet<const SettingRow*> only;
        // The battery type first: the battery lists follow it.
        QVector<int> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_partition(order.begin(), order.end(),
                              [&](int i) { return rows[i]->list == ItemList::BattType; });
        for (const int i : order) {
            const SettingRow& row = *rows[i];
            if (!rowExists(row, model)) return link.finish(fail(ExitUsage, notOnModel(row, model)));
            if (row.newKind == NewKind::Edit && !form.enabled(row.newName))
                return link.finish(
                    fail(ExitUsage, QStringLiteral("'%1' cannot be set now (it needs lithium batteries)")
                                        .arg(QLatin1String(row.key))));
            if (QString why = applyValue(row, values[i], form, model, data); !why.isEmpty())
                return link.finish(
                    fail(ExitUsage, QStringLiteral("%1=%2: %3").arg(QLatin1String(row.key), values[i], why)));
            only.insert(&row);
            if (row.list == ItemList::BattType)
                rebuildBatteryLists(form, model, form.index(row.newName), only);
        }
        // Every page's Set is built and checked before anything is sent.
        for (const SetPage page :
             {SetPage::Rated, SetPage::System, SetPage::Battery, SetPage::CfgCode, SetPage::DryContacts}) {
            QSet<const SettingRow*> mine;
            for (const SettingRow* row : only)
                if (setPageOf(row->group) == page) mine.insert(row);
            if (mine.isEmpty()) continue;
            const SetResult result = buildSet(page, form, model, data, mine);
            if (!result.ok()) {
                const QString key = result.row ? QLatin1String(result.row->key) : QString();
                return link.finish(
                    fail(ExitUsage,
                         key + ": " + setFailureText(result, model, LangEN, data, form).replace('\n', ' ')));
            }
            queued += result.entries;
        }
        writing = s.startWriteSequence(queued);
        if (!writing) link.finish(link.noAnswer(QStringLiteral("settings write")));
    });
    // The read-back after the sequence: print what the UPS holds and name what it did not take.
    QObject::connect(&s, &UpsSession::settingsDownloaded, &app, [&] {
        if (!writing || s.writeJob().state() != JobIdle) return;
        writing = false;
        const int model = s.upsModel();
        const RegisterStore& data = s.settings().SettingData;
        const QVector<WriteResult> results = s.writeJob().results();
        const QVector<WriteEntry> missing = entriesNotHeld(unconfirmedEntries(queued, results), data);
        printSettings(rows, s, c.csv);
        if (missing.isEmpty()) return link.finish(ExitOk);
        bool refused = false;
        for (const WriteEntry& e : missing) {
            const WriteResult* r = resultFor(results, e);
            refused = refused || (r && r->outcome != WriteOutcome::NoAnswer);
            QStringList keys;
            for (const SettingRow* row : rowsOfEntries({e}, model, data))
                keys << QLatin1String(row->key);
            note(QStringLiteral("not written: %1 (register %2 = %3): %4")
                     .arg(keys.join(QStringLiteral(", ")))
                     .arg(e.reg)
                     .arg(e.value)
                     .arg(reasonOf(r)));
        }
        link.finish(refused ? ExitRefused : ExitNoAnswer);
    });
    return link.run();
}

} // namespace zavctl
