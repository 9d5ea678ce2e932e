#pragma once
// What `zavd --check` prints of a configuration that loaded: one line per part, in the words of
// the file's keys, so an administrator sees what the service would do before starting it.
// Passwords are never printed.

#include "zavd/ZavdConfig.h"

#include <QString>

namespace zav {

QString describeZavdConfig(const ZavdConfig& config);

} // namespace zav
