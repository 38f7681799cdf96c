#include "platform/NumberText.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
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

// A decimal number as it is read: blanks removed and folded to ASCII, in the form
// from_chars reads, with what tells an overflow from an underflow.
struct Decimal {
    std::string text;
    bool negative = false;
    // How many places the first non-zero digit stands before (positive) or after
    // (negative) the point.
    std::int64_t order = 0;
    std::size_t digits = 0;
    std::int64_t exponent = 0;
};

// The sign, the digits with at most one point, and the digit groups' commas read past.
Decimal readMantissa(Scanner& in) {
    Decimal number;
    if (in.peek() == '+' || in.peek() == '-') {
        number.negative = in.peek() == '-';
        in.advance();
    }
    if (number.negative) {
        number.text += '-';
    }
    bool seenNonZero = false;
    bool seenPoint = false;
    for (char c = in.peek();; c = in.peek()) {
        if (isDigit(c)) {
            ++number.digits;
            if (c != '0') {
                seenNonZero = true;
            }
            if (seenNonZero && !seenPoint) {
                ++number.order;
            } else if (!seenNonZero && seenPoint) {
                --number.order;
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c == ',' && !seenPoint && number.digits > 0 && groupFollows(in)) {
            in.advance(); // a digit group's separator is read past, not kept
            continue;
        } else {
            break;
        }
        number.text += c;
        in.advance();
    }
    return number;
}

// E or D, an optional sign and digits; a letter without digits is not part of the number.
void readExponent(Scanner& in, Decimal& number) {
    const char e = in.peek();
    if (e != 'E' && e != 'e' && e != 'D' && e != 'd') {
        return;
    }
    in.advance();
    std::string tail = "e";
    if (in.peek() == '+' || in.peek() == '-') {
        tail += in.peek();
        in.advance();
    }
    std::int64_t exponent = 0;
    bool exponentDigits = false;
    for (char c = in.peek(); isDigit(c); c = in.peek()) {
        exponentDigits = true;
        tail += c;
        exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 1'000'000'000);
        in.advance();
    }
    if (exponentDigits) {
        number.text += tail;
        number.exponent = tail[1] == '-' ? -exponent : exponent;
    }
}

double toDouble(const Decimal& number) {
    double value = 0.0;
    const char* first = number.text.data();
    const char* last = first + number.text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        if (number.order + number.exponent > 0) {
            raiseOverflow();
        }
        return number.negative ? -0.0 : 0.0; // below the smallest double
    }
    if (ec != std::errc() || end != last) {
        return 0.0; // cannot happen for the text read above
    }
    return value;
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
    Decimal number = readMantissa(in);
    if (number.digits == 0) {
        return 0.0;
    }
    readExponent(in, number);
    return toDouble(number);
}

} // namespace korvane
