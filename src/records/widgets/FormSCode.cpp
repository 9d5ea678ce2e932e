#include "records/widgets/FormSCode.h"

#include "pagekit/GridTable.h"

#include <QApplication>
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
    for (int r = 0; r < kSCodeItemRows; r += kSCodeDigits)
        table_->setSpan(r, ColGroup, kSCodeDigits, 1);
    for (int r = 0; r < kSCodeItemRows; r += 4)
        table_->setSpan(r, ColWord, 4, 1);
    table_->setColumnWidth(ColNumber, 45);
    table_->setColumnWidth(ColGroup, 40);
    table_->setColumnWidth(ColWord, 40);
    table_->setColumnWidth(ColName, 300);
    table_->setColumnWidth(ColState, 180);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(table_);
}

void FormSCode::showAnalysis(const SCodeAnalysis& analysis, int upsModel, int language) {
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
}

} // namespace zav
