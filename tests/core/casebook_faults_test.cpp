// The case book under failing files: every failure is reported and no stored case is lost.
// The tests run as root too, so nothing here relies on file permissions: a path that must
// fail is made a file where a folder is expected (or the reverse), or a file size limit is
// set in a child process.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "TemporaryHome.h"
#include "casebook/Database.h"
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
    // The temporary name of file 0 is taken by a folder that cannot be cleared away, so
    // the copy stops before anything of the book is replaced.
    fs::create_directories(db.dataFile(0).string() + ".import/keep");
    const Status s = db.importStore(backup / "liuyao0.dat");
    EXPECT_FALSE(s.ok);
    expectBookIntact();
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

    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    expectBookIntact();
    EXPECT_TRUE(db.addCase(r).ok);
    EXPECT_EQ(r.id, 3u);
}
