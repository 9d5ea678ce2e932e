#pragma once
// Page 11, calibration: three tabs (module, cabinet, transformer) of rows built from
// service/Calibration's table. Each row shows what the UPS measures, takes the true value and
// writes it with the settings write sequence once the engineer has confirmed the question that names
// the channel and the value; a line under the tabs says how the UPS answered.

#include "pagekit/ZavPage.h"
#include "link/WriteJobs.h"
#include "service/Calibration.h"

#include <QHash>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace zav {

class ServiceDialogs;

class CalibrationPage : public ZavPage {
    Q_OBJECT
  public:
    explicit CalibrationPage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override;
    void refresh() override;

    void modVoltAdjDisplay(); // ModVoltAdjDisplay
    void cabVoltAdjDisplay(); // CabVoltAdjDisplay, with the hidden transformer boxes
    // ButtonModVoltAdjClick, ButtonCabVoltAdjClick, ButtonOutTranfAuxV1Click: one handler, the row
    // of the pressed button.
    void calibrateClick(const CalibrationRow& row);

    // Tests answer the boxes and questions.
    void setDialogs(ServiceDialogs* dialogs) { dialogs_ = dialogs; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override; // entry keys and hints

  private:
    void apply(const CalDisplay& display);
    void write(const CalibrationRow& row, uint16_t value);
    void onWriteEnded(const QVector<WriteResult>& results);

    int language_ = 1;
    ServiceDialogs* dialogs_;
    quint64 epoch_ = 0; // link resets and language changes: a question opened before one writes nothing
    QTabWidget* tabs_ = nullptr;
    QWidget* tabPages_[3] = {};
    QHash<QString, QLineEdit*> edits_;
    QHash<QLineEdit*, const CalibrationRow*> entryRows_;
    QHash<QString, QLabel*> captions_;
    QList<QPushButton*> buttons_;
    QList<QLabel*> heads_;
    QLabel* label47_ = nullptr;
    QLabel* label63_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* result_ = nullptr;
    const CalibrationRow* waiting_ = nullptr; // the row whose write this page started
    uint16_t heldWord_ = 0;                     // its SettingData word while the write runs
};

} // namespace zav
