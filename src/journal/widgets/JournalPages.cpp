#include "journal/widgets/JournalPages.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zav {

ZavPage* createJournalPage(int index, AppContext& context, QWidget* parent) {
    if (index == kJournalPageIndex) return new JournalPage(context, parent);
    return nullptr;
}

JournalPage::JournalPage(AppContext& context, QWidget* parent) : ZavPage(context, parent) {
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    title_ = new QLabel(this);
    QFont font = title_->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    title_->setFont(font);
    labelKind_ = new QLabel(this);
    kind_ = static_cast<QComboBox*>(named(new QComboBox(this), "ComboJournalKind"));
    labelRange_ = new QLabel(this);
    range_ = static_cast<QComboBox*>(named(new QComboBox(this), "ComboJournalRange"));
    labelFrom_ = new QLabel(this);
    from_ = static_cast<QDateTimeEdit*>(named(new QDateTimeEdit(this), "EditJournalFrom"));
    labelTo_ = new QLabel(this);
    to_ = static_cast<QDateTimeEdit*>(named(new QDateTimeEdit(this), "EditJournalTo"));
    for (QDateTimeEdit* e : {from_, to_}) {
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        e->setCalendarPopup(true);
    }
    from_->setDateTime(QDateTime::currentDateTime().addDays(-1));
    to_->setDateTime(QDateTime::currentDateTime().addSecs(3600));
    labelSearch_ = new QLabel(this);
    search_ = static_cast<QLineEdit*>(named(new QLineEdit(this), "EditJournalSearch"));
    search_->setClearButtonEnabled(true);
    refresh_ = static_cast<QPushButton*>(named(new QPushButton(this), "ButtonJournalRefresh"));
    export_ = static_cast<QPushButton*>(named(new QPushButton(this), "ButtonJournalExport"));
    table_ = static_cast<QTableWidget*>(named(new QTableWidget(this), "TableJournal"));
    table_->setColumnCount(3);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    status_ = static_cast<QLabel*>(named(new QLabel(this), "LabelJournalStatus"));

    auto* filters = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{labelKind_, kind_, labelRange_, range_, labelFrom_, from_, labelTo_, to_})
        filters->addWidget(w);
    filters->addStretch();
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(labelSearch_);
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(refresh_);
    searchRow->addWidget(export_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addLayout(filters);
    layout->addLayout(searchRow);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);

    applyLanguage(context.language);
    range_->setCurrentIndex(int(JournalRange::Week));
    const auto redraw = [this] { refresh(); };
    connect(kind_, &QComboBox::currentIndexChanged, this, redraw);
    connect(range_, &QComboBox::currentIndexChanged, this, redraw);
    connect(from_, &QDateTimeEdit::dateTimeChanged, this, redraw);
    connect(to_, &QDateTimeEdit::dateTimeChanged, this, redraw);
    connect(search_, &QLineEdit::textChanged, this, redraw);
    connect(refresh_, &QPushButton::clicked, this, redraw);
    connect(export_, &QPushButton::clicked, this, &JournalPage::exportClick);
}

void JournalPage::applyLanguage(int language) {
    language_ = language;
    title_->setText(journalPageText("title", language));
    labelKind_->setText(journalPageText("kind", language));
    labelRange_->setText(journalPageText("range", language));
    labelFrom_->setText(journalPageText("from", language));
    labelTo_->setText(journalPageText("to", language));
    labelSearch_->setText(journalPageText("search", language));
    refresh_->setText(journalPageText("refresh", language));
    export_->setText(journalPageText("export", language));
    // Refilling the boxes keeps the chosen items (same order in every language).
    for (auto [box, items] : {std::pair{kind_, journalKindItems(language)}, std::pair{range_, journalRangeItems(language)}}) {
        const QSignalBlocker block(box);
        const int current = box->currentIndex();
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(std::max(0, current));
    }
    refresh();
}

JournalFilter JournalPage::filter() const {
    JournalFilter f;
    f.kindItem = kind_->currentIndex();
    f.range = JournalRange(std::clamp(range_->currentIndex(), 0, kJournalRangeCount - 1));
    f.from = from_->dateTime().toUTC();
    f.to = to_->dateTime().toUTC();
    f.search = search_->text();
    return f;
}

void JournalPage::attach() {
    if (attached_ == context_.journal) return;
    if (attached_) attached_->disconnect(this);
    attached_ = context_.journal;
    // A batch written while the page is on screen shows at once; a hidden page waits to be shown.
    if (attached_) connect(attached_, &EventJournal::written, this, [this] { if (isVisible()) refresh(); });
}

void JournalPage::pageShown() { refresh(); }

void JournalPage::refresh() {
    attach();
    const bool custom = range_->currentIndex() == int(JournalRange::Custom);
    from_->setEnabled(custom);
    to_->setEnabled(custom);
    QVector<UpsEvent> found;
    QString error;
    if (!context_.journal) error = QStringLiteral("-");
    else {
        found = context_.journal->query(journalQuery(filter(), QDateTime::currentDateTimeUtc()));
        error = context_.journal->queryError();
    }
    const JournalTable t = journalTable(found, language_, error);
    table_->setUpdatesEnabled(false);
    table_->setHorizontalHeaderLabels(t.headers);
    table_->setRowCount(int(t.rows.size()));
    for (int r = 0; r < t.rows.size(); ++r)
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* item = table_->item(r, c);
            if (!item) table_->setItem(r, c, item = new QTableWidgetItem);
            item->setText(t.rows[r][c]);
        }
    if (table_->columnWidth(0) < 150) table_->setColumnWidth(0, 150);
    table_->setUpdatesEnabled(true);
    status_->setText(t.status);
    export_->setEnabled(context_.journal && error.isEmpty());
}

void JournalPage::exportClick() {
    if (!dialog_) {
        dialog_ = new QFileDialog(this);
        dialog_->setAcceptMode(QFileDialog::AcceptSave);
        dialog_->setNameFilter(QStringLiteral("CSV (*.csv)"));
        dialog_->setDefaultSuffix(QStringLiteral("csv"));
        connect(dialog_, &QFileDialog::fileSelected, this, &JournalPage::exportTo);
    }
    dialog_->selectFile(QStringLiteral("journal-%1.csv").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))));
    dialog_->open();
}

void JournalPage::exportTo(const QString& path) {
    if (!context_.journal) return;
    const QString error = exportJournalCsv(*context_.journal, journalQuery(filter(), QDateTime::currentDateTimeUtc()), path);
    status_->setText(error.isEmpty() ? journalPageText("exported", language_).arg(path)
                                     : journalPageText("exportFailed", language_).arg(error));
}

} // namespace zav
