#include "protect/widgets/ProtectionController.h"

#include "foundation/ProfileFile.h"
#include "pagekit/ZavPage.h"
#include "session/UpsSession.h"
#include "protect/CloseList.h"
#include "protect/ProtectTexts.h"
#include "protect/widgets/FmCloseFile.h"
#include "protect/WindowPlacement.h"
#include "protect/widgets/FormCountDown.h"
#include "protect/widgets/FormUpsOff.h"
#include "protect/widgets/ShutdownTab.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QEvent>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcProtect, "zav.protect")

namespace zav {

namespace {

constexpr int kStatusInputFail = 88;
constexpr int kStatusBatteryLow = 107;
constexpr int kTimerShutdownMs = 1000;
// About the size of a message box: the area over the main window where boxes open stays clear.
constexpr QSize kBoxSize(480, 220);

// The tab widget that holds `page` as one of its tabs, or nullptr.
QTabWidget* tabsHolding(QWidget* page, int* index) {
    for (QWidget* w = page ? page->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            *index = tabs->indexOf(page);
            return *index >= 0 ? tabs : nullptr;
        }
    return nullptr;
}

} // namespace

ProtectionController::ProtectionController(AppContext& context, QWidget* window, ProtectionOptions options)
    : QObject(window), context_(context), window_(window), options_(std::move(options)) {
    setObjectName(QStringLiteral("Protection"));
    if (!options_.powerOff) {
        dryRun_ = std::make_unique<DryRunPowerOff>();
        options_.powerOff = dryRun_.get();
    }
    if (!options_.runner) {
        ownRunner_ = std::make_unique<QtProcessRunner>();
        options_.runner = ownRunner_.get();
    }
    sequence_ = std::make_unique<ShutdownSequence>(*options_.runner, *options_.powerOff);
    options_.runner->finished = [this](int run, int code, bool normal) { sequence_->processEnded(run, code, normal); };
    options_.runner->output = [this](int, const QString& line) { note(QStringLiteral("  | ") + line); };
    sequence_->log = [this](const QString& line) { note(line, line.startsWith(QLatin1String("POWER-OFF"))); };
    sequence_->tellUser = [this](ShutdownSequence::Notice n, const QString& detail) {
        const int lang = context_.language;
        switch (n) {
        case ShutdownSequence::Notice::ProgramMissing:
            return tellUser(protectText(ProtectText::ProgramMissing, lang));
        case ShutdownSequence::Notice::PowerOffRefused:
            return tellUser(protectText(ProtectText::PowerOffRefused, lang) + QStringLiteral("\n\n") + detail);
        case ShutdownSequence::Notice::PowerOffFailed:
            return tellUser(protectText(ProtectText::PowerOffFailed, lang) + QStringLiteral("\n\n") + detail);
        case ShutdownSequence::Notice::DryRun:
            return tellUser(protectText(ProtectText::DryRun, lang));
        }
    };

    // The controls go into page 10's shutdown tab.
    if (QWidget* sheet = window_->findChild<QWidget*>(QStringLiteral("TabSheetShutdown"))) {
        auto* layout = sheet->layout() ? sheet->layout() : new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
        tab_ = new ShutdownTab(sheet);
        layout->addWidget(tab_);
    } else {
        tab_ = new ShutdownTab; // no page 10 in this window: the controls exist unseen
        tab_->setParent(window_);
        tab_->hide();
    }
    connect(tab_, &ShutdownTab::setClicked, this, &ProtectionController::buttonShutSetClick);

    steady_.start();
    wallAtStart_ = QDateTime::currentDateTime();
    clock_ = [this] { return steady_.elapsed() / 1000; };
    formCountDownOwner_ = std::make_unique<FormCountDown>();
    formCountDown_ = formCountDownOwner_.get();
    formUpsOffOwner_ = std::make_unique<FormUpsOff>();
    formUpsOff_ = formUpsOffOwner_.get();
    connect(formCountDown_, &FormCountDown::cancelRequested, this, [this] {
        policy_.cancel();
        note(QStringLiteral("shutdown cancelled by the user; the countdown no longer shuts the PC down"));
    });
    connect(formCountDown_, &FormCountDown::shutNowRequested, this, [this] {
        policy_.shutNow();
        note(QStringLiteral("shut down now pressed"));
    });
    fmCloseFile_ = new FmCloseFile(window_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("TimerShutdown"));
    timer_->setInterval(kTimerShutdownMs);
    connect(timer_, &QTimer::timeout, this, &ProtectionController::timerShutdownTimer);
    timer_->start();

    // FormStrInit ends with ResetLinkState: the language or the model may have changed.
    if (context_.scheduler) connect(context_.scheduler, &UpsSession::linkReset, this, &ProtectionController::reload);
    window_->installEventFilter(this);
    reload();
}

ProtectionController::~ProtectionController() {
    if (options_.runner) {
        options_.runner->finished = nullptr;
        options_.runner->output = nullptr;
    }
}

void ProtectionController::note(const QString& line, bool loud) {
    log_ << line;
    if (loud)
        qCCritical(lcProtect).noquote() << line;
    else
        qCInfo(lcProtect).noquote() << line;
}

void ProtectionController::tellUser(const QString& text) {
    // A box that does not block: the timers (and the sequence) go on while it is open.
    lastMessage_ = text;
    if (!messageBox_) {
        messageBox_ = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text,
                                      QMessageBox::Ok, window_);
        messageBox_->setObjectName(QStringLiteral("MessageBoxProtect"));
        messageBox_->setAttribute(Qt::WA_DeleteOnClose);
        messageBox_->setWindowFlag(Qt::WindowStaysOnTopHint);
        messageBox_->setWindowModality(Qt::NonModal);
    } else {
        messageBox_->setText(messageBox_->text() + QStringLiteral("\n\n") + text);
    }
    messageBox_->show();
    messageBox_->raise();
}

