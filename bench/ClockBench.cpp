// The clock core alone: nanoseconds per tick over 10^7 ticks (median of 5 runs), and the
// heap allocations each tick makes (its countdown string, nothing else).
#include "clock/CycleClock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

int main(int argc, char** argv) {
    const long long ticks = argc > 1 ? std::atoll(argv[1]) : 10'000'000;
    std::vector<double> perTick;
    long long allocationsPerRun = 0;
    std::size_t checksum = 0;
    for (int run = 0; run < 5; ++run) {
        korvane::CycleClock clock;
        clock.reset();
        const long long before = allocations.load();
        const auto start = std::chrono::steady_clock::now();
        for (long long i = 0; i < ticks; ++i) {
            const korvane::TickResult result = clock.tick();
            checksum += result.countdownText.size() + static_cast<std::size_t>(result.barValue);
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        allocationsPerRun = allocations.load() - before;
        perTick.push_back(std::chrono::duration<double, std::nano>(elapsed).count() /
                          static_cast<double>(ticks));
    }
    std::sort(perTick.begin(), perTick.end());
    std::printf("clock_tick_ns median %.1f min %.1f max %.1f ticks %lld allocations_per_tick %.3f "
                "checksum %zu\n",
                perTick[2], perTick.front(), perTick.back(), ticks,
                static_cast<double>(allocationsPerRun) / static_cast<double>(ticks), checksum);
    return 0;
}
