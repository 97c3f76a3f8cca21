// Case book speed at 100 000 slots, files in the page cache: listing and searching as
// qingheng-cli does it (in this process, and the real program started for each run), the
// plain read of the data files the scans are measured against, and the changes: an add that
// has to scan for a deleted slot near the end, an append, a delete, a restore.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "casebook/Database.h"
#include "vocab/Hexagram.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

constexpr int kSlots = 100000;

// The case of slot id in the generated book: one in seven asked by 张三 (14 286 in all), the
// others by four other names; dates that walk through a century with a lunar date in every
// third case; line codes that run through every hexagram with and without moving lines.
CaseRecord generatedCase(int id) {
    static const char* const kOthers[] = {"李四", "王五", "赵六", "陈七"};
    static const char* const kCategories[] = {"财运", "婚姻", "疾病", "出行", "官讼", "学业"};
    static const char* const kQuestions[] = {"问生意成败", "问婚事可成否", "问病何时愈",
                                             "问出行平安", "问官司输赢",   "问考试能否录取"};
    CaseRecord r;
    r.id = static_cast<std::uint32_t>(id);
    r.name = id % 7 == 0 ? "张三" : kOthers[id % 4];
    r.category = kCategories[id % 6];
    r.question = kQuestions[(id / 6) % 6];
    r.year = static_cast<std::int16_t>(1950 + id % 100);
    r.month = static_cast<std::int16_t>(1 + id % 12);
    r.day = static_cast<std::int16_t>(1 + id % 28);
    r.hour = static_cast<std::int16_t>(id % 24);
    r.lunar = id % 3 == 0;
    r.extra = "备注:";
    r.useGod = static_cast<std::uint32_t>(id % 5);
    std::string code(6, '1');
    for (int line = 0, rest = id; line < 6; ++line, rest /= 4) code[line] = static_cast<char>('1' + rest % 4);
    r.mainCode = code;
    r.changedCode = ChangedCode(code);
    r.label = "铜钱摇卦";
    return r;
}

// A book of kSlots cases, written as whole files rather than 100 000 single adds.
struct Book {
    fs::path home;
    MDataBase db;

    Book() {
        std::string pattern = (fs::temp_directory_path() / "casebook_bench_XXXXXX").string();
        home = ::mkdtemp(pattern.data());
        db.openStore(home, kKindLiuYao);
        for (int file = 0; file * kSlotsPerFile < kSlots; ++file) {
            std::ofstream out(db.dataFile(file), std::ios::binary | std::ios::trunc);
            if (file == 0) {
                CaseBookHeader h;
                h.slotCount = kSlots;
                h.fileCount = static_cast<std::int16_t>(dataFilesFor(kSlots));
                out.write(h.encode().data(), kHeaderSize);
            }
            for (int i = 0; i < kSlotsPerFile && file * kSlotsPerFile + i < kSlots; ++i) {
                CaseRecordBytes bytes;
                encodeCaseRecord(generatedCase(file * kSlotsPerFile + i), bytes);
                out.write(bytes.data(), bytes.size());
            }
        }
    }
    ~Book() { fs::remove_all(home); }
};

Book& book() {
    static Book b;
    return b;
}

// The floor every scan is measured against: each data file opened once and read in blocks
// of 256 slots, looking at one byte a slot.
void BM_ScanFloor(benchmark::State& state) {
    Book& b = book();
    std::vector<char> block(256 * kCaseRecordSize);
    std::int64_t live = 0;
    for (auto _ : state) {
        live = 0;
        for (int n = 0; n < dataFilesFor(kSlots); ++n) {
            const int fd = ::open(b.db.dataFile(n).c_str(), O_RDONLY);
            off_t at = n == 0 ? kHeaderSize : 0;
            for (ssize_t got; (got = ::pread(fd, block.data(), block.size(), at)) > 0; at += got) {
                for (ssize_t s = 0; s + kCaseRecordSize <= got; s += kCaseRecordSize) live += block[s + 4] == 0;
            }
            ::close(fd);
        }
        benchmark::DoNotOptimize(live);
    }
    state.counters["slots"] = static_cast<double>(live);
}
BENCHMARK(BM_ScanFloor)->Unit(benchmark::kMillisecond);

// What qingheng-cli cases list --all and cases search do in this process: the matching
// cases read in one operation, made into the printed lines, written to /dev/null.
void listRows(benchmark::State& state, CaseQuery query) {
    Book& b = book();
    std::FILE* null = std::fopen("/dev/null", "w");
    std::int64_t rows = 0;
    for (auto _ : state) {
        std::string text;
        rows = 0;
        const Status s = b.db.forEachCaseRow(query, [&](const CaseRow& row) {
            appendCaseListLine(text, row);
            ++rows;
            return true;
        });
        if (!s) state.SkipWithError(s.message.c_str());
        std::fwrite(text.data(), 1, text.size(), null);
    }
    std::fclose(null);
    state.counters["rows"] = static_cast<double>(rows);
}

CaseQuery everything() { return CaseQuery{}; }
CaseQuery nameContains(const char* text) {
    CaseQuery q;
    q.name = text;
    q.nameMode = MatchMode::Contains;
    return q;
}
CaseQuery hexagram(const char* name, const char* changed = "") {
    CaseQuery q;
    q.hexagram = HexagramNumberOfName(name);
    q.changedHexagram = HexagramNumberOfName(changed);
    return q;
}

