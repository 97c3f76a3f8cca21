// The case book under failing files: every failure is reported and no stored case is lost.
// The tests run as root too, so nothing here relies on file permissions: a path that must
// fail is made a file where a folder is expected (or the reverse), or a file size limit is
// set in a child process.
#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "TemporaryHome.h"
#include "casebook/CaseOnView.h"
#include "casebook/Database.h"
#include "platform/Clock.h"
#include "platform/FileOps.h"
#include "platform/FileUtil.h"

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

std::string bytesOf(const fs::path& p) { return readFileBytes(p).value_or(std::string()); }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

CaseRecord record(const std::string& name) {
    CaseRecord r;
    r.name = name;
    r.category = "测试";
    r.year = 2020;
    r.month = 1;
    r.day = 1;
    r.question = "问事";
    r.mainCode = "111111";
    r.changedCode = "111111";
    return r;
}

// Runs the operation with the given call failing, where the call is the first one after
// the last call named what in a clean run of the same operation on a copy of the book.
Status failAfter(const fs::path& home, const std::string& what, const std::function<Status(MDataBase&)>& operation) {
    const fs::path probe = home.string() + "-probe";
    fs::copy(home, probe, fs::copy_options::recursive);
    std::vector<std::string> calls;
    fileops::setFaultHook([&](fileops::Op op, std::string_view target) {
        calls.push_back(std::string(fileops::opName(op)) + " " + fs::path(target).filename().string());
        return fileops::Fault::None;
    });
    MDataBase probeBook;
    probeBook.openStore(probe, kKindLiuYao);
    operation(probeBook);
    fs::remove_all(probe);
    const auto last = std::find(calls.rbegin(), calls.rend(), what);
    EXPECT_NE(last, calls.rend()) << what;
    const int failing = static_cast<int>(calls.rend() - last) + 1;  // 1-based: the call after it
    int n = 0;
    fileops::setFaultHook(
        [&](fileops::Op, std::string_view) { return ++n == failing ? fileops::Fault::Fail : fileops::Fault::None; });
    MDataBase book;
    book.openStore(home, kKindLiuYao);
    const Status s = operation(book);
    fileops::setFaultHook({});
    return s;
}

// A book with three cases and their reports; remembers its bytes to prove nothing changed.
class FaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openStore(home, kKindLiuYao).ok);
        for (const char* name : {"甲", "乙", "丙"}) {
            CaseRecord r = record(name);
            ASSERT_TRUE(db.addCase(r).ok);
            std::ofstream(db.reportPath(r.id)) << "report " << r.id;
        }
        snapshot = bytesOf(db.dataFile(0));
    }

    void expectBookIntact() {
        EXPECT_EQ(bytesOf(db.dataFile(0)), snapshot);
        for (std::uint32_t id = 0; id < 3; ++id) {
            CaseRecord r;
            EXPECT_TRUE(db.readCase(id, r).live()) << id;
            EXPECT_EQ(bytesOf(db.reportPath(id)), "report " + std::to_string(id));
        }
    }

    qingheng::testing::TemporaryHome temporaryHome{"casebook_fault"};
    const fs::path home = temporaryHome.path();
    MDataBase db;
    std::string snapshot;
};

}  // namespace

TEST(CaseBookFaults, UnwritableDataFolderIsReportedAtOpen) {
    const qingheng::testing::TemporaryHome temporaryHome("unwritable");
    const fs::path home = temporaryHome.path();
    std::ofstream(home / "dat") << "a file where the folder belongs";
    MDataBase db;
    const Status s = db.openStore(home, kKindLiuYao);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(contains(s.message, "无法建立文件夹")) << s.message;
    CaseRecord r = record("甲");
    EXPECT_FALSE(db.addCase(r).ok);
}

TEST_F(FaultTest, ExportIntoAPathThatIsAFileFails) {
    const fs::path target = home / "not_a_folder";
    std::ofstream(target) << "x";
    const Status s = db.exportStore(target);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(contains(s.message, "无法建立文件夹")) << s.message;
    // A backup folder whose report folder is taken by a file fails as well.
    const fs::path backup = home / "backup";
    fs::create_directories(backup);
    std::ofstream(backup / "liuyao_f") << "x";
    EXPECT_FALSE(db.exportStore(backup).ok);
    expectBookIntact();
}

