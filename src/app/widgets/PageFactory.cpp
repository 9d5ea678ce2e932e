#include "app/widgets/PageFactory.h"

#include "foundation/AppTexts.h"
#include "app/widgets/InfoPages.h"
#include "flash/widgets/FwProgramPage.h"
#include "journal/widgets/JournalPages.h"
#include "journal/widgets/TrendPages.h"
#include "monitor/widgets/MonitorPages.h"
#include "records/widgets/RecordPages.h"
#include "service/widgets/ServicePages.h"
#include "settings/widgets/SettingsPages.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zav {

PlaceholderPage::PlaceholderPage(int index, AppContext& context, QWidget* parent)
    : ZavPage(context, parent), index_(index) {
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    caption_ = new QLabel(frame);
    QFont font = caption_->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    caption_->setFont(font);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(caption_, 0, Qt::AlignLeft | Qt::AlignTop);
    inner->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    applyLanguage(context.language);
}

void PlaceholderPage::applyLanguage(int language) {
    caption_->setText(pageCaption(index_, language).simplified());
}

ZavPage* createPage(int index, AppContext& context, QWidget* parent) {
    if (ZavPage* page = createMonitorPage(index, context, parent)) return page;
    if (ZavPage* page = createRecordsPage(index, context, parent)) return page;
    if (ZavPage* page = createSettingsPage(index, context, parent)) return page;
    if (ZavPage* page = createFlashPage(index, context, parent)) return page;
    if (ZavPage* page = createServicePage(index, context, parent)) return page;
    if (ZavPage* page = createJournalPage(index, context, parent)) return page;
    if (ZavPage* page = createTrendsPage(index, context, parent)) return page;
    switch (index) {
    case 14: return new HelpPage(context, parent);
    case 15: return new AboutPage(context, parent);
    default: return new PlaceholderPage(index, context, parent);
    }
}

} // namespace zav