BENCHMARK_CAPTURE(listRows, ListAll, everything())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listRows, SearchName, nameContains("张"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listRows, SearchHexagram, hexagram("天风姤"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listRows, SearchHexagramChanged, hexagram("天风姤", "乾为天"))->Unit(benchmark::kMillisecond);

// The same commands run as a user runs them: qingheng-cli (beside this program) started for
// each iteration on the book, its output going to /dev/null. Start-up is measured alone with
// --print-home.
void runCli(benchmark::State& state, std::vector<std::string> args) {
    Book& b = book();
    const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "qingheng-cli";
    args.insert(args.begin(), {cli.string(), "--home", b.home.string()});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    double childSeconds = 0;  // the program's own processor time, user and system
    for (auto _ : state) {
        pid_t pid = 0;
        int status = -1;
        struct rusage usage {};
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
            ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError(("qingheng-cli failed: " + cli.string()).c_str());
            break;
        }
        for (const timeval& t : {usage.ru_utime, usage.ru_stime}) childSeconds += t.tv_sec + t.tv_usec / 1e6;
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["cli_cpu_ms"] = benchmark::Counter(childSeconds * 1000, benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(runCli, StartOnly, std::vector<std::string>{"--print-home"})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runCli, ListAll, std::vector<std::string>{"cases", "list", "--all"})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runCli, SearchName, std::vector<std::string>{"cases", "search", "--name", "张"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runCli, SearchHexagram, std::vector<std::string>{"cases", "search", "--hexagram", "天风姤"})
    ->Unit(benchmark::kMillisecond);

void BM_SearchAllSlots(benchmark::State& state) {
    Book& b = book();
    CaseQuery q;
    q.name = "张";
    q.nameMode = MatchMode::Contains;
    q.question = "生意";
    q.questionMode = MatchMode::Contains;
    q.useYears = true;
    q.firstYear = 1960;
    q.lastYear = 2040;
    std::vector<std::uint32_t> ids;
    for (auto _ : state) {
        b.db.searchCases(q, ids);
        benchmark::DoNotOptimize(ids.data());
    }
    state.counters["found"] = static_cast<double>(ids.size());
}
BENCHMARK(BM_SearchAllSlots)->Unit(benchmark::kMillisecond);

// Deletes 30 slots at the end so the reuse flag is set and each add walks ~100 000 slots
// before it finds the deleted one; the slot is deleted again outside the timing.
void BM_AddWithReuseScan(benchmark::State& state) {
    Book& b = book();
    for (std::uint32_t id = kSlots - 30; id < kSlots; ++id) b.db.removeCase(id);
    CaseRecord r;
    r.name = "新";
    r.mainCode = "111111";
    r.changedCode = "222222";
    for (auto _ : state) {
        b.db.addCase(r);
        state.PauseTiming();
        b.db.removeCase(r.id);
        state.ResumeTiming();
    }
    state.counters["reused_id"] = r.id;
}
BENCHMARK(BM_AddWithReuseScan)->Unit(benchmark::kMillisecond);

// A small private book for the benchmarks that change files.
struct SmallBook {
    fs::path home;
    MDataBase db;
    explicit SmallBook(const char* label) {
        std::string pattern = (fs::temp_directory_path() / (std::string(label) + "_XXXXXX")).string();
        home = ::mkdtemp(pattern.data());
        db.openStore(home, kKindLiuYao);
    }
    ~SmallBook() { fs::remove_all(home); }
};

CaseRecord newRecord() {
    CaseRecord r;
    r.name = "新";
    r.category = "财运";
    r.question = "问生意成败";
    r.mainCode = "111111";
    r.changedCode = "222222";
    return r;
}

// One save into a new slot, flushed to the disk before it reports success.
void BM_AppendCase(benchmark::State& state) {
    SmallBook b("casebook_append");
    CaseRecord r = newRecord();
    for (auto _ : state) b.db.addCase(r);
}
BENCHMARK(BM_AppendCase)->Unit(benchmark::kMicrosecond);

// One delete of a live case.
void BM_DeleteCase(benchmark::State& state) {
    SmallBook b("casebook_delete");
    CaseRecord r = newRecord();
    for (int i = 0; i < 2000; ++i) b.db.addCase(r);
    std::uint32_t id = 0;
    for (auto _ : state) b.db.removeCase(id++);
}
BENCHMARK(BM_DeleteCase)->Unit(benchmark::kMicrosecond)->Iterations(1000);

// A restore of a backup of 500 cases with their 1 000 report files.
void BM_RestoreBackup(benchmark::State& state) {
    SmallBook source("casebook_source");
    CaseRecord r = newRecord();
    for (int i = 0; i < 500; ++i) {
        source.db.addCase(r);
        std::ofstream(source.db.reportPath(r.id)) << std::string(6000, 'x');
        std::ofstream(source.db.plumReportPath(r.id)) << std::string(3000, 'y');
    }
    const fs::path backup = source.home / "backup";
    source.db.exportStore(backup);
    SmallBook b("casebook_restore");
    for (auto _ : state) {
        b.db.importStore(backup / "liuyao0.dat");
        state.PauseTiming();
        for (const auto& entry : fs::directory_iterator(b.home / "dat")) {
            if (entry.path().filename().string().rfind("replaced-", 0) == 0) fs::remove_all(entry.path());
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RestoreBackup)->Unit(benchmark::kMillisecond)->Iterations(5);
}  // namespace
