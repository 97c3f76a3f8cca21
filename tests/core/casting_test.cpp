#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <deque>
#include <memory>
#include <string>

#include "ScriptedRandom.h"
#include "TemporaryHome.h"
#include "casting/CastDispatch.h"
#include "casting/Casting.h"
#include "casting/CoinThrow.h"
#include "casting/NameCasting.h"
#include "platform/Clock.h"
#include "vocab/Hexagram.h"

using namespace qingheng;
using qingheng::testing::ScriptedRandom;

namespace {

int movingLineCount(const std::string& code) {
    int n = 0;
    for (char c : code) n += IsMovingLine(c) ? 1 : 0;
    return n;
}

std::string refusalOf(const CastAttempt& a) { return a.refusal ? a.refusal->text : std::string("(cast)"); }

}  // namespace

TEST(EarlyHeaven, SumsMapToTrigramsByTheirRemainder) {
    const char* codes[8] = {"222", "111", "211", "121", "221", "112", "212", "122"};  // remainder 0..7
    for (int sum = 0; sum < 24; ++sum) EXPECT_EQ(EarlyHeavenTrigramCode(sum), codes[sum % 8]) << sum;
    EXPECT_EQ(EarlyHeavenTrigram(1), 0);  // 乾
    EXPECT_EQ(EarlyHeavenTrigram(8), 7);  // 坤
}

TEST(MethodList, SpacersCastNothing) {
    EXPECT_EQ(MethodOfListItem(0), CastingMethod::Coins);
    EXPECT_EQ(MethodOfListItem(6), CastingMethod::Number);
    EXPECT_EQ(MethodOfListItem(12), CastingMethod::Random);
    for (int spacer : {1, 7, 13, -1, 14}) EXPECT_FALSE(MethodOfListItem(spacer)) << spacer;
    EXPECT_EQ(CastingMethodLabel(CastingMethod::Other), "其它方式");
    EXPECT_EQ(InitialCastResult().label, "其他方式");
}

TEST(NumberProcedure, TwelveMovesTheThirdLine) {
    const CastResult r = CastByNumber("12");
    EXPECT_EQ(r.mainCode, "111411");
    EXPECT_EQ(r.changedCode, "111111");
    EXPECT_EQ(r.upper, 1);
    EXPECT_EQ(r.lower, 2);
    EXPECT_EQ(r.total, 3);
}

TEST(NumberProcedure, ZerosGiveKunWithTheTopLineMoving) {
    const CastResult r = CastByNumber("000");
    EXPECT_EQ(r.mainCode, "422222");
    EXPECT_EQ(r.changedCode, "122222");
}

TEST(NumberProcedure, AnOddCountGivesTheExtraDigitToTheLowerPart) {
    const CastResult r = CastByNumber("123");
    EXPECT_EQ(r.upper, 1);
    EXPECT_EQ(r.lower, 5);
    EXPECT_EQ(r.total, 6);
    EXPECT_EQ(r.mainCode, "311112");  // 乾 over 巽, total 6 moves the top line
    EXPECT_EQ(r.changedCode, "211112");
}

TEST(NumberProcedure, ChangedCodeIsTheMainCodeWithItsMovingLineTurned) {
    for (const char* digits : {"12", "987654321", "80", "4444", "1234567890123"}) {
        const CastResult r = CastByNumber(digits);
        EXPECT_EQ(movingLineCount(r.mainCode), 1) << digits;
        EXPECT_EQ(r.changedCode, ChangedCode(r.mainCode)) << digits;
        EXPECT_EQ(r.input, digits);
    }
}

TEST(NumberCasting, RefusesTheWrongCountBeforeNonDigits) {
    EXPECT_EQ(refusalOf(CastNumberText("1")), "数字个数为 2至 40个！");
    EXPECT_EQ(refusalOf(CastNumberText("x")), "数字个数为 2至 40个！");
    EXPECT_EQ(refusalOf(CastNumberText(std::string(41, '1'))), "数字个数为 2至 40个！");
    const CastAttempt bad = CastNumberText("12a");
    ASSERT_TRUE(bad.refusal);
    EXPECT_EQ(bad.refusal->text, "应该输入数字！");
    EXPECT_EQ(bad.refusal->caption, "数字");
    EXPECT_TRUE(bad.refusal->askAgain);
    EXPECT_EQ(CastNumberText("1").refusal->caption, "个数不对");
}

