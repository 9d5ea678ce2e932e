#include "flash/widgets/FwProgramPage.h"

#include "foundation/AppTexts.h"
#include "foundation/BoundedFile.h"
#include "foundation/InstallLayout.h"
#include "foundation/ProfileFile.h"
#include "flash/FlashFile.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace zav {

namespace {

const QString kSection = QStringLiteral("Program Config");
constexpr int kRunTickMs = 1000;
constexpr int kUpgradeTickMs = 50;

QString hexFieldName(int i) {
    return i < 8 ? QStringLiteral("EditKey%1").arg(i) : QStringLiteral("EditID%1").arg(i - 8);
}

QWidget* windowChild(QWidget* page, const char* name) {
    return page->window()->findChild<QWidget*>(QString::fromLatin1(name));
}

void openMessageBox(QWidget* parent, const QString& text, bool warning, const QString& caption) {
    // Window-modal and not waited for: the timers and the ports keep running behind it.
    auto* box = new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                                warning ? caption : QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

FwProgramPage::FwProgramPage(AppContext& context, FlashPageHooks hooks, QWidget* parent)
    : ZavPage(context, parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("FwProgram"));
    if (!hooks_.showMessage) hooks_.showMessage = openMessageBox;
    if (!hooks_.listPorts) hooks_.listPorts = &QtSerialChannel::availablePorts;
    if (!hooks_.pollTimer)
        hooks_.pollTimer = [this] { return window()->findChild<QTimer*>(QStringLiteral("Timer1")); };
    if (!hooks_.portRefreshTimer)
        hooks_.portRefreshTimer = [this] { return window()->findChild<QTimer*>(QStringLiteral("TimerGetComPort")); };
    if (!hooks_.connectButton) hooks_.connectButton = [this] { return windowChild(this, "ButtonConnect"); };
    if (!hooks_.linkChoices) {
        hooks_.linkChoices = [this] {
            ConnectRequest r;
            if (auto* box = qobject_cast<QComboBox*>(windowChild(this, "ComboBoxUpsType"))) r.modelItem = box->currentIndex();
            if (auto* box = qobject_cast<QComboBox*>(windowChild(this, "ComboBox1"))) r.baudItem = box->currentIndex();
            if (auto* box = qobject_cast<QComboBox*>(windowChild(this, "ComboBox2"))) r.portName = box->currentText().trimmed();
            if (auto* box = qobject_cast<QComboBox*>(windowChild(this, "ComboBoxProto")))
                r.protocol = box->currentIndex() == 1 ? Protocol::Rtu : Protocol::Ascii;
            if (auto* edit = qobject_cast<QLineEdit*>(windowChild(this, "EditUpsAddr"))) r.addressText = edit->text();
            return r;
        };
    }
    LinkHandover& handover = *this; // private base: converted here, where it is accessible
    logo_ = std::make_unique<LogoUpload>(comPort2_, handover);

    pageControl4_ = new QTabWidget(this);
    pageControl4_->setObjectName(QStringLiteral("PageControl4"));
    tabSheet22_ = buildProgramTab();
    tabSheetUpgrade_ = buildUpgradeTab();
    pageControl4_->addTab(tabSheet22_, QString());
    pageControl4_->addTab(tabSheetUpgrade_, QString());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pageControl4_);

    timerProgram_ = new QTimer(this);
    timerProgram_->setObjectName(QStringLiteral("TimerProgram"));
    timerProgram_->setInterval(kRunTickMs);
    timerProgCnt_ = new QTimer(this);
    timerProgCnt_->setObjectName(QStringLiteral("TimerProgCnt"));
    timerProgCnt_->setInterval(kRunTickMs);
    timerUpgrade_ = new QTimer(this);
    timerUpgrade_->setObjectName(QStringLiteral("TimerUpgrade"));
    timerUpgrade_->setInterval(kUpgradeTickMs);
    connect(timerProgram_, &QTimer::timeout, &programmer_, &DspProgrammer::pingTick);
    connect(timerProgCnt_, &QTimer::timeout, this, [this] { programmer_.secondTick(comm1_.sending()); });
    connect(timerUpgrade_, &QTimer::timeout, logo_.get(), &LogoUpload::tick);
    timerProgCnt_->start();

