#include "support/Interleaving.h"

#include "support/StoppedRun.h"

#include <thread>

namespace testing_support {
namespace {

thread_local int thisRun = 0; // which run the calling thread makes

} // namespace

Interleaving::Interleaving(emulation::EmulatedRegistryApi& registry, std::deque<int> turns)
    : registry_(registry), turns_(std::move(turns)) {
    if (!turns_.empty()) {
        left_ = turns_.front();
        turns_.pop_front();
    }
    registry_.SetCallGate([this](emulation::RegistryCall call) { return Before(call); });
}

void Interleaving::WaitForTurn(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return active_ == thisRun; });
}

void Interleaving::PassTurn(int from) {
    const int other = 1 - from;
    if (!finished_[other]) {
        active_ = other;
    }
    left_ = -1;
    if (!turns_.empty() && !finished_[other]) {
        left_ = turns_.front();
        turns_.pop_front();
    }
    changed_.notify_all();
}

LONG Interleaving::Before(emulation::RegistryCall call) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (WaitForTurn(lock); Changes(call) && left_ == 0; WaitForTurn(lock)) {
        PassTurn(thisRun);
    }
    left_ -= Changes(call) && left_ > 0 ? 1 : 0;
    return ERROR_SUCCESS;
}

void Interleaving::Finished(int run) {
    const std::lock_guard<std::mutex> lock(mutex_);
    finished_[run] = true;
    if (active_ == run) {
        PassTurn(run);
    }
}

void Interleaving::Run(const std::function<void()>& first, const std::function<void()>& second) {
    std::thread other([&] {
        thisRun = 1;
        {
            // Not a step before its turn: the runs share the emulated system too.
            std::unique_lock<std::mutex> lock(mutex_);
            WaitForTurn(lock);
        }
        second();
        Finished(1);
    });
    thisRun = 0;
    first();
    Finished(0);
    other.join();
}

} // namespace testing_support
