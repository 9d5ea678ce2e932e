#pragma once
// The password panel that lies over a page which changes the UPS, until a password that opens it
// is typed. A wrong password is said on the panel's own line and the typed text is selected, so the
// next try replaces it; repeated wrong tries wait longer and longer (UnlockThrottle, shared by the
// locks), and a try during the wait is not checked at all. While the panel
// is shown the page under it is hidden, so neither the keyboard (Tab), the mouse nor an
// accessibility client can reach a control that writes to the UPS.

#include <QFrame>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zav {

class PasswordBook;
class UnlockThrottle;

struct LockNames {
    int page;            // tree index of the page it covers
    const char* panel;   // the panel
    const char* edit;    // its password edit
    const char* button;  // its OK button
};

// The five locks: rated settings, user-service settings, calibration, remote control, firmware.
inline constexpr LockNames kLocks[] = {
    {9, "PanelPassword", "EditPassword", "ButtonPassword"},
    {10, "Panelpassword2", "Editpassword2", "Buttonpasswod2"},
    {11, "PanelModVoltAdj", "EditModVoltAdjPwd", "ButtonModVoltAdjPwdOK"},
    {12, "PanelCtrlCmd", "EditCtrlCmd", "ButtonCtrlCmdOK"},
    {13, "PanelProgramPwd", "EditProgramPwd", "ButtonProgramPwdOK"},
};

class LockPanel : public QFrame {
    Q_OBJECT
public:
    // Covers `host` (the holder of the page; follows its size) until unlocked.
    // `throttle` is shared with the other locks (the panel keeps its own when none is given).
    LockPanel(const LockNames& names, const PasswordBook& passwords, QWidget* host,
              UnlockThrottle* throttle = nullptr);
    ~LockPanel() override;

    bool locked() const { return !unlocked_; }
    // Closed again with an empty edit, as after the windows were re-read from a language file.
    void relock();
    void retranslate();
    // The page was opened: the password edit takes the focus while the lock is closed.
    void focusPassword();
    // Steady milliseconds for the wait after wrong tries (tests step their own clock).
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    void setLanguage(int language) { language_ = language; }

signals:
    void unlocked();
    // The lock opened with the user password while that is still the factory default.
    void openedWithFactoryPassword();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tryUnlock(); // the OK handler
    void showContent(bool shown); // the host's other children: the page

    const PasswordBook& passwords_;
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QLabel* result_;
    UnlockThrottle* throttle_;
    std::unique_ptr<UnlockThrottle> ownThrottle_;
    std::function<qint64()> clock_;
    int language_ = 1;
    bool unlocked_ = false;
};

} // namespace zav
