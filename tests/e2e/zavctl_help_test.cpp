// `zavctl --help` lists every subcommand in a column of names apart from their summaries (the
// manual page is made from this text and reads the names from it), and each listed subcommand
// answers --help with its options and exit status 0.

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");

QString helpOf(const QStringList& args, int* exitCode) {
    QProcess p;
    p.start(kZavctl, args);
    EXPECT_TRUE(p.waitForFinished(30'000));
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(ZavctlHelp, EverySubcommandIsListedApartFromItsSummaryAndHasItsOwnHelp) {
    int code = -1;
    const QString usage = helpOf({"--help"}, &code);
    ASSERT_EQ(code, 0);
    const QStringList lines = usage.section(QStringLiteral("commands:\n"), 1).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty()) << qPrintable(usage);
    static const QRegularExpression entry(QStringLiteral("^  ([a-z][a-z-]*)  +\\S"));
    int column = -1;
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = entry.match(line);
        ASSERT_TRUE(m.hasMatch()) << "name not apart from its summary: " << qPrintable(line);
        const int summaryAt = int(line.indexOf(QRegularExpression(QStringLiteral("\\S")), m.capturedEnd(1)));
        if (column < 0) column = summaryAt;
        EXPECT_EQ(summaryAt, column) << "summary out of its column: " << qPrintable(line);
        const QString help = helpOf({m.captured(1), "--help"}, &code);
        EXPECT_EQ(code, 0) << qPrintable(m.captured(1));
        EXPECT_TRUE(help.contains("usage: zavctl " + m.captured(1))) << qPrintable(help);
    }
}
