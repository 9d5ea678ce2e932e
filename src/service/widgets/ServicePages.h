#pragma once
// The maintenance pages of the page tree: 11 calibration ("DetectAdjust") and 12 remote control
// ("ControlCmd"). Both lie under their password panels, which the window puts over them.

#include "pagekit/ZavPage.h"

class QWidget;

namespace zav {

// The page of tree index `index`, or nullptr for an index that is not a maintenance page.
ZavPage* createServicePage(int index, AppContext& context, QWidget* parent);

} // namespace zav
