#pragma once
// The password panel that lies over a page which changes the UPS, until a password that opens it
// is typed. A wrong password gives no feedback: the panel and the typed text stay. While the panel
// is shown the page under it is hidden, so neither the keyboard (Tab), the mouse nor an
// accessibility client can reach a control that writes to the UPS.

#include <QFrame>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zav {

class PasswordBook;

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
    LockPanel(const LockNames& names, const PasswordBook& passwords, QWidget* host);

    bool locked() const { return !unlocked_; }
    // Closed again with an empty edit, as after the windows were re-read from a language file.
    void relock();
    void retranslate();
    // The page was opened: the password edit takes the focus while the lock is closed.
    void focusPassword();

signals:
    void unlocked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tryUnlock(); // the OK handler
    void showContent(bool shown); // the host's other children: the page

    const PasswordBook& passwords_;
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* ok_;
    bool unlocked_ = false;
};

} // namespace zav
