#include "foundation/ConfigLocation.h"
#include "foundation/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("ZAV.ini"); }

    void writeRaw(const QByteArray& bytes) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readRaw() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(ProfileFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
    ProfileFile ini(path());
    EXPECT_FALSE(ini.exists());
    EXPECT_EQ(ini.readString("LanguageSet", "Language", "XXX"), "XXX");
    EXPECT_TRUE(ini.readBool("Window", "ExitToPallet", true));
    EXPECT_EQ(ini.readInteger("Program Config", "ComboBoxBaud", 9), 9);
    EXPECT_FALSE(ini.valueExists("Window", "ExitToPallet"));

    ASSERT_TRUE(ini.writeString("LanguageSet", "Language", "EN"));
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(readRaw(), "[LanguageSet]\nLanguage=EN\n");
}

TEST_F(ProfileFileTest, BooleansAreWrittenAsOneAndZeroAndReadAsNumbers) {
    ProfileFile ini(path());
    ASSERT_TRUE(ini.writeBool("Window", "ExitToPallet", false));
    EXPECT_EQ(readRaw(), "[Window]\nExitToPallet=0\n");
    EXPECT_FALSE(ini.readBool("Window", "ExitToPallet", true));
    EXPECT_TRUE(ini.valueExists("Window", "ExitToPallet"));
    ASSERT_TRUE(ini.writeBool("Window", "ExitToPallet", true));
    EXPECT_EQ(readRaw(), "[Window]\nExitToPallet=1\n");

    // Any other number is true; text that is not a number gives the default.
    struct Case { const char* stored; bool fallback; bool expected; };
    const Case cases[] = {{"2", false, true}, {"-1", false, true}, {"0", true, false},
                          {"yes", true, true}, {"yes", false, false}, {"", false, false}};
    for (const Case& c : cases) {
        writeRaw(QByteArray("[Window]\nExitToPallet=") + c.stored + "\n");
        EXPECT_EQ(ini.readBool("Window", "ExitToPallet", c.fallback), c.expected) << c.stored;
    }
}

TEST_F(ProfileFileTest, SectionsWithBlanksAndCaseInsensitiveNames) {
    ProfileFile ini(path());
    ASSERT_TRUE(ini.writeInteger("Program Config", "ComboBoxBaud", 6));
    ASSERT_TRUE(ini.writeInteger("Program Config", "ComboBoxErase", 1));
    EXPECT_EQ(readRaw(), "[Program Config]\nComboBoxBaud=6\nComboBoxErase=1\n");
    EXPECT_EQ(ini.readInteger("program config", "comboboxbaud", 9), 6);
    // Writing with other case updates the existing line and keeps its spelling.
    ASSERT_TRUE(ini.writeInteger("PROGRAM CONFIG", "COMBOBOXBAUD", 3));
    EXPECT_EQ(readRaw(), "[Program Config]\nComboBoxBaud=3\nComboBoxErase=1\n");
}

TEST_F(ProfileFileTest, UnknownLinesSectionsAndCrLfAreKept) {
    writeRaw("; written by hand\r\n[LanguageSet]\r\nLanguage = CHT \r\nOther=keep me\r\n\r\n"
             "[Custom]\r\nx=1\r\n");
    ProfileFile ini(path());
    EXPECT_EQ(ini.readString("LanguageSet", "Language", "XXX"), "CHT"); // trimmed
    ASSERT_TRUE(ini.writeString("LanguageSet", "Language", "EN"));
    ASSERT_TRUE(ini.writeString("Custom", "y", "2"));
    ASSERT_TRUE(ini.writeString("mm", "m", "0a1b"));
    EXPECT_EQ(readRaw(), "; written by hand\r\n[LanguageSet]\r\nLanguage=EN\r\nOther=keep me\r\n\r\n"
                         "[Custom]\r\nx=1\r\ny=2\r\n[mm]\r\nm=0a1b\r\n");
}

