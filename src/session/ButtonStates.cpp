#include "session/ButtonStates.h"

#include "link/LinkTypes.h"

#include <array>

namespace zav {

namespace {

ButtonEnable on(bool enabled) { return enabled ? ButtonEnable::Enabled : ButtonEnable::Disabled; }

bool isLivePoll(int activity) {
    return activity == ActIdle || activity == ActLiveData || activity == ActLiveStatus ||
           activity == ActModuleData || activity == ActModuleEnd;
}

// Module calibration rows. Each row has up to three buttons (phase A, B, C; the battery row has
// positive and negative); the inverter row also carries the three inverter DC buttons.
enum RowRule { None, All, AOnly, AThenBCOnS1, FlagBit0, FlagBit1, FlagBit2, FlagBit3 };

struct ModuleRow {
    std::array<const char*, 6> buttons; // [0] and [3] are phase A; nullptr ends the list
    // By model class: models 0 and 3 | 1, 2, 4 | 5 | 6 | 7
    std::array<RowRule, 5> rule;
};

constexpr std::array<ModuleRow, 4> kModuleRows = {{
    {{"ButtonModVoltAdj", "Button1", "Button2", "Button6", "Button7", "Button8"},
     {FlagBit0, All, AOnly, AOnly, AOnly}},
    {{"Button3", "Button4", "Button5", nullptr, nullptr, nullptr},
     {FlagBit1, All, All, AThenBCOnS1, AOnly}},
    {{"ButtonAdjIpA", "ButtonAdjIpB", "ButtonAdjIpC", nullptr, nullptr, nullptr},
     {FlagBit2, None, All, AThenBCOnS1, AOnly}},
    {{"ButtonAdjBattPos", "ButtonAdjBattNeg", nullptr, nullptr, nullptr, nullptr},
     {FlagBit3, None, AOnly, AOnly, AOnly}},
}};

int modelClass(int upsModel) {
    switch (upsModel) {
    case 0: case 3: return 0;
    case 1: case 2: case 4: return 1;
    case 5: return 2;
    case 6: return 3;
    case 7: return 4;
    default: return -1; // model 8 has no module calibration
    }
}

bool moduleButtonEnabled(RowRule rule, bool phaseA, const ButtonInputs& in) {
    const bool s1 = (in.systemCode1 & 0x0002) != 0;
    switch (rule) {
    case None: return false;
    case All: return true;
    case AOnly: return phaseA;
    case AThenBCOnS1: return phaseA || s1;
    case FlagBit0: return (in.calibrationFlags & 0x1) != 0;
    case FlagBit1: return (in.calibrationFlags & 0x2) != 0;
    case FlagBit2: return (in.calibrationFlags & 0x4) != 0;
    case FlagBit3: return (in.calibrationFlags & 0x8) != 0;
    }
    return false;
}

constexpr std::array kSettingsButtons = {"ButtonRateSettingSend", "ButtonSeverSend",
                                         "ButtonDryContactSet", "ButtonBattSetSend",
                                         "ButtonCfgCodeSet"};
constexpr std::array kCommandButtons = {"SpeedButtonMuteOn",      "SpeedButtonTxByp",
                                        "SpeedButtonBattTest",    "SpeedButtonBattMaint",
                                        "SpeedButtonManualBoost", "SpeedButtonStopTest",
                                        "SpeedButtonManualFloat", "ButtonModOnOffDone"};
constexpr std::array kTransformerButtons = {"ButtonOutTranfAuxV1", "ButtonOutTranfAuxV2",
                                            "ButtonInTranfOrigV1", "ButtonInTranfOrigV2"};
constexpr std::array kClearButtons = {"SpeedButtonFaultClr", "SpeedButtonHisClr",
                                      "SpeedButtonBattClr", "SpeedButtonDustProofNetTimeClr",
                                      "SpeedButtonBypFanTimeClr", "SpeedButtonAllClr"};
constexpr std::array kCabinetButtons = {"ButtonCabVoltAdj",  "ButtonCabOpVoltB",
                                        "ButtonCabOpVoltC",  "ButtonCabBypVoltA",
                                        "ButtonCabBypVoltB", "ButtonCabBypVoltC"};

} // namespace

bool windowFree(int activity, bool linkOk) { return linkOk && isLivePoll(activity); }

std::vector<ButtonState> updateButtonStates(const ButtonInputs& in) {
    std::vector<ButtonState> out;
    const bool free = windowFree(in.activity, in.linkOk);
    const int model = in.upsModel;

    // Record pages: history download/save and maintenance-code download/save.
    if (model == 8) {
        for (const char* name : {"ButtonDownload", "ButtonSave", "ButtonSCodeDownload", "ButtonSCodeSave"})
            out.push_back({name, ButtonEnable::Disabled});
    } else if (model >= 5 && model <= 7) {
        out.push_back({"ButtonSave", ButtonEnable::Enabled});
        out.push_back({"ButtonSCodeDownload", ButtonEnable::Disabled});
        out.push_back({"ButtonSCodeSave", ButtonEnable::Disabled});
        // Stays usable during its own download: it is the cancel button then.
        out.push_back({"ButtonDownload", on(in.linkOk && (isLivePoll(in.activity) || in.activity == ActHistory))});
    } else {
        out.push_back({"ButtonSave", ButtonEnable::Enabled});
        out.push_back({"ButtonSCodeSave", ButtonEnable::Enabled});
        out.push_back({"ButtonDownload", on(free || (in.linkOk && in.activity == ActHistory))});
        out.push_back({"ButtonSCodeDownload", on(free || (in.linkOk && in.activity == ActSCode))});
    }

    for (const char* name : kSettingsButtons) out.push_back({name, on(free)});
    for (const char* name : kCommandButtons) out.push_back({name, on(free)});
    for (const char* name : kTransformerButtons) out.push_back({name, on(free)});
    for (const char* name : kClearButtons) out.push_back({name, on(free && model >= 0 && model <= 7)});

    // Cabinet and module calibration: right after connecting (or opening a settings page) the
    // registers they depend on are not yet current, so a free window leaves them as they are.
    const bool keep = free && in.justConnected;
    const bool cabinetOk = (model >= 0 && model <= 2) && in.cabinetStatus != 0;
    for (const char* name : kCabinetButtons)
        out.push_back({name, keep ? ButtonEnable::Keep : on(free && cabinetOk)});

    const int cls = modelClass(model);
    const bool anyFlag = (in.calibrationFlags & 0x000F) != 0;
    for (const ModuleRow& row : kModuleRows) {
        for (size_t i = 0; i < row.buttons.size() && row.buttons[i]; ++i) {
            const bool phaseA = (i == 0 || i == 3);
            const bool enabled = free && anyFlag && cls >= 0 &&
                                 moduleButtonEnabled(row.rule[size_t(cls)], phaseA, in);
            out.push_back({row.buttons[i], keep ? ButtonEnable::Keep : on(enabled)});
        }
    }

    out.push_back({"ButtonModIDSet", on(free && in.moduleCount >= 1 && in.moduleCount <= 30)});
    // Restore Data: with the port closed a file is only looked at; with it open the file's settings
    // go to the UPS, so the UPS must answer and nothing else may be under way.
    out.push_back({"ButtonResumeCurData", on(!in.portOpen || free)});
    return out;
}

} // namespace zav
