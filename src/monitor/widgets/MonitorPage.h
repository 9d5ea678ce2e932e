#pragma once
// Base of the live monitoring pages: access to the stores, the model and the system-code bits
// through the scheduler, the current language and the clock that stamps chart points.

#include "pagekit/ZavPage.h"
#include "monitor/LiveStores.h"
#include "monitor/MeasureViews.h"

#include <QDateTime>
#include <functional>

namespace zav {

class MonitorPage : public ZavPage {
    Q_OBJECT
  public:
    MonitorPage(AppContext& context, QWidget* parent);

    // Tests stamp chart points with their own time; the default is the system clock.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock) { clock_ = std::move(clock); }

  protected:
    const LiveStores& live() const;
    MeasureLayout layout() const;  // UpsModel and S1/S2 of the settings read from the UPS
    bool modulesChoosable() const; // port open and 1 to 30 modules present
    int language() const { return language_; }
    void setLanguage(int language) { language_ = language; }
    QDateTime now() const { return clock_(); }
    // Connects a scheduler signal to a member of the page or to a functor; does nothing without a
    // scheduler.
    template <typename Signal, typename Page> void onScheduler(Signal signal, void (Page::*slot)());
    template <typename Signal, typename Functor> void onScheduler(Signal signal, Functor functor);

  private:
    int language_ = 1;
    Clock clock_ = [] { return QDateTime::currentDateTime(); };
};

} // namespace zav

#include "session/UpsSession.h"

template <typename Signal, typename Page>
void zav::MonitorPage::onScheduler(Signal signal, void (Page::*slot)()) {
    if (context_.scheduler) connect(context_.scheduler, signal, static_cast<Page*>(this), slot);
}

template <typename Signal, typename Functor>
void zav::MonitorPage::onScheduler(Signal signal, Functor functor) {
    if (context_.scheduler) connect(context_.scheduler, signal, this, functor);
}
