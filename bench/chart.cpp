// Assembling charts with both complete report texts (chart block, general judgement with the
// timing and the stars, trigram pictures, Mei Hua reading with the sayings of dat/meihy.dat,
// classic texts) and their emphasis.
#include <benchmark/benchmark.h>

#include <array>

#include "chart/Liuyaoex.h"

namespace {

using namespace qingheng;

void assembleMany(benchmark::State& state, bool readSettingsFile) {
    static constexpr std::array<const char*, 6> kCodes = {"111114", "321222", "121333", "111111", "442211", "213412"};
    CLiuYaoEx engine;
    if (!readSettingsFile) engine.settingsOverride = ChartSettings{};
    engine.caseInfo.castingTime = {2024, 2, 10, 9, 30, 0, 0};
    engine.caseInfo.useGod = 2;
    std::size_t k = 0;
    for (auto _ : state) {
        const char* code = kCodes[k % kCodes.size()];
        engine.caseInfo.mainCode = code;
        engine.caseInfo.changedCode = ChangedCode(code);
        engine.caseInfo.castingTime.day = static_cast<std::int16_t>(1 + k % 28);
        ++k;
        if (!engine.Assemble("其他方式")) state.SkipWithError(engine.errorText.c_str());
        benchmark::DoNotOptimize(engine.lineText.data());
        benchmark::DoNotOptimize(engine.hexSpans.data());
    }
    state.SetItemsProcessed(state.iterations());
}
// Reads dat/set.ini at every assembly, as the program does.
void BM_AssembleWithReports(benchmark::State& state) { assembleMany(state, true); }
BENCHMARK(BM_AssembleWithReports);

// The same with the settings given, to separate the file read from the chart work.
void BM_AssembleWithReportsGivenSettings(benchmark::State& state) { assembleMany(state, false); }
BENCHMARK(BM_AssembleWithReportsGivenSettings);

}  // namespace
