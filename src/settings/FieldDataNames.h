#pragma once
// Names of the live measurement (1-80), status (81-240) and module measurement (2000-2152) registers
// in the three languages (0 Simplified Chinese, 1 English, 2 Traditional Chinese), as column B of the
// field-data workbook shows them.

#include <QString>

namespace zav {

// Empty for a register outside those ranges; a language outside 0..2 reads as English.
QString liveRegisterName(int reg, int language);

} // namespace zav
