#pragma once
// Where the programs find their own files. Run from the build folder (or a folder copied whole)
// everything lies beside the executable. Installed, the executable is in <prefix>/bin and its files
// follow the file-system hierarchy relative to it: data (language files, Flash API kernels) in
// <prefix>/share/zav, helper programs (zav-closeapp) in <prefix>/lib/zav. A file beside the
// executable wins, so a build folder never picks up an installed copy; the paths are relative to the
// executable, so an installed tree can move as a whole (/usr, /usr/local, a test root).

#include <QString>

namespace zav {

enum class ProgramFileKind { Data, Helper };

// <executableDir>/../share/zav or <executableDir>/../lib/zav, cleaned.
QString installedFolder(const QString& executableDir, ProgramFileKind kind);

// The file beside the executable when it exists, else the one in the installed folder when that
// exists, else the path beside the executable (so a message names where it was looked for first).
QString programFile(const QString& executableDir, ProgramFileKind kind, const QString& name);

} // namespace zav
