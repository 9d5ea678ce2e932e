#pragma once
// Page 12, remote control: the command buttons in their groups (function keys, test commands,
// module operation), the two toggle captions, and a line saying how the UPS answered the last
// command. Clicks arm the scheduler's control command; every decision comes from
// service/ControlCommands.

#include "app/widgets/ZavPage.h"
#include "link/WriteJobs.h"

#include <QHash>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace zav {

struct ControlCommand;

class ControlCmdPage : public ZavPage {
    Q_OBJECT
  public:
    explicit ControlCmdPage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override;
    void refresh() override;

    // Handlers, named after their buttons.
    void commandClick(const ControlCommand& command); // every button of the command table
    void buttonModOnOffDoneClick();
    void fillModuleIdBox();   // FillModuleIdBox
    void fillModuleActions(); // FillModuleActions

  private:
    void arm(uint16_t reg, uint16_t value, const QString& what);
    void onCommandEnded(const WriteResult& result);
    void setToggle(QLabel* label, const QString& caption);

    int language_ = 1;
    QHash<QString, QToolButton*> buttons_;
    QLabel* labelMuteOn_ = nullptr;
    QLabel* labelTxByp_ = nullptr;
    QGroupBox* groupFunction_ = nullptr;
    QGroupBox* groupTest_ = nullptr;
    QGroupBox* groupModule_ = nullptr;
    QLabel* labelModId_ = nullptr;
    QLabel* labelModAction_ = nullptr;
    QComboBox* comboModId_ = nullptr;
    QComboBox* comboModAction_ = nullptr;
    QPushButton* buttonModDone_ = nullptr;
    QLabel* result_ = nullptr;
    // The command this page armed and waits for (reg, what it was called), so that commands of
    // other parts of the tool are not reported here.
    bool waiting_ = false;
    uint16_t waitingReg_ = 0;
    QString waitingWhat_;
};

} // namespace zav
