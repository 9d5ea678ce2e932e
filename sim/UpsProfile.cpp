#include "UpsProfile.h"

namespace zav::sim {

namespace {
// System code 1 bit 1: models 0 and 3 single-phase output when set; models 5, 6 and 7 three-phase
// input when set. System code 2 (register 330) bit 1: models 0 and 3 single-phase input when set.
constexpr uint16_t kSc1ThreePhaseIn = 0x0002;

// clang-format off
const UpsProfile kProfiles[9] = {
    // model code label                       type         in out VA      slots mods str blk Ah   calendar wide   VA     div   sc1               sc4
    {0, 1, "3/3 Modular L(10-600kVA)", "ZAV-ML300", 3, 3, 300000, 30, 6, 2, 20, 100, true,  true,  false, 10,   0x0000,           0x0000},
    {1, 2, "3/3 Modular(10-200kVA)",   "ZAV-M100",  3, 3, 100000, 10, 4, 2, 20, 100, true,  false, false, 10,   0x0000,           0x0000},
    {2, 3, "3/3 Tower(40-200kVA)",     "ZAV-T120",  3, 3, 120000, 0,  1, 2, 20, 100, true,  false, false, 10,   0x0000,           0x0000},
    {3, 4, "3/3 Tower X(10-40kVA)",    "ZAV-TX40",  3, 3, 40000,  0,  1, 2, 16, 65,  true,  true,  false, 10,   0x0000,           0x0000},
    {4, 5, "3/3 Tower(10-30kVA)",      "ZAV-T20",   3, 3, 20000,  0,  1, 2, 16, 65,  true,  false, false, 10,   0x0000,           0x0000},
    {5, 6, "3/1 Tower(10-20kVA)",      "ZAV-T15",   3, 1, 15000,  0,  1, 1, 16, 40,  false, false, true,  10,   kSc1ThreePhaseIn, 0x0000},
    {6, 9, "31/11 Tower X(6-20kVA)",   "ZAV-TX10",  3, 1, 10000,  0,  1, 1, 16, 40,  false, true,  true,  10,   kSc1ThreePhaseIn, 0x0000},
    {7, 7, "1/1 Tower(6-20kVA)",       "ZAV-T10",   1, 1, 10000,  0,  1, 1, 16, 40,  false, false, true,  10,   0x0000,           0x0000},
    {8, 8, "1/1 Tower(1-3kVA)",        "ZAV-T3",    1, 1, 3000,   0,  1, 1, 6,  9,   false, false, true,  1000, 0x0000,           0x0000},
};
// clang-format on

} // namespace

const UpsProfile& profileFor(int upsModel) {
    return (upsModel >= 0 && upsModel <= 8) ? kProfiles[upsModel] : kProfiles[1];
}

int modelCodeFor(int upsModel) {
    return profileFor(upsModel).modelCode;
}

bool isModular(const UpsProfile& p) {
    return p.moduleSlots > 0;
}

} // namespace zav::sim
