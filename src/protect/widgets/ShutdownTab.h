#pragma once
// The controls of the shutdown tab (page 10, "关机设置"): ScrollBox4 with GroupBoxShutdownSet and
// the Set button ButtonShutSet. The tab only shows and collects the settings; reading and writing
// ZAV.ini and acting on them is the protection controller's job.

#include "protect/ShutdownConfig.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace zav {

class ShutdownTab : public QWidget {
    Q_OBJECT
  public:
    explicit ShutdownTab(QWidget* parent = nullptr);
    void applyLanguage(int language);

    void setConfig(const ShutdownConfig& config);
    ShutdownConfig config() const; // every control as it stands now
    bool enabledTicked() const;
    bool utilityUpsTicked() const;
    bool batteryUpsTicked() const;
    bool showSavedFilesTicked() const;
    void clearEnable(); // the protection is switched off for this model
    // The line beside ButtonShutSet: whether the settings were kept.
    void setResult(const QString& text);

  signals:
    void setClicked(); // ButtonShutSetClick

  private:
    void browse(); // Button9
    void updateSecondsFields();

    QCheckBox* enable_ = nullptr;
    QCheckBox* saveFile_ = nullptr;
    QCheckBox* runProgram_ = nullptr;
    QLineEdit* programLine_ = nullptr;
    QPushButton* browse_ = nullptr;
    QCheckBox* showSaveFile_ = nullptr;
    QLabel* utilityLabel_ = nullptr;
    QLabel* utilityMinutesLabel_ = nullptr;
    QSpinBox* utilityMinutes_ = nullptr;
    QCheckBox* utilityUpsOff_ = nullptr;
    QSpinBox* utilityUpsSeconds_ = nullptr;
    QLabel* batteryLabel_ = nullptr;
    QLabel* batteryMinutesLabel_ = nullptr;
    QSpinBox* batteryMinutes_ = nullptr;
    QCheckBox* batteryUpsOff_ = nullptr;
    QSpinBox* batteryUpsSeconds_ = nullptr;
    QLabel* maxRunLabel_ = nullptr;
    QSpinBox* maxRun_ = nullptr;
    QPushButton* set_ = nullptr;
    QLabel* result_ = nullptr;
    QGroupBox* group_ = nullptr;
};

} // namespace zav
