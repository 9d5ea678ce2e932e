// Keyboard use of the window: in the English interface the buttons carry Alt+letter mnemonics, and
// no two buttons shown together share a letter on any page or tab; the widget with the focus shows
// a ring in the highlight colour.

#include "app_fixture.h"

#include "foundation/AppTexts.h"
#include "foundation/Mnemonics.h"
#include "pagekit/ButtonMnemonics.h"
#include "pagekit/LockPanel.h"
#include "pagekit/FocusRing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabWidget>
#include <QTreeWidget>

using namespace zav;
using namespace zav::test;

namespace {

// The buttons the window shows now, by their key; a second button with a key already taken is a
// fault, named with both buttons. A button's key is Alt + its letter, and the letter is in its
// caption (which stays the plain text).
QStringList clashes(QWidget& window, QSet<QString>& marked) {
    QMap<QChar, QString> byLetter;
    QStringList found;
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        if (!b->isVisible() || b->window() != &window) continue;
        const QChar letter = buttonMnemonic(b);
        if (letter.isNull()) continue;
        if (b->shortcut() != QKeySequence(Qt::ALT | Qt::Key(letter.toUpper().unicode())))
            found << b->objectName() + ": no Alt+" + letter.toUpper();
        if (!b->text().contains(letter, Qt::CaseInsensitive) || !mnemonicOf(b->text()).isNull())
            found << b->objectName() + ": " + letter + " and the caption " + b->text();
        marked << b->objectName();
        if (byLetter.contains(letter))
            found << QStringLiteral("%1: %2 and %3").arg(letter).arg(byLetter[letter], b->objectName());
        byLetter[letter] = b->objectName();
    }
    return found;
}

} // namespace

