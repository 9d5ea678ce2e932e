#include "settings/FieldDataRestore.h"

#include "foundation/BoundedFile.h"
#include "settings/FieldDataText.h"
#include "settings/SettingRows.h"
#include "settings/SettingWrites.h"

#include <QFileInfo>

namespace zav {

FieldFileKind fieldFileKind(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == u"xls" || suffix == u"xlsx") return FieldFileKind::Workbook;
    if (suffix == u"csv") return FieldFileKind::Text;
    return FieldFileKind::Other;
}

ModelChoice modelFromBox(int item) {
    if (item < 0 || item > 9) return {};
    if (item == 0) return {true, true, 0};
    return {true, false, item - 1};
}

FieldImportResult loadFieldFile(const QString& path, FieldSnapshot& into) {
    FieldImportResult r;
    const BoundedRead file = readRegularFile(path, FileLimit::workbook);
    if (!file.ok()) {
        r.fatal = QStringLiteral("%1\n%2").arg(QLatin1String(FieldMsg::cannotOpen), file.error);
        return r;
    }
    switch (fieldFileKindOf(file.bytes)) {
    case FieldFileKind::Workbook:
    case FieldFileKind::OldWorkbook:
        return FieldDataWorkbook::apply(FieldDataWorkbook::fromBytes(path, file.bytes), into);
    case FieldFileKind::Text:
        if (file.bytes.size() > FileLimit::fieldText) {
            r.fatal = QStringLiteral("%1\n%2: is over the limit of %3 bytes for a text snapshot")
                          .arg(QLatin1String(FieldMsg::cannotOpen), path)
                          .arg(FileLimit::fieldText);
            return r;
        }
        return FieldDataText::decode(file.bytes, into);
    case FieldFileKind::Other: break;
    }
    r.fatal = QStringLiteral("%1\nthe file is neither a workbook nor a text snapshot").arg(QLatin1String(FieldMsg::fileTypeError));
    return r;
}

QVector<SettingChange> transferChanges(const QVector<WriteEntry>& entries, const RegisterStore& settingData, int model,
                                       int language) {
    QVector<SettingChange> out;
    for (const WriteEntry& e : entries) {
        if (!settingData.contains(e.reg) || settingData[e.reg] == e.value) continue;
        out << SettingChange{e.reg, fieldRegisterName(e.reg, language, model), settingData[e.reg], e.value};
    }
    return out;
}

QString changesText(const QVector<SettingChange>& changes) {
    QStringList lines;
    for (const SettingChange& c : changes)
        lines << QStringLiteral("%1 %2: %3 -> %4").arg(c.reg).arg(c.caption).arg(c.now).arg(c.next);
    return lines.join(u'\n');
}

QString namedRows(const QString& head, const QStringList& rows) {
    constexpr int kShown = 12;
    QStringList lines = rows.mid(0, kShown);
    if (rows.size() > kShown) lines << QStringLiteral("... (%1 more)").arg(rows.size() - kShown);
    return rows.isEmpty() ? head : head + u'\n' + lines.join(u'\n');
}

TransferPlan planSettingsTransfer(const FieldDataWorkbook::Transfer& file, uint16_t liveType,
                                  const RegisterStore& settingData, int model, int language, const QDateTime& pcNow) {
    TransferPlan plan;
    plan.badRows = file.result.badRows;
    if (!file.result.ok()) {
        plan.refusal = file.result.fatal;
        return plan;
    }
    if (file.typeCode != liveType) {
        plan.refusal = QLatin1String(FieldMsg::upsTypeError);
        return plan;
    }

    // The file's settings as the pages would show them, then every Set button over that form:
    // the entries are what the pages would send for those values, after their checks.
    const FormState form = formFromDisplay(file.values, model, language, pcNow);
    QHash<uint16_t, uint16_t> settable; // register -> the value a Set would send
    QStringList refused;
    // Only the rows the file changes are checked, as the pages check the controls a user changed; a
    // value the UPS already holds is never sent, whatever a page would say about it.
    QSet<const SettingRow*> changed;
    QSet<int> checkedRegs;
    for (const SettingRow& row : settingRows()) {
        if (!rowExists(row, model) || row.newKind == NewKind::None) continue;
        for (int r = row.reg; r < row.reg + row.regCount; ++r)
            if (file.values[r] != settingData[r]) changed.insert(&row);
    }
    for (SetPage page : {SetPage::Rated, SetPage::CfgCode, SetPage::System, SetPage::Battery, SetPage::DryContacts}) {
        QSet<const SettingRow*> mine;
        for (const SettingRow* row : changed)
            if (setPageOf(row->group) == page) mine.insert(row);
        if (mine.isEmpty()) continue;
        const SetResult set = buildSet(page, form, model, settingData, mine);
        if (!set.ok()) {
            // The rows of a refused page are named by the refusal, not again as "not copied".
            for (const SettingRow* row : mine)
                for (int r = row->reg; r < row->reg + row->regCount; ++r) checkedRegs.insert(r);
            refused << setFailureText(set, model, language, file.values, form).replace(u'\n', QStringLiteral(": "));
            continue;
        }
        for (const WriteEntry& e : set.entries) settable.insert(e.reg, e.value);
    }

    // The S-code trigger mask has no control: its eight words are copied as they are (every bit
    // pattern is a valid mask).
    for (int reg = kTriggerMaskFirst; reg <= kTriggerMaskLast; ++reg) settable.insert(uint16_t(reg), file.values[reg]);

    // The UPS clock is never set from a snapshot: the time in the file is long past.
    QSet<int> clock;
    for (const SettingRow& row : settingRows())
        if (row.newKind == NewKind::Clock)
            for (int r = row.reg; r < row.reg + row.regCount; ++r) clock.insert(r);

    for (int reg = 301; reg <= 480; ++reg) {
        uint16_t value = settingData[reg];
        const uint16_t wanted = file.values[reg];
        if (wanted != value && !clock.contains(reg)) {
            const auto it = settable.constFind(uint16_t(reg));
            if (it == settable.cend()) {
                if (checkedRegs.contains(reg)) {
                    plan.entries << WriteEntry{uint16_t(reg), value};
                    continue;
                }
                plan.notCopied << QStringLiteral("register %1 (%2)").arg(reg).arg(wanted);
            } else if (*it != wanted) {
                // A value the pages cannot show or would change on the way (a list item that does not
                // exist, a field out of its word): refused like a failed range check.
                refused << QStringLiteral("sheet 3 row %1: register %2 value %3 cannot be set on this model")
                               .arg(reg - 299).arg(reg).arg(wanted);
            } else {
                value = wanted;
                ++plan.changes;
            }
        }
        plan.entries << WriteEntry{uint16_t(reg), value};
    }
    if (!refused.isEmpty()) {
        plan.refusal = namedRows(QStringLiteral("Check the value, please! Nothing was written:"), refused);
        plan.entries.clear();
        plan.changes = 0;
    }
    return plan;
}

} // namespace zav
