#pragma once
// Software settings dialog: change the user password, choose whether closing the main window
// keeps the program in the tray ("Window"/"ExitToPallet" of ZAV.ini), choose the language and the
// link timing ("Link"/"Timing" and "ExtraGapMs").

#include "link/LinkTypes.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zav {

class PasswordBook;
class ProfileFile;
class UserDialogs;

class FormPassword : public QDialog {
    Q_OBJECT
public:
    FormPassword(PasswordBook& passwords, ProfileFile& profile, UserDialogs& dialogs,
                 std::function<int()> language, QWidget* parent = nullptr);

    void retranslate();
    // Without a notification area "minimize to tray" means nothing: its group is hidden.
    void setTrayAvailable(bool available);
    // A group of another subsystem, below the dialog's own.
    void addGroup(QWidget* group);

    // The language switch of the main window (the one its hot spot uses), by language index.
    void setLanguageSwitch(std::function<void(int)> switchTo) { switchLanguage_ = std::move(switchTo); }
    // Applies a stored link timing to the running link.
    void setTimingSwitch(std::function<void(const TimingOptions&)> apply) { applyTiming_ = std::move(apply); }

    void buttonPasswordSetClick();
    void buttonWinSetClick();
    void buttonLanguageSetClick();
    void buttonTimingSetClick();

protected:
    void showEvent(QShowEvent* event) override; // FormShow
    void changeEvent(QEvent* event) override;   // a language switch re-reads the captions

private:
    PasswordBook& passwords_;
    ProfileFile& profile_;
    UserDialogs& dialogs_;
    std::function<int()> language_;
    std::function<void(int)> switchLanguage_;
    std::function<void(const TimingOptions&)> applyTiming_;
    void showLanguage();
    void showTiming();

    QGroupBox* groupPassword_;
    QGroupBox* groupWindow_;
    QLabel* labelOld_;
    QLabel* labelNew_;
    QLabel* labelAgain_;
    QLineEdit* editOld_;
    QLineEdit* editNew_;
    QLineEdit* editAgain_;
    QPushButton* buttonPasswordSet_;
    QCheckBox* checkExit_;
    QPushButton* buttonWinSet_;
    QGroupBox* groupLanguage_;
    QRadioButton* languageButtons_[3];
    QLabel* labelLanguageNote_;
    QPushButton* buttonLanguageSet_;
    QGroupBox* groupTiming_;
    QComboBox* comboTiming_;
    QLabel* labelGap_;
    QSpinBox* spinGap_;
    QPushButton* buttonTimingSet_;
};

} // namespace zav
