#pragma once
// The texts of the record pages: history event names, actions, grid titles, button captions, hint
// texts and the save dialog. Every table is indexed by the language first (0 CN, 1 EN, 2 CHT); any
// other index reads as English.

#include <QString>

namespace zav {

inline constexpr int kHistoryEventCount = 200; // event codes 0..199 have a text
inline constexpr int kHistoryColumns = 5;
inline constexpr int kRecordGridRows = 1000; // both record grids

QString historyEventText(int code, int language);    // empty for codes without a text
QString historyActionText(int action, int language); // empty for actions 2 and 3
QString historyHeaderText(int column, int language);

// ButtonDownload and ButtonSCodeDownload: idle "Download", running "Cancel".
QString downloadCaption(bool running, int language);
QString scodeDownloadCaption(bool running, int language);
// Label2 (history) and LabelSCodeWait: the waiting text and the finished text.
QString historyHintText(bool finished, int language);
QString scodeHintText(bool finished, int language);

// Where a record page's download stands, for its hint label. The waiting and finished texts are
// the page's own (above); before the first download the label says what Download does instead of
// "Downloading ...", and a run stopped by Cancel or a lost link says the rows read so far stay.
enum class RecordRun { NotStarted, Running, Finished, Stopped };
QString recordHint(RecordRun run, QString (*pageText)(bool finished, int language), int language);
// Said after a download when the UPS held more records than the table has rows for.
QString recordsCutText(int held, int kept, int language);
// After a save: where the file went and how many records it holds.
QString savedToText(const QString& path, int records, int language);

QString historyFilterHint(int language); // EditHislogFilter's placeholder
// Beside the history table when its stamps are the UPS's running time instead of a date.
QString runningTimeNote(int language);
QString scodeFilterHint(int language);   // EditSCodeFilter's placeholder
// The order choice of the record tables: "Download order", then "<key> ascending ▲" and
// "<key> descending ▼"; its tool tip (with the title clicks where the table has a title row).
QString downloadOrderText(int language);
QString sortChoiceText(const QString& key, bool ascending, int language);
QString sortChoiceHint(bool titleClicks, int language);
QString scodeSortKeyName(int key, int language); // 0 the record's number, 1 its time stamp

QString saveCaption(int language);       // ButtonSave, ButtonSCodeSave
QString historySaveHint(int language);   // tool tip of ButtonSave
QString scodeSaveHint(int language);     // tool tip of ButtonSCodeSave
QString saveDialogTitle(int language);   // "Save as"
QString analyzeCaption(int language);    // ButtonSCodeAnalyze
QString analyzeHint(int language);       // Label90
QString analyzeSelectedCaption(int language); // ButtonSCodeAnalyzeSelected
QString analyzeMoreHint(int language);        // the line under Label90: the button and the double-click
QString scodeTabCaption(int language);   // the download tab
QString triggerTabCaption(int language); // the trigger-control tab
QString formSCodeCaption();              // the analysis window

} // namespace zav