TEST(NumberCasting, FortyDigitsAreAcceptedWithTheirLabel) {
    const CastAttempt ok = CastNumberText(std::string(40, '7'));
    ASSERT_TRUE(ok.result);
    EXPECT_EQ(ok.result->label, "数字起卦");
    EXPECT_EQ(ok.result->method, CastingMethod::Number);
    EXPECT_EQ(ok.result->total, 280);
}

TEST(CharacterCasting, TheFirstHalfGivesTheUpperTrigram) {
    qingheng::testing::TemporaryHome home("chars2");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    const CastAttempt two = CastCharacterText("数江");  // 15 and 6
    ASSERT_TRUE(two.result) << refusalOf(two);
    EXPECT_EQ(two.result->upper, 15);
    EXPECT_EQ(two.result->lower, 6);
    EXPECT_EQ(two.result->total, 21);
    EXPECT_EQ(two.result->mainCode, "122412");  // 艮 over 坎, line 3 moving
    EXPECT_EQ(two.result->input, "数江");
    EXPECT_EQ(two.result->label, "汉字起卦");

    const CastAttempt three = CastCharacterText("一国马");  // 1 | 11 + 10
    ASSERT_TRUE(three.result);
    EXPECT_EQ(three.result->upper, 1);
    EXPECT_EQ(three.result->lower, 21);
}

TEST(CharacterCasting, RefusesTextThatIsNotAllChineseOrHasTheWrongCount) {
    qingheng::testing::TemporaryHome home("charsbad");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    for (const char* text : {"ab", "数a字", "数😀", "数字1"}) {
        const CastAttempt a = CastCharacterText(text);
        ASSERT_TRUE(a.refusal) << text;
        EXPECT_EQ(a.refusal->text, "必须输入汉字") << text;
        EXPECT_EQ(a.refusal->caption, "错误");
        EXPECT_TRUE(a.refusal->askAgain);
    }
    EXPECT_EQ(refusalOf(CastCharacterText("数")), "汉字个数为2-20个");
    std::string twentyOne;
    for (int i = 0; i < 21; ++i) twentyOne += "一";
    EXPECT_EQ(refusalOf(CastCharacterText(twentyOne)), "汉字个数为2-20个");
    EXPECT_TRUE(CastCharacterText(twentyOne.substr(3)).result);
}

TEST(CharacterCasting, ACharacterWithoutACountStopsWithItsName) {
    qingheng::testing::TemporaryHome home("charsnone");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    const CastAttempt a = CastCharacterText("数ＡＢ");
    ASSERT_TRUE(a.refusal);
    EXPECT_EQ(a.refusal->text, "找不到“Ａ”这个汉字的笔划数");
    EXPECT_EQ(a.refusal->caption, "找不到");
    EXPECT_EQ(a.refusal->kind, MessageKind::Information);
    EXPECT_FALSE(a.refusal->askAgain);
}

TEST(CharacterCasting, AMissingStrokeTableIsReportedNotBlamedOnTheCharacter) {
    qingheng::testing::TemporaryHome withoutTable("charsnotable");
    withoutTable.useAsProgramFolder();
    const CastAttempt a = CastCharacterText("数字");
    ASSERT_TRUE(a.refusal);
    EXPECT_EQ(a.refusal->text, "汉字库文件丢失！");
    EXPECT_EQ(a.refusal->caption, "错误");
    EXPECT_EQ(a.refusal->kind, MessageKind::Stop);
    EXPECT_FALSE(a.refusal->askAgain);
}

TEST(CharacterCasting, TraditionalCharactersCountAsTheirSimplifiedRecords) {
    qingheng::testing::TemporaryHome home("charstrad");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    // 國 11 strokes over 家 10: upper 11 → 离 121, lower 10 → 兑 211, total 21 moves line 3.
    const CastAttempt a = CastCharacterText("國家");
    ASSERT_TRUE(a.result) << a.refusal->text;
    EXPECT_EQ(a.result->mainCode, "121411");
    EXPECT_EQ(a.result->changedCode, "121111");
    EXPECT_EQ(a.result->input, "國家");
    EXPECT_EQ(a.result->upper, 11);
    EXPECT_EQ(a.result->total, 21);
}

