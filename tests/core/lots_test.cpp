// 诸葛神数: the 384 lot strings, the number drawn from three stroke counts, the memo text and
// the refusals of the input.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "StrokeFixture.h"
#include "TemporaryHome.h"
#include "platform/Gbk.h"
#include "platform/StringTable.h"
#include "reference/Lots.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

// "第" + the number in three Chinese digits (○ for zero) + "签", written out independently.
std::string TitleOf(int lot) {
    static const char* const kDigits[10] = {"○", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    return std::string("第") + kDigits[lot / 100] + kDigits[lot / 10 % 10] + kDigits[lot % 10] + "签";
}

int CharacterCount(const std::string& utf8) {
    int n = 0;
    gbk::forEachCharacter(utf8, [&](std::string_view) { ++n; });
    return n;
}

class LotsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = home_.withShippedFiles({"hzlen.dat"}).useAsProgramFolder().path();
        qingheng::testing::setStrokes(folder_, "甲", 12);
        qingheng::testing::setStrokes(folder_, "乙", 7);
        qingheng::testing::setStrokes(folder_, "丙", 30);
        qingheng::testing::setStrokes(folder_, "丁", 0);
    }
    qingheng::testing::TemporaryHome home_{"lots"};
    fs::path folder_;
};

}  // namespace

TEST(LotStrings, EveryLotHasTheTitleVerseAndExplanationShape) {
    for (int lot = 1; lot <= kLotCount; ++lot) {
        const std::string& text = resourceString(kLotTextBase + lot);
        const std::string gbkText = *gbk::fromUtf8(text);
        ASSERT_EQ(*gbk::toUtf8(gbkText.substr(0, 10)), TitleOf(lot)) << lot;
        ASSERT_EQ(gbk::slice(text, 10, 6), "签诗：") << lot;
        const auto mark = text.find("解签：");
        ASSERT_NE(mark, std::string::npos) << lot;
        ASSERT_EQ(text.find("解签"), mark) << lot;  // the verse never holds the mark
        const int explanation = CharacterCount(text.substr(mark + std::string("解签：").size()));
        EXPECT_GE(explanation, 20) << lot;
        EXPECT_LE(explanation, 60) << lot;
    }
    EXPECT_EQ(resourceString(kLotTextBase), "");
    EXPECT_EQ(resourceString(kLotTextBase + kLotCount + 1), "");
}

TEST(LotStrings, VersesAreTheTraditionalOnes) {
    std::ifstream in(fs::path(QH_SOURCE_DIR) / "tools" / "data" / "zhuge_lots.json");
    const auto verses = nlohmann::json::parse(in);
    ASSERT_EQ(verses.size(), static_cast<std::size_t>(kLotCount));
    for (const auto& entry : verses) {
        const int lot = entry["lot"];
        const std::string expected = TitleOf(lot) + "签诗：" + entry["verse"].get<std::string>() + "解签：";
        EXPECT_EQ(resourceString(kLotTextBase + lot).substr(0, expected.size()), expected) << lot;
    }
}

TEST(LotNumber, LastDigitsOfTheStrokesMakeTheNumberWrappedOnto384) {
    struct Case {
        std::array<int, 3> strokes;
        int lot;
    };
    for (const Case& c : {Case{{12, 7, 30}, 270},
                          {{10, 20, 30}, 1},
                          {{1, 2, 3}, 123},
                          {{3, 8, 4}, 384},
                          {{3, 8, 5}, 1},
                          {{9, 9, 9}, 231},
                          {{0, 0, 1}, 1},
                          {{0, 0, 2}, 2},
                          {{0, 1, 0}, 10}}) {
        EXPECT_EQ(LotOfStrokes(c.strokes), c.lot) << c.strokes[0] << "," << c.strokes[1] << "," << c.strokes[2];
    }
}

TEST_F(LotsFolder, MemoShowsTitleVerseAndExplanation) {
    const LotDraw draw = DrawLot("甲乙丙");
    ASSERT_FALSE(draw.refusal);
    EXPECT_EQ(draw.lot, 270);
    EXPECT_EQ(draw.memo,
              "【测字:甲乙丙,得第二七○签】\n\n"
              "●签诗：躬耕陇亩，形神似劳，无拘无系，其乐陶陶。\n\n"
              "※解签：虽然辛苦劳作，却自由自在，没有牵绊。安守本业，知足常乐，是平安之签。");
}

TEST_F(LotsFolder, StrokeCountsEndingInZeroDrawTheFirstLot) {
    qingheng::testing::setStrokes(folder_, "甲", 10);
    qingheng::testing::setStrokes(folder_, "乙", 20);
    const LotDraw draw = DrawLot("甲乙丙");
    ASSERT_FALSE(draw.refusal);
    EXPECT_EQ(draw.lot, 1);
    EXPECT_TRUE(draw.memo.starts_with("【测字:甲乙丙,得第○○一签】\n\n●签诗：天门一挂榜")) << draw.memo;
}

TEST_F(LotsFolder, RefusesWhatIsNotThreeCharactersWithStrokeCounts) {
    using Kind = LotRefusal::Kind;
    struct Case {
        const char* input;
        Kind kind;
        const char* text;
        const char* caption;
    };
    for (const Case& c : {Case{"甲乙", Kind::WrongLength, "必须输入3个汉字", "错误"},
                          {"甲乙丙甲", Kind::WrongLength, "必须输入3个汉字", "错误"},
                          {"", Kind::WrongLength, "必须输入3个汉字", "错误"},
                          {"abcdef", Kind::NotHanzi, "必须输入汉字", "错误"},
                          {"甲ab乙", Kind::NotHanzi, "必须输入汉字", "错误"},
                          {"😀😀", Kind::NotHanzi, "必须输入汉字", "错误"},
                          {"甲，乙", Kind::NoStrokes, "找不到\"，\"这个汉字的笔画", "没有的字"},
                          {"甲乙丁", Kind::NoStrokes, "找不到\"丁\"这个汉字的笔画", "没有的字"}}) {
        const LotDraw draw = DrawLot(c.input);
        ASSERT_TRUE(draw.refusal) << c.input;
        EXPECT_EQ(draw.refusal->kind, c.kind) << c.input;
        EXPECT_EQ(draw.refusal->text, c.text) << c.input;
        EXPECT_EQ(draw.refusal->caption, c.caption) << c.input;
        EXPECT_EQ(draw.memo, "") << c.input;
    }
}

TEST_F(LotsFolder, WithoutTheStrokeTableTheTableIsReportedMissing) {
    fs::remove(folder_ / "dat" / "hzlen.dat");
    const LotDraw draw = DrawLot("甲乙丙");
    ASSERT_TRUE(draw.refusal);
    EXPECT_EQ(draw.refusal->kind, LotRefusal::Kind::TableMissing);
    EXPECT_EQ(draw.refusal->text, "汉字库文件丢失！");
    EXPECT_EQ(draw.refusal->caption, "错误");
}

TEST_F(LotsFolder, TraditionalCharactersDrawTheLotOfTheirSimplifiedForms) {
    EXPECT_EQ(DrawLot("國學數").lot, DrawLot("国学数").lot);
    EXPECT_EQ(DrawLot("國學數").lot, LotOfStrokes({11, 16, 15}));
}
