// Every write path of the case book with a fault at every file call: each operation runs
// once to count its calls, then once per call with that call failing and once with the
// program stopping there (a simulated crash). After each run the book is opened again (which
// finishes or rolls back what was left half-done) and checked:
//   - the book opens and its header matches its slots (ids, deleted flags, free count);
//   - no record is lost, doubled or torn: the whole book, byte for byte, is the book before
//     the operation or the book after it (a clean run of the same operation);
//   - the reported outcome matches: success is the book after, failure the book before,
//     and a crash either of the two.
// Report files of cases that are not live (left when a delete could not remove them) belong
// to no case and are not compared.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <set>

#include "TemporaryHome.h"
#include "casebook/CaseOnView.h"
#include "casebook/Database.h"
#include "platform/ByteOrder.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/FileUtil.h"

namespace fs = std::filesystem;
using namespace qingheng;
using fileops::Fault;

namespace {

// ---- the books the operations start from

CaseRecord record(const std::string& name, int day) {
    CaseRecord r;
    r.name = name;
    r.category = "测试";
    r.year = 2020;
    r.month = 1;
    r.day = static_cast<std::int16_t>(day);
    r.question = "问事";
    r.extra = "备注:";
    r.mainCode = "111114";
    r.changedCode = "111112";
    r.label = "其他方式";
    return r;
}

CaseReports reportsFor(const std::string& name) { return {"{\\rtf1 六爻 " + name + "}", "{\\rtf1 梅花 " + name + "}"}; }

void addCases(MDataBase& db, int count, const std::string& prefix) {
    for (int i = 0; i < count; ++i) {
        CaseRecord r = record(prefix + std::to_string(i), i % 28 + 1);
        const CaseReports reports = reportsFor(r.name);
        ASSERT_TRUE(db.addCase(r, &reports).ok);
    }
}

struct Templates {
    qingheng::testing::TemporaryHome root{"faultpoint_templates", qingheng::testing::memoryFolder()};
    fs::path small = root / "small";    // three live cases with reports, a note of the user's
    fs::path reuse = root / "reuse";    // 32 cases, 30 of them deleted: the next add reuses one
    fs::path backup = root / "backup";  // an exported book of two cases, as a restore reads it

