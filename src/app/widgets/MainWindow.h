#pragma once
// Form1: the main window. Header with the branding and the settings button, the page tree
// TreeView1 and the pages PageControl1, the connection bar, StatusBar1, the poll timer Timer1 that
// drives the scheduler, the port-list refresh, the tray icon, the language switch and the
// enabling of every action button.

#include "foundation/AppTexts.h"
#include "session/ButtonStates.h"
#include "foundation/Passwords.h"
#include "foundation/ProfileFile.h"
#include "app/QtOwnTexts.h"
#include "app/SatelliteLoader.h"
#include "pagekit/ZavPage.h"
#include "settings/AlarmSelection.h"

#include <QHash>
#include <QLocale>
#include "monitor/UpsSummary.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTimer;
class QToolButton;
class QTreeWidget;
class QAction;

namespace zav {

class FormPassword;
class LockPanel;
class UpsSession;
class SerialChannel;
class UserDialogs;
class PowerOff;
class ScanDialog;
struct ScanPick;

using PageFactoryFn = std::function<ZavPage*(int index, AppContext& context, QWidget* parent)>;

struct ShellOptions {
    QString profilePath;                     // ZAV.ini
    QString satelliteBase;                   // the executable's path; language files beside it
    QLocale systemLocale = QLocale::system();
    bool trayAvailable = false;              // a notification area exists
    std::function<QStringList()> listPorts;  // EnumComPorts: device names, sorted
    UserDialogs* dialogs = nullptr;          // message boxes (required)
    PowerOff* powerOff = nullptr;            // the PC's power-off; nullptr: a dry run that only records
    PageFactoryFn pageFactory;               // default: createPage
    QString journalPath;                     // the event journal; empty: ZAV.ini [Journal] Database or the user's data folder
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(SerialChannel& channel, ShellOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    UpsSession& scheduler() { return *scheduler_; }
    AppContext& context() { return context_; }
    int language() const { return language_; }
    ProfileFile& profile() { return profile_; }
    PasswordBook& passwords() { return passwords_; }
    FormPassword* formPassword() { return formPassword_; }
    // The software settings dialog, opened by the header button and the tray menu.
    void setFormPassword(FormPassword* dialog) { formPassword_ = dialog; }
    ZavPage* page(int index) const;
    LockPanel* lock(int page) const;
    bool trayInUse() const { return tray_ != nullptr; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    QMenu* trayMenu() const { return trayMenu_; }

    void setPortText(const QString& port); // ComboBox2
    void showPage(int index);              // selects the tree node

    // Handlers.
    void buttonConnectClick();
    void timerGetComPortTimer();
    void treeView1Change(int index);
    void labelChineseClick();
    void labelEnglishClick();
    void labelCHTClick();
    void label100DblClick();
    void openSoftwareSettings(); // N2Click, SpeedButtonSysSetClick
    void exitApplication();      // N1Click: ends at once, without the close question
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

    void formStrInit(int language);
    void updateButtonStates();
    void updateButtonStatesIfChanged(); // the tick's refresh: only when an input of the rules changed
    void stsBarDeal();
    void stsConnectDeal();
    // A few seconds after connecting with no answer yet: the status bar says what was tried and
    // what to check (the link icon alone does not tell a wrong protocol from a loose cable).
    void noAnswerCheck();
    static constexpr int kNoAnswerMs = 6000;

signals:
    void quitRequested(); // the program is to end (tray exit, close without tray, session end)

protected:
    void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
    void changeEvent(QEvent* event) override;      // minimise hides; language files re-read
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    ButtonInputs buttonInputs() const;
    QWidget* buildHeader(QWidget* parent);
    QWidget* buildConnectionBar(QWidget* parent);
    void buildPages();
    void buildTray();
    // The tray's icon and tooltip follow the home page's status strip.
    void showTrayStatus(const UpsSummary& summary, int language);
    QHash<int, QIcon> trayIcons_; // by the state shown
    void retranslateForm();
    void rereadWindows();
    void switchLanguage(int language);
    void setTreeCaptions(int language);
    void setConnectionBarEnabled(bool enabled);
    // The bus scan beside the address box: offered while the link is not connected.
    void openScanDialog();
    void applyScanPick(const ScanPick& pick);
    void refreshScanButton();
    void refreshPortBox(QComboBox* box);
    void refreshPages();
    void resetScrollBoxes();
    void applyBranding(int language);
    void onModelDetected(int comboItem);
    void onModelRejected();
    void endConnection();
    QWidget* findButton(const char* name);
    void suggestOwnPassword();
    void fitToFrame();
    void restoreWindowGeometry(); // ZAV.ini [Window] Left, Top, Width, Height, kept on a screen
    void saveWindowGeometry();

    ShellOptions options_;
    UserDialogs& dialogs_;
    ProfileFile profile_;
    PasswordBook passwords_;
    SatelliteLoader satellites_;
    QtOwnTexts qtTexts_; // Qt's own buttons and dialogs in the same language
    UpsSession* scheduler_;
    AppContext context_;
    AlarmSelection alarmSelection_; // the alarm tab's boxes, read by the alarm beeper
    int language_ = LangEN;
    bool exiting_ = false;
    bool trayQuestionOpen_ = false;
    UnlockThrottle unlockThrottle_;       // wrong passwords, counted over the five locks
    bool factoryPasswordAsked_ = false;
    bool frameChecked_ = false;           // fitToFrame has seen the real frame   // the own-password suggestion comes once a run

    // Header
    QLabel* imageCustomerLogo_ = nullptr;
    QLabel* image8_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* imageEnglandFlag_ = nullptr;
    QLabel* labelChinese_ = nullptr;
    QLabel* labelEnglish_ = nullptr;
    QLabel* labelCHT_ = nullptr;
    QToolButton* speedButtonSysSet_ = nullptr;
    // Pages
    QTreeWidget* treeView1_ = nullptr;
    QStackedWidget* pageControl1_ = nullptr;
    QVector<ZavPage*> pages_;
    QVector<QWidget*> hosts_; // each page's holder inside its scroll area
    QRect restoredGeometry_;  // as restored at start or last saved
    QHash<int, LockPanel*> locks_;
    QLabel* label100_ = nullptr;
    // Connection bar
    QComboBox* comboBoxUpsType_ = nullptr;
    QComboBox* comboBox1_ = nullptr;
    QComboBox* comboBox2_ = nullptr;
    QComboBox* comboBoxProto_ = nullptr;
    QLineEdit* editUpsAddr_ = nullptr;
    QPushButton* buttonConnect_ = nullptr;
    QPushButton* buttonScan_ = nullptr;
    ScanDialog* scanDialog_ = nullptr; // made on first use
    SerialChannel& channel_;           // the link's; the scan borrows it while disconnected
    QLabel* imageConned_ = nullptr;
    QLabel* imageDisConn_ = nullptr;
    QLabel* labelUpsType_ = nullptr;
    QLabel* labelBaud_ = nullptr;
    QLabel* labelPort_ = nullptr;
    QLabel* labelProto_ = nullptr;
    QLabel* labelAddr_ = nullptr;
    // Status bar
    QLabel* statusLink_ = nullptr;
    QLabel* statusTime_ = nullptr;
    // What the status bar, the link icon and the buttons show now: each tick redraws only what changed.
    std::optional<ButtonInputs> shownButtonInputs_;
    qint64 shownStampSecond_ = -1;
    // Timers
    QTimer* timer1_ = nullptr;
    QTimer* timerGetComPort_ = nullptr;
    QTimer* timerNoAnswer_ = nullptr;
    // Tray
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QAction* n2_ = nullptr;
    QAction* n1_ = nullptr;

    FormPassword* formPassword_ = nullptr;
    QHash<QString, QPointer<QWidget>> buttons_; // action buttons by objectName
};

} // namespace zav
