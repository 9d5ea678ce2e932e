#include "monitor/widgets/MeasurePage.h"

#include "pagekit/GridTable.h"
#include "monitor/widgets/VoltageChart.h"

#include <QVBoxLayout>

namespace zav {

namespace {

struct MeasureNames {
    const char* page;
    const char* grid;
    const char* chart;
    const char* line;
};

MeasureNames namesOf(MeasureGrid grid) {
    switch (grid) {
    case MeasureGrid::Bypass:
        return {"TabSheetBypass", "StringGridBypass", "ChartByVolt", "LineByVolt"};
    case MeasureGrid::Main:
        return {"TabSheetMain", "StringGridMain", "ChartMainVolt", "LineMainVolt"};
    case MeasureGrid::Output:
        return {"TabSheetOut", "StringGridOut", "ChartOutVolt", "LineOutVolt"};
    case MeasureGrid::Battery:
        return {"TabSheetBatt", "StringGridBatt", "ChartBattVolt", "LineBattVolt"};
    }
    return {};
}

} // namespace

MeasurePage::MeasurePage(MeasureGrid grid, AppContext& context, QWidget* parent)
    : MonitorPage(context, parent), kind_(grid) {
    const MeasureNames names = namesOf(grid);
    setObjectName(names.page);
    grid_ = makeStringGrid(names.grid, measureGridColumns(grid), kMeasureGridRows, this);
    grid_->setMinimumHeight(grid_->rowHeight(0) * kMeasureGridRows + 4);
    for (int c = 0; c < grid_->columnCount(); ++c)
        grid_->setColumnWidth(c, c == 0 ? 130 : 100);
    chart_ = new VoltageChart(names.chart, names.line, this);

    auto* box = new QVBoxLayout(this);
    box->addWidget(grid_);
    box->addWidget(chart_, 1);

    onScheduler(&UpsSession::liveCycleEnded, &MeasurePage::refresh);
    onScheduler(&UpsSession::liveStoresCleared, &MeasurePage::refresh);
    // The settings bring S1/S2: the settings display relabels the grids and redraws. The chart
    // takes points only at the end of a live cycle: a download right after the model was detected
    // comes while the live stores are still cleared, which is no measurement.
    onScheduler(&UpsSession::settingsDownloaded, [this] {
        SetMeasureGridLabels();
        showValues();
    });
    // ResetLinkState cleared the stores (connect, model detected): show the empty values now.
    onScheduler(&UpsSession::linkReset, &MeasurePage::showValues);

    SetMeasureGridLabels();
    showValues();
}

void MeasurePage::applyLanguage(int language) {
    setLanguage(language);
    chart_->setTitle(measureChartTitle(kind_, language));
    SetMeasureGridLabels();
    showValues();
}

void MeasurePage::SetMeasureGridLabels() {
    labelled_ = layout();
    showTextGrid(grid_, measureGridLabels(kind_, labelled_, language()));
}

void MeasurePage::refresh() {
    // Cleared stores (not connected, link lost, language switched) are no measurement: the line
    // breaks instead of dropping to 0 V.
    if (context_.scheduler && context_.scheduler->connected() && context_.scheduler->linkOk())
        chart_->addPoint(now(), chartVolts(live())[size_t(kind_)]);
    else
        chart_->addGap(now());
    showValues();
}

void MeasurePage::showValues() {
    // The labels follow the layout the values are written for, even when the model or S1/S2
    // changed without a relabelling (values never land beside the labels of another layout).
    if (!(layout() == labelled_)) SetMeasureGridLabels();
    for (const GridCell& cell : measureGridValues(kind_, live(), labelled_))
        setGridCell(grid_, cell.column, cell.row, cell.text);
}

} // namespace zav
