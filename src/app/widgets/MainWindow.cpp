#include "app/widgets/MainWindow.h"
#include "monitor/widgets/StatusStrip.h"

#include "foundation/Branding.h"
#include "pagekit/ButtonMnemonics.h"
#include "session/ButtonStates.h"
#include "session/TimingProfile.h"
#include "pagekit/ClickLabel.h"
#include "pagekit/FlowLayout.h"
#include "app/widgets/FormPassword.h"
#include "pagekit/LockPanel.h"
#include "app/widgets/PageFactory.h"
#include "app/widgets/ScanDialog.h"
#include "pagekit/UserDialogs.h"
#include "link/LinkTypes.h"
#include "foundation/WindowFit.h"
#include "session/UpsSession.h"
#include "monitor/widgets/AlarmBeeper.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QSessionManager>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>

// Resources of a static library are registered by hand.
static void initShellResources() { Q_INIT_RESOURCE(zav); }

namespace zav {

namespace {

// EditUpsAddr takes at the key only what can still become an address (addressInput).
class UpsAddressValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& text, int&) const override {
        switch (addressInput(text)) {
        case AddressInput::Acceptable: return Acceptable;
        case AddressInput::Intermediate: return Intermediate;
        case AddressInput::Invalid: return Invalid;
        }
        return Invalid;
    }
};

constexpr int kWindowWidth = 1024; // the first size, as far as the screen allows
constexpr int kWindowHeight = 740;
// The window can shrink to small laptop screens: the pages scroll instead.
constexpr int kMinWindowWidth = 640;
constexpr int kMinWindowHeight = 480;
const char* const kGeometryKeys[] = {"Left", "Top", "Width", "Height"};
constexpr int kHotSpotSize = 25;
const char* const kBaudBoxItems[] = {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "Auto"};
const char* const kScrollBoxesToReset[] = {"ScrollBox1", "ScrollBox2", "ScrollBox3"};

QString formText(const char* text) { return QCoreApplication::translate("Form1", text); }

QPixmap svgPixmap(const char* path, int w, int h) {
    return QIcon(QString::fromLatin1(path)).pixmap(w, h);
}

} // namespace

