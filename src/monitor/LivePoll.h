#pragma once
// The cyclic live poll: measurement block (0x03), status blocks (0x04, with the module fault block
// when 1-30 modules are present) and the two blocks of the selected module (0x6D).
// LiveStep: 1/2 measurement request/reply, 3/4 status, 5/6 module, 7 end of cycle, 0 none.

#include "link/BlockList.h"
#include "link/LinkJob.h"
#include "monitor/LiveStores.h"

#include <QObject>

namespace zav {

class LivePoll : public QObject, public LinkJob {
    Q_OBJECT
  public:
    explicit LivePoll(LiveStores& live) : live_(live) {}

    int step() const { return step_; }
    void setStep(int step) { step_ = step; }

    // StartLiveCycle: loads the measurement and status lists for the modules now present.
    void startLiveCycle(const ModulePresence& modules);
    // StartModuleStage: loads the selected module's two blocks; nothing when no module is selected.
    void startModuleStage(int selectedModule);

    // LinkJob. serve() returns true when the cycle has ended (step 7, or no module stage).
    const char* name() const override { return "live poll"; }
    bool wantsLine() const override { return step_ != 0; }
    bool serve(LinkIo& io) override;
    void reset() override { step_ = 0; }
    // The cycle ends where it is, with the values read so far, as when its blocks are given up.
    void abandon(const QString& reason) override;

    const BlockList& measureList() const { return measure_; }
    const BlockList& statusList() const { return status_; }
    const BlockList& moduleList() const { return module_; }

  signals:
    void moduleStageEnded();  // module data grid refresh
    void moduleListChanged(); // the module selector refills its items

  private:
    void dataRx(LinkIo& io);
    void stsRx(LinkIo& io);
    void modDataRx(LinkIo& io);
    bool endStatusStage(LinkIo& io);
    void endModuleStage(LinkIo& io);

    LiveStores& live_;
    int step_ = 0;
    BlockList measure_;
    BlockList status_;
    BlockList module_;
};

} // namespace zav
