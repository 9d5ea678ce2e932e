#pragma once
// Small shared link values: activity codes, job states, baud and model tables, link messages.

#include <QString>
#include <array>
#include <optional>

namespace zav {

// Current link activity; the action buttons are enabled from it.
enum Activity : int {
    ActIdle = 0,
    ActLiveData = 1,
    ActLiveStatus = 2,
    ActHistory = 3,
    ActWriteList = 4,
    ActSettingsDownload = 5,
    ActControl = 6,
    ActSCode = 7,
    ActModuleData = 11,
    ActModuleEnd = 12,
};

// Every link job: 0 idle, 1 request due, 2 reply due.
enum JobState : int { JobIdle = 0, JobRequestDue = 1, JobReplyDue = 2 };

// Items of ComboBox1 (baud box); item 7 is "Auto".
constexpr std::array<int, 7> kBaudItems = {1200, 2400, 4800, 9600, 14400, 19200, 38400};
constexpr int kBaudAutoItem = 7;
// Probe order of the automatic baud search and the ComboBox1 item of each probe.
constexpr std::array<int, 7> kBaudProbeRates = {9600, 14400, 4800, 19200, 2400, 1200, 38400};
constexpr std::array<int, 7> kBaudProbeItems = {3, 4, 2, 5, 1, 0, 6};

constexpr int kTickMs = 50;
constexpr int kWatchdogTicks = 60;      // 3 s without a received character
constexpr int kCycleIntervalTicks = 40; // a new cycle when CycleTicks exceeds this
constexpr int kBypassCaptionTicks = 150;

// How requests are paced. Classic: every step of a job waits for the next 50 ms tick. Fast: a reply
// is judged as soon as it is whole and the next request goes out after the Modbus inter-frame gap
// (3.5 characters) plus `extraGapMs`; time-outs, retries and the late-reply rule stay on ticks.
enum class LinkTiming { Classic, Fast };
struct TimingOptions {
    LinkTiming mode = LinkTiming::Fast;
    int extraGapMs = 0; // 0..kMaxExtraGapMs, for UPS firmware that needs a pause between requests
    bool operator==(const TimingOptions&) const = default;
};
constexpr int kMaxExtraGapMs = 1000;
// "classic" or "fast" (any case); nullopt for anything else.
std::optional<LinkTiming> parseLinkTiming(const QString& text);
QString linkTimingName(LinkTiming timing);
// The Modbus inter-frame gap at `baud` in whole milliseconds: 3.5 characters of 10 bits, and the
// fixed 1.75 ms above 19200 baud, rounded up.
int interFrameGapMs(int baud);

// Reply wait in ticks: the time of about 530 characters of 10 bits at the rate, rounded up.
int replyTimeoutTicks(int baud);
// RTU: silence after the last chunk before the reply is judged.
int rtuChunkWaitTicks(int baud);
// The late-reply rule, shared by the scheduler and the address scan: after a request that got no
// answer within its reply wait, the line must stay quiet this long before the next request goes
// out (an answer that comes meanwhile is discarded, and a reply wait of quiet after it is enough).
// A late answer is still expected this many reply waits on, and at least 3 s on: how late a UPS
// answers depends on its own work more than on the rate.
inline constexpr int kLateReplyWaits = 5;
inline constexpr int kLateReplyFloorTicks = 60;
inline constexpr int lateReplyHorizonTicks(int replyTimeoutTicks) {
    return replyTimeoutTicks * kLateReplyWaits > kLateReplyFloorTicks ? replyTimeoutTicks * kLateReplyWaits
                                                                      : kLateReplyFloorTicks;
}

struct ModelDetection {
    int comboItem; // ComboBoxUpsType item; 0 = not recognised
    int upsModel;  // -1 = unchanged
};
// Model code of live register 78 -> model box item and UpsModel.
ModelDetection detectModel(int modelCode);

// The UPS address of the connection bar: a whole number from 1 to 254 (0 is the broadcast address,
// 255 is reserved), the one check of the typed text and of Connect.
inline constexpr int kFirstUpsAddress = 1;
inline constexpr int kLastUpsAddress = 254;
std::optional<int> upsAddress(const QString& text);
// While typing: Acceptable is an address; Intermediate may still become one (empty while typing);
// Invalid is refused at the key (a letter, a fourth digit, "0", "300").
enum class AddressInput { Acceptable, Intermediate, Invalid };
AddressInput addressInput(const QString& text);
// "Address 1 ~ 254", the edit's tool tip.
QString addressRangeText(int language);

enum class LinkMessage { WrongAddress, PortOpenFailed, SelectModel };
QString linkMessageText(LinkMessage message, int language);
// Said when every answer of the UPS came after its reply wait (Scheduler::lateReplies()).
QString lateAnswerText(int replyWaitMs, int language);
QString connectCaption(int language);
QString disconnectCaption(int language);

} // namespace zav