MainWindow::MainWindow(SerialChannel& channel, ShellOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), dialogs_(*options_.dialogs),
      profile_(options_.profilePath),
      passwords_(profile_, brandingDefaultPassword()), // FormCreate 1: branding row and column
      satellites_(options_.satelliteBase), channel_(channel) {
    initShellResources();
    setObjectName(QStringLiteral("Form1"));
    if (!options_.pageFactory) options_.pageFactory = createPage;
    if (!options_.listPorts) options_.listPorts = [] { return QStringList(); };

    scheduler_ = new UpsSession(channel, this);
    scheduler_->setTiming(readTimingOptions(profile_));
    context_.scheduler = scheduler_;
    context_.profile = &profile_;
    alarmSelection_.load(profile_);
    context_.alarms = &alarmSelection_;

    // FormCreate 2: the tray icon.
    buildTray();

    // FormCreate 4, 5, 6: ZAV.ini, language, stored password.
    const QString stored = profile_.exists()
                               ? profile_.readString(QStringLiteral("LanguageSet"), QStringLiteral("Language"),
                                                     QString::fromLatin1(kLanguageUnset))
                               : QString::fromLatin1(kLanguageUnset);
    language_ = startLanguage(stored, options_.systemLocale);
    context_.language = language_;
    passwords_.load();
    satellites_.load(languageLocaleId(language_)); // captions come from it when it exists
    qtTexts_.load(languageLocaleId(language_));

    // The window: header, tree and pages, connection bar, status bar.
    setWindowIcon(QIcon(QStringLiteral(":/icons/zav.svg")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader(central));

    auto* middle = new QWidget(central);
    auto* middleLayout = new QHBoxLayout(middle);
    middleLayout->setContentsMargins(6, 6, 6, 6);
    treeView1_ = new QTreeWidget(middle);
    treeView1_->setObjectName(QStringLiteral("TreeView1"));
    treeView1_->setHeaderHidden(true);
    treeView1_->setRootIsDecorated(false);
    treeView1_->setFixedWidth(150);
    treeView1_->setIndentation(8);
    treeView1_->setStyleSheet(QStringLiteral("QTreeWidget::item { height: 28px; }"));
    for (int i = 0; i < kPageCount; ++i) treeView1_->addTopLevelItem(new QTreeWidgetItem);
    pageControl1_ = new QStackedWidget(middle);
    pageControl1_->setObjectName(QStringLiteral("PageControl1"));
    middleLayout->addWidget(treeView1_);
    middleLayout->addWidget(pageControl1_, 1);
    layout->addWidget(middle, 1);
    buildPages();
    if (auto* strip = findChild<StatusStrip*>()) {
        connect(strip, &StatusStrip::summaryShown, this, &MainWindow::showTrayStatus);
        showTrayStatus(strip->summary(), language_);
    }

    layout->addWidget(buildConnectionBar(central));
    setCentralWidget(central);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    statusLink_ = new QLabel(bar);
    statusLink_->setObjectName(QStringLiteral("StatusPanel0"));
    statusLink_->setFixedWidth(130);
    statusTime_ = new QLabel(bar);
    statusTime_->setObjectName(QStringLiteral("StatusPanel1"));
    statusTime_->setFixedWidth(150);
    bar->addWidget(statusLink_);
    bar->addWidget(statusTime_);
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    restoreWindowGeometry();

    retranslateForm();
    connect(treeView1_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) treeView1Change(treeView1_->indexOfTopLevelItem(item));
    });

    // FormCreate 7: tree captions.
    setTreeCaptions(language_);
    treeView1_->setCurrentItem(treeView1_->topLevelItem(0));

    // FormCreate 8: port lists, first item selected.
    timerGetComPort_ = new QTimer(this);
    timerGetComPort_->setObjectName(QStringLiteral("TimerGetComPort"));
    timerGetComPort_->setInterval(2000);
    connect(timerGetComPort_, &QTimer::timeout, this, &MainWindow::timerGetComPortTimer);
    comboBox2_->addItems(options_.listPorts());
    comboBox2_->setCurrentIndex(comboBox2_->count() > 0 ? 0 : -1);
    timerGetComPort_->start();

    // The scheduler's notifications (its own state is initialised by its constructor).
    timerNoAnswer_ = new QTimer(this);
    timerNoAnswer_->setObjectName(QStringLiteral("TimerNoAnswer"));
    timerNoAnswer_->setSingleShot(true);
    timerNoAnswer_->setInterval(kNoAnswerMs);
    connect(timerNoAnswer_, &QTimer::timeout, this, &MainWindow::noAnswerCheck);
    connect(scheduler_, &UpsSession::linkStateChanged, this, [this] {
        if (scheduler_->linkOk()) statusBar()->clearMessage();
        stsBarDeal();
        stsConnectDeal();
        updateButtonStatesIfChanged();
    });
    connect(scheduler_, &UpsSession::buttonsRefreshDue, this, &MainWindow::updateButtonStates);
    connect(scheduler_, &UpsSession::baudFound, this, [this](int item) { comboBox1_->setCurrentIndex(item); });
    connect(scheduler_, &UpsSession::modelDetected, this, &MainWindow::onModelDetected);
    connect(scheduler_, &UpsSession::modelRejected, this, &MainWindow::onModelRejected);
    connect(scheduler_, &UpsSession::modelChosenOffline, this, &MainWindow::onModelDetected);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTickMs);
    connect(timer1_, &QTimer::timeout, scheduler_, &UpsSession::tick);
    // The clock runs on Timer1 itself: the scheduler's end-of-tick signal is left out while a model
    // detection is pending, which a refused connect (a wrong address with the model box on Auto)
    // leaves behind. stsBarDeal formats only once a second.
    connect(timer1_, &QTimer::timeout, this, &MainWindow::stsBarDeal);
    timer1_->start();

    // TimerBeeper and btBeeper: the alarm events, their warning boxes and their sound.
    new AlarmBeeper(context_, this, defaultToneGenerator());

    // The end of the desktop session: say so, then let it end.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (manager.allowsInteraction()) {
            dialogs_.inform(this, QString::fromLatin1(kSessionEndMessage));
            manager.release();
        }
        exiting_ = true;
    });

    // FormCreate 12.
    formStrInit(language_);
    refreshPages();
    stsBarDeal();
    stsConnectDeal();
    updateButtonStates();
}

MainWindow::~MainWindow() {
    // FormDestroy: the port is released and the icon leaves the notification area.
    if (scheduler_->portOpen()) scheduler_->disconnectLink();
    if (tray_) tray_->hide();
    // Children go in the order they were added, and pages unhook their jobs from the scheduler
    // when they go: move the scheduler to the end so it outlives every page and helper.
    scheduler_->setParent(nullptr);
    scheduler_->setParent(this);
}

