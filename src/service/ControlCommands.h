#pragma once
// The remote-control commands: one table gives every command its register, value, condition,
// button, caption and shell name, and drives the page, its rules and `zavctl command`. The
// functions below are the page's decisions (toggles, battery conditions, module and action boxes)
// as plain functions of the stores and the current texts.

#include "link/RegisterStore.h"
#include "link/WriteJobs.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace zav {

struct ModulePresence;

// Further condition of a command, read from the live status words.
enum class CommandCondition {
    None,
    BatteryIdle,    // battery connected (83 = 1) and no self-test (98) or maintenance (100) running
    BatteryPresent, // battery connected (83 = 1)
};

enum class CommandGroup { Function, Test, Module };

// What a command does to data or to the load. Every kind but Harmless is asked about on the page
// before it is sent (naming the command and its effect); `zavctl command` never asks.
enum class CommandRisk {
    Harmless,   // silencing, charging mode, stopping a test, switching something on
    ClearsData, // erases records, counters, waveforms or calibrations in the UPS
    MovesLoad,  // puts the load onto another source (bypass, battery, back to the inverter)
    DropsLoad,  // stops a power stage that feeds the load
};

struct ControlCommand {
    const char* name;   // the shell name (`zavctl command NAME`)
    const char* button; // objectName of its button; nullptr for the second half of a toggle
    uint16_t reg;
    uint16_t value;
    CommandCondition condition;
    CommandGroup group;
    bool clear;              // one of the six clear buttons: not on model 8
    const char* caption[3];  // CN, EN, CHT
    const char* description; // one line for `zavctl command --list`
    CommandRisk risk;
    const char* effect[3]; // the question's sentence on what happens; nullptrs when harmless
};

// The fixed commands (all but the module command), in the order of the page.
const std::vector<ControlCommand>& controlCommands();
const ControlCommand* findCommand(const QString& name);
const ControlCommand* commandForButton(const QString& button);
// The row of a register and value (the toggles share a button: the value tells the half).
const ControlCommand* findCommand(uint16_t reg, uint16_t value);

// Module actions 0 to 9; action 9 goes on the wire as 127.
inline constexpr int kModuleActionCount = 10;
inline constexpr int kAllModules = 127;
struct ModuleAction {
    const char* name; // shell name
    const char* caption[3];
    const char* description;
    CommandRisk risk;
    const char* effect[3];
};
const ModuleAction& moduleAction(int index);
int moduleActionWire(int index); // 0..8 as they are, 9 -> 127
int moduleActionIndex(const QString& name); // by shell name, -1 when unknown
QString moduleAllText(int language);        // "全部" / "All" / "全部"
uint16_t moduleCommandValue(int module, int actionIndex);

// Whether a model has a command at all: the clears are not on model 8, the module group only on
// models 0 and 1.
bool modelHasCommand(const ControlCommand& command, int upsModel);
bool modelHasModuleCommands(int upsModel);

// The battery conditions of the test buttons.
bool conditionMet(CommandCondition condition, const RegisterStore& LiveStatus);
// Why a condition failed (which status word stands in the way), in a language; empty when it holds.
QString conditionFailureText(CommandCondition condition, const RegisterStore& LiveStatus, int language);
// The same in English, for the shell and zavd.
QString conditionFailure(CommandCondition condition, const RegisterStore& LiveStatus);
// The page's line for a command whose condition fails ("... was not sent: the battery is not
// connected."); empty when the condition holds.
QString conditionRefusalText(const ControlCommand& command, const RegisterStore& LiveStatus, int language);

// Whether the page asks before sending, and the question it asks (empty: sent at once).
bool commandAsks(const ControlCommand& command);
QString commandQuestion(const ControlCommand& command, int language);
// For the module command, from its value: names the module ("Module 3", "All modules") and the
// action; empty when the action is harmless.
QString moduleCommandQuestion(uint16_t value, int language);
// The page's line when a confirmed command could not be sent: the link became busy, was lost or
// was reset while the question was open.
QString notSentText(const QString& what, int language);

// Toggle captions: text 0 is the action, text 1 its cancel.
QString muteCaption(int state, int language);   // LabelMuteOn
QString bypassCaption(int state, int language); // LabelTxByp

struct Toggle {
    QString caption; // the label's new caption
    uint16_t value;  // 255 to act, 0 to cancel
};
// SpeedButtonMuteOnClick: text 0 shown -> silence (255) and show text 1; otherwise cancel (0).
Toggle toggleMute(const QString& caption, int language);
// SpeedButtonTxBypClick. A caption that matches neither text (only between a language change and
// the next caption correction) is decided by what the UPS reports: load on bypass -> cancel.
Toggle toggleBypass(const QString& caption, int language, uint16_t supplySource);

// FillModuleIdBox / FillModuleActions as values.
struct BoxItems {
    QStringList items;
    int selected = -1;
};
// `remembered`: 127 for "All", else the module number shown (0 when the box was empty).
BoxItems moduleIdBox(int upsModel, const ModulePresence& modules, const RegisterStore& LiveStatus,
                     int remembered, int language);
int rememberedModule(const QString& shown, int language);
BoxItems moduleActionBox(bool allModules, const QString& rememberedText, int language);
// ButtonModOnOffDoneClick: the value of the command, or nothing when the module box is empty (no
// module to address: the click sends nothing).
std::optional<uint16_t> moduleCommandFromBoxes(const QString& moduleText, const QString& actionText,
                                               int language);

// Texts of the page (group titles, the module row's captions, the result line).
QString controlPageText(const char* key, int language);

// One line about how the UPS answered, for the page, the status line and the shell.
QString writeResultText(const WriteResult& result, const QString& what, int language);
// Exception code -> its meaning ("illegal value", "device busy", ...).
QString exceptionText(uint8_t code, int language);

} // namespace zav
