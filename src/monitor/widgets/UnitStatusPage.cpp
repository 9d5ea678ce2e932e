#include "monitor/widgets/UnitStatusPage.h"

#include "monitor/StatusViews.h"
#include "pagekit/GridTable.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace zav {

UnitStatusPage::UnitStatusPage(AppContext& context, QWidget* parent) : MonitorPage(context, parent) {
    setObjectName("TabSheetModule");
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControlModule");

    auto* statusTab = new QWidget;
    statusTab->setObjectName("TabSheetModSts");
    unitGrid_ = makeStringGrid("StringGridModule", 11, 9, statusTab);
    (new QVBoxLayout(statusTab))->addWidget(unitGrid_);

    dataTab_ = new QWidget;
    dataTab_->setObjectName("TabSheetModData");
    dataGrid_ = makeStringGrid("StringGridModData", kModDataColumns, kModDataRows, dataTab_);
    dataGrid_->viewport()->installEventFilter(this);
    moduleBox_ = new QComboBox(dataTab_);
    moduleBox_->setObjectName("ComboBoxModIDSet");
    moduleBox_->setMinimumWidth(70);
    moduleButton_ = new QPushButton(dataTab_);
    moduleButton_->setObjectName("ButtonModIDSet");
    moduleShown_ = new QLineEdit(dataTab_);
    moduleShown_->setObjectName("EditModIDSet");
    moduleShown_->setReadOnly(true);
    moduleShown_->setMaximumWidth(60);
    moduleBoxCaption_ = new QLabel(dataTab_);
    moduleShownCaption_ = new QLabel(dataTab_);
    auto* choiceRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{moduleBoxCaption_, moduleBox_, moduleButton_,
                                                      moduleShownCaption_, moduleShown_})
        choiceRow->addWidget(w);
    choiceRow->addStretch();
    auto* dataLayout = new QVBoxLayout(dataTab_);
    dataLayout->addLayout(choiceRow);
    dataLayout->addWidget(dataGrid_, 1);

    tabs_->addTab(statusTab, QString());
    tabs_->addTab(dataTab_, QString());
    (new QVBoxLayout(this))->addWidget(tabs_);

    connect(moduleButton_, &QPushButton::clicked, this, &UnitStatusPage::ButtonModIDSetClick);
    onScheduler(&UpsSession::liveCycleEnded, &UnitStatusPage::refresh);
    onScheduler(&UpsSession::liveStoresCleared, &UnitStatusPage::refresh);
    onScheduler(&UpsSession::linkReset, &UnitStatusPage::refresh);
    onScheduler(&UpsSession::moduleStageEnded, &UnitStatusPage::ModuleDataGridFill);
    onScheduler(&UpsSession::moduleListChanged, &UnitStatusPage::refillModuleChoice);

    applyLanguage(language());
    refresh();
}

void UnitStatusPage::applyLanguage(int language) {
    setLanguage(language);
    tabs_->setTabText(0, unitStatusTabCaption(language));
    tabs_->setTabText(1, moduleDataTabCaption(language));
    moduleBoxCaption_->setText(moduleChoiceCaption(language));
    moduleButton_->setText(moduleChoiceButtonCaption(language));
    moduleShownCaption_->setText(moduleShownCaption(language));
    ModuleDataGridLabels();
    ModuleStsFlash();
    moduleIdSync_ = true; // the next module data refresh selects the module shown in the box
}

void UnitStatusPage::refresh() {
    ModuleStsFlash();
    ModuleDataGridFill();
}

void UnitStatusPage::pageShown() {
    ModuleStsFlash();
}

void UnitStatusPage::ModuleStsFlash() {
    const UnitStatusView view = unitStatusView(live(), layout().upsModel, language());
    showTextGrid(unitGrid_, view.grid);
    styleGridCells(unitGrid_,
                   [](int, int row, const QString& text) { return unitStatusCellStyle(row, text); });
    widenColumnsToText(unitGrid_);
    if (!view.moduleView) tabs_->setCurrentIndex(0);
    tabs_->setTabVisible(1, view.moduleView);
}

void UnitStatusPage::ModuleDataGridLabels() {
    // Only the label columns: the values stay until the next fill.
    const TextGrid labels = moduleDataLabels(language());
    dataGrid_->setColumnCount(labels.columns());
    dataGrid_->setRowCount(labels.rows());
    for (int r = 0; r < labels.rows(); ++r)
        for (int c = 0; c < labels.columns(); c += 2)
            setGridCell(dataGrid_, c, r, labels.at(c, r));
    styleGridCells(dataGrid_, [](int column, int, const QString&) { return valueGridCellStyle(column); });
}

void UnitStatusPage::ModuleDataGridFill() {
    ModuleDataGridLabels();
    const TextGrid texts = moduleDataTexts(live(), language());
    for (int r = 0; r < texts.rows(); ++r)
        for (int c = 1; c < texts.columns(); c += 2)
            setGridCell(dataGrid_, c, r, texts.at(c, r));
    widenColumnsToText(dataGrid_);

    QStringList items;
    for (int i = 0; i < moduleBox_->count(); ++i)
        items.append(moduleBox_->itemText(i));
    const ModuleIdDisplay shown =
        moduleIdDisplay(live().ModuleData[2000], moduleIdSync_, items, moduleBox_->currentIndex());
    moduleShown_->setText(shown.editText);
    if (shown.comboIndex != moduleBox_->currentIndex()) moduleBox_->setCurrentIndex(shown.comboIndex);
    moduleIdSync_ = shown.syncPending;
}

void UnitStatusPage::refillModuleChoice() {
    moduleBox_->clear();
    moduleBox_->addItems(moduleChoiceItems(live()));
    moduleBox_->setCurrentIndex(moduleBox_->count() > 0 ? 0 : -1);
}

void UnitStatusPage::ButtonModIDSetClick() {
    if (!modulesChoosable()) return;
    context_.scheduler->selectModule(moduleChoice(moduleBox_->currentText()));
    moduleIdSync_ = true;
}

bool UnitStatusPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dataGrid_->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (delta != 0) {
            const int row =
                moduleDataWheelRow(std::max(dataGrid_->currentRow(), 0), dataGrid_->rowCount(), delta < 0);
            const int column = std::max(dataGrid_->currentColumn(), 0);
            dataGrid_->setCurrentCell(row, column);
            dataGrid_->scrollToItem(dataGrid_->item(row, column));
        }
        return true; // the wheel moves the current row, never just the view
    }
    return MonitorPage::eventFilter(watched, event);
}

} // namespace zav
