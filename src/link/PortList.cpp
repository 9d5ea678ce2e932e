#include "link/PortList.h"

#include "link/QtSerialChannel.h"

namespace zav {

PortBoxContent refreshPortBox(const QString& currentText, const QStringList& systemPorts) {
    PortBoxContent box;
    box.items = systemPorts;
    QtSerialChannel::sortPortNames(box.items);
    if (!currentText.isEmpty())
        box.text = currentText;
    else if (!box.items.isEmpty())
        box.text = box.items.first();
    return box;
}

} // namespace zav
