#pragma once
// Where ZAV.ini lives: the path given with --config; else beside the executable when that folder
// is writable (the classic place, and where a copied folder keeps its settings next to it) and the
// program is not installed in a file-system tree (foundation/InstallLayout.h: no <prefix>/share/zav);
// else $XDG_CONFIG_HOME/zav/ (~/.config/zav/ when the variable is not set).

#include <QString>

namespace zav {

inline constexpr char kProfileFileName[] = "ZAV.ini";

QString profilePath(const QString& configOption, const QString& executableDir,
                    const QString& xdgConfigHome, const QString& homeDir);

// The same with the values of this process (environment, home folder).
QString profilePathForProcess(const QString& configOption, const QString& executableDir);

} // namespace zav
