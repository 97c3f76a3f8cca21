// A file read once and again only when it changes: every kind of edit shows at the next
// look, including a same-size edit that a coarse file clock leaves with the same stamp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "platform/CachedFile.h"
#include "platform/FileUtil.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

class CachedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qingheng_cached_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "set.ini";
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(const std::string& bytes) const { std::ofstream(file_, std::ios::binary) << bytes; }

    fs::path dir_;
    fs::path file_;
};

// A file system whose clock stands still: every stamp carries the same times.
std::int64_t gFrozenTimeNs = 0;
FileStamp frozenStamp(const fs::path& path) {
    FileStamp s = FileSnapshot::statFile(path);
    if (s.exists) s.modifiedNs = s.changedNs = gFrozenTimeNs;
    return s;
}

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int gParses = 0;
std::string countingParse(const fs::path&, const std::optional<std::string>& bytes) {
    ++gParses;
    return bytes ? *bytes : "(none)";
}

}  // namespace

TEST_F(CachedFileTest, SnapshotReportsEveryChangeOfBytesOrPresence) {
    struct Step {
        const char* what;
        std::function<void()> edit;
        std::optional<std::string> bytes;
        bool changed;
    };
    const Step steps[] = {
        {"missing at the first look", [] {}, std::nullopt, true},
        {"still missing", [] {}, std::nullopt, false},
        {"appears", [&] { write("qiangua=1"); }, "qiangua=1", true},
        {"same bytes written again", [&] { write("qiangua=1"); }, "qiangua=1", false},
        {"same size, other bytes", [&] { write("qiangua=0"); }, "qiangua=0", true},
        {"grows", [&] { write("qiangua=0\r\nnagan=1"); }, "qiangua=0\r\nnagan=1", true},
        {"replaced by a rename", [&] { ASSERT_TRUE(writeFileAtomically(file_, "nagan=0")); }, "nagan=0", true},
        {"emptied", [&] { write(""); }, "", true},
        {"removed", [&] { fs::remove(file_); }, std::nullopt, true},
        {"a folder in its place", [&] { fs::create_directory(file_); }, std::nullopt, false},
    };
    FileSnapshot snapshot;
    for (const Step& step : steps) {
        step.edit();
        EXPECT_EQ(snapshot.refresh(file_), step.changed) << step.what;
        EXPECT_EQ(snapshot.bytes(), step.bytes) << step.what;
    }
}

TEST_F(CachedFileTest, SameSizeEditUnderAStillClockIsSeenWhileTheFileIsFresh) {
    gFrozenTimeNs = nowNs();
    FileSnapshot snapshot(frozenStamp);
    write("qiangua=1");
    EXPECT_TRUE(snapshot.refresh(file_));
    write("qiangua=0");  // same size, same stamp
    EXPECT_TRUE(snapshot.refresh(file_));
    EXPECT_EQ(snapshot.bytes(), "qiangua=0");
    EXPECT_FALSE(snapshot.refresh(file_));
}

TEST_F(CachedFileTest, StampOfAFileQuietForLongerThanTheWindowIsTrusted) {
    gFrozenTimeNs = nowNs() - 2 * FileSnapshot::kUnsureWindowNs;
    FileSnapshot snapshot(frozenStamp);
    write("qiangua=1");
    EXPECT_TRUE(snapshot.refresh(file_));
    write("qiangua=0");  // only a still clock keeps this stamp; the bytes are not read again
    EXPECT_FALSE(snapshot.refresh(file_));
    EXPECT_EQ(snapshot.bytes(), "qiangua=1");
}

TEST_F(CachedFileTest, ParsesOnlyWhenTheBytesChangeOrAfterInvalidate) {
    CachedFile<std::string> cache(countingParse);
    gParses = 0;
    EXPECT_EQ(*cache.get(file_), "(none)");
    write("a=1");
    const std::shared_ptr<const std::string> first = cache.get(file_);
    EXPECT_EQ(*first, "a=1");
    EXPECT_EQ(*cache.get(file_), "a=1");
    write("a=1");
    EXPECT_EQ(*cache.get(file_), "a=1");
    EXPECT_EQ(gParses, 2);

    write("a=2");
    EXPECT_EQ(*cache.get(file_), "a=2");
    EXPECT_EQ(*first, "a=1");  // a value handed out stays as it was
    cache.invalidate();
    EXPECT_EQ(*cache.get(file_), "a=2");
    EXPECT_EQ(gParses, 4);

    const fs::path other = dir_ / "other.ini";
    std::ofstream(other, std::ios::binary) << "b=1";
    EXPECT_EQ(*cache.get(other), "b=1");
    EXPECT_EQ(*cache.get(file_), "a=2");
}