TEST_F(FaultTest, FailedSlotWriteLeavesTheHeaderConsistent) {
    // The second data file cannot be created: its name is taken by a folder.
    fs::resize_file(db.dataFile(0), 20 + std::uintmax_t(kSlotsPerFile) * kCaseRecordSize);
    CaseBookHeader full;
    full.slotCount = kSlotsPerFile;
    {
        std::fstream f(db.dataFile(0), std::ios::binary | std::ios::in | std::ios::out);
        f.write(full.encode().data(), kHeaderSize);
    }
    fs::create_directories(db.dataFile(1));
    CaseRecord r = record("丁");
    const Status s = db.addCase(r);
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(contains(s.message, "无法写入卦例库文件")) << s.message;
    int count = 0;
    ASSERT_TRUE(db.countSlots(count).ok);
    EXPECT_EQ(count, kSlotsPerFile);
    CaseRecord first;
    EXPECT_TRUE(db.readCase(0, first).live());
    EXPECT_EQ(first.name, "甲");
}

TEST_F(FaultTest, FullDiskDuringAnAppendChangesNothing) {
    // In a child process a file size limit makes the slot write fail (EFBIG), as a full
    // disk would; the parent then checks the files.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlim_t size = fs::file_size(db.dataFile(0));
        const rlimit limit{size, size};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CaseRecord r = record("丁");
        const Status s = db.addCase(r);
        ::_exit(!s.ok && contains(s.message, "无法写入卦例库文件") ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(bytesOf(db.dataFile(0)), snapshot);
    expectBookIntact();
}

TEST_F(FaultTest, TruncatedSlotFileIsReportedAndTheReadableCasesStay) {
    fs::resize_file(db.dataFile(0), 20 + 2 * kCaseRecordSize + 100);  // the third slot is cut
    CaseRecord r;
    const SlotRead cut = db.readCase(2, r);
    EXPECT_FALSE(cut.live());
    EXPECT_FALSE(cut.status.ok);
    EXPECT_TRUE(contains(cut.status.message, "不完整")) << cut.status.message;
    EXPECT_TRUE(db.readCase(1, r).live());

    CaseQuery all;
    std::vector<std::uint32_t> ids;
    const Status s = db.searchCases(all, ids);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 1}));
}

TEST_F(FaultTest, CorruptHeaderIsRefusedByEveryOperationWithoutRewriting) {
    std::string bytes = snapshot;
    bytes[0] = 42;  // unknown kind
    bytes[14] = 9;  // file count out of step with the slot count
    {
        std::ofstream f(db.dataFile(0), std::ios::binary | std::ios::trunc);
        f << bytes;
    }
    MDataBase reopened;
    const Status open = reopened.openStore(home, kKindLiuYao);
    EXPECT_FALSE(open.ok);
    EXPECT_TRUE(contains(open.message, "文件头已损坏")) << open.message;
    CaseRecord r = record("丁");
    EXPECT_FALSE(reopened.addCase(r).ok);
    EXPECT_FALSE(reopened.removeCase(0).ok);
    EXPECT_FALSE(reopened.writeCase(0, r).ok);
    EXPECT_FALSE(reopened.readCase(0, r).status.ok);
    EXPECT_EQ(bytesOf(db.dataFile(0)), bytes);
}

TEST_F(FaultTest, BackupWithAMissingDataFileIsRefusedBeforeAnythingIsDeleted) {
    const fs::path backup = home / "backup";
    ASSERT_TRUE(db.exportStore(backup).ok);
    // Make the backup claim a second data file that is not there.
    fs::resize_file(backup / "liuyao0.dat", 20 + std::uintmax_t(kSlotsPerFile) * kCaseRecordSize);
    CaseBookHeader h;
    h.slotCount = kSlotsPerFile + 1;
    h.fileCount = 2;
    {
        std::fstream f(backup / "liuyao0.dat", std::ios::binary | std::ios::in | std::ios::out);
        f.write(h.encode().data(), kHeaderSize);
    }
    Status s = db.importStore(backup / "liuyao0.dat");
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(contains(s.message, "缺少文件")) << s.message;
    expectBookIntact();

    // A data file that is too short for its slots is refused the same way.
    std::ofstream(backup / "liuyao1.dat") << "short";
    s = db.importStore(backup / "liuyao1.dat");
    EXPECT_FALSE(s.ok);
    s = db.importStore(backup / "liuyao0.dat");
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(contains(s.message, "太短")) << s.message;
    // A header of another kind or a damaged one.
    std::string other = bytesOf(db.dataFile(0));
    other[0] = 1;
    std::ofstream(backup / "liuyao0.dat", std::ios::binary | std::ios::trunc) << other;
    EXPECT_FALSE(db.importStore(backup / "liuyao0.dat").ok);
    std::ofstream(backup / "liuyao0.dat", std::ios::binary | std::ios::trunc) << "tiny";
    EXPECT_FALSE(db.importStore(backup / "liuyao0.dat").ok);
    expectBookIntact();
}

