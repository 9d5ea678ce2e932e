// The main window on small screens: it shrinks to a small minimum, every page scrolls instead of
// being squeezed, the connection bar and the status bar stay whole, and the size and place the user
// chose come back at the next start.

#include "app_fixture.h"

#include "pagekit/LockPanel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

using namespace zav;
using namespace zav::test;

namespace {

class WindowSizeTest : public ShellTest {
protected:
    // The widget lies whole inside the window's client area.
    void expectInside(const char* name) {
        auto* w = find<QWidget>(name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible()) << name;
        const QRect r(w->mapTo(&window(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(window().rect().contains(r)) << name << " at " << r.x() << "," << r.y() << " " << r.width()
                                                 << "x" << r.height();
    }
    void unlockAll() {
        for (const LockNames& names : kLocks) {
            find<QLineEdit>(names.edit)->setText("73019264");
            find<QPushButton>(names.button)->click();
        }
    }
};

} // namespace

TEST_F(WindowSizeTest, AtTenTwentyFourBySixHundredEveryPageScrollsAndTheBarsStayWhole) {
    MainWindow& w = start(options());
    EXPECT_LE(w.minimumSize().width(), 800);
    EXPECT_LE(w.minimumSize().height(), 600);
    w.resize(1024, 600);
    w.show();
    QApplication::processEvents();
    ASSERT_EQ(w.size(), QSize(1024, 600));
    unlockAll();
    for (const char* name : {"ComboBoxUpsType", "ComboBox1", "ComboBox2", "ComboBoxProto", "EditUpsAddr",
                             "ButtonConnect", "StatusBar1", "StatusPanel0", "StatusPanel1", "TreeView1"})
        expectInside(name);
    for (int i = 0; i < kPageCount; ++i) {
        w.showPage(i);
        QApplication::processEvents();
        ZavPage* page = w.page(i);
        ASSERT_TRUE(page->isVisible()) << i;
        // The page keeps at least the size its layout needs; the scroll area around it scrolls.
        const QSize need = page->minimumSizeHint();
        EXPECT_GE(page->width(), need.width()) << "page " << i;
        EXPECT_GE(page->height(), need.height()) << "page " << i;
        QScrollArea* area = qobject_cast<QScrollArea*>(page->parentWidget()->parentWidget()->parentWidget());
        ASSERT_NE(area, nullptr) << i;
        EXPECT_TRUE(area->isVisible()) << i;
    }
}

TEST_F(WindowSizeTest, TheWholeFrameStartsOnTheScreen) {
    // The default size is larger than this screen: the frame, not only the client area, must fit,
    // or the status bar ends under the screen's edge.
    for (const QByteArray& ini : {QByteArray(), QByteArray("[Window]\nLeft=0\nTop=0\nWidth=4000\nHeight=3000\n")}) {
        writeIni(ini);
        MainWindow& w = start(options());
        w.show();
        QApplication::processEvents();
        const QRect avail = w.screen()->availableGeometry();
        EXPECT_NE(w.frameGeometry(), w.geometry()) << "the platform draws no frame: nothing to check";
        EXPECT_TRUE(avail.contains(w.frameGeometry())) << ini.constData();
        w.close();
    }
}

TEST_F(WindowSizeTest, AtTenTwentyFourBySixHundredEverySetButtonIsInSightWithOneScrollBar) {
    MainWindow& w = start(options());
    w.resize(1024, 600);
    w.show();
    QApplication::processEvents();
    unlockAll();
    w.showPage(10);
    auto* outer = find<QScrollArea>("PageScroll10");
    auto* tabs = find<QTabWidget>("PageControl3");
    const struct {
        int tab;
        const char* set;
    } cases[] = {{0, "ButtonSeverSend"}, {1, "ButtonBattSetSend"}, {2, "ButtonCfgCodeSet"}, {4, "ButtonDryContactSet"}};
    for (const auto& c : cases) {
        tabs->setCurrentIndex(c.tab);
        QApplication::processEvents();
        // The page fits: the tab scrolls by itself, the page around it does not.
        EXPECT_FALSE(outer->verticalScrollBar()->isVisible()) << c.set;
        auto* set = find<QPushButton>(c.set);
        const QRect inWindow(set->mapTo(&w, QPoint(0, 0)), set->size());
        const QRect seen(outer->viewport()->mapTo(&w, QPoint(0, 0)), outer->viewport()->size());
        EXPECT_TRUE(seen.contains(inWindow)) << c.set << " at " << inWindow.y() << ", page seen to " << seen.bottom();
        EXPECT_FALSE(set->visibleRegion().isEmpty()) << c.set;
    }
}

TEST_F(WindowSizeTest, SizeAndPlaceAreRememberedAndKeptOnTheScreen) {
    MainWindow& w = start(options());
    w.show();
    w.close(); // nothing chosen: nothing written
    EXPECT_TRUE(readIni().isEmpty());

    MainWindow& second = start(options());
    second.show();
    second.resize(700, 520);
    second.move(30, 40);
    second.close();
    const QByteArray ini = readIni();
    for (const char* line : {"Left=30", "Top=40", "Width=700", "Height=520"})
        EXPECT_TRUE(ini.contains(line)) << line << "\n" << ini.constData();

    MainWindow& third = start(options());
    EXPECT_EQ(third.size(), QSize(700, 520));
    EXPECT_EQ(third.pos(), QPoint(30, 40));

    // A place off every screen (a monitor since unplugged) and a size larger than the screen.
    writeIni("[Window]\nLeft=5000\nTop=-3000\nWidth=4000\nHeight=3000\n");
    MainWindow& fourth = start(options());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(QRect(fourth.pos(), fourth.size())))
        << fourth.pos().x() << "," << fourth.pos().y() << " " << fourth.width() << "x" << fourth.height();
}

// At the smallest size the connection bar wraps onto more rows instead of holding the window wide:
// every box keeps the width it needs, its caption stays beside it, and nothing leaves the window.
TEST_F(WindowSizeTest, AtTheMinimumSizeTheConnectionBarWrapsAndStaysWhole) {
    for (int language : {LangCN, LangEN}) {
        writeIni(language == LangCN ? "[LanguageSet]\nLanguage=CN\n" : "[LanguageSet]\nLanguage=EN\n");
        MainWindow& w = start(options(usLocale(), true));
        ASSERT_EQ(w.language(), language);
        EXPECT_LE(w.minimumSizeHint().width(), 640);
        w.resize(640, 480);
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(w.size(), QSize(640, 480)) << language;
        const struct {
            const char* caption;
            const char* box;
        } pairs[] = {{"LabelUpsType", "ComboBoxUpsType"}, {"LabelBaud", "ComboBox1"}, {"LabelPort", "ComboBox2"},
                     {"LabelProto", "ComboBoxProto"},     {"LabelAddr", "EditUpsAddr"}};
        for (const auto& p : pairs) {
            expectInside(p.caption);
            expectInside(p.box);
            auto* caption = find<QLabel>(p.caption);
            auto* box = find<QWidget>(p.box);
            EXPECT_GE(box->width(), box->minimumSizeHint().width()) << p.box;
            EXPECT_GE(caption->width(), caption->fontMetrics().horizontalAdvance(caption->text())) << p.caption;
            // The caption sits on the row of its box, just before it.
            const QPoint c = caption->mapTo(&w, QPoint(0, caption->height() / 2));
            const QPoint b = box->mapTo(&w, QPoint(0, 0));
            EXPECT_TRUE(c.y() >= b.y() && c.y() <= b.y() + box->height()) << p.caption;
            EXPECT_LT(c.x(), b.x()) << p.caption;
        }
        for (const char* name : {"ButtonConnect", "StatusBar1", "StatusPanel0", "StatusPanel1"})
            expectInside(name);
        auto* connectButton = find<QPushButton>("ButtonConnect");
        EXPECT_GE(connectButton->width(), connectButton->minimumSizeHint().width());
        // The page area keeps some room.
        EXPECT_GT(find<QWidget>("PageControl1")->height(), 120);
    }
}

// At the smallest size the home page's diagram shrinks (it scales with its area) and the status
// strip wraps, so the page needs no scroll bar and the strip's values stay in sight.
TEST_F(WindowSizeTest, AtTheMinimumSizeTheHomePageShrinksInsteadOfScrolling) {
    for (int language : {LangCN, LangEN}) {
        writeIni(language == LangCN ? "[LanguageSet]\nLanguage=CN\n" : "[LanguageSet]\nLanguage=EN\n");
        MainWindow& w = start(options(usLocale(), true));
        w.resize(640, 480);
        w.show();
        w.showPage(0);
        QApplication::processEvents();
        ZavPage* home = w.page(0);
        auto* area = qobject_cast<QScrollArea*>(home->parentWidget()->parentWidget()->parentWidget());
        ASSERT_NE(area, nullptr);
        EXPECT_FALSE(area->horizontalScrollBar()->isVisible()) << language;
        EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << language;
        for (const char* name : {"LabelUpsState", "LabelDataGap", "StatusStrip", "EnergyFlow"}) {
            auto* part = find<QWidget>(name);
            const QRect r(part->mapTo(area->viewport(), QPoint(0, 0)), part->size());
            EXPECT_TRUE(area->viewport()->rect().contains(r)) << name << " " << language;
        }
    }
}
