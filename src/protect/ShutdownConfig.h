#pragma once
// The PC-shutdown settings of page 10 as kept in ZAV.ini, section "ShutEvents": one key per
// control, named after the control. Ranges and defaults are those of the controls.

#include <QString>

namespace zav {

class ProfileFile;

struct ShutdownConfig {
    bool enabled = false;        // CheckBoxShutdownEnable
    bool saveFiles = false;      // CheckBoxSaveFile: run the close-apps companion
    bool runProgram = false;     // CheckBoxRunExProcedure
    bool showSavedFiles = false; // CheckBoxShowSaveFile
    QString programLine;         // EditRunExProcedureAddr
    int utilityMinutes = 10;     // SEUtilityFailShutDelay
    bool utilityUpsOff = false;  // CheckBoxUtilityFailUpsShutDelay
    int utilityUpsSeconds = 5;   // SEUtilityFailUpsShutDelay
    int batteryMinutes = 1;      // SEBattVoltLowShutDelay
    bool batteryUpsOff = false;  // CheckBoxBattVoltLowUpsShutDelay
    int batteryUpsSeconds = 5;   // SEBattVoltLowUpsShutDelay
    int maxRunMinutes = 5;       // SEMaxRunTime

    bool operator==(const ShutdownConfig&) const = default;
};

inline constexpr const char* kShutEventsSection = "ShutEvents";

// The check boxes, by control name.
struct ShutdownCheckBox {
    const char* name;
    bool ShutdownConfig::*field;
};
inline constexpr ShutdownCheckBox kShutdownCheckBoxes[] = {
    {"CheckBoxShutdownEnable", &ShutdownConfig::enabled},
    {"CheckBoxSaveFile", &ShutdownConfig::saveFiles},
    {"CheckBoxRunExProcedure", &ShutdownConfig::runProgram},
    {"CheckBoxShowSaveFile", &ShutdownConfig::showSavedFiles},
    {"CheckBoxUtilityFailUpsShutDelay", &ShutdownConfig::utilityUpsOff},
    {"CheckBoxBattVoltLowUpsShutDelay", &ShutdownConfig::batteryUpsOff},
};

// The range of each numeric control, by control name.
struct ShutdownRange {
    const char* name;
    int min;
    int max;
    int ShutdownConfig::*field;
};
inline constexpr ShutdownRange kShutdownRanges[] = {
    {"SEUtilityFailShutDelay", 0, 999, &ShutdownConfig::utilityMinutes},
    {"SEUtilityFailUpsShutDelay", 5, 32767, &ShutdownConfig::utilityUpsSeconds},
    {"SEBattVoltLowShutDelay", 0, 10, &ShutdownConfig::batteryMinutes},
    {"SEBattVoltLowUpsShutDelay", 5, 32767, &ShutdownConfig::batteryUpsSeconds},
    {"SEMaxRunTime", 0, 30, &ShutdownConfig::maxRunMinutes},
};

// Reads every control with its default; numbers outside a control's range are brought into it,
// as the control itself would show them.
ShutdownConfig loadShutdownConfig(const ProfileFile& profile);
// Writes every control in the order enable, save documents, run program, show saved files,
// program command line, utility minutes, utility UPS box, utility UPS seconds, battery minutes,
// battery UPS box, battery UPS seconds, maximum run time. False when the file could not be written.
bool saveShutdownConfig(ProfileFile& profile, const ShutdownConfig& config);

// The protection exists only for these UpsModel values (5, 7 and 8).
bool protectionModel(int upsModel);

} // namespace zav
