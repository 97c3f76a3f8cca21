// Assembling charts with both complete report texts (chart block, general judgement with the
// timing and the stars, trigram pictures, Mei Hua reading with the sayings of dat/meihy.dat,
// classic texts) and their emphasis, one chart per iteration, over all 64 hexagrams with
// moving lines and varying days.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "chart/Liuyaoex.h"
#include "platform/CachedFile.h"
#include "platform/ProgramFolder.h"

namespace {

using namespace qingheng;
namespace fs = std::filesystem;

// Hexagram k with one, two or no moving lines, so that every section of both reports varies.
std::array<std::string, 64> castCodes() {
    std::array<std::string, 64> codes;
    for (int k = 0; k < 64; ++k) {
        std::string code(6, '1');
        for (int i = 0; i < 6; ++i) code[i] = (k >> i) & 1 ? '1' : '2';
        for (int i : {k % 6, (k / 6) % 6}) {
            if (k % 3 != 0) code[i] = code[i] == '1' || code[i] == '3' ? '3' : '4';
        }
        codes[k] = code;
    }
    return codes;
}

void assembleMany(benchmark::State& state, CLiuYaoEx& engine) {
    static const std::array<std::string, 64> kCodes = castCodes();
    engine.caseInfo.castingTime = {2024, 2, 10, 9, 30, 0, 0};
    engine.caseInfo.name = "张三";
    engine.caseInfo.question = "求财";
    std::size_t k = 0;
    for (auto _ : state) {
        const std::string& code = kCodes[k % kCodes.size()];
        engine.caseInfo.mainCode = code;
        engine.caseInfo.changedCode = ChangedCode(code);
        engine.caseInfo.castingTime.day = static_cast<std::int16_t>(1 + k % 28);
        engine.caseInfo.useGod = static_cast<Relative>(k % 5);
        ++k;
        if (!engine.Assemble("其他方式")) state.SkipWithError(engine.errorText.c_str());
        benchmark::DoNotOptimize(engine.lineText.data());
        benchmark::DoNotOptimize(engine.hexSpans.data());
    }
    state.SetItemsProcessed(state.iterations());
}

// Two program folders of their own, with the shipped meihy.dat, one also with a set.ini
// (stems shown). The files are left alone for longer than a freshly written file is
// re-read for (FileSnapshot), as a user's files are by the time charts are cast.
class BenchHomes {
public:
    static const BenchHomes& get() {
        static const BenchHomes homes;
        return homes;
    }
    fs::path withSetIni() const { return root_ / "with"; }
    fs::path withoutSetIni() const { return root_ / "without"; }
    ~BenchHomes() { fs::remove_all(root_); }

private:
    BenchHomes() : root_(fs::temp_directory_path() / ("qingheng_bench_chart_" + std::to_string(::getpid()))) {
        const fs::path shipped = programFolder() / "dat" / "meihy.dat";
        fs::remove_all(root_);
        for (const fs::path& home : {withSetIni(), withoutSetIni()}) {
            fs::create_directories(home / "dat");
            fs::copy_file(shipped, home / "dat" / "meihy.dat");
        }
        std::ofstream(withSetIni() / "dat" / "set.ini", std::ios::binary)
            << "[set]\r\nqiangua=0\r\nnagan=1\r\ntimegua=0\r\n";
        std::this_thread::sleep_for(std::chrono::nanoseconds(FileSnapshot::kUnsureWindowNs) +
                                    std::chrono::milliseconds(100));
    }
    fs::path root_;
};

// Sets the program folder for one benchmark and restores it after.
class InFolder {
public:
    explicit InFolder(const fs::path& home) : previous_(programFolder()) { setProgramFolder(home); }
    ~InFolder() { setProgramFolder(previous_); }

private:
    fs::path previous_;
};

// As the program casts: dat/set.ini on disk (stems shown) and dat/meihy.dat.
void BM_AssembleWithSetIniOnDisk(benchmark::State& state) {
    const InFolder folder(BenchHomes::get().withSetIni());
    CLiuYaoEx engine;
    assembleMany(state, engine);
}
BENCHMARK(BM_AssembleWithSetIniOnDisk);

// Without dat/set.ini: the defaults apply.
void BM_AssembleWithoutSetIni(benchmark::State& state) {
    const InFolder folder(BenchHomes::get().withoutSetIni());
    CLiuYaoEx engine;
    assembleMany(state, engine);
}
BENCHMARK(BM_AssembleWithoutSetIni);

// The settings given (as the command line's --qiangua/--nagan do), to separate the settings
// file from the chart work.
void BM_AssembleGivenSettings(benchmark::State& state) {
    const InFolder folder(BenchHomes::get().withoutSetIni());
    CLiuYaoEx engine;
    engine.settingsOverride = ChartSettings{0, true, 0};
    assembleMany(state, engine);
}
BENCHMARK(BM_AssembleGivenSettings);

}  // namespace
