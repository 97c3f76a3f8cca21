// The general judgement of the chart report, section by section and whole, the stars of each
// line and the chart command's timing and stars. Expected texts are worked out by hand from
// the rules: at 2024-02-10 09:30 the month is 寅 and the day 甲辰 (void 寅 卯), so 水 is 休/墓
// (1), 木 旺/衰 (1), 火 相/冠带 (2), 土 死/墓 (1) and 金 囚/养 (0); line 1 carries 青龙.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ChartFixture.h"
#include "CliRunner.h"
#include "chart/GeneralJudgement.h"

using namespace qingheng;
using qingheng::testing::assembled;
using qingheng::testing::between;

namespace {

// Texts of the string table as the judgement quotes them.
const std::string kWorldParents = "为辛苦劳碌之神，主劳碌奔波，测婚姻、子孙不利，但利文书、考试。";
const std::string kMovingParents = "利考试、考核，容易金榜题名，利文书，论官告状有理。但对子孙不利，主劳累费心。";
const std::string kMovingQingLong = "青龙发动，进财进禄福无穷，但容易因酒色成灾。";
const std::string kQianSeason = "应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。";
const std::string kXunSeason = "应期可在春夏之交，辰、巳年月日时。";
const std::string kLiSeason = "应期可在夏五月，午年月日时，三、二、七日。";
const std::string kNotStrong = "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。";
const std::string kVoidYinMao = "\n  ○用神逢空亡，要到出空之期或填实之寅、卯年月日时，所测之事才会应验。";

// World and response of 天风姤 cast with line 1 moving into 乾为天.
const std::string kGouWorldAndResponse =
    "\n\n【世爻】父母丑土死于月令,墓于日辰,化耗气,化六合。\n  ◇父母爻持世：" + kWorldParents +
    "\n  ◇应爻官鬼午火相于月令,冠带于日辰,化比和。\n  ◇应爻生扶世爻，为他人来助我，得人和。";
// Its lines 丑 亥 酉 午 申 戌 on a 甲辰 day.
const std::string kGouStars =
    "\n\n【吉神凶煞】\n  1爻值：天乙    2爻值：        3爻值：桃花    \n"
    "  4爻值：太极 灾煞    5爻值：        6爻值：        ";
const std::string kGouMovingLine = "父母发动，" + kMovingParents + "\n  ◇青龙发动，" + kMovingQingLong;

struct JudgementCase {
    const char* what;
    const char* code;
    Relative useGod;
    std::string expected;
};

const JudgementCase kJudgements[] = {
    {"static 乾为天, 妻财 on line 2", "111111", 2,
     "爻像解析：　\r\n【用神】取 2爻妻财寅木为用。用神寅木旺于月令,衰于日辰,逢空亡。"
     "\n  ◇综合判断：用神平和。主所测事一般，努力争取或能达到目的，否则其事难成。"
     "\n  ◇世爻克耗用神，此卦阻扰用神，破坏阻力强，干扰事物的发展。"
     "\n  ◇无动爻，可直接看世爻和用神断卦。"
     "\n\n★原神：1爻子孙子水休于月令,墓于日辰。\n  ◇原神平和，主所测事物得外力帮助不大，主要靠自身的发展。"
     "\n★忌神：5爻兄弟申金囚于月令,养于日辰,申寅5爻与月令相冲。"
     "\n  ◇忌神偏弱，主所测事物遇外部阻力甚少，事情进展较为顺利。"
     "\n\n【世爻】父母戌土死于月令,墓于日辰,戌辰世爻与日辰相冲。\n  ◇父母爻持世：" +
         kWorldParents +
         "\n  ◇应爻父母辰土死于月令,墓于日辰,辰辰应爻与日辰自刑。"
         "\n  ◇应爻和世爻相冲，不得人和之助，与人合作之事不能成。"
         "\n\n【定应期】" +
         kNotStrong + kVoidYinMao + "\n  ○" + kQianSeason +
         "\n\n【吉神凶煞】\n  1爻值：太极 将星    2爻值：驿马 禄神    3爻值：华盖 金舆    \n"
         "  4爻值：太极 灾煞    5爻值：        6爻值：        "},

    {"the one moving line is the use god (两现, the moving one taken)", "111114", 4,
     "爻像解析：　\r\n【用神】两现可取 1爻父母丑土为用。用神丑土死于月令,墓于日辰,化耗气,化六合。"
     "\n  ◇综合判断：用神平和。主所测事一般，努力争取或能达到目的，否则其事难成。"
     "\n  ◇用爻为动爻，事情发展快，吉凶易见且应验迅速。"
     "\n  ◇" +
         kGouMovingLine +
         "\n\n★原神：4爻官鬼午火相于月令,冠带于日辰,化比和。"
         "\n  ◇原神偏强，外力之助影响大，能有效地促进事物自身的发展。"
         "\n★忌神：忌神未上卦，做事没有外力的阻扰，也表示事物在发展中遇到的阻力小。" +
         kGouWorldAndResponse + "\n\n【定应期】" + kNotStrong + "\n  ○" + kXunSeason + kGouStars},

    {"the one moving line is not the use god", "111114", 3,
     "爻像解析：　\r\n【用神】取 4爻官鬼午火为用。用神午火相于月令,冠带于日辰,化比和。"
     "\n  ◇综合判断：用神偏强。此卦吉利，事多顺利，谋望可成。"
     "\n  ◇世爻对用神作用力小，无甚影响，可看动爻而定。"
     "\n  ◇动爻父母丑土死于月令,墓于日辰,化耗气,化六合。\n  ◇动爻对用神作用力小，无甚影响。\n  ◇" +
         kGouMovingLine +
         "\n\n★原神：原神未上卦，做事少人帮，须靠自己的力量，也表示事物的发展缺乏原动力。"
         "\n★忌神：2爻子孙亥水休于月令,墓于日辰,化泄气,化六合,亥寅2爻与月令六合。"
         "\n  ◇忌神平和，主所测事物遇外部阻力不大，尚不构成对自身的威协。" +
         kGouWorldAndResponse + "\n\n【定应期】\n  ○" + kQianSeason + kGouStars},

    {"hidden use god under a flying spirit that harmonises with it", "111114", 2,
     "爻像解析：　\r\n【用神】未上卦，可借 2爻妻财寅木伏神为用。用神寅木旺于月令,衰于日辰,化比和,逢空亡。"
     "\n  ◇综合判断：用神平和。主所测事一般，努力争取或能达到目的，否则其事难成。"
     "\n  ◇世爻克耗用神，此卦阻扰用神，破坏阻力强，干扰事物的发展。"
     "\n  ◇动爻父母丑土死于月令,墓于日辰,化耗气,化六合。\n  ◇动爻克耗用神，破坏阻力强，干扰事物的发展。\n  ◇" +
         kGouMovingLine +
         "\n  ★飞神：2爻子孙亥水休于月令,墓于日辰,化泄气,化六合,亥寅飞神与月令六合。"
         "\n  ◇飞神和伏神相合，冲开飞神之日，伏神可用，其事可谋。"
         "\n\n★原神：2爻子孙亥水休于月令,墓于日辰,化泄气,化六合,亥寅2爻与月令六合。"
         "\n  ◇原神平和，主所测事物得外力帮助不大，主要靠自身的发展。"
         "\n★忌神：3爻兄弟酉金囚于月令,养于日辰,化回头生,化六合,酉辰3爻与日辰六合。"
         "5爻兄弟申金囚于月令,养于日辰,化比和,申寅5爻与月令相冲。"
         "\n  ◇忌神偏弱，主所测事物遇外部阻力甚少，事情进展较为顺利。" +
         kGouWorldAndResponse + "\n\n【定应期】" +
         "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。" + kNotStrong + kVoidYinMao +
         "\n  ○" + kXunSeason + kGouStars},

    {"three moving lines; the source on two lines scoring 1 and 1 is halved to 平和", "121333", 0,
     "爻像解析：　\r\n【用神】取 4爻兄弟酉金为用。用神酉金囚于月令,养于日辰,化比和,酉辰用神与日辰六合。"
     "\n  ◇综合判断：用神偏弱。不利测事，目的较难达到，可等待时机，不可贸然行事。"
     "\n  ◇世爻和用神相合，卦吉则增吉利，卦凶就有拖累的意思。"
     "\n  ◇动爻过多，可直接看世爻和用神断卦。"
     "\n\n★原神：3爻父母辰土死于月令,墓于日辰,化回头克,辰辰3爻与日辰自刑。5爻父母未土死于月令,墓于日辰,化比和。"
     "\n  ◇原神平和，主所测事物得外力帮助不大，主要靠自身的发展。"
     "\n★忌神：6爻官鬼巳火相于月令,冠带于日辰,化比和,巳寅6爻与月令相害。"
     "\n  ◇忌神偏强，外部阻力影响大，会扼制事物自身的发展，不利。"
     "\n\n【世爻】父母辰土死于月令,墓于日辰,化回头克,辰辰世爻与日辰自刑。\n  ◇父母爻持世：" +
         kWorldParents +
         "\n  ◇应爻官鬼巳火相于月令,冠带于日辰,化比和,巳寅应爻与月令相害。"
         "\n  ◇应爻生扶世爻，为他人来助我，得人和。"
         "\n\n【定应期】" +
         kNotStrong + "\n  ○用神被日辰合住，应期可发生在冲用神之 卯年月日时。\n  ○" + kLiSeason +
         "\n\n【吉神凶煞】\n  1爻值：太极 将星    2爻值：驿马 禄神    3爻值：华盖 金舆    \n"
         "  4爻值：桃花    5爻值：天乙    6爻值：劫煞    "},
};

// A chart on a given day whose line 1 holds the branch b.
Chart starChart(GanZhi day, Branch b) {
    Chart c;
    c.pillars = {1, 3, day, 1};
    c.branches[0] = b;
    return c;
}

}  // namespace

