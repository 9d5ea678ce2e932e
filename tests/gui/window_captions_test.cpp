// Every caption of the settings pages and of the software-settings dialog is shown whole: in each
// language and for each UPS model, no label, check box, radio button or group-box title is wider
// than its widget, no widget runs past the edge of what holds it, and the rows of a group box start
// below its title.

#include "app_fixture.h"

#include "app/widgets/FormPassword.h"
#include "pagekit/LockPanel.h"
#include "link/RegisterStore.h"
#include "settings/widgets/SettingsPage.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QTextDocument>

using namespace zav;
using namespace zav::test;

namespace {

QString where(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

int textWidth(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n')) widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// The title's place as the style draws it.
QRect groupTitleRect(const QGroupBox* box) {
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.midLineWidth = 0;
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isFlat()) opt.features |= QStyleOptionFrame::Flat;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
}

// What does not fit in the visible captions under `root`; one line each.
QStringList clippedCaptions(QWidget* root) {
    QStringList out;
    const auto report = [&](const QWidget* w, const QString& text, const QString& what) {
        out << QStringLiteral("%1 \"%2\": %3").arg(where(w), text, what);
    };
    const auto fitsParent = [&](const QWidget* w, const QString& text) {
        const QWidget* parent = w->parentWidget();
        // A scroll area's content may be larger than its viewport: it scrolls.
        if (!parent || qobject_cast<const QAbstractScrollArea*>(parent->parentWidget())) return;
        if (!parent->rect().contains(w->geometry()))
            report(w, text,
                   QStringLiteral("runs past its holder (%1,%2 %3x%4 in %5x%6)")
                       .arg(w->x())
                       .arg(w->y())
                       .arg(w->width())
                       .arg(w->height())
                       .arg(parent->width())
                       .arg(parent->height()));
    };
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QString text = label->text();
            if (text.trimmed().isEmpty() || label->textFormat() == Qt::RichText || Qt::mightBeRichText(text))
                continue;
            const QRect area = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                               -label->margin());
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height())
                    report(w, text, QStringLiteral("wrapped text taller than %1").arg(label->height()));
            } else if (textWidth(fm, text) > area.width()) {
                report(w, text, QStringLiteral("needs %1, has %2").arg(textWidth(fm, text)).arg(area.width()));
            } else if (fm.height() > label->height()) {
                report(w, text, QStringLiteral("needs height %1, has %2").arg(fm.height()).arg(label->height()));
            }
            fitsParent(w, text);
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            const auto* button = static_cast<QAbstractButton*>(w);
            const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
            QStyle* style = w->style();
            const int indicator = style->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth,
                                                     nullptr, w);
            const int spacing = style->pixelMetric(
                check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
            const int need = indicator + spacing + textWidth(fm, button->text());
            if (!button->text().isEmpty() && need > w->width())
                report(w, button->text(), QStringLiteral("needs %1, has %2").arg(need).arg(w->width()));
            else if (fm.height() > w->height())
                report(w, button->text(), QStringLiteral("needs height %1, has %2").arg(fm.height()).arg(w->height()));
            fitsParent(w, button->text());
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            const QString title = box->title();
            fitsParent(w, title);
            if (title.isEmpty()) continue;
            const QRect titleRect = groupTitleRect(box);
            if (titleRect.left() < 0 || titleRect.right() >= box->width() ||
                textWidth(fm, title) > titleRect.width())
                report(w, title, QStringLiteral("title %1 wide does not fit the box of %2")
                                     .arg(textWidth(fm, title))
                                     .arg(box->width()));
            for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!child->isVisible() || child->isWindow()) continue;
                // A column head may stand on the title's line, beside the title, never under it.
                const bool besideTitle = child->objectName().startsWith(QLatin1String("LabelHead")) &&
                                         child->x() > titleRect.right();
                if (child->y() <= titleRect.bottom() && !besideTitle)
                    report(child, title,
                           QStringLiteral("starts at %1, above the end of its group's title at %2")
                               .arg(child->y())
                               .arg(titleRect.bottom()));
            }
        }
    }
    return out;
}

constexpr int kLanguages[] = {LangCN, LangEN, LangCHT};
constexpr const char* kLanguageText[] = {"CN", "EN", "CHT"};

class WindowCaptionsTest : public ShellTest {
protected:
    void startIn(int language) {
        writeIni(QByteArray("[LanguageSet]\nLanguage=") + kLanguageText[language] + "\n");
        start(options(usLocale(), true, true));
        ASSERT_EQ(window().language(), language);
        window().resize(1024, 600);
        window().show();
        for (const LockNames& names : kLocks) {
            find<QLineEdit>(names.edit)->setText("73019264");
            find<QPushButton>(names.button)->click();
        }
    }
    // Every tab of every tab widget on the page, one after the other.
    QStringList clippedOnEveryTab(QWidget* page) {
        QStringList out;
        const auto check = [&] {
            QApplication::processEvents();
            out << clippedCaptions(page);
        };
        check();
        for (QTabWidget* tabs : page->findChildren<QTabWidget*>()) {
            const int keep = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                if (!tabs->isTabVisible(i) || i == keep) continue;
                tabs->setCurrentIndex(i);
                check();
            }
            tabs->setCurrentIndex(keep);
        }
        out.removeDuplicates();
        return out;
    }
};

QString firstLines(const QStringList& lines, int n = 400) {
    QStringList head = lines.mid(0, n);
    if (lines.size() > n) head << QStringLiteral("... and %1 more").arg(lines.size() - n);
    return head.join(u'\n');
}

} // namespace

TEST_F(WindowCaptionsTest, SettingsPagesShowEveryCaptionWholeInEveryLanguageAndModel) {
    for (int language : kLanguages) {
        startIn(language);
        RegisterStore settings(301, 480);
        QStringList clipped;
        for (int model = 0; model <= 8; ++model) {
            for (int index : {9, 10}) {
                auto* page = qobject_cast<SettingsPage*>(window().page(index));
                ASSERT_NE(page, nullptr) << index;
                page->pageInit(language, model, settings);
                window().showPage(index);
                for (const QString& line : clippedOnEveryTab(page))
                    clipped << QStringLiteral("%1 model %2 page %3: %4")
                                   .arg(QLatin1String(kLanguageText[language]))
                                   .arg(model)
                                   .arg(index)
                                   .arg(line);
            }
        }
        EXPECT_TRUE(clipped.isEmpty()) << clipped.size() << " clipped:\n" << firstLines(clipped).toStdString();
    }
}

TEST_F(WindowCaptionsTest, SoftwareSettingsDialogShowsEveryCaptionWhole) {
    for (int language : kLanguages) {
        startIn(language);
        window().openSoftwareSettings();
        FormPassword& dialog = shell->formPassword();
        QApplication::processEvents();
        ASSERT_TRUE(dialog.isVisible());
        const QStringList clipped = clippedCaptions(&dialog);
        EXPECT_TRUE(clipped.isEmpty()) << kLanguageText[language] << ": " << clipped.size() << " clipped:\n"
                                       << firstLines(clipped).toStdString();
        dialog.close();
    }
}
