#pragma once
// Texts of the status pages by language (0 CN, 1 EN, 2 CHT): the whole-unit status grid, the fault
// rows of the unit status grid and the items of the module data grid.

#include "foundation/LanguageText.h"

namespace zav {

// One label/value pair of StringGridZav. A status value of 1, 2 or 3 selects values[value], any
// other value selects values[0]; a text of a single blank shows as a blank.
struct ZavStatusItem {
    int labelColumn; // 0, 2 or 4; the value stands in the next column
    int row;
    int statusRegister;
    Texts3 label;
    Texts3 values[4];
};
constexpr int kZavStatusItemCount = 23;
const std::array<ZavStatusItem, kZavStatusItemCount>& zavStatusItems();

// Fault rows of a unit or module: item 1 to 33 (module view), 1 to 8 (ten-unit view).
constexpr int kUnitStatusItemCount = 33;
QString unitStatusItemLabel(int item, int language);
// Column title of unit or module n: "单元n" / "U_n" / "單元n".
QString unitColumnTitle(int number, int language);

enum class ModValue { Tenths, Hundredths, Integer };
struct ModuleDataItem {
    int reg;
    ModValue shownAs;
    const char* labelCn; // also the Traditional Chinese label
    const char* labelEn;
};
constexpr int kModuleDataItemCount = 87;
const std::array<ModuleDataItem, kModuleDataItemCount>& moduleDataItems();
QString moduleDataItemLabel(const ModuleDataItem& item, int language);

// Captions of the unit status page's own controls.
QString unitStatusTabCaption(int language);
QString moduleDataTabCaption(int language);
QString moduleChoiceCaption(int language); // label before ComboBoxModIDSet
QString moduleChoiceButtonCaption(int language);
QString moduleShownCaption(int language); // label before EditModIDSet

} // namespace zav
