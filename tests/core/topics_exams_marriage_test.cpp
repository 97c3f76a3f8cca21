// Exams (考学) and marriage (婚姻): whole texts worked out by hand, and single rules on charts
// chosen to make them fire or not.
#include <gtest/gtest.h>

#include "TopicFixture.h"

using namespace qingheng;
using qingheng::testing::expectRows;
using qingheng::testing::topicText;

// Charts on the fixture's day (寅 month, 甲辰 day, void 寅 卯, 青龙 on line 1):
//   111111 乾为天, static six-clash; world 戌 父母, response 辰.
//   224224 坤为地, lines 1 未 and 4 丑 moving: six-clash into 震为雷; world 酉 子孙.
//   224133 地天泰, six-harmony, lines 1 子, 2 寅, 4 丑 moving; 父母 hidden 巳 under line 2.

TEST(ExamsText, StaticSixClashChart) {
    EXPECT_EQ(
        topicText("111111", kTopicExams),
        "考学预测：（关键在于父母、官鬼二爻）\r\n\r\n"
        "◆ 6爻父母，戌土死于月令,墓于日辰,戌辰父母与日辰相冲。父母爻主学习成绩，今父母爻平和，成绩平时一般。\r\n"
        "◆ "
        "4爻官鬼，午火相于月令,冠带于日辰。官鬼爻主功名，今官鬼爻偏强，成绩就算不太理想，也能考上适合的学校或专业。\r\n"
        "◆鬼爻为火，学习专业是和火有关的，比如：灯饰、炉具、眼镜、电子、爆竹、电焊、煤炭、天然气、美容美发、加工、百货"
        "业等。\r\n"
        "◆官旺生世持世，能助衰父，遂登科之志。\r\n"
        "◆世爻休囚，被日月冲破，难登科甲。\r\n");
}

TEST(ExamsText, SixClashTurningIntoSixClash) {
    EXPECT_EQ(topicText("224224", kTopicExams),
              "考学预测：（关键在于父母、官鬼二爻）\r\n\r\n"
              "◆ 2爻父母，巳火相于月令,冠带于日辰,化回头生,巳寅父母与月令相害。"
              "父母爻主学习成绩，今父母爻偏强，成绩比较好，有考上的希望。\r\n"
              "◆ 3爻官鬼，卯木旺于月令,衰于日辰,化耗气,逢空亡,卯辰官鬼与日辰相害,卯寅辰官鬼与月令与日辰三会东方木。"
              "官鬼爻主功名，今官鬼爻平和，主平时一般。\r\n"
              "◆鬼爻为木，学习专业是和木有关的，比如：园艺、种值、林业、木材、家俱、纺织、纸业、文教、学术、宗教、医疗"
              "、公务等。\r\n"
              "◆父母旺相，化官鬼回头生，可登科甲。\r\n"
              "◆龙动生世，双喜临门。\r\n"
              "◆卦逢六冲变六冲，或六爻乱动，世衰定考劣等。\r\n");
}

TEST(ExamsRules, RuleTable) {
    expectRows(
        kTopicExams,
        {
            {"224133", 0, "◆父母不上卦，学习成绩不太出众，或者考试时发挥不理想。◆可看伏神 2爻父母，巳火", true,
             "泰: 父母 hidden"},
            {"224133", 0, "◆世应相合利登科。\r\n", true, "11: 辰 and 酉"},
            {"224133", 0, "◆卦逢六冲变六冲，或六爻乱动，世衰定考劣等。\r\n", true, "14: three lines move"},
            {"224133", 0, "◆六爻乱动，空费纸墨。\r\n", true, "21"},
            {"224133", 0, "◆世爻旺相，父爻、官爻有一", false, "3: one is hidden but the world 辰 is 死"},
            {"111111", 0, "◆卦逢六冲变六冲", false, "14: six-clash without a moving line"},
            {"111211", 0, "◆子孙临岁君（五爻）：必志气远大，文才出众。\r\n", true, "1: 履, 申 子孙 on line 5"},
            {"123121", 0, "◆父爻遇空亡，若财爻动生官，侥幸得名。 \r\n", true, "9: 离, 卯 void, 酉 moves"},
            {"111232", 0, "◆子孙发动，即使技术高也不要去考场。\r\n", true, "26: 讼, 辰 moves"},
            {"221212", 0, "◆父母、官鬼、世爻合成官局、父局，金榜连捷。\r\n", true, "12: 解, 申 子 辰 water = 父母"},
            {"121221", 0, "◆白虎临财爻持世或发动，难登黄甲。\r\n", true, "25: 噬嗑, 未 under 白虎 holds the world"},
        });
}

