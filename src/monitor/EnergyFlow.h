#pragma once
// The energy-flow diagram of the home page as data: which elements the variant shows, which pictures
// are in which state, and the runs of squares that march along the wires in the direction of the
// energy. Coordinates are those of the diagram (about 640 x 300, y downwards); the widget scales them.

#include "monitor/LiveStores.h"

#include <QRect>
#include <QVector>
#include <array>
#include <cstdint>

namespace zav {

// 0: modular and three-phase towers (UpsModel 0 to 4); 1: small towers (5 to 8).
enum class FlowVariant { Tower = 0, Small = 1 };
FlowVariant flowVariant(int upsModel);

// The diagram's elements and where each is shown (SetHomeLayout).
struct FlowElement {
    const char* name;
    bool shown[2]; // per FlowVariant
    QRect rect;    // place in the diagram
};
const std::array<FlowElement, 18>& flowElements();
bool flowElementShown(const char* name, FlowVariant variant);
const FlowElement* findFlowElement(const char* name);

// Everything the diagram reads: status 81, 82, 84, 91, 92, 107, 108, 109, registers 1 and 25,
// setting 301 and the model.
struct FlowInputs {
    int upsModel = 1;
    uint16_t supply = 0;      // 81: 1 inverter, 2 bypass
    uint16_t battery = 0;     // 82: 1 float, 2 boost, 3 discharge
    uint16_t maintCb = 0;     // 84: 1 closed
    uint16_t bypFail = 0;     // 91
    uint16_t bypOvLoad = 0;   // 92
    uint16_t battLow = 0;     // 107
    uint16_t battReverse = 0; // 108
    uint16_t rectifier = 0;   // 109: not 0 while the rectifier takes energy from the input
    uint16_t bypassVolt = 0;  // 1: bypass voltage phase A, tenths of a volt
    uint16_t outputVolt = 0;  // 25: output voltage phase A, tenths of a volt
    uint16_t mode = 0;        // setting 301: 16 is the self-aging mode
};
FlowInputs flowInputs(const LiveStores& live, const RegisterStore& settingData, int upsModel);

enum class FlowColour { Red, Green };
enum class FlowDirection { Right, Left, Down, Up };

// A run of squares for one phase a: (length + 6) div 12 squares of 6 x 6 at start + 12 k along the
// wire. Forward runs start at base + a and shorten by a; backward runs start at base - a and
// lengthen by a, so the squares move 3 pixels a tick towards or against the growing coordinate.
struct FlowRun {
    const char* wire; // the element the squares run along
    bool vertical;
    int x, y, length;
    FlowDirection direction;
    FlowColour colour;

    int squareCount() const { return (length + 6) / 12; }
    QVector<QRect> squares() const;
    QRect bounds() const; // covers every square
};

struct FlowPictures {
    bool maintCbClosed = false;      // Panel4
    bool bypassSwitchClosed = false; // Panel2
    bool battDisconnected = false;   // PanelBatt
    bool bypassFailed = false;       // PanelBypass
    bool operator==(const FlowPictures&) const = default;
};

struct FlowFrame {
    FlowVariant variant = FlowVariant::Tower;
    FlowPictures pictures;
    QVector<FlowRun> runs;
};

// The picture states and the runs for the inputs at phase a (0, 3, 6 or 9).
FlowFrame energyFlowFrame(const FlowInputs& in, int phase);

// The strips EraseAllFlow clears for the variant: the wires' rectangles that a tick repaints.
QVector<QRect> flowStrips(FlowVariant variant);

// FlowPhase: 0 at start, +3 each tick; a pending model detection stops it.
class FlowClock {
  public:
    // TimerflowTimer's step; returns false when nothing is to be drawn.
    bool tick(bool autoModelPending) {
        if (autoModelPending) return false;
        // A 32-bit counter; it wraps at a multiple of 12 so the phase never skips.
        FlowPhase = uint32_t((uint64_t(FlowPhase) + 3) % kWrap);
        return true;
    }
    int phase() const { return int(FlowPhase % 12); }
    uint32_t FlowPhase = 0;
    static constexpr uint64_t kWrap = 0xFFFFFFFFull - 0xFFFFFFFFull % 12; // 2^32 - 4
};

} // namespace zav
