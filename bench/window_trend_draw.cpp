// How long the trends page's chart takes to draw a month of minute buckets (43,200 points a value),
// with the lines handed over whole and thinned to the plot's pixel columns. Offscreen, 1000 x 500.
//   QT_QPA_PLATFORM=offscreen build-rel/bench_window_trend_draw [values]

#include "journal/TrendView.h"
#include "journal/widgets/TrendPages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <cmath>
#include <cstdio>

using namespace zav;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int values = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    constexpr qint64 kMinute = 60 * 1000;
    constexpr int kMinutes = 30 * 24 * 60;
    const qint64 end = QDateTime(QDate(2026, 12, 11), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 start = end - kMinutes * kMinute;
    TrendResult month;
    month.level = TrendLevel::Minute;
    QStringList captions;
    for (int v = 0; v < values; ++v) {
        TrendSeries s{QStringLiteral("output.voltage.%1").arg(QChar('a' + v)), {}};
        for (int m = 0; m < kMinutes; ++m) {
            const float y = 230.0f + 5.0f * float(std::sin(m / 700.0 + v)) + float(m % 13) * 0.1f;
            s.points.append({start + m * kMinute, y, y - 1, y + 1, false});
        }
        month.series << s;
        captions << s.key;
    }
    TrendChartView view;
    view.resize(1000, 500);
    view.show();
    app.processEvents();
    const auto time = [&](const char* name, int columns) {
        QElapsedTimer t;
        double best = 1e9;
        qsizetype points = 0;
        for (int run = 0; run < 5; ++run) {
            t.start();
            const QVector<TrendLine> lines = trendLines(month, {start, end}, columns);
            view.draw(month, lines, {start, end}, captions);
            const QPixmap shot = view.grab(); // paints the chart now
            best = std::min(best, t.nsecsElapsed() / 1e6);
            points = 0;
            for (const TrendLine& l : lines) points += l.points.size();
        }
        std::printf("%-10s %d values, %7lld points drawn: %8.1f ms (best of 5, lines + draw + paint)\n", name, values,
                    static_cast<long long>(points), best);
    };
    time("whole", 0);
    time("thinned", view.plotColumns());
    return 0;
}