    // The run's outputs.
    connect(&programmer_, &DspProgrammer::sendDue, this, [this](const QByteArray& b) { comm1_.queueData(b); });
    connect(&programmer_, &DspProgrammer::baudDue, this, [this](int baud) { comm1_.setBaudRate(baud); });
    connect(&programmer_, &DspProgrammer::pingTimerSwitched, this, [this](bool on) {
        if (on)
            timerProgram_->start();
        else
            timerProgram_->stop();
    });
    connect(&programmer_, &DspProgrammer::runEnded, this, &FwProgramPage::runEnded);
    connect(&programmer_, &DspProgrammer::messageDue, this, &FwProgramPage::showFlashMessage);
    connect(&programmer_, &DspProgrammer::logChanged, this, [this] {
        memoRec_->setPlainText(programmer_.logText());
        memoRec_->verticalScrollBar()->setValue(memoRec_->verticalScrollBar()->maximum());
    });
    connect(&programmer_, &DspProgrammer::progressChanged, progressBarProgram_, &QProgressBar::setValue);
    connect(&programmer_, &DspProgrammer::resetButtonChanged, buttonProgramReset_, &QWidget::setEnabled);
    connect(&comm1_, &ProgramChannel::receiveData, this, &FwProgramPage::comm1ReceiveData);
    connect(&comm1_, &ProgramChannel::requestHangup, &programmer_, &DspProgrammer::portFailed);

    // The upload's outputs.
    connect(logo_.get(), &LogoUpload::messageDue, this, &FwProgramPage::showLogoMessage);
    connect(logo_.get(), &LogoUpload::progressChanged, advProgressUpLogo_, &QProgressBar::setValue);
    connect(logo_.get(), &LogoUpload::started, this, [this] {
        buttonUpLogo_->setEnabled(false);
        if (QWidget* b = hooks_.connectButton()) b->setEnabled(false);
        timerUpgrade_->start();
    });
    connect(logo_.get(), &LogoUpload::ended, this, [this] {
        timerUpgrade_->stop();
        if (QWidget* b = hooks_.connectButton()) b->setEnabled(true);
        buttonUpLogo_->setEnabled(true);
    });

    // Start-up: the port box filled, the saved choices and the first port selected.
    comboBoxProgram_->addItems(hooks_.listPorts());
    comm1_.setBaudRate(DspProgrammer::kLockBaud);
    applyLanguage(context.language);
}

FwProgramPage::~FwProgramPage() {
    comm1_.close();
    comPort2_.close();
}

QLineEdit* FwProgramPage::hexField(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(QStringLiteral("FFFF"), parent);
    edit->setObjectName(name);
    edit->setMaxLength(4);
    edit->setFixedWidth(56);
    // Hex digits only; editing and clipboard keys pass as usual.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), edit));
    return edit;
}

