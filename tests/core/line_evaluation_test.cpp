// EvaluateLine and ScoreLine on charts built by hand: month and day branches, void and the
// changed branches are set directly.
#include <gtest/gtest.h>

#include "chart/Liuyaoex.h"

using namespace qingheng;

namespace {

// GanZhi with the given branch (any stem of the right parity will do for these rules).
GanZhi withBranch(Branch b, Stem s) { return s + 10 * (mod(s - b, 12) / 2); }

Chart chartAt(Branch month, GanZhi day, int moving = 0) {
    Chart c;
    c.pillars = {1, withBranch(month, month % 2 == 1 ? 1 : 2), day, 1};
    c.voidBranches = VoidBranches(day);
    c.movingCount = moving;
    for (int i = 0; i < 6; ++i) c.changedBranches[i] = i;  // overwritten where a test cares
    return c;
}

constexpr GanZhi kJiaChen = 41;  // void 寅 卯
constexpr GanZhi kJiaXu = 11;    // void 申 酉

}  // namespace

TEST(EvaluateLine, HelperBuildsTheWantedSigns) {
    EXPECT_EQ(BranchOf(withBranch(branch::kShen, 1)), branch::kShen);
    EXPECT_EQ(BranchOf(withBranch(branch::kWu, 1)), branch::kWu);
    EXPECT_EQ(BranchOf(withBranch(branch::kChou, 2)), branch::kChou);
}

TEST(EvaluateLine, StaticVoidLineClashingTheMonth) {
    const Chart c = chartAt(branch::kShen, kJiaChen);
    const LineEvaluation ev = EvaluateLine(c, "用神", 0, branch::kYin);
    EXPECT_EQ(ev.text, "寅木死于月令,衰于日辰,逢空亡,寅申用神与月令相冲。");
    EXPECT_EQ(ev.score, 0);
}

TEST(EvaluateLine, ScoresSeasonAndStrongDayStages) {
    // 亥 water in a 寅 month (休) at a 辰 day (墓): one point for the tomb.
    const Chart c = chartAt(branch::kYin, kJiaChen);
    EXPECT_EQ(EvaluateLine(c, "x", 0, branch::kHai).score, 1);
    // 寅 wood: 旺 in 寅, 衰 at 辰: one point for the month only.
    EXPECT_EQ(EvaluateLine(c, "x", 0, branch::kYin).score, 1);
    // 午 fire: 相 in 寅, 冠带 at 辰: two points.
    EXPECT_EQ(EvaluateLine(c, "x", 0, branch::kWu).score, 2);
    // 酉 metal: 囚 in 寅, 养 at 辰: none.
    EXPECT_EQ(EvaluateLine(c, "x", 0, branch::kYou).score, 0);
    EXPECT_EQ(ScoreLine(c, 0, branch::kWu).score, 2);
}

TEST(EvaluateLine, ChangePhrasesAndFinalState) {
    Chart c = chartAt(branch::kYin, kJiaChen, 1);
    // A water line turning into 辰: 回头克 overridden by the tomb.
    c.changedBranches[2] = branch::kChen;
    LineEvaluation ev = EvaluateLine(c, "动爻", 2, branch::kZi);
    EXPECT_EQ(ev.text, "子水休于月令,墓于日辰,化回头克,化入墓。");
    EXPECT_EQ(ev.change, kChangeTomb);
    // 丑 into 未: 退神 overridden by the clash.
    c.changedBranches[2] = branch::kWei;
    ev = EvaluateLine(c, "动爻", 2, branch::kChou);
    EXPECT_EQ(ev.text, "丑土死于月令,墓于日辰,化退神,化六冲。");
    EXPECT_EQ(ev.change, kChangeClash);
    // 戌 into 丑 is 进神.
    c.changedBranches[2] = branch::kChou;
    EXPECT_EQ(EvaluateLine(c, "n", 2, branch::kXu).change, kChangeAdvance);
    // A static line of the other trigram compares with itself.
    c.changedBranches[4] = branch::kShen;
    ev = EvaluateLine(c, "5爻", 4, branch::kShen);
    EXPECT_EQ(ev.text, "申金囚于月令,养于日辰,化比和,申寅5爻与月令相冲。");
    EXPECT_EQ(ev.change, kChangeSame);
}

TEST(EvaluateLine, StaticChartsComputeTheChangeOnlyInScoreLine) {
    Chart c = chartAt(branch::kYin, kJiaChen);
    c.changedBranches[0] = branch::kChen;  // a static chart's changed line is the line itself
    EXPECT_EQ(EvaluateLine(c, "n", 0, branch::kChen).change, kChangeSame);
    EXPECT_EQ(ScoreLine(c, 0, branch::kChen).change, kChangeTomb);
}

TEST(EvaluateLine, TwoBranchPhrasesFirstMatchWins) {
    // 午 line in a 午 month: self punishment, even though nothing else applies.
    Chart c = chartAt(branch::kWu, kJiaChen);
    EXPECT_EQ(EvaluateLine(c, "用神", 0, branch::kWu).text, "午火旺于月令,冠带于日辰,午午用神与月令自刑。");
    // 子 line: 午 month clash, then 丁卯 day (void 戌 亥) 无礼之刑.
    c = chartAt(branch::kWu, 4);
    EXPECT_EQ(EvaluateLine(c, "世爻", 0, branch::kZi).text,
              "子水囚于月令,死于日辰,子午世爻与月令相冲,子卯世爻与日辰无礼之刑。");
    // 子 line at a 未 day: harm.
    c = chartAt(branch::kYin, 8);  // 辛未, void 戌 亥
    EXPECT_EQ(EvaluateLine(c, "n", 0, branch::kZi).text, "子水休于月令,养于日辰,子未n与日辰相害。");
    // 寅 at 寅 is no punishment: nothing is said about the month.
    c = chartAt(branch::kYin, kJiaXu);
    EXPECT_EQ(EvaluateLine(c, "n", 0, branch::kYin).text, "寅木旺于月令,养于日辰。");
}

TEST(EvaluateLine, TriplesAndTheFullWidthCommaOfFire) {
    Chart c = chartAt(branch::kWu, kJiaXu);
    EXPECT_EQ(EvaluateLine(c, "用神", 0, branch::kYin).text, "寅木休于月令,养于日辰,寅午戌用神与月令与日辰三合火局，");
    c = chartAt(branch::kShen, kJiaChen);
    EXPECT_EQ(EvaluateLine(c, "用神", 0, branch::kZi).text, "子水相于月令,墓于日辰,子申辰用神与月令与日辰三合水局。");
    c = chartAt(branch::kSi, 9);  // 壬申 day, void 戌 亥
    EXPECT_EQ(EvaluateLine(c, "n", 0, branch::kYin).text,
              "寅木休于月令,绝于日辰,寅巳n与月令相害,寅申n与日辰相冲,寅巳申n与月令与日辰无恩之刑。");
}
