// 古代杂占: the category line, the section walk and the reading of hand-edited files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TemporaryHome.h"
#include "reference/ZaZhan.h"

using namespace qingheng;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

TEST(ZaZhanCategories, EveryPieceEndedByACommaIsACategory) {
    struct Case {
        Lines lines;
        Lines categories;
    };
    for (const Case& c : {Case{{"婚姻,出行,"}, {"婚姻", "出行"}},
                          {{"婚姻,出行"}, {"婚姻"}},
                          {{"婚姻,,出行,"}, {"婚姻", "", "出行"}},
                          {{",婚姻,"}, {"", "婚姻"}},
                          {{"婚姻"}, {}},
                          {{""}, {}},
                          {{}, {}}}) {
        EXPECT_EQ(ZaZhanCategories(c.lines), c.categories) << (c.lines.empty() ? "(no lines)" : c.lines[0]);
    }
}

TEST(ZaZhanSection, WalksFromTheHeaderToTheNextEnd) {
    const Lines file = {"婚姻,出行,", "[婚姻]", "甲", "乙", "[end]", "[出行]", "丙", "[end]"};
    EXPECT_EQ(ZaZhanSection(file, "婚姻"), "甲\n乙\n");
    EXPECT_EQ(ZaZhanSection(file, "出行"), "丙\n");
    EXPECT_EQ(ZaZhanSection(file, "求财"), "");
}

TEST(ZaZhanSection, ARepeatedHeaderIsSkippedAndTheFirstEndStops) {
    const Lines file = {"[婚姻]", "甲", "[婚姻]", "乙", "[end]", "[婚姻]", "丙", "[end]"};
    EXPECT_EQ(ZaZhanSection(file, "婚姻"), "甲\n乙\n");
}

TEST(ZaZhanSection, WithoutEndTheSectionRunsToTheEndOfTheFile) {
    EXPECT_EQ(ZaZhanSection({"[婚姻]", "甲", "[出行]", "乙"}, "婚姻"), "甲\n[出行]\n乙\n");
}

TEST(ZaZhanSection, LinesCompareWholeAndExactly) {
    const Lines file = {"[婚姻] ", "甲", "[end]", "[婚姻]", "乙", " [end]", "[END]", "丙", "[end]"};
    EXPECT_EQ(ZaZhanSection(file, "婚姻"), "乙\n [end]\n[END]\n丙\n");
}

TEST(ZaZhanFile, ReadsLfCrLfAndCrLineEnds) {
    TemporaryHome home("zazhan");
    for (const std::string& end : {std::string("\n"), std::string("\r\n"), std::string("\r")}) {
        const fs::path path =
            home.writeGbkDatFile("zazhan.txt", "婚姻,出行," + end + "[婚姻]" + end + "甲" + end + "[end]" + end);
        const TextFileLines file = ReadGbkLines(path);
        ASSERT_TRUE(file.found);
        ASSERT_TRUE(file.status.ok);
        EXPECT_EQ(file.lines, (Lines{"婚姻,出行,", "[婚姻]", "甲", "[end]"}));
        EXPECT_EQ(ZaZhanSection(file.lines, "婚姻"), "甲\n");
    }
}

TEST(ZaZhanFile, AMissingFileIsNotAnErrorButTextThatIsNotGbkIs) {
    TemporaryHome home("zazhan");
    const TextFileLines missing = ReadGbkLines(home.dat() / "zazhan.txt");
    EXPECT_FALSE(missing.found);
    EXPECT_TRUE(missing.status.ok);
    EXPECT_TRUE(missing.lines.empty());

    const TextFileLines bad = ReadGbkLines(home.writeDatFile("zazhan.txt", "\x81\x20\n"));
    EXPECT_TRUE(bad.found);
    EXPECT_FALSE(bad.status.ok);
    EXPECT_NE(bad.status.message.find("GBK"), std::string::npos);
    EXPECT_TRUE(bad.lines.empty());
}

TEST(ZaZhanFile, TheShippedFileHasTwelveCategoriesEachWithItsSection) {
    const TextFileLines file = ReadGbkLines(fs::path(QH_SOURCE_DIR) / "data" / "dat" / "zazhan.txt");
    ASSERT_TRUE(file.found);
    ASSERT_TRUE(file.status.ok);
    const Lines categories = ZaZhanCategories(file.lines);
    EXPECT_GE(categories.size(), 12u);
    for (const std::string& category : categories) {
        ASSERT_FALSE(category.empty());
        EXPECT_EQ(std::count(file.lines.begin(), file.lines.end(), "[" + category + "]"), 1) << category;
        EXPECT_GT(ZaZhanSection(file.lines, category).size(), 40u) << category;
        EXPECT_EQ(ZaZhanSection(file.lines, category).find("[end]"), std::string::npos) << category;
    }
}
