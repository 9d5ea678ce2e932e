#pragma once
// Texts of the measurement pages and of the home-page value boxes, by language (0 CN, 1 EN, 2 CHT).

#include <QString>
#include <cstdint>

namespace zav {

enum class MeasureGrid { Bypass, Main, Output, Battery };

// Row label `row` (0-based, in display order) of a measurement grid; empty past the last row.
QString measureRowLabel(MeasureGrid grid, int row, int language);
int measureRowCount(MeasureGrid grid); // 4, 4, 8 or 6 labelled rows

// Captions of the home-page value boxes. The main box reads "Input" on the single-input models
// (UpsModel 5 to 8), which have no separate bypass box.
QString homeBypassCaption(int language);
QString homeMainCaption(int upsModel, int language);
QString homeOutputCaption(int language);
QString homeBatteryCaption(int language);
// The home page's notice while the UPS reports that neither its inverter nor its bypass feeds the
// output (supply source, status 81, is 0): the load has no power from the UPS.
QString homeOutputOffText(int language);
// Whether that notice shows: only on a status the UPS has just reported (cleared stores read 0).
bool homeOutputOff(bool statusReported, uint16_t supplySource);
// Caption beside the monitor version label of the whole-unit page.
QString monitorVersionCaption(int language);
// The chart's title on each measurement page.
QString measureChartTitle(MeasureGrid grid, int language);

} // namespace zav
