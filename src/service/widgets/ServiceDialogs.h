#pragma once
// The boxes of the maintenance pages behind a small interface, so tests can answer them: result and
// check messages, and the question asked before a command or calibration that clears data, moves or
// drops the load. Nothing here waits for the user: the standard boxes are shown without a nested
// event loop and without modality, and the answer comes back through a callback, so Timer1, the link
// and the shutdown countdown keep running and the countdown's buttons keep working.

#include <QString>
#include <functional>

class QWidget;

namespace zav {

class ServiceDialogs {
  public:
    virtual ~ServiceDialogs() = default;
    // A message box named `name` (tests find it by that name).
    virtual void inform(QWidget* parent, const QString& text, const char* name) = 0;
    // A Yes/No question named `name`. Returns at once; `answer` runs once, later, with true for Yes.
    // A box closed any other way answers No. `answer` is dropped with `parent`.
    virtual void ask(QWidget* parent, const QString& question, const char* name,
                     std::function<void(bool yes)> answer) = 0;
};

class StandardServiceDialogs : public ServiceDialogs {
  public:
    void inform(QWidget* parent, const QString& text, const char* name) override;
    void ask(QWidget* parent, const QString& question, const char* name,
             std::function<void(bool yes)> answer) override;
};

ServiceDialogs& standardServiceDialogs();

} // namespace zav
