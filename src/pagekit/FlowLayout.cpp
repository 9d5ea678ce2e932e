#include "pagekit/FlowLayout.h"

#include <QWidget>

#include <algorithm>

namespace zav {

FlowLayout::FlowLayout(QWidget* parent, int spacing, int rowSpacing)
    : QLayout(parent), spacing_(spacing), rowSpacing_(rowSpacing) {}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void FlowLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* FlowLayout::takeAt(int index) {
    return (index >= 0 && index < items_.size()) ? items_.takeAt(index) : nullptr;
}

int FlowLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize FlowLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : items_)
        if (!item->isEmpty()) size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const {
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        width += (width > 0 ? spacing_ : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    QList<QLayoutItem*> shown;
    for (QLayoutItem* item : items_)
        if (!item->isEmpty()) shown << item;

    // Rows first, so that each row's items can be centred on its height.
    QList<QList<QLayoutItem*>> rows;
    int x = 0;
    for (QLayoutItem* item : shown) {
        const int w = item->sizeHint().width();
        if (rows.isEmpty() || (x > 0 && x + spacing_ + w > area.width())) {
            rows.append(QList<QLayoutItem*>());
            x = 0;
        } else if (x > 0) {
            x += spacing_;
        }
        rows.last() << item;
        x += w;
    }

    int y = area.top();
    for (const QList<QLayoutItem*>& row : rows) {
        int height = 0;
        for (const QLayoutItem* item : row) height = std::max(height, item->sizeHint().height());
        int left = area.left();
        for (QLayoutItem* item : row) {
            QSize size = item->sizeHint().boundedTo(QSize(area.width(), height));
            size = size.expandedTo(item->minimumSize());
            if (item == shown.last()) left = std::max(left, area.right() + 1 - size.width());
            if (place) item->setGeometry(QRect(QPoint(left, y + (height - size.height()) / 2), size));
            left += size.width() + spacing_;
        }
        y += height + rowSpacing_;
    }
    if (!rows.isEmpty()) y -= rowSpacing_;
    return y - area.top() + contentsMargins().top() + contentsMargins().bottom();
}

} // namespace zav
