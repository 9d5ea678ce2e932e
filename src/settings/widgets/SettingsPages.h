#pragma once
// The settings pages of the page tree: 9 rated settings, 10 user-service settings.

#include "pagekit/ZavPage.h"

namespace zav {

// The settings page for a tree index, or nullptr for the indexes that are not settings pages.
// With a scheduler in the context the page shows each finished settings download.
ZavPage* createSettingsPage(int index, AppContext& context, QWidget* parent);

} // namespace zav
