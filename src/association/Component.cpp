#include "Component.h"

namespace association {

TComponent::~TComponent() {
    // Later components may refer to earlier ones: free them in reverse order.
    while (!owned_.empty()) {
        owned_.pop_back();
    }
}

void TComponent::EndLoading() {
    loading_ = false;
    Loaded();
}

} // namespace association
