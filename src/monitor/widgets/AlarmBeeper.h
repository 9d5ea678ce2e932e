#pragma once
// The alarm beeper on the main window: TimerBeeper (1 s) evaluates the UPS events the user has
// chosen, shows a warning box when one starts and queues the sound on btBeeper. The choices are
// read on every tick from the alarm tab's boxes as they stand (the shared AlarmSelection of the page
// context), so unticking an event silences it at once; ZAV.ini only keeps them for the next start.
//
// Warning boxes are opened with open(), never exec(): a box opened from a timer slot with exec()
// would run a nested event loop in which the poll timer and later beeper ticks keep firing and stack
// further boxes inside it. Each event of each unit has at most one box; an event that starts again
// while its box is still open updates that box.

#include "pagekit/ZavPage.h"
#include "monitor/Beeper.h"
#include "monitor/BeeperEvents.h"
#include "settings/AlarmSelection.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

class QMessageBox;
class QTimer;
class QWidget;

namespace zav {

// The warning boxes, one per event and unit.
class AlarmBoxes {
  public:
    explicit AlarmBoxes(QWidget* parent) : parent_(parent) {}
    // A box per event and unit; `language` for its button.
    void show(const AlarmWarning& warning, int language = 1);
    int openCount() const; // boxes the user has not yet closed
    QMessageBox* box(int event, int unit) const;

  private:
    QWidget* parent_;
    QHash<int, QPointer<QMessageBox>> boxes_;
};

// The sound output the program uses: the WAV file named by ZAV_TONE_WAV when it is set (a machine
// without speakers, the benchmark), else the audio output.
std::unique_ptr<ToneGenerator> defaultToneGenerator();

// The user's choices as the alarm tab holds them now.
AlarmChoices alarmChoices(const AlarmSelection& selection);

class AlarmBeeper : public QObject {
    Q_OBJECT
  public:
    // Boxes open over `window`; the timer starts at once and runs for the whole program.
    AlarmBeeper(AppContext& context, QWidget* window, std::unique_ptr<ToneGenerator> generator);

    void timerBeeperTimer(); // one TimerBeeper tick
    QTimer* timer() const { return timer_; }
    Beeper& beeper() { return *beeper_; }
    AlarmBoxes& boxes() { return boxes_; }
    void setToneGenerator(std::unique_ptr<ToneGenerator> generator);
    AlarmChoices choices() const; // the alarm tab's boxes as they stand

  private:
    AppContext& context_;
    AlarmBoxes boxes_;
    std::unique_ptr<Beeper> beeper_;
    QTimer* timer_;
    // A status block has arrived since the stores were last cleared: until then the zeros of the
    // cleared stores would read as "battery not connected".
    bool statusKnown_ = false;
    AlarmSelection ownSelection_; // without a shared one: ZAV.ini as at start-up
};

} // namespace zav
