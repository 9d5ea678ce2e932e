#include "monitor/widgets/CabStatusPage.h"

#include "monitor/StatusViews.h"
#include "pagekit/GridTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zav {

CabStatusPage::CabStatusPage(AppContext& context, QWidget* parent) : MonitorPage(context, parent) {
    setObjectName("TabSheetZav");
    grid_ = makeStringGrid("StringGridZav", kZavGridColumns, kZavGridRows, this);
    for (int c = 0; c < kZavGridColumns; ++c)
        grid_->setColumnWidth(c, c % 2 == 0 ? 130 : 110);
    grid_->setMinimumHeight(grid_->rowHeight(0) * kZavGridRows + 4);
    versionCaption_ = new QLabel(this);
    version_ = new QLabel(this);
    version_->setObjectName("LabelZAVVer");

    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(versionCaption_);
    versionRow->addWidget(version_);
    versionRow->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(grid_);
    page->addLayout(versionRow);
    page->addStretch();

    onScheduler(&UpsSession::liveCycleEnded, &CabStatusPage::refresh);
    onScheduler(&UpsSession::liveStoresCleared, &CabStatusPage::refresh);
    onScheduler(&UpsSession::linkReset, &CabStatusPage::refresh);
    applyLanguage(language());
}

void CabStatusPage::applyLanguage(int language) {
    setLanguage(language);
    versionCaption_->setText(monitorVersionCaption(language));
    SetStatusGridLabels();
    refresh();
}

void CabStatusPage::SetStatusGridLabels() {
    showTextGrid(grid_, zavStatusLabels(language()));
    styleGridCells(grid_, [](int column, int, const QString&) { return valueGridCellStyle(column); });
}

void CabStatusPage::refresh() {
    for (const GridCell& cell : zavStatusValues(live(), language()))
        setGridCell(grid_, cell.column, cell.row, cell.text);
    version_->setText(monitorVersionText(live()));
}

} // namespace zav
