#include "service/widgets/ServicePages.h"

#include "service/widgets/CalibrationPage.h"
#include "service/widgets/ControlCmdPage.h"

namespace zav {

ZavPage* createServicePage(int index, AppContext& context, QWidget* parent) {
    switch (index) {
    case 11:
        return new CalibrationPage(context, parent);
    case 12:
        return new ControlCmdPage(context, parent);
    default:
        return nullptr;
    }
}

} // namespace zav
