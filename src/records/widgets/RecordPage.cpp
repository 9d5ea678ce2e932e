#include "records/widgets/RecordPage.h"

#include "session/UpsSession.h"
#include "pagekit/GridTable.h"
#include "records/GridCsv.h"
#include "records/RecordTexts.h"
#include "records/widgets/RecordDialogs.h"
#include "foundation/RecentFolders.h"

#include <algorithm>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace zav {

namespace {
constexpr int kWheelRows = 3; // rows the selection moves per wheel step
}

RecordPage::RecordPage(const RecordPageKind& kind, RecordDownload* job, AppContext& context, QWidget* parent)
    : ZavPage(context, parent), kind_(kind), job_(job), dialogs_(&standardRecordDialogs()) {
    setObjectName(QString::fromLatin1(kind.page));
    job_->setParent(this);

    panel_ = new QWidget(this);
    download_ = new QPushButton(panel_);
    download_->setObjectName(QString::fromLatin1(kind.download));
    save_ = new QPushButton(panel_);
    save_->setObjectName(QString::fromLatin1(kind.save));
    progress_ = new QProgressBar(panel_);
    progress_->setObjectName(QString::fromLatin1(kind.progress));
    progress_->setRange(0, 100);
    hint_ = new QLabel(panel_);
    hint_->setObjectName(QString::fromLatin1(kind.hint));
    hint_->setWordWrap(true);
    saved_ = new QLabel(panel_);
    saved_->setObjectName(QString::fromLatin1(kind.hint) + QStringLiteral("Saved"));
    saved_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the path can be copied
    saved_->hide();
    grid_ =
        makeStringGrid(QString::fromLatin1(kind.grid), job_->grid().columns(), job_->grid().rows(), panel_);
    grid_->viewport()->installEventFilter(this);
    filter_ = new QLineEdit(panel_);
    filter_->setObjectName(QString::fromLatin1(kind.filter));
    filter_->setClearButtonEnabled(true);
    order_ = new QComboBox(panel_);
    order_->setObjectName(QString::fromLatin1(kind.order));
    order_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    // The filter and the order share the buttons' row: the table keeps its height.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(download_);
    buttons->addWidget(save_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(filter_, 1);
    buttons->addWidget(order_);
    auto* box = new QVBoxLayout(panel_);
    box->setContentsMargins(0, 0, 0, 0);
    box->addLayout(buttons);
    box->addWidget(hint_);
    box->addWidget(saved_);
    box->addWidget(grid_, 1);

    connect(download_, &QPushButton::clicked, this, &RecordPage::downloadClick);
    connect(save_, &QPushButton::clicked, this, &RecordPage::saveClick);
    connect(job_, &RecordDownload::rowsChanged, this, &RecordPage::copyRows);
    connect(job_, &RecordDownload::progressChanged, progress_, &QProgressBar::setValue);
    connect(job_, &RecordDownload::finished, this, &RecordPage::downloadFinished);
    connect(filter_, &QLineEdit::textChanged, this, &RecordPage::applyView);
    connect(order_, &QComboBox::activated, this, [this](int index) {
        // Item 0 is the download order, then each key ascending and descending.
        if (index <= 0) sortBy({});
        else sortBy({(index - 1) / 2, index % 2 ? SortDirection::Ascending : SortDirection::Descending});
    });
    if (kind_.layout.headRows > 0) {
        // A click on a title cell sorts by that column: ascending, descending, download order.
        connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int column) {
            if (row < kind_.layout.headRows && column < kind_.sortKeys) sortBy(nextSort(sort_, column));
        });
    }
    if (UpsSession* s = context_.scheduler) {
        s->setRecordJob(kind_.priority, job_);
        // ResetLinkState stopped the job; a closed port stops the stepping.
        connect(s, &UpsSession::linkReset, this, &RecordPage::stopped);
        connect(s, &UpsSession::liveStoresCleared, this, &RecordPage::refresh);
        connect(s, &UpsSession::portLost, this, &RecordPage::refresh);
    }
    progress_->hide(); // until the first run
    showIdle();
    applyLanguage(context.language);
}

RecordPage::~RecordPage() {
    if (context_.scheduler) context_.scheduler->setRecordJob(kind_.priority, nullptr);
}

void RecordPage::applyLanguage(int language) {
    language_ = language;
    download_->setText(kind_.caption(job_->running(), language));
    save_->setText(saveCaption(language));
    save_->setToolTip(kind_.saveHint(language));
    showHint();
    filter_->setPlaceholderText(kind_.filterHint(language));
    fillOrderChoice();
}

void RecordPage::fillOrderChoice() {
    const QSignalBlocker quiet(order_);
    order_->clear();
    order_->addItem(downloadOrderText(language_));
    for (int key = 0; key < kind_.sortKeys; ++key) {
        const QString name = kind_.sortKeyName(key, language_);
        order_->addItem(sortChoiceText(name, true, language_));
        order_->addItem(sortChoiceText(name, false, language_));
    }
    order_->setToolTip(sortChoiceHint(kind_.layout.headRows > 0, language_));
    const int index = sort_.direction == SortDirection::None
                          ? 0
                          : 1 + 2 * sort_.key + (sort_.direction == SortDirection::Descending ? 1 : 0);
    order_->setCurrentIndex(index);
}

