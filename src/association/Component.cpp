#include "Component.h"

#include <algorithm>

namespace association {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) {
        owner_->owned_.push_back(this);
    }
}

TComponent::~TComponent() {
    // Later components may refer to earlier ones: free them in reverse order.
    // Each one leaves this list as it goes.
    while (!owned_.empty()) {
        delete owned_.back();
    }
    if (owner_) {
        auto& siblings = owner_->owned_;
        siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    }
}

void TComponent::EndLoading() {
    loading_ = false;
    Loaded();
}

} // namespace association
