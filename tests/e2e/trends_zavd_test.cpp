// zavd keeps each live cycle's values in the trends file beside its journal; zavctl trends reads
// them back; the virtual UPS gives the values.

#include "SimulatorThread.h"
#include "ZavdProcess.h"
#include "journal/TrendStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zav;
using namespace zav::sim;
using namespace zav::sim::test;

namespace {


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
    ZavdProcess zavd;
    QString why;
    ASSERT_TRUE(zavd.start(dir.filePath("zavd.conf"),
                           "[Link]\nPort=" + ups.devicePath().toUtf8() + "\nBaud=9600\nModel=1\n[Server]\nUpsName=rack1\n"
                           "[Journal]\nStateDirectory=" + dir.filePath("state").toUtf8() + "\n",
                           &why))
        << why.toStdString();

    const QString db = dir.filePath("state/journal-trends.sqlite");
    const QStringList ask{"trends", "--db", db, "--since", "10m", "--values", "output.load.a,output.voltage.c,battery.charge"};
    CtlRun r;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        r = runZavctl(ask);
        return r.code == 0 && pointsOf(r.out, "output.load.a").size() >= 3;
    }, kZavdWaitMs)) << r.err.toStdString() << r.out.toStdString();
    zavd.stop();

    const QJsonObject top = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(top.value("ups").toString(), "rack1");
    EXPECT_EQ(top.value("level").toString(), "cycle");
    for (const QJsonValue& p : pointsOf(r.out, "output.load.a")) EXPECT_NEAR(p.toObject().value("mean").toDouble(), 37, 3);
    for (const QJsonValue& p : pointsOf(r.out, "output.voltage.c")) EXPECT_NEAR(p.toObject().value("mean").toDouble(), 230, 25);
    EXPECT_FALSE(pointsOf(r.out, "battery.charge").isEmpty());

    // The same as CSV; a value not known, a file that is not a database: failures, nothing on stdout.
    const CtlRun csv = runZavctl({"trends", "--db", db, "--since", "1h", "--values", "output.load.a", "--format", "csv"});
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
        const CtlRun bad = runZavctl(c.args);
        EXPECT_EQ(bad.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(bad.err.contains(c.says)) << bad.err.toStdString();
        EXPECT_TRUE(bad.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.sqlite")));
}
