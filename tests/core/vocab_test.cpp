#include <gtest/gtest.h>

#include <set>
#include <string>

#include "vocab/Hexagram.h"
#include "vocab/Signs.h"

using namespace qingheng;

namespace {

std::string branchNames(const std::array<Branch, 6>& bs) {
    std::string out;
    for (Branch b : bs) out += BranchName(b);
    return out;
}

std::string allStaticCode(int bits) {
    std::string code(6, '2');
    for (int line = 0; line < 6; ++line) {
        if (bits & (1 << line)) code[5 - line] = '1';
    }
    return code;
}

}  // namespace

TEST(Signs, CycleTermsSplitIntoStemAndBranchByModulo) {
    EXPECT_EQ(StemName(StemOf(0)), "癸");
    EXPECT_EQ(BranchName(BranchOf(0)), "亥");
    EXPECT_EQ(StemName(StemOf(1)), "甲");
    EXPECT_EQ(BranchName(BranchOf(1)), "子");
    EXPECT_EQ(std::string(StemName(StemOf(41))) + std::string(BranchName(BranchOf(41))), "甲辰");
}

TEST(Signs, VoidBranchesFollowTheDecadeOfTheDay) {
    const auto names = [](GanZhi g) {
        const auto v = VoidBranches(g);
        return std::string(BranchName(v[0])) + std::string(BranchName(v[1]));
    };
    EXPECT_EQ(names(1), "戌亥");   // 甲子
    EXPECT_EQ(names(11), "申酉");  // 甲戌
    EXPECT_EQ(names(21), "午未");  // 甲申
    EXPECT_EQ(names(31), "辰巳");  // 甲午
    EXPECT_EQ(names(41), "寅卯");  // 甲辰
    EXPECT_EQ(names(51), "子丑");  // 甲寅
    EXPECT_EQ(names(0), "子丑");   // 癸亥 closes the 甲寅 decade
    EXPECT_EQ(names(10), "戌亥");  // 癸酉 closes the 甲子 decade
}

TEST(Signs, PartnerTablesMatchThePairLists) {
    for (const auto& pair : kHarmonyPairs) {
        EXPECT_EQ(HarmonyPartner(pair[0]), pair[1]);
        EXPECT_EQ(HarmonyPartner(pair[1]), pair[0]);
    }
    for (const auto& pair : kHarmPairs) {
        EXPECT_EQ(HarmPartner(pair[0]), pair[1]);
        EXPECT_EQ(HarmPartner(pair[1]), pair[0]);
    }
    EXPECT_EQ(ClashPartner(branch::kZi), branch::kWu);
    EXPECT_EQ(ClashPartner(branch::kHai), branch::kSi);
}

TEST(Signs, RelationOfTestsClashAndHarmonyBeforePhases) {
    EXPECT_EQ(RelationOf(branch::kZi, branch::kWu), kRelationClash);      // 水 controls 火, but clash first
    EXPECT_EQ(RelationOf(branch::kZi, branch::kChou), kRelationHarmony);  // 土 controls 水, but harmony first
    EXPECT_EQ(RelationOf(branch::kZi, branch::kHai), kRelationSupport);   // same phase
    EXPECT_EQ(RelationOf(branch::kZi, branch::kYin), kRelationSupport);   // 水 generates 木
    EXPECT_EQ(RelationOf(branch::kZi, branch::kSi), kRelationHinder);     // 水 controls 火
    EXPECT_EQ(RelationOf(branch::kZi, branch::kChen), kRelationHinder);   // 土 controls 水
    EXPECT_EQ(RelationOf(branch::kZi, branch::kShen), kRelationSmall);    // 金 generates 水
}

TEST(Signs, SeasonAndGrowthStages) {
    EXPECT_EQ(SeasonStateOf(phase::kWood, branch::kYin), 0);   // 木 in a 寅 month: 旺
    EXPECT_EQ(SeasonStateOf(phase::kFire, branch::kYin), 1);   // 相
    EXPECT_EQ(SeasonStateOf(phase::kEarth, branch::kYin), 4);  // 木 controls 土: 死
    EXPECT_EQ(SeasonStateOf(phase::kMetal, branch::kYin), 3);  // 囚
    EXPECT_EQ(SeasonStateOf(phase::kWater, branch::kYin), 2);  // 休
    // 墓 of each phase.
    EXPECT_EQ(GrowthStageOf(phase::kWater, branch::kChen), kStageMu);
    EXPECT_EQ(GrowthStageOf(phase::kEarth, branch::kChen), kStageMu);
    EXPECT_EQ(GrowthStageOf(phase::kWood, branch::kWei), kStageMu);
    EXPECT_EQ(GrowthStageOf(phase::kFire, branch::kXu), kStageMu);
    EXPECT_EQ(GrowthStageOf(phase::kMetal, branch::kChou), kStageMu);
    EXPECT_EQ(GrowthStageName(GrowthStageOf(phase::kWood, branch::kHai)), "长生");
    EXPECT_EQ(GrowthStageName(GrowthStageOf(phase::kFire, branch::kWu)), "帝旺");
}

