#pragma once
// What distinguishes the nine UPS families on the wire: phases, ratings, modules, battery strings,
// the model code of register 78 and the layout of their history records.

#include <cstdint>

namespace zav::sim {

struct UpsProfile {
    int upsModel;         // 0..8, the tool's model index
    int modelCode;        // live register 78
    const char* label;    // the model box text
    const char* typeText; // settings 427-431, ten characters at most
    int inputPhases;      // 3 or 1
    int outputPhases;     // 3 or 1
    int ratedVa;          // whole unit
    int moduleSlots;      // modular cabinets: slots reported in the mask 119/120; 0 = tower
    int defaultModules;   // modules (or power units) present at start
    int batteryStrings;   // 2: positive and negative string; 1: one string
    int blocksPerString;  // 12 V blocks (six cells each)
    int batteryAh;
    bool calendarStamps;  // history time: BCD calendar (true) or running seconds
    bool wideEventCode;   // history event code in 9 bits and unit in 5 (models 0, 3, 6)
    bool capacitiesInVa;  // settings 321-324 are reported in VA
    int powerDivisor;     // registers 37-45: 10 = tenths of kVA, 1000 = thousandths
    uint16_t systemCode1; // settings 329
    uint16_t systemCode4; // settings 330
};

// The profile of UpsModel 0..8; any other value gives the profile of model 1.
const UpsProfile& profileFor(int upsModel);

// Register 78 for a model: the inverse of the tool's detection table (codes 7, 8 and 9 are not in
// model order).
int modelCodeFor(int upsModel);

bool isModular(const UpsProfile& p);

} // namespace zav::sim
