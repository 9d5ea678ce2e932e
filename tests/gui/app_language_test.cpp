// The run-time language switch: the hot spot, the gate on the language files, what a switch does
// to the connection, the captions and ZAV.ini, and the hover colours of the language labels.

#include "app_fixture.h"

#include "app/QtOwnTexts.h"
#include "pagekit/LockPanel.h"
#include "session/UpsSession.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace zav;
using namespace zav::test;

namespace {

class LanguageTest : public ShellTest {
protected:
    void doubleClickHotSpot() { QTest::mouseDClick(find<QWidget>("Label100"), Qt::LeftButton); }
    QString node(int i) { return find<QTreeWidget>("TreeView1")->topLevelItem(i)->text(0); }
};

} // namespace

TEST_F(LanguageTest, HotSpotSwitchesBetweenChineseAndEnglishAndStoresIt) {
    MainWindow& w = start(options(usLocale(), true));
    w.show();
    ASSERT_EQ(w.language(), LangEN);
    EXPECT_EQ(find<QLabel>("LabelUpsType")->text(), "UPS Type"); // from the English language file

    doubleClickHotSpot();
    EXPECT_EQ(w.language(), LangCN);
    EXPECT_EQ(readIni(), "[LanguageSet]\nLanguage=CN\n");
    EXPECT_EQ(node(0), QString::fromUtf8("首        页"));
    EXPECT_EQ(node(13), QString::fromUtf8("软件烧录"));
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("UPS电源监控"));
    EXPECT_EQ(find<QPushButton>("ButtonConnect")->text(), QString::fromUtf8("连接"));
    EXPECT_EQ(find<QLabel>("LabelUpsType")->text(), QString::fromUtf8("UPS型号"));
    EXPECT_EQ(find<QLabel>("Label11")->text(), QString::fromUtf8("UPS电源监控"));
    w.scheduler().tick();
    EXPECT_EQ(find<QLabel>("StatusPanel0")->text(), QString::fromUtf8("UPS未连接"));

    doubleClickHotSpot();
    EXPECT_EQ(w.language(), LangEN);
    EXPECT_EQ(readIni(), "[LanguageSet]\nLanguage=EN\n");
    EXPECT_EQ(node(0), "Home");
    EXPECT_EQ(w.windowTitle(), "UPS POWER ZAV");
    EXPECT_EQ(find<QLabel>("Label11")->text(), "UPS POWER ZAV");
}

TEST_F(LanguageTest, TraditionalChineseGoesToSimplifiedChinese) {
    writeIni("[LanguageSet]\nLanguage=CHT\n");
    MainWindow& w = start(options(usLocale(), true));
    EXPECT_EQ(w.language(), LangCHT);
    EXPECT_EQ(find<QLabel>("LabelProto")->text(), QString::fromUtf8("協定"));
    doubleClickHotSpot();
    EXPECT_EQ(w.language(), LangCN);
    EXPECT_EQ(readIni(), "[LanguageSet]\nLanguage=CN\n");
}

TEST_F(LanguageTest, WithoutLanguageFilesTheSwitchIsRefusedSilently) {
    MainWindow& w = start(options(usLocale(), false));
    const QString before = node(5);
    doubleClickHotSpot();
    w.labelChineseClick();
    w.labelCHTClick();
    EXPECT_EQ(w.language(), LangEN);
    EXPECT_EQ(node(5), before);
    EXPECT_TRUE(readIni().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // At start the missing file is simply skipped: the tables still apply, the captions stay as built.
    EXPECT_EQ(find<QPushButton>("ButtonConnect")->text(), "Connect");
    EXPECT_EQ(find<QLabel>("LabelUpsType")->text(), QString::fromUtf8("UPS型号"));
}

TEST_F(LanguageTest, SwitchWhileConnectedClosesThePortAndFreesTheBar) {
    MainWindow& w = start(options(usLocale(), true));
    w.show();
    auto* models = find<QComboBox>("ComboBoxUpsType");
    models->setCurrentIndex(4);
    QTest::mouseClick(find<QPushButton>("ButtonConnect"), Qt::LeftButton);
    ASSERT_TRUE(channel.isOpen());
    w.showPage(9);
    find<QLineEdit>("EditPassword")->setText("73019264");
    QTest::mouseClick(find<QPushButton>("ButtonPassword"), Qt::LeftButton);
    ASSERT_FALSE(w.lock(9)->locked());

    doubleClickHotSpot();
    EXPECT_FALSE(channel.isOpen());
    EXPECT_FALSE(w.scheduler().connected());
    EXPECT_EQ(find<QPushButton>("ButtonConnect")->text(), QString::fromUtf8("连接"));
    for (const char* name : {"ComboBoxUpsType", "ComboBoxProto", "EditUpsAddr", "ComboBox1", "ComboBox2"})
        EXPECT_TRUE(find<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(models->currentIndex(), 4);
    ASSERT_EQ(models->count(), 10);
    EXPECT_EQ(models->itemText(4), "3/3 Tower X(10-40kVA)");
    EXPECT_TRUE(w.lock(9)->locked()); // the re-read windows show the panels again
    EXPECT_TRUE(find<QWidget>("PanelPassword")->isVisible());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(readIni(), "[LanguageSet]\nLanguage=CN\n");
}

TEST_F(LanguageTest, LanguageLabelsTurnMagentaUnderTheMouse) {
    start(options());
    for (const char* name : {"LabelChinese", "LabelEnglish", "LabelCHT"}) {
        auto* label = find<QLabel>(name);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(label, &enter);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 255)) << name;
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText))
            << name;
    }
}

// Qt's own texts (the buttons of every message box and dialog) follow the chosen language, from the
// translations installed with Qt, and go back to English with the interface.
TEST_F(LanguageTest, QtOwnButtonsFollowTheLanguage) {
    const auto qtOk = [] { return QCoreApplication::translate("QPlatformTheme", "OK"); };
    MainWindow& w = start(options(usLocale(), true));
    ASSERT_EQ(w.language(), LangEN);
    EXPECT_EQ(qtOk(), "OK");

    doubleClickHotSpot();
    ASSERT_EQ(w.language(), LangCN);
    EXPECT_EQ(qtOk(), QString::fromUtf8("确定"));
    QMessageBox box(QMessageBox::Information, "t", "x", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("取消"));

    doubleClickHotSpot();
    EXPECT_EQ(qtOk(), "OK");
    shell.reset(); // the window's translators go with it
    EXPECT_EQ(qtOk(), "OK");
}

TEST(QtOwnTexts, TraditionalChineseHasItsOwnFileAndAMissingFolderIsNoError) {
    QtOwnTexts texts;
    EXPECT_TRUE(texts.load(1028));
    EXPECT_TRUE(texts.loadedFile().endsWith("qtbase_zh_TW.qm"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
    EXPECT_TRUE(texts.load(1033)); // English: nothing to load
    EXPECT_TRUE(texts.loadedFile().isEmpty());

    QtOwnTexts nowhere("/nonexistent");
    EXPECT_FALSE(nowhere.load(2052));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}
