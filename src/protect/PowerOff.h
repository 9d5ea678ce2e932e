#pragma once
// Powering the PC off, behind a narrow interface: the program gets the system's implementation
// (src/protect/platform, linked into zav alone), everything else, tests and the demo included,
// gets the dry run, which only records what would have happened.

#include <QString>
#include <QStringList>
#include <functional>

namespace zav {

enum class PowerOffOutcome {
    Started, // the system accepted the request: the PC is going down
    Refused, // the system said no (no right to power off, inhibited)
    Failed,  // nobody could be asked (no logind, no systemctl) or the request broke
};

struct PowerOffResult {
    PowerOffOutcome outcome = PowerOffOutcome::Failed;
    QString detail; // what the system answered, for the log and the window
};

class PowerOff {
  public:
    virtual ~PowerOff() = default;
    // Asks for a forced power-off of the whole system now. `done` is called exactly once, maybe
    // before this returns; the request never waits on the caller's thread.
    virtual void powerOff(std::function<void(const PowerOffResult&)> done) = 0;
    virtual QString name() const = 0;
    virtual bool isDryRun() const { return false; }
};

class DryRunPowerOff : public PowerOff {
  public:
    void powerOff(std::function<void(const PowerOffResult&)> done) override;
    QString name() const override { return QStringLiteral("dry run"); }
    bool isDryRun() const override { return true; }
    int calls() const { return calls_; }
    const QStringList& record() const { return record_; } // one line per request

  private:
    int calls_ = 0;
    QStringList record_;
};

} // namespace zav
