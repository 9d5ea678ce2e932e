#include "pagekit/ButtonMnemonics.h"

#include "foundation/Mnemonics.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QVariantMap>

namespace zav {

namespace {

constexpr char kLetterProperty[] = "zavMnemonic";
constexpr char kCaptionLetters[] = "zavMnemonicByCaption";

void collect(QWidget* widget, QList<QPushButton*>& buttons, QList<QStackedWidget*>& stacks) {
    for (QObject* child : widget->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow()) continue;
        if (auto* button = qobject_cast<QPushButton*>(w)) buttons << button;
        else if (auto* stack = qobject_cast<QStackedWidget*>(w)) stacks << stack;
        else collect(w, buttons, stacks);
    }
}

void mark(QWidget* scope, bool on, QString used) {
    QList<QPushButton*> buttons;
    QList<QStackedWidget*> stacks;
    collect(scope, buttons, stacks);
    for (QPushButton* button : std::as_const(buttons)) {
        const QString text = button->text();
        if (text.isEmpty() || !on) {
            if (!buttonMnemonic(button).isNull()) button->setShortcut(QKeySequence());
            button->setProperty(kLetterProperty, QVariant());
            continue;
        }
        // The letter this caption had on this button before (Cancel -> Download gets D back), else
        // the button's present letter when the new caption has it (Connect -> Disconnect keeps C).
        QVariantMap byCaption = button->property(kCaptionLetters).toMap();
        const QVariant earlier = byCaption.value(text);
        const QChar preferred = earlier.isValid() ? earlier.toChar() : buttonMnemonic(button);
        const QChar letter = mnemonicOf(withMnemonic(text, used, preferred));
        button->setProperty(kLetterProperty, letter.isNull() ? QVariant() : QVariant(letter));
        if (!letter.isNull()) {
            byCaption.insert(text, letter);
            button->setProperty(kCaptionLetters, byCaption);
        }
        const QKeySequence key = letter.isNull() ? QKeySequence() : QKeySequence(Qt::ALT | Qt::Key(letter.toUpper().unicode()));
        if (button->shortcut() != key) button->setShortcut(key); // setText() clears it: set it again
        button->update();
    }
    for (QStackedWidget* stack : std::as_const(stacks))
        for (int i = 0; i < stack->count(); ++i) mark(stack->widget(i), on, used);
}

} // namespace

QChar buttonMnemonic(const QWidget* button) {
    const QVariant letter = button ? button->property(kLetterProperty) : QVariant();
    return letter.isValid() ? letter.toChar() : QChar();
}

void markButtonMnemonics(QWidget* root, bool on) {
    if (root) mark(root, on, QString());
}

} // namespace zav
