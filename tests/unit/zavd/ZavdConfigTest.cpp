// zavd.conf: good files give the link, server, users and policy; every bad or missing value stops
// the start with a message naming the file, the section and the key.

#include "zavd/ZavdConfig.h"
#include "zavd/ZavdLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zav;

namespace {

const char* kGood = "[Link]\nPort=/dev/ttyUSB3\nProtocol=rtu\nBaud=19200\nAddress=7\nModel=5\n"
                    "[Server]\nListen=0.0.0.0\nListenPort=3500\nMaxConnections=10\nUpsName=rack1\nUsers=admin, mon\n"
                    "[Power]\nPowerOff=system\n"
                    "[ShutEvents]\nCheckBoxShutdownEnable=1\nSEUtilityFailShutDelay=3\nSEBattVoltLowShutDelay=0\n"
                    "[User admin]\nPassword=a b\nActions=SET FSD\nInstCmds=beeper.mute test.battery.start\n"
                    "[User mon]\nPassword=pw\nUpsmon=primary\n";

struct Loaded {
    QString error;
    ZavdConfig config;
};

Loaded load(const QByteArray& text, bool portGiven = false) {
    QTemporaryDir dir;
    const QString path = dir.filePath("zavd.conf");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    Loaded l;
    l.error = loadZavdConfig(path, l.config, portGiven);
    if (!l.error.isEmpty()) {
        EXPECT_TRUE(l.error.startsWith(path)) << qPrintable(l.error); // names the file
        l.error = l.error.mid(path.size() + 2);
    }
    return l;
}

} // namespace

TEST(ZavdConfig, AGoodFileGivesEveryPart) {
    const Loaded l = load(kGood);
    ASSERT_TRUE(l.error.isEmpty()) << qPrintable(l.error);
    const ZavdConfig& c = l.config;
    EXPECT_EQ(c.link.portName, "/dev/ttyUSB3");
    EXPECT_EQ(c.link.protocol, Protocol::Rtu);
    EXPECT_EQ(kBaudItems[size_t(c.link.baudItem)], 19200);
    EXPECT_EQ(c.link.addressText, "7");
    EXPECT_EQ(c.link.modelItem, 6);
    EXPECT_EQ(c.listenAddress, "0.0.0.0");
    EXPECT_EQ(c.listenPort, 3500);
    EXPECT_EQ(c.maxConnections, 10);
    EXPECT_EQ(c.upsName, "rack1");
    EXPECT_FALSE(c.dryRun);
    EXPECT_TRUE(c.shutdown.enabled);
    EXPECT_EQ(c.shutdown.utilityMinutes, 3);
    EXPECT_EQ(c.shutdown.batteryMinutes, 0);
    ASSERT_EQ(c.users.size(), 2);
    EXPECT_EQ(c.users[0].password, "a b");
    EXPECT_TRUE(c.users[0].maySet);
    EXPECT_TRUE(c.users[0].mayForceShutdown);
    EXPECT_TRUE(c.users[0].mayRun("beeper.mute"));
    EXPECT_FALSE(c.users[0].mayRun("bypass.start"));
    EXPECT_EQ(c.users[1].upsmon, "primary");
    EXPECT_FALSE(c.users[1].maySet);
}

TEST(ZavdConfig, DefaultsAreLocalAndDryRun) {
    const Loaded l = load("[Link]\nPort=/dev/ttyS0\n");
    ASSERT_TRUE(l.error.isEmpty()) << qPrintable(l.error);
    EXPECT_EQ(l.config.listenAddress, "127.0.0.1");
    EXPECT_EQ(l.config.listenPort, 3493);
    EXPECT_TRUE(l.config.dryRun);
    EXPECT_EQ(l.config.link.baudItem, kBaudAutoItem);
    EXPECT_EQ(l.config.link.modelItem, 0);
    EXPECT_TRUE(l.config.users.isEmpty());
    EXPECT_EQ(l.config.timing, (TimingOptions{LinkTiming::Fast, 0}));
    const Loaded classic = load("[Link]\nPort=/dev/ttyS0\nTiming=Classic\nExtraGapMs=20\n");
    ASSERT_TRUE(classic.error.isEmpty()) << qPrintable(classic.error);
    EXPECT_EQ(classic.config.timing, (TimingOptions{LinkTiming::Classic, 20}));
}

