#include "KeyContents.h"

#include "RegistryNames.h"

#include <algorithm>

namespace platform {
namespace {

// "Registry Element Size Limits": 16,383 characters, in bytes of any ANSI
// code page, with the NUL.
constexpr DWORD LongestValueName = 16383 * WidestAnsiUnit + 1;
// A value that keeps growing between the calls is given up on after so many.
constexpr int Attempts = 4;

} // namespace

KeyContents::KeyContents(RegistryApi& api, HKEY key) : api_(api), key_(key) {
    DWORD longestSubkey = 0, longestName = 0, largestData = 0;
    status_ =
        api_.RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subkeys_, &longestSubkey, nullptr,
                              &values_, &longestName, &largestData, nullptr, nullptr);
    // The lengths are characters; the names come in bytes of the code page.
    name_.resize(std::max(longestSubkey, longestName) * WidestAnsiUnit + 1);
    data_.resize(largestData + 1);
}

LONG KeyContents::SubkeyAt(DWORD index, std::string& name) {
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < Attempts && status == ERROR_MORE_DATA; ++attempt) {
        auto length = static_cast<DWORD>(name_.size());
        status = api_.RegEnumKeyExA(key_, index, name_.data(), &length, nullptr, nullptr, nullptr,
                                    nullptr);
        if (status == ERROR_SUCCESS) {
            name.assign(name_.data(), length);
        } else if (status == ERROR_MORE_DATA) {
            name_.resize(std::max<std::size_t>(name_.size() * 2, LongestKeyName));
        }
    }
    return status;
}

LONG KeyContents::ValueAt(DWORD index, bool withData, NamedValue& value) {
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < Attempts && status == ERROR_MORE_DATA; ++attempt) {
        auto length = static_cast<DWORD>(name_.size());
        auto size = static_cast<DWORD>(data_.size());
        DWORD type = REG_NONE;
        status = api_.RegEnumValueA(key_, index, name_.data(), &length, nullptr, &type,
                                    withData ? data_.data() : nullptr, withData ? &size : nullptr);
        if (status == ERROR_SUCCESS) {
            value.name.assign(name_.data(), length);
            value.value.type = type;
            value.value.data.assign(withData ? reinterpret_cast<const char*>(data_.data()) : "",
                                    withData ? size : 0);
        } else if (status == ERROR_MORE_DATA) {
            // Either may have been short: the name, or the data, which has grown.
            name_.resize(std::max<std::size_t>(name_.size(), LongestValueName));
            data_.resize(std::max<std::size_t>(data_.size() * 2, size + 1));
        }
    }
    return status;
}

LONG KeyContents::Subkeys(std::vector<std::string>& names) {
    if (status_ != ERROR_SUCCESS) {
        return status_;
    }
    for (DWORD index = 0; index < subkeys_; ++index) {
        std::string name;
        if (const LONG status = SubkeyAt(index, name)) {
            return status;
        }
        names.push_back(std::move(name));
    }
    return ERROR_SUCCESS;
}

LONG KeyContents::Values(bool withData, std::vector<NamedValue>& values) {
    if (status_ != ERROR_SUCCESS) {
        return status_;
    }
    for (DWORD index = 0; index < values_; ++index) {
        NamedValue value;
        if (const LONG status = ValueAt(index, withData, value)) {
            return status;
        }
        values.push_back(std::move(value));
    }
    return ERROR_SUCCESS;
}

} // namespace platform
