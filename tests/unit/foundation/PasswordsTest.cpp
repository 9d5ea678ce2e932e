#include "foundation/AppTexts.h"
#include "foundation/Passwords.h"
#include "foundation/ProfileFile.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zav;

TEST(Scramble, KnownValueByHand) {
    // Key "ab" (0x61, 0x62), start 0x10, text "12" (0x31, 0x32):
    // s = (0x10 + 0x31) mod 255 = 0x41, xor 0x61 = 0x20; s = (0x20 + 0x32) = 0x52, xor 0x62 = 0x30.
    EXPECT_EQ(scramble("12", "ab", 0x10), "102030");
    EXPECT_EQ(unscramble("102030", "ab"), QString("12"));
    // The sum wraps at 255, not 256: start 0xf0 + '9' (0x39) = 0x129 -> 0x2a, xor 'a' = 0x4b.
    EXPECT_EQ(scramble("9", "a", 0xf0), "f04b");
    EXPECT_EQ(unscramble("f04b", "a"), QString("9"));
}

TEST(Scramble, EmptyKeyUsesTheFallbackKey) {
    EXPECT_EQ(scramble("73019264", "", 77), scramble("73019264", "quiloz", 77));
    EXPECT_EQ(unscramble(scramble("abc", "", 5), "quiloz"), QString("abc"));
}

TEST(Scramble, RoundTripsForEveryStartValueAndDiffersBetweenRuns) {
    const QString key = QString::fromLatin1(kMasterPassword);
    const QStringList passwords = {"73019264", "40527193861", "a", "Pass word!~",
                                   QString::fromUtf8("密码ÿ"), QString(300, QChar('z'))};
    for (const QString& p : passwords) {
        for (int start = 0; start < 256; ++start) {
            const QString s = scramble(p, key, start);
            ASSERT_EQ(s.size(), 2 + 2 * p.toUtf8().size());
            ASSERT_EQ(unscramble(s, key), p) << p.toStdString() << " start " << start;
        }
    }
    QSet<QString> seen;
    for (int i = 0; i < 20; ++i) seen.insert(scramble("73019264", key));
    EXPECT_GT(seen.size(), 1);
}

TEST(Scramble, TextThatIsNotScrambledIsRefused) {
    const QString key = QString::fromLatin1(kMasterPassword);
    for (const char* bad : {"", "1", "abc", "zz12", "12 4", "0g11", "1234\n"})
        EXPECT_FALSE(unscramble(bad, key).has_value()) << bad;
    EXPECT_EQ(unscramble("7F", key), QString()); // a start value alone is an empty text
}

namespace {

class PasswordBookTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProfileFile ini{dir.filePath("ZAV.ini")};
    PasswordBook book{ini, "73019264"};

