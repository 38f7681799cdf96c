#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace korvane {

// An error of the kind the classic form runtime raises: it stops the handler where it
// arises. Nothing in the program catches it except the platform's event dispatch, which
// reports it and ends the program.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int code, const std::string& description)
        : std::runtime_error(description), m_code(code) {}

    int code() const { return m_code; }

private:
    int m_code;
};

namespace error {
inline constexpr int overflow = 6;
inline constexpr int invalidProcedureCall = 5;
inline constexpr int objectRequired = 424;
inline constexpr int invalidPropertyValue = 380;
} // namespace error

[[noreturn]] inline void raiseOverflow() {
    throw RuntimeError(error::overflow, "溢出");
}

// A call on a control whose window the user has closed.
[[noreturn]] inline void raiseObjectGone() {
    throw RuntimeError(error::objectRequired, "对象已不存在");
}

// Narrows a value to the signed integer type T, raising an overflow where it does not fit.
template <typename T> T checkedNarrow(std::int64_t value) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        raiseOverflow();
    }
    return static_cast<T>(value);
}

} // namespace korvane