TEST(ZavdConfig, BadValuesNameTheirKey) {
    struct Case {
        const char* text;
        const char* starts;
    };
    const Case cases[] = {
        {"[Link]\n", "[Link] Port: missing"},
        {"[Link]\nPort=/dev/x\nProtocol=tcp\n", "[Link] Protocol: 'tcp'"},
        {"[Link]\nPort=/dev/x\nBaud=115200\n", "[Link] Baud: '115200'"},
        {"[Link]\nPort=/dev/x\nAddress=0\n", "[Link] Address: '0'"},
        {"[Link]\nPort=/dev/x\nAddress=abc\n", "[Link] Address: 'abc'"},
        {"[Link]\nPort=/dev/x\nModel=9\n", "[Link] Model: '9'"},
        {"[Link]\nPort=/dev/x\nTiming=slow\n", "[Link] Timing: 'slow': use fast or classic"},
        {"[Link]\nPort=/dev/x\nExtraGapMs=1001\n", "[Link] ExtraGapMs: '1001'"},
        {"[Link]\nPort=/dev/x\n[Server]\nListen=localhost\n", "[Server] Listen: 'localhost'"},
        {"[Link]\nPort=/dev/x\n[Server]\nListenPort=70000\n", "[Server] ListenPort: '70000'"},
        {"[Link]\nPort=/dev/x\n[Server]\nMaxConnections=0\n", "[Server] MaxConnections: '0'"},
        {"[Link]\nPort=/dev/x\n[Server]\nUpsName=my ups\n", "[Server] UpsName: 'my ups'"},
        {"[Link]\nPort=/dev/x\n[Server]\nUsers=bob\n", "[User bob] Password: missing"},
        {"[Link]\nPort=/dev/x\n[Server]\nUsers=bob\n[User bob]\nPassword=x\nActions=ALL\n", "[User bob] Actions: 'ALL'"},
        {"[Link]\nPort=/dev/x\n[Server]\nUsers=bob\n[User bob]\nPassword=x\nUpsmon=master\n",
         "[User bob] Upsmon: 'master'"},
        {"[Link]\nPort=/dev/x\n[Power]\nPowerOff=maybe\n", "[Power] PowerOff: 'maybe'"},
        {"[Link]\nPort=/dev/x\n[ShutEvents]\nSEBattVoltLowShutDelay=11\n", "[ShutEvents] SEBattVoltLowShutDelay: '11'"},
        {"[Link]\nPort=/dev/x\n[ShutEvents]\nSEUtilityFailShutDelay=ten\n", "[ShutEvents] SEUtilityFailShutDelay: 'ten'"},
        // A check box takes 1/0 (or yes/no, true/false, on/off): anything else would leave it off.
        {"[Link]\nPort=/dev/x\n[ShutEvents]\nCheckBoxShutdownEnable=abc\n", "[ShutEvents] CheckBoxShutdownEnable: 'abc': use 1 or 0"},
        {"[Link]\nPort=/dev/x\n[ShutEvents]\nCheckBoxShutdownEnable=\n", "[ShutEvents] CheckBoxShutdownEnable: '': use 1 or 0"},
        {"[Link]\nPort=/dev/x\n[ShutEvents]\nCheckBoxBattVoltLowUpsShutDelay=2\n", "[ShutEvents] CheckBoxBattVoltLowUpsShutDelay: '2'"},
        {"[Link]\nPort=/dev/x\n[Journal]\nStateDirectory=var/lib/zav\n", "[Journal] StateDirectory: 'var/lib/zav'"},
        {"[Link]\nPort=/dev/x\n[Journal]\nMaxAgeDays=0\n", "[Journal] MaxAgeDays: '0'"},
        {"[Link]\nPort=/dev/x\n[Journal]\nMaxSizeMB=lots\n", "[Journal] MaxSizeMB: 'lots'"},
        {"[Link]\nPort=/dev/x\n[Journal]\nTrendMaxSizeMB=0\n", "[Journal] TrendMaxSizeMB: '0'"},
        {"[Link]\nPort=/dev/x\n[EventCommand]\nProgram=\"/bin/x\n", "[EventCommand] Program: a quote is not closed"},
        {"[Link]\nPort=/dev/x\n[EventCommand]\nTimeoutSeconds=0\n", "[EventCommand] TimeoutSeconds: '0'"},
        // A key given twice is refused, not silently read once.
        {"[Link]\nPort=/dev/x\nport=/dev/y\n", "[Link] port: given twice (lines 2 and 3)"},
        {"[Link]\nPort=/dev/x\n[ShutEvents]\nCheckBoxShutdownEnable=1\n[shutevents]\nCheckBoxShutdownEnable=0\n",
         "[shutevents] CheckBoxShutdownEnable: given twice"},
        // Several UPSes: names, the shared port's rules, the names users and the policy refer to.
        {"[Server]\nUpsNames=a b\n[Ups a]\nPort=/dev/x\n", "[Ups b] Port: missing"},
        {"[Server]\nUpsNames=a a\n[Link]\nPort=/dev/x\n", "[Server] UpsNames: 'a' given twice"},
        {"[Server]\nUpsNames=a b!\n[Link]\nPort=/dev/x\n", "[Server] UpsNames: 'b!'"},
        {"[Server]\nUpsNames=a b\n[Link]\nPort=/dev/x\nBaud=9600\n[Ups b]\nAddress=0\n", "[Ups b] Address: '0'"},
        {"[Server]\nUpsNames=a b\n[Link]\nPort=/dev/x\nBaud=9600\n[Ups b]\nAddress=2\nBaud=19200\n",
         "[Server] UpsNames: a and b share /dev/x at different Baud rates"},
        {"[Server]\nUpsNames=a b\n[Link]\nPort=/dev/x\n[Ups b]\nAddress=2\n",
         "[Server] UpsNames: a and b share /dev/x: give their Baud"},
        {"[Server]\nUpsNames=a b\n[Link]\nPort=/dev/x\nBaud=9600\n[Ups b]\nAddress=2\nProtocol=rtu\n",
         "[Server] UpsNames: a and b share /dev/x with different Protocols"},
        {"[Server]\nUpsNames=a b\n[Link]\nPort=/dev/x\nBaud=9600\n",
         "[Server] UpsNames: a and b share /dev/x at the same Address 1"},
        {"[Server]\nUpsNames=a\nUsers=bob\n[Link]\nPort=/dev/x\n[User bob]\nPassword=x\nUpses=a c\n",
         "[User bob] Upses: 'c' is not one of the UPSes"},
        {"[Server]\nUpsNames=a\n[Link]\nPort=/dev/x\n[Power]\nFedBy=z\n", "[Power] FedBy: 'z' is not one of the UPSes"},
        {"[Link]\nPort=/dev/x\n[Power]\nFedByRule=most\n", "[Power] FedByRule: 'most': use any or all"},
    };
    for (const Case& c : cases) {
        const Loaded l = load(c.text);
        EXPECT_TRUE(l.error.startsWith(c.starts)) << c.text << "\n -> " << qPrintable(l.error);
    }
    EXPECT_TRUE(load("[Link]\n", true).error.isEmpty()); // the command line names the port
}

