#pragma once

#include "platform/Dispatch.h"
#include "platform/Window.h"

#include <utility>

namespace korvane {

// What every backend's platform shares: the one dispatch that every handler runs through.
// A backend supplies how a fatal error is reported and how the program ends.
class PlatformBase : public Platform {
public:
    using FatalErrorReporter = Dispatch::Reporter;

    void endProgram() override { m_dispatch.end(0); }

    // Runs start-up work under the same dispatch as a handler.
    void runGuarded(const Handler& work) { m_dispatch.runGuarded(work); }
    // Wraps a handler in the dispatch.
    Handler guarded(Handler handler) { return m_dispatch.guarded(std::move(handler)); }
    bool hasEnded() const { return m_dispatch.hasEnded(); }
    int exitCode() const { return m_dispatch.exitCode(); }

    // Where a fatal error is reported; the backend's message box unless replaced (tests do).
    void setFatalErrorReporter(FatalErrorReporter reporter) {
        m_dispatch.setReporter(std::move(reporter));
    }

protected:
    PlatformBase(Dispatch::Reporter report, Dispatch::Ender end)
        : m_dispatch(std::move(report), std::move(end)) {}

private:
    Dispatch m_dispatch;
};

} // namespace korvane
