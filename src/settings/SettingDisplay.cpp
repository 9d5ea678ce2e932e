#include "settings/SettingDisplay.h"

#include "foundation/NumberFormats.h"
#include "settings/SettingFormats.h"

namespace zav {

namespace {

const SettingRow& batteryTypeRow() {
    static const SettingRow* row = rowByOldName(QStringLiteral("EditBattType"));
    return *row;
}

ListContext listContext(int model, int language, int batteryType) {
    ListContext c;
    c.model = model;
    c.language = language;
    c.lithium = batteryType == 1;
    c.typeSelectable = rowExists(batteryTypeRow(), model);
    return c;
}

// The battery type as the display loads it from register 386 (item index, -1 when out of range).
int batteryTypeOf(const RegisterStore& SettingData, const ListContext& c) {
    const int v = fieldValue(batteryTypeRow(), SettingData);
    return v < itemTexts(ItemList::BattType, c).size() ? v : -1;
}

// Lithium backup time: only with lithium chosen where the type can be chosen.
void backupTimeRule(SettingsView& view, const ListContext& c) {
    const bool on = c.lithium && c.typeSelectable;
    view.enabled[QStringLiteral("EditStandbyTimeNew")] = on;
    view.greyed[QStringLiteral("EditStandbyTimeOld")] = !on;
    view.greyed[QStringLiteral("EditStandbyTimeNew")] = !on;
}

void captionsInto(SettingsView& view, int model, int language, const RegisterStore& SettingData) {
    for (const SettingRow& row : settingRows())
        view.captions[QLatin1String(row.label)] = rowCaption(row, model, language, SettingData);
    for (const BitWord word : {BitWord::SysCode1, BitWord::SysCode4, BitWord::CfgCode1})
        for (int bit = 0; bit < 16; ++bit)
            view.captions[bitBoxName(word, bit)] = bitBoxCaption(word, bit, model);
}

int backlightIndex(int value) {
    static constexpr int kMinutes[] = {0, 1, 3, 5, 10, 20, 30};
    for (int i = 0; i < 7; ++i)
        if (kMinutes[i] == value) return i;
    return -1;
}

// 386 bits 3..7: 1..30 hundredths of C select items 0..29; 0 is the UPS default 0.20 C.
int chargeCurrentIndex(int value, int count) {
    const int index = value == 0 ? 19 : value - 1;
    return index < count ? index : -1;
}

void showBoth(SettingsView& view, const SettingRow& row, const QString& text) {
    view.texts[QLatin1String(row.oldName)] = text;
    if (row.newKind == NewKind::Edit) view.texts[QLatin1String(row.newName)] = text;
}

void showList(SettingsView& view, const SettingRow& row, const QString& oldText, int index) {
    view.texts[QLatin1String(row.oldName)] = oldText;
    view.indexes[QLatin1String(row.newName)] = index;
}

QString itemOrEmpty(const QStringList& items, int index) {
    return index >= 0 ? items[index] : QString();
}

} // namespace

int indexOfNumber(const QStringList& items, int value) {
    for (int i = 0; i < items.size(); ++i) {
        bool ok = false;
        const int n = items[i].toInt(&ok);
        if (ok && n == value) return i;
    }
    return -1;
}

int indexOfScaled(const QStringList& items, int hundredths) {
    for (int i = 0; i < items.size(); ++i) {
        int n = 0;
        if (decimalTextToScaled(items[i], 2, &n) && n == hundredths) return i;
    }
    return -1;
}

void clearClockFlag(RegisterStore& SettingData) {
    SettingData.set(425, uint16_t(SettingData[425] & 0x7FFF));
}

void resetTextRegisters(RegisterStore& SettingData) {
    for (int r = 427; r <= 439; ++r)
        SettingData.set(r, 0x2020);
}

SettingsView settingDisplay(const RegisterStore& SettingData, int model, int language, const QDateTime& pcNow,
                            const HeldLists& held) {
    SettingsView view;
    // The battery type comes first: the battery lists depend on it.
    ListContext c = listContext(model, language, -1);
    c = listContext(model, language, batteryTypeOf(SettingData, c));

    auto itemsFor = [&](const SettingRow& row) -> QStringList {
        const QString name = QLatin1String(row.newName);
        if (isBatteryList(row.list)) {
            const QStringList items = itemTexts(row.list, c);
            view.items[name] = items;
            return items;
        }
        const auto it = held.constFind(name);
        return it != held.constEnd() ? *it : itemTexts(row.list, c);
    };

    for (const SettingRow& row : settingRows()) {
        const uint16_t v = fieldValue(row, SettingData);
        switch (row.show) {
        case Show::Integer:
            showBoth(view, row, integerText(v));
            break;
        case Show::Tenths:
            showBoth(view, row, FormatTenths(v));
            break;
        case Show::Hundredths:
            showBoth(view, row, FormatHundredths(v));
            break;
        case Show::Serial:
            showBoth(view, row, serialNumberText(SettingData[row.reg], SettingData[row.reg + 1]));
            break;
        case Show::UpsMode:
            showBoth(view, row, integerText(uint16_t(v & 0x3FF)));
            break;
        case Show::Text:
            showBoth(view, row, registerText(SettingData, row.reg, row.regCount));
            break;
        case Show::ListNumber:
            showList(view, row, integerText(v), indexOfNumber(itemsFor(row), v));
            break;
        case Show::ListScaled:
            showList(view, row, FormatHundredths(v), indexOfScaled(itemsFor(row), v));
            break;
        case Show::ChargeLimit:
            // Models 5-8 report hundredths of the list's unit; the Old field shows tenths of it.
            if (model >= 5)
                showList(view, row, FormatTenths(uint16_t(v / 10)), indexOfScaled(itemsFor(row), v));
            else
                showList(view, row, integerText(v), indexOfNumber(itemsFor(row), v));
            break;
        case Show::ListIndex: {
            const int count = int(itemsFor(row).size());
            showList(view, row, integerText(v), v < count ? int(v) : -1);
            break;
        }
        case Show::Packed: {
            const QStringList items = itemsFor(row);
            const int index = v < items.size() ? int(v) : -1;
            showList(view, row, itemOrEmpty(items, index), index);
            break;
        }
        case Show::Mode: {
            const int index = int(modeCodes(model).indexOf(int(v)));
            showList(view, row, modeText(v, language), index);
            break;
        }
        case Show::UnitCount: {
            const int count = int(itemsFor(row).size());
            showList(view, row, integerText(v), (v == 0 || v > count) ? -1 : int(v) - 1);
            break;
        }
        case Show::Backlight: {
            const QStringList items = itemsFor(row);
            const int index = backlightIndex(v) < items.size() ? backlightIndex(v) : -1;
            showList(view, row, index >= 0 ? items[index] : integerText(v), index);
            break;
        }
        case Show::BattChargeCurrent: {
            const QStringList items = itemsFor(row);
            const int index = chargeCurrentIndex(v, int(items.size()));
            showList(view, row, itemOrEmpty(items, index), index);
            break;
        }
        case Show::Clock: {
            const ClockRegisters clock = decodeUpsClock(SettingData);
            view.texts[QLatin1String(row.oldName)] = clock.text();
            view.clock = clock.valid() ? clock.toDateTime() : pcNow;
            break;
        }
        case Show::BitWord: {
            view.texts[QLatin1String(row.oldName)] = integerText(v);
            const BitWord word = row.group == SettingGroup::SysCode1   ? BitWord::SysCode1
                                 : row.group == SettingGroup::SysCode4 ? BitWord::SysCode4
                                                                       : BitWord::CfgCode1;
            for (int bit = 0; bit < 16; ++bit)
                view.checks[bitBoxName(word, bit)] = (v >> bit) & 1u;
            break;
        }
        }
    }
    backupTimeRule(view, c);
    captionsInto(view, model, language, SettingData);
    return view;
}

SettingsView pageInitView(int model, int language, int batteryType, const RegisterStore& SettingData,
                          const QDateTime& pcNow) {
    SettingsView view;
    const ListContext c = listContext(model, language, batteryType);
    for (const SettingRow& row : settingRows()) {
        if (row.newKind != NewKind::Combo) continue;
        const QString name = QLatin1String(row.newName);
        if (row.list == ItemList::InputDry || row.list == ItemList::OutputDry) {
            // Contacts the model does not have keep their list and item.
            if (!rowExists(row, model)) continue;
            view.items[name] = itemTexts(row.list, c);
            view.indexes[name] = model == 6 ? row.presetModel6 : row.preset;
            continue;
        }
        view.items[name] = itemTexts(row.list, c);
        const int preset = rebuildIndex(row.list, c);
        if (preset != kKeepIndex) view.indexes[name] = preset;
    }
    view.clock = pcNow;
    backupTimeRule(view, c);
    captionsInto(view, model, language, SettingData);
    return view;
}

} // namespace zav