TEST_F(FaultTest, ImportFailingHalfWayLeavesTheOldBookUsable) {
    const fs::path backup = home / "backup";
    ASSERT_TRUE(db.exportStore(backup).ok);
    // The copy of the second report file cannot be made, so the copying stops before
    // anything of the book is replaced, and the copies made so far are removed.
    const Status s =
        failAfter(home, "open 1.rtf", [&](MDataBase& book) { return book.importStore(backup / "liuyao0.dat"); });
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(contains(s.message, "无法复制文件")) << s.message;
    expectBookIntact();
    EXPECT_FALSE(fs::exists(home / "dat" / "liuyao.import"));
    EXPECT_FALSE(fs::exists(home / "dat" / "liuyao.journal"));
}

TEST_F(FaultTest, SecondProgramHoldingTheLockMakesOperationsWaitThenFail) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(db.lockPath().c_str(), O_RDWR);
        const bool locked = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
        char c = locked ? '1' : '0';
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, '1');

    db.setLockWait(std::chrono::milliseconds(50));
    CaseRecord r = record("丁");
    const Status s = db.addCase(r);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, "卦例库正被另一个程序使用，请稍后再试。");
    EXPECT_FALSE(db.removeCase(0).ok);
    EXPECT_FALSE(db.clearStore().ok);
    EXPECT_FALSE(db.readCase(0, r).status.ok);
    // The operations that read or append many cases at once take the same lock.
    CaseQuery everything;
    std::vector<CaseRow> rows;
    std::vector<CaseRead> reads;
    std::vector<CaseRecord> many = {record("戊"), record("己")};
    const std::uint32_t ids[] = {0, 1};
    const std::pair<const char*, std::function<Status()>> batches[] = {
        {"searchCaseRows", [&] { return db.searchCaseRows(everything, rows); }},
        {"readCases", [&] { return db.readCases(ids, reads); }},
        {"readCaseRows", [&] { return db.readCaseRows(ids, rows); }},
        {"forEachCase", [&] { return db.forEachCase(everything, [](const CaseRecord&) { return true; }); }},
        {"appendCases", [&] { return db.appendCases(many); }},
    };
    for (const auto& [name, run] : batches) EXPECT_EQ(run().message, "卦例库正被另一个程序使用，请稍后再试。") << name;

    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    expectBookIntact();
    EXPECT_TRUE(db.addCase(r).ok);
    EXPECT_EQ(r.id, 3u);
}

// ---- restore and wipe keep what they replace