    void store(const QByteArray& content) {
        QFile f(ini.path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
};

} // namespace

TEST_F(PasswordBookTest, WithoutIniTheDefaultAndTheMasterOpenEveryLock) {
    book.load();
    EXPECT_EQ(book.current(), "73019264");
    EXPECT_TRUE(book.opens("73019264"));
    EXPECT_TRUE(book.opens("40527193861"));
    for (const char* wrong : {"", "7301926", "730192640", " 73019264", "4052719386"})
        EXPECT_FALSE(book.opens(wrong)) << wrong;
}

TEST_F(PasswordBookTest, StoredValueIsUsedAndBadValuesFallBackToTheDefault) {
    const QString key = QString::fromLatin1(kMasterPassword);
    struct Case { QByteArray stored; const char* expected; };
    const Case cases[] = {
        {"[mm]\nm=" + scramble("Secret1", key, 200).toLatin1() + "\n", "Secret1"},
        {"[mm]\nm=" + scramble("Secret1", key, 3).toUpper().toLatin1() + "\n", "Secret1"},
        {"[LanguageSet]\nLanguage=EN\n", "73019264"}, // key missing
        {"[mm]\nm=\n", "73019264"},                   // empty
        {"[mm]\nm=hello!\n", "73019264"},             // edited by hand: not hexadecimal
        {"[mm]\nm=5\n", "73019264"},                  // odd length
        {"[mm]\nm=a5\n", "73019264"},                 // would be an empty password
    };
    for (const Case& c : cases) {
        store(c.stored);
        book.load();
        EXPECT_EQ(book.current(), c.expected) << c.stored.toStdString();
    }
}

TEST_F(PasswordBookTest, ChangeRulesAndTheirMessages) {
    book.load();
    struct Case { const char* oldText; const char* newText; const char* again; PasswordChange result; };
    const Case cases[] = {
        {"wrong", "1111", "1111", PasswordChange::OldWrong},
        {"", "1111", "1111", PasswordChange::OldWrong},
        {"73019264", "", "", PasswordChange::NewInvalid},
        {"73019264", "1111", "1112", PasswordChange::NewInvalid},
        {"73019264", "1111", "1111", PasswordChange::Accepted},
        {"73019264", "2222", "2222", PasswordChange::OldWrong}, // no longer current
        {"40527193861", "2222", "2222", PasswordChange::Accepted},
    };
    for (const Case& c : cases)
        EXPECT_EQ(book.change(c.oldText, c.newText, c.again), c.result) << c.oldText << "/" << c.newText;
    EXPECT_EQ(book.current(), "2222");
    EXPECT_FALSE(book.opens("73019264"));
    EXPECT_FALSE(book.opens("1111"));
    EXPECT_TRUE(book.opens("40527193861"));

    // Stored scrambled, and read back by the next start.
    const QString stored = ini.readString("mm", "m", "");
    EXPECT_NE(stored, "2222");
    PasswordBook next(ini, "73019264");
    next.load();
    EXPECT_EQ(next.current(), "2222");

    EXPECT_EQ(passwordChangeMessage(PasswordChange::OldWrong, LangEN), "The old password error!");
    EXPECT_EQ(passwordChangeMessage(PasswordChange::NewInvalid, LangEN), "Please check the new password!");
    EXPECT_EQ(passwordChangeMessage(PasswordChange::Accepted, LangEN), "Set Ok!");
    EXPECT_EQ(passwordChangeMessage(PasswordChange::OldWrong, LangCHT), QString::fromUtf8("旧密码错误"));
}

TEST_F(PasswordBookTest, UnwritableIniSaysSoButTheNewPasswordHoldsForTheRun) {
    ProfileFile blocked(dir.filePath("missing-dir-is-a-file/ZAV.ini"));
    store("x"); // a file where the folder would have to be
    QFile::rename(ini.path(), dir.filePath("missing-dir-is-a-file"));
    PasswordBook b(blocked, "73019264");
    b.load();
    EXPECT_EQ(b.change("73019264", "9999", "9999"), PasswordChange::NotStored);
    EXPECT_TRUE(b.opens("9999"));
    EXPECT_FALSE(passwordChangeMessage(PasswordChange::NotStored, LangEN).isEmpty());
}

TEST(UnlockThrottle, WaitDoublesAfterTheFreeTriesUpToTheLongestAndARightPasswordClearsIt) {
    UnlockThrottle t;
    // (time of the wrong try, wait before the next one)
    const struct {
        qint64 at, wait;
    } tries[] = {{0, 0}, {10, 0}, {20, 1000}, {1020, 2000}, {3020, 4000}, {7020, 8000},
                 {15020, 16000}, {31020, 30000}, {61020, 30000}};
    for (const auto& t1 : tries) {
        ASSERT_EQ(t.waitMs(t1.at), 0) << t1.at;
        t.wrong(t1.at);
        EXPECT_EQ(t.waitMs(t1.at), t1.wait) << t1.at;
        EXPECT_EQ(t.waitMs(t1.at + t1.wait), 0) << t1.at;
    }
    EXPECT_EQ(t.waitMs(61020 + 29999), 1);
    t.right();
    EXPECT_EQ(t.waitMs(61021), 0);
    t.wrong(70000);
    t.wrong(70001);
    EXPECT_EQ(t.waitMs(70001), 0); // free tries again after a right password
}

TEST(UnlockThrottle, TextsSayTheWaitInWholeSecondsRoundedUp) {
    EXPECT_EQ(wrongPasswordText(LangEN, 0), "Wrong password.");
    EXPECT_EQ(wrongPasswordText(LangEN, 1000), "Wrong password. Try again in 1 s.");
    EXPECT_EQ(unlockWaitText(LangEN, 1001), "Try again in 2 s.");
    EXPECT_EQ(unlockWaitText(LangEN, 1), "Try again in 1 s.");
    EXPECT_EQ(wrongPasswordText(LangCN, 2000), QString::fromUtf8("密码错误。请 2 秒后再试。"));
    EXPECT_EQ(wrongPasswordText(LangCHT, 0), QString::fromUtf8("密碼錯誤。"));
}
