#pragma once
// S-code analysis: the eight lines of an S-code record ("S0: 1000-0000-0000-0000" to "A5: ...")
// read digit by digit into the 128 items of the UPS's status (S0, S1) and alarm (A0 to A5) groups.
// Row 16g + j of the table is digit j of group g.

#include <QString>
#include <array>

namespace zav {

inline constexpr int kSCodeGroups = 8;
inline constexpr int kSCodeDigits = 16;
inline constexpr int kSCodeItemRows = kSCodeGroups * kSCodeDigits;

struct SCodeGroupRecord {
    QString key; // "S0" ... "A5"
    std::array<int, kSCodeDigits> digits{};
    bool formatError = false; // the line was malformed or the group came more than once
    bool seen = false;        // a line naming the group was found
    int firstRow = 0;
    int rowCount = kSCodeDigits;
};

struct SCodeAnalysis {
    enum class Result { Ok, FormatError, NothingFound };
    Result result = Result::NothingFound;
    QString badKey; // the first group in key order with a format error
    std::array<SCodeGroupRecord, kSCodeGroups> groups;
};

// Reads the memo text (typed or pasted; any case, spaces anywhere).
SCodeAnalysis analyzeSCode(const QString& memoText);

// The warning for a result other than Ok: "A0input format not correct or exist too many" or
// "Not found SCode"; empty for Ok.
QString scodeAnalysisMessage(const SCodeAnalysis& analysis, int language);
QString scodeMessageCaption(int language); // "Alarm"

// The fixed columns of the analysis table.
QString scodeItemName(int row, int upsModel, int language);
QString scodeGroupKey(int row);   // "S0" for rows 0..15, ...
QString scodeWordNumber(int row); // "1" to "4": the four-digit word the item sits in
// The state column: the text of the digit's value, "X" for a value without a text, "?" for every
// row of a group that was not read (or was malformed).
QString scodeStateText(const SCodeAnalysis& analysis, int row, int upsModel, int language);

// How the decoder judges a row's state (from its item's table, not from the text shown): a fault
// or out-of-range reading is Alarm, a digit value without a meaning Undefined, a group not read
// Unknown. "Show abnormal only" keeps the rows whose state is neither Normal nor Reserved.
enum class SCodeSeverity { Normal, Reserved, Alarm, Undefined, Unknown };
SCodeSeverity scodeStateSeverity(const SCodeAnalysis& analysis, int row, int upsModel);
bool scodeAbnormal(SCodeSeverity severity);

QString scodeColumnTitle(int column, int language); // the analysis table's heads: No., Group, Word, Item, State
QString scodeAbnormalOnlyCaption(int language);     // "Show abnormal only"

// The background of a cell of the analysis table, chosen by its text alone.
enum class SCodeCellColour { Normal, Unknown, Alarm, Undefined, Reserved };
SCodeCellColour scodeCellColour(const QString& text);

} // namespace zav
