#include "records/widgets/RecordPages.h"

#include "foundation/Branding.h"
#include "session/UpsSession.h"
#include "pagekit/GridTable.h"
#include "records/RecordDecode.h"
#include "records/GridCsv.h"
#include "records/RecordTexts.h"
#include "records/widgets/FormSCode.h"
#include "records/widgets/RecordDialogs.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zav {

namespace {

const RecordPageKind kHistoryPage = {
    "HisLogDown",    "ButtonDownload",   "ButtonSave",   "ProgressBarDownload",
    "Label2",        "StringGridHislog", "HisLog",       1,
    downloadCaption, historyHintText,    historySaveHint,
    "EditHislogFilter", "ComboHislogOrder", historyFilterHint,
    kHistoryLayout, historySortText, kHistoryColumns, historyHeaderText};

const RecordPageKind kSCodePage = {
    "SCodeDown",          "ButtonSCodeDownload", "ButtonSCodeSave", "ProgressBarSCode",
    "LabelSCodeWait",     "StringGridSCode",     "SCode",           2,
    scodeDownloadCaption, scodeHintText,         scodeSaveHint,
    "EditSCodeFilter",    "ComboSCodeOrder",     scodeFilterHint,
    kSCodeLayout,         scodeSortText,         kSCodeSortKeys, scodeSortKeyName};

} // namespace

ZavPage* createRecordsPage(int index, AppContext& context, QWidget* parent) {
    switch (index) {
    case 7:
        return new HistoryPage(context, parent);
    case 8:
        return new SCodePage(context, parent);
    default:
        return nullptr;
    }
}

HistoryPage::HistoryPage(AppContext& context, QWidget* parent)
    : RecordPage(
          kHistoryPage,
          new HistoryDownload(context.scheduler ? &context.scheduler->settings().SettingData : nullptr),
          context, parent) {
    grid()->setColumnWidth(2, 220);
    grid()->setColumnWidth(4, 160);
    timeNote_ = new QLabel(downloadPanel());
    timeNote_->setObjectName(QStringLiteral("LabelHislogRunningTime"));
    timeNote_->setWordWrap(true);
    timeNote_->hide();
    if (auto* panel = qobject_cast<QBoxLayout*>(downloadPanel()->layout()))
        panel->insertWidget(panel->indexOf(grid()), timeNote_);
    connect(&job(), &RecordDownload::rowsChanged, this, &HistoryPage::updateTimeNote);
    if (UpsSession* s = context.scheduler) {
        // A connection, a detected model or a closed port (cheap when nothing changed).
        connect(s, &UpsSession::linkStateChanged, this, &HistoryPage::updateTimeNote);
        connect(s, &UpsSession::liveStoresCleared, this, &HistoryPage::updateTimeNote);
    }
    auto* box = new QVBoxLayout(this);
    box->addWidget(downloadPanel());
    applyLanguage(context.language);
}

void HistoryPage::applyLanguage(int language) {
    RecordPage::applyLanguage(language);
    if (timeNote_) updateTimeNote();
}

void HistoryPage::updateTimeNote() {
    const auto& history = static_cast<const HistoryDownload&>(job());
    int model = history.rowsModel();
    if (model < 0 && context_.scheduler && context_.scheduler->portOpen()) model = context_.scheduler->upsModel();
    const bool running = model >= 0 && historyTimeIsRunningTime(model);
    timeNote_->setText(runningTimeNote(language()));
    timeNote_->setVisible(running);
    // The title cell stays the file's fixed text; its tool tip says the same.
    if (QTableWidgetItem* title = grid()->item(0, kHistoryColumns - 1))
        title->setToolTip(running ? timeNote_->text() : QString());
}

