#pragma once

#include "platform/Window.h"

#include <functional>
#include <string>

namespace korvane {

// The one way every handler runs, as the classic form runtime ran them: an error that a
// handler raises stops it where it arose, is reported (in a message box unless a test
// replaces the reporter) and ends the program; once the program has ended, no handler runs
// again. Each backend keeps one and supplies how to report and how to end.
class Dispatch {
public:
    using Reporter = std::function<void(const std::string& text)>;
    using Ender = std::function<void(int exitCode)>;

    Dispatch(Reporter report, Ender end);

    Handler guarded(Handler handler);
    void runGuarded(const Handler& work) { guarded(work)(); }
    // Ends the program once: the backend closes every window and stops its loop.
    void end(int exitCode);

    bool hasEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }
    void setReporter(Reporter report) { m_report = std::move(report); }

private:
    void fail(const std::string& text);

    Reporter m_report;
    Ender m_end;
    bool m_ended = false;
    int m_exitCode = 0;
};

} // namespace korvane
