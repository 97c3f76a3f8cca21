// Case book speed at 100 000 slots: a full search (files in the page cache) and an add
// that has to scan for a deleted slot near the end.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <fstream>

#include "casebook/Database.h"

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

constexpr int kSlots = 100000;

// A book of kSlots cases, written as whole files rather than 100 000 single adds.
struct Book {
    fs::path home;
    MDataBase db;

    Book() {
        std::string pattern = (fs::temp_directory_path() / "casebook_bench_XXXXXX").string();
        home = ::mkdtemp(pattern.data());
        db.openStore(home, kKindLiuYao);
        CaseRecord r;
        r.category = "财运";
        r.question = "问生意成败";
        r.mainCode = "123412";
        r.changedCode = "121212";
        for (int file = 0; file * kSlotsPerFile < kSlots; ++file) {
            std::ofstream out(db.dataFile(file), std::ios::binary | std::ios::trunc);
            if (file == 0) {
                CaseBookHeader h;
                h.slotCount = kSlots;
                h.fileCount = static_cast<std::int16_t>(dataFilesFor(kSlots));
                out.write(h.encode().data(), kHeaderSize);
            }
            for (int i = 0; i < kSlotsPerFile && file * kSlotsPerFile + i < kSlots; ++i) {
                const int id = file * kSlotsPerFile + i;
                r.id = static_cast<std::uint32_t>(id);
                r.name = (id % 97 == 0) ? "张三" : "李四";
                r.year = static_cast<std::int16_t>(1950 + id % 100);
                CaseRecordBytes bytes;
                encodeCaseRecord(r, bytes);
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
