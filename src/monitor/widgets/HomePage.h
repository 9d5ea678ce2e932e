#pragma once
// The home page: the status strip (StatusStrip: the power state, charge, runtime and load, or why
// there is no data, in which case the diagram is greyed too), the summary value boxes (bypass, main input, output, battery) that DataFlash fills,
// and the area of the energy-flow diagram, which its own widget fills (setEnergyFlowWidget). A red
// "output off" line (LabelOutputOff) shows while the UPS reports that nothing feeds its output.

#include "monitor/widgets/MonitorPage.h"

class QGroupBox;
class QLabel;

namespace zav {

class EnergyFlowWidget;
class StatusStrip;

class HomePage : public MonitorPage {
    Q_OBJECT
  public:
    explicit HomePage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override;
    void refresh() override; // DataFlash's home labels

    // The empty area (objectName "EnergyFlowArea") reserved for the energy-flow diagram; the
    // widget given here is placed into it and the page takes ownership.
    QWidget* energyFlowArea() const { return flowArea_; }
    void setEnergyFlowWidget(QWidget* widget);
    StatusStrip* statusStrip() const { return strip_; }

  private:
    void applyModelVariant(); // single input box on the small towers

    QWidget* flowArea_ = nullptr;
    EnergyFlowWidget* flowWidget_ = nullptr;
    QGroupBox* bypassBox_ = nullptr;
    QGroupBox* mainBox_ = nullptr;
    QGroupBox* outputBox_ = nullptr;
    QGroupBox* batteryBox_ = nullptr;
    QLabel* labels_[11] = {};
    QLabel* outputOff_ = nullptr;
    bool statusReported_ = false; // a live cycle has ended since the stores were last cleared
    bool offlineFile_ = false;    // the stores hold a snapshot from a file (a cycle with the port closed)
    StatusStrip* strip_ = nullptr;
    void refreshStatus();
};

} // namespace zav
