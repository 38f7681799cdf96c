#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace korvane {

namespace {

// A positive value's digits rounded to 15 significant digits, trailing zeros gone, and the
// decimal exponent of the first one: 1234.5 is {"12345", 3}.
struct Significant {
    std::string digits;
    int exponent;
};

// From the exact decimal expansion (a double has at most 767 significant digits), rounded
// once, half away from zero as a person rounds money.
Significant roundToFifteenDigits(double magnitude) {
    char buffer[800];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, 766);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t ePos = text.find('e');

    Significant out{{}, 0};
    for (char c : text.substr(0, ePos)) {
        if (c != '.') {
            out.digits += c;
        }
    }
    const std::string_view expText = text.substr(ePos + 1);
    std::from_chars(expText.data() + (expText.front() == '+' ? 1 : 0),
                    expText.data() + expText.size(), out.exponent);
    std::string& digits = out.digits;
    const bool roundUp = digits.size() > 15 && digits[15] >= '5';
    digits.resize(15);
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1'); // 9.99…95 carries into a new digit
            digits.pop_back();
            ++out.exponent;
        } else {
            ++digits[i - 1];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    return out;
}

// Below 1E+15 and with no more than 15 digits after the point.
bool fitsPlain(const Significant& number) {
    const int decimals = static_cast<int>(number.digits.size()) - 1 - number.exponent;
    return number.exponent < 15 && decimals <= 15;
}

// 0.00123, 1200, 12.5
std::string plainLayout(const Significant& number) {
    const std::string& digits = number.digits;
    const int count = static_cast<int>(digits.size());
    const int exponent = number.exponent;
    if (exponent < 0) {
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    if (count <= exponent + 1) {
        return digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
    }
    const auto point = static_cast<std::size_t>(exponent + 1);
    return digits.substr(0, point) + '.' + digits.substr(point);
}

// 1E+15, 5.6789E-12: at least two exponent digits.
std::string exponentLayout(const Significant& number) {
    std::string out(1, number.digits.front());
    if (number.digits.size() > 1) {
        out += '.';
        out += number.digits.substr(1);
    }
    out += number.exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(number.exponent);
    if (magnitude < 10) {
        out += '0';
    }
    return out + std::to_string(magnitude);
}

} // namespace

std::string formatNumber(double value) {
    if (std::isnan(value)) {
        return "-1.#IND";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-1.#INF" : "1.#INF";
    }
    if (value == 0.0) {
        return "0";
    }
    const Significant number = roundToFifteenDigits(std::fabs(value));
    const std::string sign = value < 0 ? "-" : "";
    return sign + (fitsPlain(number) ? plainLayout(number) : exponentLayout(number));
}

} // namespace korvane