TEST(ZavdConfig, TodaysFileIsOneUpsFedByIt) {
    const Loaded l = load(kGood);
    ASSERT_TRUE(l.error.isEmpty()) << qPrintable(l.error);
    ASSERT_EQ(l.config.upses.size(), 1);
    EXPECT_EQ(l.config.upses[0].name, "rack1");
    EXPECT_EQ(l.config.upses[0].link.portName, "/dev/ttyUSB3");
    EXPECT_EQ(l.config.upses[0].link.addressText, "7");
    EXPECT_EQ(l.config.fedBy, QStringList{"rack1"});
    EXPECT_FALSE(l.config.fedByAll);
    EXPECT_TRUE(l.config.users[0].upses.isEmpty()) << "a user without Upses may act on every UPS";
}

TEST(ZavdConfig, SeveralUpsesTakeTheirOwnKeysAndLinksDefaults) {
    const Loaded l = load("[Link]\nPort=/dev/ttyUSB0\nProtocol=rtu\nBaud=19200\nModel=7\n"
                          "[Server]\nUpsNames=left, right far\nUsers=ops\n"
                          "[Ups left]\nDescription=Rack A feed\nAddress=1\n"
                          "[Ups right]\nAddress=2\nModel=5\n"
                          "[Ups far]\nPort=/dev/ttyUSB1\nBaud=9600\nProtocol=ascii\n"
                          "[Power]\nFedBy=left right\nFedByRule=all\n"
                          "[User ops]\nPassword=x\nUpsmon=primary\nUpses=left\n");
    ASSERT_TRUE(l.error.isEmpty()) << qPrintable(l.error);
    const ZavdConfig& c = l.config;
    ASSERT_EQ(c.upses.size(), 3);
    struct Want {
        const char* name;
        const char* port;
        int baud;
        Protocol protocol;
        const char* address;
        int modelItem;
    };
    const Want want[] = {{"left", "/dev/ttyUSB0", 19200, Protocol::Rtu, "1", 8},
                         {"right", "/dev/ttyUSB0", 19200, Protocol::Rtu, "2", 6},
                         {"far", "/dev/ttyUSB1", 9600, Protocol::Ascii, "1", 8}};
    for (int i = 0; i < 3; ++i) {
        const ZavdUpsConfig& u = c.upses[i];
        EXPECT_EQ(u.name, want[i].name);
        EXPECT_EQ(u.link.portName, want[i].port) << i;
        EXPECT_EQ(kBaudItems[size_t(u.link.baudItem)], want[i].baud) << i;
        EXPECT_EQ(u.link.protocol, want[i].protocol) << i;
        EXPECT_EQ(u.link.addressText, want[i].address) << i;
        EXPECT_EQ(u.link.modelItem, want[i].modelItem) << i;
    }
    EXPECT_EQ(c.upses[0].description, "Rack A feed");
    EXPECT_EQ(c.upses[1].description, "ZAV UPS");
    EXPECT_EQ(c.upsName, "left") << "the first UPS stands for the service where one is meant";
    EXPECT_EQ(c.fedBy, (QStringList{"left", "right"}));
    EXPECT_TRUE(c.fedByAll);
    EXPECT_EQ(c.users[0].upses, QStringList{"left"});
}

