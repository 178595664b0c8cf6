// A run stopped dead after its first N changing calls, as when its process is
// killed, its session logged off or the power fails: every later call fails,
// so none of the run's own clean-up reaches the registry. Closing a handle
// still works, as Windows closes a dead process's handles. Unlike a refused
// call, which the code under test may answer, a stop leaves exactly what the
// first N changes made.
#pragma once

#include "support/GuardedRegistryApi.h"

#include <optional>

namespace testing_support {

class StoppingRegistryApi final : public GuardedRegistryApi {
  public:
    // Without a limit it never stops, and counts.
    StoppingRegistryApi(platform::RegistryApi& inner, std::optional<int> changes)
        : GuardedRegistryApi(inner), limit_(changes) {}

    int ChangesMade() const { return made_; }
    bool Stopped() const { return stopped_; }

  protected:
    LONG Before(platform::RegistryCall call) override;

  private:
    std::optional<int> limit_;
    int made_ = 0;
    bool stopped_ = false;
};

} // namespace testing_support