QWidget* FwProgramPage::buildProgramTab() {
    auto* tab = new QWidget(pageControl4_);
    tab->setObjectName(QStringLiteral("TabSheet22"));
    auto caption = [this](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        captions_.append({w, name});
        return w;
    };
    auto* grid = new QGridLayout;
    int row = 0;
    editFilePath_ = new QLineEdit(tab);
    editFilePath_->setObjectName(QStringLiteral("EditFilePath"));
    auto* browse = new QPushButton(tab);
    caption(browse, "ButtonBrowse");
    connect(browse, &QPushButton::clicked, this, &FwProgramPage::buttonBrowseClick);
    grid->addWidget(caption(new QLabel(tab), "LabelFilePath"), row, 0);
    grid->addWidget(editFilePath_, row, 1, 1, 3);
    grid->addWidget(browse, row++, 4);

    comboBoxProgram_ = new QComboBox(tab);
    comboBoxProgram_->setObjectName(QStringLiteral("ComboBoxProgram"));
    comboBoxProgram_->setEditable(true); // a pty or a typed device path works too
    comboBoxProgram_->setInsertPolicy(QComboBox::NoInsert);
    comboBoxBaud_ = new QComboBox(tab);
    comboBoxBaud_->setObjectName(QStringLiteral("ComboBoxBaud"));
    comboBoxBaud_->addItems(programBaudItems());
    comboBoxDspType_ = new QComboBox(tab);
    comboBoxDspType_->setObjectName(QStringLiteral("ComboBoxDspType"));
    comboBoxDspType_->addItems(dspTypeItems());
    comboBoxErase_ = new QComboBox(tab);
    comboBoxErase_->setObjectName(QStringLiteral("ComboBoxErase"));
    grid->addWidget(caption(new QLabel(tab), "LabelProgramPort"), row, 0);
    grid->addWidget(comboBoxProgram_, row, 1);
    grid->addWidget(caption(new QLabel(tab), "LabelProgramBaud"), row, 2);
    grid->addWidget(comboBoxBaud_, row++, 3);
    grid->addWidget(caption(new QLabel(tab), "LabelDspType"), row, 0);
    grid->addWidget(comboBoxDspType_, row, 1);
    grid->addWidget(caption(new QLabel(tab), "LabelErase"), row, 2);
    grid->addWidget(comboBoxErase_, row++, 3);

    auto* keys = new QGroupBox(tab);
    caption(keys, "GroupBoxCSM");
    auto* ids = new QGroupBox(tab);
    caption(ids, "GroupBoxTargetID");
    auto* keyRow = new QHBoxLayout(keys);
    auto* idRow = new QHBoxLayout(ids);
    for (int i = 0; i < 16; ++i) {
        QLineEdit* edit = hexField(hexFieldName(i), i < 8 ? keys : ids);
        (i < 8 ? keyRow : idRow)->addWidget(edit);
        keyFields_.append(edit);
    }
    grid->addWidget(keys, row++, 0, 1, 5);
    grid->addWidget(ids, row++, 0, 1, 5);

    buttonProgram_ = new QPushButton(tab);
    caption(buttonProgram_, "ButtonProgram");
    buttonProgramReset_ = new QPushButton(tab);
    caption(buttonProgramReset_, "ButtonProgramReset");
    buttonProgramReset_->setEnabled(false);
    connect(buttonProgram_, &QPushButton::clicked, this, &FwProgramPage::buttonProgramClick);
    connect(buttonProgramReset_, &QPushButton::clicked, this, &FwProgramPage::buttonProgramResetClick);
    progressBarProgram_ = new QProgressBar(tab);
    progressBarProgram_->setObjectName(QStringLiteral("ProgressBarProgram"));
    progressBarProgram_->setRange(0, 100);
    progressBarProgram_->setValue(0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progressBarProgram_, 1);
    buttons->addWidget(buttonProgram_);
    buttons->addWidget(buttonProgramReset_);

    memoRec_ = new QPlainTextEdit(tab);
    memoRec_->setObjectName(QStringLiteral("MemoRec"));
    memoRec_->setReadOnly(true);
    memoRec_->setFont(QFont(QStringLiteral("Monospace")));

    auto* column = new QVBoxLayout(tab);
    column->addLayout(grid);
    column->addLayout(buttons);
    column->addWidget(memoRec_, 1);

    // Every choice reaches ZAV.ini at once.
    connect(comboBoxBaud_, &QComboBox::currentIndexChanged, this, [this](int i) { saveChoice("ComboBoxBaud", i); });
    connect(comboBoxDspType_, &QComboBox::currentIndexChanged, this, [this](int i) {
        saveChoice("ComboBoxDspType", i);
        comboBoxErase_->setEnabled(i == DspF28035);
    });
    connect(comboBoxErase_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) saveChoice("ComboBoxErase", i);
    });
    return tab;
}

