#pragma once
// The live stores as NUT variables: standard names (ups.status, input.voltage, battery.charge, ...)
// computed from LiveData, LiveStatus and the model, with no clock and no socket, so the mapping is
// tested per model from the virtual UPS's stores. docs/NUT.md lists the table.

#include "monitor/LiveStores.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace zav {

struct NutVar {
    QString name;
    QString value;
    QString description;
    bool writable = false;
    QString type;       // GET TYPE's answer after the name: "NUMBER", "STRING:32", "RW ENUM", ...
    QStringList enums;  // LIST ENUM for writable lists
    QString rangeMin, rangeMax; // LIST RANGE for writable numbers with fixed limits (empty: none)
};

struct NutStatusInputs {
    const LiveStores* live = nullptr;
    int upsModel = -1;
    bool forcedShutdown = false; // FSD was set by a primary (or by zavd's own policy)
    // The settings as read (system codes 329/330 tell single or three phases on some models);
    // nullptr until the settings of the model were downloaded.
    const RegisterStore* settings = nullptr;
};

// The flags of ups.status in NUT's order ("OL CHRG", "OB DISCHRG LB", ...).
QString nutStatus(const NutStatusInputs& in);
// The alarm texts present now (English), for ups.alarm and the ALARM flag.
QStringList nutAlarms(const LiveStores& live, int upsModel);
// Every read-only variable of a model with a live link.
QVector<NutVar> nutLiveVariables(const NutStatusInputs& in, const QString& version);
// A description of a standard variable (GET DESC); empty when unknown.
QString nutDescription(const QString& name);

} // namespace zav
