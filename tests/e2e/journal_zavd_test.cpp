// zavd's event journal and event command against the virtual UPS, read back with zavctl journal.

#include "SimulatorThread.h"
#include "ZavdProcess.h"
#include "journal/EventJournal.h"

#include <QDeadlineTimer>
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


QStringList eventNames(const QByteArray& json) {
    QStringList out;
    for (const QJsonValue& v : QJsonDocument::fromJson(json).array()) out << v.toObject().value("event").toString();
    return out;
}

class JournalZavd : public ::testing::Test {
  protected:
    SimulatorThread ups{[] {
        SimConfig c;
        c.upsModel = 7;
        c.baud = 9600;
        return c;
    }()};
    QTemporaryDir dir;
    ZavdProcess zavd;

    void SetUp() override {
        QString error;
        ASSERT_TRUE(ups.start(&error)) << error.toStdString();
    }
    QString db() const { return dir.filePath("state/journal.sqlite"); }
    void apply(const char* text) {
        ScenarioEvent e;
        QString error;
        ASSERT_TRUE(parseEvent(QString::fromLatin1(text), &e, &error)) << error.toStdString();
        ups.withUps([&](VirtualUps& u) { u.apply(e); });
    }
    bool journalHas(const QString& event, const QStringList& extra = {}) {
        return QTest::qWaitFor([&] {
            const CtlRun r = runZavctl(QStringList{"journal", "--db", db()} + extra);
            return r.code == 0 && eventNames(r.out).contains(event);
        }, kZavdWaitMs);
    }
};

} // namespace

TEST_F(JournalZavd, EventsGoToTheJournalAndTheCommandAndZavctlReadsThem) {
    const QString hookOut = dir.filePath("hook.txt");
    const QString script = dir.filePath("hook.sh");
    QFile s(script);
    ASSERT_TRUE(s.open(QIODevice::WriteOnly));
    s.write("#!/bin/sh\necho \"$ZAV_EVENT|$ZAV_UPS|$ZAV_TEXT\" >> \"$1\"\n");
    s.close();
    s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QString why;
    ASSERT_TRUE(zavd.start(dir.filePath("zavd.conf"),
                           "[Link]\nPort=" + ups.devicePath().toUtf8() + "\nBaud=9600\nModel=7\n[Server]\nUpsName=rack1\n"
                           "[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=10\n"
                           "[Journal]\nStateDirectory=" + dir.filePath("state").toUtf8() + "\n"
                           "[EventCommand]\nProgram=" + script.toUtf8() + " " + hookOut.toUtf8() + "\n",
                           &why))
        << why.toStdString();

    ASSERT_TRUE(journalHas("link-up"));
    apply("0s utility-fail");
    ASSERT_TRUE(journalHas("power-fail", {"--kind", "power"}));
    ASSERT_TRUE(journalHas("countdown", {"--kind", "protection"}));
    apply("0s utility-restore");
    ASSERT_TRUE(journalHas("power-back"));

    // Newest first, and only what the filter asks for.
    const CtlRun power = runZavctl({"journal", "--db", db(), "--kind", "power"});
    ASSERT_EQ(power.code, 0) << power.err.toStdString();
    const QStringList names = eventNames(power.out);
    ASSERT_GE(names.size(), 2);
    EXPECT_EQ(names.first(), "power-back");
    EXPECT_TRUE(names.contains("power-fail"));
    EXPECT_FALSE(names.contains("link-up"));
    const CtlRun csv = runZavctl({"journal", "--db", db(), "--format", "csv", "--since", "1h"});
    ASSERT_EQ(csv.code, 0);
    EXPECT_TRUE(csv.out.startsWith("time,ups,event,kind,text,details\r\n"));
    EXPECT_TRUE(csv.out.contains(",rack1,power-fail,power,")) << csv.out.toStdString();

    // The command ran for the events, with their names and texts.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QFile h(hookOut);
        return h.open(QIODevice::ReadOnly) && h.readAll().contains("power-back|rack1|");
    }, kZavdWaitMs));
    QFile h(hookOut);
    ASSERT_TRUE(h.open(QIODevice::ReadOnly));
    EXPECT_TRUE(h.readAll().contains("power-fail|rack1|Utility failure"));
}

TEST(JournalZavctl, AJournalThatCannotBeReadIsAFailure) {
    QTemporaryDir dir;
    const QString garbage = dir.filePath("garbage.sqlite");
    QFile g(garbage);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(QByteArray("not a database\n").repeated(100));
    g.close();
    struct Case {
        QStringList args;
        int code;
        const char* says;
    };
    const Case cases[] = {
        {{"journal", "--db", dir.filePath("missing.sqlite")}, 6, "no such file"},
        {{"journal", "--db", garbage}, 6, "garbage.sqlite"},
        {{"journal", "--db", garbage, "--since", "yesterday"}, 1, "bad --since"},
        {{"journal", "--db", garbage, "--kind", "weather"}, 1, "unknown --kind"},
        {{"journal", "--db", garbage, "--format", "xml"}, 1, "bad --format"},
    };
    for (const Case& c : cases) {
        const CtlRun r = runZavctl(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.sqlite"))); // reading creates nothing
    // An empty journal is a success with an empty list.
    {
        EventJournal j;
        ASSERT_TRUE(j.open(dir.filePath("empty.sqlite")));
    }
    const CtlRun empty = runZavctl({"journal", "--db", dir.filePath("empty.sqlite")});
    EXPECT_EQ(empty.code, 0) << empty.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(empty.out).array().size(), 0);
}