SCodePage::SCodePage(AppContext& context, QWidget* parent)
    : RecordPage(kSCodePage, new SCodeDownload, context, parent) {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControlSCode"));

    auto* download = new QWidget(tabs_);
    download->setObjectName(QStringLiteral("TabSheetSCodeDown"));
    memo_ = new QPlainTextEdit(download);
    memo_->setObjectName(QStringLiteral("MemoSCodeAnalyze"));
    memo_->setMaximumHeight(170);
    analyze_ = new QPushButton(download);
    analyze_->setObjectName(QStringLiteral("ButtonSCodeAnalyze"));
    analyzeHint_ = new QLabel(download);
    analyzeHint_->setObjectName(QStringLiteral("Label90"));
    analyzeHint_->setWordWrap(true);
    analyzeSelected_ = new QPushButton(download);
    analyzeSelected_->setObjectName(QStringLiteral("ButtonSCodeAnalyzeSelected"));
    analyzeMore_ = new QLabel(download);
    analyzeMore_->setObjectName(QStringLiteral("LabelSCodeAnalyzeMore"));
    analyzeMore_->setWordWrap(true);
    grid()->setColumnWidth(0, 300);
    auto* hints = new QVBoxLayout;
    hints->addWidget(analyzeHint_);
    hints->addWidget(analyzeMore_);
    auto* analyzeRow = new QHBoxLayout;
    analyzeRow->addWidget(analyze_);
    analyzeRow->addWidget(analyzeSelected_);
    analyzeRow->addLayout(hints, 1);
    auto* downloadBox = new QVBoxLayout(download);
    downloadBox->addWidget(downloadPanel(), 1);
    downloadBox->addWidget(memo_);
    downloadBox->addLayout(analyzeRow);
    tabs_->addTab(download, QString());

    // The trigger mask is edited with the settings; this tab only exists for the maker's branding.
    auto* trigger = new QWidget(tabs_);
    trigger->setObjectName(QStringLiteral("TabSheetSCodeTrigger"));
    triggerNote_ = new QLabel(trigger);
    tabs_->addTab(trigger, QString());

    auto* box = new QVBoxLayout(this);
    box->addWidget(tabs_);

    connect(analyze_, &QPushButton::clicked, this, &SCodePage::analyzeClick);
    connect(grid(), &QTableWidget::cellDoubleClicked, this, &SCodePage::gridDoubleClick);
    connect(analyzeSelected_, &QPushButton::clicked, this, &SCodePage::analyzeSelectedClick);
    // The button works while the current row lies in a downloaded record.
    auto updateSelected = [this] {
        analyzeSelected_->setEnabled(!scodeRecordLines(job().grid(), grid()->currentRow()).isEmpty());
    };
    connect(grid(), &QTableWidget::currentCellChanged, this, updateSelected);
    connect(&job(), &RecordDownload::rowsChanged, this, updateSelected);
    updateSelected();
    applyLanguage(context.language);
}

void SCodePage::applyLanguage(int language) {
    RecordPage::applyLanguage(language);
    tabs_->setTabText(0, scodeTabCaption(language));
    tabs_->setTabText(1, triggerTabCaption(language));
    const int model = context_.scheduler ? context_.scheduler->upsModel() : 1;
    tabs_->setTabVisible(1, brandingColumn().scodeTriggerTab && model != 8);
    analyze_->setText(analyzeCaption(language));
    analyzeHint_->setText(analyzeHint(language));
    analyzeSelected_->setText(analyzeSelectedCaption(language));
    analyzeMore_->setText(analyzeMoreHint(language));
}

void SCodePage::afterSave() {
    // The save shows the idle caption even while a download goes on; the next press cancels it.
    showIdle();
}

void SCodePage::gridDoubleClick(int row, int column) {
    const QString text = gridCell(grid(), column, row).toUpper();
    if (!text.contains(QLatin1String("SCODE")) || !text.contains('#')) return;
    QStringList lines;
    for (int r = row; r < row + kSCodeRowsPerRecord && r < grid()->rowCount(); ++r)
        lines << gridCell(grid(), column, r);
    memo_->setPlainText(lines.join('\n'));
}

void SCodePage::analyzeSelectedClick() {
    const QStringList lines = scodeRecordLines(job().grid(), grid()->currentRow());
    if (lines.isEmpty()) return;
    memo_->setPlainText(lines.join('\n')); // as a double-click on the title would
    analyzeClick();
}

void SCodePage::analyzeClick() {
    const SCodeAnalysis analysis = analyzeSCode(memo_->toPlainText());
    if (analysis.result != SCodeAnalysis::Result::Ok) {
        recordDialogs()->warn(this, scodeMessageCaption(language()),
                              scodeAnalysisMessage(analysis, language()));
        return;
    }
    FormSCode* form = formSCode();
    form->showAnalysis(analysis, context_.scheduler ? context_.scheduler->upsModel() : 1, language());
    QWidget* window = form->window();
    window->show();
    window->raise();
    window->activateWindow();
}

FormSCode* SCodePage::formSCode() {
    if (form_) return form_;
    QWidget* main = window();
    auto* host = main->findChild<QDialog*>(QStringLiteral("FormSCode"), Qt::FindDirectChildrenOnly);
    if (!host) {
        host = new QDialog(main);
        host->setObjectName(QStringLiteral("FormSCode"));
    }
    host->setWindowTitle(formSCodeCaption());
    host->resize(720, 640);
    form_ = new FormSCode(host);
    auto* box = new QVBoxLayout(host);
    box->addWidget(form_);
    return form_;
}

} // namespace zav
