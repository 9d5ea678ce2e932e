#pragma once
// The cyclic live poll: measurement block (0x03), status blocks (0x04, with the module fault block
// when 1-30 modules are present) and the two blocks of the selected module (0x6D).
// LiveStep: 1/2 measurement request/reply, 3/4 status, 5/6 module, 7 end of cycle, 0 none.

#include "link/BlockList.h"
#include "monitor/LiveStores.h"

namespace zav {

class Scheduler;

class LivePoll {
  public:
    int step() const { return step_; }
    void setStep(int step) { step_ = step; }

    // StartLiveCycle: loads the measurement and status lists for the modules now present.
    void startLiveCycle(const ModulePresence& modules);
    // StartModuleStage: loads the selected module's two blocks; nothing when no module is selected.
    void startModuleStage(int selectedModule);

    // One dispatch of the live poll on a free tick.
    void serve(Scheduler& s);

    const BlockList& measureList() const { return measure_; }
    const BlockList& statusList() const { return status_; }
    const BlockList& moduleList() const { return module_; }

  private:
    void dataRx(Scheduler& s);
    void stsRx(Scheduler& s);
    void modDataRx(Scheduler& s);
    void endStatusStage(Scheduler& s);
    void endModuleStage(Scheduler& s);

    int step_ = 0;
    BlockList measure_;
    BlockList status_;
    BlockList module_;
};

} // namespace zav
