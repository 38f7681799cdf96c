// Number reading on any text: no crash and no sanitizer report; the result depends only on
// the text, and nothing after a character that cannot continue a number changes it.
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
    return 0;
}
