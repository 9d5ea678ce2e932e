#pragma once
// FormUpsOff: the warning that stays on screen after the event has cleared while the UPS still holds
// a switch-off order (the registers offer no way to withdraw one). Always on top, a minimise button
// only, like the countdown; it closes itself when the order's time has passed or when the program
// ends. It shows what it is given; the policy decides.

#include <QDateTime>
#include <QDialog>

class QLabel;

namespace zav {

class FormUpsOff : public QDialog {
    Q_OBJECT
  public:
    explicit FormUpsOff(QWidget* parent = nullptr);
    void applyLanguage(int language);
    void setDue(const QDateTime& at, qint64 secondsLeft);
    QString text() const;
    void closeByPolicy();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* text_ = nullptr;
    int language_ = 1;
    QDateTime at_;
    qint64 secondsLeft_ = 0;
    bool closing_ = false;
};

} // namespace zav
