#pragma once
// Texts of the shutdown tab, the countdown window, the close-list window and the protection's
// messages, by language (0 CN, 1 EN, 2 CHT).

#include <QString>

namespace zav {

enum class ProtectText {
    GroupShutdownSet,
    ShutdownEnable,
    SaveFile,
    RunExProcedure,
    Browse,
    ShowSaveFile,
    UtilityFail,
    ShutDelayMinutes,
    BattVoltLow,
    MaxRunTime,
    UpsShutDelaySeconds,
    ShutSet,
    CountDownCaption,
    CountDownLead,
    Seconds,
    CancelShutdown,
    ShutNow,
    CloseFileCaption,
    ClosedApps,
    SavedAs,
    Ok,
    ProgramMissing,
    PowerOffRefused,
    PowerOffFailed,
    DryRun,
    SettingsNotSaved,
    LinkLostHeld,
    UpsOffOrdered,
    UpsOffCaption,
    UpsOffAfterEvent,
    SettingsKept,
    Count
};

QString protectText(ProtectText id, int language);

} // namespace zav