// A profile from another machine: BOM, a GBK comment and value, a lone CR, mixed line ends and
// no line end on the last line. Every line the writer does not change keeps its bytes.
TEST_F(ProfileFileTest, LinesNotWrittenKeepTheirBytes) {
    const QByteArray gbkComment = "; \xD6\xD0\xCE\xC4\xD7\xA2\xCA\xCD"; // "中文注释" in GBK
    const QByteArray gbkValue = "Site=\xB1\xB1\xBE\xA9";                 // "北京"
    writeRaw("\xEF\xBB\xBF" + gbkComment + "\r\n[LanguageSet]\r\nLanguage=CN\r\n" + gbkValue +
             "\r[Other]\nKeep=1\n\n[Window]\r\nExitToPallet=0");
    ProfileFile ini(path());
    EXPECT_EQ(ini.readString("LanguageSet", "Site", ""), QString::fromUtf8("北京"));
    EXPECT_EQ(ini.readString("Other", "Keep", ""), "1"); // a lone CR ends a line too
    ASSERT_TRUE(ini.writeString("LanguageSet", "Language", "EN"));
    EXPECT_EQ(readRaw(), "\xEF\xBB\xBF" + gbkComment + "\r\n[LanguageSet]\r\nLanguage=EN\r\n" + gbkValue +
                             "\r[Other]\nKeep=1\n\n[Window]\r\nExitToPallet=0");
    // A new key after a last line without an end: that line gets the file's line end, nothing else moves.
    ASSERT_TRUE(ini.writeBool("Window", "Extra", true));
    ASSERT_TRUE(ini.writeString("New Section", "k", QString::fromUtf8("值")));
    EXPECT_EQ(readRaw(), "\xEF\xBB\xBF" + gbkComment + "\r\n[LanguageSet]\r\nLanguage=EN\r\n" + gbkValue +
                             "\r[Other]\nKeep=1\n\n[Window]\r\nExitToPallet=0\r\nExtra=1\r\n[New Section]\r\nk=" +
                             QString::fromUtf8("值").toUtf8() + "\r\n");
    EXPECT_EQ(ini.readString("New Section", "k", ""), QString::fromUtf8("值"));
}

TEST_F(ProfileFileTest, NewKeyGoesIntoItsSectionBeforeTheBlankLines) {
    writeRaw("[Window]\nExitToPallet=1\n\n[Beeper]\nBeepOnOff=0\n");
    ProfileFile ini(path());
    ASSERT_TRUE(ini.writeBool("Window", "Extra", true));
    EXPECT_EQ(readRaw(), "[Window]\nExitToPallet=1\nExtra=1\n\n[Beeper]\nBeepOnOff=0\n");
    EXPECT_EQ(ini.readInteger("Beeper", "BeepOnOff", 1), 0);
}

TEST_F(ProfileFileTest, ReadsSeeChangesMadeByOthersOnDisk) {
    ProfileFile ini(path());
    ASSERT_TRUE(ini.writeString("LanguageSet", "Language", "CN"));
    writeRaw("[LanguageSet]\nLanguage=CHT\n");
    EXPECT_EQ(ini.readString("LanguageSet", "Language", "XXX"), "CHT");
}

TEST_F(ProfileFileTest, UnwritableLocationReportsFailureAndLeavesTheFileAlone) {
    writeRaw("[LanguageSet]\nLanguage=CN\n");
    // A plain file where the folder of ZAV.ini would have to be: nothing can be written there.
    ProfileFile blocked(dir.filePath("ZAV.ini/ZAV.ini"));
    EXPECT_FALSE(blocked.writeString("LanguageSet", "Language", "EN"));
    EXPECT_EQ(blocked.readString("LanguageSet", "Language", "XXX"), "XXX");
    EXPECT_EQ(readRaw(), "[LanguageSet]\nLanguage=CN\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

TEST_F(ProfileFileTest, WriteCreatesMissingFolder) {
    ProfileFile ini(dir.filePath("sub/zav/ZAV.ini"));
    ASSERT_TRUE(ini.writeString("LanguageSet", "Language", "EN"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("sub/zav/ZAV.ini")));
}

TEST(ConfigLocation, OverrideBesideExecutableOrXdg) {
    QTemporaryDir exeDir, home;
    EXPECT_EQ(profilePath("/tmp/x/my.ini", exeDir.path(), "/xdg", home.path()), "/tmp/x/my.ini");
    EXPECT_EQ(profilePath("", exeDir.path(), "/xdg", home.path()),
              QDir(exeDir.path()).filePath("ZAV.ini"));
    // A folder that cannot take the file (here: one that does not exist) sends it to XDG.
    const QString gone = exeDir.filePath("gone");
    EXPECT_EQ(profilePath("", gone, "/xdg", home.path()), "/xdg/zav/ZAV.ini");
    EXPECT_EQ(profilePath("", gone, "", home.path()), QDir(home.path()).filePath(".config/zav/ZAV.ini"));
    EXPECT_EQ(profilePath("", gone, "rel/xdg", home.path()),
              QDir(home.path()).filePath(".config/zav/ZAV.ini"));
}

// An installed program (its data folder <prefix>/share/zav beside <prefix>/bin) keeps its settings
// in the user's folder even where it may write its own folder: run as root, /usr/bin is writable,
// and ZAV.ini must not land there.
TEST(ConfigLocation, AnInstalledProgramNeverWritesBesideItself) {
    QTemporaryDir root, home;
    const QString bin = root.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(profilePath("", bin, "/xdg", home.path()), QDir(bin).filePath("ZAV.ini")); // a plain folder
    ASSERT_TRUE(QDir().mkpath(root.filePath("usr/share/zav")));
    EXPECT_EQ(profilePath("", bin, "/xdg", home.path()), "/xdg/zav/ZAV.ini");
    EXPECT_EQ(profilePath("/tmp/x/my.ini", bin, "/xdg", home.path()), "/tmp/x/my.ini");
}