TEST(Signs, ChangeStatesOverrideInOrder) {
    EXPECT_EQ(ChangeStateOf(branch::kXu, branch::kChou), kChangeAdvance);  // -9 step
    EXPECT_EQ(ChangeStateOf(branch::kChou, branch::kXu), kChangeRetreat);
    EXPECT_EQ(ChangeStateOf(branch::kChou, branch::kWei), kChangeClash);  // clash overrides 退神
    EXPECT_EQ(BaseChangeStateOf(branch::kChou, branch::kWei), kChangeRetreat);
    EXPECT_EQ(ChangeStateOf(branch::kWei, branch::kXu), kChangeAdvance);
    EXPECT_EQ(ChangeStateOf(branch::kChou, branch::kChen), kChangeTomb);  // 进神 overridden: 辰 is the 墓 of 土
    EXPECT_EQ(ChangeStateOf(branch::kZi, branch::kChen), kChangeTomb);    // 水 into 辰
    EXPECT_EQ(BaseChangeStateOf(branch::kZi, branch::kChen), kChangeBackControl);
    EXPECT_EQ(ChangeStateOf(branch::kHai, branch::kZi), kChangeAdvance);
    EXPECT_EQ(ChangeStateOf(branch::kZi, branch::kHai), kChangeRetreat);
    EXPECT_EQ(ChangeStateOf(branch::kZi, branch::kZi), kChangeSame);
    EXPECT_EQ(ChangeStateOf(branch::kYin, branch::kWu), kChangeLeak);      // 木 generates 火
    EXPECT_EQ(ChangeStateOf(branch::kYin, branch::kHai), kChangeHarmony);  // 回头生 overridden by 合
    EXPECT_EQ(ChangeStateOf(branch::kYin, branch::kShen), kChangeClash);
}

TEST(Signs, BranchTriplesAreRecognisedAsSets) {
    EXPECT_EQ(ClassifyBranchTriple(branch::kHai, branch::kMao, branch::kWei), 1);
    EXPECT_EQ(ClassifyBranchTriple(branch::kZi, branch::kChou, branch::kHai), 10);
    EXPECT_EQ(ClassifyBranchTriple(branch::kXu, branch::kWu, branch::kYin), 2);
    EXPECT_EQ(ClassifyBranchTriple(branch::kShen, branch::kSi, branch::kYin), 22);
    EXPECT_EQ(ClassifyBranchTriple(branch::kWei, branch::kChou, branch::kXu), 21);
    EXPECT_EQ(ClassifyBranchTriple(branch::kZi, branch::kZi, branch::kChen), -1);
    EXPECT_EQ(ClassifyBranchTriple(branch::kZi, branch::kWu, branch::kMao), -1);
    EXPECT_EQ(TripleName(14), "三会西方金");
}

TEST(Hexagrams, EveryStaticCodeLiesInExactlyOnePalaceAndNumbersCoverAllOnce) {
    std::set<int> numbers;
    std::set<std::string> seen[8];
    for (int bits = 0; bits < 64; ++bits) {
        const std::string code = allStaticCode(bits);
        const PalacePlace p = LocatePalace(code);
        EXPECT_EQ(PalaceMemberCode(p.palace, p.rank), code);
        seen[p.palace].insert(code);
        numbers.insert(HexagramNumber(p.palace, p.rank));
        // The top line never changes within a palace.
        EXPECT_EQ(code[0], TrigramCode(p.palace)[0]);
    }
    for (const auto& palace : seen) EXPECT_EQ(palace.size(), 8u);
    EXPECT_EQ(numbers.size(), 64u);
    EXPECT_EQ(*numbers.begin(), 1);
    EXPECT_EQ(*numbers.rbegin(), 64);
}

