// The eight topic judgements of one assembled chart.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "chart/Liuyaoex.h"
#include "topics/Liuyaoex2.h"

namespace {

using namespace qingheng;

// Charts with and without moving lines, hidden relatives and two-line relatives.
std::vector<Chart> sampleCharts() {
    static constexpr std::array<const char*, 8> kCodes = {"111114", "321222", "121333", "111111",
                                                          "442211", "213412", "222222", "434343"};
    std::vector<Chart> charts;
    CLiuYaoEx engine;
    engine.settingsOverride = ChartSettings{};
    engine.caseInfo.castingTime = {2024, 2, 10, 9, 30, 0, 0};
    for (std::size_t k = 0; k < kCodes.size(); ++k) {
        engine.caseInfo.mainCode = kCodes[k];
        engine.caseInfo.changedCode = ChangedCode(kCodes[k]);
        engine.caseInfo.castingTime.day = static_cast<std::int16_t>(1 + 3 * k);
        engine.caseInfo.useGod = static_cast<Relative>(k % 5);
        if (engine.Assemble("其他方式")) charts.push_back(engine.chart());
    }
    return charts;
}

// One iteration: all eight topics of one chart. Items processed are charts.
void BM_EightTopicsOfOneChart(benchmark::State& state) {
    const std::vector<Chart> charts = sampleCharts();
    if (charts.empty()) {
        state.SkipWithError("no chart assembled");
        return;
    }
    std::size_t k = 0;
    for (auto _ : state) {
        const Chart& chart = charts[k++ % charts.size()];
        for (Topic t = 0; t < kTopicCount; ++t) {
            std::string text = TopicJudgement(chart, t);
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EightTopicsOfOneChart);

}  // namespace
