// The reference tools' work per user action: a month page per calendar redraw, a lot per
// "推测" (three stroke look-ups in dat/hzlen.dat) and a section per click in 古代杂占 (the
// whole dat/zazhan.txt read again). Files are read from the dat folder beside the program.
#include <benchmark/benchmark.h>

#include "calendar/MonthPage.h"
#include "platform/ProgramFolder.h"
#include "reference/HourLesson.h"
#include "reference/Lots.h"
#include "reference/ZaZhan.h"

using namespace qingheng;

namespace {

void BM_MonthPage(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        const PageRequest request{kFirstYear + i / 12, i % 12 + 1, 1, 9, 30, true};
        benchmark::DoNotOptimize(BuildMonthPage(request));
        if (++i == (kLastYear - kFirstYear + 1) * 12) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MonthPage);

void BM_HourLesson(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HourLessonText(i % 12, i % 30, i % 24));
        ++i;
    }
}
BENCHMARK(BM_HourLesson);

void BM_DrawLot(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(DrawLot("求测字"));
}
BENCHMARK(BM_DrawLot);

void BM_ZaZhanClick(benchmark::State& state) {
    for (auto _ : state) {
        const TextFileLines file = ReadGbkLines(datFile(kZaZhanFile));
        benchmark::DoNotOptimize(ZaZhanSection(file.lines, "鸦鸣"));
    }
}
BENCHMARK(BM_ZaZhanClick);

}  // namespace
