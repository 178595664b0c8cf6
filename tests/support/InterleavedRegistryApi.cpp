#include "support/InterleavedRegistryApi.h"

#include <thread>

namespace testing_support {

class Interleaving::Turn final : public GuardedRegistryApi {
  public:
    Turn(platform::RegistryApi& inner, Interleaving& owner, int run)
        : GuardedRegistryApi(inner), owner_(owner), run_(run) {}

  protected:
    LONG Before(platform::RegistryCall call) override { return owner_.Before(run_, call); }

  private:
    Interleaving& owner_;
    int run_;
};

Interleaving::Interleaving(platform::RegistryApi& registry, std::deque<int> turns)
    : views_{std::make_unique<Turn>(registry, *this, 0),
             std::make_unique<Turn>(registry, *this, 1)},
      turns_(std::move(turns)) {
    if (!turns_.empty()) {
        left_ = turns_.front();
        turns_.pop_front();
    }
}

Interleaving::~Interleaving() = default;

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

LONG Interleaving::Before(int run, platform::RegistryCall call) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return active_ == run; });
        if (!Changes(call) || left_ != 0) {
            left_ -= Changes(call) && left_ > 0 ? 1 : 0;
            return ERROR_SUCCESS;
        }
        PassTurn(run);
    }
}

void Interleaving::Finished(int run) {
    const std::lock_guard<std::mutex> lock(mutex_);
    finished_[run] = true;
    if (active_ == run) {
        PassTurn(run);
    }
}

void Interleaving::Run(const std::function<void(platform::RegistryApi&)>& first,
                       const std::function<void(platform::RegistryApi&)>& second) {
    std::thread other([&] {
        {
            // Not a step before its turn: the runs share the emulated system too.
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return active_ == 1; });
        }
        second(*views_[1]);
        Finished(1);
    });
    first(*views_[0]);
    Finished(0);
    other.join();
}

} // namespace testing_support
