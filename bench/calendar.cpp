// Throughput of the Gregorian-to-lunar conversion and of the four pillars of a moment.
#include <benchmark/benchmark.h>

#include <vector>

#include "calendar/Yidate.h"

using namespace qingheng;

namespace {

// Every 7th day from 1900 to 2050 at a moving hour: spreads the lookups over the tables.
std::vector<DateRecord> SampleMoments() {
    const CYiDate cal;
    std::vector<DateRecord> out;
    DateRecord r{1900, 1, 1, 0, 0};
    for (int i = 0; r.year <= kLastYear; ++i) {
        r.hour = static_cast<std::int16_t>(i % 24);
        r.minute = static_cast<std::int16_t>(i % 60);
        out.push_back(r);
        for (int k = 0; k < 7; ++k) cal.AddOneDay(r);
    }
    return out;
}

void BM_SolarToLunar(benchmark::State& state) {
    const auto moments = SampleMoments();
    const CYiDate cal;
    std::size_t i = 0;
    for (auto _ : state) {
        DateRecord lunar;
        benchmark::DoNotOptimize(cal.SolarToLunar(moments[i], lunar));
        benchmark::DoNotOptimize(lunar);
        if (++i == moments.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SolarToLunar);

void BM_FourPillars(benchmark::State& state) {
    const auto moments = SampleMoments();
    std::size_t i = 0;
    for (auto _ : state) {
        const DateRecord& t = moments[i];
        FourPillars p;
        p.year = YearPillar(t);
        p.month = MonthPillar(t, p.year);
        p.day = DayPillar(t);
        p.hour = HourPillar(t.hour, p.day);
        benchmark::DoNotOptimize(p);
        if (++i == moments.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FourPillars);

}  // namespace
