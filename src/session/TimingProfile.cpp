#include "session/TimingProfile.h"

#include "foundation/ProfileFile.h"

#include <algorithm>

namespace zav {

namespace {
const QString kSection = QStringLiteral("Link");
const QString kTimingKey = QStringLiteral("Timing");
const QString kGapKey = QStringLiteral("ExtraGapMs");
} // namespace

TimingOptions readTimingOptions(const ProfileFile& profile) {
    TimingOptions timing;
    if (const auto mode = parseLinkTiming(profile.readString(kSection, kTimingKey, QString()))) timing.mode = *mode;
    timing.extraGapMs = std::clamp(profile.readInteger(kSection, kGapKey, 0), 0, kMaxExtraGapMs);
    return timing;
}

bool writeTimingOptions(ProfileFile& profile, const TimingOptions& timing) {
    return profile.writeString(kSection, kTimingKey, linkTimingName(timing.mode)) &&
           profile.writeInteger(kSection, kGapKey, std::clamp(timing.extraGapMs, 0, kMaxExtraGapMs));
}

} // namespace zav
