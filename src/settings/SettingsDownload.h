#pragma once
// Reads the settings registers in three blocks with function 0x65 into SettingData.

#include "link/BlockList.h"
#include "link/LinkTypes.h"
#include "settings/SettingStores.h"

namespace zav {

class LinkIo;

class SettingsDownload {
  public:
    static const QVector<Block>& blocks(); // (301, 35), (361, 30), (421, 60)

    JobState state() const { return state_; }
    const BlockList& list() const { return list_; }
    void start(); // StartSettingsDownload
    void reset() {
        state_ = JobIdle;
        list_.clear();
    }
    // One dispatch; returns true when the download has ended (the pages then show SettingData).
    bool serve(LinkIo& io, SettingStores& stores);
    // Blocks of the last download given up after their two attempts: SettingData then still holds
    // older values for them, so nothing may be computed from it as if it were the UPS's.
    int blocksGivenUp() const { return givenUp_; }

  private:
    void settingRx(LinkIo& io, SettingStores& stores);
    bool end();

    JobState state_ = JobIdle;
    BlockList list_;
    int givenUp_ = 0;
};

// Models 5 to 8 report the capacities 321-324 in VA; everything after the download works in kVA.
void applyCapacityRule(RegisterStore& settingData, int upsModel);

} // namespace zav
