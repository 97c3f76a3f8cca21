// The stroke-count editor: look-up, the checks of a new count, and a write that touches only
// the two count bytes of one record and nothing when the table cannot be updated.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "StrokeFixture.h"
#include "TemporaryHome.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"
#include "reference/StrokeEditor.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

std::string Gbk(const char* utf8) { return *gbk::fromUtf8(utf8); }

class StrokeTableCopy : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = home_.withShippedFiles({"hzlen.dat"}).useAsProgramFolder().path();
        table_ = folder_ / "dat" / "hzlen.dat";
    }
    std::string bytes() const { return readFileBytes(table_).value_or(""); }

    qingheng::testing::TemporaryHome home_{"editor"};
    fs::path folder_;
    fs::path table_;
};

}  // namespace

TEST(StrokeEditorInput, OnlyOneDoubleByteCharacterIsAccepted) {
    EXPECT_EQ(SingleDoubleByteCharacter("数"), Gbk("数"));
    EXPECT_EQ(SingleDoubleByteCharacter("，"), Gbk("，"));
    for (const char* refused : {"", "a", "ab", "数字", "a数", "😀"})
        EXPECT_EQ(SingleDoubleByteCharacter(refused), std::nullopt) << refused;
}

TEST(StrokeEditorInput, NewCountsMustLieInOneToFifty) {
    struct Case {
        const char* text;
        std::optional<int> count;
    };
    for (const Case& c : {Case{"1", 1},
                          {"50", 50},
                          {"17", 17},
                          {"0", std::nullopt},
                          {"51", std::nullopt},
                          {"ab", std::nullopt},
                          {"", std::nullopt},
                          {"-1", std::nullopt},
                          {"5x", std::nullopt}})
        EXPECT_EQ(AcceptedStrokeCount(Gbk("数"), c.text), c.count) << c.text;
}

TEST(StrokeEditorInput, CharactersBelowTheGb2312RowsAreRefused) {
    EXPECT_EQ(AcceptedStrokeCount(Gbk("丂"), "5"), std::nullopt);  // GBK 8140
    EXPECT_EQ(AcceptedStrokeCount("ab", "5"), std::nullopt);
}

TEST_F(StrokeTableCopy, LookUpReadsTheCountOrTellsThatThereIsNoRecord) {
    EXPECT_EQ(LookUpStrokes(table_, Gbk("数")).count, 15);
    EXPECT_FALSE(LookUpStrokes(table_, Gbk("数")).noRecord);
    const StrokeLookup none = LookUpStrokes(table_, Gbk("，"));
    EXPECT_EQ(none.count, 0);
    EXPECT_TRUE(none.noRecord);
    fs::remove(table_);
    const StrokeLookup unreadable = LookUpStrokes(table_, Gbk("，"));
    EXPECT_EQ(unreadable.count, 0);
    EXPECT_FALSE(unreadable.noRecord);  // no table: nothing to say about the record
}

TEST_F(StrokeTableCopy, AChangeAltersOnlyTheTwoCountBytesOfTheRecord) {
    const std::string before = bytes();
    const StrokeWrite written = WriteStrokeCount(table_, Gbk("数"), 42);
    ASSERT_TRUE(written.ok) << written.message;
    const std::string after = bytes();
    ASSERT_EQ(after.size(), before.size());
    const auto offset = static_cast<std::size_t>(qingheng::testing::strokeRecordOffset("数"));
    for (std::size_t i = 0; i < before.size(); ++i) {
        const unsigned char expected = i == offset + 2 ? 42 : i == offset + 3 ? 0 : before[i];
        ASSERT_EQ(static_cast<unsigned char>(after[i]), expected) << "byte " << i;
    }
    EXPECT_EQ(LookUpStrokes(table_, Gbk("数")).count, 42);
}

TEST_F(StrokeTableCopy, ACharacterWithoutARecordChangesNothing) {
    const std::string before = bytes();
    const StrokeWrite written = WriteStrokeCount(table_, Gbk("　"), 5);
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(written.noRecord);
    EXPECT_EQ(bytes(), before);
}

TEST_F(StrokeTableCopy, ATableThatCannotBeOpenedForUpdateIsReportedAndNothingIsWritten) {
    fs::remove(table_);
    const StrokeWrite missing = WriteStrokeCount(table_, Gbk("数"), 5);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.noRecord);
    EXPECT_NE(missing.message.find("没有修改"), std::string::npos) << missing.message;
    EXPECT_FALSE(fs::exists(table_));  // never created

    fs::create_directory(table_);  // something that is not a file stands in its place
    const StrokeWrite directory = WriteStrokeCount(table_, Gbk("数"), 5);
    EXPECT_FALSE(directory.ok);
    EXPECT_FALSE(directory.message.empty());
}

TEST_F(StrokeTableCopy, ATableCutShortIsNotExtended) {
    const std::string head = bytes().substr(0, 400);
    std::ofstream(table_, std::ios::binary | std::ios::trunc) << head;
    const StrokeWrite written = WriteStrokeCount(table_, Gbk("齄"), 5);  // the last record
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.noRecord);
    EXPECT_EQ(bytes(), head);
}
