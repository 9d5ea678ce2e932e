#pragma once
// The field-data text file: one value per line, CR LF after each, GBK text, 1659 lines:
//   1-80 registers 1-80, 81-240 registers 81-240, 241-275 registers 301-335, 276-305 registers
//   361-390, 306-1305 the history grid (record-file line format), 1306-1385 registers 401-480,
//   1386-1538 registers 2000-2152, 1539-1658 registers 3071-3190, 1659 the version text.
// Shorter files are read as far as their length allows: more than 1304 lines brings 361-390 and
// the history rows 1-999 (its title row stays), more than 1657 lines the rest.

#include "settings/FieldData.h"

#include <QByteArray>

namespace zav {

inline constexpr int kFieldTextLines = 1659;

class FieldDataText {
  public:
    static QByteArray encode(const FieldSnapshot& snapshot);
    // Reads `bytes` into `into`. A file that cannot be read whole (a value that is not a register
    // word, too few lines, a grid line that does not parse) leaves `into` unchanged.
    static FieldImportResult decode(const QByteArray& bytes, FieldSnapshot& into);

    // Whole files: the file appears complete or not at all. Empty string on success, else the message.
    static QString save(const QString& path, const FieldSnapshot& snapshot);
    static FieldImportResult load(const QString& path, FieldSnapshot& into);
};

// One record-file line back into its cells (quoted cells with doubled quotes). Empty optional on a
// line that does not parse (an unclosed quote).
bool parseCsvLine(const QString& line, QStringList& cells);

// GBK bytes to text (the inverse of toGbk).
QString fromGbk(const QByteArray& bytes);

} // namespace zav
