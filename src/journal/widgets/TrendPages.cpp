#include "journal/widgets/TrendPages.h"

#include "foundation/RecentFolders.h"
#include "journal/TrendFeed.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeAxis>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <algorithm>
#include <QPushButton>
#include <QRubberBand>
#include <QSaveFile>
#include <QScatterSeries>
#include <QTreeWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QMouseEvent>
#include <QWheelEvent>

namespace zav {

namespace {

constexpr qint64 kRedrawEveryMs = 5000; // new data redraws a shown page at most this often
constexpr double kWheelZoom = 0.8;       // one wheel step in
constexpr double kWheelPan = 0.1;        // one Shift+wheel step: a tenth of the width

QString timeFormat(qint64 spanMs) {
    if (spanMs <= 2 * 3600 * 1000LL) return QStringLiteral("hh:mm:ss");
    if (spanMs <= 2 * 24 * 3600 * 1000LL) return QStringLiteral("MM-dd hh:mm");
    return QStringLiteral("yyyy-MM-dd");
}

} // namespace

ZavPage* createTrendsPage(int index, AppContext& context, QWidget* parent) {
    if (index == kTrendsPageIndex) return new TrendsPage(context, parent);
    return nullptr;
}

TrendChartView::TrendChartView(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("ChartTrends"));
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    time_ = new QDateTimeAxis(chart);
    time_->setTickCount(7);
    value_ = new QValueAxis(chart);
    chart->addAxis(time_, Qt::AlignBottom);
    chart->addAxis(value_, Qt::AlignLeft);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(240);
}

qint64 TrendChartView::msAt(const QPointF& viewPos) const {
    return qint64(chart()->mapToValue(chart()->mapFromScene(mapToScene(viewPos.toPoint()))).x());
}

