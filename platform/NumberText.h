#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Reads a number the way the classic desktop runtime reads one from a text box: from the
// start of the text, skipping blanks, tabs and line feeds anywhere in it; an optional sign,
// decimal digits with at most one full stop, and an optional exponent (E or D, with a sign);
// or &H / &O followed by hexadecimal / octal digits. Reading stops at the first character
// that cannot continue the number; where there is none the result is 0. Full-width forms
// that a Chinese input method types (digits, ．, ＋, －, letters, the ideographic space)
// read as their plain forms. A number beyond the range of a double raises an overflow.
// It never looks at the locale.
double readNumber(std::string_view text);

// Writes a double as the classic runtime does: at most 15 significant digits, no trailing
// zeros, no grouping, "-" for negatives, "0" for zero of either sign. Plain decimal form
// while the value is below 1E+15 and needs no more than 15 digits after the point; an
// exponent form with at least two exponent digits beyond that ("1E+15", "5.6789E-12").
std::string formatNumber(double value);

} // namespace korvane
