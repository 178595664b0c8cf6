// A run on the emulation stopped dead after its first N changing calls, as
// when its process is killed, its session logged off or the power fails:
// every later call fails, so none of the run's own clean-up reaches the
// registry. Closing a handle still works, as Windows closes a dead process's
// handles. Unlike a refused call, which the code under test may answer, a
// stop leaves exactly what the first N changes made.
#pragma once

#include "emulation/EmulatedRegistryApi.h"

#include <optional>

namespace testing_support {

// Whether the call may change the registry: create, set or delete.
bool Changes(emulation::RegistryCall call);

class StoppedRun {
  public:
    // Without a limit it never stops, and counts.
    StoppedRun(emulation::EmulatedRegistryApi& registry, std::optional<int> changes);
    ~StoppedRun() { registry_.SetCallGate(nullptr); }
    StoppedRun(const StoppedRun&) = delete;
    StoppedRun& operator=(const StoppedRun&) = delete;

    [[nodiscard]] int ChangesMade() const { return made_; }

  private:
    emulation::EmulatedRegistryApi& registry_;
    std::optional<int> limit_;
    int made_ = 0;
    bool stopped_ = false;
};

} // namespace testing_support
