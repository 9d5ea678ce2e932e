#pragma once
// The field-data workbook: five sheets (live registers with the module measurements, status words
// with the module alarm words, settings registers, history grid, S-code grid). Written as .xlsx
// with libxlsxwriter whatever the name typed (".xls" becomes ".xlsx"); read back from .xlsx (zip and
// XML) or from .xls (freexl).

#include "settings/FieldData.h"

#include <QHash>
#include <QVector>

namespace zav {

// The cells of one sheet as text, 1-based rows and columns (numbers in their shortest decimal form).
struct SheetCells {
    QString name;
    QHash<qint64, QString> cells;
    QString at(int row, int column) const { return cells.value(key(row, column)); }
    void set(int row, int column, const QString& text) { cells.insert(key(row, column), text); }
    static qint64 key(int row, int column) { return qint64(row) << 16 | column; }
};

struct WorkbookCells {
    QVector<SheetCells> sheets;
    QString fatal; // the file could not be read: the message for the user
};

// What a file is by its first bytes: a zip (.xlsx), the older binary workbook (.xls), the text
// snapshot (a register value on its first line) or none of these. Names do not count: a file saved
// as "UPSFieldData" is still a workbook.
enum class FieldFileKind { Workbook, OldWorkbook, Text, Other };
FieldFileKind fieldFileKindOf(const QByteArray& head);

// Reading stops at these bounds: a real snapshot is far inside them.
inline constexpr int kWorkbookMaxRow = kFieldGridRows + 1;
inline constexpr int kWorkbookMaxColumn = 8;

class FieldDataWorkbook {
  public:
    // The name the file is written under: ".xls" becomes ".xlsx", a name without ".xlsx" gets it.
    static QString xlsxFileName(const QString& chosen);

    // Writes the workbook in `language`; `model` picks the settings captions. Empty string on
    // success, else the message; the target appears whole or not at all.
    static QString save(const QString& path, const FieldSnapshot& snapshot, int language, int model);

    // The cells of a .xlsx or .xls file (by its content, not its name). Only a regular file of at
    // most FileLimit::workbook bytes is read; its parts together unpack to at most 16 MB and hold
    // at most 200 000 cells, else the file is refused with the bound it broke.
    static WorkbookCells read(const QString& path);
    // The same for a file already read (`path` is read again only for the older binary workbook).
    static WorkbookCells fromBytes(const QString& path, const QByteArray& bytes);

    // Offline load: every store and both grids. A fatal message leaves `into` unchanged; a row whose
    // column A does not hold its register number is skipped and named in badRows.
    static FieldImportResult apply(const WorkbookCells& book, FieldSnapshot& into);

    // Settings transfer: the type code (sheet 1 C79) and registers 301-480 from sheet 3. Rows that
    // fail the number check are named and keep `base`'s value.
    struct Transfer {
        FieldImportResult result;
        uint16_t typeCode = 0;
        RegisterStore values{301, 480};
    };
    static Transfer settingsOf(const WorkbookCells& book, const RegisterStore& base);
};

} // namespace zav
