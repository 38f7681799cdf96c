#include "platform/NumberText.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace korvane {

namespace {

// Walks UTF-8 text one character at a time, folding full-width forms (U+FF01..U+FF5E) to
// ASCII and the Unicode spaces that pasted text carries (the ideographic space, the no-break
// spaces, the other space separators) to a blank. Any other non-ASCII character, or a
// broken sequence, reads as a character that cannot be part of a number.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    // The current character after blanks, without consuming it; '\0' at the end.
    char peek() {
        skipBlanks();
        return m_pos < m_text.size() ? decode(m_width) : '\0';
    }
    void advance() { m_pos += m_width; }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

    void skipBlanks() {
        while (m_pos < m_text.size() && isBlank(decode(m_width))) {
            m_pos += m_width;
        }
    }

    char decode(std::size_t& width) const {
        const auto byte = [&](std::size_t i) {
            return m_pos + i < m_text.size() ? static_cast<unsigned char>(m_text[m_pos + i]) : 0U;
        };
        const unsigned lead = byte(0);
        width = 1;
        if (lead < 0x80) {
            return static_cast<char>(lead);
        }
        if ((lead & 0xE0) == 0xC0 && (byte(1) & 0xC0) == 0x80) {
            width = 2;
            return lead == 0xC2 && byte(1) == 0xA0 ? ' ' : '\x01'; // U+00A0
        }
        if ((lead & 0xF0) == 0xE0 && (byte(1) & 0xC0) == 0x80 && (byte(2) & 0xC0) == 0x80) {
            width = 3;
            const unsigned code =
                ((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
            if (code == 0x3000 || (code >= 0x2000 && code <= 0x200A) || code == 0x202F ||
                code == 0x205F) {
                return ' ';
            }
            if (code >= 0xFF01 && code <= 0xFF5E) {
                return static_cast<char>(code - 0xFEE0);
            }
        }
        return '\x01'; // ends the number
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_width = 1;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// &H and &O numbers are whole numbers of 16 bits while they fit in 16 bits and of 32 bits
// while they fit in 32, both read as two's complement (so &HFFFF is -1, &H10000 is 65536).
// A trailing & (the long-integer type character) makes any of them 32 bits: &HFFFF& is 65535.
double readRadix(Scanner& in, int radix) {
    std::uint64_t value = 0;
    for (char c = in.peek(); digitValue(c) < radix; c = in.peek()) {
        value =
            value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digitValue(c));
        if (value > 0xFFFFFFFFULL) {
            raiseOverflow();
        }
        in.advance();
    }
    const bool isLong = in.peek() == '&';
    if (value <= 0xFFFF && !isLong) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A digit group: a comma followed by exactly three digits and then by no further digit, as
// in 12,345,678. Looks ahead on a copy; the caller stands on the comma.
bool groupFollows(Scanner in) {
    in.advance();
    for (int i = 0; i < 3; ++i) {
        if (!isDigit(in.peek())) {
            return false;
        }
        in.advance();
    }
    return !isDigit(in.peek());
}

} // namespace

double readNumber(std::string_view text) {
    Scanner in(text);
    if (in.peek() == '&') {
        in.advance();
        const char kind = in.peek();
        if (kind == 'H' || kind == 'h') {
            in.advance();
            return readRadix(in, 16);
        }
        if (kind == 'O' || kind == 'o') {
            in.advance();
            return readRadix(in, 8);
        }
        return 0.0;
    }

    // The number, blanks removed and folded to ASCII, in the form from_chars reads.
    std::string number;
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }
    if (negative) {
        number += '-';
    }
    // Decimal order of the leading digit: how many places the first non-zero digit stands
    // before (positive) or after (negative) the point. It tells overflow from underflow.
    std::int64_t order = 0;
    bool seenNonZero = false;
    bool seenPoint = false;
    std::size_t digits = 0;
    for (char c = in.peek();; c = in.peek()) {
        if (isDigit(c)) {
            ++digits;
            if (c != '0') {
                seenNonZero = true;
            }
            if (seenNonZero && !seenPoint) {
                ++order;
            } else if (!seenNonZero && seenPoint) {
                --order;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c == ',' && !seenPoint && digits > 0 && groupFollows(in)) {
            in.advance(); // a digit group's separator is read past, not kept
            continue;
        } else {
            break;
        }
        number += c;
        in.advance();
    }
    if (digits == 0) {
        return 0.0;
    }

    std::int64_t exponent = 0;
    if (const char e = in.peek(); e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        in.advance();
        std::string tail = "e";
        if (in.peek() == '+' || in.peek() == '-') {
            tail += in.peek();
            in.advance();
        }
        bool exponentDigits = false;
        for (char c = in.peek(); isDigit(c); c = in.peek()) {
            exponentDigits = true;
            tail += c;
            exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 1'000'000'000);
            in.advance();
        }
        if (exponentDigits) {
            number += tail;
            if (tail[1] == '-') {
                exponent = -exponent;
            }
        }
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (order + exponent > 0) {
            raiseOverflow();
        }
        return negative ? -0.0 : 0.0; // below the smallest double
    }
    if (ec != std::errc() || end != number.data() + number.size()) {
        return 0.0; // cannot happen for the text built above
    }
    return value;
}

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

    // The exact decimal expansion (a double has at most 767 significant digits), rounded
    // once to 15 significant digits, half away from zero as a person rounds money.
    char buffer[800];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 766);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t ePos = text.find('e');
    const bool negative = value < 0;

    std::string digits;
    for (char c : text.substr(0, ePos)) {
        if (c != '.') {
            digits += c;
        }
    }
    int exponent = 0;
    const std::string_view expText = text.substr(ePos + 1);
    std::from_chars(expText.data() + (expText.front() == '+' ? 1 : 0),
                    expText.data() + expText.size(), exponent);
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
            ++exponent;
        } else {
            ++digits[i - 1];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    const int count = static_cast<int>(digits.size());
    std::string out = negative ? "-" : "";
    const int decimals = count - 1 - exponent;
    if (exponent < 15 && decimals <= 15) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else if (count <= exponent + 1) {
            out += digits;
            out.append(static_cast<std::size_t>(exponent + 1 - count), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
            out += '.';
            out += digits.substr(static_cast<std::size_t>(exponent + 1));
        }
        return out;
    }
    out += digits.front();
    if (count > 1) {
        out += '.';
        out += digits.substr(1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
    return out;
}

} // namespace korvane
