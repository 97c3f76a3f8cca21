// Illness (疾病) and weather (天气): whole texts worked out by hand, and single rules on
// charts chosen to make them fire or not.
#include <gtest/gtest.h>

#include "TopicFixture.h"

using namespace qingheng;
using qingheng::testing::expectRows;
using qingheng::testing::topicText;

// Charts on the fixture's day (寅 month, 甲辰 day, void 寅 卯, 青龙 on line 1):
//   111111 乾为天, static six-clash: 官鬼 午 on line 4 (螣蛇), 兄弟 申 on line 5.
//   111212 天水讼, static, 离 palace: 官鬼 hidden, 亥 under the 兄弟 午 of line 3.
//   224224 坤为地, lines 1 and 4 moving: six-clash into 震为雷, 官鬼 卯 on line 3 void.

TEST(IllnessText, GhostInTheUpperTrigramOfAStaticChart) {
    EXPECT_EQ(topicText("111111", kTopicIllness, 0),
              "疾病预测：（鬼爻为病患，测病当察此爻）\r\n"
              "\n◆ 4爻官鬼午火相于月令,冠带于日辰。鬼爻偏强，病情较重或为慢性病，须较长时间方能好。"
              "\n◆鬼爻为火主小肠、心脏、肩、血液、脸部、牙齿、腹部、舌等方面的病。"
              "\n◆鬼在四爻腹部肚肠有病。"
              "\r\n◆鬼在乾宫，主头痛、头晕。"
              "\r\n◆螣蛇临鬼，主心惊，坐卧不安之状。"
              "\r\n◆鬼爻在外卦，夜轻而日重，出外染病。"
              "\r\n◆用神化他爻，得病之因：化兄弟，不因口舌呕气，就是食物导致。"
              "\r\n\r\n●定应期:"
              "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。");
}

TEST(IllnessText, HiddenGhostIsReadAtItsHiddenSpirit) {
    EXPECT_EQ(topicText("111212", kTopicIllness, 0),
              "疾病预测：（鬼爻为病患，测病当察此爻）\r\n"
              "\n◆可看伏神 3爻官鬼亥水休于月令,墓于日辰,亥寅鬼爻与月令六合。鬼爻平和，一般小病，服药即好。"
              "\n◆鬼爻为水主肾、膀胱、足、阴部、泌尿、腰部、耳朵、疝气等方面的病。"
              "\n◆鬼在三爻腰背常轻软。"
              "\r\n◆勾陈临鬼，腹满肿胀，脾胃不和。"
              "\r\n◆鬼爻在内卦，有病必夜重，在家得病，内伤之症。"
              "\r\n◆鬼不现，看伏神，鬼伏兄下，因色或财而导致口舌，绝食致病。"
              "\r\n◆兄弟持世，因多食而生病。"
              "\r\n◆用神化他爻，得病之因：化兄弟，不因口舌呕气，就是食物导致。"
              "\r\n\r\n●定应期:"
              "\n  ○用神伏藏，要到出现之 亥年月日时或冲飞神之 子年月日时，所测之事才会发生。"
              "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。"
              "\n  ○用神被月令合住，应期可发生在冲用神之 巳年月日时。"
              "\n  ○应期可在冬十一月，子年月日时，一、六日。");
}

TEST(IllnessText, SixClashTurningIntoSixClashWithAVoidGhostAsTheUseGod) {
    EXPECT_EQ(topicText("224224", kTopicIllness, 3),
              "疾病预测：（鬼爻为病患，测病当察此爻）\r\n"
              "\n◆ 3爻官鬼卯木旺于月令,衰于日辰,化耗气,逢空亡,卯辰鬼爻与日辰相害,卯寅辰鬼爻与月令与日辰三会东方木。"
              "鬼爻平和，一般小病，服药即好。"
              "\n◆鬼爻为木主胆、肝、头、四肢、关节、筋脉、眼睛、神经等方面的病。"
              "\n◆鬼在三爻腰背常轻软。"
              "\r\n◆鬼在坤宫，病在腹部。"
              "\r\n◆勾陈临鬼，腹满肿胀，脾胃不和。"
              "\r\n◆卦逢六冲变六冲，化回头克，病情加重。"
              "\r\n◆用神旬空，或动而化空，疾病快好，服药而愈。"
              "\r\n◆鬼爻在内卦，有病必夜重，在家得病，内伤之症。"
              "\r\n◆应爻临鬼，或应爻合用神，他人传染。"
              "\r\n◆用神化他爻，得病之因：化兄弟，不因口舌呕气，就是食物导致。"
              "\r\n◆子孙持世或发动，即使病危，也有起死回生之喜，小病快愈。"
              "\r\n◆子孙为医生、药物，衰弱，病慢好。"
              "\r\n\r\n●定应期:"
              "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。"
              "\n  ○用神逢空亡，要到出空之期或填实之寅、卯年月日时，所测之事才会应验。"
              "\n  ○应期可在辰、戌、丑、未、年月日时，八、五、十、日。");
}

