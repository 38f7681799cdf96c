// Number reading on any text: no crash and no sanitizer report; the result depends only on
// the text, nothing after a character that cannot continue a number changes it, a pasted
// space in front changes nothing, and the digits of the text read the same with their
// thousands grouped by commas.
#include "platform/NumberText.h"
#include "platform/RuntimeError.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::optional<std::uint64_t> readBits(std::string_view text) {
    try {
        const double value = korvane::readNumber(text);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    } catch (const korvane::RuntimeError& e) {
        if (e.code() != korvane::error::overflow) {
            std::abort();
        }
        return std::nullopt; // overflow
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto first = readBits(text);
    if (readBits(text) != first) {
        std::abort();
    }
    if (readBits(text + "x") != first || readBits(text + "元") != first) {
        std::abort();
    }
    for (const char* space : {"\u00A0", "\u2007", "\u202F", "\u2003", "\u205F"}) {
        if (readBits(space + text) != first) {
            std::abort();
        }
    }
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9' && digits.size() < 40) {
            digits += c;
        }
    }
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += i % 2 ? "," : "，";
        }
        grouped += digits[i];
    }
    if (!digits.empty() && (readBits(grouped) != readBits(digits) ||
                            readBits("-" + grouped + ".5") != readBits("-" + digits + ".5"))) {
        std::abort();
    }
    return 0;
}
