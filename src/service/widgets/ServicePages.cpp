#include "service/widgets/ServicePages.h"

#include "service/widgets/CalibrationPage.h"
#include "service/widgets/ControlCmdPage.h"

#include <QGuiApplication>
#include <QMessageBox>

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

void showServiceMessage(QWidget* parent, const QString& text, const char* name) {
    // open(), not exec(): a nested event loop would let Timer1 re-enter the scheduler.
    auto* box = new QMessageBox(QMessageBox::Information, QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, parent);
    box->setObjectName(QLatin1String(name));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace zav
