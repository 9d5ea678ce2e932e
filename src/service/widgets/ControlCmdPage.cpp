#include "service/widgets/ControlCmdPage.h"

#include "session/ButtonStates.h"
#include "session/UpsSession.h"
#include "service/ControlCommands.h"
#include "service/widgets/ServiceDialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace zav {

namespace {
constexpr int kButtonWidth = 200;
constexpr int kColumns = 2;
} // namespace

ControlCmdPage::ControlCmdPage(AppContext& context, QWidget* parent)
    : ZavPage(context, parent), dialogs_(&standardServiceDialogs()) {
    setObjectName(QStringLiteral("TabSheetCtrlCmd"));
    groupFunction_ = new QGroupBox(this);
    groupFunction_->setObjectName(QStringLiteral("GroupBoxFunction"));
    groupTest_ = new QGroupBox(this);
    groupTest_->setObjectName(QStringLiteral("GroupBoxTest"));
    auto* functionGrid = new QGridLayout(groupFunction_);
    auto* testGrid = new QGridLayout(groupTest_);
    int placed[2] = {0, 0};

    for (const ControlCommand& c : controlCommands()) {
        if (!c.button) continue; // the cancel half of a toggle shares its button
        auto* button = new QToolButton(c.group == CommandGroup::Test ? groupTest_ : groupFunction_);
        button->setObjectName(QLatin1String(c.button));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(kButtonWidth);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttons_.insert(button->objectName(), button);
        connect(button, &QToolButton::clicked, this, [this, &c] { commandClick(c); });
        const int g = c.group == CommandGroup::Test ? 1 : 0;
        QGridLayout* grid = g ? testGrid : functionGrid;
        const int row = placed[g] / kColumns, col = placed[g] % kColumns;
        ++placed[g];
        if (c.reg == 353 || c.reg == 354) {
            // The toggles: the label beside the button carries the caption the click reads.
            auto* label = new QLabel(button->parentWidget());
            label->setObjectName(QLatin1String(c.reg == 353 ? "LabelMuteOn" : "LabelTxByp"));
            (c.reg == 353 ? labelMuteOn_ : labelTxByp_) = label;
            auto* cell = new QHBoxLayout;
            cell->addWidget(button);
            cell->addWidget(label);
            label->hide(); // the button shows the same caption; the label is its source
            grid->addLayout(cell, row, col);
        } else {
            grid->addWidget(button, row, col);
        }
    }

    groupModule_ = new QGroupBox(this);
    groupModule_->setObjectName(QStringLiteral("GroupBoxModule"));
    labelModId_ = new QLabel(groupModule_);
    labelModId_->setObjectName(QStringLiteral("LabelModID"));
    labelModAction_ = new QLabel(groupModule_);
    labelModAction_->setObjectName(QStringLiteral("LabelModAction"));
    comboModId_ = new QComboBox(groupModule_);
    comboModId_->setObjectName(QStringLiteral("ComboBoxModID"));
    comboModId_->setMinimumWidth(80);
    comboModAction_ = new QComboBox(groupModule_);
    comboModAction_->setObjectName(QStringLiteral("ComboBoxModAction"));
    comboModAction_->setMinimumWidth(260);
    buttonModDone_ = new QPushButton(groupModule_);
    buttonModDone_->setObjectName(QStringLiteral("ButtonModOnOffDone"));
    auto* moduleRow = new QHBoxLayout(groupModule_);
    moduleRow->addWidget(labelModId_);
    moduleRow->addWidget(comboModId_);
    moduleRow->addSpacing(12);
    moduleRow->addWidget(labelModAction_);
    moduleRow->addWidget(comboModAction_);
    moduleRow->addSpacing(12);
    moduleRow->addWidget(buttonModDone_);
    moduleRow->addStretch();
    connect(comboModId_, &QComboBox::currentIndexChanged, this, [this] { fillModuleActions(); });
    connect(buttonModDone_, &QPushButton::clicked, this, &ControlCmdPage::buttonModOnOffDoneClick);

    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("LabelCmdResult"));
    result_->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->addWidget(groupFunction_);
    page->addWidget(groupTest_);
    page->addWidget(groupModule_);
    page->addWidget(result_);
    page->addStretch();

    if (UpsSession* s = context_.scheduler) {
        connect(s, &UpsSession::controlCommandEnded, this, &ControlCmdPage::onCommandEnded);
        connect(s, &UpsSession::bypassCaptionDue, this,
                [this](bool cancel) { setToggle(labelTxByp_, bypassCaption(cancel ? 1 : 0, language_)); });
        connect(s, &UpsSession::moduleListChanged, this, &ControlCmdPage::fillModuleIdBox);
        connect(s, &UpsSession::liveCycleEnded, this, &ControlCmdPage::fillModuleIdBox);
        connect(s, &UpsSession::liveStoresCleared, this, &ControlCmdPage::fillModuleIdBox);
        connect(s, &UpsSession::linkReset, this, [this] {
            waiting_ = false;
            ++epoch_;
        });
    }
    applyLanguage(context.language);
}

