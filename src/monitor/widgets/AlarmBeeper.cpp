#include "monitor/widgets/AlarmBeeper.h"

#include "foundation/ProfileFile.h"
#include "session/UpsSession.h"
#include "monitor/WavToneSink.h"
#include "monitor/widgets/AudioToneOutput.h"

#include "foundation/LanguageText.h"
#include "foundation/WindowFit.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QTimer>

namespace zav {

namespace {
constexpr int kTimerBeeperMs = 1000;
int boxKey(int event, int unit) {
    return event * 100 + unit;
}
} // namespace

void AlarmBoxes::show(const AlarmWarning& warning, int language) {
    QPointer<QMessageBox>& slot = boxes_[boxKey(warning.event, warning.unit)];
    if (slot) {
        slot->setText(warning.text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), warning.text,
                                QMessageBox::Yes, parent_);
    box->setObjectName(QStringLiteral("AlarmWarningBox"));
    box->setProperty("alarmEvent", warning.event);
    box->setProperty("alarmUnit", warning.unit);
    box->setAttribute(Qt::WA_DeleteOnClose);
    static const char* const kYes[3] = {"是", "Yes", "是"};
    box->button(QMessageBox::Yes)->setText(pickText({kYes[0], kYes[1], kYes[2]}, language));
    // The box is at least as wide as its title, so the program's name is not cut off (QMessageBox
    // sizes itself from its text and ignores a minimum width; a spacer in its grid counts).
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int title = box->fontMetrics().horizontalAdvance(box->windowTitle()) + 120; // + the frame's buttons
        grid->addItem(new QSpacerItem(title, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    QVector<QRect> open;
    for (const QPointer<QMessageBox>& b : std::as_const(boxes_))
        if (b && b != box && b->isVisible()) open << b->frameGeometry();
    slot = box;
    box->open(); // window-modal, without a nested event loop
    // During an outage several boxes open in the same second: each goes where it hides none of them.
    if (!open.isEmpty()) {
        const QRect avail = box->screen() ? box->screen()->availableGeometry() : QRect();
        const QPoint at = staggered(avail.isValid() ? avail : box->frameGeometry(), box->frameGeometry(), open);
        box->move(at);
    }
}

int AlarmBoxes::openCount() const {
    int n = 0;
    for (const QPointer<QMessageBox>& b : boxes_)
        if (b && b->isVisible()) ++n;
    return n;
}

QMessageBox* AlarmBoxes::box(int event, int unit) const {
    return boxes_.value(boxKey(event, unit));
}

std::unique_ptr<ToneGenerator> defaultToneGenerator() {
    const QString wav = qEnvironmentVariable("ZAV_TONE_WAV");
    if (!wav.isEmpty()) return std::make_unique<WavToneSink>(wav);
    return std::make_unique<AudioToneOutput>();
}

AlarmChoices alarmChoices(const AlarmSelection& selection) {
    AlarmChoices c;
    for (const BeeperEvent& e : beeperEvents())
        c.ticked[size_t(e.number)] = selection.ticked(QLatin1String(e.checkBox));
    c.beeperOn = selection.beeperOn();
    return c;
}

AlarmBeeper::AlarmBeeper(AppContext& context, QWidget* window, std::unique_ptr<ToneGenerator> generator)
    : QObject(window), context_(context), boxes_(window),
      beeper_(std::make_unique<Beeper>(std::move(generator))) {
    setObjectName(QStringLiteral("btBeeper"));
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("TimerBeeper"));
    timer_->setInterval(kTimerBeeperMs);
    connect(timer_, &QTimer::timeout, this, &AlarmBeeper::timerBeeperTimer);
    timer_->start();
    if (!context_.alarms && context_.profile) ownSelection_.load(*context_.profile);
    if (UpsSession* s = context_.scheduler) {
        connect(s, &UpsSession::liveStoresCleared, this, [this] { statusKnown_ = false; });
        connect(s, &UpsSession::linkReset, this, [this] { statusKnown_ = false; });
        connect(s, &UpsSession::liveCycleEnded, this, [this] { statusKnown_ = true; });
    }
}

void AlarmBeeper::setToneGenerator(std::unique_ptr<ToneGenerator> generator) {
    beeper_.reset(); // the old sound thread ends before its generator goes
    beeper_ = std::make_unique<Beeper>(std::move(generator));
}

AlarmChoices AlarmBeeper::choices() const {
    return alarmChoices(context_.alarms ? *context_.alarms : ownSelection_);
}

void AlarmBeeper::timerBeeperTimer() {
    UpsSession* s = context_.scheduler;
    if (!s) return;
    const bool linkOk = s->linkOk() && statusKnown_;
    const AlarmTick tick =
        evaluateAlarms(s->live(), linkOk, choices(), s->upsModel(), context_.language, beeper_->beatMs());
    for (const AlarmWarning& w : tick.warnings)
        boxes_.show(w, context_.language);
    if (tick.sound) beeper_->play(*tick.sound);
}

} // namespace zav
