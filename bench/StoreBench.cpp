// Reading and writing the per-user store's text: a list of 4,000 pylons
// (keys of four values each) against one of 40,000, the size of a store
// nobody will ever have. Linear time shows as x_4k near 10 (the ratio of the
// 40,000-key run to the 4,000-key one); the budget for 40,000 keys is 100 ms.
// Times are the thread's processor time, so that other work on a shared
// machine does not count; wall_ms gives the wall-clock time beside it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "model/RegText.h"

namespace {

using Clock = std::chrono::steady_clock;

double ThreadSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double wallMs = 0;  // of the last run

std::map<std::pair<int, int>, double> meanMs;  // (what, keys) -> ms

std::string StoreText(int keys)
{
    std::string text = "REGEDIT4\n\n; a station's list\n";
    const std::string base = "[HKEY_CURRENT_USER\\Software\\Lumarq Technology\\Pylon2\\Session\\NetSettings\\";
    for (int i = 1; i <= keys; ++i) {
        const std::string n = std::to_string(i);
        text += base + n + "]\n\"Name\"=\"Pylon " + n + "\"\n\"IP\"=\"10.1." + std::to_string(i / 250) + "." +
                std::to_string(i % 250) + "\"\n\"Port\"=dword:00000835\n\"Active\"=dword:00000001\n";
        if (i % 100 == 0) text += "\"Note\"=hex(2):41,00,00,00\n";
        text += "\n";
    }
    return text;
}

template <typename Body>
double Run(benchmark::State& state, Body body)
{
    double total = 0, wall = 0;
    for (auto _ : state) {
        const auto w0 = Clock::now();
        const double t0 = ThreadSeconds();
        body();
        const double t = ThreadSeconds() - t0;
        wall += std::chrono::duration<double>(Clock::now() - w0).count();
        total += t;
        state.SetIterationTime(t);
    }
    wallMs = 1000 * wall / double(state.iterations());
    return 1000 * total / double(state.iterations());
}

void Report(benchmark::State& state, int what, double mean)
{
    const int keys = int(state.range(0));
    meanMs[{what, keys}] = mean;
    state.counters["ms"] = mean;
    state.counters["wall_ms"] = wallMs;
    state.counters["bytes"] = double(StoreText(keys).size());
    if (keys == 40000) {
        state.counters["budget_ms"] = 100;
        if (const auto base = meanMs.find({what, 4000}); base != meanMs.end() && base->second > 0)
            state.counters["x_4k"] = mean / base->second;
    }
}

void BM_Parse(benchmark::State& state)
{
    const std::string text = StoreText(int(state.range(0)));
    double total = 0, wall = 0;
    for (auto _ : state) {
        // Releasing what was read is not part of reading it.
        auto store = std::make_unique<MemoryRegStore>();
        auto layout = std::make_unique<RegLayout>();
        const auto w0 = Clock::now();
        const double t0 = ThreadSeconds();
        benchmark::DoNotOptimize(RegText::Parse(text, *store, layout.get()));
        const double t = ThreadSeconds() - t0;
        wall += std::chrono::duration<double>(Clock::now() - w0).count();
        total += t;
        state.SetIterationTime(t);
    }
    wallMs = 1000 * wall / double(state.iterations());
    Report(state, 0, 1000 * total / double(state.iterations()));
}

// Writing back after one change, with the layout read from the text.
void BM_Serialize(benchmark::State& state)
{
    const std::string text = StoreText(int(state.range(0)));
    MemoryRegStore store;
    RegLayout layout;
    RegText::Parse(text, store, &layout);
    store.WriteValue("Software\\Lumarq Technology\\Pylon2\\Session\\NetSettings\\1", "Active", RegValue::DWord(0));
    const double mean = Run(state, [&] { benchmark::DoNotOptimize(RegText::Serialize(store, &layout)); });
    Report(state, 1, mean);
}

}  // namespace

BENCHMARK(BM_Parse)->Arg(4000)->Arg(40000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Serialize)->Arg(4000)->Arg(40000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5);

BENCHMARK_MAIN();
