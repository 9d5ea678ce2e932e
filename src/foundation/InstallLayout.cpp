#include "foundation/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

namespace zav {

QString installedFolder(const QString& executableDir, ProgramFileKind kind) {
    const char* relative = kind == ProgramFileKind::Data ? "../share/zav" : "../lib/zav";
    return QDir::cleanPath(QDir(executableDir).filePath(QLatin1String(relative)));
}

QString programFile(const QString& executableDir, ProgramFileKind kind, const QString& name) {
    const QString beside = QDir(executableDir).filePath(name);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed = QDir(installedFolder(executableDir, kind)).filePath(name);
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace zav