QWidget* MainWindow::buildHeader(QWidget* parent) {
    auto* header = new QFrame(parent);
    header->setObjectName(QStringLiteral("PanelHeader"));
    header->setFixedHeight(64);
    header->setAutoFillBackground(true);
    header->setStyleSheet(QStringLiteral(
        "#PanelHeader { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #14508f, stop:1 #2f7fd8); }"
        "#PanelHeader QToolButton { border: none; }"
        "#PanelHeader QToolButton:hover { background: rgba(255,255,255,40); border-radius: 4px; }"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(12, 2, 12, 2);

    imageCustomerLogo_ = new QLabel(header);
    imageCustomerLogo_->setObjectName(QStringLiteral("ImageCustomerLogo"));
    imageCustomerLogo_->setPixmap(svgPixmap(":/icons/logo.svg", 300, 60));
    image8_ = new QLabel(header);
    image8_->setObjectName(QStringLiteral("Image8"));
    image8_->setPixmap(svgPixmap(":/icons/zav.svg", 48, 48));
    image1_ = new QLabel(header);
    image1_->setObjectName(QStringLiteral("Image1"));
    imageEnglandFlag_ = new QLabel(header);
    imageEnglandFlag_->setObjectName(QStringLiteral("ImageEnglandFlag"));

    auto makeLanguageLabel = [header](const char* name, void (MainWindow::*click)(), MainWindow* self) {
        auto* label = new ClickLabel(header);
        label->setObjectName(QString::fromLatin1(name));
        label->setCursor(Qt::PointingHandCursor);
        QObject::connect(label, &ClickLabel::clicked, self, click);
        QObject::connect(label, &ClickLabel::entered, label, [label] { setHoverColour(label, true); });
        QObject::connect(label, &ClickLabel::left, label, [label] { setHoverColour(label, false); });
        return label;
    };
    labelChinese_ = makeLanguageLabel("LabelChinese", &MainWindow::labelChineseClick, this);
    labelEnglish_ = makeLanguageLabel("LabelEnglish", &MainWindow::labelEnglishClick, this);
    labelCHT_ = makeLanguageLabel("LabelCHT", &MainWindow::labelCHTClick, this);
    labelChinese_->setText(QStringLiteral("简体中文"));
    labelEnglish_->setText(QStringLiteral("English"));
    labelCHT_->setText(QStringLiteral("繁體中文"));
    // Traditional Chinese is reached only through ZAV.ini: its label is off by design.
    labelCHT_->setVisible(false);
    labelCHT_->setEnabled(false);

    speedButtonSysSet_ = new QToolButton(header);
    speedButtonSysSet_->setObjectName(QStringLiteral("SpeedButtonSysSet"));
    speedButtonSysSet_->setIcon(QIcon(QStringLiteral(":/icons/settings.svg")));
    speedButtonSysSet_->setIconSize(QSize(28, 28));
    connect(speedButtonSysSet_, &QToolButton::clicked, this, &MainWindow::openSoftwareSettings);

    row->addWidget(image8_);
    row->addWidget(imageCustomerLogo_);
    row->addStretch();
    row->addWidget(image1_);
    row->addWidget(labelChinese_);
    row->addWidget(imageEnglandFlag_);
    row->addWidget(labelEnglish_);
    row->addWidget(labelCHT_);
    row->addSpacing(16);
    row->addWidget(speedButtonSysSet_);
    return header;
}

void MainWindow::buildPages() {
    for (int i = 0; i < kPageCount; ++i) {
        // Each page sits in a holder that also carries what lies over it (lock panel, hot spot). The
        // holder scrolls when the window is smaller than the page needs; the page keeps its layout.
        auto* scroll = new QScrollArea(pageControl1_);
        scroll->setObjectName(QStringLiteral("PageScroll%1").arg(i));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto* host = new QWidget;
        auto* hostLayout = new QVBoxLayout(host);
        hostLayout->setContentsMargins(0, 0, 0, 0);
        ZavPage* page = options_.pageFactory(i, context_, host);
        if (!page) page = createPage(i, context_, host);
        hostLayout->addWidget(page);
        pages_.append(page);
        hosts_.append(host);
        scroll->setWidget(host);
        pageControl1_->addWidget(scroll);
    }
    for (const LockNames& names : kLocks) {
        auto* panel = new LockPanel(names, passwords_, hosts_[names.page], &unlockThrottle_);
        locks_.insert(names.page, panel);
        connect(panel, &LockPanel::openedWithFactoryPassword, this, &MainWindow::suggestOwnPassword);
        connect(panel, &LockPanel::unlocked, this, [this, index = names.page] {
            if (ZavPage* p = page(index)) p->pageShown();
        });
    }
    // The hot spot near the top right of the home page.
    QWidget* home = hosts_[0];
    auto* hotSpot = new ClickLabel(home);
    hotSpot->setObjectName(QStringLiteral("Label100"));
    hotSpot->setFixedSize(kHotSpotSize, kHotSpotSize);
    connect(hotSpot, &ClickLabel::doubleClicked, this, &MainWindow::label100DblClick);
    label100_ = hotSpot;
    home->installEventFilter(this);
}

QWidget* MainWindow::buildConnectionBar(QWidget* parent) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(QStringLiteral("PanelConnect"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* row = new FlowLayout(bar);
    row->setContentsMargins(10, 6, 10, 6);

    auto label = [bar](const char* name) {
        auto* l = new QLabel(bar);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    labelUpsType_ = label("LabelUpsType");
    labelBaud_ = label("LabelBaud");
    labelPort_ = label("LabelPort");
    labelProto_ = label("LabelProto");
    labelAddr_ = label("LabelAddr");

    comboBoxUpsType_ = new QComboBox(bar);
    comboBoxUpsType_->setObjectName(QStringLiteral("ComboBoxUpsType"));
    comboBoxUpsType_->addItems(brandingModelItems());
    comboBoxUpsType_->setCurrentIndex(0);
    comboBoxUpsType_->setMinimumWidth(190);
    comboBox1_ = new QComboBox(bar);
    comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    for (const char* item : kBaudBoxItems) comboBox1_->addItem(QString::fromLatin1(item));
    comboBox1_->setCurrentIndex(kBaudAutoItem);
    comboBox2_ = new QComboBox(bar);
    comboBox2_->setObjectName(QStringLiteral("ComboBox2"));
    comboBox2_->setEditable(true);
    comboBox2_->setInsertPolicy(QComboBox::NoInsert);
    comboBox2_->setMinimumWidth(150);
    comboBoxProto_ = new QComboBox(bar);
    comboBoxProto_->setObjectName(QStringLiteral("ComboBoxProto"));
    comboBoxProto_->addItems({QStringLiteral("MODBUS_ASCII"), QStringLiteral("MODBUS_RTU")});
    editUpsAddr_ = new QLineEdit(QStringLiteral("1"), bar);
    editUpsAddr_->setObjectName(QStringLiteral("EditUpsAddr"));
    editUpsAddr_->setFixedWidth(48);
    editUpsAddr_->setValidator(new UpsAddressValidator(editUpsAddr_));
    buttonScan_ = new QPushButton(bar);
    buttonScan_->setObjectName(QStringLiteral("ButtonScan"));
    connect(buttonScan_, &QPushButton::clicked, this, &MainWindow::openScanDialog);
    buttonConnect_ = new QPushButton(bar);
    buttonConnect_->setObjectName(QStringLiteral("ButtonConnect"));
    buttonConnect_->setMinimumWidth(90);
    connect(buttonConnect_, &QPushButton::clicked, this, &MainWindow::buttonConnectClick);
    imageConned_ = label("ImageConned");
    imageConned_->setPixmap(svgPixmap(":/icons/link-on.svg", 24, 24));
    imageDisConn_ = label("ImageDisConn");
    imageDisConn_->setPixmap(svgPixmap(":/icons/link-off.svg", 24, 24));

    // Each caption stays with its box; in a narrow window the pairs wrap onto a second row rather
    // than hold the window wide, and the link icons with the Connect button keep to the right.
    const auto group = [bar](std::initializer_list<QWidget*> members) {
        auto* holder = new QWidget(bar);
        auto* line = new QHBoxLayout(holder);
        line->setContentsMargins(0, 0, 0, 0);
        for (QWidget* w : members) line->addWidget(w);
        return holder;
    };
    for (QWidget* w : {group({labelUpsType_, comboBoxUpsType_}), group({labelBaud_, comboBox1_}),
                       group({labelPort_, comboBox2_}), group({labelProto_, comboBoxProto_}),
                       group({labelAddr_, editUpsAddr_, buttonScan_}), group({imageConned_, imageDisConn_, buttonConnect_})})
        row->addWidget(w);
    return bar;
}

void MainWindow::buildTray() {
    trayMenu_ = new QMenu(this);
    trayMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    n2_ = trayMenu_->addAction(QString());
    n2_->setObjectName(QStringLiteral("N2"));
    n1_ = trayMenu_->addAction(QString());
    n1_->setObjectName(QStringLiteral("N1"));
    connect(n2_, &QAction::triggered, this, &MainWindow::openSoftwareSettings);
    connect(n1_, &QAction::triggered, this, &MainWindow::exitApplication);
    // The right button first brings the window forward (when it is shown), then the menu opens.
    connect(trayMenu_, &QMenu::aboutToShow, this, [this] {
        if (isVisible()) activateWindow();
    });
    if (!options_.trayAvailable) return; // no notification area: the window stays a plain window
    tray_ = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/zav.svg")), this);
    tray_->setObjectName(QStringLiteral("TrayIcon1"));
    tray_->setToolTip(QString::fromLatin1(kTrayTip));
    tray_->setContextMenu(trayMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this, &MainWindow::trayActivated);
    tray_->show();
}

void MainWindow::showTrayStatus(const UpsSummary& summary, int language) {
    if (!tray_) return;
    // The program's icon with a dot of the state's colour; one icon per state, made once.
    QHash<int, QIcon>& icons = trayIcons_;
    const UpsPowerState shown = summary.gap == DataGap::None ? summary.state : UpsPowerState::NoData;
    if (!icons.contains(int(shown))) {
        QPixmap pixmap = svgPixmap(":/icons/zav.svg", 64, 64);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::white, 3));
        painter.setBrush(StatusStrip::stateColor(shown));
        painter.drawEllipse(QRectF(34, 34, 28, 28));
        painter.end();
        icons.insert(int(shown), QIcon(pixmap));
    }
    tray_->setIcon(icons.value(int(shown)));
    tray_->setToolTip(QString::fromLatin1(kTrayTip) + u'\n' + summaryLine(summary, language));
}

void MainWindow::retranslateForm() {
    labelUpsType_->setText(formText("UPS型号"));
    labelBaud_->setText(formText("波特率"));
    labelPort_->setText(formText("串口"));
    labelProto_->setText(formText("协议"));
    labelAddr_->setText(formText("地址"));
    speedButtonSysSet_->setToolTip(formText("设置"));
    n2_->setText(formText("软件设置"));
    n1_->setText(formText("退出"));
    for (LockPanel* panel : std::as_const(locks_)) panel->retranslate();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslateForm();
    } else if (event->type() == QEvent::WindowStateChange && trayInUse() && isMinimized()) {
        // Minimising hides the window; the tray icon brings it back.
        QTimer::singleShot(0, this, [this] {
            hide();
            setWindowState(windowState() & ~Qt::WindowMinimized);
        });
    }
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (label100_ && watched == label100_->parent() && event->type() == QEvent::Resize) {
        const QWidget* home = label100_->parentWidget();
        label100_->move(home->width() - kHotSpotSize - 10, 6);
        label100_->raise();
    }
    return QMainWindow::eventFilter(watched, event);
}

ZavPage* MainWindow::page(int index) const {
    return (index >= 0 && index < pages_.size()) ? pages_[index] : nullptr;
}

LockPanel* MainWindow::lock(int page) const { return locks_.value(page, nullptr); }

void MainWindow::setPortText(const QString& port) { comboBox2_->setEditText(port); }

void MainWindow::showPage(int index) {
    if (QTreeWidgetItem* item = treeView1_->topLevelItem(index)) treeView1_->setCurrentItem(item);
}

void MainWindow::setTreeCaptions(int language) {
    for (int i = 0; i < kPageCount; ++i) treeView1_->topLevelItem(i)->setText(0, pageCaption(i, language));
}

void MainWindow::treeView1Change(int index) {
    if (index < 0 || index >= kPageCount) return;
    pageControl1_->setCurrentIndex(index);
    if (index >= 8 && index <= 10) {
        // The settings are read again once the link is idle.
        scheduler_->requestSettingsRefresh();
        updateButtonStates();
    }
    if (ZavPage* p = page(index)) p->pageShown();
    if (LockPanel* panel = lock(index)) panel->focusPassword();
}

// ---- connection bar ----

void MainWindow::setConnectionBarEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{comboBoxUpsType_, comboBoxProto_, editUpsAddr_,
                                                      comboBox1_, comboBox2_})
        w->setEnabled(enabled);
    refreshScanButton();
}

