#pragma once
// A keyboard focus ring that can be seen: the widget with the focus (push button, line edit, combo
// box, spin box, check box, radio button) gets a 2 px outline in the palette's highlight colour,
// drawn over the platform style's own look, which stays as it is (sizes included). It also
// underlines the letter of a push button's mnemonic (ButtonMnemonics) in its caption.

#include <QProxyStyle>

class QApplication;

namespace zav {

class FocusRingStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

// Wraps the application's present style once; a second call changes nothing.
void installFocusRing(QApplication& app);

} // namespace zav