void ProtectionController::reload() {
    const int lang = context_.language;
    tab_->applyLanguage(lang);
    formCountDown_->applyLanguage(lang);
    formUpsOff_->applyLanguage(lang);
    fmCloseFile_->applyLanguage(lang);
    const int model = context_.scheduler ? context_.scheduler->upsModel() : -1;
    const bool available = protectionModel(model);
    if (available && context_.profile) {
        loaded_ = loadShutdownConfig(*context_.profile);
        tab_->setConfig(loaded_);
        policy_.load(loaded_);
    } else {
        tab_->clearEnable();
    }
    int index = -1;
    if (QTabWidget* tabs = tabsHolding(tab_->parentWidget(), &index)) tabs->setTabVisible(index, available);
}

void ProtectionController::buttonShutSetClick() {
    const ShutdownConfig c = tab_->config();
    const bool kept = !context_.profile || saveShutdownConfig(*context_.profile, c);
    tab_->setResult(protectText(kept ? ProtectText::SettingsKept : ProtectText::SettingsNotSaved, context_.language));
    if (!kept) tellUser(protectText(ProtectText::SettingsNotSaved, context_.language));
    loaded_ = c;
    policy_.load(c);
    note(QStringLiteral("shutdown settings confirmed: %1, utility %2 min, battery %3 min")
             .arg(c.enabled ? QStringLiteral("on") : QStringLiteral("off"))
             .arg(c.utilityMinutes)
             .arg(c.batteryMinutes));
}

void ProtectionController::standDown() {
    stoodDown_ = true;
    timer_->stop();
    formCountDown_->closeByPolicy();
    formUpsOff_->closeByPolicy();
    note(QStringLiteral("program ending: the protection stops, nothing is started"));
}

QDateTime ProtectionController::wallTime(qint64 steadySeconds) const {
    if (!steady_.isValid()) return QDateTime::currentDateTime().addSecs(steadySeconds);
    return wallAtStart_.addSecs(steadySeconds);
}

void ProtectionController::showPlaced(QDialog* w) {
    if (w->isVisible()) return;
    w->adjustSize();
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QVector<QRect> avoid{boxArea(window_->frameGeometry(), kBoxSize)};
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != w && top != window_ && top->isVisible() && qobject_cast<QDialog*>(top))
                avoid << top->frameGeometry();
        w->move(placeClear(screen->availableGeometry(), w->frameGeometry().size(), avoid));
    }
    w->show();
    w->raise();
}