TEST(Hexagrams, PalaceRankWorldAndResponse) {
    PalacePlace qian = LocatePalace("111111");
    EXPECT_EQ(qian.palace, 0);
    EXPECT_EQ(qian.rank, 1);
    EXPECT_EQ(qian.worldIndex + 1, 6);
    EXPECT_EQ(qian.responseIndex + 1, 3);
    EXPECT_EQ(HexagramNumber(LocatePalace("222222").palace, LocatePalace("222222").rank), 57);

    const PalacePlace dazhuang = LocatePalace("221111");
    EXPECT_EQ(dazhuang.palace, 7);  // 坤
    EXPECT_EQ(dazhuang.rank, 5);
    EXPECT_EQ(HexagramName(HexagramNumber(dazhuang.palace, dazhuang.rank)), "雷天大壮");

    const PalacePlace jin = LocatePalace("121222");
    EXPECT_EQ(jin.rank, 7);
    EXPECT_EQ(jin.worldIndex + 1, 4);
    EXPECT_EQ(RankSuffix(jin.rank), "-游魂");
    const PalacePlace dayou = LocatePalace("121111");
    EXPECT_EQ(dayou.palace, 0);
    EXPECT_EQ(dayou.rank, 8);
    EXPECT_EQ(dayou.worldIndex + 1, 3);

    // Moving marks are removed first.
    const PalacePlace moving = LocatePalace("343434");
    EXPECT_EQ(std::string(moving.staticCode.data()), "121212");
}

TEST(Hexagrams, NamesAreEightBytesInPalaceOrderAndMatchTheirTrigrams) {
    EXPECT_EQ(HexagramTableName(1), "乾为天  ");
    EXPECT_EQ(HexagramTableName(2), "天风姤  ");
    EXPECT_EQ(HexagramTableName(3), "天山遁  ");
    EXPECT_EQ(HexagramTableName(8), "火天大有");
    for (int n = 1; n <= 64; ++n) {
        const std::string code = PalaceMemberCode((n - 1) / 8, (n - 1) % 8 + 1);
        const Trigram upper = TrigramOf(code.substr(0, 3));
        const Trigram lower = TrigramOf(code.substr(3, 3));
        const std::string name = HexagramName(n);
        if (upper == lower) {
            EXPECT_EQ(name, std::string(kTrigramNames[upper]) + "为" + std::string(kTrigramImages[upper])) << n;
        } else {
            EXPECT_EQ(name.substr(0, 6), std::string(kTrigramImages[upper]) + std::string(kTrigramImages[lower])) << n;
        }
    }
}

TEST(Hexagrams, NajiaBranchesAndStems) {
    EXPECT_EQ(branchNames(Najia("111111", false).branches), "子寅辰午申戌");
    EXPECT_EQ(branchNames(Najia("222222", false).branches), "未巳卯丑亥酉");
    EXPECT_EQ(branchNames(Najia("112112", false).branches), "丑亥酉未巳卯");
    // 乾 from 午: inside 午申戌, outside 子寅辰.
    EXPECT_EQ(branchNames(Najia("111111", true).branches), "午申戌子寅辰");
    EXPECT_EQ(branchNames(Najia("111222", true).branches), "未巳卯子寅辰");
    const NajiaLines pi = Najia("111222", false);  // 天地否: 乙 inside, 壬 outside
    EXPECT_EQ(StemName(pi.stems[0]), "乙");
    EXPECT_EQ(StemName(pi.stems[5]), "壬");
    const NajiaLines tai = Najia("222111", false);  // 地天泰: 甲 inside, 癸 outside
    EXPECT_EQ(StemName(tai.stems[0]), "甲");
    EXPECT_EQ(StemName(tai.stems[3]), "癸");
}

TEST(Hexagrams, TrigramCodesMutualAndGuaShen) {
    EXPECT_EQ(TrigramCode(1), "211");
    EXPECT_EQ(TrigramCode(6), "122");
    EXPECT_EQ(TrigramOf("333"), 0);
    EXPECT_EQ(TrigramOf("343"), 2);
    EXPECT_EQ(TrigramOf("12x"), kNoTrigram);
    EXPECT_EQ(MutualCode("111112"), "111111");
    EXPECT_EQ(MutualCode("121222"), "212122");
    EXPECT_EQ(GuaShen(5, branch::kXu), branch::kSi);
    EXPECT_EQ(GuaShen(0, branch::kZi), branch::kZi);
    EXPECT_EQ(GuaShen(0, branch::kChou), branch::kWu);
    EXPECT_EQ(GuaShen(5, branch::kYou), branch::kHai);
}
