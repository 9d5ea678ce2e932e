#pragma once
// FormCountDown: the shutdown countdown, always on top, with a minimise button only. It shows the
// seconds it is given and reports the two buttons; the decision stays with the policy.

#include <QDialog>

class QLabel;
class QPushButton;

namespace zav {

class FormCountDown : public QDialog {
    Q_OBJECT
  public:
    explicit FormCountDown(QWidget* parent = nullptr);
    void applyLanguage(int language);
    void setSeconds(int seconds);
    QString secondsText() const;
    void closeByPolicy(); // the countdown is no longer wanted

  signals:
    void cancelRequested();  // ButtonCancel "取消关机"
    void shutNowRequested(); // ButtonShut "立刻关机"

  protected:
    void closeEvent(QCloseEvent* event) override; // the window has no close button to offer
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* lead_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* unit_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* shut_ = nullptr;
    bool closing_ = false;
};

} // namespace zav