void MainWindow::refreshScanButton() {
    const bool free = !scheduler_->connected();
    buttonScan_->setText(scanText(ScanText::Button, language_));
    buttonScan_->setEnabled(free);
    buttonScan_->setToolTip(scanText(free ? ScanText::ButtonTip : ScanText::ButtonBusyTip, language_));
}

void MainWindow::openScanDialog() {
    if (scheduler_->connected()) return; // the button is off then; a scan needs the port to itself
    if (!scanDialog_) {
        scanDialog_ = new ScanDialog(channel_, language_, this);
        connect(scanDialog_, &ScanDialog::picked, this, &MainWindow::applyScanPick);
    }
    scanDialog_->setLanguage(language_);
    scanDialog_->controller().setLinkConnected(scheduler_->connected());
    scanDialog_->prepare(comboBox2_->currentText().trimmed(), comboBoxProto_->currentIndex(), comboBox1_->currentIndex());
    scanDialog_->open();
}

void MainWindow::applyScanPick(const ScanPick& pick) {
    // The bar takes what the UPS answered with; Connect connects.
    editUpsAddr_->setText(QString::number(pick.address));
    comboBoxProto_->setCurrentIndex(pick.protocol == Protocol::Rtu ? 1 : 0);
    comboBox1_->setCurrentIndex(pick.baudItem);
    if (pick.modelItem > 0) comboBoxUpsType_->setCurrentIndex(pick.modelItem);
}

