#include "zavd/ZavdLog.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace zav {

QByteArray zavdLogLine(LogLevel level, const QString& area, const QString& message, bool journal) {
    QByteArray line;
    if (journal) {
        line = '<' + QByteArray::number(int(level)) + '>';
    } else {
        static const char* const names[] = {"", "", "", "error: ", "warning: ", "", ""};
        line = names[int(level)];
    }
    QString text = message;
    text.replace('\n', ' ').replace('\r', ' ');
    return line + area.toUtf8() + ": " + text.toUtf8() + '\n';
}

void zavdLog(LogLevel level, const QString& area, const QString& message) {
    static const bool journal = std::getenv("JOURNAL_STREAM") != nullptr;
    const QByteArray line = zavdLogLine(level, area, message, journal);
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace zav