QWidget* FwProgramPage::buildUpgradeTab() {
    auto* tab = new QWidget(pageControl4_);
    tab->setObjectName(QStringLiteral("TabSheetUpgrade"));
    auto* group = new QGroupBox(tab);
    group->setObjectName(QStringLiteral("GroupBoxUpLogo"));
    captions_.append({group, "GroupBoxUpLogo"});
    auto* label = new QLabel(group);
    label->setObjectName(QStringLiteral("LabelChoseLogo"));
    captions_.append({label, "LabelChoseLogo"});
    editChoseLogo_ = new QLineEdit(group);
    editChoseLogo_->setObjectName(QStringLiteral("EditChoseLogo"));
    auto* choose = new QPushButton(group);
    choose->setObjectName(QStringLiteral("ButtonChosLogo"));
    captions_.append({choose, "ButtonChosLogo"});
    buttonUpLogo_ = new QPushButton(group);
    buttonUpLogo_->setObjectName(QStringLiteral("ButtonUpLogo"));
    captions_.append({buttonUpLogo_, "ButtonUpLogo"});
    advProgressUpLogo_ = new QProgressBar(group);
    advProgressUpLogo_->setObjectName(QStringLiteral("AdvProgressUpLogo"));
    advProgressUpLogo_->setRange(0, 100);
    advProgressUpLogo_->setValue(0);
    connect(choose, &QPushButton::clicked, this, &FwProgramPage::buttonChosLogoClick);
    connect(buttonUpLogo_, &QPushButton::clicked, this, &FwProgramPage::buttonUpLogoClick);

    auto* grid = new QGridLayout(group);
    grid->addWidget(label, 0, 0);
    grid->addWidget(editChoseLogo_, 0, 1);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(advProgressUpLogo_, 1, 0, 1, 2);
    grid->addWidget(buttonUpLogo_, 1, 2);
    auto* column = new QVBoxLayout(tab);
    column->addWidget(group);
    column->addStretch();
    return tab;
}

void FwProgramPage::applyLanguage(int language) {
    language_ = language;
    for (const auto& [widget, name] : std::as_const(captions_)) {
        const QString text = flashCaption(name, language);
        if (auto* b = qobject_cast<QPushButton*>(widget))
            b->setText(text);
        else if (auto* l = qobject_cast<QLabel*>(widget))
            l->setText(text);
        else if (auto* g = qobject_cast<QGroupBox*>(widget))
            g->setTitle(text);
    }
    pageControl4_->setTabText(0, flashCaption("TabSheet22", language));
    pageControl4_->setTabText(1, flashCaption("TabSheetUpgrade", language));

    // The erase box in the language, then the three saved choices.
    const QSignalBlocker blockErase(comboBoxErase_);
    comboBoxErase_->clear();
    comboBoxErase_->addItems(eraseItems(language));
    ProfileFile* ini = context_.profile;
    auto saved = [ini](const char* key, int fallback, int count) {
        const int v = ini ? ini->readInteger(kSection, QString::fromLatin1(key), fallback) : fallback;
        return v >= 0 && v < count ? v : fallback;
    };
    {
        const QSignalBlocker b1(comboBoxBaud_), b2(comboBoxDspType_);
        comboBoxBaud_->setCurrentIndex(saved("ComboBoxBaud", kDefaultProgramBaudItem, comboBoxBaud_->count()));
        comboBoxDspType_->setCurrentIndex(saved("ComboBoxDspType", 0, comboBoxDspType_->count()));
    }
    comboBoxErase_->setCurrentIndex(saved("ComboBoxErase", 0, comboBoxErase_->count()));
    comboBoxErase_->setEnabled(comboBoxDspType_->currentIndex() == DspF28035);
    // As at start: the first programming port, the idle watch stopped and Cancel disabled. A run
    // keeps its port and its watch: a stopped watch would leave a silent target with no Cancel.
    if (!programmer_.running()) {
        comboBoxProgram_->setCurrentIndex(comboBoxProgram_->count() > 0 ? 0 : -1);
        comm1_.setCommName(comboBoxProgram_->currentText());
        programmer_.resetIdleWatch();
        buttonProgramReset_->setEnabled(false);
    }
    refresh();
}

