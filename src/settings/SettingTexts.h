#pragma once
// Fixed captions of the settings pages (group boxes, tabs, buttons) by widget name and language.

#include <QString>

namespace zav {

// Caption of a settings-page widget in the language; empty for a name without a caption.
QString settingsPageText(const QString& name, int language);

} // namespace zav
