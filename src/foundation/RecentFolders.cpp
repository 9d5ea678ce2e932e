#include "foundation/RecentFolders.h"

#include "foundation/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

namespace zav {

namespace {

const QString kSection = QStringLiteral("Folders");

// Keys indexed by FileKind.
const char* const kKeys[] = {"Records", "FieldData", "Firmware", "Logo"};

QString keyOf(FileKind kind) { return QLatin1String(kKeys[int(kind)]); }

} // namespace

RecentFolders::RecentFolders(ProfileFile* profile, QString fallback)
    : profile_(profile), fallback_(std::move(fallback)) {}

QString RecentFolders::folder(FileKind kind) const {
    if (!profile_) return fallback_;
    const QString stored = profile_->readString(kSection, keyOf(kind), QString());
    return !stored.isEmpty() && QFileInfo(stored).isDir() ? stored : fallback_;
}

bool RecentFolders::remember(FileKind kind, const QString& chosenFile) {
    if (!profile_ || chosenFile.isEmpty()) return true;
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (profile_->readString(kSection, keyOf(kind), QString()) == folder) return true;
    return profile_->writeString(kSection, keyOf(kind), folder);
}

} // namespace zav