void ControlCmdPage::applyLanguage(int language) {
    language_ = language;
    for (QGroupBox* g : {groupFunction_, groupTest_, groupModule_})
        g->setTitle(controlPageText(g->objectName().toLatin1().constData(), language));
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it)
        it.value()->setText(controlPageText(it.key().toLatin1().constData(), language));
    labelModId_->setText(controlPageText("LabelModID", language));
    labelModAction_->setText(controlPageText("LabelModAction", language));
    buttonModDone_->setText(controlPageText("ButtonModOnOffDone", language));
    setToggle(labelMuteOn_, muteCaption(0, language));
    setToggle(labelTxByp_, bypassCaption(0, language));
    const int model = context_.scheduler ? context_.scheduler->upsModel() : 1;
    groupModule_->setVisible(modelHasModuleCommands(model));
    result_->clear();
    waiting_ = false;
    ++epoch_;
    fillModuleIdBox();
}

void ControlCmdPage::refresh() { fillModuleIdBox(); }

void ControlCmdPage::setToggle(QLabel* label, const QString& caption) {
    label->setText(caption);
    const QString button = label == labelMuteOn_ ? QStringLiteral("SpeedButtonMuteOn") : QStringLiteral("SpeedButtonTxByp");
    if (QToolButton* b = buttons_.value(button)) b->setText(caption);
}

void ControlCmdPage::arm(uint16_t reg, uint16_t value, const QString& what) {
    UpsSession* s = context_.scheduler;
    if (!s || !s->startControlCommand(reg, value)) return;
    waiting_ = true;
    waitingReg_ = reg;
    waitingWhat_ = what;
    result_->clear();
    emit s->buttonsRefreshDue(); // UpdateButtonStates with Activity 6, before the next tick
}

void ControlCmdPage::commandClick(const ControlCommand& command) {
    UpsSession* s = context_.scheduler;
    if (!s || !s->portOpen()) return;
    Planned p;
    p.command = &command;
    p.reg = command.reg;
    p.value = command.value;
    p.what = controlPageText(command.button, language_);
    if (command.reg == 353 || command.reg == 354) {
        // The caption shown before the click names what the click does.
        QLabel* label = command.reg == 353 ? labelMuteOn_ : labelTxByp_;
        const Toggle t = command.reg == 353 ? toggleMute(label->text(), language_)
                                            : toggleBypass(label->text(), language_, s->live().LiveStatus[81]);
        p.what = label->text();
        p.value = t.value;
        p.toggle = label;
        p.caption = t.caption;
        if (const ControlCommand* half = findCommand(command.reg, t.value)) p.command = half;
    }
    if (refused(p)) return;
    propose(p, commandQuestion(*p.command, language_));
}

