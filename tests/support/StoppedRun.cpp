#include "support/StoppedRun.h"

namespace testing_support {

using emulation::RegistryCall;

bool Changes(RegistryCall call) {
    return call == RegistryCall::CreateKey || call == RegistryCall::SetValue ||
           call == RegistryCall::DeleteKey || call == RegistryCall::DeleteValue;
}

StoppedRun::StoppedRun(emulation::EmulatedRegistryApi& registry, std::optional<int> changes)
    : registry_(registry), limit_(changes) {
    registry_.SetCallGate([this](RegistryCall call) -> LONG {
        if (!stopped_ && Changes(call)) {
            stopped_ = made_ == limit_;
            made_ += stopped_ ? 0 : 1;
        }
        return stopped_ && call != RegistryCall::CloseKey ? ERROR_OPERATION_ABORTED : ERROR_SUCCESS;
    });
}

} // namespace testing_support
