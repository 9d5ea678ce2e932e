#pragma once
// The language index and the texts of the application shell. Every table is indexed by the
// language first: 0 Simplified Chinese, 1 English, 2 Traditional Chinese.

#include <QLocale>
#include <QString>

namespace zav {

enum Language : int { LangCN = 0, LangEN = 1, LangCHT = 2 };
inline constexpr int kLanguageCount = 3;
inline constexpr int kPageCount = 18;
inline constexpr int kCommonMessageCount = 35;

// Any index outside 0..2 reads as English, like an unknown language text.
int clampLanguage(int language);

// "CN" -> 0, "CHT" -> 2, any other text -> 1.
int languageFromText(const QString& text);
QString languageText(int language);  // "CN", "EN", "CHT"
int languageLocaleId(int language);  // 2052, 1033, 1028

// Locale 2052: Chinese as written in the People's Republic of China.
bool isPrcChineseLocale(const QLocale& locale);
// The language at start. `stored` is "LanguageSet"/"Language" of ZAV.ini, or "XXX" when the file or
// the key is missing ("XXX" means: follow the system locale).
int startLanguage(const QString& stored, const QLocale& systemLocale);
inline constexpr char kLanguageUnset[] = "XXX";

// Rows of the common message table; the reserved rows 14 and 16 are empty.
QString commonMessage(int row, int language);
enum CommonMessageRow : int {
    MsgConditionsNotOk = 0,
    MsgCurrentUnitId = 1,
    MsgWrongAddress = 9,
    MsgPortFailed = 10,
    MsgNoData = 11,
    MsgCheckValue = 12,
};

QString pageCaption(int page, int language); // the nodes of TreeView1
QString linkStatusText(bool linkOk, int language); // StatusBar1 panel 0
QString trayQuestion(int language);               // asked at the first close
// A setting could not be stored because ZAV.ini cannot be written.
QString profileWriteFailedText(int language);

inline constexpr char kTrayTip[] = "UPS ZAV";
inline constexpr char kSessionEndMessage[] = "UPS ZAV Will close!";

} // namespace zav
