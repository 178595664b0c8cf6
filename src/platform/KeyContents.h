// The one enumerator of a key's subkeys and values, for every place that lists
// them. A name comes in bytes of the ANSI code page, which the key's summary
// does not count (it counts UTF-16 units), and a value may grow between two
// calls: a call that answers ERROR_MORE_DATA is made again with room enough.
#pragma once

#include "RegistryApi.h"
#include "RegistryValue.h"

#include <string>
#include <vector>

namespace platform {

struct NamedValue {
    std::string name;
    RegistryValue value; // only with the data asked for
};

class KeyContents {
  public:
    // Reads the key's counts and longest lengths first; Status() says whether it could.
    KeyContents(RegistryApi& api, HKEY key);

    [[nodiscard]] LONG Status() const { return status_; }
    [[nodiscard]] DWORD SubkeyCount() const { return subkeys_; }

    // The subkey at the index, as RegEnumKeyExA gives it.
    [[nodiscard]] LONG SubkeyAt(DWORD index, std::string& name);
    // The value at the index, with its data when withData.
    [[nodiscard]] LONG ValueAt(DWORD index, bool withData, NamedValue& value);

    // Every subkey's name, in enumeration order; the code of the first call
    // that failed, with the names read before it.
    [[nodiscard]] LONG Subkeys(std::vector<std::string>& names);
    [[nodiscard]] LONG Values(bool withData, std::vector<NamedValue>& values);

  private:
    RegistryApi& api_;
    HKEY key_;
    LONG status_;
    DWORD subkeys_ = 0, values_ = 0;
    std::vector<char> name_;
    std::vector<BYTE> data_;
};

} // namespace platform
