#pragma once
// The port boxes (Modbus and programming) are refreshed every 2 s from the system's list. A name
// the user typed, or a port that has just disappeared, stays in the box; an empty box gets the first
// port of the list.

#include <QStringList>

namespace zav {

struct PortBoxContent {
    QStringList items;
    QString text; // what the box shows; empty when there is nothing to show
};

PortBoxContent refreshPortBox(const QString& currentText, const QStringList& systemPorts);

} // namespace zav
