#pragma once
// zavd's log lines on stderr. Under systemd (JOURNAL_STREAM set) each line starts with the
// syslog priority "<N>", which the journal takes as the line's level; on a terminal it says the
// level in words.

#include <QString>

namespace zav {

enum class LogLevel { Error = 3, Warning = 4, Notice = 5, Info = 6 };

void zavdLog(LogLevel level, const QString& area, const QString& message);
// The line zavdLog() writes, for tests.
QByteArray zavdLogLine(LogLevel level, const QString& area, const QString& message, bool journal);

} // namespace zav