TEST(RandomCasting, DrawsOneNumberAndKeepsNoInput) {
    ScriptedRandom zero({0});
    const CastResult low = CastRandom(zero);  // N = 100
    EXPECT_EQ(low.mainCode, CastByNumber("100").mainCode);
    EXPECT_EQ(low.label, "随机起卦");
    EXPECT_EQ(low.method, CastingMethod::Random);
    EXPECT_TRUE(low.input.empty());
    EXPECT_EQ(low.total, 0);

    ScriptedRandom top({0x7FFFFFFF});  // 2147483647 mod 10000000 + 100 = 7483747
    EXPECT_EQ(CastRandom(top).mainCode, CastByNumber("7483747").mainCode);
}

TEST(RandomCasting, AlwaysMovesExactlyOneLine) {
    auto& random = appRandom();
    random.seed(20240210);
    for (int i = 0; i < 500; ++i) EXPECT_EQ(movingLineCount(CastRandom(random).mainCode), 1);
}

TEST(MovingLines, TickedBoxesCountFromTheBottom) {
    std::string main = "111112", changed = main;
    ApplyMovingLines(main, changed, {true, false, false, false, false, false});
    EXPECT_EQ(main, "111114");
    EXPECT_EQ(changed, "111111");

    main = "121212";
    changed = main;
    ApplyMovingLines(main, changed, {true, true, true, true, true, true});
    EXPECT_EQ(main, "343434");
    EXPECT_EQ(changed, "212121");

    main = "121212";
    changed = main;
    ApplyMovingLines(main, changed, {});
    EXPECT_EQ(main, "121212");
    EXPECT_EQ(changed, "121212");
}

TEST(NameGrid, HeadingsAndEightByteNames) {
    EXPECT_EQ(NameGridCell(0, 0), "  乾宫");
    EXPECT_EQ(NameGridCell(7, 0), "  坤宫");
    EXPECT_EQ(NameGridCell(0, 1), "乾为天  ");
    EXPECT_EQ(NameGridCell(0, 2), "天风姤  ");
    EXPECT_FALSE(CodeOfNameCell(NameGridCell(3, 0), 0));
}

TEST(NameGrid, EveryNameReadsBackToItsPalaceMember) {
    // The names table and the palace sequence are independent data: each cell's images must
    // give the hexagram that the palace rules put at that rank.
    for (int p = 0; p < kNameGridColumns; ++p) {
        for (int row = 1; row < kNameGridRows; ++row) {
            const auto code = CodeOfNameCell(NameGridCell(p, row), row);
            ASSERT_TRUE(code) << p << "," << row;
            EXPECT_EQ(*code, PalaceMemberCode(p, row)) << NameGridCell(p, row);
        }
    }
}

TEST(NameGrid, FindsCellsByName) {
    EXPECT_EQ(FindNameCell("天风姤"), (std::pair{0, 2}));
    EXPECT_EQ(FindNameCell(" 坤为地 "), (std::pair{7, 1}));
    EXPECT_FALSE(FindNameCell("天天天"));
    EXPECT_FALSE(FindNameCell(""));
}

TEST(TrigramCasting, KunOverQianAndGouWithTheBottomLine) {
    const CastResult other = CastByTrigrams(7, 0, {}, CastingMethod::Other);
    EXPECT_EQ(other.mainCode, "222111");
    EXPECT_EQ(other.changedCode, "222111");
    EXPECT_EQ(other.label, "其它方式");
    EXPECT_EQ(ParseTrigram("坤八"), 7);
    EXPECT_EQ(ParseTrigram("坤"), 7);
    EXPECT_EQ(ParseTrigram("地"), 7);
    EXPECT_EQ(ParseTrigram("8"), 7);
    EXPECT_FALSE(ParseTrigram("9"));
    EXPECT_FALSE(ParseTrigram("乾二"));
}

TEST(CoinCasting, ItemsGiveLineCodesTopFirst) {
    EXPECT_EQ(CastFromCoinItems({0, 0, 0, 0, 0, 0}).mainCode, "111111");
    const CastResult r = CastFromCoinItems({1, 3, 0, 1, 0, 2});
    EXPECT_EQ(r.mainCode, "241213");
    EXPECT_EQ(r.changedCode, "211212");
    EXPECT_EQ(r.label, "铜钱摇卦");
}

