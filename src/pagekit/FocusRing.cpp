#include "pagekit/FocusRing.h"

#include "foundation/Mnemonics.h"
#include "pagekit/ButtonMnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace zav {

namespace {

constexpr int kRingWidth = 2;

bool focused(const QStyleOption* option) {
    return option && (option->state & QStyle::State_HasFocus) && (option->state & QStyle::State_Enabled);
}

void drawRing(QPainter* painter, const QRect& rect, const QPalette& palette) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(palette.color(QPalette::Active, QPalette::Highlight), kRingWidth));
    painter->setBrush(Qt::NoBrush);
    // A pen of 2 px is centred on the line: 1 px in keeps it whole inside the widget.
    painter->drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

} // namespace

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    if (element == CE_PushButtonLabel && !buttonMnemonic(widget).isNull()) {
        // The caption with its key's letter underlined; the button's own text stays unmarked.
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton marked(*button);
            marked.text = markedAt(button->text, buttonMnemonic(widget));
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && focused(option)) drawRing(painter, option->rect, option->palette);
}

void FocusRingStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if ((control == CC_ComboBox || control == CC_SpinBox) && focused(option))
        drawRing(painter, option->rect, option->palette);
}

void FocusRingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
    // Check and radio boxes ask for a focus frame around their label: the ring takes its place.
    // Item views ask for one around the current cell; that one stays the style's.
    if (element == PE_FrameFocusRect && qobject_cast<const QAbstractButton*>(widget)) {
        drawRing(painter, option->rect, option->palette);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // A frameless line edit is part of another widget (an editable combo box) that has its own ring.
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element == PE_PanelLineEdit && focused(option) && frame && frame->lineWidth > 0)
        drawRing(painter, option->rect, option->palette);
}

void installFocusRing(QApplication& app) {
    Q_UNUSED(app);
    if (dynamic_cast<FocusRingStyle*>(QApplication::style())) return;
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    QApplication::setStyle(new FocusRingStyle(base));
}

} // namespace zav
