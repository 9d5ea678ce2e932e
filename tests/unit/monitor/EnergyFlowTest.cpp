// The energy-flow rules: for the supply source, battery state, breaker, mode and voltages of each
// case, which wires carry squares, which way they move and in which colour, and the picture states.

#include "monitor/EnergyFlow.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace zav;

namespace {

const char* dirName(FlowDirection d) {
    switch (d) {
    case FlowDirection::Right:
        return "right";
    case FlowDirection::Left:
        return "left";
    case FlowDirection::Down:
        return "down";
    case FlowDirection::Up:
        return "up";
    }
    return "?";
}

// "wire direction colour" for every run, sorted, so a failing case prints what moves.
std::vector<std::string> moving(const FlowFrame& f) {
    std::vector<std::string> out;
    for (const FlowRun& r : f.runs)
        out.push_back(std::string(r.wire) + " " + dirName(r.direction) +
                      (r.colour == FlowColour::Red ? " red" : " green"));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The registers of a case: status words 81 to 240, registers 1 and 25, setting 301.
FlowInputs inputs(int model, std::map<int, int> regs) {
    LiveStores live;
    RegisterStore settingData{301, 480};
    for (auto [reg, value] : regs) {
        if (reg == 301)
            settingData.set(reg, uint16_t(value));
        else if (reg <= 80)
            live.LiveData.set(reg, uint16_t(value));
        else
            live.LiveStatus.set(reg, uint16_t(value));
    }
    return flowInputs(live, settingData, model);
}

struct FlowCase {
    const char* name;
    int model;
    std::map<int, int> regs;
    std::vector<std::string> moving;
    FlowPictures pictures;
};

FlowPictures pics(bool maintCb, bool bypassSwitch, bool battDisc = false, bool bypFail = false) {
    return FlowPictures{maintCb, bypassSwitch, battDisc, bypFail};
}

const std::vector<FlowCase>& cases() {
    static const std::vector<FlowCase> table = {
        // Towers, UpsModel 0 to 4.
        {"cleared stores", 0, {}, {}, pics(false, false)},
        {"static bypass, 20.1 V",
         2,
         {{81, 2}, {1, 201}},
         {"Shape4 right red", "Shape3 down red", "Shape2 right red"},
         pics(false, true)},
        {"static bypass, 20.0 V: picture only", 2, {{81, 2}, {1, 200}}, {}, pics(false, true)},
        {"self-aging",
         0,
         {{301, 16}, {81, 1}},
         {"Shape4 left green", "Shape3 up green", "Shape2 right green", "Shape2 right green"},
         pics(false, true)},
        {"self-aging setting while on bypass",
         0,
         {{301, 16}, {81, 2}, {1, 2300}},
         {"Shape4 right red", "Shape3 down red", "Shape2 right red"},
         pics(false, true)},
        {"maintenance breaker with live bypass",
         1,
         {{84, 1}, {1, 2300}},
         {"Shape4 right red", "Shape5 up red", "Shape11 right red", "Shape9 down red", "Shape2 right red"},
         pics(true, false)},
        {"maintenance breaker, dead bypass", 1, {{84, 1}, {1, 150}}, {}, pics(true, false)},
        {"normal: rectifier, inverter, float charge",
         3,
         {{81, 1}, {109, 1}, {82, 1}, {1, 2300}},
         {"Shape2 right green", "Shape2 right green", "Shape25 down green"},
         pics(false, false)},
        {"boost charge",
         4,
         {{81, 1}, {109, 1}, {82, 2}},
         {"Shape2 right green", "Shape2 right green", "Shape25 down green"},
         pics(false, false)},
        {"utility failure: from the battery",
         3,
         {{81, 1}, {82, 3}},
         {"Shape2 right green", "Shape25 up green"},
         pics(false, false)},
        {"battery state 4 draws nothing", 4, {{82, 4}}, {}, pics(false, false)},
        {"bypass fail pictures are not on towers", 2, {{91, 1}, {107, 1}}, {}, pics(false, false)},
        // Small towers, UpsModel 5 to 8.
        {"small: on bypass, output 35.0 V", 6, {{81, 2}, {1, 2300}, {25, 350}}, {}, pics(false, false)},
        {"small: on bypass, model 8 ignores the output",
         8,
         {{81, 2}, {1, 2300}, {25, 350}},
         {"Shape2 right red", "ShapeByp1 up red", "ShapeByp2 right red", "Shape3 down red",
          "Shape2 right red"},
         pics(false, false)},
        {"small: on bypass with output",
         5,
         {{81, 2}, {1, 2300}, {25, 2300}},
         {"Shape2 right red", "ShapeByp1 up red", "ShapeByp2 right red", "Shape3 down red",
          "Shape2 right red"},
         pics(false, false)},
        {"small: self-aging",
         7,
         {{301, 16}, {81, 1}},
         {"ShapeByp1 down red", "ShapeByp2 left red", "Shape3 up red", "Shape2 right green"},
         pics(false, false)},
        {"small: model 8 has no self-aging path",
         8,
         {{301, 16}, {81, 1}},
         {"Shape2 right green"},
         pics(false, false)},
        {"small: utility failure",
         6,
         {{81, 1}, {82, 3}, {107, 1}},
         {"Shape2 right green", "Shape1 up green"},
         pics(false, false, true)},
        {"small: charging, bypass overloaded",
         5,
         {{81, 1}, {109, 1}, {82, 1}, {92, 1}},
         {"Shape2 right green", "Shape2 right green", "Shape1 down green"},
         pics(false, false, false, true)},
        {"small: battery reversed, bypass failed",
         8,
         {{108, 1}, {91, 1}},
         {},
         pics(false, false, true, true)},
        {"small: breaker and static switch are not drawn", 6, {{84, 1}, {1, 2300}}, {}, pics(false, false)},
    };
    return table;
}

TEST(EnergyFlow, RulesTable) {
    for (const FlowCase& c : cases()) {
        SCOPED_TRACE(c.name);
        const FlowFrame f = energyFlowFrame(inputs(c.model, c.regs), 0);
        EXPECT_EQ(f.variant, c.model >= 5 ? FlowVariant::Small : FlowVariant::Tower);
        EXPECT_EQ(moving(f), sorted(c.moving));
        EXPECT_EQ(f.pictures, c.pictures);
    }
}

// Every run's squares move 3 pixels a tick in the direction it names, and the pattern repeats after
// four ticks; checked for every case of the table.
TEST(EnergyFlow, SquaresMoveThreePixelsATickTheWayTheyFlow) {
    for (const FlowCase& c : cases()) {
        SCOPED_TRACE(c.name);
        const FlowInputs in = inputs(c.model, c.regs);
        FlowClock clock;
        const FlowFrame first = energyFlowFrame(in, clock.phase());
        for (int tick = 1; tick <= 4; ++tick) {
            ASSERT_TRUE(clock.tick(false));
            const FlowFrame f = energyFlowFrame(in, clock.phase());
            ASSERT_EQ(f.runs.size(), first.runs.size());
            for (qsizetype i = 0; i < f.runs.size(); ++i) {
                const FlowRun& r = f.runs[i];
                const FlowRun& r0 = first.runs[i];
                const int shift = (tick % 4) * 3;
                const int dx = r.x - r0.x, dy = r.y - r0.y;
                switch (r.direction) {
                case FlowDirection::Right:
                    EXPECT_EQ(dx, shift);
                    break;
                case FlowDirection::Left:
                    EXPECT_EQ(dx, -shift);
                    break;
                case FlowDirection::Down:
                    EXPECT_EQ(dy, shift);
                    break;
                case FlowDirection::Up:
                    EXPECT_EQ(dy, -shift);
                    break;
                }
                EXPECT_EQ(r.vertical, r.direction == FlowDirection::Down || r.direction == FlowDirection::Up);
            }
        }
        EXPECT_EQ(clock.FlowPhase, 12u);
    }
}

// The squares of a run at the phases that matter: count (length + 6) div 12, spacing 12, size 6.
TEST(EnergyFlow, SquaresOfARun) {
    const FlowInputs discharge = inputs(0, {{82, 3}});
    struct Row {
        int phase;
        std::vector<int> ys;
    } rows[] = {{0, {252, 264, 276}}, {3, {249, 261, 273}}, {9, {243, 255, 267, 279}}};
    for (const Row& row : rows) {
        const FlowFrame f = energyFlowFrame(discharge, row.phase);
        ASSERT_EQ(f.runs.size(), 1);
        std::vector<int> ys;
        for (const QRect& sq : f.runs[0].squares()) {
            EXPECT_EQ(sq.x(), 348);
            EXPECT_EQ(sq.size(), QSize(6, 6));
            ys.push_back(sq.y());
        }
        EXPECT_EQ(ys, row.ys) << "phase " << row.phase;
        EXPECT_TRUE(f.runs[0].bounds().contains(f.runs[0].squares().back()));
    }
    // The first run of the small towers' bypass path starts at 90 + a, on model 8 at 97 + a.
    for (auto [model, x] : {std::pair{6, 93}, std::pair{8, 100}}) {
        const FlowFrame f = energyFlowFrame(inputs(model, {{81, 2}, {1, 2300}, {25, 2300}}), 3);
        ASSERT_FALSE(f.runs.isEmpty());
        EXPECT_EQ(f.runs[0].x, x) << model;
        EXPECT_EQ(f.runs[0].squareCount(), (87 - 3 + 6) / 12);
    }
}

TEST(EnergyFlow, PendingModelDetectionHoldsThePhase) {
    FlowClock clock;
    EXPECT_FALSE(clock.tick(true));
    EXPECT_EQ(clock.FlowPhase, 0u);
    EXPECT_TRUE(clock.tick(false));
    EXPECT_EQ(clock.phase(), 3);
    // The 32-bit counter wraps at a multiple of 12, so the phase keeps its 0, 3, 6, 9 sequence.
    clock.FlowPhase = uint32_t(FlowClock::kWrap - 9);
    for (int i = 0; i < 8; ++i) {
        const int before = clock.phase();
        clock.tick(false);
        EXPECT_EQ(clock.phase(), (before + 3) % 12);
    }
    EXPECT_LT(clock.FlowPhase, 100u);
}

TEST(EnergyFlow, ElementsOfEachVariant) {
    const struct {
        const char* name;
        bool tower, small;
    } rows[] = {
        {"Shape2", true, true},       {"Shape3", true, true},     {"Shape4", true, false},
        {"Shape5", true, false},      {"Shape11", true, false},   {"Shape9", true, false},
        {"Shape25", true, false},     {"Panel2", true, false},    {"Panel4", true, false},
        {"Panel8", true, false},      {"ShapeByp2", false, true}, {"ShapeByp1", false, true},
        {"Shape1", false, true},      {"PanelRec", false, true},  {"PanelInv", false, true},
        {"PanelBypass", false, true}, {"PanelBatt", false, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(flowElementShown(row.name, FlowVariant::Tower), row.tower) << row.name;
        EXPECT_EQ(flowElementShown(row.name, FlowVariant::Small), row.small) << row.name;
    }
    for (int model = 0; model <= 8; ++model)
        EXPECT_EQ(flowVariant(model), model <= 4 ? FlowVariant::Tower : FlowVariant::Small) << model;
}

// Every square of every case lies on a wire its variant shows, so none is drawn in empty space.
TEST(EnergyFlow, SquaresRunOnShownWires) {
    for (const FlowCase& c : cases()) {
        for (int phase : {0, 3, 6, 9}) {
            const FlowFrame f = energyFlowFrame(inputs(c.model, c.regs), phase);
            for (const FlowRun& r : f.runs) {
                ASSERT_TRUE(flowElementShown(r.wire, f.variant)) << c.name << " " << r.wire;
                const QRect wire = findFlowElement(r.wire)->rect;
                const QRect axis = r.vertical ? QRect(wire.x(), 0, wire.width(), 1000)
                                              : QRect(0, wire.y(), 1000, wire.height());
                for (const QRect& sq : r.squares())
                    EXPECT_TRUE(axis.contains(sq)) << c.name << " " << r.wire;
            }
        }
    }
}

} // namespace
