#include "protect/ShutdownConfig.h"

#include "foundation/ProfileFile.h"

#include <algorithm>

namespace zav {

namespace {

const char* const kProgramKey = "EditRunExProcedureAddr";

QString key(const char* name) { return QString::fromLatin1(name); }

} // namespace

ShutdownConfig loadShutdownConfig(const ProfileFile& profile) {
    const QString section = key(kShutEventsSection);
    ShutdownConfig c;
    for (const ShutdownCheckBox& b : kShutdownCheckBoxes) c.*b.field = profile.readBool(section, key(b.name), c.*b.field);
    c.programLine = profile.readString(section, key(kProgramKey), c.programLine);
    for (const ShutdownRange& r : kShutdownRanges)
        c.*r.field = std::clamp(profile.readInteger(section, key(r.name), c.*r.field), r.min, r.max);
    return c;
}

bool saveShutdownConfig(ProfileFile& p, const ShutdownConfig& c) {
    const QString s = key(kShutEventsSection);
    bool ok = true;
    ok &= p.writeBool(s, key("CheckBoxShutdownEnable"), c.enabled);
    ok &= p.writeBool(s, key("CheckBoxSaveFile"), c.saveFiles);
    ok &= p.writeBool(s, key("CheckBoxRunExProcedure"), c.runProgram);
    ok &= p.writeBool(s, key("CheckBoxShowSaveFile"), c.showSavedFiles);
    ok &= p.writeString(s, key(kProgramKey), c.programLine);
    ok &= p.writeInteger(s, key("SEUtilityFailShutDelay"), c.utilityMinutes);
    ok &= p.writeBool(s, key("CheckBoxUtilityFailUpsShutDelay"), c.utilityUpsOff);
    ok &= p.writeInteger(s, key("SEUtilityFailUpsShutDelay"), c.utilityUpsSeconds);
    ok &= p.writeInteger(s, key("SEBattVoltLowShutDelay"), c.batteryMinutes);
    ok &= p.writeBool(s, key("CheckBoxBattVoltLowUpsShutDelay"), c.batteryUpsOff);
    ok &= p.writeInteger(s, key("SEBattVoltLowUpsShutDelay"), c.batteryUpsSeconds);
    ok &= p.writeInteger(s, key("SEMaxRunTime"), c.maxRunMinutes);
    return ok;
}

bool protectionModel(int upsModel) { return upsModel == 5 || upsModel == 7 || upsModel == 8; }

} // namespace zav
