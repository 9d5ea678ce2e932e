#pragma once
// Software settings dialog: change the user password and choose whether closing the main window
// keeps the program in the tray ("Window"/"ExitToPallet" of ZAV.ini).

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

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

    void buttonPasswordSetClick();
    void buttonWinSetClick();

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    PasswordBook& passwords_;
    ProfileFile& profile_;
    UserDialogs& dialogs_;
    std::function<int()> language_;

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
};

} // namespace zav
