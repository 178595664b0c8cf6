// Two runs on one registry, taking turns as a schedule says, so that a test
// can run them "at once" in a chosen, repeatable order: each run on a thread
// of its own, only one of them ever going, the turn passing right before a
// changing call (create, set, delete), when the run has read what it acts on.
#pragma once

#include "support/GuardedRegistryApi.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace testing_support {

class Interleaving {
  public:
    // turns: how many changing calls each run makes in its turn, the first run
    // first, then the second, and so on; when they run out, each run goes to
    // its end, the first run first.
    Interleaving(platform::RegistryApi& registry, std::deque<int> turns);
    ~Interleaving();
    Interleaving(const Interleaving&) = delete;
    Interleaving& operator=(const Interleaving&) = delete;

    // Runs both to their end, each through its own view of the registry.
    void Run(const std::function<void(platform::RegistryApi&)>& first,
             const std::function<void(platform::RegistryApi&)>& second);

  private:
    class Turn;
    LONG Before(int run, platform::RegistryCall call);
    void Finished(int run);
    void PassTurn(int from);

    std::unique_ptr<Turn> views_[2];
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> turns_;
    int active_ = 0;
    int left_ = -1; // changing calls left in the active run's turn; -1: to its end
    bool finished_[2] = {false, false};
};

} // namespace testing_support
