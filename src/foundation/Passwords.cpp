#include "foundation/Passwords.h"

#include "foundation/AppTexts.h"
#include "foundation/ProfileFile.h"

#include <QRandomGenerator>
#include <algorithm>
#include <QStringDecoder>

namespace zav {

namespace {

QByteArray keyBytes(const QString& key) {
    return (key.isEmpty() ? QString::fromLatin1(kScrambleFallbackKey) : key).toUtf8();
}

QString hexPair(int value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')); }

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

const char* const kOldWrong[kLanguageCount] = {"旧密码错误", "The old password error!", "旧密码错误"};
const char* const kNewInvalid[kLanguageCount] = {"请检查输入的新密码", "Please check the new password!",
                                                 "请检查输入的新密码"};
const char* const kSetOk[kLanguageCount] = {"设置成功", "Set Ok!", "设置成功"};

} // namespace

QString scramble(const QString& plain, const QString& key, int start) {
    const QByteArray k = keyBytes(key);
    const QByteArray text = plain.toUtf8();
    int s = start & 0xFF;
    QString out = hexPair(s);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int c = uint8_t(text[i]);
        s = ((s + c) % 255) ^ uint8_t(k[i % k.size()]);
        out += hexPair(s);
    }
    return out;
}

QString scramble(const QString& plain, const QString& key) {
    return scramble(plain, key, int(QRandomGenerator::global()->bounded(256)));
}

std::optional<QString> unscramble(const QString& scrambled, const QString& key) {
    if (scrambled.size() < 2 || scrambled.size() % 2 != 0) return std::nullopt;
    QByteArray values;
    for (qsizetype i = 0; i < scrambled.size(); i += 2) {
        const int hi = hexDigit(scrambled[i]), lo = hexDigit(scrambled[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        values.append(char(hi * 16 + lo));
    }
    const QByteArray k = keyBytes(key);
    QByteArray plain;
    int a = uint8_t(values[0]);
    for (qsizetype i = 1; i < values.size(); ++i) {
        const int v = uint8_t(values[i]);
        const int b = v ^ uint8_t(k[(i - 1) % k.size()]);
        plain.append(char(a < b ? b - a : b - a + 255));
        a = v;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(plain);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

QString passwordChangeMessage(PasswordChange result, int language) {
    const int l = clampLanguage(language);
    switch (result) {
    case PasswordChange::OldWrong: return QString::fromUtf8(kOldWrong[l]);
    case PasswordChange::NewInvalid: return QString::fromUtf8(kNewInvalid[l]);
    case PasswordChange::Accepted: return QString::fromUtf8(kSetOk[l]);
    case PasswordChange::NotStored: return profileWriteFailedText(language);
    }
    return {};
}

PasswordBook::PasswordBook(ProfileFile& profile, QString defaultPassword)
    : profile_(profile), default_(std::move(defaultPassword)), current_(default_) {}

void PasswordBook::load() {
    current_ = default_;
    if (!profile_.exists()) return;
    const QString stored = profile_.readString(QStringLiteral("mm"), QStringLiteral("m"), QString());
    if (stored.isEmpty()) return;
    const std::optional<QString> plain = unscramble(stored, QString::fromLatin1(kMasterPassword));
    if (plain && !plain->isEmpty()) current_ = *plain;
}

bool PasswordBook::opens(const QString& typed) const {
    return typed == current_ || typed == QLatin1String(kMasterPassword);
}

PasswordChange PasswordBook::change(const QString& oldText, const QString& newText,
                                    const QString& again) {
    if (!opens(oldText)) return PasswordChange::OldWrong;
    if (newText.isEmpty() || newText != again) return PasswordChange::NewInvalid;
    current_ = newText;
    const bool stored = profile_.writeString(QStringLiteral("mm"), QStringLiteral("m"),
                                             scramble(newText, QString::fromLatin1(kMasterPassword)));
    return stored ? PasswordChange::Accepted : PasswordChange::NotStored;
}

void UnlockThrottle::wrong(qint64 nowMs) {
    ++wrongTries_;
    const int paid = wrongTries_ - kFreeTries; // tries that cost a wait
    if (paid <= 0) return;
    qint64 wait = kFirstWaitMs;
    for (int i = 1; i < paid && wait < kLongestWaitMs; ++i) wait *= 2;
    notBefore_ = nowMs + std::min(wait, kLongestWaitMs);
}

namespace {

// Whole seconds, rounded up: "1 s" while any part of the last second is left.
qint64 secondsLeft(qint64 waitMs) { return (waitMs + 999) / 1000; }

} // namespace

QString wrongPasswordText(int language, qint64 waitMs) {
    static const char* const kWrong[kLanguageCount] = {"密码错误。", "Wrong password.", "密碼錯誤。"};
    const QString wrong = QString::fromUtf8(kWrong[clampLanguage(language)]);
    if (waitMs <= 0) return wrong;
    const QString gap = clampLanguage(language) == LangEN ? QStringLiteral(" ") : QString();
    return wrong + gap + unlockWaitText(language, waitMs);
}

QString unlockWaitText(int language, qint64 waitMs) {
    static const char* const kWait[kLanguageCount] = {"请 %1 秒后再试。", "Try again in %1 s.",
                                                      "請 %1 秒後再試。"};
    return QString::fromUtf8(kWait[clampLanguage(language)]).arg(secondsLeft(waitMs));
}

QString factoryPasswordQuestion(int language) {
    static const char* const kQuestion[kLanguageCount] = {
        "此页面是用出厂密码打开的，出厂密码人人皆知。现在设置您自己的密码吗？",
        "This page was opened with the factory password, which anyone can look up. Set a password of "
        "your own now?",
        "此頁面是用出廠密碼打開的，出廠密碼人人皆知。現在設置您自己的密碼嗎？",
    };
    return QString::fromUtf8(kQuestion[clampLanguage(language)]);
}

} // namespace zav

