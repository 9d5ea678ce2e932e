#pragma once
// A measurement page (bypass, main input, output or battery): the value grid and the voltage chart.
// SetMeasureGridLabels writes the grid's labels for the model, S1/S2 and language; DataFlash adds a
// chart point and writes the values into the cells those labels describe.

#include "monitor/widgets/MonitorPage.h"

class QTableWidget;

namespace zav {

class VoltageChart;

class MeasurePage : public MonitorPage {
    Q_OBJECT
  public:
    MeasurePage(MeasureGrid grid, AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override; // SetMeasureGridLabels, then the values again
    void refresh() override;                   // DataFlash: one chart point and the values

    void SetMeasureGridLabels();
    QTableWidget* grid() const { return grid_; }
    VoltageChart* chart() const { return chart_; }

  private:
    void showValues();

    MeasureGrid kind_;
    QTableWidget* grid_ = nullptr;
    VoltageChart* chart_ = nullptr;
    MeasureLayout labelled_; // the layout the labels were written for
};

} // namespace zav
