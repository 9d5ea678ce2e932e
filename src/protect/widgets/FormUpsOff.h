#pragma once
// FormUpsOff: the warning that stays on screen after the event has cleared while the UPS still holds
// a switch-off order (the registers offer no way to withdraw one). Always on top, a minimise button
// only, like the countdown; it closes itself when the order's time has passed or when the program
// ends. It shows what it is given; the policy decides.

#include "protect/widgets/PolicyWindow.h"

#include <QDateTime>

class QLabel;

namespace zav {

class FormUpsOff : public PolicyWindow {
    Q_OBJECT
  public:
    explicit FormUpsOff(QWidget* parent = nullptr);
    void applyLanguage(int language);
    void setDue(const QDateTime& at, qint64 secondsLeft);
    QString text() const;

  private:
    QLabel* text_ = nullptr;
    int language_ = 1;
    QDateTime at_;
    qint64 secondsLeft_ = 0;
};

} // namespace zav