void MainWindow::buttonConnectClick() {
    if (buttonConnect_->text() != connectCaption(language_)) {
        // Disconnect. A port that went away under the connection ends it the same way.
        endConnection();
        return;
    }
    // The scan dialog is modal, so this cannot come during a scan; if it ever does, the scan gives
    // the port back before the link opens it.
    if (scanDialog_ && scanDialog_->controller().running()) scanDialog_->controller().cancel();
    ConnectRequest request;
    request.modelItem = comboBoxUpsType_->currentIndex();
    request.baudItem = comboBox1_->currentIndex();
    request.portName = comboBox2_->currentText().trimmed();
    request.protocol = comboBoxProto_->currentIndex() == 1 ? Protocol::Rtu : Protocol::Ascii;
    request.addressText = editUpsAddr_->text();
    switch (scheduler_->connectLink(request)) {
    case ConnectResult::WrongAddress:
        dialogs_.inform(this, linkMessageText(LinkMessage::WrongAddress, language_));
        return;
    case ConnectResult::PortOpenFailed:
        formStrInit(language_);
        dialogs_.inform(this, linkMessageText(LinkMessage::PortOpenFailed, language_));
        return;
    case ConnectResult::Connected:
        buttonConnect_->setText(disconnectCaption(language_));
        setConnectionBarEnabled(false);
        formStrInit(language_);
        timerGetComPort_->stop();
        timerNoAnswer_->start();
        return;
    }
}

