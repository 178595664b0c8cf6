#include "EmulatedRegistryApi.h"
#include "RegistryRules.h"

#include "platform/RegistryNames.h"

namespace emulation {

using namespace platform;

void EmulatedRegistryApi::FailNthCall(RegistryCall call, int n, LONG error) {
    faults_.push_back({call, calls_[call] + n, {}, error});
}

void EmulatedRegistryApi::FailCallOnKey(RegistryCall call, const std::string& keyPath, LONG error) {
    faults_.push_back({call, 0, FoldedName(StoredPath(keyPath)), error});
}

int EmulatedRegistryApi::CallCount(RegistryCall call) const {
    const auto found = calls_.find(call);
    return found == calls_.end() ? 0 : found->second;
}

LONG EmulatedRegistryApi::Injected(RegistryCall call, const std::string& keyPath) {
    const int occurrence = ++calls_[call];
    for (const Fault& fault : faults_) {
        const bool callMatches = fault.call == call;
        const bool whenMatches = fault.occurrence == 0 || fault.occurrence == occurrence;
        const bool keyMatches = fault.keyPath.empty() || fault.keyPath == keyPath;
        if (callMatches && whenMatches && keyMatches) {
            return fault.error;
        }
    }
    return ERROR_SUCCESS;
}

} // namespace emulation