TEST_F(ShellTest, ButtonsShownTogetherNeverShareAMnemonic) {
    MainWindow& w = start(options(usLocale(), true));
    ASSERT_EQ(w.language(), 1);
    w.resize(1024, 600);
    w.show();
    QSet<QString> marked;
    // Locked: the panel's OK button only (marked as well).
    w.showPage(kLocks[0].page);
    EXPECT_EQ(clashes(w, marked), QStringList());
    EXPECT_TRUE(marked.contains(QString::fromLatin1(kLocks[0].button)));
    dialogs.answers = {false}; // the offer to replace the factory password: not now
    for (const LockNames& names : kLocks) {
        find<QLineEdit>(names.edit)->setText("73019264");
        find<QPushButton>(names.button)->click();
    }
    for (int page = 0; page < kPageCount; ++page) {
        w.showPage(page);
        QApplication::processEvents();
        EXPECT_EQ(clashes(w, marked), QStringList()) << "page " << page;
        // Every tab of the page's tab widgets in turn.
        for (QTabWidget* tabs : w.findChildren<QTabWidget*>()) {
            if (!tabs->isVisible()) continue;
            for (int t = 0; t < tabs->count(); ++t) {
                if (!tabs->isTabVisible(t)) continue;
                tabs->setCurrentIndex(t);
                QApplication::processEvents();
                EXPECT_EQ(clashes(w, marked), QStringList()) << "page " << page << " tab " << t;
            }
            tabs->setCurrentIndex(0);
        }
    }
    // The main buttons of the pages all have one.
    for (const char* name : {"ButtonConnect", "ButtonDownload", "ButtonSave", "ButtonSCodeDownload",
                             "ButtonSCodeSave", "ButtonSCodeAnalyze", "ButtonSCodeAnalyzeSelected",
                             "ButtonSaveCurData", "ButtonResumeCurData", "ButtonBattSetSend",
                             "ButtonRateSettingSend", "ButtonJournalExport"})
        EXPECT_TRUE(marked.contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(find<QPushButton>("ButtonDownload")->text(), "Download") << "the caption stays";
}

TEST_F(ShellTest, MnemonicsFollowTheLanguageAndTheCaptionChanges) {
    MainWindow& w = start(options(usLocale(), true));
    auto* connect = find<QPushButton>("ButtonConnect");
    auto* download = find<QPushButton>("ButtonDownload");
    EXPECT_EQ(connect->text(), "Connect");
    EXPECT_EQ(connect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
    const QKeySequence downloadKey = download->shortcut();
    EXPECT_FALSE(downloadKey.isEmpty());
    w.labelChineseClick();
    EXPECT_EQ(connect->text(), QString::fromUtf8("连接"));
    EXPECT_TRUE(connect->shortcut().isEmpty()) << "no key in the Chinese interface";
    EXPECT_TRUE(buttonMnemonic(connect).isNull());
    w.labelEnglishClick();
    EXPECT_EQ(connect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
    EXPECT_EQ(download->shortcut(), downloadKey) << "the same key again";
    // A caption set again drops Qt's shortcut; the next button update gives it back, and a caption
    // that comes back (Download -> Cancel -> Download) gets its own letter again.
    download->setText("Download");
    w.updateButtonStates();
    EXPECT_EQ(download->shortcut(), downloadKey);
    download->setText("Cancel");
    w.updateButtonStates();
    EXPECT_NE(download->shortcut(), downloadKey);
    EXPECT_FALSE(download->shortcut().isEmpty());
    download->setText("Download");
    w.updateButtonStates();
    EXPECT_EQ(download->shortcut(), downloadKey);
}

// The style underlines the button's letter when it draws the caption, and only then.
TEST(FocusRing, UnderlinesTheLetterOfAButtonsKey) {
    FocusRingStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QWidget window;
    auto* button = new QPushButton("Download", &window);
    auto draw = [&] {
        QStyleOptionButton o;
        o.initFrom(button);
        o.rect = QRect(0, 0, 120, 30);
        o.text = button->text();
        QImage image(o.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        style.drawControl(QStyle::CE_PushButtonLabel, &o, &painter, button);
        return image;
    };
    const QImage plain = draw();
    markButtonMnemonics(&window, true);
    ASSERT_EQ(buttonMnemonic(button), QChar('d'));
    EXPECT_NE(draw(), plain) << "the underline";
    EXPECT_EQ(button->text(), "Download");
    markButtonMnemonics(&window, false);
    EXPECT_EQ(draw(), plain);
}

// The style draws a 2 px ring in the highlight colour around a focused push button, line edit,
// combo box and check box, and nothing of the kind without the focus.
TEST(FocusRing, DrawnAroundTheFocusedWidgetOnly) {
    FocusRingStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette palette = style.standardPalette();
    const QColor ring = palette.color(QPalette::Active, QPalette::Highlight);
    const QRect rect(0, 0, 80, 24);
    auto draw = [&](bool focus, const std::function<void(QPainter&, QStyle::State)>& paint) {
        QImage image(rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter, QStyle::State_Enabled | QStyle::State_Active | (focus ? QStyle::State_HasFocus : QStyle::State_None));
        painter.end();
        return image;
    };
    auto ringed = [&](const QImage& image) {
        // Both pixels of the ring's width, on all four sides.
        for (int d : {0, 1})
            for (const QPoint p : {QPoint(d, 12), QPoint(79 - d, 12), QPoint(40, d), QPoint(40, 23 - d)})
                if (image.pixelColor(p) != ring) return false;
        return true;
    };
    QPushButton button;
    QLineEdit edit;
    QComboBox combo;
    QCheckBox check;
    const std::function<void(QPainter&, QStyle::State)> widgets[] = {
        [&](QPainter& p, QStyle::State state) {
            QStyleOptionButton o;
            o.rect = rect;
            o.palette = palette;
            o.state = state;
            o.text = "Set";
            style.drawControl(QStyle::CE_PushButton, &o, &p, &button);
        },
        [&](QPainter& p, QStyle::State state) {
            QStyleOptionFrame o;
            o.rect = rect;
            o.palette = palette;
            o.state = state;
            o.lineWidth = 1;
            style.drawPrimitive(QStyle::PE_PanelLineEdit, &o, &p, &edit);
        },
        [&](QPainter& p, QStyle::State state) {
            QStyleOptionComboBox o;
            o.rect = rect;
            o.palette = palette;
            o.state = state;
            style.drawComplexControl(QStyle::CC_ComboBox, &o, &p, &combo);
        },
        [&](QPainter& p, QStyle::State state) {
            QStyleOptionFocusRect o;
            o.rect = rect;
            o.palette = palette;
            o.state = state;
            style.drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, &check); // asked for only with the focus
        },
    };
    int index = 0;
    for (const auto& paint : widgets) {
        EXPECT_TRUE(ringed(draw(true, paint))) << index;
        if (index < 3) EXPECT_FALSE(ringed(draw(false, paint))) << index;
        ++index;
    }
}