TEST(ZavdConfig, CheckBoxesTakeTheirWordsForOnAndOff) {
    const struct {
        const char* value;
        bool on;
    } cases[] = {{"1", true}, {"yes", true}, {"TRUE", true}, {"on", true}, {"0", false}, {"no", false}, {"false", false}, {"Off", false}};
    for (const auto& c : cases) {
        const Loaded l = load(QByteArray("[Link]\nPort=/dev/x\n[ShutEvents]\nCheckBoxShutdownEnable=") + c.value + "\n");
        EXPECT_TRUE(l.error.isEmpty()) << c.value << ": " << qPrintable(l.error);
        EXPECT_EQ(l.config.shutdown.enabled, c.on) << c.value;
    }
}

TEST(ZavdConfig, TheJournalLivesInTheStateDirectory) {
    struct Case {
        const char* text;
        const char* database;
        int maxAgeDays;
        int trendMaxSizeMb = 200;
    };
    const Case cases[] = {
        {"[Link]\nPort=/dev/x\n", "/var/lib/zav/journal.sqlite", 365},
        {"[Link]\nPort=/dev/x\n[Journal]\nStateDirectory=/srv/zav/\nMaxAgeDays=30\n", "/srv/zav/journal.sqlite", 30},
        {"[Link]\nPort=/dev/x\n[Journal]\nStateDirectory=off\n", "", 365},
        {"[Link]\nPort=/dev/x\n[Journal]\nTrendMaxSizeMB=20\nMaxAgeDays=90\n", "/var/lib/zav/journal.sqlite", 90, 20},
    };
    for (const Case& c : cases) {
        const Loaded l = load(c.text);
        ASSERT_TRUE(l.error.isEmpty()) << qPrintable(l.error);
        EXPECT_EQ(l.config.journal.database, QString::fromUtf8(c.database)) << c.text;
        EXPECT_EQ(l.config.journal.retention.maxAgeDays, c.maxAgeDays) << c.text;
        // The trends beside the journal: its age limit, a size of their own.
        EXPECT_EQ(l.config.journal.trends.maxAgeDays, c.maxAgeDays) << c.text;
        EXPECT_EQ(l.config.journal.trends.maxSizeMb, c.trendMaxSizeMb) << c.text;
    }
}

