#pragma once
// Page 12, remote control: the command buttons in their groups (function keys, test commands,
// module operation), the two toggle captions, and a line saying how the UPS answered the last
// command. Clicks arm the scheduler's control command; every decision comes from
// service/ControlCommands, including which commands are asked about first. The question does not
// block: the command is armed when the answer comes, if the link is still free for it.

#include "pagekit/ZavPage.h"
#include "link/WriteJobs.h"

#include <QHash>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace zav {

struct ControlCommand;
class ServiceDialogs;

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

    // Tests answer the boxes and questions.
    void setDialogs(ServiceDialogs* dialogs) { dialogs_ = dialogs; }

  private:
    // A command as the click decided it, sent at once or when the question is answered Yes.
    struct Planned {
        const ControlCommand* command = nullptr; // nullptr for the module command
        uint16_t reg = 0;
        uint16_t value = 0;
        QString what;             // its name on the result line
        QLabel* toggle = nullptr; // the toggle whose caption changes when it is sent
        QString caption;
    };
    void propose(const Planned& planned, const QString& question);
    bool refused(const Planned& planned); // battery condition not met: says why
    void send(const Planned& planned);
    void report(const QString& text, const char* box);
    void arm(uint16_t reg, uint16_t value, const QString& what);
    void onCommandEnded(const WriteResult& result);
    void setToggle(QLabel* label, const QString& caption);

    int language_ = 1;
    ServiceDialogs* dialogs_;
    // Counts link resets and language changes: a question opened before one sends nothing.
    quint64 epoch_ = 0;
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
