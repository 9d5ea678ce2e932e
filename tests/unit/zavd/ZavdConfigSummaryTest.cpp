// What `zavd --check` prints: each part of a loaded configuration in the words of its keys, the
// values as the service will use them, and never a password.

#include "zavd/ZavdConfig.h"
#include "zavd/ZavdConfigSummary.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

QString summaryOf(const QByteArray& text) {
    QTemporaryDir dir;
    const QString path = dir.filePath("zavd.conf");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    ZavdConfig config;
    const QString error = loadZavdConfig(path, config);
    EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
    return describeZavdConfig(config);
}

} // namespace

TEST(ZavdConfigSummary, EveryPartIsPrintedAsTheServiceWillUseIt) {
    const QString summary =
        summaryOf("[Link]\nPort=/dev/ttyUSB3\nProtocol=RTU\nBaud=19200\nAddress=7\nModel=5\nTiming=classic\nExtraGapMs=20\n"
                  "[Server]\nListen=0.0.0.0\nListenPort=3500\nMaxConnections=10\nUpsName=rack1\nDescription=Rack 1\n"
                  "Users=admin, mon\n"
                  "[Power]\nPowerOff=system\n"
                  "[ShutEvents]\nCheckBoxShutdownEnable=yes\nSEUtilityFailShutDelay=3\nCheckBoxRunExProcedure=1\n"
                  "EditRunExProcedureAddr=/usr/local/bin/save-work\n"
                  "[User admin]\nPassword=secret-one\nActions=SET FSD\nInstCmds=beeper.mute test.battery.start\n"
                  "[User mon]\nPassword=secret-two\nUpsmon=primary\n");
    const QStringList expected{
        "[Link] Port=/dev/ttyUSB3 Protocol=rtu Baud=19200 Address=7 Model=5 Timing=classic ExtraGapMs=20",
        "[Server] Listen=0.0.0.0 ListenPort=3500 MaxConnections=10 UpsName=rack1 Description=Rack 1",
        "[User admin] Actions=SET FSD InstCmds=beeper.mute test.battery.start",
        "[User mon] Actions= InstCmds= Upsmon=primary",
        "[Power] PowerOff=system FedBy=rack1 FedByRule=any",
        "[ShutEvents] CheckBoxShutdownEnable=1 CheckBoxSaveFile=0 CheckBoxRunExProcedure=1 CheckBoxShowSaveFile=0 "
        "CheckBoxUtilityFailUpsShutDelay=0 CheckBoxBattVoltLowUpsShutDelay=0 SEUtilityFailShutDelay=3 "
        "SEUtilityFailUpsShutDelay=5 SEBattVoltLowShutDelay=1 SEBattVoltLowUpsShutDelay=5 SEMaxRunTime=5 "
        "EditRunExProcedureAddr=/usr/local/bin/save-work",
        "[Journal] Database=/var/lib/zav/journal.sqlite MaxAgeDays=365 MaxSizeMB=50 "
        "Trends=/var/lib/zav/journal-trends.sqlite TrendMaxSizeMB=200",
    };
    EXPECT_EQ(summary.split(u'\n', Qt::SkipEmptyParts), expected);
    EXPECT_FALSE(summary.contains("secret"));
}

TEST(ZavdConfigSummary, DefaultsReadAsAutoAndDryRun) {
    const QStringList lines = summaryOf("[Link]\nPort=/dev/ttyS0\n").split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "[Link] Port=/dev/ttyS0 Protocol=ascii Baud=auto Address=1 Model=auto Timing=fast ExtraGapMs=0");
    EXPECT_EQ(lines[2], "[Server] Users= (none)");
    EXPECT_TRUE(lines[3].startsWith("[Power] PowerOff=dry-run")) << qPrintable(lines[3]);
}

// A service of several UPSes says each one's link, which of them feed this machine and the rule,
// the journal and the event command.
TEST(ZavdConfigSummary, SeveralUpsesTheirFeedAndTheJournalAreSaid) {
    const QStringList lines =
        summaryOf("[Link]\nPort=/dev/ttyS0\nProtocol=rtu\nBaud=9600\n"
                  "[Server]\nUpsNames=left right\n"
                  "[Ups left]\nAddress=1\nModel=1\nDescription=Left cabinet\n"
                  "[Ups right]\nAddress=2\nDescription=Right cabinet\n"
                  "[Power]\nFedBy=left right\nFedByRule=all\n"
                  "[Journal]\nStateDirectory=off\n"
                  "[EventCommand]\nProgram=/usr/local/bin/tell-admin\nTimeoutSeconds=20\n")
            .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("[Ups left] Description=Left cabinet Port=/dev/ttyS0 Protocol=rtu Baud=9600 Address=1 Model=1"))
        << qPrintable(lines.join('\n'));
    EXPECT_TRUE(lines.contains("[Ups right] Description=Right cabinet Port=/dev/ttyS0 Protocol=rtu Baud=9600 Address=2 Model=auto"));
    EXPECT_TRUE(lines.contains("[Power] PowerOff=dry-run FedBy=left right FedByRule=all"));
    EXPECT_TRUE(lines.contains("[Journal] off"));
    EXPECT_TRUE(lines.contains("[EventCommand] Program=/usr/local/bin/tell-admin TimeoutSeconds=20"));
}
