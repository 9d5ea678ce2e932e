#include "protect/CloseList.h"

#include "app/ProfileFile.h"

namespace zav {

namespace {

const QString kMain = QStringLiteral("Main");

QString indexed(const char* key, int i) { return QLatin1String(key) + QString::number(i); }

} // namespace

QVector<ClosedApp> closedApplications(const ProfileFile& record) {
    QVector<ClosedApp> apps;
    const int count = record.readInteger(kMain, QStringLiteral("AppNumber"), 0);
    for (int i = 0; i < count; ++i) {
        const QString section = record.readString(kMain, indexed("App", i), QString());
        if (section.isEmpty()) continue;
        apps.append({section, record.readString(section, QStringLiteral("Title"), section)});
    }
    return apps;
}

QStringList savedFiles(const ProfileFile& record, const QString& section) {
    QStringList files;
    const int count = record.readInteger(section, QStringLiteral("FileNumber"), 0);
    for (int j = 0; j < count; ++j) files << record.readString(section, indexed("File", j), QString());
    return files;
}

bool takeCloseRecordNotice(ProfileFile& record, bool showSavedFiles) {
    if (!showSavedFiles || record.readInteger(kMain, QStringLiteral("ShowMsg"), 0) == 0) return false;
    record.writeInteger(kMain, QStringLiteral("ShowMsg"), 0);
    return true;
}

bool writeCloseRecord(ProfileFile& record, const QVector<CloseRecordEntry>& apps) {
    bool ok = record.writeInteger(kMain, QStringLiteral("AppNumber"), int(apps.size()));
    for (int i = 0; i < apps.size(); ++i) {
        const CloseRecordEntry& app = apps[i];
        ok &= record.writeString(kMain, indexed("App", i), app.section);
        ok &= record.writeString(app.section, QStringLiteral("Title"), app.title);
        ok &= record.writeInteger(app.section, QStringLiteral("FileNumber"), int(app.files.size()));
        for (int j = 0; j < app.files.size(); ++j)
            ok &= record.writeString(app.section, indexed("File", j), app.files[j]);
    }
    // The notice goes last: the tool shows a record only once it is complete.
    ok &= record.writeInteger(kMain, QStringLiteral("ShowMsg"), 1);
    return ok;
}

} // namespace zav