TEST(GeneralJudgement, WholeSectionsWorkedByHand) {
    for (const JudgementCase& k : kJudgements) {
        const CLiuYaoEx e = assembled({k.code, {2024, 2, 10, 9, 30}, k.useGod});
        std::string written;
        WriteGeneralJudgement(e.chart(), written);
        EXPECT_EQ(written, k.expected) << k.what;
        // In the report it follows the chart block directly.
        const std::string block = e.lineText.substr(0, e.lineText.find("爻像解析：　"));
        EXPECT_EQ(e.lineText.compare(block.size(), written.size(), written), 0) << k.what;
    }
}

TEST(GeneralJudgement, TimingParagraphIsTheSectionsText) {
    const CLiuYaoEx e = assembled({"111114", {2024, 2, 10, 9, 30}, 2});
    EXPECT_EQ(UseGodTiming(e.chart()), "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。" +
                                           kNotStrong + kVoidYinMao + "\n  ○" + kXunSeason);
}

TEST(GeneralJudgement, UseGodOnTheWorldLineSkipsTheWorldUseRelation) {
    // 天风姤's world is 丑 on line 1: with 父母 taken there, no world-use sentence follows.
    const CLiuYaoEx e = assembled({"111114", {2024, 2, 10, 9, 30}, 4});
    const std::string head = between(e.lineText, "【用神】", "\n  ◇用爻为动爻");
    EXPECT_EQ(head.find("世爻"), std::string::npos) << head;
}

