#include "session/ButtonStates.h"
#include "link/LinkTypes.h"

#include <QSet>
#include <QString>
#include <gtest/gtest.h>
#include <map>
#include <string>

using namespace zav;

namespace {

using States = std::map<std::string, ButtonEnable>;

States statesOf(const ButtonInputs& in) {
    States s;
    for (const ButtonState& b : updateButtonStates(in)) s[b.name] = b.enable;
    return s;
}

constexpr ButtonEnable E = ButtonEnable::Enabled;
constexpr ButtonEnable D = ButtonEnable::Disabled;
constexpr ButtonEnable K = ButtonEnable::Keep;

const char* const kSettings[] = {"ButtonRateSettingSend", "ButtonSeverSend", "ButtonDryContactSet",
                                 "ButtonBattSetSend", "ButtonCfgCodeSet"};
const char* const kCommands[] = {"SpeedButtonMuteOn", "SpeedButtonTxByp", "SpeedButtonBattTest",
                                 "SpeedButtonBattMaint", "SpeedButtonManualBoost",
                                 "SpeedButtonStopTest", "SpeedButtonManualFloat", "ButtonModOnOffDone"};
const char* const kClears[] = {"SpeedButtonFaultClr", "SpeedButtonHisClr", "SpeedButtonBattClr",
                               "SpeedButtonDustProofNetTimeClr", "SpeedButtonBypFanTimeClr",
                               "SpeedButtonAllClr"};
const char* const kTransformer[] = {"ButtonOutTranfAuxV1", "ButtonOutTranfAuxV2",
                                    "ButtonInTranfOrigV1", "ButtonInTranfOrigV2"};
const char* const kCabinet[] = {"ButtonCabVoltAdj", "ButtonCabOpVoltB", "ButtonCabOpVoltC",
                                "ButtonCabBypVoltA", "ButtonCabBypVoltB", "ButtonCabBypVoltC"};
const char* const kModule[] = {"ButtonModVoltAdj", "Button1", "Button2", "Button3", "Button4",
                               "Button5", "Button6", "Button7", "Button8", "ButtonAdjIpA",
                               "ButtonAdjIpB", "ButtonAdjIpC", "ButtonAdjBattPos", "ButtonAdjBattNeg"};

ButtonInputs freeWindow(int model) {
    ButtonInputs in;
    in.activity = ActIdle;
    in.linkOk = true;
    in.upsModel = model;
    in.justConnected = false;
    return in;
}

} // namespace

TEST(ButtonStates, EveryButtonExactlyOnce) {
    const auto list = updateButtonStates(freeWindow(0));
    QSet<QString> names;
    for (const ButtonState& b : list) names.insert(b.name);
    EXPECT_EQ(size_t(names.size()), list.size());
    EXPECT_EQ(list.size(), 4 + 5 + 8 + 4 + 6 + 6 + 14 + 1 + 1u);
}

TEST(ButtonStates, FreeWindowByActivityAndLink) {
    struct Case { int activity; bool linkOk; bool free; };
    const Case cases[] = {{0, true, true},   {1, true, true},   {2, true, true},  {11, true, true},
                          {12, true, true},  {3, true, false},  {4, true, false}, {5, true, false},
                          {6, true, false},  {7, true, false},  {0, false, false}, {1, false, false}};
    for (const Case& c : cases) {
        ButtonInputs in = freeWindow(0);
        in.activity = c.activity;
        in.linkOk = c.linkOk;
        in.calibrationFlags = 0xF;
        in.cabinetStatus = 1;
        in.moduleCount = 3;
        EXPECT_EQ(windowFree(c.activity, c.linkOk), c.free);
        const States s = statesOf(in);
        const ButtonEnable want = c.free ? E : D;
        for (const char* n : kSettings) EXPECT_EQ(s.at(n), want) << n << " activity " << c.activity;
        for (const char* n : kCommands) EXPECT_EQ(s.at(n), want) << n << " activity " << c.activity;
        for (const char* n : kClears) EXPECT_EQ(s.at(n), want) << n << " activity " << c.activity;
        for (const char* n : kTransformer) EXPECT_EQ(s.at(n), want) << n;
        for (const char* n : kCabinet) EXPECT_EQ(s.at(n), want) << n;
        for (const char* n : kModule) EXPECT_EQ(s.at(n), want) << n;
        EXPECT_EQ(s.at("ButtonModIDSet"), want);
    }
}

