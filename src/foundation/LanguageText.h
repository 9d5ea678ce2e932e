#pragma once
// One text in the three languages of the user interface: 0 CN, 1 EN, 2 CHT.

#include <QString>
#include <array>

namespace zav {

using Texts3 = std::array<const char*, 3>;

// Any other language index reads as English, as an unknown language choice does.
inline int monitorLanguageIndex(int language) {
    return language >= 0 && language <= 2 ? language : 1;
}
inline QString pickText(const Texts3& texts, int language) {
    return QString::fromUtf8(texts[size_t(monitorLanguageIndex(language))]);
}

} // namespace zav