TEST(GeneralJudgement, WorldAndUseOnEqualBranchesSupportEachOther) {
    // 天水讼 (离 palace, world 午 on line 4) holds 兄弟 午 on lines 3 and 4; line 3 moves, so
    // it is taken, and the world acts on an equal branch.
    const CLiuYaoEx e = assembled({"111412", {2024, 2, 10, 9, 30}, 0});
    EXPECT_NE(e.lineText.find("【用神】两现可取 3爻兄弟午火为用。"), std::string::npos);
    EXPECT_NE(e.lineText.find("谋望可成。\n  ◇世爻生扶用神，帮助之力强，有利事物的发展。\n  ◇用爻为动爻"),
              std::string::npos);
}

TEST(ShenSha, StarsOfALineByTheDayPillar) {
    struct Case {
        GanZhi day;
        Branch line;
        const char* stars;
    };
    const Case cases[] = {
        // 甲辰: 天乙 丑未, 太极 子午, 申子辰 group (驿马 寅 华盖 辰 将星 子 桃花 酉 劫煞 巳
        // 灾煞 午), 禄 寅, 金舆 辰, 羊刃 卯.
        {41, branch::kZi, "太极 将星    "},
        {41, branch::kYin, "驿马 禄神    "},
        {41, branch::kMao, "羊刃    "},
        {41, branch::kHai, "        "},
        // 癸亥: 天乙 卯巳, 太极 巳申, 亥卯未 group (驿马 巳 华盖 未 将星 卯 桃花 子 劫煞 申
        // 灾煞 酉), 禄 子, 金舆 寅, 羊刃 亥.
        {0, branch::kSi, "天乙 太极 驿马    "},
        {0, branch::kMao, "天乙 将星    "},
        {0, branch::kZi, "桃花 禄神    "},
        {0, branch::kShen, "太极 劫煞    "},
        {0, branch::kYin, "金舆    "},
        {0, branch::kHai, "羊刃    "},
        {0, branch::kWu, "        "},
        // 庚申: 天乙 寅午, 太极 寅亥, 申子辰 group, 禄 申, 金舆 戌, 羊刃 酉.
        {57, branch::kYin, "天乙 太极 驿马    "},
        {57, branch::kWu, "天乙 灾煞    "},
        {57, branch::kXu, "金舆    "},
        {57, branch::kYou, "桃花 羊刃    "},
        // 戊午: 天乙 丑未, 太极 辰戌丑未, 寅午戌 group (驿马 申 华盖 戌 将星 午 桃花 卯 劫煞 亥
        // 灾煞 子), 禄 巳, 金舆 未, 羊刃 午.
        {55, branch::kWei, "天乙 太极 金舆    "},
        {55, branch::kXu, "太极 华盖    "},
        {55, branch::kWu, "将星 羊刃    "},
        {55, branch::kSi, "禄神    "},
        // 丁酉: 天乙 亥酉, 太极 酉卯, 巳酉丑 group (驿马 亥 华盖 丑 将星 酉 桃花 午 劫煞 寅
        // 灾煞 卯), 禄 午, 金舆 申, 羊刃 巳.
        {34, branch::kYou, "天乙 太极 将星    "},
        {34, branch::kHai, "天乙 驿马    "},
        {34, branch::kMao, "太极 灾煞    "},
        {34, branch::kWu, "桃花 禄神    "},
        {34, branch::kShen, "金舆    "},
        {34, branch::kSi, "羊刃    "},
        {34, branch::kYin, "劫煞    "},
        {34, branch::kChou, "华盖    "},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(ShenShaOf(starChart(k.day, k.line), 0), k.stars) << k.day << " " << BranchName(k.line);
    }
}