void MainWindow::endConnection() {
    timerNoAnswer_->stop();
    statusBar()->clearMessage();
    timerGetComPort_->start();
    scheduler_->disconnectLink();
    buttonConnect_->setText(connectCaption(language_));
    setConnectionBarEnabled(true);
    refreshPages();
    stsBarDeal();
    stsConnectDeal();
    updateButtonStates();
}

void MainWindow::onModelDetected(int comboItem) {
    comboBoxUpsType_->setCurrentIndex(comboItem);
    formStrInit(language_);
}

void MainWindow::onModelRejected() {
    // The scheduler has closed the port and cleared the stores.
    comboBoxUpsType_->setCurrentIndex(0);
    timerGetComPort_->start();
    buttonConnect_->setText(connectCaption(language_));
    setConnectionBarEnabled(true);
    formStrInit(language_);
    refreshPages();
    dialogs_.inform(this, linkMessageText(LinkMessage::SelectModel, language_));
}

void MainWindow::refreshPortBox(QComboBox* box) {
    if (!box) return;
    const QStringList ports = options_.listPorts();
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (ports == current) return; // nothing changed: leave the user's typing alone
    const QString text = box->currentText();
    box->clear();
    box->addItems(ports);
    if (!text.isEmpty()) {
        // A typed name, or a port that has gone, stays shown.
        if (box->isEditable())
            box->setEditText(text);
        else
            box->setCurrentIndex(box->findText(text));
    } else {
        box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    }
}

void MainWindow::timerGetComPortTimer() {
    refreshPortBox(comboBox2_);
    refreshPortBox(findChild<QComboBox*>(QStringLiteral("ComboBoxProgram")));
}

// ---- status bar, buttons ----

void MainWindow::stsBarDeal() {
    const bool ok = scheduler_->linkOk() && scheduler_->portOpen();
    const QString linkText = linkStatusText(ok, language_);
    if (statusLink_->text() != linkText) statusLink_->setText(linkText);
    // The clock shows seconds: format it once a second, not on every 50 ms tick.
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 second = now.toSecsSinceEpoch();
    if (second == shownStampSecond_) return;
    shownStampSecond_ = second;
    // The date in the interface language, not the system's: a Chinese window shows a Chinese date.
    const QLocale locale = language_ == LangEN  ? QLocale(QLocale::English, QLocale::UnitedStates)
                           : language_ == LangCN ? QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China)
                                                 : QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
                          locale.toString(now.time(), QStringLiteral("HH:mm:ss"));
    if (statusTime_->text() != stamp) statusTime_->setText(stamp);
}

void MainWindow::noAnswerCheck() {
    if (!scheduler_->connected() || scheduler_->linkOk()) return;
    static const char* const kTexts[] = {
        "UPS无应答（%1，%2，地址 %3，波特率 %4）。请检查连接线、串口、协议、地址和波特率是否与UPS一致。",
        "No answer from the UPS (%1, %2, address %3, %4 baud). Check the cable, the port, and that the "
        "protocol, address and baud rate match the UPS.",
        "UPS無應答（%1，%2，地址 %3，鮑率 %4）。請檢查連接線、串口、協議、地址和鮑率是否與UPS一致。",
    };
    const bool autoBaud = comboBox1_->currentIndex() == kBaudAutoItem;
    const QString baud = autoBaud ? (language_ == LangEN ? QStringLiteral("every") : QStringLiteral("Auto"))
                                  : comboBox1_->currentText();
    statusBar()->showMessage(QString::fromUtf8(kTexts[clampLanguage(language_)])
                                 .arg(comboBox2_->currentText().trimmed(), comboBoxProto_->currentText(),
                                      editUpsAddr_->text(), baud));
}

void MainWindow::stsConnectDeal() {
    const bool ok = scheduler_->linkOk() && scheduler_->portOpen();
    if (imageConned_->isHidden() == ok) imageConned_->setVisible(ok);
    if (imageDisConn_->isHidden() != ok) imageDisConn_->setVisible(!ok);
}

