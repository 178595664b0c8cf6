// The one owner of an open registry key: closes it on destruction, except a
// predefined root key, which is never closed.
#pragma once

#include "RegistryApi.h"

#include <utility>

namespace platform {

class KeyHandle {
  public:
    KeyHandle() = default;
    KeyHandle(RegistryApi& api, HKEY key) : api_(&api), key_(key) {}
    KeyHandle(KeyHandle&& other) noexcept
        : api_(other.api_), key_(std::exchange(other.key_, nullptr)) {}
    KeyHandle& operator=(KeyHandle&& other) noexcept {
        KeyHandle(std::move(other)).Swap(*this);
        return *this;
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (key_ && !IsPredefinedKey(key_)) {
            api_->RegCloseKey(key_);
        }
    }

    [[nodiscard]] HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    void Swap(KeyHandle& other) noexcept {
        std::swap(api_, other.api_);
        std::swap(key_, other.key_);
    }

  private:
    RegistryApi* api_ = nullptr;
    HKEY key_ = nullptr;
};

} // namespace platform