void TrendChartView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return QChartView::wheelEvent(event);
    if (event->modifiers() & Qt::ShiftModifier) emit panAsked(-steps * kWheelPan);
    else emit zoomAsked(std::pow(kWheelZoom, steps), msAt(event->position()));
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QChartView::mousePressEvent(event);
    // The band is the page's own: the chart's built-in zoom would change the axes behind the
    // model's back, and a zoom in must query again to reach a finer level.
    pressAt_ = event->position();
    if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    band_->setGeometry(QRect(pressAt_.toPoint(), QSize(1, viewport()->height())));
    band_->show();
    event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent* event) {
    if (!band_ || !band_->isVisible()) return QChartView::mouseMoveEvent(event);
    const int x0 = int(pressAt_.x()), x1 = int(event->position().x());
    band_->setGeometry(QRect(std::min(x0, x1), 0, std::abs(x1 - x0) + 1, viewport()->height()));
    event->accept();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && band_ && band_->isVisible()) {
        band_->hide();
        if (std::abs(event->position().x() - pressAt_.x()) > 4) emit spanAsked(msAt(pressAt_), msAt(event->position()));
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) { // one step out, as two wheel steps
        emit zoomAsked(1.0 / kWheelZoom / kWheelZoom, msAt(event->position()));
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

int TrendChartView::plotColumns() const {
    // Before the first layout the plot has no width yet: the view's, and never fewer than a
    // narrow screen's, so a page drawn while hidden is not thinned too far.
    const double plot = chart()->plotArea().width();
    const double width = std::max({plot, double(viewport()->width()), 1024.0});
    return int(width * devicePixelRatioF());
}

void TrendChartView::draw(const TrendResult& result, const QVector<TrendLine>& lines, QPair<qint64, qint64> window,
                          const QStringList& captions) {
    QChart* c = chart();
    c->removeAllSeries();
    static const QColor kColors[] = {QColor(0, 114, 178), QColor(213, 94, 0), QColor(0, 158, 115), QColor(204, 121, 167),
                                     QColor(86, 180, 233), QColor(230, 159, 0), QColor(0, 0, 0), QColor(120, 120, 120)};
    QVector<bool> named(result.series.size(), false);
    for (const TrendLine& line : lines) {
        const QColor color = kColors[line.series % int(std::size(kColors))];
        // A lone point between two gaps is drawn as a dot: a line of one point would not show.
        QXYSeries* s = line.points.size() == 1 ? static_cast<QXYSeries*>(new QScatterSeries) : new QLineSeries;
        if (auto* dots = qobject_cast<QScatterSeries*>(s)) dots->setMarkerSize(5);
        s->setColor(color);
        s->replace(line.points);
        c->addSeries(s);
        s->attachAxis(time_);
        s->attachAxis(value_);
        // One legend entry per value, on its first line.
        const bool first = !named[line.series];
        named[line.series] = true;
        s->setName(captions.value(line.series));
        const auto markers = c->legend()->markers(s);
        for (auto* m : markers) m->setVisible(first);
    }
    time_->setFormat(timeFormat(window.second - window.first));
    time_->setRange(QDateTime::fromMSecsSinceEpoch(window.first), QDateTime::fromMSecsSinceEpoch(window.second));
    const auto [lo, hi] = trendValueScale(result);
    value_->setRange(lo, hi);
}

TrendsPage::TrendsPage(AppContext& context, QWidget* parent) : ZavPage(context, parent) {
    const auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    title_ = new QLabel(this);
    QFont font = title_->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    title_->setFont(font);
    labelRange_ = new QLabel(this);
    range_ = named(new QComboBox(this), "ComboTrendRange");
    labelFrom_ = new QLabel(this);
    from_ = named(new QDateTimeEdit(this), "EditTrendFrom");
    labelTo_ = new QLabel(this);
    to_ = named(new QDateTimeEdit(this), "EditTrendTo");
    for (QDateTimeEdit* e : {from_, to_}) {
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        e->setCalendarPopup(true);
    }
    from_->setDateTime(QDateTime::currentDateTime().addDays(-1));
    to_->setDateTime(QDateTime::currentDateTime());
    earlier_ = named(new QPushButton(this), "ButtonTrendEarlier");
    later_ = named(new QPushButton(this), "ButtonTrendLater");
    resetZoom_ = named(new QPushButton(this), "ButtonTrendResetZoom");
    refresh_ = named(new QPushButton(this), "ButtonTrendRefresh");
    exportCsv_ = named(new QPushButton(this), "ButtonTrendExportCsv");
    exportPng_ = named(new QPushButton(this), "ButtonTrendExportPng");
    values_ = named(new QTreeWidget(this), "TreeTrendValues");
    values_->setHeaderHidden(true);
    values_->setMinimumWidth(200);
    chart_ = new TrendChartView(this);
    hint_ = new QLabel(this);
    hint_->setWordWrap(true);
    status_ = named(new QLabel(this), "LabelTrendStatus");

    auto* controls = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{labelRange_, range_, labelFrom_, from_, labelTo_, to_})
        controls->addWidget(w);
    controls->addStretch();
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{earlier_, later_, resetZoom_}) buttons->addWidget(w);
    buttons->addWidget(hint_, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{refresh_, exportCsv_, exportPng_}) buttons->addWidget(w);
    auto* middle = new QHBoxLayout;
    middle->addWidget(values_);
    middle->addWidget(chart_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addLayout(controls);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    layout->addWidget(status_);

    applyLanguage(context.language);
    range_->setCurrentIndex(int(model_.range()));
    const auto now = [] { return QDateTime::currentDateTimeUtc(); };
    connect(range_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_.setRange(TrendRange(std::clamp(i, 0, kTrendRangeCount - 1)));
        refresh();
    });
    const auto custom = [this] {
        model_.setCustom(from_->dateTime().toUTC(), to_->dateTime().toUTC());
        refresh();
    };
    connect(from_, &QDateTimeEdit::dateTimeChanged, this, custom);
    connect(to_, &QDateTimeEdit::dateTimeChanged, this, custom);
    connect(earlier_, &QPushButton::clicked, this, [this, now] { model_.pan(-0.5, now()); refresh(); });
    connect(later_, &QPushButton::clicked, this, [this, now] { model_.pan(0.5, now()); refresh(); });
    connect(resetZoom_, &QPushButton::clicked, this, [this] { model_.resetZoom(); refresh(); });
    connect(refresh_, &QPushButton::clicked, this, &TrendsPage::refresh);
    connect(exportCsv_, &QPushButton::clicked, this, [this] { exportClick(false); });
    connect(exportPng_, &QPushButton::clicked, this, [this] { exportClick(true); });
    connect(values_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        const QString key = item->data(0, Qt::UserRole).toString();
        if (key.isEmpty()) return;
        model_.setChosenValue(key, item->checkState(0) == Qt::Checked);
        refresh();
    });
    connect(chart_, &TrendChartView::zoomAsked, this, [this, now](double f, qint64 at) { model_.zoom(f, at, now()); refresh(); });
    connect(chart_, &TrendChartView::panAsked, this, [this, now](double w) { model_.pan(w, now()); refresh(); });
    connect(chart_, &TrendChartView::spanAsked, this, [this, now](qint64 a, qint64 b) { model_.zoomTo(a, b, now()); refresh(); });
}

void TrendsPage::fillValues() {
    const QSignalBlocker block(values_);
    values_->clear();
    for (const TrendChoiceGroup& g : trendChoiceGroups(language_)) {
        auto* group = new QTreeWidgetItem(values_, {g.caption});
        group->setFlags(Qt::ItemIsEnabled);
        for (const auto& [key, caption] : g.values) {
            auto* item = new QTreeWidgetItem(group, {caption});
            item->setData(0, Qt::UserRole, key);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(0, model_.chosen().contains(key) ? Qt::Checked : Qt::Unchecked);
        }
        group->setExpanded(true);
    }
}

