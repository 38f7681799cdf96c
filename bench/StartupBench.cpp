// Start-up time and peak memory of Korvane against a bare Qt baseline with the same 23
// controls: each program is started RUNS times, alternating, and each run is timed from
// just before the process is spawned to its window's first paint. The ratio is the median
// of the pairs' ratios.
//   korvane_startup_bench KORVANE_BENCH_APP BASELINE_APP [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

struct Run {
    double startupMs;
    double peakRssMiB;
};

bool runOnce(const char* program, const char* argument, Run& run) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t pid = 0;
    const long long spawned = monotonicNs();
    const int failed = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed != 0) {
        close(pipeFds[0]);
        return false;
    }
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto at = output.find("shown ");
    if (at == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return false;
    }
    const long long shown = std::atoll(output.c_str() + at + 6);
    run.startupMs = static_cast<double>(shown - spawned) / 1e6;
    run.peakRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s KORVANE_BENCH_APP BASELINE_APP [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    std::vector<double> korvaneMs, korvaneRss, baselineMs, baselineRss, ratios;
    for (int i = 0; i < runs + 1; ++i) {
        Run korvane{}, baseline{};
        if (!runOnce(argv[1], "startup", korvane) || !runOnce(argv[2], nullptr, baseline)) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        if (i == 0) {
            continue; // the first pair warms the file cache
        }
        // Each pair runs back to back, so that the machine's slow swings cancel in its ratio.
        ratios.push_back(korvane.startupMs / baseline.startupMs);
        korvaneMs.push_back(korvane.startupMs);
        korvaneRss.push_back(korvane.peakRssMiB);
        baselineMs.push_back(baseline.startupMs);
        baselineRss.push_back(baseline.peakRssMiB);
    }
    const double km = median(korvaneMs), bm = median(baselineMs);
    const double kr = median(korvaneRss), br = median(baselineRss);
    std::printf("startup_ms korvane %.1f baseline %.1f ratio %.3f runs %d\n", km, bm,
                median(ratios), runs);
    std::printf("peak_rss_mib korvane %.2f baseline %.2f difference %.2f\n", kr, br, kr - br);
    return 0;
}
