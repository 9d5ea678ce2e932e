#pragma once
// UpdateButtonStates as a pure function: from the link activity, the link state, the model and the
// few registers the calibration rules read, the enabled state of every action button of the main
// window, named by its objectName. The window applies the result to the buttons that exist.

#include <cstdint>
#include <vector>

namespace zav {

enum class ButtonEnable { Disabled, Enabled, Keep }; // Keep: leave the button as it is

struct ButtonInputs {
    int activity = 0;
    bool linkOk = false;
    bool portOpen = false;
    int upsModel = 1;
    bool justConnected = true;
    int moduleCount = 0;
    uint16_t calibrationFlags = 0; // LiveData 71: bits 0..3 say which module rows may be calibrated
    uint16_t cabinetStatus = 0;    // LiveStatus 81: cabinet calibration possible when not 0
    uint16_t systemCode1 = 0;      // SettingData 329: bit 1 is S1
    bool operator==(const ButtonInputs&) const = default;
};

struct ButtonState {
    const char* name;
    ButtonEnable enable;
};

// Free: the UPS answers and only the live poll runs (Activity 0, 1, 2, 11 or 12).
bool windowFree(int activity, bool linkOk);

// Every named button, each exactly once, in the order the rules are applied.
std::vector<ButtonState> updateButtonStates(const ButtonInputs& in);

} // namespace zav
