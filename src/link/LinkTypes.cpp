#include "link/LinkTypes.h"

namespace zav {

static int ceilDiv(int a, int b) {
    return (a + b - 1) / b;
}

int replyTimeoutTicks(int baud) {
    return baud > 0 ? ceilDiv(105920, baud) : 80;
}
std::optional<LinkTiming> parseLinkTiming(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("classic")) return LinkTiming::Classic;
    if (t == QLatin1String("fast")) return LinkTiming::Fast;
    return std::nullopt;
}

QString linkTimingName(LinkTiming timing) {
    return timing == LinkTiming::Classic ? QStringLiteral("classic") : QStringLiteral("fast");
}

int interFrameGapMs(int baud) {
    if (baud > 19200 || baud <= 0) return 2;
    return ceilDiv(35000, baud); // 3.5 characters x 10 bits x 1000 ms
}

int rtuChunkWaitTicks(int baud) {
    return baud > 0 ? ceilDiv(560, baud) : 2;
}

ModelDetection detectModel(int code) {
    // Codes 7 and 8 sit after code 9 in the model box.
    static constexpr ModelDetection table[10] = {{0, -1}, {1, 0}, {2, 1}, {3, 2}, {4, 3},
                                                 {5, 4},  {6, 5}, {8, 7}, {9, 8}, {7, 6}};
    if (code < 1 || code > 9) return {0, -1};
    return table[code];
}

static QString pick(const char* const texts[3], int language) {
    return QString::fromUtf8(texts[(language >= 0 && language < 3) ? language : 1]);
}

QString linkMessageText(LinkMessage message, int language) {
    static const char* const wrongAddress[3] = {"错误地址", "Wrong address!", "錯誤位址"};
    static const char* const portFailed[3] = {
        "串口不存在或被其它应用程序占用!",
        "Serial port does not exist or has been occupied by other applications!",
        "串口不存在或被其他應用程式佔用!"};
    static const char* const selectModel[3] = {"请选择机型！", "Select UPS type please!", "請選擇機型！"};
    switch (message) {
    case LinkMessage::WrongAddress:
        return pick(wrongAddress, language);
    case LinkMessage::PortOpenFailed:
        return pick(portFailed, language);
    case LinkMessage::SelectModel:
        return pick(selectModel, language);
    }
    return {};
}

QString lateAnswerText(int replyWaitMs, int language) {
    static const char* const texts[3] = {
        "UPS 有应答，但应答晚于 %1 毫秒的等待时间，无法采用：请检查波特率和线路，或更换通信较快的接口。",
        "The UPS answers, but only after the reply wait of %1 ms: its answers come too late to be used. "
        "Check the baud rate and the line, or use a faster interface.",
        "UPS 有回應，但回應晚於 %1 毫秒的等待時間，無法採用：請檢查鮑率和線路，或更換通訊較快的介面。"};
    return pick(texts, language).arg(replyWaitMs);
}

QString connectCaption(int language) {
    static const char* const texts[3] = {"连接", "Connect", "連接"};
    return pick(texts, language);
}

QString disconnectCaption(int language) {
    static const char* const texts[3] = {"断开", "Disconnect", "斷開"};
    return pick(texts, language);
}

} // namespace zav

namespace zav {

std::optional<int> upsAddress(const QString& text) {
    bool isNumber = false;
    const int address = text.trimmed().toInt(&isNumber, 10);
    if (!isNumber || address < kFirstUpsAddress || address > kLastUpsAddress) return std::nullopt;
    return address;
}

AddressInput addressInput(const QString& text) {
    if (text.isEmpty()) return AddressInput::Intermediate;
    if (text.size() > 3) return AddressInput::Invalid;
    for (const QChar c : text)
        if (!c.isDigit() || c.unicode() > '9') return AddressInput::Invalid;
    // Digits only: a number past the last address, or one with a leading zero, cannot become one
    // by typing more (three digits at most).
    if (text.front() == QLatin1Char('0')) return AddressInput::Invalid;
    return upsAddress(text) ? AddressInput::Acceptable : AddressInput::Invalid;
}

QString addressRangeText(int language) {
    static const char* const range[3] = {"地址 1 ~ 254", "Address 1 ~ 254", "位址 1 ~ 254"};
    return pick(range, language);
}

} // namespace zav
