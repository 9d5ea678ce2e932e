#include "monitor/EnergyFlow.h"

#include <cstring>

namespace zav {

namespace {

constexpr int kSquare = 6;       // side of a square
constexpr int kSpacing = 12;     // from one square to the next
constexpr int kBypassLive = 200; // register 1 above 20.0 V: the bypass carries energy
constexpr int kOutputLive = 400; // register 25 above 40.0 V
constexpr int kSelfAging = 16;   // setting 301

// Wires are 6 pixels wide: the squares run inside them. Pictures sit on top of the wires.
const std::array<FlowElement, 18> kElements{{
    // name            tower  small   place
    {"Shape2", {true, true}, QRect(97, 186, 504, 6)},
    {"Shape3", {true, true}, QRect(482, 112, 6, 74)},
    {"Shape4", {true, false}, QRect(96, 106, 393, 6)},
    {"Shape5", {true, false}, QRect(153, 74, 6, 38)},
    {"Shape11", {true, false}, QRect(153, 74, 384, 6)},
    {"Shape9", {true, false}, QRect(530, 76, 6, 110)},
    {"Shape25", {true, false}, QRect(348, 232, 6, 33)},
    {"Panel2", {true, false}, QRect(392, 88, 56, 42)},
    {"Panel4", {true, false}, QRect(316, 56, 56, 42)},
    {"Panel8", {true, false}, QRect(321, 149, 60, 80)},
    {"ImageBattTower", {true, false}, QRect(325, 266, 52, 30)},
    {"ShapeByp2", {false, true}, QRect(177, 106, 312, 6)},
    {"ShapeByp1", {false, true}, QRect(177, 106, 6, 86)},
    {"Shape1", {false, true}, QRect(261, 200, 6, 73)},
    {"PanelRec", {false, true}, QRect(200, 163, 50, 52)},
    {"PanelInv", {false, true}, QRect(274, 163, 50, 52)},
    {"PanelBypass", {false, true}, QRect(300, 88, 56, 42)},
    {"PanelBatt", {false, true}, QRect(238, 268, 52, 30)},
}};

// One run as the diagram's formulas write it: forward H(a + base, fixed, length - a), backward
// H(base - a, fixed, length + a); V likewise with x and y swapped.
struct RunRule {
    const char* wire;
    bool vertical;
    int fixed, base, length;
    bool forward;
    FlowColour colour;
};

FlowRun makeRun(const RunRule& r, int a) {
    const int start = r.forward ? r.base + a : r.base - a;
    const int length = r.forward ? r.length - a : r.length + a;
    FlowDirection dir;
    if (r.vertical)
        dir = r.forward ? FlowDirection::Down : FlowDirection::Up;
    else
        dir = r.forward ? FlowDirection::Right : FlowDirection::Left;
    FlowRun run{r.wire, r.vertical, 0, 0, length, dir, r.colour};
    run.x = r.vertical ? r.fixed : start;
    run.y = r.vertical ? start : r.fixed;
    return run;
}

constexpr auto R = FlowColour::Red;
constexpr auto G = FlowColour::Green;

// Variant of UpsModel 0 to 4.
const RunRule kTowerMaintPath[] = {
    {"Shape4", false, 106, 90, 68, true, R},   {"Shape5", true, 153, 85, 22, false, R},
    {"Shape11", false, 74, 153, 383, true, R}, {"Shape9", true, 530, 75, 111, true, R},
    {"Shape2", false, 186, 530, 70, true, R},
};
const RunRule kTowerBypassPath[] = {
    {"Shape4", false, 106, 90, 395, true, R},
    {"Shape3", true, 482, 106, 80, true, R},
    {"Shape2", false, 186, 482, 120, true, R},
};
const RunRule kTowerSelfAging[] = {
    {"Shape4", false, 106, 90, 395, false, G},
    {"Shape3", true, 482, 114, 80, false, G},
    {"Shape2", false, 186, 370, 234, true, G},
};
const RunRule kTowerRectifier[] = {{"Shape2", false, 186, 90, 230, true, G}};
const RunRule kTowerInverter[] = {{"Shape2", false, 186, 370, 234, true, G}};
const RunRule kTowerCharge[] = {{"Shape25", true, 348, 232, 53, true, G}};
const RunRule kTowerDischarge[] = {{"Shape25", true, 348, 252, 33, false, G}};

// Variant of UpsModel 5 to 8. The first run of the bypass path starts at 90 + a (97 + a on model 8).
const RunRule kSmallBypassPath[] = {
    {"Shape2", false, 186, 90, 87, true, R},      {"ShapeByp1", true, 177, 120, 73, false, R},
    {"ShapeByp2", false, 106, 177, 311, true, R}, {"Shape3", true, 482, 106, 80, true, R},
    {"Shape2", false, 186, 482, 120, true, R},
};
const RunRule kSmallSelfAging[] = {
    {"ShapeByp1", true, 177, 108, 80, true, R},
    {"ShapeByp2", false, 106, 189, 299, false, R},
    {"Shape3", true, 482, 118, 68, false, R},
};
const RunRule kSmallInverter[] = {{"Shape2", false, 186, 260, 341, true, G}};
const RunRule kSmallRectifier[] = {{"Shape2", false, 186, 97, 163, true, G}};
const RunRule kSmallCharge[] = {{"Shape1", true, 261, 212, 53, true, G}};
const RunRule kSmallDischarge[] = {{"Shape1", true, 261, 219, 45, false, G}};

template <size_t N> void addRuns(QVector<FlowRun>& runs, const RunRule (&rules)[N], int a) {
    for (const RunRule& r : rules)
        runs.append(makeRun(r, a));
}

void towerFrame(const FlowInputs& in, int a, FlowFrame& f) {
    const bool selfAging = in.mode == kSelfAging && in.supply == 1;
    f.pictures.maintCbClosed = in.maintCb == 1;
    if (in.maintCb == 1 && in.bypassVolt > kBypassLive) addRuns(f.runs, kTowerMaintPath, a);
    f.pictures.bypassSwitchClosed = in.supply == 2 || selfAging;
    if (in.supply == 2 && in.bypassVolt > kBypassLive) addRuns(f.runs, kTowerBypassPath, a);
    if (selfAging) addRuns(f.runs, kTowerSelfAging, a);
    if (in.rectifier != 0) addRuns(f.runs, kTowerRectifier, a);
    if (in.supply == 1) addRuns(f.runs, kTowerInverter, a);
    if (in.battery == 1 || in.battery == 2) addRuns(f.runs, kTowerCharge, a);
    if (in.battery == 3) addRuns(f.runs, kTowerDischarge, a);
}

void smallFrame(const FlowInputs& in, int a, FlowFrame& f) {
    const bool model8 = in.upsModel == 8;
    f.pictures.battDisconnected = in.battLow == 1 || in.battReverse == 1;
    f.pictures.bypassFailed = in.bypFail == 1 || in.bypOvLoad == 1;
    if (in.supply == 2 && in.bypassVolt > kBypassLive && (model8 || in.outputVolt > kOutputLive)) {
        const qsizetype first = f.runs.size();
        addRuns(f.runs, kSmallBypassPath, a);
        if (model8) f.runs[first].x += 7; // its common input starts at x = 97
    }
    if (!model8 && in.mode == kSelfAging && in.supply == 1) addRuns(f.runs, kSmallSelfAging, a);
    if (in.supply == 1) addRuns(f.runs, kSmallInverter, a);
    if (in.rectifier != 0) addRuns(f.runs, kSmallRectifier, a);
    if (in.battery == 1 || in.battery == 2) addRuns(f.runs, kSmallCharge, a);
    if (in.battery == 3) addRuns(f.runs, kSmallDischarge, a);
}

} // namespace

FlowVariant flowVariant(int upsModel) {
    return upsModel >= 5 ? FlowVariant::Small : FlowVariant::Tower;
}

const std::array<FlowElement, 18>& flowElements() {
    return kElements;
}

const FlowElement* findFlowElement(const char* name) {
    for (const FlowElement& e : kElements)
        if (std::strcmp(e.name, name) == 0) return &e;
    return nullptr;
}

bool flowElementShown(const char* name, FlowVariant variant) {
    const FlowElement* e = findFlowElement(name);
    return e && e->shown[int(variant)];
}

FlowInputs flowInputs(const LiveStores& live, const RegisterStore& settingData, int upsModel) {
    const RegisterStore& s = live.LiveStatus;
    FlowInputs in;
    in.upsModel = upsModel;
    in.supply = s[81];
    in.battery = s[82];
    in.maintCb = s[84];
    in.bypFail = s[91];
    in.bypOvLoad = s[92];
    in.battLow = s[107];
    in.battReverse = s[108];
    in.rectifier = s[109];
    in.bypassVolt = live.LiveData[1];
    in.outputVolt = live.LiveData[25];
    in.mode = settingData[301];
    return in;
}

QVector<QRect> FlowRun::squares() const {
    QVector<QRect> out;
    const int n = squareCount();
    out.reserve(n);
    for (int k = 0; k < n; ++k)
        out.append(vertical ? QRect(x, y + kSpacing * k, kSquare, kSquare)
                            : QRect(x + kSpacing * k, y, kSquare, kSquare));
    return out;
}

QRect FlowRun::bounds() const {
    const int n = squareCount();
    if (n <= 0) return {};
    const int span = kSpacing * (n - 1) + kSquare;
    return vertical ? QRect(x, y, kSquare, span) : QRect(x, y, span, kSquare);
}

FlowFrame energyFlowFrame(const FlowInputs& in, int phase) {
    FlowFrame f;
    f.variant = flowVariant(in.upsModel);
    const int a = ((phase % 12) + 12) % 12;
    if (f.variant == FlowVariant::Tower)
        towerFrame(in, a, f);
    else
        smallFrame(in, a, f);
    return f;
}

QVector<QRect> flowStrips(FlowVariant variant) {
    // EraseFlow's corners (x1, y1)-(x2, y2) as rectangles.
    auto strip = [](int x1, int y1, int x2, int y2) { return QRect(QPoint(x1, y1), QPoint(x2, y2)); };
    if (variant == FlowVariant::Tower)
        return {strip(96, 106, 488, 112), strip(153, 74, 536, 80),   strip(97, 186, 600, 192),
                strip(153, 74, 159, 106), strip(348, 232, 354, 264), strip(482, 112, 488, 186),
                strip(530, 76, 536, 186)};
    return {strip(177, 106, 488, 112), strip(97, 186, 600, 192), strip(261, 212, 267, 284),
            strip(177, 112, 183, 186), strip(482, 112, 488, 186)};
}

} // namespace zav