TEST(JudgementCommand, JsonCarriesTimingAndStars) {
    const auto run =
        qingheng::testing::runCli("chart --code 111114 --time '2024-02-10 09:30' --use-god 妻财 --qiangua 0 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["timing"], "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。" +
                               kNotStrong + kVoidYinMao + "\n  ○" + kXunSeason);
    EXPECT_EQ(j["stars"],
              nlohmann::json::array({"天乙    ", "        ", "桃花    ", "太极 灾煞    ", "        ", "        "}));
    // The fields before them are unchanged.
    EXPECT_EQ(j["fanfuyin"]["inner"], 1);
}

TEST(JudgementCommand, PlainOutputPrintsBothReadings) {
    const auto run =
        qingheng::testing::runCli("chart --code 111111 --time '2024-02-10 09:30' --use-god 妻财 --qiangua 0");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("\n\n爻像解析：　\r\n【用神】取 2爻妻财寅木为用。"), std::string::npos);
    EXPECT_NE(run.out.find("  4爻值：太极 灾煞    5爻值：        6爻值：        "), std::string::npos);
    EXPECT_NE(run.out.find("\r\n卦像解析：　\r\n  ◇体卦为上卦乾金囚于月令。"), std::string::npos);
    EXPECT_EQ(run.out.back(), '\n');
}

TEST(ReadingEmphasis, HeadingsOfTheAssembledReadings) {
    const CLiuYaoEx e = assembled({"111114", {2024, 2, 10, 9, 30}, 2});
    const std::string shown = displayText(e.lineText);
    auto at = [&shown](const std::string& text) {
        return characterCount(std::string_view(shown).substr(0, shown.find(text)));
    };
    // Pillars, names, the smaller analysis, its blue bold head, the four red headings.
    ASSERT_GE(e.lineSpans.size(), 8u);
    EXPECT_EQ(e.lineSpans[2].start, at("爻像解析："));
    EXPECT_EQ(e.lineSpans[2].start + e.lineSpans[2].length, characterCount(shown));
    EXPECT_EQ(e.lineSpans[2].sizeDelta, -2);
    EXPECT_EQ(e.lineSpans[3].length, 6);
    const char* headings[] = {"【用神】", "【世爻】", "【定应期】", "【吉神凶煞】"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(e.lineSpans[4 + k].start, at(headings[k])) << headings[k];
        EXPECT_EQ(e.lineSpans[4 + k].length, characterCount(headings[k])) << headings[k];
        EXPECT_EQ(e.lineSpans[4 + k].color, kRed) << headings[k];
    }
    const std::string hex = displayText(e.hexText);
    const int reading = characterCount(std::string_view(hex).substr(0, hex.find("卦像解析：")));
    ASSERT_GE(e.hexSpans.size(), 3u);
    EXPECT_EQ(e.hexSpans[1].start, reading);
    EXPECT_EQ(e.hexSpans[1].start + e.hexSpans[1].length, characterCount(hex));
    EXPECT_EQ(e.hexSpans[2].start, reading);
    EXPECT_EQ(e.hexSpans[2].bold, true);
}