    Templates() {
        MDataBase db;
        EXPECT_TRUE(db.openStore(small, kKindLiuYao).ok);
        addCases(db, 3, "甲");
        std::ofstream(db.reportFolder() / "notes.txt") << "the user's own notes";

        MDataBase reused;
        EXPECT_TRUE(reused.openStore(reuse, kKindLiuYao).ok);
        addCases(reused, 32, "乙");
        for (std::uint32_t id = 1; id <= 30; ++id) EXPECT_TRUE(deleteStoredCase(reused, id).ok);

        const fs::path other = root / "other";
        MDataBase source;
        EXPECT_TRUE(source.openStore(other, kKindLiuYao).ok);
        addCases(source, 2, "丙");
        EXPECT_TRUE(source.exportStore(backup).ok);
        std::ofstream(backup / "liuyao_f" / "readme.txt") << "not a report file";
    }
};

// ---- what is on disk

// Every file and folder under the home with its bytes; the lock file and temporary files
// of whole-file writes (left by a crash, overwritten by the next write) are left out, and
// so are report files of cases that are not live. As the book counts them, a data file
// holds the slots its header counts: with countedOnly, bytes past them (a slot an append
// stopped by a crash wrote and never counted) and data files past the count are left out.
using Snapshot = std::map<std::string, std::string>;

// The live cases among the slots the header counts.
std::set<std::uint32_t> liveIdsIn(const fs::path& home) {
    std::set<std::uint32_t> live;
    const auto file0 = readFileBytes(home / "dat" / "liuyao0.dat");
    if (!file0 || file0->size() < kHeaderSize) return live;
    const CaseBookHeader header = CaseBookHeader::decode(file0->data());
    for (std::int32_t id = 0; id < header.slotCount; ++id) {
        const auto bytes = readFileBytes(home / "dat" / ("liuyao" + std::to_string(id / kSlotsPerFile) + ".dat"));
        const std::size_t at =
            (id < kSlotsPerFile ? kHeaderSize : 0) + static_cast<std::size_t>(id % kSlotsPerFile) * kCaseRecordSize;
        if (bytes && at + kCaseRecordSize <= bytes->size() && (*bytes)[at + slot::kDeleted] == 0)
            live.insert(static_cast<std::uint32_t>(id));
    }
    return live;
}

bool isOrphanReport(const fs::path& rel, const std::set<std::uint32_t>& live) {
    const std::string name = rel.filename().string();
    if (rel.parent_path() != "liuyao_f" || !isReportFileName(name)) return false;
    return live.count(static_cast<std::uint32_t>(std::stoul(name))) == 0;
}

Snapshot snapshotOf(const fs::path& home, bool countedOnly = true) {
    Snapshot out;
    const std::set<std::uint32_t> live = liveIdsIn(home);
    const std::string file0 = readFileBytes(home / "dat" / "liuyao0.dat").value_or("");
    const CaseBookHeader header = file0.size() >= kHeaderSize ? CaseBookHeader::decode(file0.data()) : CaseBookHeader{};
    for (auto it = fs::recursive_directory_iterator(home); it != fs::recursive_directory_iterator(); ++it) {
        const fs::path rel = it->path().lexically_relative(home);
        if (rel == fs::path("dat/liuyao.lock") || rel.extension() == ".tmp" || isOrphanReport(rel, live)) continue;
        if (it->is_symlink()) {
            out[rel.string()] = "<link>";
        } else if (it->is_directory()) {
            out[rel.string()] = "<folder>";
        } else {
            std::string bytes = readFileBytes(it->path()).value_or("<unreadable>");
            const std::string name = rel.filename().string();
            const bool dataFile =
                rel.parent_path() == "dat" && name.rfind("liuyao", 0) == 0 && rel.extension() == ".dat";
            if (countedOnly && dataFile && header.check()) {
                const int n = std::stoi(name.substr(6));
                if (n >= header.fileCount) continue;
                bytes.resize(std::min<std::size_t>(
                    bytes.size(),
                    kHeaderSize * (n == 0) +
                        kCaseRecordSize * static_cast<std::size_t>(std::clamp<std::int64_t>(
                                              header.slotCount - std::int64_t{n} * kSlotsPerFile, 0, kSlotsPerFile))));
            }
            out[rel.string()] = std::move(bytes);
        }
    }
    return out;
}

std::string differences(const Snapshot& a, const Snapshot& b) {
    std::string out;
    for (const auto& [name, bytes] : a) {
        const auto other = b.find(name);
        if (other == b.end()) out += " -" + name;
        else if (other->second != bytes) out += " ~" + name;
    }
    for (const auto& [name, bytes] : b) {
        if (!a.count(name)) out += " +" + name;
    }
    return out;
}

// Opens the book again, which finishes or rolls back a change left half-done.
void reopen(const fs::path& home) {
    MDataBase db;
    ASSERT_TRUE(db.openStore(home, kKindLiuYao, StoreOpening::ForReplacing).ok);
    db.checkIntact();
}

// The book opens and its header matches its slots; returns the number of checks made.
int checkBookIsWhole(const fs::path& home, const std::string& where) {
    if (!fs::exists(home / "dat" / "liuyao0.dat")) return 1;  // wiped: the next start makes a new one
    MDataBase db;
    const Status opened = db.openStore(home, kKindLiuYao, StoreOpening::ExistingOnly);
    EXPECT_TRUE(opened.ok) << where << ": " << opened.message;
    const Status intact = db.checkIntact();
    EXPECT_TRUE(intact.ok) << where << ": " << intact.message;
    const std::string file0 = readFileBytes(home / "dat" / "liuyao0.dat").value_or("");
    const CaseBookHeader h = CaseBookHeader::decode(file0.data());
    EXPECT_TRUE(h.check().ok) << where;
    int deleted = 0;
    for (std::int32_t id = 0; id < h.slotCount; ++id) {
        CaseRecord r;
        const SlotRead read = db.readCase(static_cast<std::uint32_t>(id), r);
        EXPECT_TRUE(read.status.ok) << where << " slot " << id;
        EXPECT_EQ(r.id, static_cast<std::uint32_t>(id)) << where;
        deleted += read.state == SlotState::Deleted;
    }
    EXPECT_EQ(h.freeCount, deleted) << where;
    EXPECT_TRUE(!h.reuse || h.freeCount > 0) << where;
    EXPECT_TRUE(h.freeCount < kReuseThreshold || h.reuse) << where;
    return 4 + h.slotCount;
}

// ---- faults

struct FaultPlan {
    FaultPlan() = default;
    FaultPlan(int call, Fault what) : at(call), fault(what) {}

    int at = 0;  // the call (1-based) that gets the fault
    Fault fault = Fault::None;
    int calls = 0;
    std::vector<std::string> trace;

