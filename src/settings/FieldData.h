#pragma once
// A field-data snapshot: everything the tool knows about one UPS at one moment (the live and module
// registers, the settings read, the history and S-code grids and the program version), as saved to
// and restored from a workbook or a text file. The names of the registers as the workbook shows
// them live here too.

#include "link/RegisterStore.h"
#include "monitor/LiveStores.h"
#include "foundation/TextGrid.h"
#include "settings/SettingStores.h"

#include <QString>
#include <QStringList>

namespace zav {

inline constexpr int kFieldHistoryColumns = 5;
inline constexpr int kFieldGridRows = 1000; // both record grids

struct FieldSnapshot {
    RegisterStore LiveData{1, 80};
    RegisterStore LiveStatus{81, 240};
    RegisterStore ModuleData{2000, 2152};
    RegisterStore ModuleStatus{3071, 3190};
    RegisterStore SettingData{301, 480};
    TextGrid history{kFieldHistoryColumns, kFieldGridRows};
    TextGrid scodes{1, kFieldGridRows};
    QString version;

    bool operator==(const FieldSnapshot&) const = default;

    // The store that holds `reg`, or nullptr.
    RegisterStore* storeOf(int reg);
    const RegisterStore* storeOf(int reg) const;

    // Copies from and to the application's stores (grids of other sizes are copied cell by cell).
    void takeLive(const LiveStores& live);
    void giveLive(LiveStores& live) const;
};

// Copies the cells both grids have.
void copyGrid(const TextGrid& from, TextGrid& to);

// What an import did: `fatal` set means the file was not taken at all and the target is unchanged;
// `badRows` are register rows whose number column did not match (skipped, the register kept).
struct FieldImportResult {
    QString fatal;
    QStringList badRows; // "sheet 3 row 11" / "line 12"
    bool ok() const { return fatal.isEmpty(); }
};

// The messages of the save and restore, in English whatever the language.
namespace FieldMsg {
inline const char* const cannotOpen = "Cannot open the file";
inline const char* const dataError = "Data error, please check the data";
inline const char* const formatError = "Data formatting error";
inline const char* const saveError = "Save file error";
inline const char* const fileTypeError = "file type error";
inline const char* const upsTypeError = "ups type error";
inline const char* const modelError = "upsType Error!";
} // namespace FieldMsg

// Said beside Save Data once the file is written: where it went.
QString fieldDataSavedText(const QString& path, int language);

// Register names of the workbook's column B. `model` picks the settings captions of 301-480.
QString fieldRegisterName(int reg, int language, int model = 0);

// Sheet names and texts of the workbook.
QString fieldSheetName(int sheet, int language); // sheets 1-4; empty for 5
QString fieldColumnTitle(int column, int language); // 0..2
QString fieldModuleHeading(int sheet, int language); // sheets 1 and 2

} // namespace zav
