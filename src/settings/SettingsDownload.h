#pragma once
// Reads the settings registers in three blocks with function 0x65 into SettingData.

#include "link/BlockList.h"
#include "link/LinkJob.h"
#include "link/LinkTypes.h"
#include "link/RegisterStore.h"

namespace zav {

class SettingsDownload : public LinkJob {
  public:
    static const QVector<Block>& blocks(); // (301, 35), (361, 30), (421, 60)

    explicit SettingsDownload(RegisterStore& settingData) : settingData_(settingData) {}

    JobState state() const { return state_; }
    const BlockList& list() const { return list_; }
    void start(); // StartSettingsDownload

    // LinkJob. serve() returns true when the download has ended (the pages then show SettingData).
    const char* name() const override { return "settings download"; }
    bool wantsLine() const override { return state_ != JobIdle; }
    bool serve(LinkIo& io) override;
    void reset() override {
        state_ = JobIdle;
        list_.clear();
    }
    // The blocks not yet read count as given up.
    void abandon(const QString& reason) override;
    // Blocks of the last download given up after their two attempts: SettingData then still holds
    // older values for them, so nothing may be computed from it as if it were the UPS's.
    int blocksGivenUp() const { return givenUp_; }

  private:
    void settingRx(LinkIo& io);
    bool end();

    RegisterStore& settingData_;
    JobState state_ = JobIdle;
    BlockList list_;
    int givenUp_ = 0;
};

// Models 5 to 8 report the capacities 321-324 in VA; everything after the download works in kVA.
void applyCapacityRule(RegisterStore& settingData, int upsModel);

} // namespace zav
