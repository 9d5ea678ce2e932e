#pragma once
// A layout that puts its items in a row and wraps onto the next row when the width runs out, like
// words in a line of text. The last item keeps to the right edge of its row. Used where a bar of
// fields must stay whole in a narrow window instead of holding the window wide.

#include <QLayout>
#include <QList>

namespace zav {

class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent, int spacing = 12, int rowSpacing = 4);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int index) const override { return items_.value(index); }
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override; // the widest item: the layout wraps down to it
    QSize sizeHint() const override;    // everything on one row
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in `rect` (or only measures); returns the height used.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items_;
    int spacing_;
    int rowSpacing_;
};

} // namespace zav