// The program line runs as the service's user (root): it is taken only from a file no other user
// can change. Passwords in a file others can read start the service with a warning.
TEST(ZavdConfig, AProgramLineNeedsAFileOnlyItsOwnerCanWrite) {
    QTemporaryDir dir;
    const QString path = dir.filePath("zavd.conf");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Link]\nPort=/dev/x\n[Server]\nUsers=mon\n[User mon]\nPassword=pw\n"
            "[ShutEvents]\nCheckBoxRunExProcedure=1\nEditRunExProcedureAddr=/usr/local/bin/save-all\n");
    f.close();
    const auto rw = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(path, rw | QFileDevice::ReadOther | QFileDevice::WriteOther));
    ZavdConfig c;
    const QString error = loadZavdConfig(path, c);
    EXPECT_TRUE(error.contains("[ShutEvents] EditRunExProcedureAddr: refused: other users can write this file")) << qPrintable(error);

    ASSERT_TRUE(QFile::setPermissions(path, rw | QFileDevice::ReadOther));
    ZavdConfig readable;
    EXPECT_EQ(loadZavdConfig(path, readable), QString());
    ASSERT_EQ(readable.warnings.size(), 1);
    EXPECT_TRUE(readable.warnings[0].contains("holds passwords and other users can read it")) << qPrintable(readable.warnings[0]);

    ASSERT_TRUE(QFile::setPermissions(path, rw));
    ZavdConfig own;
    EXPECT_EQ(loadZavdConfig(path, own), QString());
    EXPECT_TRUE(own.warnings.isEmpty());
    EXPECT_EQ(own.shutdown.programLine, "/usr/local/bin/save-all");

    // The event command runs as root as well.
    QFile e(path);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.write("[Link]\nPort=/dev/x\n[EventCommand]\nProgram=/usr/local/bin/page-me --now\n");
    e.close();
    ASSERT_TRUE(QFile::setPermissions(path, rw | QFileDevice::WriteGroup));
    ZavdConfig hooked;
    const QString hookError = loadZavdConfig(path, hooked);
    EXPECT_TRUE(hookError.contains("[EventCommand] Program: refused: other users can write this file")) << qPrintable(hookError);
    ASSERT_TRUE(QFile::setPermissions(path, rw));
    ZavdConfig ownHook;
    EXPECT_EQ(loadZavdConfig(path, ownHook), QString());
    EXPECT_EQ(ownHook.journal.hook.commandLine, "/usr/local/bin/page-me --now");
}

// Only a regular file is read; anything else is named for what it is, without blocking or reading
// without end.
TEST(ZavdConfig, ANonRegularFileIsNamedForWhatItIs) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("zavd.conf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char* what;
    } cases[] = {{fifo, "is a FIFO (named pipe), not a regular file"},
                 {dir.path(), "is a directory, not a regular file"},
                 {"/dev/zero", "is a character device, not a regular file"}};
    for (const auto& c : cases) {
        ZavdConfig config;
        const QString error = loadZavdConfig(c.path, config);
        EXPECT_EQ(error, c.path + ": " + c.what);
    }
}

TEST(ZavdConfig, MissingFileIsNamed) {
    ZavdConfig c;
    const QString error = loadZavdConfig("/nonexistent/zavd.conf", c);
    EXPECT_TRUE(error.startsWith("/nonexistent/zavd.conf: no such file")) << qPrintable(error);
}

TEST(ZavdLog, JournalLinesCarryTheirPriority) {
    EXPECT_EQ(zavdLogLine(LogLevel::Warning, "link", "port lost\nagain", true), "<4>link: port lost again\n");
    EXPECT_EQ(zavdLogLine(LogLevel::Info, "nut", "listening", true), "<6>nut: listening\n");
    EXPECT_EQ(zavdLogLine(LogLevel::Error, "protect", "x", false), "error: protect: x\n");
    EXPECT_EQ(zavdLogLine(LogLevel::Notice, "protect", "x", false), "protect: x\n");
}
