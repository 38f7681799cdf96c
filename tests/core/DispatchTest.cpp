#include "platform/Dispatch.h"

#include "platform/RuntimeError.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane {
namespace {

struct Recorder {
    std::vector<std::string> reports;
    std::vector<int> ends;
    Dispatch dispatch{[this](const std::string& text) { reports.push_back(text); },
                      [this](int code) { ends.push_back(code); }};
};

TEST(DispatchTest, AnErrorIsReportedOnceAndEndsTheProgram) {
    const struct {
        const char* name;
        std::function<void()> handler;
        std::string report;
    } rows[] = {
        {"runtime_error", [] { throw RuntimeError(error::overflow, "溢出"); },
         "运行时错误 '6':\n\n溢出"},
        {"other_exception", [] { throw std::logic_error("broken"); }, "运行时错误:\n\nbroken"},
    };
    for (const auto& row : rows) {
        Recorder r;
        int ran = 0;
        r.dispatch.guarded(row.handler)();
        r.dispatch.guarded([&ran] { ++ran; })();
        EXPECT_EQ(r.reports, std::vector<std::string>{row.report}) << row.name;
        EXPECT_EQ(r.ends, std::vector<int>{1}) << row.name;
        EXPECT_EQ(ran, 0) << row.name; // nothing runs after the end
        EXPECT_TRUE(r.dispatch.hasEnded());
        EXPECT_EQ(r.dispatch.exitCode(), 1);
    }
}

TEST(DispatchTest, NoHandlerRunsWhileTheReportIsOnScreen) {
    int ranDuringReport = 0;
    Dispatch* self = nullptr;
    Dispatch dispatch([&](const std::string&) { self->guarded([&] { ++ranDuringReport; })(); },
                      [](int) {});
    self = &dispatch;
    dispatch.guarded([] { throw RuntimeError(error::overflow, "溢出"); })();
    EXPECT_EQ(ranDuringReport, 0);
}

TEST(DispatchTest, EndingTwiceEndsOnce) {
    Recorder r;
    int ran = 0;
    r.dispatch.guarded([&] { ++ran; })();
    r.dispatch.end(0);
    r.dispatch.end(1);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(r.ends, std::vector<int>{0});
    EXPECT_EQ(r.dispatch.exitCode(), 0);
    EXPECT_TRUE(r.reports.empty());
}

} // namespace
} // namespace korvane
