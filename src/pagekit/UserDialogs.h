#pragma once
// Message boxes of the application shell behind a small interface, so tests can answer them and
// see what the user would have been told.
//
// Both calls return at once: a box never runs an event loop of its own (QMessageBox::information,
// exec()), because inside such a loop Timer1, the countdown and the status-bar clock would stop or
// re-enter. A question's answer comes later, through the callback.

#include <QString>
#include <functional>

class QWidget;

namespace zav {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // Information box with Yes and No; `answered(true)` for Yes, `answered(false)` for No or a box
    // closed otherwise. May be called before askYesNo returns (tests answer at once).
    virtual void askYesNo(QWidget* parent, const QString& text, std::function<void(bool yes)> answered) = 0;
};

// QMessageBox boxes titled with the application title, opened with open() (modal to their window
// only) and deleted when closed.
class MessageBoxDialogs : public UserDialogs {
public:
    void inform(QWidget* parent, const QString& text) override;
    void askYesNo(QWidget* parent, const QString& text, std::function<void(bool yes)> answered) override;
};

} // namespace zav
