#include "journal/JournalConfig.h"

#include "foundation/ProfileFile.h"

#include <QStandardPaths>

namespace zav {

namespace {

const std::array<NotifyChoiceInfo, kNotifyChoiceCount> kChoices{{
    {NotifyChoice::PowerFail, "PowerFail", {"市电故障", "Utility failure", "市電故障"}},
    {NotifyChoice::PowerBack, "PowerBack", {"市电恢复", "Utility power back", "市電恢復"}},
    {NotifyChoice::BatteryLow, "BatteryLow", {"电池电压低", "Battery low", "電池電壓低"}},
    {NotifyChoice::Link, "Link", {"通讯中断与恢复", "Link lost and back", "通訊中斷與恢復"}},
    {NotifyChoice::OutputOff, "OutputOff", {"UPS输出关闭", "UPS output off", "UPS輸出關閉"}},
    {NotifyChoice::Alarm, "Alarm", {"每个新告警", "Each new alarm", "每個新告警"}},
}};

} // namespace

const std::array<NotifyChoiceInfo, kNotifyChoiceCount>& notifyChoices() { return kChoices; }

NotifyChoice notifyChoiceOf(EventType type) {
    switch (type) {
    case EventType::PowerFail: return NotifyChoice::PowerFail;
    case EventType::PowerBack: return NotifyChoice::PowerBack;
    case EventType::BatteryLow: return NotifyChoice::BatteryLow;
    case EventType::LinkLost:
    case EventType::LinkUp: return NotifyChoice::Link;
    case EventType::OutputOff: return NotifyChoice::OutputOff;
    case EventType::AlarmRaised: return NotifyChoice::Alarm;
    default: return NotifyChoice::Count;
    }
}

QString defaultWindowJournalPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zav/journal.sqlite");
}

JournalSettings loadJournalSettings(const ProfileFile& profile) {
    JournalSettings s;
    const QString j = QLatin1String(kJournalSection);
    s.database = profile.readString(j, QStringLiteral("Database"), QString()).trimmed();
    if (s.database.isEmpty()) s.database = defaultWindowJournalPath();
    s.retention.maxAgeDays = std::clamp(profile.readInteger(j, QStringLiteral("MaxAgeDays"), s.retention.maxAgeDays), 1, 36500);
    s.retention.maxSizeMb = std::clamp(profile.readInteger(j, QStringLiteral("MaxSizeMB"), s.retention.maxSizeMb), 1, 100000);
    s.trends.maxAgeDays = s.retention.maxAgeDays;
    s.trends.maxSizeMb = std::clamp(profile.readInteger(j, QStringLiteral("TrendMaxSizeMB"), s.trends.maxSizeMb), 1, 100000);
    const QString c = QLatin1String(kEventCommandSection);
    s.hook.commandLine = profile.readString(c, QStringLiteral("Program"), QString()).trimmed();
    s.hook.timeoutSeconds = std::clamp(profile.readInteger(c, QStringLiteral("TimeoutSeconds"), s.hook.timeoutSeconds), 1, 3600);
    for (const NotifyChoiceInfo& n : kChoices)
        s.notify[size_t(n.choice)] = profile.readBool(QLatin1String(kNotifySection), QLatin1String(n.key), true);
    return s;
}

bool saveNotifyChoices(ProfileFile& profile, const std::array<bool, kNotifyChoiceCount>& notify) {
    bool ok = true;
    for (const NotifyChoiceInfo& n : kChoices)
        ok = profile.writeBool(QLatin1String(kNotifySection), QLatin1String(n.key), notify[size_t(n.choice)]) && ok;
    return ok;
}

} // namespace zav
