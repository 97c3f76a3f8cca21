// The timing paragraph on charts built by hand: day and month signs, the line's main and
// changed branches, the trigram that holds the line and whether anything moves.
#include <gtest/gtest.h>

#include "topics/Timing.h"

using namespace qingheng;

namespace {

constexpr GanZhi kJiaZi = 1;     // void 戌 亥
constexpr GanZhi kJiaChen = 41;  // void 寅 卯
constexpr GanZhi kGuiHai = 0;    // void 子 丑

struct TimingCase {
    const char* what;
    GanZhi day;
    Branch month;
    int count;
    int verdict;
    int line;
    Branch branch;
    Branch mainBranch;     // the main hexagram's branch on that line (the flying spirit when hidden)
    Branch changedBranch;  // the changed hexagram's branch on that line
    Trigram trigram;       // the trigram of the main hexagram holding the line
    int moving;
    std::string expected;
};

Chart timingChart(const TimingCase& k) {
    Chart c;
    c.pillars = {1, k.month, k.day, 1};  // a cycle number below 12 is its own branch
    c.movingCount = k.moving;
    c.branches.fill(branch::kZi);
    c.changedBranches.fill(branch::kZi);
    c.branches[k.line] = k.mainBranch;
    c.changedBranches[k.line] = k.changedBranch;
    // The other trigram gets a different index so that a wrong half shows.
    c.main.lower = k.line < 3 ? k.trigram : (k.trigram + 1) % 8;
    c.main.upper = k.line < 3 ? (k.trigram + 1) % 8 : k.trigram;
    return c;
}

const std::string kNotStrong = "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。";

const TimingCase kCases[] = {
    {"strong, present, not void: the season sentence alone", kJiaChen, branch::kYin, 1, 2, 3, branch::kWu, branch::kWu,
     branch::kWu, 0, 0, "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。"},
    {"balanced is not strong", kJiaChen, branch::kYin, 1, 1, 3, branch::kWu, branch::kWu, branch::kWu, 0, 0,
     kNotStrong + "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。"},
    {"hidden: its own branch and the clash of the flying spirit, trigram of its place", kJiaZi, branch::kWu, 0, 2, 1,
     branch::kYin, branch::kHai, branch::kHai, 4, 0,
     "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。"
     "\n  ○应期可在春夏之交，辰、巳年月日时。"},
    {"hidden, weak and void together, in that order", kJiaChen, branch::kYin, 0, 0, 1, branch::kYin, branch::kHai,
     branch::kHai, 0, 0,
     "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。" + kNotStrong +
         "\n  ○用神逢空亡，要到出空之期或填实之寅、卯年月日时，所测之事才会应验。"
         "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。"},
    {"甲子 day: void 戌 then 亥", kJiaZi, branch::kWu, 1, 2, 4, branch::kHai, branch::kHai, branch::kHai, 5, 0,
     "\n  ○用神逢空亡，要到出空之期或填实之戌、亥年月日时，所测之事才会应验。"
     "\n  ○应期可在冬十一月，子年月日时，一、六日。"},
    {"癸亥 day (cycle number 0): void 子 then 丑; 坤 keeps its odd punctuation", kGuiHai, branch::kWu, 1, 1, 0,
     branch::kChou, branch::kChou, branch::kChou, 7, 0,
     kNotStrong + "\n  ○用神逢空亡，要到出空之期或填实之子、丑年月日时，所测之事才会应验。"
                  "\n  ○应期可在辰、戌、丑、未、年月日时，八、五、十、日。"},
    {"寅 held by a 亥 month: the clash 申", kJiaZi, branch::kHai, 1, 2, 2, branch::kYin, branch::kYin, branch::kYin, 6,
     0,
     "\n  ○用神被月令合住，应期可发生在冲用神之 申年月日时。"
     "\n  ○应期可在冬春之月，丑、寅年月日时，七、五、十日。"},
    {"month and day both 子: held by both", kJiaZi, branch::kZi, 1, 2, 5, branch::kChou, branch::kChou, branch::kChou,
     1, 0,
     "\n  ○用神被月令合住，应期可发生在冲用神之 未年月日时。"
     "\n  ○用神被日辰合住，应期可发生在冲用神之 未年月日时。"
     "\n  ○应期可在秋八月，酉年月日时，二、四、九日。"},
    {"午 changing into 戌, the tomb of fire: the clash 辰", kJiaZi, branch::kYin, 1, 2, 3, branch::kWu, branch::kWu,
     branch::kXu, 2, 1,
     "\n  ○用神化入墓库，要到冲库之 辰年月日时，所测之事才会应验。"
     "\n  ○应期可在夏五月，午年月日时，三、二、七日。"},
    {"辰 whose changed branch stays 辰 in a chart with moving lines enters its tomb", kJiaZi, branch::kYin, 1, 2, 2,
     branch::kChen, branch::kChen, branch::kChen, 3, 1,
     "\n  ○用神化入墓库，要到冲库之 戌年月日时，所测之事才会应验。"
     "\n  ○应期可在春二月、卯年月日时，四、三、八日。"},
    {"辰 in a chart where nothing moves changes into nothing", kJiaZi, branch::kYin, 1, 2, 2, branch::kChen,
     branch::kChen, branch::kChen, 3, 0, "\n  ○应期可在春二月、卯年月日时，四、三、八日。"},
};

}  // namespace

TEST(TimingText, SentencesInOrderForEachState) {
    for (const TimingCase& k : kCases) {
        const Chart c = timingChart(k);
        EXPECT_EQ(timingText(c, k.count, k.verdict, k.line, k.branch), k.expected) << k.what;
    }
}