void FwProgramPage::refresh() {
    const int model = context_.scheduler ? context_.scheduler->upsModel() : 1;
    const bool logoModels = model >= 0 && model <= 2;
    pageControl4_->setTabVisible(1, logoModels);
}

void FwProgramPage::saveChoice(const char* key, int value) {
    if (context_.profile) context_.profile->writeInteger(kSection, QString::fromLatin1(key), value);
}

void FwProgramPage::setPortRefresh(bool on) {
    if (QTimer* t = hooks_.portRefreshTimer()) {
        if (on && !(context_.scheduler && context_.scheduler->connected()))
            t->start();
        else if (!on)
            t->stop();
    }
}

void FwProgramPage::inform(const QString& text) { hooks_.showMessage(this, text, false, QString()); }

// ---- programming ----

void FwProgramPage::buttonBrowseClick() {
    auto* dialog = new QFileDialog(this, QString(), QFileInfo(editFilePath_->text()).absolutePath(),
                                   QStringLiteral("BIN(*.bin);;LOGO(*.logo);;All(*.*)"));
    dialog->setObjectName(QStringLiteral("OpenDialogFile"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &FwProgramPage::applicationChosen);
    dialog->open();
}

void FwProgramPage::applicationChosen(const QString& path) {
    if (path.isEmpty()) return;
    editFilePath_->setText(path);
    const BoundedRead file = readRegularFile(path, FileLimit::flashImage);
    checksum_ = file.ok() ? fileChecksum(file.bytes) : 0;
    programmer_.fileChosen(checksum_);
}

void FwProgramPage::buttonProgramClick() {
    programmer_.setProgress(0);
    if (context_.scheduler && context_.scheduler->connected()) {
        // The programming run and the UPS link never share a moment; the user disconnects first
        // (the link is left as it is: dropping it unasked would stop the UPS's monitoring).
        inform(linkConnectedText(language_));
        return;
    }
    if (comboBoxProgram_->currentText().trimmed().isEmpty()) {
        inform(commonMessage(MsgPortFailed, language_));
        return;
    }
    if (editFilePath_->text().isEmpty()) {
        inform(commonMessage(18, language_));
        return;
    }
    for (QLineEdit* edit : std::as_const(keyFields_)) {
        if (edit->text().size() != 4) {
            inform(commonMessage(MsgCheckValue, language_));
            return;
        }
    }
    // Both files must be whole boot images before the port opens, as for zavctl: a kernel that
    // takes a wrong file erases the flash and leaves the processor without a program. A missing
    // kernel is said after the first lock ("No Flash API Interface file!").
    QByteArray application;
    const QString kernelName = kernelFileName(comboBoxDspType_->currentIndex(), comboBoxErase_->currentIndex());
    const QString kernelPath =
        hooks_.kernelDir.isEmpty()
            ? programFile(QCoreApplication::applicationDirPath(), ProgramFileKind::Data, kernelName)
            : QDir(hooks_.kernelDir).filePath(kernelName);
    if (!imageWhole(editFilePath_->text(), &application)) return;
    QByteArray kernel;
    if (QFile::exists(kernelPath) && !imageWhole(kernelPath, &kernel)) return;

    comm1_.setCommName(comboBoxProgram_->currentText().trimmed());
    setPortRefresh(false);
    comm1_.setBaudRate(DspProgrammer::kLockBaud);
    try {
        comm1_.open();
    } catch (const CommsError& e) {
        // The refresh of the port lists stays off until the next reset, as the run never started.
        hooks_.showMessage(this, e.text(), true, QStringLiteral("Error"));
        return;
    }
    buttonProgram_->setEnabled(false);
    checksum_ = fileChecksum(application); // the file as it is now (it may have changed since it was chosen)
    ProgramRun run;
    run.applicationPath = editFilePath_->text();
    run.kernelPath = kernelPath;
    run.applicationImage = application;
    run.kernelImage = kernel;
    run.programmingBaud = programBaudRate(comboBoxBaud_->currentIndex());
    for (QLineEdit* edit : std::as_const(keyFields_)) run.keys += edit->text().toLatin1();
    programmer_.start(run, checksum_);
}

bool FwProgramPage::imageWhole(const QString& path, QByteArray* bytes) {
    // Only a regular file of a flash image's size: a device or a FIFO would never end.
    const BoundedRead file = readRegularFile(path, FileLimit::flashImage);
    if (!file.ok()) {
        hooks_.showMessage(this, file.error, true, flashAlarmCaption(language_));
        return false;
    }
    *bytes = file.bytes;
    const BootImageCheck check = checkBootTable(*bytes);
    if (check.whole()) return true;
    hooks_.showMessage(this, imageRefusedText(QFileInfo(path).fileName(), check, language_), true,
                       flashAlarmCaption(language_));
    return false;
}

void FwProgramPage::buttonProgramResetClick() { programmer_.cancel(); }

void FwProgramPage::comm1ReceiveData(const QByteArray& bytes) { programmer_.onChunk(bytes); }

void FwProgramPage::runEnded() {
    comm1_.close();
    buttonProgram_->setEnabled(true);
    setPortRefresh(true);
}

void FwProgramPage::showFlashMessage(FlashMessage row) {
    hooks_.showMessage(this, flashMessageText(row, language_), flashMessageIsWarning(row),
                       flashAlarmCaption(language_));
}

// ---- logo ----

void FwProgramPage::buttonChosLogoClick() {
    auto* dialog = new QFileDialog(this, QString(), QString(), QStringLiteral(".logo(*.logo)"));
    dialog->setObjectName(QStringLiteral("OpenDialogLogoUp"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &FwProgramPage::logoChosen);
    dialog->open();
}

void FwProgramPage::logoChosen(const QString& path) {
    if (!path.isEmpty()) editChoseLogo_->setText(path);
}

void FwProgramPage::buttonUpLogoClick() { logo_->start(editChoseLogo_->text()); }

void FwProgramPage::showLogoMessage(LogoMessage message) { inform(logoMessageText(message, language_)); }

bool FwProgramPage::linkOpen() const { return context_.scheduler && context_.scheduler->portOpen(); }

bool FwProgramPage::startLogoCommand() {
    return context_.scheduler && context_.scheduler->startControlCommand(357, 1);
}

void FwProgramPage::releaseLink() {
    if (QTimer* t = hooks_.pollTimer()) t->stop();
    if (context_.scheduler) {
        linkBaud_ = context_.scheduler->baudValue();
        context_.scheduler->disconnectLink();
    }
}

bool FwProgramPage::restoreLink() {
    UpsSession* s = context_.scheduler;
    if (!s) return false;
    ConnectRequest request = hooks_.linkChoices();
    // The rate the link ran at, even when the bar still says "Auto".
    const auto rate = std::find(kBaudItems.begin(), kBaudItems.end(), linkBaud_);
    if (rate != kBaudItems.end()) request.baudItem = int(rate - kBaudItems.begin());
    const bool ok = s->connectLink(request) == ConnectResult::Connected;
    if (QTimer* t = hooks_.pollTimer()) t->start();
    return ok;
}

QString FwProgramPage::portName() const { return hooks_.linkChoices().portName; }

int FwProgramPage::baudRate() const { return linkBaud_; }

ZavPage* createFlashPage(int index, AppContext& context, QWidget* parent) {
    if (index != 13) return nullptr;
    auto* page = new FwProgramPage(context, FlashPageHooks{}, parent);
    if (context.scheduler)
        QObject::connect(context.scheduler, &UpsSession::modelDetected, page, &FwProgramPage::refresh);
    return page;
}

} // namespace zav
