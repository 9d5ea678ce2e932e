// zavd keeps each live cycle's values in the trends file beside its journal; zavctl trends reads
// them back; the virtual UPS gives the values.

#include "SimulatorThread.h"
#include "journal/TrendStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;

namespace {

const QString kZavd = QStringLiteral(ZAV_BINARY_DIR "/zavd");
const QString kZavctl = QStringLiteral(ZAV_BINARY_DIR "/zavctl");
constexpr int kWaitMs = 30'000;

struct CtlRun {
    int code = -1;
    QByteArray out, err;
};

CtlRun zavctl(const QStringList& args) {
    QProcess p;
    p.start(kZavctl, args);
    CtlRun r;
    if (!p.waitForFinished(kWaitMs)) return r;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// The points of one value in zavctl's JSON.
QJsonArray pointsOf(const QByteArray& json, const QString& value) {
    for (const QJsonValue& s : QJsonDocument::fromJson(json).object().value("series").toArray())
        if (s.toObject().value("value").toString() == value) return s.toObject().value("points").toArray();
    return {};
}

} // namespace

TEST(TrendsZavd, EachCycleIsKeptAndZavctlPrintsIt) {
    SimulatorThread ups{[] {
        SimConfig c;
        c.upsModel = 1;
        c.baud = 9600;
        c.loadPercent = 37;
        return c;
    }()};
    QString error;
    ASSERT_TRUE(ups.start(&error)) << error.toStdString();
    QTemporaryDir dir;
    const QString conf = dir.filePath("zavd.conf");
    QFile f(conf);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Link]\nPort=" + ups.devicePath().toUtf8() + "\nBaud=9600\nModel=1\n[Server]\nUpsName=rack1\n"
            "[Journal]\nStateDirectory=" + dir.filePath("state").toUtf8() + "\n");
    f.close();
    QFile::setPermissions(conf, QFile::ReadOwner | QFile::WriteOwner);
    QProcess zavd;
    zavd.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    zavd.start(kZavd, {"--config", conf, "--listen-port", "0", "--dry-run"});
    ASSERT_TRUE(zavd.waitForStarted(kWaitMs));

    const QString db = dir.filePath("state/journal-trends.sqlite");
    const QStringList ask{"trends", "--db", db, "--since", "10m", "--values", "output.load.a,output.voltage.c,battery.charge"};
    CtlRun r;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        r = zavctl(ask);
        return r.code == 0 && pointsOf(r.out, "output.load.a").size() >= 3;
    }, kWaitMs)) << r.err.toStdString() << r.out.toStdString();
    zavd.terminate();
    zavd.waitForFinished(10'000);

    const QJsonObject top = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(top.value("ups").toString(), "rack1");
    EXPECT_EQ(top.value("level").toString(), "cycle");
    for (const QJsonValue& p : pointsOf(r.out, "output.load.a")) EXPECT_NEAR(p.toObject().value("mean").toDouble(), 37, 3);
    for (const QJsonValue& p : pointsOf(r.out, "output.voltage.c")) EXPECT_NEAR(p.toObject().value("mean").toDouble(), 230, 25);
    EXPECT_FALSE(pointsOf(r.out, "battery.charge").isEmpty());

    // The same as CSV; a value not known, a file that is not a database: failures, nothing on stdout.
    const CtlRun csv = zavctl({"trends", "--db", db, "--since", "1h", "--values", "output.load.a", "--format", "csv"});
    ASSERT_EQ(csv.code, 0) << csv.err.toStdString();
    EXPECT_TRUE(csv.out.startsWith("time,value,mean,min,max,gap\r\n"));
    EXPECT_TRUE(csv.out.contains(",output.load.a,")) << csv.out.toStdString();
    QFile junk(dir.filePath("junk.sqlite"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray("not a database\n").repeated(100));
    junk.close();
    struct Case {
        QStringList args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {{"trends", "--db", db}, 1, "--since is needed"},
        {{"trends", "--db", db, "--since", "1h", "--values", "output.weather"}, 1, "unknown value"},
        {{"trends", "--db", db, "--since", "soon"}, 1, "bad --since"},
        {{"trends", "--db", db, "--since", "1h", "--until", "2h"}, 1, "bad range"},
        {{"trends", "--db", junk.fileName(), "--since", "1h"}, 6, "junk.sqlite"},
        {{"trends", "--db", dir.filePath("missing.sqlite"), "--since", "1h"}, 6, "no such file"},
    };
    for (const Case& c : cases) {
        const CtlRun bad = zavctl(c.args);
        EXPECT_EQ(bad.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(bad.err.contains(c.says)) << bad.err.toStdString();
        EXPECT_TRUE(bad.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.sqlite")));
}