QWidget* MainWindow::findButton(const char* name) {
    const QString key = QString::fromLatin1(name);
    auto it = buttons_.find(key);
    if (it != buttons_.end() && it.value()) return it.value();
    QWidget* w = findChild<QWidget*>(key);
    if (w) buttons_.insert(key, w);
    return w;
}

void MainWindow::updateButtonStatesIfChanged() {
    if (shownButtonInputs_ != buttonInputs()) updateButtonStates();
}

void MainWindow::updateButtonStates() {
    const ButtonInputs in = buttonInputs();
    shownButtonInputs_ = in;
    for (const ButtonState& b : zav::updateButtonStates(in)) {
        if (b.enable == ButtonEnable::Keep) continue;
        if (QWidget* w = findButton(b.name)) w->setEnabled(b.enable == ButtonEnable::Enabled);
    }
    // Captions change with the states (Connect/Disconnect, Download/Cancel): mark them again.
    markButtonMnemonics(this, language_ == LangEN);
}

ButtonInputs MainWindow::buttonInputs() const {
    const LiveStores& live = scheduler_->live();
    ButtonInputs in;
    in.activity = scheduler_->activity();
    in.linkOk = scheduler_->linkOk();
    in.portOpen = scheduler_->portOpen();
    in.upsModel = scheduler_->upsModel();
    in.justConnected = scheduler_->justConnected();
    in.moduleCount = live.modules.count;
    in.calibrationFlags = live.LiveData[71];
    in.cabinetStatus = live.LiveStatus[81];
    in.systemCode1 = scheduler_->settings().SettingData[329];
    return in;
}

// ---- languages ----

void MainWindow::applyBranding(int language) {
    const BrandingColumn& column = brandingColumn();
    const QString title = brandingTitle(language);
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);
    imageCustomerLogo_->setVisible(column.customerLogo);
    image8_->setVisible(column.makerHeader);
    for (QWidget* w : std::initializer_list<QWidget*>{image1_, imageEnglandFlag_, labelChinese_, labelEnglish_})
        w->setVisible(column.languageLabels);
    const int selected = comboBoxUpsType_->currentIndex();
    comboBoxUpsType_->clear();
    comboBoxUpsType_->addItems(brandingModelItems());
    comboBoxUpsType_->setCurrentIndex(selected);
}

void MainWindow::formStrInit(int language) {
    language_ = clampLanguage(language);
    context_.language = language_;
    for (LockPanel* panel : std::as_const(locks_)) panel->setLanguage(language_);
    editUpsAddr_->setToolTip(addressRangeText(language_));
    applyBranding(language_);
    buttonConnect_->setText(scheduler_->connected() ? disconnectCaption(language_) : connectCaption(language_));
    refreshScanButton();
    if (scanDialog_) scanDialog_->setLanguage(language_);
    for (ZavPage* p : std::as_const(pages_)) p->applyLanguage(language_); // the pages' own texts
    scheduler_->resetLinkState();
    resetScrollBoxes();
    buttons_.clear(); // pages may have rebuilt their rows
    markButtonMnemonics(this, language_ == LangEN);
}

void MainWindow::resetScrollBoxes() {
    for (const char* name : kScrollBoxesToReset) {
        if (auto* box = findChild<QScrollArea*>(QString::fromLatin1(name))) {
            box->verticalScrollBar()->setValue(0);
            box->horizontalScrollBar()->setValue(0);
        }
    }
}

void MainWindow::refreshPages() {
    for (ZavPage* p : std::as_const(pages_)) p->refresh();
}

void MainWindow::rereadWindows() {
    // Every window takes its captions from the language file again; the locks close again.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        QEvent event(QEvent::LanguageChange);
        QCoreApplication::sendEvent(w, &event);
    }
    for (LockPanel* panel : std::as_const(locks_)) panel->relock();
}

void MainWindow::switchLanguage(int target) {
    if (!satellites_.load(languageLocaleId(target))) return; // refused silently
    qtTexts_.load(languageLocaleId(target));
    if (scheduler_->connected() || scheduler_->portOpen()) scheduler_->disconnectLink();
    timerNoAnswer_->stop();
    statusBar()->clearMessage();
    timerGetComPort_->start();
    rereadWindows();
    formStrInit(target);
    setConnectionBarEnabled(true);
    refreshPages();
    setTreeCaptions(target);
    profile_.writeString(QStringLiteral("LanguageSet"), QStringLiteral("Language"), languageText(target));
    shownStampSecond_ = -1; // the date is written again in the new language
    stsBarDeal();
    updateButtonStates();
}

void MainWindow::labelChineseClick() { switchLanguage(LangCN); }
void MainWindow::labelEnglishClick() { switchLanguage(LangEN); }
void MainWindow::labelCHTClick() { switchLanguage(LangCHT); }

void MainWindow::label100DblClick() {
    if (language_ != LangCN)
        labelChineseClick();
    else
        labelEnglishClick();
}

// ---- window size and position ----

