#pragma once
// Message boxes of the application shell behind a small interface, so tests can answer them and
// see what the user would have been told.

#include <QString>

class QWidget;

namespace zav {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // Information box with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
};

// Modal QMessageBox boxes titled with the application title.
class MessageBoxDialogs : public UserDialogs {
public:
    void inform(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text) override;
};

} // namespace zav
