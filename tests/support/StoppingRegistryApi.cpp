#include "support/StoppingRegistryApi.h"

namespace testing_support {

LONG StoppingRegistryApi::Before(platform::RegistryCall call) {
    if (!stopped_ && Changes(call)) {
        stopped_ = made_ == limit_;
        made_ += stopped_ ? 0 : 1;
    }
    if (stopped_ && call != platform::RegistryCall::CloseKey) {
        return ERROR_OPERATION_ABORTED;
    }
    return ERROR_SUCCESS;
}

} // namespace testing_support
