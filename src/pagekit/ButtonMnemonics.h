#pragma once
// Keyboard mnemonics for the push buttons of a window (Alt+letter presses a button). The captions
// are not touched (they are the system's texts, and tests and scripts find buttons by them): the
// key is the button's shortcut, and its letter a property that the application's style
// (FocusRingStyle) underlines when it draws the caption.

#include <QChar>

class QWidget;

namespace zav {

// Gives the push buttons under `root` a letter and Alt+letter as shortcut (`on`), or takes them away. Buttons
// shown together never share a letter: the buttons of a scope (root, without the pages of the
// stacked and tab widgets below it) are marked first, then each page of each stack with its outer
// scope's letters taken; pages of one stack are never shown together, so they may repeat letters.
// A button keeps its letter across caption changes when the new caption has it. Separate windows
// under `root` are left alone. Run it after the captions were set (language switch, button update).
void markButtonMnemonics(QWidget* root, bool on);

// The letter a button was given (lower case), or a null QChar.
QChar buttonMnemonic(const QWidget* button);

} // namespace zav
