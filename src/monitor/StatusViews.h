#pragma once
// What the status pages show, as plain functions of the live stores, the UPS model and the
// language: the whole-unit status grid (StringGridZav), the unit status grid (StringGridModule) in
// its module view or ten-unit view, and the module data grid (StringGridModData). The pages only
// copy these texts into their widgets.

#include "monitor/LiveStores.h"
#include "monitor/StatusTexts.h"
#include "foundation/TextGrid.h"

#include <QStringList>

namespace zav {

// StringGridZav: 6 columns x 8 rows; label columns 0, 2, 4, each value in the next column.
constexpr int kZavGridColumns = 6;
constexpr int kZavGridRows = 8;
TextGrid zavStatusLabels(int language);                                  // SetStatusGridLabels
QVector<GridCell> zavStatusValues(const LiveStores& live, int language); // StsFlash's value columns
TextGrid zavStatusTexts(const LiveStores& live, int language);
// The text a status word selects: 1, 2, 3 select their own text, anything else the text of 0.
QString zavStatusValueText(const ZavStatusItem& item, uint16_t value, int language);

// Fault rows of a module for a model: UpsModel 0 shows items 1-33 except 9 (Manual Shutdown),
// every other model items 1-8. ModuleRowCount is the number of items shown.
bool unitItemShown(int upsModel, int item);
int moduleRowCount(int upsModel);

// ModuleStsFlash. Module view while 1 to 30 modules are present: one column per present module,
// one row per shown fault item, "X" for a set fault bit and "V" for a clear one. Otherwise the
// ten-unit view: 11 x 9, "X"/"V" from the unit's fault words 1-8, "?" for an absent unit.
// Row 0 and column 0 hold the titles and labels (the fixed cells).
struct UnitStatusView {
    bool moduleView = false; // the module data tab is shown only in the module view
    TextGrid grid;
};
UnitStatusView unitStatusView(const LiveStores& live, int upsModel, int language);
bool modulesPresent(const LiveStores& live); // ModuleCount is 1 to 30

// StringGridModData: 4 columns x 44 rows; the 87 items' labels in columns 0 and 2, values in 1 and 3.
constexpr int kModDataColumns = 4;
constexpr int kModDataRows = (kModuleDataItemCount + 1) / 2;
TextGrid moduleDataLabels(int language);                        // ModuleDataGridLabels
TextGrid moduleDataTexts(const LiveStores& live, int language); // ModuleDataGridFill

// EditModIDSet and ComboBoxModIDSet after a module data refresh. The box shows the number of the
// module that answered (register 2000) when it is 1 to 30, else nothing. When a selection sync is
// pending and the number is valid, the box item of that number is selected and the edit takes the
// item's text; the sync is then done.
struct ModuleIdDisplay {
    QString editText;
    int comboIndex = -1;      // item to select
    bool syncPending = false; // ModuleIdSync after the refresh
};
ModuleIdDisplay moduleIdDisplay(uint16_t reportedModule, bool syncPending, const QStringList& comboItems,
                                int comboIndex);
// The module number ButtonModIDSetClick polls for the box's text; 0 when it is not a number.
int moduleChoice(const QString& comboText);
// Items of ComboBoxModIDSet: the present modules as decimal text.
QStringList moduleChoiceItems(const LiveStores& live);

// Wheel on StringGridModData: down moves the current row 3 rows down when that row exists, up
// moves it 3 rows up when the result is row 1 or higher; otherwise the row stays.
int moduleDataWheelRow(int currentRow, int rowCount, bool down);

// Cell drawing. Value grids (StringGridZav, StringGridModData): odd columns on light green.
// StringGridModule: titles of row 0 centred, "X" on red, "V" on blue, "?" on grey, centred.
struct CellStyle {
    bool filled = false;
    int red = 0, green = 0, blue = 0;
    bool centred = false;
    bool operator==(const CellStyle&) const = default;
};
CellStyle valueGridCellStyle(int column);
CellStyle unitStatusCellStyle(int row, const QString& text);

} // namespace zav
