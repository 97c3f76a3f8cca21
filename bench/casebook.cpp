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

}  // namespace
