#pragma once
// The link timing kept in ZAV.ini: [Link] Timing (fast|classic) and ExtraGapMs (0..1000). A file
// without the keys, or with a value the tool does not know, gives the fast timing without pause.

#include "link/LinkTypes.h"

namespace zav {

class ProfileFile;

TimingOptions readTimingOptions(const ProfileFile& profile);
bool writeTimingOptions(ProfileFile& profile, const TimingOptions& timing); // false: not stored

} // namespace zav