void RecordPage::sortBy(RecordSort sort) {
    if (sort.key < 0 || sort.key >= kind_.sortKeys) sort = {};
    sort_ = sort;
    fillOrderChoice();
    applyView();
}

void RecordPage::applyView() {
    const TextGrid& rows = job_->grid();
    const QVector<bool> shown = recordsMatching(rows, kind_.layout, filter_->text());
    for (int r = 0; r < shown.size() && r < grid_->rowCount(); ++r) grid_->setRowHidden(r, !shown[r]);
    // The table lists grid row order[i] at line i by moving its header sections: the items stay
    // where the download put them, so row n is still record n for everything that reads them.
    const QVector<int> order = recordRowOrder(rows, kind_.layout, sort_, kind_.sortText);
    QHeaderView* lines = grid_->verticalHeader();
    for (int i = 0; i < order.size() && i < grid_->rowCount(); ++i) {
        const int from = lines->visualIndex(order[i]);
        if (from != i) lines->moveSection(from, i);
    }
}

void RecordPage::refresh() {
    if (!context_.scheduler || !context_.scheduler->portOpen()) stopped();
}

void RecordPage::showIdle() {
    download_->setText(kind_.caption(false, language_));
}

void RecordPage::stopped() {
    if (run_ == RecordRun::Running && !job_->running()) {
        run_ = RecordRun::Stopped;
        showHint();
    }
    showIdle();
}

void RecordPage::downloadClick() {
    UpsSession* s = context_.scheduler;
    if (!s || !s->portOpen()) return;
    if (job_->running()) {
        job_->cancel(); // the rows read so far stay
        s->setActivity(ActIdle);
        stopped();
    } else {
        job_->setLanguage(language_);
        job_->start();
        s->setActivity(job_->activity());
        download_->setText(kind_.caption(true, language_));
        progress_->setValue(0);
        progress_->show();
        run_ = RecordRun::Running;
        showHint();
    }
    emit s->buttonsRefreshDue();
}

void RecordPage::downloadFinished() {
    showIdle();
    run_ = RecordRun::Finished;
    progress_->setValue(progress_->maximum()); // stays full until the next run
    showHint();
}

void RecordPage::showHint() {
    QString text = recordHint(run_, kind_.hintText, language_);
    // Records past the table's rows were read but have no row: say so rather than show a whole log.
    if (run_ != RecordRun::NotStarted && job_->recordsRead() > job_->recordsThatFit())
        text += '\n' + recordsCutText(job_->recordsRead(), job_->recordsThatFit(), language_);
    hint_->setText(text);
}

void RecordPage::copyRows(int first, int count) {
    const TextGrid& rows = job_->grid();
    for (int r = first; r < first + count; ++r)
        for (int c = 0; c < rows.columns(); ++c)
            setGridCell(grid_, c, r, rows.at(c, r));
    if (!filter_->text().trimmed().isEmpty() || sort_.direction != SortDirection::None) applyView();
}

void RecordPage::saveClick() {
    // The rows are taken when the file is chosen: a download may go on while the dialog is open.
    // The dialog starts in the folder the last record file went to (ZAV.ini [Folders] Records).
    const RecentFolders folders(context_.profile, QCoreApplication::applicationDirPath());
    dialogs_->askSaveFile(this, saveDialogTitle(language_), folders.folder(FileKind::Records),
                          defaultRecordFileName(QString::fromLatin1(kind_.filePrefix), clock_()),
                          [this](const QString& chosen) {
                              if (chosen.isEmpty()) return;
                              const QString path = csvFileName(chosen);
                              const QString error = saveGridCsv(path, job_->grid());
                              if (!error.isEmpty()) {
                                  saved_->hide();
                                  dialogs_->error(this, error);
                              } else {
                                  RecentFolders(context_.profile, QString()).remember(FileKind::Records, path);
                                  saved_->setText(savedToText(QDir::toNativeSeparators(path),
                                                              std::min(job_->recordsRead(), job_->recordsThatFit()),
                                                              language_));
                                  saved_->show();
                              }
                              afterSave();
                              if (context_.scheduler) emit context_.scheduler->buttonsRefreshDue();
                          });
}

bool RecordPage::eventFilter(QObject* watched, QEvent* event) {
    // The wheel moves the selected row three rows at a time instead of scrolling the view.
    if (watched == grid_->viewport() && event->type() == QEvent::Wheel) {
        const int step = static_cast<QWheelEvent*>(event)->angleDelta().y() < 0 ? kWheelRows : -kWheelRows;
        // In the table's order, which a sort may have changed.
        const QHeaderView* lines = grid_->verticalHeader();
        const int current = grid_->currentRow();
        const int line = (current < 0 ? -1 : lines->visualIndex(current)) + step;
        if ((step > 0 && line < grid_->rowCount()) || (step < 0 && line > 0))
            grid_->setCurrentCell(lines->logicalIndex(line), std::max(0, grid_->currentColumn()));
        return true;
    }
    return ZavPage::eventFilter(watched, event);
}

} // namespace zav