TEST(IllnessRules, RuleTable) {
    expectRows(kTopicIllness,
               {
                   // 泽火革: 官鬼 丑 (line 2) and 未 (line 6) clash; world 亥 holds 兄弟.
                   {"211121", 0, "\n◆鬼爻两现，不是身体多处有病，就是旧病复发。", true, "two ghosts"},
                   {"211121", 0, "\r\n◆卦有两鬼，定是日轻夜重。", true, "7: two ghosts"},
                   {"211121", 0, "\r\n◆卦有两鬼，二鬼自冲，易感而易愈。", true, "10: 丑 and 未"},
                   {"211121", 0, "\r\n◆鬼爻在", false, "7: the two-ghost message replaces the others"},
                   // 坎为水: 官鬼 辰 and 戌, the 戌 nearer the world is taken; the 辰 day clashes it.
                   {"212212", 0, "\r\n◆鬼被日辰冲散，大吉。", true, "20"},
                   // 山风蛊: world 酉 官鬼 moves into 丑, its tomb.
                   {"122314", 3, "\r\n◆测病遇鬼爻持世主不利，多为原有旧疾，主病难安、难愈、危险。", true, "6"},
                   {"122314", 3, "\r\n◆鬼爻持世，如是化墓，凶上加凶。", true, "6, second message"},
                   {"122314", 3, "\r\n◆用神动而化墓，不论近病久病，皆主昏迷之象。", true, "24 with U = 官鬼"},
                   {"122314", 2, "\r\n◆用神动而化墓", false, "24 with U = 妻财 丑, which turns into 巳, not its tomb"},
                   // 水雷屯: world 寅 子孙 is void.
                   {"212221", 0, "\r\n◆子孙持持或发动，临空破者，实破之日病愈。", true, "18, second message"},
                   // 离为火: 妻财 酉 on line 4 moves; then 官鬼 亥 on line 3 moving into 丑.
                   {"123121", 0, "\r\n◆财临外卦发动，主吐。", true, "11"},
                   {"121341", 0, "\r\n◆鬼在离宫，防眼睛、心脏、高血压之症。", true, "2"},
                   {"121341", 0, "\r\n◆鬼在离宫，又化回头克，不气喘，则有昏迷之危。", true, "2, second message"},
                   // Another use god in the window changes the rules on U only.
                   {"111111", 2, "\r\n◆用神旬空，或动而化空，疾病快好，服药而愈。", true, "5: U = 妻财 寅 void"},
                   {"111111", 2, "\r\n◆用神化他爻", false, "17: 妻财 gives nothing"},
                   {"111111", 0, "\r\n◆用神旬空", false, "5: U = 兄弟 申"},
               });
}

TEST(WeatherText, NoMovingLineJudgesTheWorldLine) {
    EXPECT_EQ(topicText("111111", kTopicWeather),
              "天气预测：\n"
              "\n◆主卦无动爻，可看世爻论断。"
              "\n◆父母爻持世主下雨，也有可能带有冰雹，冬天时主降雪、霜。"
              "\n◆世爻戌土死于月令,墓于日辰,戌辰世爻与日辰相冲。"
              "\n◆力量中平，所主像的天气状况如实出现。");
}

TEST(WeatherText, OneMovingLineTurningIntoAnotherRelative) {
    EXPECT_EQ(topicText("111114", kTopicWeather),
              "天气预测：\n"
              "\n◆父母爻发动主下雨，也有可能带有冰雹，冬天时主降雪、霜。"
              "\n◆父母丑土死于月令,墓于日辰,化耗气,化六合。"
              "\n◆力量中平，所主像的天气状况如实出现。"
              "\n◆父母化子孙天气先下雨、雪、霜或有冰雹，后晴明。");
}

TEST(WeatherText, AMovingLineKeepingItsRelativeHasNoChangeSentence) {
    // 乾为天 with line 3 辰 moving into 丑: both 父母.
    EXPECT_EQ(topicText("111311", kTopicWeather),
              "天气预测：\n"
              "\n◆父母爻发动主下雨，也有可能带有冰雹，冬天时主降雪、霜。"
              "\n◆父母辰土死于月令,墓于日辰,化退神,辰辰父母与日辰自刑。"
              "\n◆力量中平，所主像的天气状况如实出现。");
}

TEST(WeatherText, ThreeMovingLinesBottomFirstAndNoWorldBlock) {
    EXPECT_EQ(topicText("224133", kTopicWeather),
              "天气预测：\n"
              "\n◆妻财发动天气晴朗，偶有浮云。"
              "\n◆妻财子水休于月令,墓于日辰,化回头克,化入墓。"
              "\n◆力量中平，所主像的天气状况如实出现。"
              "\n◆妻财化兄弟天气先晴朗偶有浮云，后风起云涌。"
              "\n◆官鬼发动，春夏有雷鸣、闪电，早晨有浓雾。"
              "\n◆官鬼寅木旺于月令,衰于日辰,化泄气,逢空亡。"
              "\n◆力量中平，所主像的天气状况如实出现。"
              "\n◆官鬼化父母天气先电闪雷鸣有浓雾，后下雨、雪、霜或有冰雹。"
              "\n◆兄弟发动主风云，有云行风起之像。"
              "\n◆兄弟丑土死于月令,墓于日辰,化回头生。"
              "\n◆力量中平，所主像的天气状况如实出现。"
              "\n◆兄弟化父母天气先风起云涌，后下雨、雪、霜或有冰雹。");
}
