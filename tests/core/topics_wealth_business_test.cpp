// Wealth (财运) and business (生意): whole texts worked out by hand for a few charts, and
// single rules on charts chosen to make them fire or not.
#include <gtest/gtest.h>

#include "TopicFixture.h"

using namespace qingheng;
using qingheng::testing::expectRows;
using qingheng::testing::topicText;

// The charts (all on the fixture's day, 寅 month, 甲辰 day, void 寅 卯):
//   111111 乾为天, static six-clash; 妻财 寅 on line 2, void; world 戌 line 6, response 辰 line 3.
//   111114 天风姤, line 1 丑 moving to 子; 妻财 hidden: 寅 under line 2 (亥).
//   111232 天水讼 (离宫游魂), line 2 辰 moving to 巳; world 午 line 4, response 寅 line 1.
//   224133 地天泰, six-harmony, lines 1 子, 2 寅 and 4 丑 moving; world 辰 line 3 holds 兄弟.

TEST(WealthText, StaticSixClashChartWithAVoidUseGod) {
    EXPECT_EQ(topicText("111111", kTopicWealth),
              "财运预测：（察看妻财、子孙，生旺有情就有财，反之无财）\r\n"
              "\n◆ 2爻妻财寅木旺于月令,衰于日辰,逢空亡。财爻不旺也不弱，钱财一般。"
              "\n◆财爻逢空亡，待冲空或出空之时财可得。"
              "\n◆财爻属木，钱财多与木材、家俱、纸业、纺织、图书、木竹手工艺等有关。"
              "\n◆财爻为阳，多为正当行业、幸勤劳动所得之正财。"
              "\n◆财爻入乾宫，寻财之地在西北方。"
              "\n◆父母持世，为财来克我，财物易得。"
              "\n★原神：1子孙子水休于月令,墓于日辰。原神平和，财源正常。"
              "\n★忌神：5兄弟申金囚于月令,养于日辰,申寅兄弟与月令相冲。忌神偏弱，财爻有用，利于求财。"
              "\n\n●定应期:"
              "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。"
              "\n  ○用神逢空亡，要到出空之期或填实之寅、卯年月日时，所测之事才会应验。"
              "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。");
}

TEST(WealthText, HiddenUseGodUnderAHarmonisingFlyingSpirit) {
    EXPECT_EQ(topicText("111114", kTopicWealth),
              "财运预测：（察看妻财、子孙，生旺有情就有财，反之无财）\r\n"
              "\n◆用神未上卦，求财较难。"
              "\n◆可看伏神 2爻妻财寅木旺于月令,衰于日辰,化比和,逢空亡。财爻不旺也不弱，钱财一般。"
              "\n◆飞神和伏神相合，财爻不能出，须待冲飞神之日。"
              "\n◆财爻逢空亡，待冲空或出空之时财可得。"
              "\n◆财爻属木，钱财多与木材、家俱、纸业、纺织、图书、木竹手工艺等有关。"
              "\n◆财爻为阳，多为正当行业、幸勤劳动所得之正财。"
              "\n◆财爻入巽宫，寻财之地在东南方。"
              "\n◆父母持世，为财来克我，财物易得。"
              "\n★原神：2子孙亥水休于月令,墓于日辰,化泄气,化六合,亥寅子孙与月令六合。原神平和，财源正常。"
              "\n★忌神：3兄弟酉金囚于月令,养于日辰,化回头生,化六合,酉辰兄弟与日辰六合。忌神偏弱，财爻有用，利于求财。"
              "5兄弟申金囚于月令,养于日辰,化比和,申寅兄弟与月令相冲。忌神偏弱，财爻有用，利于求财。"
              "\n◆忌神两现，求财阻力多。"
              "\n\n●定应期:"
              "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。"
              "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。"
              "\n  ○用神逢空亡，要到出空之期或填实之寅、卯年月日时，所测之事才会应验。"
              "\n  ○应期可在春夏之交，辰、巳年月日时。");
}

TEST(WealthText, TwoSourcesTwoEnemiesAndThreeRules) {
    EXPECT_EQ(topicText("111232", kTopicWealth),
              "财运预测：（察看妻财、子孙，生旺有情就有财，反之无财）\r\n"
              "\n◆ 5爻妻财申金囚于月令,养于日辰,化比和,申寅财爻与月令相冲。财爻偏弱，钱财少或较难得到。"
              "\n◆财爻属金，钱财多与金属、机械、家电、钟表、车辆运输、金融、证券、科技等有关。"
              "\n◆财爻为阳，多为正当行业、幸勤劳动所得之正财。"
              "\n◆财爻入乾宫，寻财之地在西北方。"
              "\n◆世爻克妻财，为自己努力去求财，但财不易得。"
              "\n★原神：2子孙辰土死于月令,墓于日辰,化回头生,辰辰子孙与日辰自刑。原神平和，财源正常。"
              "6子孙戌土死于月令,墓于日辰,化比和,戌辰子孙与日辰相冲。原神平和，财源正常。"
              "\n◆原神两现，财源多。"
              "\n★忌神：3兄弟午火相于月令,冠带于日辰,化回头生。忌神偏强，财星被制，求财困难。"
              "4兄弟午火相于月令,冠带于日辰,化比和。忌神偏强，财星被制，求财困难。"
              "\n◆忌神两现，求财阻力多。"
              "\r\n◆子孙临月建、日辰，动来与财相生相合，财大而求必得。"
              "\r\n◆世爻克财，不讲也是求财，但求财不易。"
              "\r\n◆父兄有气，财逢绝地，安守本分为上策。"
              "\n\n●定应期:"
              "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。"
              "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。");
}

