#include "CodePages.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <type_traits>

namespace emulation {
namespace {

// The characters a code page spells, by ranges of consecutive code points.
struct CodePageRange {
    UINT codePage;
    wchar_t first, last;
    unsigned char firstByte;
};
constexpr CodePageRange CodePageRanges[] = {
    {1252, 0x00, 0x7F, 0x00},   {1252, 0xA0, 0xFF, 0xA0},   {1251, 0x00, 0x7F, 0x00},
    {1251, 0x401, 0x401, 0xA8}, {1251, 0x410, 0x44F, 0xC0}, {1251, 0x451, 0x451, 0xB8},
    {932, 0x00, 0x7F, 0x00}, // its single bytes only: no path here needs more
};

} // namespace

// The character in the code page: one byte, or in UTF-8 up to four.
bool ToCodePage(UINT codePage, wchar_t c, std::string& bytes) {
    if (codePage == CP_UTF8) {
        const auto code = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
        return true;
    }
    const auto* range =
        std::find_if(std::begin(CodePageRanges), std::end(CodePageRanges), [&](const auto& r) {
            return r.codePage == codePage && c >= r.first && c <= r.last;
        });
    if (range == std::end(CodePageRanges)) {
        return false;
    }
    bytes += static_cast<char>(range->firstByte + (c - range->first));
    return true;
}

// How many UTF-16 units the ANSI name is: the registry keeps names in
// UTF-16, and RegQueryInfoKeyA and the limits count those ("RegQueryInfoKeyA":
// the lengths "in Unicode characters"). In a double-byte code page such as
// 932 a lead byte and its trail byte are one character; in UTF-8 a sequence
// is one, or two (a surrogate pair) when it takes four bytes.
std::size_t RegistryCharacters(UINT codePage, const std::string& name) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < name.size(); ++units) {
        const auto lead = static_cast<unsigned char>(name[at]);
        if (codePage == CP_UTF8) {
            const std::size_t bytes = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            units += bytes == 4 ? 1 : 0;
            at += bytes;
        } else if (codePage == 932 && ((lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0)) {
            at += 2;
        } else {
            ++at;
        }
    }
    return units;
}

// UTF-8's next character from at, moved past it; none for a malformed one.
std::optional<wchar_t> FromUtf8(const std::string& bytes, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(bytes[at++]);
    const int more = lead < 0x80 ? 0 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || at + static_cast<std::size_t>(more) > bytes.size()) {
        return std::nullopt;
    }
    std::uint32_t code = more == 0 ? lead : lead & (more == 1 ? 0x1Fu : 0x0Fu);
    for (int i = 0; i < more; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(bytes[at++]) & 0x3Fu);
    }
    return static_cast<wchar_t>(code);
}

// A single-byte code page's character for the byte; none where it has none.
std::optional<wchar_t> FromCodePage(UINT codePage, unsigned char byte) {
    const auto* range =
        std::find_if(std::begin(CodePageRanges), std::end(CodePageRanges), [&](const auto& r) {
            return r.codePage == codePage && byte >= r.firstByte &&
                   byte <= r.firstByte + (r.last - r.first);
        });
    return range == std::end(CodePageRanges)
               ? std::nullopt
               : std::optional(static_cast<wchar_t>(range->first + (byte - range->firstByte)));
}

} // namespace emulation
