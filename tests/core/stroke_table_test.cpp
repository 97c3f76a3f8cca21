#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "StrokeFixture.h"
#include "TemporaryHome.h"
#include "casting/StrokeTable.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

std::vector<unsigned char> committedTable() {
    std::ifstream in(fs::path(QH_SOURCE_DIR) / "data" / "dat" / "hzlen.dat", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int recordOf(const char* utf8) {
    const std::string bytes = *gbk::fromUtf8(utf8);
    return *strokeRecordNumber(static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1]));
}

}  // namespace

TEST(StrokeTableFile, HasOneFourByteRecordPerGb2312Hanzi) {
    const auto table = committedTable();
    ASSERT_EQ(table.size(), 27072u);
    int counted = 0;
    for (int rec = 0; rec < kStrokeRecords; ++rec) {
        const int count = static_cast<std::int16_t>(table[rec * 4 + 2] | (table[rec * 4 + 3] << 8));
        if (count > 0) ++counted;
        EXPECT_LE(count, 50) << rec;
    }
    EXPECT_EQ(counted, 6763);
}

TEST(StrokeTableFile, UnassignedSlotsAtTheEndOfRowD7AreZero) {
    const auto table = committedTable();
    for (std::uint8_t cell = 0xFA; cell <= 0xFE; ++cell) {
        const int rec = *strokeRecordNumber(0xD7, cell);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(table[rec * 4 + i], 0) << std::hex << int(cell);
    }
}

TEST(StrokeTable, RecordNumbersRunFromAhToZha) {
    EXPECT_EQ(recordOf("啊"), 0);
    EXPECT_EQ(recordOf("齄"), 6767);
    EXPECT_EQ(*strokeRecordNumber(0xB1, 0xA1), 94);
}

TEST(StrokeTable, CharactersOutsideTheHanziRowsHaveNoRecord) {
    EXPECT_FALSE(strokeRecordNumber(0xA3, 0xC1));  // full-width Ａ
    EXPECT_FALSE(strokeRecordNumber(0xF8, 0xA1));  // past the last hanzi row
    EXPECT_FALSE(strokeRecordNumber(0xB0, 0x40));  // GBK extension: must not wrap onto 啊's row
    EXPECT_FALSE(strokeRecordNumber(0x81, 0x40));
}

TEST(StrokeTable, CountsTheTraditionalForm) {
    qingheng::testing::TemporaryHome home("counts");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    struct Case {
        const char* character;
        int strokes;
    };
    for (const Case& c : {Case{"数", 15},
                          {"爻", 4},
                          {"龙", 16},
                          {"马", 10},
                          {"学", 16},
                          {"国", 11},
                          {"江", 6},
                          {"一", 1},
                          {"当", 13},
                          {"干", 13},
                          {"只", 10}})
        EXPECT_EQ(strokeCount(c.character), c.strokes) << c.character;
}

TEST(StrokeTable, AnythingButOneCharacterCountsZero) {
    qingheng::testing::TemporaryHome home("notone");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    EXPECT_EQ(strokeCount("数字"), 0);
    EXPECT_EQ(strokeCount("a"), 0);
    EXPECT_EQ(strokeCount("ab"), 0);
    EXPECT_EQ(strokeCount(""), 0);
    EXPECT_EQ(strokeCount("Ａ"), 0);
    EXPECT_EQ(strokeCount("😀"), 0);
}

TEST(StrokeTable, AMissingTableCountsZero) {
    qingheng::testing::TemporaryHome home("missing");
    home.useAsProgramFolder();
    EXPECT_EQ(strokeCount("数"), 0);
}

TEST(StrokeTable, ReadsTheFileAtEveryLookUp) {
    qingheng::testing::TemporaryHome folder("fresh");
    folder.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    ASSERT_EQ(strokeCount("江"), 6);
    const fs::path file = folder / "dat" / "hzlen.dat";
    auto bytes = *readFileBytes(file);
    bytes[recordOf("江") * 4 + 2] = 9;
    ASSERT_TRUE(writeFileAtomically(file, bytes).ok);
    EXPECT_EQ(strokeCount("江"), 9);
}

TEST(StrokeTable, ATraditionalCharacterIsLookedUpByItsSimplifiedForm) {
    qingheng::testing::TemporaryHome home("traditional");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    struct Case {
        const char* traditional;
        const char* simplified;
        int strokes;  // of the traditional form, as the table counts
    };
    for (const Case& c :
         {Case{"國", "国", 11}, {"學", "学", 16}, {"數", "数", 15}, {"龍", "龙", 16}, {"馬", "马", 10}}) {
        EXPECT_EQ(simplifiedCharacter(c.traditional), c.simplified) << c.traditional;
        EXPECT_EQ(strokeCount(c.traditional), c.strokes) << c.traditional;
    }
    // The count is the simplified character's record, whatever it holds.
    qingheng::testing::setStrokes(home.path(), "国", 42);
    EXPECT_EQ(strokeCount("國"), 42);
}

TEST(StrokeTable, AMissingTableIsToldApartFromACharacterWithoutACount) {
    qingheng::testing::TemporaryHome home("toldapart");
    home.useAsProgramFolder();
    EXPECT_TRUE(lookUpStrokes("数").tableMissing);
    EXPECT_TRUE(lookUpStrokes("國").tableMissing);
    home.withShippedFiles({"hzlen.dat"});
    const CharacterStrokes unknown = lookUpStrokes("Ａ");
    EXPECT_FALSE(unknown.tableMissing);
    EXPECT_EQ(unknown.count, 0);
}
