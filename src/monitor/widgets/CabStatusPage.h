#pragma once
// The whole-unit status page: StringGridZav (labels by SetStatusGridLabels, values by StsFlash)
// and the monitor version label LabelZAVVer, which DataFlash redraws.

#include "monitor/widgets/MonitorPage.h"

class QLabel;
class QTableWidget;

namespace zav {

class CabStatusPage : public MonitorPage {
    Q_OBJECT
  public:
    explicit CabStatusPage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override; // SetStatusGridLabels, then the values again
    void refresh() override;                   // StsFlash's value columns and the version label

    void SetStatusGridLabels();
    QTableWidget* grid() const { return grid_; }

  private:
    QTableWidget* grid_ = nullptr;
    QLabel* versionCaption_ = nullptr;
    QLabel* version_ = nullptr;
};

} // namespace zav
