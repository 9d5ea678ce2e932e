#pragma once
// The trends page of the page tree (index 17, "Trends"): the chosen values over a time range with
// Qt Charts, zoomed with a rubber band or the wheel and panned, a line broken wherever the data
// has a gap; the shown range exported as UTF-8 CSV or PNG. It copies what journal/TrendView
// decides; the store is the window's (AppContext::trends), read when the page is shown, when the
// choice changes, and every few seconds of new data while the page is on screen.

#include "journal/TrendView.h"
#include "pagekit/ZavPage.h"

#include <QChartView>

class QComboBox;
class QDateTimeAxis;
class QDateTimeEdit;
class QFileDialog;
class QLabel;
class QPushButton;
class QRubberBand;
class QTreeWidget;
class QTreeWidgetItem;
class QValueAxis;

namespace zav {

inline constexpr int kTrendsPageIndex = 17;

ZavPage* createTrendsPage(int index, AppContext& context, QWidget* parent);

// The chart: draws lines it is given; a rubber band, the wheel and Shift+wheel ask for a window.
class TrendChartView : public QChartView {
    Q_OBJECT
  public:
    explicit TrendChartView(QWidget* parent = nullptr);
    void draw(const TrendResult& result, const QVector<TrendLine>& lines, QPair<qint64, qint64> window,
              const QStringList& captions);
    // Device pixel columns of the plot: a drawn line needs no more points than a few per column.
    int plotColumns() const;

  signals:
    void zoomAsked(double factor, qint64 centerMs);
    void panAsked(double widths);
    void spanAsked(qint64 fromMs, qint64 toMs);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    qint64 msAt(const QPointF& viewPos) const;
    QDateTimeAxis* time_;
    QValueAxis* value_;
    QPointF pressAt_;
    QRubberBand* band_ = nullptr;
};

class TrendsPage : public ZavPage {
    Q_OBJECT
  public:
    explicit TrendsPage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override;
    void refresh() override;
    void pageShown() override;

    TrendModel& model() { return model_; }
    const TrendResult& shown() const { return shown_; }
    TrendChartView* chart() const { return chart_; }
    void exportCsvTo(const QString& path);
    void exportPngTo(const QString& path);
    void exportClick(bool png); // opens the dialog (not modal to the loop: open())

  private:
    void attach();
    void fillValues();

    TrendModel model_;
    TrendResult shown_;
    QLabel* title_;
    QLabel* labelRange_;
    QComboBox* range_;
    QLabel* labelFrom_;
    QDateTimeEdit* from_;
    QLabel* labelTo_;
    QDateTimeEdit* to_;
    QPushButton* earlier_;
    QPushButton* later_;
    QPushButton* resetZoom_;
    QPushButton* refresh_;
    QPushButton* exportCsv_;
    QPushButton* exportPng_;
    QTreeWidget* values_;
    TrendChartView* chart_;
    QLabel* hint_;
    QLabel* status_;
    QFileDialog* dialog_ = nullptr;
    bool dialogPng_ = false;
    TrendStore* attached_ = nullptr;
    qint64 lastDrawMs_ = 0;
    int language_ = 1;
};

} // namespace zav