void MainWindow::restoreWindowGeometry() {
    const QString section = QStringLiteral("Window");
    QRect stored;
    bool complete = true;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const QString key = QString::fromLatin1(kGeometryKeys[i]);
        complete = complete && profile_.valueExists(section, key);
        values[i] = profile_.readInteger(section, key, 0);
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (complete) {
        stored = QRect(values[0], values[1], values[2], values[3]);
        // The screen it was on may be gone (a projector, a docking station): then the primary one.
        if (QScreen* at = QGuiApplication::screenAt(stored.center())) screen = at;
    }
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, kWindowWidth, kWindowHeight);
    const QSize size = complete ? stored.size() : QSize(kWindowWidth, kWindowHeight);
    // The stored Left/Top are the frame's corner (QWidget::pos of a window). The frame is not known
    // before the window is shown: room for one is kept, and fitToFrame corrects it once known.
    const QMargins frame = kAssumedFrame;
    const QPoint frameCorner(frame.left(), frame.top());
    const QRect client = fitFrame(avail, size,
                                  complete ? std::optional<QPoint>(stored.topLeft() + frameCorner) : std::nullopt,
                                  frame, minimumSize());
    resize(client.size());
    if (complete) move(client.topLeft() - frameCorner); // else the window manager places it
    restoredGeometry_ = QRect(pos(), client.size());
}

void MainWindow::fitToFrame() {
    // Once the window manager has framed the window: if the frame sticks out of the available area
    // (a thicker title bar than assumed), the size and place chosen at start are fitted again with
    // the real frame. A size the user (or a program) set since is left alone.
    if (frameChecked_ || isMaximized() || isFullScreen() || !isVisible()) return;
    const QRect outer = frameGeometry(), inner = geometry();
    if (outer == inner) return; // not framed (yet)
    frameChecked_ = true;
    QScreen* at = screen();
    if (!at || size() != restoredGeometry_.size()) return;
    const QRect avail = at->availableGeometry();
    if (avail.contains(outer)) return;
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    const QRect client = fitFrame(avail, size(), inner.topLeft(), frame, minimumSize());
    const QPoint corner = client.topLeft() - QPoint(frame.left(), frame.top());
    resize(client.size());
    move(corner);
    restoredGeometry_ = QRect(corner, client.size()); // our fit is no choice of the user's
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (!frameChecked_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                           event->type() == QEvent::Show))
        QTimer::singleShot(0, this, &MainWindow::fitToFrame);
    return handled;
}

void MainWindow::saveWindowGeometry() {
    // Only a size or place the user chose is written: a plain start and close leaves ZAV.ini alone.
    if (isMinimized() || isMaximized() || isFullScreen()) return;
    const QRect now(pos(), size());
    if (now == restoredGeometry_) return;
    const int values[4] = {now.x(), now.y(), now.width(), now.height()};
    for (int i = 0; i < 4; ++i)
        profile_.writeInteger(QStringLiteral("Window"), QString::fromLatin1(kGeometryKeys[i]), values[i]);
    restoredGeometry_ = now;
}

// ---- tray, settings, closing ----

void MainWindow::openSoftwareSettings() {
    if (!formPassword_) return;
    // Modal to the main window only: the countdown, a window of its own, keeps its input.
    formPassword_->setWindowModality(Qt::WindowModal);
    formPassword_->show();
    formPassword_->raise();
    formPassword_->activateWindow();
}

void MainWindow::suggestOwnPassword() {
    // Everyone who has the manual knows the factory password: once a run, offer the dialog that
    // replaces it. The page stays open whatever the answer.
    if (factoryPasswordAsked_) return;
    factoryPasswordAsked_ = true;
    dialogs_.askYesNo(this, factoryPasswordQuestion(language_), [this](bool yes) {
        if (yes) openSoftwareSettings();
    });
}

void MainWindow::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) {
        show();
        raise();
        activateWindow();
    }
}

void MainWindow::exitApplication() {
    saveWindowGeometry();
    exiting_ = true;
    emit quitRequested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveWindowGeometry();
    if (exiting_ || !trayInUse()) {
        event->accept();
        emit quitRequested();
        return;
    }
    const QString section = QStringLiteral("Window"), key = QStringLiteral("ExitToPallet");
    if (!profile_.valueExists(section, key)) {
        // Asked once: the answer is stored and used from then on. The window stays until it comes.
        event->ignore();
        if (trayQuestionOpen_) return;
        trayQuestionOpen_ = true;
        dialogs_.askYesNo(this, trayQuestion(language_), [this, section, key](bool toTray) {
            trayQuestionOpen_ = false;
            profile_.writeBool(section, key, toTray);
            if (toTray) {
                hide();
            } else {
                exiting_ = true;
                emit quitRequested();
            }
        });
        return;
    }
    if (profile_.readBool(section, key, true)) {
        event->ignore();
        hide();
        return;
    }
    event->accept();
    emit quitRequested();
}

} // namespace zav
