#pragma once
// Times a piece of work and its yardstick in turns, so both see the same
// machine load, and reports the ratio of their totals under counter. The
// iteration time is the work's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

template <class TWork, class TYardstick>
void TimeInTurns(benchmark::State& state, const std::string& counter, TWork work,
                 TYardstick yardstick) {
    using TClock = std::chrono::steady_clock;
    double workTotal = 0, yardstickTotal = 0;
    for (auto _ : state) {
        const auto t0 = TClock::now();
        work();
        benchmark::ClobberMemory();
        const auto t1 = TClock::now();
        yardstick();
        benchmark::ClobberMemory();
        const auto t2 = TClock::now();
        const double w = std::chrono::duration<double>(t1 - t0).count();
        workTotal += w;
        yardstickTotal += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(w);
    }
    state.counters[counter] = workTotal / yardstickTotal;
}