namespace {

// A backup of two cases made from another book, with its reports and a file of the user's.
fs::path makeBackup(const fs::path& where) {
    const fs::path source = where / "source";
    MDataBase other;
    EXPECT_TRUE(other.openStore(source, kKindLiuYao).ok);
    for (const char* name : {"子", "丑"}) {
        CaseRecord r = record(name);
        const CaseReports reports{std::string("six ") + name, std::string("plum ") + name};
        EXPECT_TRUE(other.addCase(r, &reports).ok);
    }
    const fs::path backup = where / "backup";
    EXPECT_TRUE(other.exportStore(backup).ok);
    return backup;
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(FaultTest, TheBooksOwnFilesAreRefusedAsABackup) {
    fs::create_directories(home / "elsewhere");
    fs::create_symlink(db.dataFile(0), home / "elsewhere" / "liuyao0.dat");
    fs::create_directories(home / "dat" / "liuyao.import");
    fs::copy_file(db.dataFile(0), home / "dat" / "liuyao.import" / "liuyao0.dat");
    for (const fs::path& own :
         {db.dataFile(0), home / "elsewhere" / "liuyao0.dat", home / "dat" / "liuyao.import" / "liuyao0.dat"}) {
        const Status s = db.importStore(own);
        EXPECT_FALSE(s.ok) << own;
        EXPECT_TRUE(contains(s.message, "是卦例库自己的文件，不能用来导入")) << s.message;
        expectBookIntact();
    }
}

TEST_F(FaultTest, RestoreMovesTheReplacedBookAsideAndKeepsTheUsersFiles) {
    setAppClock(std::make_shared<FixedClock>(LocalDateTime{2026, 12, 9, 10, 15, 0}));
    std::ofstream(db.reportFolder() / "notes.txt") << "mine";
    fs::create_directories(db.reportFolder() / "pictures");
    std::ofstream(db.reportFolder() / "pictures" / "1.rtf") << "mine too";
    const std::string oldReport = bytesOf(db.reportPath(1));
    const fs::path backup = makeBackup(temporaryHome.path() / "other");

    fs::path movedTo;
    const Status s = db.importStore(backup / "liuyao0.dat", &movedTo);
    ASSERT_TRUE(s.ok) << s.message;
    const fs::path replaced = home / "dat" / "replaced-20261209-101500";
    EXPECT_EQ(movedTo, replaced);
    EXPECT_EQ(replacedBookNote(movedTo), "原有的卦例已移到 " + replaced.string() + "，需要时可从那里导入。");
    EXPECT_EQ(bytesOf(replaced / "liuyao0.dat"), snapshot);
    EXPECT_EQ(namesIn(replaced / "liuyao_f"),
              (std::vector<std::string>{"0.rtf", "1.rtf", "2.rtf"}));  // only the report files went
    EXPECT_EQ(namesIn(db.reportFolder()),
              (std::vector<std::string>{"0.rtf", "0m.rtf", "1.rtf", "1m.rtf", "notes.txt", "pictures"}));
    EXPECT_EQ(bytesOf(db.reportPath(1)), "six 丑");
    EXPECT_EQ(bytesOf(db.reportFolder() / "pictures" / "1.rtf"), "mine too");
    CaseRecord r;
    EXPECT_EQ(db.readCase(2, r).state, SlotState::OutOfRange);

    // The replaced book is a backup of its own: restoring it undoes the restore.
    ASSERT_TRUE(db.importStore(replaced / "liuyao0.dat", &movedTo).ok);
    EXPECT_EQ(movedTo, home / "dat" / "replaced-20261209-101500-2");
    expectBookIntact();
    EXPECT_EQ(bytesOf(db.reportPath(1)), oldReport);
    setAppClock(std::make_shared<SystemClock>());
}

TEST_F(FaultTest, WipeMovesTheBookAsideAndLeavesTheUsersFiles) {
    setAppClock(std::make_shared<FixedClock>(LocalDateTime{2026, 12, 9, 10, 15, 0}));
    std::ofstream(db.reportFolder() / "notes.txt") << "mine";
    fs::path movedTo;
    ASSERT_TRUE(db.clearStore(&movedTo).ok);
    EXPECT_EQ(movedTo, home / "dat" / "replaced-20261209-101500");
    EXPECT_FALSE(fs::exists(db.dataFile(0)));
    EXPECT_EQ(namesIn(db.reportFolder()), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(bytesOf(movedTo / "liuyao0.dat"), snapshot);
    EXPECT_EQ(bytesOf(movedTo / "liuyao_f" / "2.rtf"), "report 2");
    // A wipe of a book that is already gone has nothing to move.
    ASSERT_TRUE(db.clearStore(&movedTo).ok);
    EXPECT_TRUE(movedTo.empty());
    setAppClock(std::make_shared<SystemClock>());
}

TEST_F(FaultTest, ABackupWithoutReportFilesRestoresTheDataAlone) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& reports)> make;
    };
    const Case cases[] = {
        {"no report folder", [](const fs::path& reports) { fs::remove_all(reports); }},
        {"a file named like the folder",
         [](const fs::path& reports) {
             fs::remove_all(reports);
             std::ofstream(reports) << "x";
         }},
        {"a link to a folder",
         [](const fs::path& reports) {
             fs::rename(reports, reports.string() + "-real");
             fs::create_directory_symlink(reports.string() + "-real", reports);
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const fs::path backup = makeBackup(temporaryHome.path() / ("other" + std::to_string(n++)));
        c.make(backup / "liuyao_f");
        fs::path movedTo;
        const Status s = db.importStore(backup / "liuyao0.dat", &movedTo);
        ASSERT_TRUE(s.ok) << c.what << ": " << s.message;
        CaseRecord r;
        EXPECT_TRUE(db.readCase(1, r).live()) << c.what;
        EXPECT_EQ(r.name, "丑") << c.what;
        EXPECT_FALSE(fs::exists(db.reportPath(0))) << c.what;
        // The reports of the book it replaced were moved with it, not deleted.
        EXPECT_FALSE(movedTo.empty()) << c.what;
        ASSERT_TRUE(db.importStore(movedTo / "liuyao0.dat").ok);
    }
    expectBookIntact();
}

TEST_F(FaultTest, OnlyRegularFilesNamedLikeReportsAreCopiedFromABackup) {
    const fs::path backup = makeBackup(temporaryHome.path() / "other");
    const fs::path reports = backup / "liuyao_f";
    std::ofstream(temporaryHome.path() / "secret") << "a system file";
    fs::create_symlink(temporaryHome.path() / "secret", reports / "5.rtf");
    fs::create_directories(reports / "6.rtf");
    std::ofstream(reports / "7m.RTF") << "upper-case extension";
    for (const char* other : {"notes.txt", "08.rtf", "9x.rtf", "10.rtf.bak"}) std::ofstream(reports / other) << other;
    ASSERT_TRUE(db.importStore(backup / "liuyao0.dat").ok);
    EXPECT_EQ(namesIn(db.reportFolder()), (std::vector<std::string>{"0.rtf", "0m.rtf", "1.rtf", "1m.rtf", "7m.RTF"}));
}

TEST_F(FaultTest, ABackupWhoseSlotsAreGarbageIsRefused) {
    struct Case {
        const char* what;
        std::size_t offset;
        char byte;
    };
    const Case cases[] = {
        {"an id that is not the slot's index", 20 + kCaseRecordSize + slot::kId, 9},
        {"a deleted flag other than 0 or 1", 20 + 2 * kCaseRecordSize + slot::kDeleted, 7},
    };
    for (const Case& c : cases) {
        const fs::path backup = temporaryHome.path() / "garbage";
        fs::remove_all(backup);
        ASSERT_TRUE(db.exportStore(backup).ok);
        std::string bytes = bytesOf(backup / "liuyao0.dat");
        bytes[c.offset] = c.byte;
        std::ofstream(backup / "liuyao0.dat", std::ios::binary | std::ios::trunc) << bytes;
        const Status s = db.importStore(backup / "liuyao0.dat");
        EXPECT_FALSE(s.ok) << c.what;
        EXPECT_TRUE(contains(s.message, "编号或删除标记不对")) << s.message;
        expectBookIntact();
    }
}

// ---- a damaged book can be read but not changed

TEST_F(FaultTest, WritesRefuseABookWhoseDataFilesDoNotHoldWhatTheHeaderCounts) {
    struct Case {
        const char* what;
        std::function<void()> damage;
    };
    const auto bigHeader = [&] {
        // 50 001 slots: the first file full (sparse), one slot in the second.
        fs::resize_file(db.dataFile(0), 20 + std::uintmax_t(kSlotsPerFile) * kCaseRecordSize);
        CaseBookHeader h;
        h.slotCount = kSlotsPerFile + 1;
        h.fileCount = 2;
        std::fstream f(db.dataFile(0), std::ios::binary | std::ios::in | std::ios::out);
        f.write(h.encode().data(), kHeaderSize);
    };
    const Case cases[] = {
        {"file 0 cut to its header", [&] { fs::resize_file(db.dataFile(0), 20); }},
        {"file 0 cut inside a slot", [&] { fs::resize_file(db.dataFile(0), 20 + 2 * kCaseRecordSize + 7); }},
        {"file 1 missing", [&] { bigHeader(); }},
        {"file 1 empty",
         [&] {
             bigHeader();
             std::ofstream(db.dataFile(1));
         }},
        {"file 1 cut",
         [&] {
             bigHeader();
             std::ofstream(db.dataFile(1)) << std::string(kCaseRecordSize - 1, 'x');
         }},
    };
    for (const Case& c : cases) {
        std::ofstream(db.dataFile(0), std::ios::binary | std::ios::trunc) << snapshot;
        fs::remove(db.dataFile(1));
        c.damage();
        const std::string damaged = bytesOf(db.dataFile(0));
        CaseRecord r = record("丁");
        const Status added = db.addCase(r);
        EXPECT_FALSE(added.ok) << c.what;
        EXPECT_TRUE(contains(added.message, "卦例库已损坏")) << added.message;
        EXPECT_TRUE(contains(added.message, "只能查看")) << added.message;
        EXPECT_FALSE(db.removeCase(0).ok) << c.what;
        EXPECT_FALSE(db.writeCase(0, r).ok) << c.what;
        EXPECT_FALSE(db.checkIntact().ok) << c.what;
        EXPECT_EQ(bytesOf(db.dataFile(0)), damaged) << c.what;
        EXPECT_FALSE(fs::exists(db.reportPath(3))) << c.what;
        // What is there can still be read.
        std::vector<std::uint32_t> ids;
        EXPECT_FALSE(db.liveIds(-1, ids).ok) << c.what;
    }
    // Restoring a backup mends it.
    std::ofstream(db.dataFile(0), std::ios::binary | std::ios::trunc) << snapshot.substr(0, 20);
    const fs::path backup = makeBackup(temporaryHome.path() / "other");
    ASSERT_TRUE(db.importStore(backup / "liuyao0.dat").ok);
    EXPECT_TRUE(db.checkIntact().ok);
    CaseRecord r = record("丁");
    EXPECT_TRUE(db.addCase(r).ok);
    EXPECT_EQ(r.id, 2u);
}

// ---- a failure reports a change that did not happen

TEST_F(FaultTest, AFailedHeaderWriteUndoesTheSaveOrTheDelete) {
    // Enough deletions for the next save to reuse a slot.
    for (int i = 0; i < 30; ++i) {
        CaseRecord r = record("戊");
        ASSERT_TRUE(db.addCase(r).ok);
        ASSERT_TRUE(db.removeCase(r.id).ok);
    }
    const std::string before = bytesOf(db.dataFile(0));
    // The header is written after "open liuyao0.dat" as the last open before the undo image goes.
    auto reuse = [](MDataBase& book) {
        CaseRecord r = record("己");
        return book.addCase(r);
    };
    const Status saved = failAfter(home, "open liuyao0.dat", reuse);
    EXPECT_FALSE(saved.ok);
    EXPECT_TRUE(contains(saved.message, "无法写入卦例库文件")) << saved.message;
    EXPECT_EQ(bytesOf(db.dataFile(0)), before);
    CaseRecord r;
    EXPECT_EQ(db.readCase(3, r).state, SlotState::Deleted);  // the slot a retry takes again
    EXPECT_TRUE(reuse(db).ok);
    CaseQuery q;
    q.name = "己";
    q.nameMode = MatchMode::Equals;
    std::vector<std::uint32_t> ids;
    ASSERT_TRUE(db.searchCases(q, ids).ok);
    EXPECT_EQ(ids, std::vector<std::uint32_t>{3});  // one case, not two

    const std::string beforeDelete = bytesOf(db.dataFile(0));
    const Status deleted = failAfter(home, "open liuyao0.dat", [](MDataBase& book) { return book.removeCase(0); });
    EXPECT_FALSE(deleted.ok);
    EXPECT_EQ(bytesOf(db.dataFile(0)), beforeDelete);
    EXPECT_TRUE(db.readCase(0, r).live());
}

TEST_F(FaultTest, AFailedAppendThatStartedTheNextDataFileRemovesIt) {
    fs::resize_file(db.dataFile(0), 20 + std::uintmax_t(kSlotsPerFile) * kCaseRecordSize);
    CaseBookHeader full;
    full.slotCount = kSlotsPerFile;
    {
        std::fstream f(db.dataFile(0), std::ios::binary | std::ios::in | std::ios::out);
        f.write(full.encode().data(), kHeaderSize);
    }
    const auto add = [](MDataBase& book) {
        CaseRecord r = record("庚");
        return book.addCase(r);
    };
    const Status s = failAfter(home, "open liuyao0.dat", add);  // the header write fails
    EXPECT_FALSE(s.ok);
    EXPECT_FALSE(fs::exists(db.dataFile(1)));
    int count = 0;
    ASSERT_TRUE(db.countSlots(count).ok);
    EXPECT_EQ(count, kSlotsPerFile);
    EXPECT_TRUE(add(db).ok);
    EXPECT_EQ(fs::file_size(db.dataFile(1)), std::uintmax_t(kCaseRecordSize));
}

// ---- reading a book this program cannot write to

namespace {

// Runs check in a child process that cannot write to the home: as root the child becomes
// the user nobody, otherwise the folders lose their write permission. True when check did.
bool asReader(const fs::path& home, const std::function<bool()>& check) {
    const auto readOnly = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(home, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        fs::permissions(entry.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        if (::geteuid() != 0) fs::permissions(entry.path(), readOnly, fs::perm_options::remove);
    }
    if (::geteuid() != 0) fs::permissions(home, readOnly, fs::perm_options::remove);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    for (const auto& entry : fs::recursive_directory_iterator(home))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(home, fs::perms::owner_write, fs::perm_options::add);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(FaultTest, AReadOnlyBookCanBeReadAndRefusesChangesWithAMessage) {
    fs::remove(db.lockPath());  // a book copied from elsewhere need not have one
    const fs::path target = temporaryHome.path().parent_path() / (temporaryHome.path().filename().string() + "-out");
    fs::create_directories(target);
    fs::permissions(target, fs::perms::all);
    const bool ok = asReader(home, [&] {
        MDataBase reader;
        std::vector<std::uint32_t> ids;
        CaseRecord r = record("丁");
        const Status add = reader.openStore(home, kKindLiuYao).ok ? reader.addCase(r) : Status::failure("");
        return reader.openStore(home, kKindLiuYao, StoreOpening::ExistingOnly).ok && reader.liveIds(-1, ids).ok &&
               ids.size() == 3 && reader.readCase(1, r).live() && reader.exportStore(target / "backup").ok && !add.ok &&
               contains(add.message, "不能写入") && contains(add.message, "只能查看");
    });
    EXPECT_TRUE(ok);
    EXPECT_FALSE(fs::exists(db.lockPath()));
    EXPECT_TRUE(fs::exists(target / "backup" / "liuyao0.dat"));
    fs::remove_all(target);
    expectBookIntact();
}

TEST_F(FaultTest, ARestoreIntoAFolderWithoutABookStartsTheBookThereAndAWipeThereDoesNothing) {
    const fs::path backup = temporaryHome.path() / "backup";
    ASSERT_TRUE(db.exportStore(backup).ok);
    const fs::path fresh = temporaryHome.path() / "fresh";
    MDataBase other;
    ASSERT_TRUE(other.openStore(fresh, kKindLiuYao, StoreOpening::ForReplacing).ok);
    fs::path movedTo = "stale";
    ASSERT_TRUE(other.clearStore(&movedTo).ok);
    EXPECT_TRUE(movedTo.empty());
    EXPECT_FALSE(fs::exists(fresh));
    ASSERT_TRUE(other.importStore(backup / "liuyao0.dat", &movedTo).ok);
    EXPECT_TRUE(movedTo.empty());
    EXPECT_EQ(bytesOf(fresh / "dat" / "liuyao0.dat"), snapshot);
    EXPECT_EQ(bytesOf(fresh / "liuyao_f" / "2.rtf"), "report 2");
}

TEST_F(FaultTest, ExportIntoTheBookItselfIsRefused) {
    fs::create_directory_symlink(db.reportFolder(), temporaryHome.path() / "reports-link");
    for (const fs::path& target : {home, home / "liuyao_f", home / "liuyao_f" / "sub", home / "dat",
                                   home / "dat" / "replaced-1", temporaryHome.path() / "reports-link" / "x"}) {
        const Status s = db.exportStore(target);
        EXPECT_EQ(s.message, "不能导出到卦例库自己的文件夹 " + target.string() + "，请选择另一个文件夹。");
    }
    EXPECT_FALSE(fs::exists(home / "liuyao_f" / "liuyao_f"));
    EXPECT_FALSE(fs::exists(home / "liuyao_f" / "sub"));
    expectBookIntact();
}
