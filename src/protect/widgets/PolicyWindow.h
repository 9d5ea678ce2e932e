#pragma once
// The PC protection's always-on-top windows (the countdown, the pending switch-off): only the policy
// closes them. The window system's close (Alt+F4) and Escape would otherwise hide a window whose
// state still holds, without changing that state.

#include <QDialog>

namespace zav {

class PolicyWindow : public QDialog {
    Q_OBJECT
  public:
    explicit PolicyWindow(QWidget* parent = nullptr);
    void closeByPolicy(); // what the window stands for is over

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool closing_ = false;
};

} // namespace zav
