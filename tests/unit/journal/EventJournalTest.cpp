#include "journal/EventJournal.h"
#include "journal/JournalFormat.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>

using namespace zav;

namespace {

const QDateTime kNoon = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);

UpsEvent event(EventType type, const QDateTime& time, const QString& text, const QString& details = {}) {
    UpsEvent e;
    e.type = type;
    e.time = time;
    e.ups = "zav";
    e.text = text;
    e.details = details;
    return e;
}

QStringList texts(const QVector<UpsEvent>& events) {
    QStringList out;
    for (const UpsEvent& e : events) out << e.text;
    return out;
}

class JournalTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("state/journal.sqlite"); }
};

TEST_F(JournalTest, KeepsEventsAndFindsThemNewestFirst) {
    EventJournal journal;
    journal.setClock([] { return kNoon; });
    ASSERT_TRUE(journal.open(path())) << journal.error().toStdString();
    journal.add(event(EventType::PowerFail, kNoon.addSecs(-300), "Utility failure"));
    journal.add(event(EventType::AlarmRaised, kNoon.addSecs(-200), "Alarm: Fan 50%_fault", "event=5 unit=0"));
    journal.add(event(EventType::PowerBack, kNoon.addSecs(-100), "Utility power is back"));
    journal.add(event(EventType::Command, kNoon.addSecs(-50), "Control command: 开机"));
    ASSERT_TRUE(journal.flush());

    EventJournal reader; // a second connection, as zavctl reads zavd's journal
    ASSERT_TRUE(reader.open(path(), true)) << reader.error().toStdString();
    struct Case {
        JournalQuery query;
        QStringList expected;
    };
    JournalQuery all, power, alarmByName, since, search, wildcard, chinese, limited;
    power.kinds = QStringList{"power"};
    alarmByName.kinds = QStringList{"alarm", "command"};
    since.since = kNoon.addSecs(-150);
    since.until = kNoon.addSecs(-60);
    search.search = "UTILITY";
    wildcard.search = "%_"; // taken as text, not as a pattern
    chinese.search = "开机";
    limited.limit = 2;
    const Case cases[] = {
        {all, {"Control command: 开机", "Utility power is back", "Alarm: Fan 50%_fault", "Utility failure"}},
        {power, {"Utility power is back", "Utility failure"}},
        {alarmByName, {"Control command: 开机", "Alarm: Fan 50%_fault"}},
        {since, {"Utility power is back"}},
        {search, {"Utility power is back", "Utility failure"}},
        {wildcard, {"Alarm: Fan 50%_fault"}},
        {chinese, {"Control command: 开机"}},
        {limited, {"Control command: 开机", "Utility power is back"}},
    };
    for (const Case& c : cases) EXPECT_EQ(texts(reader.query(c.query)), c.expected) << c.expected.join('|').toStdString();
    const QVector<UpsEvent> back = reader.query(all);
    EXPECT_EQ(back.last().type, EventType::PowerFail);
    EXPECT_EQ(back.last().time, kNoon.addSecs(-300));
    EXPECT_EQ(back[1].ups, "zav");
}

TEST_F(JournalTest, RetentionByAgeAndBySize) {
    QDateTime now = kNoon;
    EventJournal journal;
    journal.setClock([&now] { return now; });
    journal.setRetention({30, 1});
    ASSERT_TRUE(journal.open(path()));
    journal.add(event(EventType::PowerFail, now.addDays(-40), "old"));
    journal.add(event(EventType::PowerBack, now.addDays(-20), "recent"));
    ASSERT_TRUE(journal.flush());
    journal.prune();
    EXPECT_EQ(texts(journal.query({})), QStringList{"recent"});

    // Far more than a megabyte of events: the oldest go until the data fits, the newest stay.
    const QString filler(2000, u'x');
    for (int batch = 0; batch < 10; ++batch) {
        for (int i = 0; i < 100; ++i) journal.add(event(EventType::AlarmRaised, now.addSecs(batch * 100 + i), filler + QString::number(batch * 100 + i)));
        ASSERT_TRUE(journal.flush());
    }
    journal.prune();
    EXPECT_LE(journal.file().usedBytes(), 1024 * 1024);
    const QVector<UpsEvent> kept = journal.query({});
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_LT(kept.size(), 1000);
    EXPECT_EQ(kept.first().text, filler + "999");
    EXPECT_LT(QFileInfo(path()).size(), 1536 * 1024); // the freed pages went back to the disk
}