TEST(MarriageText, StaticSixClashChart) {
    EXPECT_EQ(topicText("111111", kTopicMarriage),
              "婚姻预测：（男看妻财，女看官鬼，配合世应）\r\n\r\n"
              "★测婚忌逢六冲，冲之婚姻难成。\r\n"
              "★测婚应爻宜安静，必定应诺。\r\n"
              "★卦遇纯阳纯阴，婚姻不顺。\r\n"
              "★世应相冲，夫妻反目。\r\n"
              "★六爻安静家和睦。\r\n"
              "===============男测女==========\r\n"
              "★ 2爻妻财寅木旺于月令,衰于日辰,逢空亡。财爻平和，主妻一般。\r\n"
              "★男才女貌看用神，木为用神，身高秀丽。\r\n"
              "===============女测男==========\r\n"
              "★ 4爻官鬼午火相于月令,冠带于日辰。官爻偏强，主夫英俊，或聪明能干。\r\n"
              "★男才女貌看用神，火为用神，旺而红润，但发少面黄赤。\r\n"
              "★官爻不空，且旺相，吉利。\r\n");
}

TEST(MarriageText, TwoMovingBrothersEachSpeak) {
    EXPECT_EQ(topicText("224224", kTopicMarriage),
              "婚姻预测：（男看妻财，女看官鬼，配合世应）\r\n\r\n"
              "★测婚忌逢六冲，冲之婚姻难成。\r\n"
              "★应空对方不实。\r\n"
              "★测婚应爻宜安静，必定应诺。\r\n"
              "★卦遇纯阳纯阴，婚姻不顺。\r\n"
              "★世应相冲，夫妻反目。\r\n"
              "★兄动夫妻不和。\r\n"
              "★兄动夫妻不和。\r\n"
              "===============男测女==========\r\n"
              "★ 5爻妻财亥水休于月令,墓于日辰,化回头生,亥寅妻财与月令六合。财爻平和，主妻一般。\r\n"
              "★财化子孙，定带儿女来。\r\n"
              "★应临官鬼，女方嫁资不多。\r\n"
              "===============女测男==========\r\n"
              "★ 3爻官鬼卯木旺于月令,衰于日辰,化耗气,逢空亡,卯辰官鬼与日辰相害,卯寅辰官鬼与月令与日辰三会东方木。"
              "官爻平和，主夫一般。\r\n"
              "★男才女貌看用神，木为用神，身高健壮。\r\n"
              "★官爻、应爻旺相，男方富有。\r\n"
              "★女忌子孙持世，主伤夫。\r\n");
}

TEST(MarriageRules, RuleTable) {
    expectRows(kTopicMarriage,
               {
                   {"224133", 0, "★世应相生合，婚姻易成而吉利。\r\n", true, "1: 辰 and 酉 harmonise"},
                   {"224133", 0, "★测婚之事，卦逢六合，为大吉之象。\r\n", true, "4"},
                   {"224133", 0, "★世生应，自己求对方。\r\n", true, "7: 土 generates 金"},
                   {"224133", 0, "★父母为文书，为主婚之人，卦无父母，定无头绪。\r\n", true, "11"},
                   {"224133", 0, "★财动公婆不和。\r\n★鬼动妯娌不和。\r\n★兄动夫妻不和。\r\n", true,
                    "24: lines 1, 2 and 4 from the bottom"},
                   {"224133", 0, "★财临青龙，女方陪嫁必多。\r\n", true, "male 5: 子 under 青龙"},
                   {"224133", 0, "★卦中两财，是多婚之象。\r\n", true, "male 13: 子 and 亥"},
                   {"224133", 0, "★男测女，世宜阳，应宜阴，此为阴阳得位，夫妻之道。\r\n", true, "male 16"},
                   {"224133", 0, "★六爻安静", false, "23"},
                   // 天风姤: 妻财 hidden under line 2; world 丑 moving (yin), response 午 (yang).
                   {"111114", 0, "===============男测女==========\r\n可看伏神 2爻妻财寅木", true, "hidden 妻财"},
                   {"111114", 0, "★遇《天风姤》卦，夫妻难白头。\r\n", true, "male 11"},
                   {"111114", 0, "★女测男，世宜阴，应宜阳，此为阴阳得位，夫妻之道。\r\n", true, "female 11"},
                   {"112111", 0, "★卦遇《风天小畜》，夫妻难白头。\r\n", true, "17"},
                   {"123121", 0, "★卦逢六冲变六合，散而和，离而复。\r\n", true, "25: 离 turns into 贲"},
                   // 风地观 with lines 2, 3 and 6 moving: world and response both 未.
                   {"312442", 0, "★世应比和，官鬼妻财又同为一宫，亲上加亲。\r\n", true, "14: 卯 line 3, 巳 line 2"},
                   {"312442", 0, "★世应比和，得日辰合世", false, "15: 辰 does not harmonise 未"},
                   {"312442", 0, "★官爻两重，财爻两逢，再娶再嫁之象，或者各有所欢。\r\n", true, "26"},
               });
}
