// Two runs on one emulated registry, taking turns as a schedule says, so that
// a test can run them "at once" in a chosen, repeatable order: each run on a
// thread of its own, only one of them ever going, the turn passing right
// before a changing call (create, set, delete), when the run has read what it
// acts on.
#pragma once

#include "emulation/EmulatedRegistryApi.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace testing_support {

class Interleaving {
  public:
    // turns: how many changing calls each run makes in its turn, the first run
    // first, then the second, and so on; when they run out, each run goes to
    // its end, the first run first.
    Interleaving(emulation::EmulatedRegistryApi& registry, std::deque<int> turns);
    ~Interleaving() { registry_.SetCallGate(nullptr); }
    Interleaving(const Interleaving&) = delete;
    Interleaving& operator=(const Interleaving&) = delete;

    // Runs both to their end.
    void Run(const std::function<void()>& first, const std::function<void()>& second);

  private:
    LONG Before(emulation::RegistryCall call);
    void WaitForTurn(std::unique_lock<std::mutex>& lock);
    void Finished(int run);
    void PassTurn(int from);

    emulation::EmulatedRegistryApi& registry_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> turns_;
    int active_ = 0;
    int left_ = -1; // changing calls left in the active run's turn; -1: to its end
    bool finished_[2] = {false, false};
};

} // namespace testing_support
