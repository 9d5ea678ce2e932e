// The language choice of the software-settings dialog: it offers the three languages, says that a
// switch ends the connection, and switches through the main window's own language switch (the one
// the home page's hot spot uses), including Traditional Chinese, which the hot spot never reaches.

#include "app_fixture.h"

#include "app/widgets/FormPassword.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using namespace zav;
using namespace zav::test;

namespace {

constexpr const char* kRadio[] = {"RadioButtonCN", "RadioButtonEN", "RadioButtonCHT"};

class WindowLanguageTest : public ShellTest {
protected:
    FormPassword& openDialog() {
        window().openSoftwareSettings();
        QApplication::processEvents();
        return shell->formPassword();
    }
    template <class T>
    T* inDialog(const char* name) {
        T* w = shell->formPassword().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void choose(int language) {
        inDialog<QRadioButton>(kRadio[language])->click();
        inDialog<QPushButton>("ButtonLanguageSet")->click();
    }
    QString node(int i) { return find<QTreeWidget>("TreeView1")->topLevelItem(i)->text(0); }
};

} // namespace

TEST_F(WindowLanguageTest, DialogSwitchesEveryWayLikeTheHotSpotAndEndsTheConnection) {
    struct Case {
        int from;
        int to;
        const char* stored;
        const char* node5;         // a page-tree caption in the new language
        const char* groupTitle;    // the dialog's password group, from the new language file
        const char* note;          // the dialog's note on the connection
    } cases[] = {
        {LangEN, LangCN, "CN", "整机状态", "密码设置", "切换语言会断开与UPS的连接，切换后请重新连接。"},
        {LangCN, LangCHT, "CHT", "整機狀態", "密碼設置", "切換語言會中斷與UPS的連線，切換後請重新連線。"},
        {LangCHT, LangEN, "EN", "CabStatus", "Password",
         "Switching the language disconnects the UPS; connect again afterwards."},
    };
    constexpr const char* kStart[] = {"CN", "EN", "CHT"};
    for (const Case& c : cases) {
        writeIni(QByteArray("[LanguageSet]\nLanguage=") + kStart[c.from] + "\n");
        MainWindow& w = start(options(usLocale(), true));
        w.show();
        ASSERT_EQ(w.language(), c.from);
        find<QPushButton>("ButtonConnect")->click();
        ASSERT_TRUE(channel.isOpen());

        FormPassword& dialog = openDialog();
        EXPECT_TRUE(inDialog<QRadioButton>(kRadio[c.from])->isChecked()) << c.stored;
        for (const char* name : kRadio) EXPECT_TRUE(inDialog<QRadioButton>(name)->isVisible()) << name;
        choose(c.to);

        EXPECT_EQ(w.language(), c.to);
        EXPECT_FALSE(channel.isOpen()) << "the switch ends the connection";
        EXPECT_TRUE(find<QWidget>("ComboBoxUpsType")->isEnabled());
        EXPECT_EQ(readIni(), QByteArray("[LanguageSet]\nLanguage=") + c.stored + "\n");
        EXPECT_EQ(node(5), QString::fromUtf8(c.node5));
        // The open dialog follows the new language and shows it chosen.
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(inDialog<QGroupBox>("GroupBoxPassword")->title(), QString::fromUtf8(c.groupTitle));
        EXPECT_EQ(inDialog<QLabel>("LabelLanguageNote")->text(), QString::fromUtf8(c.note));
        EXPECT_TRUE(inDialog<QRadioButton>(kRadio[c.to])->isChecked());
        EXPECT_TRUE(dialogs.messages.isEmpty());
        dialog.close();
    }
}

TEST_F(WindowLanguageTest, DialogAndHotSpotTakeTheSamePath) {
    // The same target through the two doors leaves the window and ZAV.ini alike.
    const auto state = [this] {
        QStringList out{QString::number(window().language()), QString::fromUtf8(readIni()), window().windowTitle(),
                        find<QPushButton>("ButtonConnect")->text()};
        for (int i = 0; i < 16; ++i) out << node(i);
        return out;
    };
    start(options(usLocale(), true));
    window().label100DblClick();
    const QStringList viaHotSpot = state();

    QFile::remove(iniPath());
    start(options(usLocale(), true));
    openDialog();
    choose(LangCN);
    EXPECT_EQ(state(), viaHotSpot);
}

TEST_F(WindowLanguageTest, WithoutTheLanguageFileTheDialogSaysTheSwitchDidNotHappen) {
    start(options(usLocale(), false));
    openDialog();
    choose(LangCHT);
    EXPECT_EQ(window().language(), LangEN);
    EXPECT_TRUE(readIni().isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1);
    // Without the language files the captions are the built-in Chinese ones.
    EXPECT_EQ(dialogs.messages[0], QString::fromUtf8("找不到该语言的语言文件，语言未切换。"));
    EXPECT_TRUE(inDialog<QRadioButton>("RadioButtonEN")->isChecked()) << "the choice shows the language in use";

    // Choosing the language already in use does nothing at all.
    choose(LangEN);
    EXPECT_EQ(dialogs.messages.size(), 1);
}
