#include "foundation/ConfigLocation.h"

#include "foundation/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

namespace zav {

QString profilePath(const QString& configOption, const QString& executableDir,
                    const QString& xdgConfigHome, const QString& homeDir) {
    if (!configOption.isEmpty()) return QFileInfo(configOption).absoluteFilePath();
    const QFileInfo beside(QDir(executableDir).filePath(kProfileFileName));
    const QFileInfo dir(executableDir);
    // An existing file must be writable too, or no setting could ever be stored. An installed
    // program (its data folder exists) never writes beside itself: run as root it could, and
    // ZAV.ini would land in /usr/bin.
    const bool installed = QFileInfo(installedFolder(executableDir, ProgramFileKind::Data)).isDir();
    const bool usable =
        !installed && dir.isDir() && dir.isWritable() && (!beside.exists() || beside.isWritable());
    if (usable) return beside.absoluteFilePath();
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    const QString base = (!xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome))
                             ? xdgConfigHome
                             : QDir(homeDir).filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("zav/") + kProfileFileName);
}

QString profilePathForProcess(const QString& configOption, const QString& executableDir) {
    return profilePath(configOption, executableDir, qEnvironmentVariable("XDG_CONFIG_HOME"),
                       QDir::homePath());
}

} // namespace zav
