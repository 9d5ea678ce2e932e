#pragma once
// The live monitoring pages of the page tree: 0 home, 1 bypass, 2 mains input, 3 output,
// 4 battery, 5 whole-unit status, 6 unit status. Each page connects itself to the scheduler's
// signals and redraws from the live stores.

#include "pagekit/ZavPage.h"

namespace zav {

// The page of tree index `index`, or nullptr for an index that is not a monitoring page.
ZavPage* createMonitorPage(int index, AppContext& context, QWidget* parent);

} // namespace zav
