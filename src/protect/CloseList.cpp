#include "protect/CloseList.h"

#include "foundation/BoundedFile.h"
#include "foundation/ProfileFile.h"

#include <algorithm>

namespace zav {

namespace {

const QString kMain = QStringLiteral("Main");

QString indexed(const char* key, int i) { return QLatin1String(key) + QString::number(i); }

// A count read from the record, bounded by what the file can hold: every entry is a line of its
// own, so a count beyond the file's lines names entries that are not there (and each entry read
// reads the file again). A fixed ceiling keeps even a large file quick.
int heldCount(const ProfileFile& record, int count) {
    constexpr int kMaxEntries = 1000;
    if (count <= 0) return 0;
    const BoundedRead file = readRegularFile(record.path(), FileLimit::profile);
    const int lines = file.ok() ? int(file.bytes.count('\n') + file.bytes.count('\r')) + 1 : 0;
    return std::min({count, lines, kMaxEntries});
}

} // namespace

QVector<ClosedApp> closedApplications(const ProfileFile& record) {
    QVector<ClosedApp> apps;
    const int count = heldCount(record, record.readInteger(kMain, QStringLiteral("AppNumber"), 0));
    for (int i = 0; i < count; ++i) {
        const QString section = record.readString(kMain, indexed("App", i), QString());
        if (section.isEmpty()) continue;
        apps.append({section, record.readString(section, QStringLiteral("Title"), section)});
    }
    return apps;
}

QStringList savedFiles(const ProfileFile& record, const QString& section) {
    QStringList files;
    const int count = heldCount(record, record.readInteger(section, QStringLiteral("FileNumber"), 0));
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
