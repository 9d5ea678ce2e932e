// CLOSEAPP.INI as the close-list window reads it, and the notice rule of the main window's
// activation; the companion's writer read back through the same functions.

#include "foundation/ProfileFile.h"
#include "protect/CloseList.h"
#include "protect/ShutdownConfig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

class CloseRecord : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("CLOSEAPP.INI"); }
    void write(const char* text) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QStringList titles() {
        QStringList t;
        for (const ClosedApp& a : closedApplications(ProfileFile(path()))) t << a.title;
        return t;
    }
};

TEST_F(CloseRecord, EmptyNamesAreSkippedAndMissingTitlesShowTheSection) {
    write("[Main]\nAppNumber=3\nApp0=Word\nApp1=\nApp2=gedit\nShowMsg=1\n"
          "[Word]\nTitle=Microsoft Word\nFileNumber=2\nFile0=/home/me/a.doc\nFile1=/home/me/b.doc\n"
          "[gedit]\nFileNumber=0\n");
    EXPECT_EQ(titles(), (QStringList{"Microsoft Word", "gedit"}));
    ProfileFile record(path());
    EXPECT_EQ(savedFiles(record, "Word"), (QStringList{"/home/me/a.doc", "/home/me/b.doc"}));
    EXPECT_TRUE(savedFiles(record, "gedit").isEmpty());
}

TEST_F(CloseRecord, OneEntryWhenTheSecondKeyIsEmpty) {
    write("[Main]\nAppNumber=2\nApp0=Word\nApp1=\n[Word]\nTitle=Word 2003\n");
    EXPECT_EQ(titles(), QStringList{"Word 2003"});
}

TEST_F(CloseRecord, MissingFileReadsAsNothing) {
    EXPECT_TRUE(titles().isEmpty());
    ProfileFile record(path());
    EXPECT_FALSE(takeCloseRecordNotice(record, true));
    EXPECT_FALSE(record.exists()); // reading never creates the file
}

TEST_F(CloseRecord, NoticeIsTakenOnceAndOnlyWhenAskedFor) {
    write("[Main]\nAppNumber=0\nShowMsg=1\n");
    ProfileFile record(path());
    EXPECT_FALSE(takeCloseRecordNotice(record, false));
    EXPECT_EQ(record.readInteger("Main", "ShowMsg", -1), 1); // left for a later start
    EXPECT_TRUE(takeCloseRecordNotice(record, true));
    EXPECT_EQ(record.readInteger("Main", "ShowMsg", -1), 0);
    EXPECT_FALSE(takeCloseRecordNotice(record, true)); // not again until the companion runs again
}

TEST_F(CloseRecord, CompanionRecordReadsBack) {
    ProfileFile record(path());
    ASSERT_TRUE(writeCloseRecord(record, {{"App0_firefox", "Mozilla Firefox", {}},
                                          {"App1_libreoffice", "report.odt - LibreOffice", {"/tmp/x.odt"}}}));
    EXPECT_EQ(titles(), (QStringList{"Mozilla Firefox", "report.odt - LibreOffice"}));
    EXPECT_EQ(savedFiles(record, "App1_libreoffice"), QStringList{"/tmp/x.odt"});
    EXPECT_TRUE(takeCloseRecordNotice(record, true));
}

// The settings of the shutdown tab in ZAV.ini.
TEST(ShutdownSettings, DefaultsRangesAndRoundTrip) {
    QTemporaryDir dir;
    ProfileFile ini(dir.filePath("ZAV.ini"));
    EXPECT_EQ(loadShutdownConfig(ini), ShutdownConfig{});

    {
        QFile f(ini.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[ShutEvents]\nSEUtilityFailShutDelay=5000\nSEBattVoltLowShutDelay=-3\n"
                "SEUtilityFailUpsShutDelay=2\nSEMaxRunTime=abc\nCheckBoxShutdownEnable=1\n");
    }
    const ShutdownConfig read = loadShutdownConfig(ini);
    EXPECT_EQ(read.utilityMinutes, 999);
    EXPECT_EQ(read.batteryMinutes, 0);
    EXPECT_EQ(read.utilityUpsSeconds, 5);
    EXPECT_EQ(read.maxRunMinutes, 5);
    EXPECT_TRUE(read.enabled);

    ShutdownConfig c;
    c.enabled = c.saveFiles = c.runProgram = c.showSavedFiles = c.utilityUpsOff = c.batteryUpsOff = true;
    c.programLine = "/usr/local/bin/backup --quick";
    c.utilityMinutes = 12;
    c.utilityUpsSeconds = 300;
    c.batteryMinutes = 3;
    c.batteryUpsSeconds = 32767;
    c.maxRunMinutes = 30;
    QFile::remove(ini.path()); // a fresh file shows the order of the writes
    ASSERT_TRUE(saveShutdownConfig(ini, c));
    EXPECT_EQ(loadShutdownConfig(ini), c);

    // Keys in the order the settings are confirmed.
    QFile f(ini.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList keys;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.contains('=')) keys << QString::fromUtf8(line.left(line.indexOf('=')));
    EXPECT_EQ(keys, (QStringList{"CheckBoxShutdownEnable", "CheckBoxSaveFile", "CheckBoxRunExProcedure",
                                 "CheckBoxShowSaveFile", "EditRunExProcedureAddr", "SEUtilityFailShutDelay",
                                 "CheckBoxUtilityFailUpsShutDelay", "SEUtilityFailUpsShutDelay",
                                 "SEBattVoltLowShutDelay", "CheckBoxBattVoltLowUpsShutDelay",
                                 "SEBattVoltLowUpsShutDelay", "SEMaxRunTime"}));
}

TEST(ShutdownSettings, OnlyModelsFiveSevenEight) {
    for (int m = 0; m <= 8; ++m) EXPECT_EQ(protectionModel(m), m == 5 || m == 7 || m == 8) << m;
}

} // namespace

// A count is bounded by what the file holds: a record claiming 2^31 applications or files is read
// as the few lines it has, not once per claimed entry.
TEST_F(CloseRecord, ACountBeyondTheFileIsBoundedByItsLines) {
    write("[Main]\nAppNumber=2147483647\nApp0=Word\nApp1=gedit\nShowMsg=1\n"
          "[Word]\nTitle=Microsoft Word\nFileNumber=2147483647\nFile0=/home/me/a.doc\n");
    EXPECT_EQ(titles(), (QStringList{"Microsoft Word", "gedit"}));
    const QStringList files = savedFiles(ProfileFile(path()), "Word");
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(files.first(), "/home/me/a.doc");
    EXPECT_LE(files.size(), 10); // the lines of the file, not the claim
}
