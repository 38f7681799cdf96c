#include "platform/Dispatch.h"

#include "platform/RuntimeError.h"

namespace korvane {

Dispatch::Dispatch(Reporter report, Ender end)
    : m_report(std::move(report)), m_end(std::move(end)) {}

Handler Dispatch::guarded(Handler handler) {
    return [this, handler = std::move(handler)] {
        if (m_ended) {
            return;
        }
        try {
            handler();
        } catch (const RuntimeError& e) {
            fail("运行时错误 '" + std::to_string(e.code()) + "':\n\n" + e.what());
        } catch (const std::exception& e) {
            fail(std::string("运行时错误:\n\n") + e.what());
        }
    };
}

void Dispatch::end(int exitCode) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_exitCode = exitCode;
    m_end(exitCode);
}

void Dispatch::fail(const std::string& text) {
    if (m_ended) {
        return;
    }
    // No handler may run while the report is on screen, nor after it.
    m_ended = true;
    m_report(text);
    m_ended = false;
    end(1);
}

} // namespace korvane