void TrendsPage::applyLanguage(int language) {
    language_ = language;
    title_->setText(trendPageText("title", language));
    labelRange_->setText(trendPageText("range", language));
    labelFrom_->setText(trendPageText("from", language));
    labelTo_->setText(trendPageText("to", language));
    earlier_->setText(trendPageText("earlier", language));
    later_->setText(trendPageText("later", language));
    resetZoom_->setText(trendPageText("resetZoom", language));
    refresh_->setText(trendPageText("refresh", language));
    exportCsv_->setText(trendPageText("exportCsv", language));
    exportPng_->setText(trendPageText("exportPng", language));
    hint_->setText(trendPageText("hint", language));
    {
        const QSignalBlocker block(range_);
        const int current = range_->currentIndex();
        range_->clear();
        range_->addItems(trendRangeItems(language));
        range_->setCurrentIndex(std::max(0, current));
    }
    fillValues();
    if (isVisible()) refresh();
}

void TrendsPage::attach() {
    TrendStore* store = context_.trends && context_.trends->store().isOpen() ? &context_.trends->store() : nullptr;
    if (attached_ == store) return;
    if (attached_) attached_->disconnect(this);
    attached_ = store;
    // New data redraws the page while it is on screen, a few seconds apart, unless the user is
    // looking at a zoomed window of their own.
    if (attached_)
        connect(attached_, &TrendStore::written, this, [this] {
            if (isVisible() && !model_.zoomed() && QDateTime::currentMSecsSinceEpoch() - lastDrawMs_ >= kRedrawEveryMs) refresh();
        });
}

void TrendsPage::pageShown() { refresh(); }

void TrendsPage::refresh() {
    attach();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const bool custom = model_.range() == TrendRange::Custom;
    from_->setEnabled(custom);
    to_->setEnabled(custom);
    resetZoom_->setEnabled(model_.zoomed());
    shown_ = TrendResult{};
    if (!attached_) shown_.error = trendPageText("noTrends", language_);
    else if (!model_.chosen().isEmpty()) {
        attached_->flush(); // what is queued shows too
        shown_ = attached_->query(model_.query(context_.trends->shownUps(), now));
    }
    QStringList captions;
    for (const TrendSeries& s : shown_.series) captions << trendChannelCaption(trendChannels()[trendChannelIndex(s.key)], language_);
    const QPair<qint64, qint64> window = model_.window(now);
    chart_->draw(shown_, trendLines(shown_, window, chart_->plotColumns()), window, captions);
    status_->setText(trendStatus(shown_, language_));
    exportCsv_->setEnabled(attached_ && shown_.error.isEmpty() && !shown_.series.isEmpty());
    lastDrawMs_ = QDateTime::currentMSecsSinceEpoch();
}

void TrendsPage::exportClick(bool png) {
    if (!dialog_) {
        dialog_ = new QFileDialog(this);
        dialog_->setAcceptMode(QFileDialog::AcceptSave);
        connect(dialog_, &QFileDialog::fileSelected, this, [this](const QString& path) {
            RecentFolders(context_.profile, QString()).remember(FileKind::Records, path);
            dialogPng_ ? exportPngTo(path) : exportCsvTo(path);
        });
    }
    dialogPng_ = png;
    dialog_->setDirectory(RecentFolders(context_.profile, QCoreApplication::applicationDirPath()).folder(FileKind::Records));
    dialog_->setNameFilter(png ? QStringLiteral("PNG (*.png)") : QStringLiteral("CSV (*.csv)"));
    dialog_->setDefaultSuffix(png ? QStringLiteral("png") : QStringLiteral("csv"));
    dialog_->selectFile(QStringLiteral("trends-%1.%2")
                            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")),
                                 png ? QStringLiteral("png") : QStringLiteral("csv")));
    dialog_->open();
}

void TrendsPage::exportCsvTo(const QString& path) {
    const QString error = exportTrendCsv(shown_, path);
    status_->setText(error.isEmpty() ? trendPageText("exported", language_).arg(path)
                                     : trendPageText("exportFailed", language_).arg(error));
}

void TrendsPage::exportPngTo(const QString& path) {
    QSaveFile f(path); // whole or not at all
    const bool ok = f.open(QIODevice::WriteOnly) && chart_->grab().save(&f, "PNG") && f.commit();
    status_->setText(ok ? trendPageText("exported", language_).arg(path)
                        : trendPageText("exportFailed", language_).arg(path));
}

} // namespace zav
