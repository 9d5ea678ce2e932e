#pragma once
// Page 13 "FwProgram": the programming tab (DSP flashing through the serial bootloader, behind the
// PanelProgramPwd lock the window lays over the page) and the update tab (logo upload, models 0-2).
// The page only wires widgets, timers and ports to the state machines of src/flash.

#include "pagekit/ZavPage.h"
#include "flash/DspProgrammer.h"
#include "flash/LogoUpload.h"
#include "flash/ProgramChannel.h"
#include "link/QtSerialChannel.h"
#include "session/UpsSession.h"

#include <QStringList>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;

namespace zav {

// What the page needs from its surroundings; tests replace the parts that would open dialogs.
struct FlashPageHooks {
    // A message for the user; warning boxes carry a caption and the warning icon.
    std::function<void(QWidget* parent, const QString& text, bool warning, const QString& caption)> showMessage;
    std::function<QStringList()> listPorts; // the programming port box at start
    QString kernelDir;                      // where the Flash API files are (default: beside the program, else its installed data folder)
    // The Modbus link's side (default: the window's connection bar, Timer1 and TimerGetComPort).
    std::function<ConnectRequest()> linkChoices;
    std::function<QTimer*()> pollTimer;
    std::function<QTimer*()> portRefreshTimer;
    std::function<QWidget*()> connectButton;
};

class FwProgramPage : public ZavPage, private LinkHandover {
    Q_OBJECT
  public:
    FwProgramPage(AppContext& context, FlashPageHooks hooks, QWidget* parent = nullptr);
    ~FwProgramPage() override;

    void applyLanguage(int language) override; // FormStrInit's part for this page
    void refresh() override;                   // the update tab follows the model

    // Handlers (the file dialogs end in the *Chosen functions).
    void buttonBrowseClick();
    void applicationChosen(const QString& path);
    void buttonProgramClick();
    void buttonProgramResetClick();
    void buttonChosLogoClick();
    void logoChosen(const QString& path);
    void buttonUpLogoClick();

    DspProgrammer& programmer() { return programmer_; }
    LogoUpload& logoUpload() { return *logo_; }
    ProgramChannel& comm1() { return comm1_; }

  private:
    QWidget* buildProgramTab();
    QWidget* buildUpgradeTab();
    QLineEdit* hexField(const QString& name, QWidget* parent);
    // Reads the file and shows why it is not a whole boot image (false) before anything is sent.
    bool imageWhole(const QString& path, QByteArray* bytes);
    void comm1ReceiveData(const QByteArray& bytes);
    void runEnded();
    void showFlashMessage(FlashMessage row);
    void showLogoMessage(LogoMessage message);
    void inform(const QString& text);
    void setPortRefresh(bool on);
    void saveChoice(const char* key, int value);

    // LinkHandover: the Modbus link as the logo upload borrows it.
    bool linkOpen() const override;
    bool startLogoCommand() override;
    void releaseLink() override;
    bool restoreLink() override;
    QString portName() const override;
    int baudRate() const override;

    FlashPageHooks hooks_;
    int language_ = 1;
    ProgramChannel comm1_;
    DspProgrammer programmer_;
    QtSerialChannel comPort2_;
    std::unique_ptr<LogoUpload> logo_;
    uint16_t checksum_ = 0;
    int linkBaud_ = 9600;

    QTabWidget* pageControl4_ = nullptr;
    QWidget* tabSheet22_ = nullptr;
    QWidget* tabSheetUpgrade_ = nullptr;
    QLineEdit* editFilePath_ = nullptr;
    QComboBox* comboBoxProgram_ = nullptr;
    QComboBox* comboBoxBaud_ = nullptr;
    QComboBox* comboBoxDspType_ = nullptr;
    QComboBox* comboBoxErase_ = nullptr;
    QList<QLineEdit*> keyFields_; // EditKey0..7, then EditID0..7
    QPushButton* buttonProgram_ = nullptr;
    QPushButton* buttonProgramReset_ = nullptr;
    QPlainTextEdit* memoRec_ = nullptr;
    QProgressBar* progressBarProgram_ = nullptr;
    QLineEdit* editChoseLogo_ = nullptr;
    QPushButton* buttonUpLogo_ = nullptr;
    QProgressBar* advProgressUpLogo_ = nullptr;
    QTimer* timerProgram_ = nullptr;
    QTimer* timerProgCnt_ = nullptr;
    QTimer* timerUpgrade_ = nullptr;
    QList<QPair<QWidget*, const char*>> captions_; // widgets captioned from the text table
};

// The firmware page for tree index 13, or nullptr for the other indexes.
ZavPage* createFlashPage(int index, AppContext& context, QWidget* parent);

} // namespace zav
