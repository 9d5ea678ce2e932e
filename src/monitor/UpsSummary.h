#pragma once
// The UPS at a glance: one power state (on line, on battery, low battery, on bypass, output off, or
// no data and why), with the battery charge, the runtime left and the load of the most loaded
// output phase. The home page's status strip and the tray show it; plain functions of the stores.

#include "monitor/LiveStores.h"
#include "monitor/MeasureViews.h"

#include <QString>
#include <optional>

namespace zav {

enum class UpsPowerState { NoData, OnLine, OnBattery, LowBattery, OnBypass, OutputOff };

// Why the values on screen are not the UPS's live ones (None: they are).
enum class DataGap { None, NotConnected, PortLost, NoAnswer, Waiting, OfflineFile };

// What the window knows of its link when it redraws.
struct LinkView {
    bool connected = false;  // the user's connection is on
    bool portOpen = false;   // the port is open now (a pulled adapter closes it)
    bool linkOk = false;     // the UPS answers
    bool cycleSeen = false;  // a live cycle has ended since the stores were last cleared
    bool offlineFile = false; // the stores hold a snapshot loaded from a file, the port closed
};
DataGap dataGap(const LinkView& link);

struct UpsSummary {
    UpsPowerState state = UpsPowerState::NoData;
    DataGap gap = DataGap::NotConnected;
    std::optional<double> chargePercent;
    std::optional<double> runtimeMinutes; // only while a battery is connected
    std::optional<double> loadPercent;    // the highest output phase
    bool operator==(const UpsSummary&) const = default;
};

// A file's snapshot still has a state (shown greyed, with its gap); without live data there is none.
UpsSummary summarizeUps(const LiveStores& live, const MeasureLayout& layout, DataGap gap);

// The output's load in percent, the highest phase of those the layout shows; nullopt when no phase
// reads a value.
std::optional<double> highestLoadPercent(const LiveStores& live, const MeasureLayout& layout);
// Minutes of runtime left, while a battery is connected.
std::optional<double> runtimeMinutesLeft(const LiveStores& live);

QString powerStateText(UpsPowerState state, int language);
QString dataGapText(DataGap gap, int language); // empty for None
// "Charge 85 %", "Runtime 12 min", "Load 41 %" ("--" for a value not known).
QString chargeText(const UpsSummary& s, int language);
QString runtimeText(const UpsSummary& s, int language);
QString loadText(const UpsSummary& s, int language);
// One line for a tooltip: the state, then the gap or the three values.
QString summaryLine(const UpsSummary& s, int language);

} // namespace zav
