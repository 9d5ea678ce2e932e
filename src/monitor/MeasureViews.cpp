#include "monitor/MeasureViews.h"

#include "foundation/NumberFormats.h"

namespace zav {

namespace {

enum class Scale { Tenths, Hundredths, Power };

struct MeasureRow {
    int firstRegister; // phase A; B and C follow
    Scale scale;
};

constexpr MeasureRow kBypassRows[] = {
    {1, Scale::Tenths}, {4, Scale::Tenths}, {7, Scale::Hundredths}, {10, Scale::Hundredths}};
constexpr MeasureRow kMainRows[] = {
    {13, Scale::Tenths}, {16, Scale::Tenths}, {19, Scale::Hundredths}, {22, Scale::Hundredths}};
constexpr MeasureRow kOutputRows[] = {{25, Scale::Tenths},     {28, Scale::Tenths}, {31, Scale::Hundredths},
                                      {34, Scale::Hundredths}, {37, Scale::Power},  {40, Scale::Power},
                                      {43, Scale::Power},      {46, Scale::Tenths}};

bool isOneOf(int model, std::initializer_list<int> models) {
    for (int m : models)
        if (m == model) return true;
    return false;
}

QString formatScaled(uint16_t word, Scale scale, int upsModel) {
    switch (scale) {
    case Scale::Tenths:
        return FormatTenths(word);
    case Scale::Hundredths:
        return FormatHundredths(word);
    case Scale::Power:
        return upsModel == 8 ? FormatThousandths(word) : FormatTenths(word);
    }
    return {};
}

QVector<MeasureRow> phaseRows(MeasureGrid grid) {
    switch (grid) {
    case MeasureGrid::Bypass:
        return {std::begin(kBypassRows), std::end(kBypassRows)};
    case MeasureGrid::Main:
        return {std::begin(kMainRows), std::end(kMainRows)};
    case MeasureGrid::Output:
        return {std::begin(kOutputRows), std::end(kOutputRows)};
    case MeasureGrid::Battery:
        break;
    }
    return {};
}

// Remaining time is shown only while status register 83 is not 0; a temperature whose
// "not available" bit is set in status register 116 shows dashes.
QString remainingTimeText(const LiveStores& live) {
    return live.LiveStatus[83] != 0 ? FormatTenths(live.LiveData[55]) : QStringLiteral("----.-");
}
QString temperatureText(const LiveStores& live, int reg, int unavailableBit) {
    return live.LiveStatus[116] & (1u << unavailableBit) ? QStringLiteral("--.-")
                                                         : FormatTenths(live.LiveData[reg]);
}

QString V(const LiveStores& live, int reg) {
    return FormatTenths(live.LiveData[reg]);
}
QString H(const LiveStores& live, int reg) {
    return FormatHundredths(live.LiveData[reg]);
}

} // namespace

MeasureLayout measureLayout(int upsModel, const RegisterStore& settingData) {
    return {upsModel, (settingData[329] & 0x2) != 0, (settingData[330] & 0x2) != 0};
}

bool threePhaseLayout(MeasureGrid grid, const MeasureLayout& l) {
    const bool full = isOneOf(l.upsModel, {1, 2, 4});
    const bool zeroOrThree = isOneOf(l.upsModel, {0, 3});
    switch (grid) {
    case MeasureGrid::Bypass:
    case MeasureGrid::Output:
        return full || (zeroOrThree && !l.s1);
    case MeasureGrid::Main:
        return full || (zeroOrThree && !l.s2) || (isOneOf(l.upsModel, {5, 6, 7}) && l.s1);
    case MeasureGrid::Battery:
        return l.upsModel >= 0 && l.upsModel <= 4;
    }
    return false;
}

int measureGridColumns(MeasureGrid grid) {
    return grid == MeasureGrid::Battery ? 3 : 4;
}

TextGrid measureGridLabels(MeasureGrid grid, const MeasureLayout& layout, int language) {
    TextGrid texts(measureGridColumns(grid), kMeasureGridRows);
    const bool three = threePhaseLayout(grid, layout);
    if (three) {
        const QStringList titles =
            grid == MeasureGrid::Battery ? QStringList{"POS", "NEG"} : QStringList{"A", "B", "C"};
        for (int c = 0; c < titles.size(); ++c)
            texts.set(c + 1, 0, titles[c]);
    }
    const int firstRow = three ? 1 : 0;
    for (int r = 0; r < measureRowCount(grid); ++r)
        texts.set(0, firstRow + r, measureRowLabel(grid, r, language));
    return texts;
}

QVector<GridCell> measureGridValues(MeasureGrid grid, const LiveStores& live, const MeasureLayout& layout) {
    QVector<GridCell> cells;
    const bool three = threePhaseLayout(grid, layout);
    const int firstRow = three ? 1 : 0;
    if (grid == MeasureGrid::Battery) {
        const QString singleColumn[6] = {V(live, 50),
                                         FormatSignedTenths(live.LiveData[52]),
                                         V(live, 56),
                                         remainingTimeText(live),
                                         temperatureText(live, 54, 0),
                                         temperatureText(live, 49, 1)};
        for (int r = 0; r < 6; ++r)
            cells.append({1, firstRow + r, singleColumn[r]});
        if (three) { // the negative string
            cells.append({2, 1, V(live, 51)});
            cells.append({2, 2, FormatSignedTenths(live.LiveData[53])});
        }
        return cells;
    }
    const QVector<MeasureRow> rows = phaseRows(grid);
    for (int r = 0; r < rows.size(); ++r) {
        const int phases = three ? 3 : 1;
        for (int p = 0; p < phases; ++p)
            cells.append(
                {1 + p, firstRow + r,
                 formatScaled(live.LiveData[rows[r].firstRegister + p], rows[r].scale, layout.upsModel)});
    }
    return cells;
}

TextGrid measureGridTexts(MeasureGrid grid, const LiveStores& live, const MeasureLayout& layout,
                          int language) {
    TextGrid texts = measureGridLabels(grid, layout, language);
    for (const GridCell& cell : measureGridValues(grid, live, layout))
        texts.set(cell.column, cell.row, cell.text);
    return texts;
}

HomeLabels homeLabels(const LiveStores& live, const MeasureLayout& l) {
    HomeLabels h;
    const auto abc = [&](int reg, QString& a, QString& b, QString& c) {
        a = "A:" + V(live, reg) + "V";
        b = "B:" + V(live, reg + 1) + "V";
        c = "C:" + V(live, reg + 2) + "V";
    };
    if (l.upsModel >= 5 && l.upsModel <= 8) {
        // Single-input towers: one input box, output with frequency and load, battery capacity.
        h.outA = V(live, 25) + "V";
        h.outB = H(live, 31) + "Hz";
        h.outC = V(live, 46) + "%";
        if (live.LiveStatus[81] == 2) { // load on bypass: the input box shows the bypass
            h.mainA = V(live, 1) + "V";
            h.mainB = V(live, 4) + "A";
            h.mainC = H(live, 7) + "Hz";
        } else if (l.upsModel != 8 && l.s1) {
            abc(13, h.mainA, h.mainB, h.mainC);
        } else {
            h.mainA = V(live, 13) + "V";
            h.mainB = V(live, 16) + "A";
            h.mainC = H(live, 19) + "Hz";
        }
        h.battP = V(live, 50) + "V";
        if (live.LiveStatus[83] == 1) h.battN = V(live, 56) + "%";
        return h;
    }
    const bool zeroOrThree = l.upsModel == 0 || l.upsModel == 3;
    if (zeroOrThree && l.s1) {
        h.byA = V(live, 1) + "V";
        h.outA = V(live, 25) + "V";
    } else {
        abc(1, h.byA, h.byB, h.byC);
        abc(25, h.outA, h.outB, h.outC);
    }
    if (zeroOrThree && l.s2)
        h.mainA = V(live, 13) + "V";
    else
        abc(13, h.mainA, h.mainB, h.mainC);
    h.battP = "Pos:" + V(live, 50) + "V";
    h.battN = "Neg:" + V(live, 51) + "V";
    return h;
}

std::array<int, 4> chartVolts(const LiveStores& live) {
    std::array<int, 4> volts{};
    for (size_t i = 0; i < volts.size(); ++i) {
        const uint16_t word = live.LiveData[kChartRegisters[i]];
        volts[i] = word >= 0x8000 ? 0 : word / 10; // as the grids: a negative word reads as 0
    }
    return volts;
}

QString monitorVersionText(const LiveStores& live) {
    return FormatMonitorVersion(live.LiveData[68], live.LiveData[69], live.LiveData[70]);
}

} // namespace zav
