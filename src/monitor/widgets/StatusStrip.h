#pragma once
// The strip at the top of the home page: the UPS's power state in large type on its colour, the
// reason when the values are not live, and the battery charge, runtime left and load. It only
// shows what UpsSummary decided.

#include "monitor/UpsSummary.h"

#include <QFrame>

class QLabel;

namespace zav {

class StatusStrip : public QFrame {
    Q_OBJECT
  public:
    explicit StatusStrip(QWidget* parent = nullptr);

    void setSummary(const UpsSummary& summary, int language);
    const UpsSummary& summary() const { return summary_; }

    // The colour of a state: green on line, amber on battery or bypass, red for low battery and
    // output off, grey without data.
    static QColor stateColor(UpsPowerState state);

  signals:
    void summaryShown(const zav::UpsSummary& summary, int language); // the tray follows the strip

  private:
    UpsSummary summary_;
    QLabel* state_;
    QLabel* gap_;
    QLabel* charge_;
    QLabel* runtime_;
    QLabel* load_;
};

} // namespace zav
