#include "zavd/NutSettings.h"

#include <QRegularExpression>
#include <algorithm>

#include "foundation/AppTexts.h"
#include "settings/SettingDisplay.h"
#include "settings/SettingFormats.h"
#include "settings/SettingRows.h"
#include "settings/SettingWrites.h"


namespace zav {

namespace {

const char* const kNominalNames[][2] = {
    {"input.voltage", "input.voltage.nominal"},
    {"input.frequency", "input.frequency.nominal"},
    {"output.voltage", "output.voltage.nominal"},
    {"output.frequency", "output.frequency.nominal"},
};

// NUT clients take ASCII only (upsc drops other bytes): "±5" goes out as "+/-5".
QString nutText(QString text) {
    return text.replace(QChar(0xB1), QLatin1String("+/-"));
}

bool offered(const SettingRow& row) {
    if (!row.key) return false;
    if (row.list == ItemList::BattType) return false;
    return row.newKind == NewKind::Edit || row.newKind == NewKind::Combo || row.newKind == NewKind::Clock;
}

// What GET DESC says of a setting: the page's caption as words a user reads ("CabinetKva" ->
// "Cabinet kVA"), with its unit; rows without an English caption (the dry contacts) are named from
// their script name.
QString nutSettingDescription(const SettingRow& row) {
    QString text = QString::fromUtf8(row.caption[LangEN]).trimmed();
    if (text.isEmpty()) {
        static const QRegularExpression dry(QStringLiteral("^dry\\.(input|output)(\\d+)$"));
        const QRegularExpressionMatch m = dry.match(QLatin1String(row.key));
        text = m.hasMatch() ? QStringLiteral("Dry contact %1 %2 function").arg(m.captured(1), m.captured(2))
                            : QString::fromLatin1(row.key).replace('.', ' ').replace('_', ' ');
    } else if (!text.contains(' ')) {
        static const QRegularExpression hump(QStringLiteral("(?<=[a-z])(?=[A-Z])"));
        text.replace(hump, QStringLiteral(" "));
    }
    text.replace(QRegularExpression(QStringLiteral("\\bKva\\b")), QStringLiteral("kVA"));
    const QString unit = QString::fromUtf8(row.unit);
    if (!unit.isEmpty() && !text.contains('(') && !text.endsWith(unit)) text += QStringLiteral(" (%1)").arg(nutText(unit));
    return nutText(text);
}

// The rated apparent power: the cabinet's capacity on the modular models (0 to 2), the rated
// capacity of the towers (3 to 7, the row the rated page captions "RateKva"); model 8 holds none.
const char* nominalPowerKey(int model) {
    if (model >= 0 && model <= 2) return "zav.rated.cabinet_kva";
    if (model >= 3 && model <= 7) return "zav.rated.module_kva";
    return "";
}

// Items of the battery type list (lead-acid, lithium) under NUT's chemistry names.
const char* const kBatteryChemistry[] = {"PbAc", "Li-ion"};

} // namespace

QString nutSettingName(const SettingRow& row) {
    const QString key = QLatin1String(row.key);
    for (const auto& n : kNominalNames)
        if (key == QLatin1String(n[0])) return QLatin1String(n[1]);
    return QStringLiteral("zav.") + key;
}

const SettingRow* settingRowForNut(const QString& nutName) {
    for (const SettingRow& row : settingRows())
        if (offered(row) && nutSettingName(row) == nutName) return &row;
    return nullptr;
}

QVector<NutVar> nutSettingVariables(const RegisterStore& SettingData, int model, const QDateTime& pcNow) {
    QVector<NutVar> out;
    const SettingsView view = settingDisplay(SettingData, model, LangEN, pcNow);
    const FormState form = formFromDisplay(SettingData, model, LangEN, pcNow);
    for (const SettingRow& row : settingRows()) {
        if (!offered(row) || !rowExists(row, model)) continue;
        NutVar v;
        v.name = nutSettingName(row);
        v.value = nutText(view.texts.value(QLatin1String(row.oldName)));
        v.description = nutSettingDescription(row);
        v.writable = true;
        if (row.newKind == NewKind::Combo) {
            // upsd names an enumeration's base type: NUMBER when every item is a number, else a
            // string as long as the longest item.
            bool numbers = true;
            qsizetype longest = 1;
            for (const QString& item : form.items.value(QLatin1String(row.newName))) {
                v.enums << nutText(item);
                bool isNumber = false;
                v.enums.last().toDouble(&isNumber);
                numbers = numbers && isNumber;
                longest = std::max(longest, v.enums.last().toUtf8().size());
            }
            v.type = numbers ? QStringLiteral("RW ENUM NUMBER") : QStringLiteral("RW ENUM STRING:%1").arg(longest);
        } else if (row.newKind == NewKind::Edit && row.range == RangeRule::Fixed && row.show == Show::Integer) {
            // The limits the page checks. Whole numbers only: NUT clients read range limits as
            // integers (upsrw shows 0.5..5.0 as "0-5"), so decimal settings stay plain strings.
            v.type = QStringLiteral("RW RANGE NUMBER");
            v.rangeMin = limitText(row, row.min);
            v.rangeMax = limitText(row, row.max);
        } else {
            v.type = QStringLiteral("RW STRING:%1").arg(row.maxLength > 0 ? row.maxLength : 32);
        }
        out << v;
    }
    // Standard names for what some settings already hold, read-only (the setting stays writable
    // under its own name).
    const auto alias = [&](const char* name, const QString& value, const char* description, bool number = false) {
        out.append({QLatin1String(name), value, QLatin1String(description), false,
                    number ? QStringLiteral("NUMBER")
                           : QStringLiteral("STRING:%1").arg(std::max<qsizetype>(value.toUtf8().size(), 1)),
                    {}, {}, {}});
    };
    for (const NutVar& v : QVector<NutVar>(out)) {
        if (v.name == QLatin1String("zav.ups.serial_number") && !v.value.isEmpty()) {
            alias("ups.serial", v.value, "UPS serial number");
            alias("device.serial", v.value, "Device serial number");
        } else if (v.name == QLatin1String("zav.system.time") && v.value.count(' ') == 1) {
            alias("ups.date", v.value.section(' ', 0, 0), "UPS system date (yyyy-mm-dd)");
            alias("ups.time", v.value.section(' ', 1, 1), "UPS system time (hh:mm:ss)");
        } else if (v.name == QLatin1String("zav.battery.count") && v.value.toInt() > 0) {
            alias("battery.packs", v.value, "Number of battery packs", true);
        } else if (v.name == QLatin1String("zav.battery.capacity") && v.value.toInt() > 0) {
            alias("battery.capacity", v.value, "Battery capacity (Ah)", true);
        } else if (v.name == QLatin1String(nominalPowerKey(model)) && v.value.toInt() > 0) {
            // Whole kVA as the rated page shows them; NUT counts VA.
            alias("ups.power.nominal", QString::number(v.value.toInt() * 1000), "UPS power rating (VA)", true);
        }
    }
    // The battery type is no writable variable here (it rebuilds the battery lists), yet its
    // chemistry is known where the model has the setting.
    if (const SettingRow* type = rowByKey(QStringLiteral("battery.type")); type && rowExists(*type, model)) {
        const uint16_t index = fieldValue(*type, SettingData);
        if (index < std::size(kBatteryChemistry)) alias("battery.type", QLatin1String(kBatteryChemistry[index]), "Battery chemistry");
    }
    return out;
}

NutWrite nutSettingWrite(const QString& nutName, const QString& value, const RegisterStore& SettingData, int model,
                         const QDateTime& pcNow) {
    NutWrite w;
    const SettingRow* row = settingRowForNut(nutName);
    if (!row || !rowExists(*row, model)) {
        w.error = QStringLiteral("VAR-NOT-SUPPORTED");
        return w;
    }
    FormState form = formFromDisplay(SettingData, model, LangEN, pcNow);
    if (row->newKind == NewKind::Clock) form.clock = pcNow;
    if (row->newKind == NewKind::Edit && !form.enabled(row->newName)) {
        w.error = QStringLiteral("SET-FAILED: cannot be set now (it needs lithium batteries)");
        return w;
    }
    if (const QString why = typeIntoControl(*row, value.trimmed(), form, pcNow); !why.isEmpty()) {
        w.error = QStringLiteral("INVALID-VALUE: ") + why;
        return w;
    }
    const SetResult result = buildSet(setPageOf(row->group), form, model, SettingData, {row});
    if (!result.ok()) {
        w.error = QStringLiteral("INVALID-VALUE: ") +
                  setFailureText(result, model, LangEN, SettingData, form).replace('\n', ' ');
        return w;
    }
    w.entries = result.entries;
    return w;
}

} // namespace zav