    fileops::FaultHook hook() {
        return [this](fileops::Op op, std::string_view target) {
            trace.push_back(std::string(fileops::opName(op)) + " " + fs::path(target).filename().string());
            return ++calls == at ? fault : Fault::None;
        };
    }
};

struct ScopedHook {
    explicit ScopedHook(fileops::FaultHook hook) { fileops::setFaultHook(std::move(hook)); }
    ~ScopedHook() { fileops::setFaultHook({}); }
};

enum class Outcome { Success, Failure, Crash };

Outcome runUnder(FaultPlan& plan, const std::function<Status()>& operation, std::string* message = nullptr) {
    ScopedHook scoped(plan.hook());
    try {
        const Status s = operation();
        if (message) *message = s.message;
        return s.ok ? Outcome::Success : Outcome::Failure;
    } catch (const fileops::SimulatedCrash&) {
        return Outcome::Crash;
    }
}

// ---- the operations

struct Operation {
    const char* name;
    fs::path Templates::*start;
    // Runs on the book in home; scratch is a folder outside it (an export's target).
    std::function<Status(const fs::path& home, const fs::path& scratch)> run;
};

void PrintTo(const Operation& op, std::ostream* os) { *os << op.name; }

MDataBase bookIn(const fs::path& home) {
    MDataBase db;
    db.openStore(home, kKindLiuYao, StoreOpening::ForReplacing);  // paths only: no file call
    db.setLockWait(std::chrono::milliseconds(0));
    return db;
}

Templates* templates = nullptr;

const Operation kOperations[] = {
    {"SaveIntoANewSlot", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         CaseRecord r = record("新", 5);
         const CaseReports reports = reportsFor("新");
         return db.addCase(r, &reports);
     }},
    {"SaveIntoAReusedSlot", &Templates::reuse,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         CaseRecord r = record("补", 6);
         const CaseReports reports = reportsFor("补");
         return db.addCase(r, &reports);
     }},
    {"Edit", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         CaseRecord r = record("改", 7);
         r.extra = "改过的附加信息";
         return db.writeCase(1, r);
     }},
    {"EditWithReports", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         CaseRecord r = record("存旧", 8);
         const CaseReports reports = reportsFor("存旧");
         return db.writeCase(1, r, &reports);
     }},
    {"AppendMany", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         std::vector<CaseRecord> records = {record("导入甲", 9), record("导入乙", 10), record("导入丙", 11)};
         return db.appendCases(records);
     }},
    {"Delete", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         return deleteStoredCase(db, 1);
     }},
    {"Restore", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         return db.importStore(templates->backup / "liuyao0.dat");
     }},
    {"Wipe", &Templates::small,
     [](const fs::path& home, const fs::path&) {
         MDataBase db = bookIn(home);
         return db.clearStore();
     }},
    {"Export", &Templates::small,
     [](const fs::path& home, const fs::path& scratch) {
         MDataBase db = bookIn(home);
         return db.exportStore(scratch / "backup");
     }},
};

// An export changes nothing in the book; its target holds a whole backup exactly when it
// holds file 0.
int checkExportTarget(const fs::path& home, const fs::path& target, Outcome outcome, const std::string& where) {
    const bool hasFile0 = fs::exists(target / "liuyao0.dat");
    EXPECT_TRUE(outcome == Outcome::Crash || hasFile0 == (outcome == Outcome::Success)) << where;
    if (!hasFile0) return 1;
    MDataBase db = bookIn(home);
    const Status backup = db.checkBackup(target / "liuyao0.dat");
    EXPECT_TRUE(backup.ok) << where << ": " << backup.message;
    EXPECT_EQ(readFileBytes(target / "liuyao0.dat"), readFileBytes(home / "dat" / "liuyao0.dat")) << where;
    for (std::uint32_t id = 0; id < 3; ++id) {
        EXPECT_EQ(readFileBytes(target / "liuyao_f" / (std::to_string(id) + ".rtf")), readFileBytes(db.reportPath(id)))
            << where;
    }
    return 3;
}

struct Counts {
    int points = 0, runs = 0, checks = 0;
};

class FaultPoints : public ::testing::TestWithParam<Operation> {
protected:
    static void SetUpTestSuite() {
        setAppClock(std::make_shared<FixedClock>(LocalDateTime{2026, 12, 9, 10, 15, 0}));
        templates = new Templates;
    }
    static void TearDownTestSuite() {
        delete templates;
        templates = nullptr;
        setAppClock(std::make_shared<SystemClock>());
    }