TEST(WealthRules, FlyingSpiritOverTheHiddenWealth) {
    expectRows(kTopicWealth,
               {
                   {"111211", 0, "\n◆飞神生扶伏神，财爻有用，财可谋。", true, "履: 申 over hidden 子"},
                   {"112122", 0, "\n◆飞神克耗伏神，财爻不能出，求财难。。", true, "渐: 巳 over hidden 子"},
                   {"111122", 0, "\n◆飞神对伏神作用力小，伏神若生旺就可用。", true, "遁: 午 over hidden 寅"},
                   {"111122", 0, "原神子孙未上卦，没有财源或求财不得。", true, "遁 has no water line"},
                   {"111111", 0, "\n◆飞神", false, "乾: 妻财 on line 2, no flying spirit"},
                   {"111114", 0, "\n◆财为动爻", false, "a hidden use god never moves"},
               });
}

TEST(WealthRules, RuleTableOnMovingAndSixHarmonyCharts) {
    expectRows(kTopicWealth,
               {
                   {"224133", 0, "\n◆财为动爻，钱财来得迅速。", true, "泰: 妻财 子 on line 1 moves"},
                   {"224133", 0, "\r\n◆世爻克财，不讲也是求财，但求财不易。", true, "9: 世 辰 holds 兄弟"},
                   {"224133", 0, "\r\n◆官兄同动财无伤。", true, "17: 丑 and 寅 move"},
                   {"224133", 0, "\r\n◆父母、兄弟爻同时发动，如水中捞月一场空。", true,
                    "21: hidden 父母 巳 under the moving 寅"},
                   {"224133", 0, "\r\n◆子孙受伤，不但无财可求，反而亏本。", true, "26: 父母 相 moves, 子孙 酉 囚"},
                   {"224133", 0, "\r\n◆官鬼克世，公私求财都不利。", true, "31: 兄弟 holds the world, 寅 moves"},
                   {"224133", 0, "\r\n◆测财遇六合卦", false, "15: six-harmony but 妻财 子 is 休"},
                   {"224133", 0, "\r\n◆九流之士", false, "7: 官鬼 木 does not help the earth world"},
                   {"111224", 0, "\r\n◆测财遇六合卦，财爻旺相，为吉祥之象，求财吉。", true,
                    "15: 否, 妻财 卯 旺, line 1 moves"},
                   {"111111", 0, "\r\n◆卦逢六冲", false, "25: six-clash but 兄弟 申 is 囚"},
                   {"111111", 0, "\r\n◆世爻安静", false, "14: static, but 父母 holds the world"},
               });
}

TEST(BusinessText, StaticSixClashChart) {
    EXPECT_EQ(topicText("111111", kTopicBusiness),
              "生意预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\r\n\r\n"
              "◆世应相冲必有变，不同心。\r\n"
              "◆应爻冲克耗世爻，货物难卖。\r\n"
              "◆财空伏者，无货。\r\n"
              "◆六爻安静，开业永立。\r\n");
}

TEST(BusinessText, AccordOfProsperousWorldAndResponseAndAnInnerReversal) {
    EXPECT_EQ(topicText("111232", kTopicBusiness),
              "生意预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\r\n\r\n"
              "◆相应相生合，双方同心。\r\n"
              "◆世应旺而相生，同心协力，越干越兴旺。\r\n"
              "◆财爻衰，宜缓买。\r\n"
              "◆卖货要应爻生合世爻，必易成。\r\n"
              "◆财少者，货物少。\r\n"
              "◆反吟之卦，主事反复，开业又关，老店遇此必更迁。\r\n");
}

TEST(BusinessRules, RuleTable) {
    expectRows(kTopicBusiness,
               {
                   // 水泽节 (坎宫): world 巳 妻财 (火 相), response 申 父母.
                   {"212211", 0, "◆财爻持世主财荣。\r\n", true, "6: 妻财 holds the world"},
                   {"212211", 0, "◆世财爻，应为兄父，必遭劫或受他人之累。\r\n", true, "3: response 父母"},
                   {"212211", 0, "◆世爻财旺，近地可出。\r\n", true, "11: world 妻财 相"},
                   {"212211", 0, "◆财爻旺，急急卖。\r\n", true, "10: 妻财 巳 scores 2"},
                   {"212211", 0, "◆世应旺而相生", false, "response 申 is 囚"},
                   {"224133", 0, "◆相应相生合，双方同心。\r\n", true, "泰: 辰 and 酉 harmonise"},
                   {"224133", 0, "◆鬼动克世，多招是非。\r\n", true, "22: 兄弟 world, 寅 moves"},
                   {"224133", 0, "◆财太过，货物多。\r\n", true, "18: 子 and 亥"},
                   {"224133", 0, "◆六爻乱动，定不顺。\r\n", true, "31: three moving lines"},
                   {"224133", 0, "◆反吟之卦", true, "25: outer 坤 turns into 震"},
                   {"224133", 0, "◆财动世动", false, "21: the world 辰 is still"},
               });
}