TEST(ButtonStates, RecordButtonsByModelActivityAndLink) {
    struct Case { int model; int activity; bool linkOk; ButtonEnable download, save, scodeDownload, scodeSave; };
    const Case cases[] = {
        // Models 0 to 4: download while free (or as cancel during its own download).
        {0, ActIdle, true, E, E, E, E},
        {4, ActLiveStatus, true, E, E, E, E},
        {1, ActHistory, true, E, E, D, E},
        {2, ActSCode, true, D, E, E, E},
        {3, ActWriteList, true, D, E, D, E},
        {0, ActIdle, false, D, E, D, E},
        {0, ActHistory, false, D, E, D, E},
        // Models 5 to 7: no S-code; history download also during its own download.
        {5, ActIdle, true, E, E, D, D},
        {6, ActHistory, true, E, E, D, D},
        {7, ActModuleEnd, true, E, E, D, D},
        {7, ActSettingsDownload, true, D, E, D, D},
        {6, ActIdle, false, D, E, D, D},
        // Model 8: none of them, ever.
        {8, ActIdle, true, D, D, D, D},
        {8, ActHistory, true, D, D, D, D},
    };
    for (const Case& c : cases) {
        ButtonInputs in = freeWindow(c.model);
        in.activity = c.activity;
        in.linkOk = c.linkOk;
        const States s = statesOf(in);
        const std::string where = "model " + std::to_string(c.model) + " activity " +
                                  std::to_string(c.activity) + " link " + std::to_string(c.linkOk);
        EXPECT_EQ(s.at("ButtonDownload"), c.download) << where;
        EXPECT_EQ(s.at("ButtonSave"), c.save) << where;
        EXPECT_EQ(s.at("ButtonSCodeDownload"), c.scodeDownload) << where;
        EXPECT_EQ(s.at("ButtonSCodeSave"), c.scodeSave) << where;
    }
}

TEST(ButtonStates, ClearButtonsNeverOnModelEight) {
    for (int model = 0; model <= 8; ++model) {
        const States s = statesOf(freeWindow(model));
        for (const char* n : kClears) EXPECT_EQ(s.at(n), model == 8 ? D : E) << n << " model " << model;
        for (const char* n : kSettings) EXPECT_EQ(s.at(n), E) << n << " model " << model;
    }
}

TEST(ButtonStates, CabinetCalibrationNeedsModelZeroToTwoAndStatus81) {
    struct Case { int model; uint16_t status81; ButtonEnable want; };
    const Case cases[] = {{0, 1, E}, {1, 2, E}, {2, 1, E}, {0, 0, D},
                          {3, 1, D}, {5, 1, D}, {8, 1, D}};
    for (const Case& c : cases) {
        ButtonInputs in = freeWindow(c.model);
        in.cabinetStatus = c.status81;
        const States s = statesOf(in);
        for (const char* n : kCabinet) EXPECT_EQ(s.at(n), c.want) << n << " model " << c.model;
        for (const char* n : kTransformer) EXPECT_EQ(s.at(n), E) << n << " model " << c.model;
    }
}

