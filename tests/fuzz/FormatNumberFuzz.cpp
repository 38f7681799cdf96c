// Result text for any double: no crash and no sanitizer report; the text reads back as the
// same value to 15 significant digits, and writing that value again gives the same text.
#include "platform/NumberText.h"
#include "platform/RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size != sizeof(double)) {
        return -1;
    }
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    const std::string text = korvane::formatNumber(value);
    if (text.empty() || text.size() > 24) {
        std::abort();
    }
    if (!std::isfinite(value)) {
        return 0;
    }
    double back = 0;
    try {
        back = korvane::readNumber(text);
    } catch (const korvane::RuntimeError&) {
        // Only the largest doubles round up past the largest double at 15 digits.
        if (std::abs(value) < 1.797693134862315e308) {
            std::abort();
        }
        return 0;
    }
    // Half a unit in the 15th significant digit, and the rounding of reading it back.
    const double unit = std::pow(10.0, std::floor(std::log10(std::abs(value))) - 14);
    const double bound = 0.5 * unit * (1 + 1e-9) + std::abs(std::nextafter(value, 0.0) - value);
    if (value == 0 ? back != 0 : std::abs(back - value) > bound) {
        std::abort();
    }
    if (korvane::formatNumber(back) != text) {
        std::abort();
    }
    return 0;
}