    // A fresh copy of the operation's starting book.
    fs::path freshHome() {
        const fs::path home = work.path() / ("run" + std::to_string(++runNumber));
        fs::copy(templates->*(GetParam().start), home, fs::copy_options::recursive);
        return home;
    }
    fs::path freshScratch() {
        const fs::path scratch = work.path() / ("scratch" + std::to_string(runNumber));
        fs::create_directories(scratch);
        return scratch;
    }
    void discard(const fs::path& home) {
        fs::remove_all(home);
        fs::remove_all(work.path() / ("scratch" + std::to_string(runNumber)));
    }

    // Checks one run: the book opens whole and is the book before or after, as the outcome
    // says. Returns the number of checks made.
    int checkRun(const fs::path& home, const fs::path& scratch, Outcome outcome, const Snapshot& before,
                 const Snapshot& after, const std::string& where) {
        // What the outcome says holds at once, not only after the next open: a failure has
        // changed nothing; a success is complete (a journal it could not remove only makes
        // the next open tidy up).
        if (outcome != Outcome::Crash && std::string(GetParam().name) != "Export") {
            Snapshot at = snapshotOf(home, false);
            if (outcome == Outcome::Success) {
                std::erase_if(at, [](const auto& entry) {
                    return entry.first == "dat/liuyao.journal" || entry.first.rfind("dat/liuyao.import", 0) == 0;
                });
            }
            const Snapshot& expected = outcome == Outcome::Success ? after : before;
            EXPECT_TRUE(at == expected) << where << " at once:" << differences(expected, at);
        }
        reopen(home);
        int checks = checkBookIsWhole(home, where);
        const Snapshot now = snapshotOf(home);
        const bool isBefore = now == before, isAfter = now == after;
        if (std::string(GetParam().name) == "Export") {
            EXPECT_TRUE(isBefore) << where << differences(before, now);
            checks += checkExportTarget(home, scratch / "backup", outcome, where);
        } else if (outcome == Outcome::Success) {
            EXPECT_TRUE(isAfter) << where << " reported success:" << differences(after, now);
        } else if (outcome == Outcome::Failure) {
            EXPECT_TRUE(isBefore) << where << " reported failure:" << differences(before, now);
        } else {
            EXPECT_TRUE(isBefore || isAfter)
                << where << " crashed: before" << differences(before, now) << "; after" << differences(after, now);
        }
        return checks + 3;
    }

    qingheng::testing::TemporaryHome work{"faultpoints", qingheng::testing::memoryFolder()};
    int runNumber = 0;
};

TEST_P(FaultPoints, EveryFailureAndCrashLeavesTheBookWholeAndTheOutcomeTrue) {
    const Operation& op = GetParam();
    const Snapshot before = snapshotOf(templates->*(op.start));

    // The clean run: the book after, and the number of file calls.
    const fs::path reference = freshHome();
    FaultPlan counting;
    std::string message;
    const Outcome clean = runUnder(
        counting, [&] { return op.run(reference, freshScratch()); }, &message);
    ASSERT_EQ(clean, Outcome::Success) << message;
    reopen(reference);
    const Snapshot after = snapshotOf(reference);
    if (std::string(op.name) == "Export") {
        ASSERT_EQ(after, before);
    } else {
        ASSERT_NE(after, before) << "the operation changed nothing";
    }
    ASSERT_GT(counting.calls, 3);

    Counts counts;
    counts.points = counting.calls;
    for (const Fault fault : {Fault::Fail, Fault::Crash}) {
        for (int at = 1; at <= counting.calls; ++at) {
            const fs::path home = freshHome();
            const fs::path scratch = freshScratch();
            FaultPlan plan{at, fault};
            const Outcome outcome = runUnder(
                plan, [&] { return op.run(home, scratch); }, &message);
            const std::string where = std::string(op.name) + (fault == Fault::Fail ? " failing " : " crashing at ") +
                                      counting.trace[at - 1] + " (call " + std::to_string(at) + ")";
            EXPECT_TRUE(fault != Fault::Crash || outcome == Outcome::Crash) << where;
            if (fault == Fault::Fail && outcome == Outcome::Failure) {
                EXPECT_FALSE(message.empty()) << where;
                ++counts.checks;
            }
            counts.checks += checkRun(home, scratch, outcome, before, after, where);
            ++counts.runs;
            discard(home);
            if (::testing::Test::HasFailure()) {
                for (const std::string& call : plan.trace) std::cerr << "  " << call << "\n";
                return;
            }
        }
    }
    std::cout << op.name << ": " << counts.points << " fault points, " << counts.runs << " runs, " << counts.checks
              << " outcomes checked\n";
}

INSTANTIATE_TEST_SUITE_P(CaseBook, FaultPoints, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& info) { return info.param.name; });