TEST(ButtonStates, ModuleCalibrationTable) {
    // Expected enabled buttons, in kModule order:
    // InvA InvB InvC BypA BypB BypC DcA DcB DcC IpA IpB IpC BattPos BattNeg
    struct Case { int model; uint16_t reg71; uint16_t code1; const char* pattern; };
    const Case cases[] = {
        {0, 0x5, 0, "111000111111" "00"},  // bits 0 and 2: inverter and input only
        {0, 0x2, 0, "000111000000" "00"},
        {3, 0x8, 0, "000000000000" "11"},
        {3, 0xF, 0, "111111111111" "11"},
        {1, 0x1, 0, "111111111000" "00"},
        {2, 0x4, 0, "111111111000" "00"},  // any bit: the class rule, not the bit
        {4, 0x8, 0, "111111111000" "00"},
        {5, 0x2, 0, "100111100111" "10"},
        {6, 0x1, 0, "100100100100" "10"},
        {6, 0x1, 2, "100111100111" "10"},  // S1 set: bypass and input B, C too
        {6, 0x1, 0xFFFD, "100100100100" "10"},
        {7, 0x1, 2, "100100100100" "10"},
        {8, 0xF, 2, "000000000000" "00"},
        {1, 0x10, 0, "000000000000" "00"}, // only bits 0 to 3 count
        {5, 0x0, 2, "000000000000" "00"},
    };
    for (const Case& c : cases) {
        ButtonInputs in = freeWindow(c.model);
        in.calibrationFlags = c.reg71;
        in.systemCode1 = c.code1;
        const States s = statesOf(in);
        const QString pattern = QString::fromLatin1(c.pattern);
        ASSERT_EQ(pattern.size(), 14);
        for (int i = 0; i < 14; ++i)
            EXPECT_EQ(s.at(kModule[i]), pattern[i] == u'1' ? E : D)
                << kModule[i] << " model " << c.model << " reg71 " << c.reg71;
    }
}

TEST(ButtonStates, JustConnectedKeepsCabinetAndModuleButtonsOnlyWhileFree) {
    ButtonInputs in = freeWindow(0);
    in.justConnected = true;
    in.calibrationFlags = 0xF;
    in.cabinetStatus = 1;
    States s = statesOf(in);
    for (const char* n : kCabinet) EXPECT_EQ(s.at(n), K) << n;
    for (const char* n : kModule) EXPECT_EQ(s.at(n), K) << n;
    for (const char* n : kTransformer) EXPECT_EQ(s.at(n), E) << n;
    EXPECT_EQ(s.at("ButtonRateSettingSend"), E);

    in.activity = ActSettingsDownload; // not free: everything off, also the kept ones
    s = statesOf(in);
    for (const char* n : kCabinet) EXPECT_EQ(s.at(n), D) << n;
    for (const char* n : kModule) EXPECT_EQ(s.at(n), D) << n;
}

TEST(ButtonStates, ModuleSelectorNeedsOneToThirtyModules) {
    for (int count : {0, 1, 30, 31}) {
        ButtonInputs in = freeWindow(1);
        in.moduleCount = count;
        EXPECT_EQ(statesOf(in).at("ButtonModIDSet"), (count >= 1 && count <= 30) ? E : D) << count;
    }
}

TEST(ButtonStates, RestoreDataWithThePortOpenOnlyOnAFreeWindow) {
    struct Case { bool portOpen; bool linkOk; int activity; ButtonEnable restore; };
    const Case cases[] = {
        {false, false, ActIdle, E},  // offline: a file is only looked at
        {true, true, ActIdle, E},    // the UPS answers, nothing else runs
        {true, false, ActIdle, D},   // connected, the UPS silent
        {true, true, ActHistory, D}, // a download under way
        {true, true, 4, D},          // a settings write under way
        {true, true, 6, D},          // a control command pending
    };
    for (const Case& c : cases) {
        ButtonInputs in = freeWindow(5);
        in.portOpen = c.portOpen;
        in.linkOk = c.linkOk;
        in.activity = c.activity;
        EXPECT_EQ(statesOf(in)["ButtonResumeCurData"], c.restore) << c.portOpen << c.linkOk << c.activity;
    }
}
