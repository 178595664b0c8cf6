#include "DialogTexts.h"

#include "platform/ProcessPaths.h"

#include <optional>
#include <vector>

namespace app {
namespace {

constexpr LANGID English = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The resource loader's choice: with no buffer, LoadString points at the
// table's own text ("LoadStringW").
std::wstring ChosenText(unsigned id) {
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

// Every text in the code page, or none when one of them cannot be spelled.
std::optional<std::vector<std::string>> Spelled(std::wstring (*text)(unsigned)) {
    std::vector<std::string> texts{std::string()}; // ids start at 1
    for (unsigned id = 1; id <= IDS_LAST; ++id) {
        auto spelled = platform::ToAnsi(platform::SystemServices(), text(id));
        if (!spelled) {
            return std::nullopt;
        }
        texts.push_back(std::move(*spelled));
    }
    return texts;
}

std::wstring EnglishText(unsigned id) {
    return TableText(id, English);
}

// Loaded when first asked for; the dialog has one thread.
std::vector<std::string> texts;

const std::vector<std::string>& Texts() {
    if (texts.empty()) {
        auto chosen = Spelled(ChosenText);
        texts = chosen ? std::move(*chosen)
                       : Spelled(EnglishText).value_or(std::vector<std::string>(IDS_LAST + 1));
    }
    return texts;
}

} // namespace

const std::string& DialogText(unsigned id) {
    return Texts().at(id);
}

bool TextsReadRightToLeft() {
    return DialogText(IDS_READING_ORDER) == "rtl";
}

// String tables are kept in blocks of sixteen counted strings, block n + 1
// holding the strings 16n to 16n + 15 ("STRINGTABLE resource").
std::wstring TableText(unsigned id, unsigned short language) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC block =
        ::FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    const HGLOBAL loaded = block ? ::LoadResource(module, block) : nullptr;
    const auto* at = loaded ? static_cast<const wchar_t*>(::LockResource(loaded)) : nullptr;
    if (!at) {
        return {};
    }
    for (unsigned skipped = 0; skipped < id % 16; ++skipped) {
        at += 1 + *at;
    }
    return std::wstring(at + 1, *at);
}

} // namespace app