// A restore or a wipe stopped at any point, whose next open is stopped or fails at any
// point of its own, still ends in a whole book once a later open gets through.
TEST(FaultPointsRecovery, AnInterruptedRecoveryIsFinishedByTheNextOpen) {
    setAppClock(std::make_shared<FixedClock>(LocalDateTime{2026, 12, 9, 10, 15, 0}));
    Templates t;
    qingheng::testing::TemporaryHome work("recovery", qingheng::testing::memoryFolder());
    int runs = 0, checks = 0;
    for (const bool wipe : {false, true}) {
        auto operation = [&](const fs::path& home) {
            MDataBase db = bookIn(home);
            return wipe ? db.clearStore() : db.importStore(t.backup / "liuyao0.dat");
        };
        const Snapshot before = snapshotOf(t.small);
        const fs::path reference = work / "reference";
        fs::copy(t.small, reference, fs::copy_options::recursive);
        FaultPlan counting;
        const Outcome clean = runUnder(counting, [&] { return operation(reference); });
        ASSERT_EQ(clean, Outcome::Success);
        const Snapshot after = snapshotOf(reference);
        fs::remove_all(reference);

        for (int at = 1; at <= counting.calls; ++at) {
            const fs::path crashed = work / "crashed";
            fs::copy(t.small, crashed, fs::copy_options::recursive);
            FaultPlan crash{at, Fault::Crash};
            runUnder(crash, [&] { return operation(crashed); });
            // The calls the next open makes to finish what the crash left.
            const fs::path probe = work / "probe";
            fs::copy(crashed, probe, fs::copy_options::recursive);
            FaultPlan recovering;
            runUnder(recovering, [&] { return bookIn(probe).checkIntact(); });
            fs::remove_all(probe);
            for (const Fault fault : {Fault::Fail, Fault::Crash}) {
                for (int second = 1; second <= recovering.calls; ++second) {
                    const fs::path home = work / "home";
                    fs::copy(crashed, home, fs::copy_options::recursive);
                    FaultPlan plan{second, fault};
                    runUnder(plan, [&] { return bookIn(home).checkIntact(); });
                    reopen(home);
                    const std::string where = std::string(wipe ? "wipe" : "restore") + " crashed at " +
                                              counting.trace[at - 1] + ", its recovery " +
                                              (fault == Fault::Fail ? "failing at " : "crashing at ") +
                                              recovering.trace[second - 1];
                    checks += checkBookIsWhole(home, where);
                    const Snapshot now = snapshotOf(home);
                    EXPECT_TRUE(now == before || now == after)
                        << where << ": before" << differences(before, now) << "; after" << differences(after, now);
                    ++checks;
                    ++runs;
                    fs::remove_all(home);
                    if (::testing::Test::HasFailure()) return;
                }
            }
            fs::remove_all(crashed);
        }
    }
    std::cout << "recovery: " << runs << " runs, " << checks << " outcomes checked\n";
    setAppClock(std::make_shared<SystemClock>());
}

// The simulated crash unwinds the stack; a real one does not. A restore killed with SIGKILL
// at each of its file calls leaves a book that the next open makes whole.
TEST(FaultPointsRecovery, ARestoreKilledAtAnyCallLeavesAWholeBook) {
    setAppClock(std::make_shared<FixedClock>(LocalDateTime{2026, 12, 9, 10, 15, 0}));
    Templates t;
    qingheng::testing::TemporaryHome work("killed", qingheng::testing::memoryFolder());
    const Snapshot before = snapshotOf(t.small);
    const fs::path reference = work / "reference";
    fs::copy(t.small, reference, fs::copy_options::recursive);
    FaultPlan counting;
    const Outcome clean = runUnder(counting, [&] { return bookIn(reference).importStore(t.backup / "liuyao0.dat"); });
    ASSERT_EQ(clean, Outcome::Success);
    const Snapshot after = snapshotOf(reference);

    for (int at = 1; at <= counting.calls; ++at) {
        const fs::path home = work / "home";
        fs::copy(t.small, home, fs::copy_options::recursive);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int calls = 0;
            fileops::setFaultHook([&](fileops::Op, std::string_view) {
                if (++calls == at) ::kill(::getpid(), SIGKILL);
                return Fault::None;
            });
            bookIn(home).importStore(t.backup / "liuyao0.dat");
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << at;
        reopen(home);
        const std::string where = "killed at " + counting.trace[at - 1];
        checkBookIsWhole(home, where);
        const Snapshot now = snapshotOf(home);
        EXPECT_TRUE(now == before || now == after)
            << where << ": before" << differences(before, now) << "; after" << differences(after, now);
        fs::remove_all(home);
    }
    setAppClock(std::make_shared<SystemClock>());
}

}  // namespace
