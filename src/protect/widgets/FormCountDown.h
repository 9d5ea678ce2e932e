#pragma once
// FormCountDown: the shutdown countdown, always on top, with a minimise button only. It shows the
// seconds it is given, whether the link is lost (the count stands still) and the switch-off order
// the UPS holds, and reports the two buttons; the decision stays with the policy.
//
// It is a window of its own, without a parent window: a box that is modal to the main window (an
// alarm, a message, a file dialog) then takes no input away from it, and its buttons act at once.

#include "protect/widgets/PolicyWindow.h"

#include <QDateTime>

class QLabel;
class QPushButton;

namespace zav {

class FormCountDown : public PolicyWindow {
    Q_OBJECT
  public:
    explicit FormCountDown(QWidget* parent = nullptr);
    void applyLanguage(int language);
    void setSeconds(int seconds);
    QString secondsText() const;
    void setHeld(bool held); // "link lost: countdown held"
    // The UPS holds a switch-off order due at `at`, `secondsLeft` from now; an invalid time hides it.
    void setUpsOff(const QDateTime& at, qint64 secondsLeft);
    QString heldText() const;  // empty while hidden
    QString upsOffText() const; // empty while hidden

  signals:
    void cancelRequested();  // ButtonCancel "取消关机"
    void shutNowRequested(); // ButtonShut "立刻关机"

  private:
    QLabel* held_ = nullptr;
    QLabel* upsOff_ = nullptr;
    int language_ = 1;
    QDateTime upsOffAt_;
    qint64 upsOffLeft_ = 0;
    QLabel* lead_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* unit_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* shut_ = nullptr;
};

} // namespace zav
