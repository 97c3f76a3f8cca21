// Travellers (行人) and residence (住宅): whole texts worked out by hand, and single rules on
// charts chosen to make them fire or not.
#include <gtest/gtest.h>

#include "TopicFixture.h"

using namespace qingheng;
using qingheng::testing::expectRows;
using qingheng::testing::topicText;

// Charts on the fixture's day (寅 month, 甲辰 day, void 寅 卯, 青龙 on line 1):
//   111111 乾为天, static; 111114 天风姤, line 1 moving, 妻财 hidden under line 2;
//   224133 地天泰, lines 1, 2 and 4 moving; 111212 天水讼, the 游魂 of 离.

TEST(TravellersText, StrongUseGodStaysInItsTrigram) {
    EXPECT_EQ(topicText("111111", kTopicTravellers, 3),
              "行人预测：\n"
              "\n◆ 4爻官鬼午火相于月令,冠带于日辰。用神偏强，所测行人在外工作顺利，凡事和顺，凶祸不犯。"
              "\n◆行人在乾宫，可到西北方去找。"
              "\n\n●定应期:"
              "\n  ○应期可在秋、九十月之交，戌、亥年月之时，五金年月日时。");
}

TEST(TravellersText, HiddenUseGodMovesFromTheLowerTrigramToItsChange) {
    EXPECT_EQ(
        topicText("111114", kTopicTravellers, 2),
        "行人预测：\n"
        "\n◆用神未上卦，要找之人难寻。"
        "\n◆可看伏神 2爻妻财寅木旺于月令,衰于日辰,化比和,逢空亡。用神平和，所测行人在外一切正常，即无喜事也无灾祸。"
        "\n◆行人由巽宫变到乾宫，出门方向为先到东南方再到西北方。"
        "\n\n●定应期:"
        "\n  ○用神伏藏，要到出现之 寅年月日时或冲飞神之 巳年月日时，所测之事才会发生。"
        "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。"
        "\n  ○用神逢空亡，要到出空之期或填实之寅、卯年月日时，所测之事才会应验。"
        "\n  ○应期可在春夏之交，辰、巳年月日时。");
}

TEST(TravellersRules, TheUseGodIsTheOneChosenInTheWindow) {
    expectRows(kTopicTravellers,
               {
                   // 讼 with its lower 坎 all moving: 子孙 辰 on line 2 moves, 坎 becomes 离.
                   {"111434", 1, "\n◆行人由坎宫变到离宫，出门方向为先到北方再到南方。", true, "子孙 辰 on line 2"},
                   {"111434", 1, "\n◆ 2爻子孙", true, "the moving one of the two 子孙"},
                   {"111434", 2, "\n◆行人在乾宫，可到西北方去找。", true, "妻财 申 on line 5, 乾 unchanged"},
                   {"111111", 2, "\n◆ 2爻妻财", true, "another use god, another line"},
               });
}

TEST(ResidenceText, StaticPureHexagram) {
    EXPECT_EQ(
        topicText("111111", kTopicResidence),
        "住宅预测：\r\n"
        "\r\n◆世爻父母戌土死于月令,墓于日辰,戌辰世爻与日辰相冲。世爻平和，此房一般或主人为普通人。\r\n"
        "◆1爻子水休于月令,墓于日辰。平和，在房屋上表现为宅基、井半新半旧，在人口上表现为小孩为普通的正常人。\r\n"
        "◆2爻寅木旺于月令,衰于日辰,逢空亡。平和，在房屋上表现为宅舍、灶半新半旧，在人口上表现为妻子为普通的正常人。\r\n"
        "◆3爻辰土死于月令,墓于日辰,"
        "辰辰3爻与日辰自刑。平和，在房屋上表现为门、床半新半旧，在人口上表现为兄弟为普通的正常人。\r\n"
        "◆4爻午火相于月令,"
        "冠带于日辰。偏强，在房屋上表现为房间、窗户崭新而坚固，在人口上表现为母亲体健聪明或福气佳。\r\n"
        "◆5爻申金囚于月令,养于日辰,"
        "申寅5爻与月令相冲。偏弱，在房屋上表现为屋旁马路较为破旧，在人口上表现为父亲身体不好或命运较差。\r\n"
        "◆6爻戌土死于月令,墓于日辰,"
        "戌辰6爻与日辰相冲。平和，在房屋上表现为栋梁、墙壁半新半旧，在人口上表现为祖上为普通的正常人。\r\n"
        "◆初爻为房屋根基，临妻财、子孙吉。\r\n"
        "◆初爻临水，则井水清澈。\r\n"
        "◆三爻父化父，有两扇门。\r\n"
        "◆四爻临官鬼，家不宁，有官非口舌之事。\r\n"
        "◆五爻为人，克二爻，人口安宁。\r\n"
        "◆上爻临世，必主离祖成家。\r\n"
        "◆父母持世承祖居。\r\n"
        "◆六爻俱静人宅安。\r\n"
        "◆世应相克害不利。\r\n");
}

