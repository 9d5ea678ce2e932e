#pragma once
// The unit status page: the unit status grid StringGridModule (module view or ten-unit view) on the
// first tab, and on TabSheetModData the measurements of one module (StringGridModData) with the
// module choice (ComboBoxModIDSet, ButtonModIDSet) and the number of the module shown (EditModIDSet).

#include "monitor/widgets/MonitorPage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace zav {

class UnitStatusPage : public MonitorPage {
    Q_OBJECT
  public:
    explicit UnitStatusPage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override; // ModuleDataGridLabels, ModuleStsFlash, sync the box
    void refresh() override;                   // ModuleStsFlash and ModuleDataGridFill
    void pageShown() override;                 // ModuleStsFlash

    void ModuleStsFlash();
    void ModuleDataGridLabels();
    void ModuleDataGridFill();
    void ButtonModIDSetClick();
    void refillModuleChoice(); // ComboBoxModIDSet: the present modules, first item selected

    QTableWidget* unitGrid() const { return unitGrid_; }
    QTableWidget* dataGrid() const { return dataGrid_; }
    bool moduleIdSync() const { return moduleIdSync_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QTabWidget* tabs_ = nullptr;
    QWidget* dataTab_ = nullptr;
    QTableWidget* unitGrid_ = nullptr;
    QTableWidget* dataGrid_ = nullptr;
    QComboBox* moduleBox_ = nullptr;
    QPushButton* moduleButton_ = nullptr;
    QLineEdit* moduleShown_ = nullptr;
    QLabel* moduleBoxCaption_ = nullptr;
    QLabel* moduleShownCaption_ = nullptr;
    bool moduleIdSync_ = false; // ModuleIdSync
};

} // namespace zav
