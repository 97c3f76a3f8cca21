#pragma once
// Cyclical signs and five-phase relations. The index orders are binding: stored data,
// reports and every rule compute with these numbers. The stem list starts with 癸 and the
// branch list with 亥, so a cycle number mod 10 and mod 12 gives its stem and branch.
#include <array>
#include <string_view>

namespace qingheng {

using Stem = int;            // 癸 0, 甲 1 … 壬 9
using Branch = int;          // 亥 0, 子 1 … 戌 11
using GanZhi = int;          // 甲子 1 … 癸亥 0; -1 = not computed
using Phase = int;           // 水 0, 木 1, 火 2, 土 3, 金 4
using Relative = int;        // 兄弟 0, 子孙 1, 妻财 2, 官鬼 3, 父母 4
using Spirit = int;          // 玄武 0, 青龙 1, 朱雀 2, 勾陈 3, 螣蛇 4, 白虎 5
using SeasonState = int;     // 旺 0, 相 1, 休 2, 囚 3, 死 4
using GrowthStage = int;     // 长生 0 … 养 11
using ChangeState = int;     // see the kChange… constants
using BranchRelation = int;  // see the kRelation… constants

namespace phase {
inline constexpr Phase kWater = 0, kWood = 1, kFire = 2, kEarth = 3, kMetal = 4;
}

namespace branch {
inline constexpr Branch kHai = 0, kZi = 1, kChou = 2, kYin = 3, kMao = 4, kChen = 5, kSi = 6, kWu = 7, kWei = 8,
                        kShen = 9, kYou = 10, kXu = 11;
}

inline constexpr std::array<std::string_view, 10> kStemNames = {"癸", "甲", "乙", "丙", "丁",
                                                                "戊", "己", "庚", "辛", "壬"};
inline constexpr std::array<std::string_view, 12> kBranchNames = {"亥", "子", "丑", "寅", "卯", "辰",
                                                                  "巳", "午", "未", "申", "酉", "戌"};
inline constexpr std::array<std::string_view, 5> kPhaseNames = {"水", "木", "火", "土", "金"};
inline constexpr std::array<std::string_view, 5> kRelativeNames = {"兄弟", "子孙", "妻财", "官鬼", "父母"};
inline constexpr std::array<std::string_view, 6> kSpiritNames = {"玄武", "青龙", "朱雀", "勾陈", "螣蛇", "白虎"};
inline constexpr std::array<std::string_view, 5> kSeasonStateNames = {"旺", "相", "休", "囚", "死"};
inline constexpr std::array<std::string_view, 12> kGrowthStageNames = {"长生", "沐浴", "冠带", "临官", "帝旺", "衰",
                                                                       "病",   "死",   "墓",   "绝",   "胎",   "养"};

// Growth stages that the line evaluation counts as strong at the day.
inline constexpr GrowthStage kStageChangSheng = 0, kStageDiWang = 4, kStageMu = 8;

// Change states of a moving line (the first-stage codes are 0, 10, 20, 1-4).
inline constexpr ChangeState kChangeSame = 0, kChangeAdvance = 10, kChangeRetreat = 20, kChangeLeak = 1,
                             kChangeSpend = 2, kChangeBackControl = 3, kChangeBackGenerate = 4, kChangeClash = 5,
                             kChangeHarmony = 6, kChangeTomb = 7;

// Action of one branch on another.
inline constexpr BranchRelation kRelationClash = 1, kRelationHarmony = 2, kRelationSupport = 3, kRelationHinder = 4,
                                kRelationSmall = 5;

constexpr int mod(int a, int m) { return ((a % m) + m) % m; }

inline constexpr std::array<Phase, 10> kStemPhase = {0, 1, 1, 2, 2, 3, 3, 4, 4, 0};
inline constexpr std::array<Phase, 12> kBranchPhase = {0, 0, 3, 1, 1, 3, 2, 2, 3, 4, 4, 3};

constexpr Phase PhaseOfStem(Stem s) { return kStemPhase[s]; }
constexpr Phase PhaseOfBranch(Branch b) { return kBranchPhase[b]; }
constexpr bool IsYangStem(Stem s) { return s % 2 == 1; }
constexpr bool IsYangBranch(Branch b) { return b % 2 == 1; }

constexpr Stem StemOf(GanZhi g) { return g % 10; }
constexpr Branch BranchOf(GanZhi g) { return g % 12; }

constexpr std::string_view StemName(Stem s) { return kStemNames[s]; }
constexpr std::string_view BranchName(Branch b) { return kBranchNames[b]; }
constexpr std::string_view PhaseName(Phase p) { return kPhaseNames[p]; }
constexpr std::string_view RelativeName(Relative r) { return kRelativeNames[r]; }
constexpr std::string_view SpiritName(Spirit s) { return kSpiritNames[s]; }
constexpr std::string_view SeasonStateName(SeasonState s) { return kSeasonStateNames[s]; }
constexpr std::string_view GrowthStageName(GrowthStage g) { return kGrowthStageNames[g]; }

// 六合, 六冲 and 六害 partners.
constexpr Branch HarmonyPartner(Branch b) { return mod(3 - b, 12); }
constexpr Branch ClashPartner(Branch b) { return (b + 6) % 12; }
inline constexpr std::array<Branch, 12> kHarmPartner = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11, 10};
constexpr Branch HarmPartner(Branch b) { return kHarmPartner[b]; }
constexpr bool Clashes(Branch a, Branch b) { return mod(a - b, 12) == 6; }

// The six harmonies and six harms as the ordered pair lists the system keeps.
inline constexpr std::array<std::array<Branch, 2>, 6> kHarmonyPairs = {
    {{1, 2}, {3, 0}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};
inline constexpr std::array<std::array<Branch, 2>, 6> kHarmPairs = {{{1, 8}, {2, 7}, {3, 6}, {4, 5}, {9, 0}, {10, 11}}};

// The relative of a line whose branch has phase linePhase in a palace of phase palacePhase.
constexpr Relative RelativeOf(Phase linePhase, Phase palacePhase) { return mod(linePhase - palacePhase, 5); }

// 旺相休囚死 of a phase in a month.
SeasonState SeasonStateOf(Phase p, Branch monthBranch);

// 十二长生 stage of a phase at a branch (counted forward for every phase).
GrowthStage GrowthStageOf(Phase p, Branch b);

// The two void branches (旬空) of a day, in printing order.
std::array<Branch, 2> VoidBranches(GanZhi day);

// How branch x acts on branch y.
BranchRelation RelationOf(Branch x, Branch y);

// Three-branch combinations; -1 when the three form none.
int ClassifyBranchTriple(Branch a, Branch b, Branch c);
std::string_view TripleName(int code);

// What a line of branch b turns into when it changes to branch c.
ChangeState ChangeStateOf(Branch b, Branch c);
// The first-stage state (比和/进神/退神/泄气/耗气/回头克/回头生) alone.
ChangeState BaseChangeStateOf(Branch b, Branch c);
std::string_view ChangeStateWord(ChangeState s);

// Two-branch punishments used by the line evaluation.
constexpr bool IsSelfPunishing(Branch b) { return b == 5 || b == 7 || b == 10 || b == 0; }
constexpr bool IsRudePunishment(Branch a, Branch b) { return (a == 1 && b == 4) || (a == 4 && b == 1); }

}  // namespace qingheng
