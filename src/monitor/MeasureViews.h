#pragma once
// What the home page and the four measurement pages show, as plain functions of the live stores,
// the UPS model, the two system-code bits S1/S2 and the language. DataFlash and
// SetMeasureGridLabels only copy these texts into their widgets.
//
// S1 and S2 are bit 1 of system code 1 and 2 (settings registers 329, 330). For UpsModel 0 and 3,
// S1 = 1 means a single-phase output (and bypass) and S2 = 1 a single-phase main input; for
// UpsModel 5, 6 and 7, S1 = 1 means a three-phase main input.

#include "monitor/LiveStores.h"
#include "monitor/MeasureTexts.h"
#include "foundation/TextGrid.h"

#include <array>

namespace zav {

struct MeasureLayout {
    int upsModel = 1;
    bool s1 = false;
    bool s2 = false;
    bool operator==(const MeasureLayout&) const = default;
};

// Bit 1 of settings registers 329 and 330; both 0 until the first settings download.
MeasureLayout measureLayout(int upsModel, const RegisterStore& settingData);

// Three-phase layout of the bypass, main and output grids, two-string layout of the battery grid.
bool threePhaseLayout(MeasureGrid grid, const MeasureLayout& layout);

constexpr int kMeasureGridRows = 9;
int measureGridColumns(MeasureGrid grid); // 4, or 3 for the battery grid

// SetMeasureGridLabels for one grid: an empty grid with its row and column labels.
TextGrid measureGridLabels(MeasureGrid grid, const MeasureLayout& layout, int language);
// DataFlash for one grid: the value cells; cells no rule names keep the labels' empty text.
QVector<GridCell> measureGridValues(MeasureGrid grid, const LiveStores& live, const MeasureLayout& layout);
// Labels and values together, as the grid shows them after both routines ran.
TextGrid measureGridTexts(MeasureGrid grid, const LiveStores& live, const MeasureLayout& layout,
                          int language);

// The summary labels of the home page (LabelByA ... LabelBattN).
struct HomeLabels {
    QString byA, byB, byC;
    QString mainA, mainB, mainC;
    QString outA, outB, outC;
    QString battP, battN;
    bool operator==(const HomeLabels&) const = default;
};
HomeLabels homeLabels(const LiveStores& live, const MeasureLayout& layout);

// The chart points of one refresh, whole volts, in the order bypass, main, output, battery
// (phase A of registers 1, 13, 25 and the positive battery string, register 50).
std::array<int, 4> chartVolts(const LiveStores& live);
constexpr int kChartRegisters[4] = {1, 13, 25, 50};

// LabelZAVVer: the monitor firmware version of registers 68 to 70.
QString monitorVersionText(const LiveStores& live);

} // namespace zav
