#include "monitor/StatusViews.h"

#include "foundation/NumberFormats.h"

#include <algorithm>

namespace zav {

// --- whole-unit status grid ---

QString zavStatusValueText(const ZavStatusItem& item, uint16_t value, int language) {
    const int index = value >= 1 && value <= 3 ? value : 0;
    return pickText(item.values[size_t(index)], language);
}

TextGrid zavStatusLabels(int language) {
    TextGrid texts(kZavGridColumns, kZavGridRows);
    for (const ZavStatusItem& item : zavStatusItems())
        texts.set(item.labelColumn, item.row, pickText(item.label, language));
    return texts;
}

QVector<GridCell> zavStatusValues(const LiveStores& live, int language) {
    QVector<GridCell> cells;
    for (const ZavStatusItem& item : zavStatusItems())
        cells.append({item.labelColumn + 1, item.row,
                      zavStatusValueText(item, live.LiveStatus[item.statusRegister], language)});
    return cells;
}

TextGrid zavStatusTexts(const LiveStores& live, int language) {
    TextGrid texts = zavStatusLabels(language);
    for (const GridCell& cell : zavStatusValues(live, language))
        texts.set(cell.column, cell.row, cell.text);
    return texts;
}

// --- unit status grid ---

namespace {

constexpr int kTenUnits = 10;
constexpr int kTenUnitItems = 8;
constexpr int kUnitBlockFirst = 121; // unit u: 12 words from 121 + 12 (u - 1)
constexpr int kUnitBlockWords = 12;
constexpr int kModuleStatusFirst = 3071; // module m: 4 words from 3071 + 4 (m - 1)

bool moduleFaultSet(const LiveStores& live, int module, int item) {
    const int word = (item - 1) / 16, bit = (item - 1) % 16;
    return live.ModuleStatus[kModuleStatusFirst + 4 * (module - 1) + word] & (1u << bit);
}

} // namespace

bool unitItemShown(int upsModel, int item) {
    if (item < 1 || item > kUnitStatusItemCount) return false;
    return upsModel == 0 ? item != 9 : item <= kTenUnitItems;
}

int moduleRowCount(int upsModel) {
    int count = 0;
    for (int item = 1; item <= kUnitStatusItemCount; ++item)
        count += unitItemShown(upsModel, item);
    return count;
}

bool modulesPresent(const LiveStores& live) {
    return live.modules.count >= 1 && live.modules.count <= 30;
}

UnitStatusView unitStatusView(const LiveStores& live, int upsModel, int language) {
    UnitStatusView view;
    if (modulesPresent(live)) {
        view.moduleView = true;
        const int modules = std::min(live.modules.count, int(live.modules.list.size()));
        view.grid = TextGrid(modules + 1, moduleRowCount(upsModel) + 1);
        for (int i = 0; i < modules; ++i)
            view.grid.set(i + 1, 0, unitColumnTitle(live.modules.list[i], language));
        int row = 0;
        for (int item = 1; item <= kUnitStatusItemCount; ++item) {
            if (!unitItemShown(upsModel, item)) continue;
            ++row;
            view.grid.set(0, row, unitStatusItemLabel(item, language));
            for (int i = 0; i < modules; ++i)
                view.grid.set(i + 1, row, moduleFaultSet(live, live.modules.list[i], item) ? "X" : "V");
        }
        return view;
    }
    view.grid = TextGrid(kTenUnits + 1, kTenUnitItems + 1);
    for (int item = 1; item <= kTenUnitItems; ++item)
        view.grid.set(0, item, unitStatusItemLabel(item, language));
    for (int unit = 1; unit <= kTenUnits; ++unit) {
        view.grid.set(unit, 0, unitColumnTitle(unit, language));
        const int block = kUnitBlockFirst + kUnitBlockWords * (unit - 1);
        const bool present = live.LiveStatus[block] == 1;
        for (int item = 1; item <= kTenUnitItems; ++item)
            view.grid.set(unit, item, !present ? "?" : live.LiveStatus[block + item] == 1 ? "X" : "V");
    }
    return view;
}

// --- module data grid ---

TextGrid moduleDataLabels(int language) {
    TextGrid texts(kModDataColumns, kModDataRows);
    const auto& items = moduleDataItems();
    for (int i = 0; i < kModuleDataItemCount; ++i)
        texts.set(i < kModDataRows ? 0 : 2, i % kModDataRows,
                  moduleDataItemLabel(items[size_t(i)], language));
    return texts;
}

TextGrid moduleDataTexts(const LiveStores& live, int language) {
    TextGrid texts = moduleDataLabels(language);
    const auto& items = moduleDataItems();
    for (int i = 0; i < kModuleDataItemCount; ++i) {
        const ModuleDataItem& item = items[size_t(i)];
        const uint16_t word = live.ModuleData[item.reg];
        const QString text = item.shownAs == ModValue::Tenths       ? FormatTenths(word)
                             : item.shownAs == ModValue::Hundredths ? FormatHundredths(word)
                                                                    : QString::number(word);
        texts.set(i < kModDataRows ? 1 : 3, i % kModDataRows, text);
    }
    return texts;
}

ModuleIdDisplay moduleIdDisplay(uint16_t reportedModule, bool syncPending, const QStringList& comboItems,
                                int comboIndex) {
    ModuleIdDisplay display{QString(), comboIndex, syncPending};
    const bool valid = reportedModule >= 1 && reportedModule <= 30;
    if (!valid) return display;
    display.editText = QString::number(reportedModule);
    if (syncPending) {
        // A module missing from the box (a block from an unexpected module) keeps the box as it
        // is and the edit on the number the block reports.
        const int index = int(comboItems.indexOf(display.editText));
        if (index >= 0) {
            display.comboIndex = index;
            display.editText = moduleChoice(comboItems[index]) > 0 ? comboItems[index] : QString();
        }
        display.syncPending = false;
    }
    return display;
}

int moduleChoice(const QString& comboText) {
    bool ok = false;
    const int number = comboText.trimmed().toInt(&ok);
    return ok ? number : 0;
}

QStringList moduleChoiceItems(const LiveStores& live) {
    QStringList items;
    for (int module : live.modules.list)
        items.append(QString::number(module));
    return items;
}

int moduleDataWheelRow(int currentRow, int rowCount, bool down) {
    if (down) return currentRow + 3 < rowCount ? currentRow + 3 : currentRow;
    return currentRow - 3 >= 1 ? currentRow - 3 : currentRow;
}

// --- cell drawing ---

CellStyle valueGridCellStyle(int column) {
    if (column % 2 == 1) return {true, 192, 220, 192, false};
    return {};
}

CellStyle unitStatusCellStyle(int row, const QString& text) {
    if (text == "X") return {true, 255, 0, 0, true};
    if (text == "V") return {true, 61, 149, 255, true};
    if (text == "?") return {true, 128, 128, 128, true};
    if (row == 0) return {false, 0, 0, 0, true};
    return {};
}

} // namespace zav
