// `zavd --check` reads a configuration with the service's own reader and exits: 0 and what it
// found for a good file (the packaged sample among them), non-zero and the reader's error
// otherwise. It opens no serial port and listens on no TCP port.

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString kZavd = QStringLiteral(ZAV_BINARY_DIR "/zavd");
const QString kSample = QStringLiteral(QT_TESTCASE_SOURCEDIR "/packaging/zavd.conf.sample");

struct ZavdRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ZavdRun zavd(const QStringList& args) {
    QProcess p;
    p.start(kZavd, args);
    EXPECT_TRUE(p.waitForFinished(30'000)) << "zavd did not exit";
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString writeConfig(const QTemporaryDir& dir, const QByteArray& text, const QString& name = "zavd.conf") {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    ::chmod(QFile::encodeName(path).constData(), 0600);
    return path;
}

} // namespace

TEST(ZavdCheck, TheSampleIsAcceptedWithoutTouchingAnyPort) {
    QTemporaryDir dir;
    QFile sample(kSample);
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    // A TCP port held here: a zavd that listened would fail on it; a serial port that is not there.
    QTcpServer busy;
    ASSERT_TRUE(busy.listen(QHostAddress::LocalHost));
    QByteArray text = sample.readAll();
    text.replace("ListenPort=3493", "ListenPort=" + QByteArray::number(busy.serverPort()));
    text.replace("Port=/dev/ttyUSB0", "Port=" + QFile::encodeName(dir.filePath("no-such-tty")));
    const QString path = writeConfig(dir, text);

    const ZavdRun run = zavd({"--check", "--config", path});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.startsWith(path + ": OK\n")) << qPrintable(run.out);
    EXPECT_TRUE(run.out.contains("[Link] Port=" + dir.filePath("no-such-tty") + " Protocol=ascii Baud=auto"));
    EXPECT_TRUE(run.out.contains("[User admin] Actions=SET FSD InstCmds=ALL")) << qPrintable(run.out);
    EXPECT_FALSE(run.out.contains("change-me")); // passwords stay in the file
}

TEST(ZavdCheck, ABadFileFailsWithTheReadersMessage) {
    QTemporaryDir dir;
    const QString good = writeConfig(dir, "[Link]\nPort=/dev/ttyS0\n");
    const struct {
        QStringList args;
        QString error; // in stderr
    } cases[] = {
        {{"--check", "--config", writeConfig(dir, "[Link]\nPort=/dev/ttyS0\nBaud=1234\n", "bad.conf")}, "[Link] Baud: '1234'"},
        {{"--check", "--config", dir.filePath("absent.conf")}, "(give --config PATH)"},
        {{"--check", "--config", good, "--addr", "300"}, "bad --addr"}, // the command line is checked too
    };
    for (const auto& c : cases) {
        const ZavdRun run = zavd(c.args);
        EXPECT_NE(run.exitCode, 0) << qPrintable(c.args.join(' '));
        EXPECT_TRUE(run.err.contains(c.error)) << qPrintable(run.err);
        EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
    }
}
