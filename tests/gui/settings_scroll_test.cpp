// Scrolling of the long groups of the user-service settings page: every wheel notch moves the
// scroll box by 10 pixels, wherever over the box the mouse is; a click on the group or a label
// gives the box the focus. Wheel events go through the window as the platform delivers them.

#include "settings/widgets/SettingsPage.h"
#include "settings/widgets/SettingsPages.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

using namespace zav;

namespace {

constexpr int EN = 1;

struct Box {
    const char* scroll;
    int tab;
    const char* group;
    const char* label; // a caption inside
    const char* edit;  // an Old field inside
    const char* combo; // a list inside
};
const Box kBoxes[] = {
    {"ScrollBox1", 0, "GroupBoxSeverSet", "Label14", "EditModeOld", "ComboBoxMode"},
    {"ScrollBox2", 1, "GroupBoxBattSet", "Label67", "EditBattNumOld", "ComboBoxBattNum"},
};

class SettingsScrollTest : public ::testing::Test {
  protected:
    AppContext context;
    QWidget window;
    SettingsPage* page = nullptr;

    void SetUp() override {
        page = qobject_cast<SettingsPage*>(createSettingsPage(10, context, &window));
        ASSERT_NE(page, nullptr);
        (new QVBoxLayout(&window))->addWidget(page);
        RegisterStore data(301, 480);
        page->pageInit(EN, 0, data); // model 0: the longest groups
        window.resize(820, 420);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    template <typename T> T* widget(const char* name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QScrollBar* open(const Box& box) {
        widget<QTabWidget>("PageControl3")->setCurrentIndex(box.tab);
        QScrollBar* bar = widget<QScrollArea>(box.scroll)->verticalScrollBar();
        // The tab lays its box out once it is shown.
        EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->isVisible(); }, 5000)) << box.scroll;
        EXPECT_GT(bar->maximum(), 100) << box.scroll << ": the group must be taller than the box";
        bar->setValue(0);
        return bar;
    }
    // A wheel turn with the mouse at `local` of `target`, delivered through the window like one
    // from the platform (the window picks the widget under the mouse).
    void wheel(QWidget* target, int delta, QPoint local = {-1, -1}) {
        if (local.x() < 0) local = target->rect().center();
        const QPoint at = target->mapTo(&window, local);
        ASSERT_EQ(window.childAt(at), target)
            << "the mouse is not over " << target->objectName().toStdString();
        QWheelEvent event(at, target->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        // Spontaneous, as from the platform: a wheel nobody takes goes on to the parents. (sendEvent
        // would clear the flag.)
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(window.windowHandle(), &event);
    }
    // A point of the group box in sight that no row covers (left of the captions).
    static QPoint groupMargin(QWidget* group) {
        const QWidget* viewport = group->parentWidget();
        return {4, group->mapFrom(viewport, viewport->rect().center()).y()};
    }
};

TEST_F(SettingsScrollTest, EachWheelNotchMovesTheBoxTenPixels) {
    // delta in eighths of a degree (120 = one notch, negative = towards the user = down),
    // and the scroll position after it.
    const struct {
        int delta;
        int position;
    } turns[] = {
        {-120, 10},
        {-120, 20},
        {-360, 50},
        {120, 40},
        // A fine-grained wheel moves once a whole notch has come together ...
        {60, 40},
        {60, 30},
        // ... and a turn back does not count what was left over from the other way.
        {-60, 30},
        {120, 20},
    };
    for (const Box& box : kBoxes) {
        QScrollBar* bar = open(box);
        auto* group = widget<QGroupBox>(box.group);
        for (const auto& t : turns) {
            wheel(group, t.delta, groupMargin(group));
            EXPECT_EQ(bar->value(), t.position) << box.scroll << " delta " << t.delta;
        }
        // Over a caption or an Old field the page scrolls the same.
        for (const char* name : {box.label, box.edit}) {
            bar->setValue(0);
            wheel(widget<QWidget>(name), -120);
            EXPECT_EQ(bar->value(), 10) << box.scroll << " over " << name;
            wheel(widget<QWidget>(name), 120);
            EXPECT_EQ(bar->value(), 0) << box.scroll << " over " << name;
        }
        // And over its scroll bar.
        wheel(bar, -120);
        EXPECT_EQ(bar->value(), 10) << box.scroll << " over the scroll bar";
    }
}

TEST_F(SettingsScrollTest, WheelStopsAtBothEnds) {
    for (const Box& box : kBoxes) {
        QScrollBar* bar = open(box);
        auto* group = widget<QGroupBox>(box.group);
        wheel(group, 120, groupMargin(group));
        EXPECT_EQ(bar->value(), 0) << box.scroll;
        bar->setValue(bar->maximum() - 5);
        wheel(group, -120, groupMargin(group));
        EXPECT_EQ(bar->value(), bar->maximum()) << box.scroll;
        wheel(group, -120, groupMargin(group));
        EXPECT_EQ(bar->value(), bar->maximum()) << box.scroll;
        wheel(group, 120, groupMargin(group));
        EXPECT_EQ(bar->value(), bar->maximum() - 10) << box.scroll;
    }
}

TEST_F(SettingsScrollTest, ListsTakeTheWheelOnlyWithTheFocus) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) GTEST_SKIP() << "the window cannot be made active here";
    for (const Box& box : kBoxes) {
        QScrollBar* bar = open(box);
        auto* combo = widget<QComboBox>(box.combo);
        ASSERT_GT(combo->count(), 2) << box.combo;
        combo->setCurrentIndex(1);
        // Scrolling past a list neither changes it nor gives it the focus.
        wheel(combo, -120);
        EXPECT_EQ(bar->value(), 10) << box.combo;
        EXPECT_EQ(combo->currentIndex(), 1) << box.combo;
        EXPECT_FALSE(combo->hasFocus()) << box.combo;
        // With the focus the list takes the wheel and the page stays.
        combo->setFocus();
        wheel(combo, -120);
        EXPECT_EQ(bar->value(), 10) << box.combo;
        EXPECT_EQ(combo->currentIndex(), 2) << box.combo;
    }
}

TEST_F(SettingsScrollTest, ClickOnTheGroupOrACaptionFocusesTheBox) {
    for (const Box& box : kBoxes) {
        open(box);
        auto* scroll = widget<QScrollArea>(box.scroll);
        auto* group = widget<QGroupBox>(box.group);
        for (QWidget* target : {static_cast<QWidget*>(group), widget<QWidget>(box.label)}) {
            widget<QWidget>(box.combo)->setFocus();
            ASSERT_NE(window.focusWidget(), scroll);
            const QPoint at = target == group ? groupMargin(group) : target->rect().center();
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
            EXPECT_EQ(window.focusWidget(), scroll)
                << box.scroll << " click on " << target->objectName().toStdString();
        }
    }
}

} // namespace
