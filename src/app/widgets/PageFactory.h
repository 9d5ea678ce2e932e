#pragma once
// The pages of PageControl1, one per node of TreeView1 (index 0 to 15).

#include "pagekit/ZavPage.h"

class QLabel;

namespace zav {

// The page for a tree index. Indexes without a page of their own get a plain frame with the page's
// caption: nothing on it pretends to work.
ZavPage* createPage(int index, AppContext& context, QWidget* parent);

// An empty page that shows only its caption.
class PlaceholderPage : public ZavPage {
    Q_OBJECT
public:
    PlaceholderPage(int index, AppContext& context, QWidget* parent = nullptr);
    void applyLanguage(int language) override;

private:
    int index_;
    QLabel* caption_;
};

} // namespace zav
