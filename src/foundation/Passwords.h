#pragma once
// Passwords of the five lock panels and the software settings dialog. Two passwords open every
// lock: the user's own (stored scrambled in ZAV.ini, "mm"/"m") and the fixed master password.

#include <QString>
#include <optional>

namespace zav {

class ProfileFile;

inline constexpr char kMasterPassword[] = "40527193861";
inline constexpr char kScrambleFallbackKey[] = "quiloz"; // used when the key is empty

// Scramble: a start value s (0..255) as two hex digits, then for each byte c of the text with the
// key bytes k cycling: s = ((s + c) mod 255) xor k, two lower-case hex digits each. The text is
// taken as UTF-8, so any password survives the round trip.
QString scramble(const QString& plain, const QString& key, int start);
QString scramble(const QString& plain, const QString& key); // random start value
// The inverse; nullopt when the text is not an even number (at least two) of hexadecimal digits
// or does not decode to UTF-8 text.
std::optional<QString> unscramble(const QString& scrambled, const QString& key);

// NotStored: the new password holds for this run, but ZAV.ini could not be written.
enum class PasswordChange { Accepted, OldWrong, NewInvalid, NotStored };
// Texts of the outcomes of the settings dialog (Accepted also serves its tray setting).
QString passwordChangeMessage(PasswordChange result, int language);

// The current user password of the run, as the locks and the settings dialog see it.
class PasswordBook {
public:
    PasswordBook(ProfileFile& profile, QString defaultPassword);

    // Loads "mm"/"m" when ZAV.ini exists. A missing key, a value that is not a scrambled text
    // (for example edited by hand) or one that unscrambles to nothing gives the default password:
    // an empty password would open every lock with an empty edit.
    void load();

    const QString& current() const { return current_; }
    const QString& defaultPassword() const { return default_; }
    // Exact, case-sensitive comparison with the user and the master password.
    bool opens(const QString& typed) const;
    // The dialog's rule: old must open a lock, new must be non-empty and equal to again. On
    // success the new password is current at once and stored scrambled.
    PasswordChange change(const QString& oldText, const QString& newText, const QString& again);

    // The user password is still the branding default (the factory password).
    bool factoryPasswordInUse() const { return current_ == default_; }

private:
    ProfileFile& profile_;
    QString default_;
    QString current_;
};

// Wrong passwords typed into the lock panels, shared by the five locks so that trying them in turn
// gains nothing. The first kFreeTries wrong passwords cost nothing; each further one makes the
// next try wait twice as long as the last, from 1 s up to 30 s. A right password clears the count.
// Times are steady milliseconds given by the caller.
class UnlockThrottle {
public:
    static constexpr int kFreeTries = 2;
    static constexpr qint64 kFirstWaitMs = 1000;
    static constexpr qint64 kLongestWaitMs = 30000;

    // How long the next try must still wait (0: it may be checked now).
    qint64 waitMs(qint64 nowMs) const { return nowMs < notBefore_ ? notBefore_ - nowMs : 0; }
    void wrong(qint64 nowMs);
    void right() { wrongTries_ = 0; notBefore_ = 0; }
    int wrongTries() const { return wrongTries_; }

private:
    int wrongTries_ = 0;
    qint64 notBefore_ = 0;
};

// The lock panel's line after a refused try: the password was wrong (and how long the next try
// must wait), or the try came during the wait and was not checked.
QString wrongPasswordText(int language, qint64 waitMs);
QString unlockWaitText(int language, qint64 waitMs);
// Asked once a run after a lock opened with the factory password.
QString factoryPasswordQuestion(int language);

} // namespace zav