void ProtectionController::showSwitchOff(const PendingSwitchOff& upsOff) {
    const QDateTime at = upsOff.pending ? wallTime(upsOff.at) : QDateTime();
    formCountDown_->setUpsOff(at, upsOff.secondsLeft);
    // After the event: the warning of its own stays until the order's time has passed.
    if (upsOff.pending && upsOff.eventGone) {
        formUpsOff_->setDue(at, upsOff.secondsLeft);
        showPlaced(formUpsOff_);
    } else if (formUpsOff_->isVisible()) {
        formUpsOff_->closeByPolicy();
    }
}

void ProtectionController::timerShutdownTimer() {
    if (stoodDown_) return;
    UpsSession* s = context_.scheduler;
    PolicyInputs in;
    in.linkOk = s && s->linkOk();
    in.enabled = tab_->enabledTicked();
    in.utilityUpsOff = tab_->utilityUpsTicked();
    in.batteryUpsOff = tab_->batteryUpsTicked();
    if (s) {
        in.inputFail = s->live().LiveStatus[kStatusInputFail];
        in.batteryLow = s->live().LiveStatus[kStatusBatteryLow];
    }
    in.windowVisible = formCountDown_->isVisible();
    in.now = clock_();
    PolicyActions a = policy_.secondTick(in);
    for (const QString& reason : a.reasons) note(reason);
    for (const QString& warning : a.warnings) note(warning, true);

    for (uint16_t delay : a.upsOffDelays)
        if (!s || !s->startControlCommand(ShutdownPolicy::kUpsOffRegister, delay)) {
            note(QStringLiteral("port closed: the UPS switch-off was not sent"), true);
            policy_.switchOffNotSent();
            a.upsOff = PendingSwitchOff{};
        }

    // The texts first: the window is placed at the size it shows them in.
    formCountDown_->setHeld(a.held);
    showSwitchOff(a.upsOff);
    if (a.window == WindowAction::Show) {
        showPlaced(formCountDown_);
    } else if (a.window == WindowAction::Close) {
        formCountDown_->closeByPolicy();
    }
    if (a.windowSeconds >= 0) formCountDown_->setSeconds(a.windowSeconds);

    if (a.startSequence) startSequence();
    sequence_->secondTick();
}

void ProtectionController::startSequence() {
    SequenceSetup setup;
    setup.runProgram = loaded_.runProgram;
    setup.programLine = loaded_.programLine;
    setup.programWaitSeconds = loaded_.maxRunMinutes * 60;
    setup.closeApps = loaded_.saveFiles;
    setup.companionProgram = options_.companionProgram;
    // The companion leaves this program's own windows alone and gives up on the others in time.
    const int closeWait = std::max(5, options_.companionWaitSeconds - 15);
    setup.companionArguments = {QStringLiteral("--record"), options_.closeRecordPath, QStringLiteral("--exclude-pid"),
                                QString::number(QCoreApplication::applicationPid()), QStringLiteral("--wait"),
                                QString::number(closeWait)};
    setup.companionWaitSeconds = options_.companionWaitSeconds;
    sequence_->start(setup);
}

void ProtectionController::formActivate() {
    if (options_.closeRecordPath.isEmpty()) return;
    // The confirmed choice in ZAV.ini counts: at start-up the tab is not loaded yet (the model is
    // known only once connected), and the record is meant for exactly that moment.
    const bool wanted = tab_->showSavedFilesTicked() ||
                        (context_.profile && loadShutdownConfig(*context_.profile).showSavedFiles);
    ProfileFile record(options_.closeRecordPath);
    if (!takeCloseRecordNotice(record, wanted)) return;
    fmCloseFile_->fill(options_.closeRecordPath);
    fmCloseFile_->open();
}

bool ProtectionController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, &ProtectionController::formActivate);
    return QObject::eventFilter(watched, event);
}

} // namespace zav
