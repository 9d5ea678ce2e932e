#pragma once
// Keyboard mnemonics of button captions ("&Download": Alt+D presses it). The captions stay the
// system's texts; only the marker is added, and a literal ampersand is written "&&".

#include <QString>

namespace zav {

// The caption without its marker ("&Save" -> "Save", "R&&D" -> "R&D" stays "R&&D").
QString plainCaption(const QString& caption);
// The marked letter in lower case, or a null QChar.
QChar mnemonicOf(const QString& caption);

// Marks one letter or digit of `caption` that is not in `used` (lower case letters) and adds it
// there. The choice: `preferred` when the caption has it (a button keeps its key when its caption
// changes, "Connect" -> "Dis&connect"), else the first letter of a word, else any letter or digit
// in order. A caption whose letters are all taken, or that has none (a Chinese caption), comes back
// without a marker.
QString withMnemonic(const QString& caption, QString& used, QChar preferred = {});

// The caption with the marker before its first `letter` (case ignored), for drawing; the caption
// as it is when it has no such letter or already has a marker.
QString markedAt(const QString& caption, QChar letter);

} // namespace zav