void ControlCmdPage::buttonModOnOffDoneClick() {
    UpsSession* s = context_.scheduler;
    if (!s || !s->portOpen()) return;
    const auto value = moduleCommandFromBoxes(comboModId_->currentText(), comboModAction_->currentText(), language_);
    if (!value) return; // no module in the box: there is nothing to address
    Planned p;
    p.reg = 356;
    p.value = *value;
    p.what = QStringLiteral("%1 %2: %3")
                 .arg(controlPageText("LabelModID", language_), comboModId_->currentText(),
                      comboModAction_->currentText());
    propose(p, moduleCommandQuestion(*value, language_));
}

void ControlCmdPage::propose(const Planned& planned, const QString& question) {
    if (question.isEmpty()) {
        send(planned);
        return;
    }
    dialogs_->ask(this, question, "MessageBoxCmdConfirm", [this, planned, epoch = epoch_](bool yes) {
        if (!yes) return; // No: nothing goes to the UPS
        // While the question was open the link may have been reset, or another part of the tool
        // (the PC protection's switch-off order) may have armed its own command: that one must
        // not be replaced, so the window has to be free again, as for an enabled button.
        UpsSession* s = context_.scheduler;
        if (epoch != epoch_ || !s || !s->portOpen() || !windowFree(s->activity(), s->linkOk())) {
            report(notSentText(planned.what, language_), "MessageBoxCmdNotSent");
            return;
        }
        if (!refused(planned)) send(planned);
    });
}

bool ControlCmdPage::refused(const Planned& planned) {
    if (!planned.command || !context_.scheduler) return false;
    const QString why =
        conditionRefusalText(*planned.command, context_.scheduler->live().LiveStatus, language_);
    if (why.isEmpty()) return false;
    report(why, "MessageBoxCmdCondition");
    return true;
}

void ControlCmdPage::send(const Planned& planned) {
    UpsSession* s = context_.scheduler;
    if (!s) return;
    if (planned.toggle) {
        setToggle(planned.toggle, planned.caption);
        // The UPS gets time to act before the bypass caption is corrected from its status.
        if (planned.reg == 354) s->restartBypassCaptionCount();
    }
    arm(planned.reg, planned.value, planned.what);
}

void ControlCmdPage::report(const QString& text, const char* box) {
    result_->setText(text);
    dialogs_->inform(this, text, box);
}

void ControlCmdPage::fillModuleIdBox() {
    UpsSession* s = context_.scheduler;
    if (!s) return;
    const int remembered = rememberedModule(comboModId_->currentText(), language_);
    const BoxItems box = moduleIdBox(s->upsModel(), s->live().modules, s->live().LiveStatus, remembered, language_);
    QStringList current;
    for (int i = 0; i < comboModId_->count(); ++i)
        current << comboModId_->itemText(i);
    if (current != box.items) {
        // Refilled only when the list changed, so an open drop-down is not disturbed every cycle.
        const QSignalBlocker block(comboModId_);
        comboModId_->clear();
        comboModId_->addItems(box.items);
    }
    if (box.selected != comboModId_->currentIndex()) {
        const QSignalBlocker block(comboModId_);
        comboModId_->setCurrentIndex(box.selected);
    }
    fillModuleActions();
}

void ControlCmdPage::fillModuleActions() {
    const bool all = comboModId_->currentText() == moduleAllText(language_);
    const BoxItems box = moduleActionBox(all, comboModAction_->currentText(), language_);
    QStringList current;
    for (int i = 0; i < comboModAction_->count(); ++i)
        current << comboModAction_->itemText(i);
    const QSignalBlocker block(comboModAction_);
    if (current != box.items) {
        comboModAction_->clear();
        comboModAction_->addItems(box.items);
    }
    comboModAction_->setCurrentIndex(box.selected);
}

void ControlCmdPage::onCommandEnded(const WriteResult& result) {
    if (!waiting_ || result.reg != waitingReg_) return;
    waiting_ = false;
    const QString text = writeResultText(result, waitingWhat_, language_);
    result_->setText(text);
    if (result.outcome != WriteOutcome::Accepted) dialogs_->inform(this, text, "MessageBoxCmdResult");
}

} // namespace zav
