#include "records/widgets/FormSCode.h"

#include "pagekit/GridTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QPalette>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zav {

namespace {

enum Column { ColNumber, ColGroup, ColWord, ColName, ColState, ColumnCount };

QBrush backgroundOf(const QString& text) {
    switch (scodeCellColour(text)) {
    case SCodeCellColour::Unknown:
        return QColor(128, 128, 128);
    case SCodeCellColour::Alarm:
        return QColor(Qt::red);
    case SCodeCellColour::Undefined:
        return QColor(Qt::yellow);
    case SCodeCellColour::Reserved:
        return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    case SCodeCellColour::Normal:
        break;
    }
    return QBrush();
}

} // namespace

FormSCode::FormSCode(QWidget* parent) : QWidget(parent) {
    table_ = makeStringGrid(QStringLiteral("StringGridSCodeAnalyze"), ColumnCount, kSCodeItemRows, this);
    table_->horizontalHeader()->show();
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSpans(true);
    abnormalOnly_ = new QCheckBox(this);
    abnormalOnly_->setObjectName(QStringLiteral("CheckSCodeAbnormalOnly"));
    abnormalOnly_->setText(scodeAbnormalOnlyCaption(1));
    connect(abnormalOnly_, &QCheckBox::toggled, this, &FormSCode::applyFilter);
    table_->setColumnWidth(ColNumber, 45);
    table_->setColumnWidth(ColGroup, 40);
    table_->setColumnWidth(ColWord, 40);
    table_->setColumnWidth(ColName, 300);
    table_->setColumnWidth(ColState, 180);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(abnormalOnly_);
    box->addWidget(table_);
}

void FormSCode::setSpans(bool on) {
    // Every row holds its group and word texts; the spans only merge them while all rows show.
    table_->clearSpans();
    if (!on) return;
    for (int r = 0; r < kSCodeItemRows; r += kSCodeDigits)
        table_->setSpan(r, ColGroup, kSCodeDigits, 1);
    for (int r = 0; r < kSCodeItemRows; r += 4)
        table_->setSpan(r, ColWord, 4, 1);
}

void FormSCode::applyFilter() {
    const bool only = abnormalOnly_->isChecked() && shown_;
    setSpans(!only);
    for (int r = 0; r < kSCodeItemRows; ++r)
        table_->setRowHidden(r, only && !scodeAbnormal(scodeStateSeverity(analysis_, r, upsModel_)));
}

void FormSCode::showAnalysis(const SCodeAnalysis& analysis, int upsModel, int language) {
    analysis_ = analysis;
    upsModel_ = upsModel;
    shown_ = true;
    QStringList heads;
    for (int c = 0; c < ColumnCount; ++c) heads << scodeColumnTitle(c, language);
    table_->setHorizontalHeaderLabels(heads);
    abnormalOnly_->setText(scodeAbnormalOnlyCaption(language));
    for (int r = 0; r < kSCodeItemRows; ++r) {
        const QString cells[ColumnCount] = {QString::number(r + 1), scodeGroupKey(r), scodeWordNumber(r),
                                            scodeItemName(r, upsModel, language),
                                            scodeStateText(analysis, r, upsModel, language)};
        for (int c = 0; c < ColumnCount; ++c) {
            setGridCell(table_, c, r, cells[c]);
            QTableWidgetItem* item = table_->item(r, c);
            item->setBackground(backgroundOf(cells[c]));
            item->setTextAlignment(c <= ColWord ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
        }
    }
    applyFilter();
}

} // namespace zav