TEST_F(JournalTest, AnUnusableFileLeavesTheJournalOffWithAReason) {
    struct Case {
        const char* name;
        QByteArray content;
        bool readOnly;
    };
    QByteArray damaged;
    {
        // A real journal whose pages were overwritten in the middle.
        EventJournal j;
        ASSERT_TRUE(j.open(dir.filePath("good.sqlite")));
        for (int i = 0; i < 200; ++i) j.add(event(EventType::AlarmRaised, kNoon.addSecs(i), QString(500, u'a')));
        ASSERT_TRUE(j.flush());
        j.close();
        QFile f(dir.filePath("good.sqlite"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        damaged = f.readAll();
        for (int i = 4096 + 100; i < damaged.size() - 4096; i += 7) damaged[i] = char(0xA5);
    }
    const Case cases[] = {
        {"text.sqlite", QByteArray("this is not a database, just some text\n").repeated(200), false},
        {"damaged.sqlite", damaged, false},
        {"missing.sqlite", QByteArray(), true},
    };
    for (const Case& c : cases) {
        const QString p = dir.filePath(c.name);
        if (!c.content.isEmpty()) {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        EventJournal journal;
        EXPECT_FALSE(journal.open(p, c.readOnly)) << c.name;
        EXPECT_FALSE(journal.isOpen()) << c.name;
        EXPECT_TRUE(journal.error().contains(p)) << journal.error().toStdString();
        journal.add(event(EventType::PowerFail, kNoon, "lost")); // goes nowhere, harms nothing
        EXPECT_FALSE(journal.flush()) << c.name;
        EXPECT_TRUE(journal.query({}).isEmpty());
        EXPECT_FALSE(journal.queryError().isEmpty()) << c.name;
    }
}

TEST(JournalFormat, CsvAndJsonKeepEveryCharacter) {
    QVector<UpsEvent> events{event(EventType::AlarmRaised, kNoon, "告警: a, \"b\"\nc", "event=1 unit=0"),
                             event(EventType::LinkUp, kNoon.addMSecs(250), "Link", {})};
    const QByteArray csv = journalCsv(events, true);
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF" "time,ups,event,kind,text,details\r\n"));
    const QString body = QString::fromUtf8(csv.mid(3));
    EXPECT_TRUE(body.contains(QStringLiteral(",zav,alarm,alarm,\"告警: a, \"\"b\"\"\nc\",event=1 unit=0\r\n"))) << body.toStdString();
    EXPECT_TRUE(body.contains(journalTimeText(kNoon.addMSecs(250)) + ",zav,link-up,link,Link,\r\n"));
    EXPECT_FALSE(journalCsv(events, false).startsWith("\xEF"));
    const QByteArray json = journalJson(events);
    EXPECT_TRUE(QString::fromUtf8(json).contains(QStringLiteral("\"text\": \"告警: a, \\\"b\\\"\\nc\""))) << json.toStdString();
}

TEST(JournalFormat, TimesOfTheFilters) {
    const QDateTime now = kNoon;
    struct Case {
        const char* text;
        QDateTime expected; // invalid: refused
    };
    const Case cases[] = {
        {"2h", now.addSecs(-7200)},
        {"30m", now.addSecs(-1800)},
        {"7d", now.addDays(-7)},
        {"1w", now.addDays(-7)},
        {"2026-11-30T10:00:00Z", QDateTime(QDate(2026, 11, 30), QTime(10, 0), Qt::UTC)},
        {"2026-11-30 10:00", QDateTime(QDate(2026, 11, 30), QTime(10, 0), Qt::LocalTime).toUTC()},
        {"2026-11-30", QDate(2026, 11, 30).startOfDay().toUTC()},
        {"yesterday", QDateTime()},
        {"-2h", QDateTime()},
        {"", QDateTime()},
    };
    for (const Case& c : cases) {
        const std::optional<QDateTime> t = parseJournalTime(c.text, now);
        EXPECT_EQ(t.has_value(), c.expected.isValid()) << c.text;
        if (t && c.expected.isValid()) {
            EXPECT_EQ(*t, c.expected) << c.text;
        }
    }
}

// The child of KilledWriterLosesNothingCommitted: writes, says so, and waits to be killed.
TEST(JournalChild, DISABLED_WritesUntilKilled) {
    int argc = 1;
    char arg0[] = "child";
    char* argv[] = {arg0};
    QCoreApplication app(argc, argv);
    EventJournal journal;
    ASSERT_TRUE(journal.open(qEnvironmentVariable("ZAV_JOURNAL_CHILD")));
    for (int i = 0; i < 20; ++i) journal.add(event(EventType::AlarmRaised, kNoon.addSecs(i), QString::number(i)));
    fputs("added\n", stdout);
    fflush(stdout);
    app.exec(); // the commit timer runs; nothing else ever happens
}

TEST_F(JournalTest, KilledWriterLosesNothingCommitted) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZAV_JOURNAL_CHILD", path());
    child.setProcessEnvironment(env);
    child.start(QFile::symLinkTarget("/proc/self/exe"), {"--gtest_also_run_disabled_tests", "--gtest_filter=JournalChild.DISABLED_WritesUntilKilled"});
    ASSERT_TRUE(child.waitForStarted(30000));
    QByteArray said;
    QDeadlineTimer bound(60000);
    while (!said.contains("added\n") && !bound.hasExpired() && child.state() == QProcess::Running) {
        child.waitForReadyRead(500);
        said += child.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("added\n")) << said.toStdString();
    // The child never flushes by itself: the rows appear through its commit timer alone.
    int rows = 0;
    while (rows < 20 && !bound.hasExpired()) {
        EventJournal reader;
        if (reader.open(path(), true)) rows = int(reader.query({}).size());
        if (rows < 20) QThread::msleep(50);
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    EventJournal after;
    ASSERT_TRUE(after.open(path(), true)) << after.error().toStdString(); // sound after the kill
    EXPECT_EQ(after.query({}).size(), 20);
    EXPECT_EQ(rows, 20);
}

} // namespace