TEST(CoinThrowing, EachStopSetsTheLineOfItsThrowBottomFirst) {
    ScriptedRandom backs({1});
    CoinThrow t;
    EXPECT_EQ(t.throwCaption(), "第1次摇");
    ASSERT_EQ(t.pressThrow(), CoinThrow::ThrowStep::Started);
    EXPECT_TRUE(t.running());
    t.tick(backs);
    const auto first = t.stop();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->group, 5);  // 初爻
    EXPECT_EQ(first->item, 2);   // 三个背
    EXPECT_FALSE(t.running());
    EXPECT_EQ(t.throwCaption(), "第2次摇");

    ScriptedRandom faces({0});
    for (int n = 2; n <= 6; ++n) {
        t.pressThrow();
        t.tick(faces);
        const auto set = t.stop();
        EXPECT_EQ(set->group, 6 - n);
        EXPECT_EQ(set->item, 3);  // 三个面
    }
    EXPECT_EQ(t.throwCaption(), "布卦");
    EXPECT_EQ(t.pressThrow(), CoinThrow::ThrowStep::Accept);
}

TEST(CoinThrowing, StopBeforeAnyThrowSetsNothing) {
    CoinThrow t;
    EXPECT_FALSE(t.stop());
    EXPECT_EQ(t.throwCaption(), "第1次摇");
}

TEST(CoinThrowing, ResetStartsAgainAtTheBottomLine) {
    ScriptedRandom mixed({1, 0, 0});
    CoinThrow t;
    for (int i = 0; i < 3; ++i) {
        t.pressThrow();
        t.stop();
    }
    t.reset();
    EXPECT_EQ(t.shakeCount(), 0);
    EXPECT_EQ(t.throwCaption(), "第1次摇");
    t.pressThrow();
    t.tick(mixed);
    const auto set = t.stop();
    EXPECT_EQ(set->group, 5);
    EXPECT_EQ(set->item, 0);  // one back: 一个背
}

TEST(CastByMethodName, RunsEachMethodFromText) {
    qingheng::testing::TemporaryHome home("dispatch");
    home.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
    std::string error;
    CastArguments a;
    a.input = "12";
    EXPECT_EQ(castByMethodName("number", a, error)->mainCode, "111411");
    EXPECT_EQ(castByMethodName("数字起卦", a, error)->mainCode, "111411");
    a.input = "天风姤";
    a.moving = "1";
    EXPECT_EQ(castByMethodName("name", a, error)->mainCode, "111114");
    a = {};
    a.upper = "坤八";
    a.lower = "乾一";
    EXPECT_EQ(castByMethodName("trigrams", a, error)->mainCode, "222111");
    a = {};
    a.input = "坤 乾";
    EXPECT_EQ(castByMethodName("other", a, error)->mainCode, "222111");
    a = {};
    a.input = "3,1,1,1,1,4";  // bottom first
    EXPECT_EQ(castByMethodName("coins", a, error)->mainCode, "411113");
}

TEST(CastByMethodName, RefusesBadArgumentsWithAMessage) {
    std::string error;
    CastArguments a;
    EXPECT_FALSE(castByMethodName("dice", a, error));
    EXPECT_NE(error.find("dice"), std::string::npos);
    a.input = "1,2,3,4,5,1";
    EXPECT_FALSE(castByMethodName("coins", a, error));
    a.input = "1,2,3";
    EXPECT_FALSE(castByMethodName("coins", a, error));
    EXPECT_NE(error.find("1,2,3"), std::string::npos);
    a.input = "乾为天";
    a.moving = "7";
    EXPECT_FALSE(castByMethodName("name", a, error));
    a.moving = "1,x";
    EXPECT_FALSE(castByMethodName("name", a, error));
    a.moving = "";
    a.input = "乾宫";
    EXPECT_FALSE(castByMethodName("name", a, error));
    a = {};
    EXPECT_FALSE(castByMethodName("number", a, error));
    EXPECT_EQ(error, "数字个数为 2至 40个！");
}