TEST(ResidenceRules, LinesSpiritsAndPhasesOfAMovingSixHarmonyChart) {
    // 泰: 子 寅 辰 丑 亥 酉 from line 1; 子, 寅 and 丑 move; spirits 青龙 朱雀 勾陈 螣蛇 白虎 玄武.
    expectRows(kTopicResidence,
               {
                   {"224133", 0, "◆木爻官鬼居二爻，灶上有横梁。\r\n", true, "16: 寅 官鬼 on line 2"},
                   {"224133", 0, "◆二爻临木动，风水恶。\r\n", true, "28: line 2 moves"},
                   {"224133", 0, "◆二爻临世并日辰，或官鬼居二爻，主他人之屋，或租借之屋。\r\n", true, "29"},
                   {"224133", 0, "◆二爻官鬼宜安静，动则住不久。\r\n", true, "30"},
                   {"224133", 0, "◆三爻四爻俱兄弟，主屋少门多，耗费钱财。\r\n", true, "35: 辰 and 丑"},
                   {"224133", 0, "◆四爻兄弟临螣蛇，邻居有坑厕妨碍。\r\n", true, "49"},
                   {"224133", 0, "◆螣蛇主怪异之事，动于四爻上，家出怪异梦惊魂。\r\n", true, "93"},
                   {"224133", 0, "◆有子孙无父母爻，其人孤独。\r\n", true, "67: 父母 hidden"},
                   {"224133", 0, "◆青龙临水木财爻，主得妻财。\r\n", true, "90: 子 under 青龙"},
                   {"224133", 0, "◆朱雀临日月并动爻，须防火灾。\r\n", true, "spirits: 朱雀 寅 is the month, moves"},
                   {"224133", 0, "◆玄武合咸池，主阴私淫乱之事。\r\n", true, "spirits: 酉 is the 辰 day's 咸池"},
                   {"224133", 0, "◆世应相生合吉利。\r\n", true, "100: 辰 and 酉 harmonise"},
                   {"224133", 0, "◆木爻旺相发动，其屋建造宏丽。\r\n", true, "101: 寅 moves in a 寅 month"},
                   {"224133", 0, "◆测宅，卦中无火，香火冷而灶失修。\r\n", true, "103: no fire branch"},
                   {"224133", 0, "多，则", false, "103: the most frequent phases 水 and 土 are weak"},
                   {"224133", 0, "◆六爻俱静人宅安。", false, "97: three lines move"},
                   {"111212", 0, "◆卦遇游魂，住不安稳，多动之像。\r\n", true, "讼 is the 游魂 of 离"},
                   {"121111", 0, "◆卦遇归魂，常住之宅，家宅安稳平静。\r\n", true, "大有 is the 归魂 of 乾"},
                   {"111111", 0, "◆卦遇", false, "a pure hexagram"},
               });
}

TEST(ResidenceRules, PhaseCensusNamesMissingPhasesAndTheMostFrequentProsperousOne) {
    // 风火家人: 卯 丑 亥 未 巳 卯. Two 木 and two 土 are the most; the 寅 month favours 木
    // (and 火), not 土; no 金.
    const std::string home = topicText("112121", kTopicResidence);
    const std::string census = "◆测宅，卦中木多，则人清秀。\r\n◆测宅，卦中无金，家资贫而人不居。\r\n";
    ASSERT_GE(home.size(), census.size());
    EXPECT_EQ(home.substr(home.size() - census.size()), census);
    // 坤为地: 未 巳 卯 丑 亥 酉, every phase present and only 土 twice: nothing to say.
    EXPECT_EQ(topicText("222222", kTopicResidence).find("◆测宅，卦中"), std::string::npos);
}
