// Travellers (行人), judged on the use god chosen in the window, and residence (住宅), which
// reads each of the six lines as a part of the house and a member of the household.
#include <fmt/format.h>

#include <algorithm>

#include "topics/TopicTexts.h"

namespace qingheng::topics {
namespace {

// --------------------------------------------------------------------- travellers

constexpr std::array<std::string_view, 3> kTravellerVerdicts = {"用神偏弱，所测行人在外多处境不佳，做事不顺。",
                                                                "用神平和，所测行人在外一切正常，即无喜事也无灾祸。",
                                                                "用神偏强，所测行人在外工作顺利，凡事和顺，凶祸不犯。"};

// ---------------------------------------------------------------------- residence

// What each line stands for in the house and in the household.
constexpr std::array<std::string_view, 6> kHouseParts = {"宅基、井",   "宅舍、灶", "门、床",
                                                         "房间、窗户", "屋旁马路", "栋梁、墙壁"};
constexpr std::array<std::string_view, 6> kPersons = {"小孩", "妻子", "兄弟", "母亲", "父亲", "祖上"};

constexpr std::array<std::string_view, 3> kWorldVerdicts = {"世爻偏弱，此房较为破旧或主人多有不顺之事。\r\n",
                                                            "世爻平和，此房一般或主人为普通人。\r\n",
                                                            "世爻偏强，房屋高大而辉煌或宅主事业兴旺发达。\r\n"};

// A line's verdict: its opening, then a format taking the house part and the person.
struct LineVerdict {
    std::string_view opening;
    std::string_view house;
};
constexpr std::array<LineVerdict, 3> kLineVerdicts = {{
    {"偏弱，在房屋上表现为", "{}较为破旧，在人口上表现为{}身体不好或命运较差。\r\n"},
    {"平和，在房屋上表现为", "{}半新半旧，在人口上表现为{}为普通的正常人。\r\n"},
    {"偏强，在房屋上表现为", "{}崭新而坚固，在人口上表现为{}体健聪明或福气佳。\r\n"},
}};

constexpr Branch kHai = branch::kHai, kZi = branch::kZi, kChou = branch::kChou, kYin = branch::kYin,
                 kMao = branch::kMao, kChen = branch::kChen, kWei = branch::kWei, kYou = branch::kYou,
                 kXu = branch::kXu;
constexpr Phase kWater = phase::kWater, kWood = phase::kWood, kFire = phase::kFire, kEarth = phase::kEarth,
                kMetal = phase::kMetal;

Phase changedPhase(const Frame& f, int i) { return PhaseOfBranch(f.changedBranch(i)); }
bool monthOrDayClashes(const Frame& f, Branch b) { return f.monthClashes(b) || f.dayClashes(b); }
bool earthAndMetal(Phase a, Phase b) { return (a == kEarth && b == kMetal) || (a == kMetal && b == kEarth); }
// Message index of rules that name four relatives: 兄弟, 妻财, 官鬼, 父母 (子孙 gives none).
int withoutZiSun(Relative r) { return r == kZiSun ? -1 : r == kXiongDi ? 0 : r - 1; }

const Rule kResidenceRules[] = {
    {1,
     [](const Frame& f) {
         return phaseStep(PhaseOfTrigram(f.chart.main.lower), PhaseOfTrigram(f.chart.main.upper)) == 3;
     },
     "◆内卦为宅，外卦为人，宅克人不吉。"},
    {2,
     [](const Frame& f) {
         return phaseStep(PhaseOfTrigram(f.chart.main.upper), PhaseOfTrigram(f.chart.main.lower)) == 3;
     },
     "◆内卦为宅，外卦为人，人克宅吉。"},
    {3,
     [](const Frame& f) {
         return oneOf(f.relative(0), {kQiCai, kZiSun});
     },
     "◆初爻为房屋根基，临妻财、子孙吉。"},
    {4, [](const Frame& f) { return f.relative(0) == kGuanGui; }, "◆初爻为房屋根基，临官鬼凶。"},
    {5,
     [](const Frame& f) { return f.phase(0); },
     {"◆初爻临水，则井水清澈。", "◆初爻临木，则井边有树。", "◆初爻临火，则井水常干。", "◆初爻临土，则井水混浊。",
      "◆初爻临金，则井水清而莹洁。"}},
    {6, [](const Frame& f) { return f.isVoid(f.branch(0)) && f.relative(0) == kGuanGui; },
     "◆初爻临鬼又空，必是破废之井。"},
    {7,
     [](const Frame& f) {
         return oneOf(f.branch(0), {kChen, kXu, kChou, kWei}) && monthOrDayClashes(f, f.branch(0));
     },
     "◆初爻临辰戌丑未之土，被日月冲破者，其宅基不是新的，有破缺。"},
    {8, [](const Frame& f) { return earthAndMetal(f.phase(0), changedPhase(f, 0)); },
     "◆初爻土化金、金化土，为新开之基。"},
    {9, [](const Frame& f) { return f.phase(0) == kEarth && changedPhase(f, 0) == kEarth; }, "◆初爻土化土，为坟之基。"},
    {10,
     [](const Frame& f) {
         return oneOf(f.relative(0), {kGuanGui, kFuMu}) && f.spirit(0) == kBaiHu;
     },
     "◆初爻临官鬼、父母发动临白虎，伤小口、佣人。"},
    {11, [](const Frame& f) { return GrowthStageOf(f.guan.phase, f.branch(0)) == kStageMu; },
     "◆初爻临官鬼之墓者，其宅基原有古墓。"},
    {12,
     [](const Frame& f) {
         return oneOf(f.branch(0), {kHai, kZi}) && f.spirit(0) == kBaiHu;
     },
     "◆初爻亥子水临白虎，房屋附近有桥梁。"},
    {13,
     [](const Frame& f) {
         return f.branch(0) == kYin && oneOf(f.spirit(0), {kQingLong, kZhuQue}) && f.relative(0) != kGuanGui;
     },
     "◆初爻临寅木吉神，其宅有好猫捕鼠。"},
    {14, [](const Frame& f) { return f.phase(0) == kWood && f.relative(0) == kGuanGui; },
     "◆初爻木值官鬼，主其家左方附近有树根穿破屋基。"},
    {15, [](const Frame& f) { return f.worldLine == 1 && f.relative(1) == kFuMu && !f.lineProsperous(1); },
     "◆二爻临父母持世，休囚，房屋破落不堪。"},
    {16, [](const Frame& f) { return f.phase(1) == kWood && f.relative(1) == kGuanGui; },
     "◆木爻官鬼居二爻，灶上有横梁。"},
    {17, [](const Frame& f) { return f.phase(1) == kFire && f.relative(1) == kGuanGui && f.spirit(1) == kZhuQue; },
     "◆二爻火鬼并朱雀，主有火灾。"},
    {18, [](const Frame& f) { return f.worldLine == 1 && f.relative(1) == kGuanGui; }, "◆世鬼居二爻，此屋不是祖产。"},
    {19, [](const Frame& f) { return earthAndMetal(f.phase(1), changedPhase(f, 1)); },
     "◆二爻土化金、金化土，乃是新造之屋。"},
    {20, [](const Frame& f) { return f.relative(1) == kZiSun && f.lineProsperous(1); },
     "◆二爻临子孙，旺相有气，家安丰足。"},
    {21, [](const Frame& f) { return f.phase(1) == kWood && f.dayClashes(f.branch(1)); },
     "◆二爻临木，被日辰冲破，其锅破碎。"},
    {22,
     [](const Frame& f) { return f.phase(1) == kEarth && monthOrDayClashes(f, f.branch(1)) && f.spirit(1) == kXuanWu; },
     "◆二爻临土并玄武，被日月冲克，灶前不洁或是破灶。"},
    {23, [](const Frame& f) { return f.relative(1) == kGuanGui && f.lineProsperous(1) && f.spirit(1) == kQingLong; },
     "◆二爻官旺临青龙，主有官职。"},
    {24, [](const Frame& f) { return f.responseLine == 1; }, "◆二爻临应爻，主有外人同居，或寄居。"},
    {25, [](const Frame& f) { return f.branch(1) == f.peachBlossom() && f.spirit(1) == kXuanWu; },
     "◆桃花玄武居二爻，防男女淫乱。"},
    {26, [](const Frame& f) { return f.relative(1) == kGuanGui && f.spirit(1) == kBaiHu; },
     "◆二爻官鬼临白虎，有脓血之灾。"},
    {27, [](const Frame& f) { return f.phase(1) == kWater; }, "◆二爻临水，池塘沼泽填土为基。"},
    {28,
     [](const Frame& f) { return f.lineMoves(1) ? f.phase(1) : -1; },
     {"◆二爻临水动，傍水居。", "◆二爻临木动，风水恶。", "◆二爻临火动，闹路中，有口舌。", "◆二爻临土动，生瘟气。",
      "◆二爻临金动，公事至。"}},
    {29, [](const Frame& f) { return f.relative(1) == kGuanGui || (f.worldLine == 1 && f.branch(1) == f.day); },
     "◆二爻临世并日辰，或官鬼居二爻，主他人之屋，或租借之屋。"},
    {30, [](const Frame& f) { return f.relative(1) == kGuanGui && f.lineMoves(1); }, "◆二爻官鬼宜安静，动则住不久。"},
    {31, [](const Frame& f) { return f.dayClashes(f.branch(1)); }, "◆二爻被冲破，夫妻少恩情，各有主张。"},
    {32, [](const Frame& f) { return f.relative(2) == kXiongDi && f.branch(2) == kMao; },
     "◆三爻临卯木兄弟，神堂前有床榻。"},
    {33, [](const Frame& f) { return f.relative(2) == kGuanGui && f.phase(2) == kMetal; }, "◆三爻金鬼，香炉破损。"},
    {34, [](const Frame& f) { return f.relative(2) == kGuanGui && f.phase(2) == kWood && f.lineProsperous(2); },
     "◆三爻木鬼青龙旺相，神牌必然新制。"},
    {35, [](const Frame& f) { return f.relative(2) == kXiongDi && f.relative(3) == kXiongDi; },
     "◆三爻四爻俱兄弟，主屋少门多，耗费钱财。"},
    {36, [](const Frame& f) { return monthOrDayClashes(f, f.branch(2)); }, "◆日月冲克三爻，其家出入不走正门走旁门。"},
    {37, [](const Frame& f) { return Clashes(f.branch(3), f.branch(2)); },
     "◆若四爻冲克三爻，家中门门相对，此为穿心不利。"},
    {38, [](const Frame& f) { return f.relative(2) == kZiSun && f.branch(2) == kMao; }, "◆三爻临卯木财福，床帐新鲜。"},
    {38, [](const Frame& f) { return f.relative(2) == kZiSun && f.branch(2) == kMao && f.spirit(2) == kTengShe; },
     "◆三爻临卯木财福，会螣蛇，主妇女在床有意外惊虚。"},
    {39,
     [](const Frame& f) {
         return rel(f.year, f.branch(2)) == kRelationHarmony || rel(f.day, f.branch(2)) == kRelationHarmony;
     },
     "◆三爻为大门，与日辰太岁相合，其向大利。"},
    {40,
     [](const Frame& f) {
         return rel(f.year, f.branch(2)) == kRelationClash || rel(f.day, f.branch(2)) == kRelationClash;
     },
     "◆三爻为大门，与日辰太岁相冲，其向不利。"},
    {41, [](const Frame& f) { return f.relative(2) == kGuanGui && f.spirit(2) == kBaiHu && f.lineMoves(2); },
     "◆三爻官鬼临白虎发动，多招口舌是非等不顺之事。"},
    {42, [](const Frame& f) { return f.relative(2) == kXiongDi && f.spirit(2) == kBaiHu && f.lineMoves(2); },
     "◆三爻临兄弟白虎发动，破耗多端，资财不聚。"},
    {43, [](const Frame& f) { return f.relative(2) == kFuMu && f.changedRelative(2) == kFuMu; },
     "◆三爻父化父，有两扇门。"},
    {44,
     [](const Frame& f) {
         const Branch b = f.branch(2);
         return monthOrDayClashes(f, b) || f.yearClashes(b) ? withoutZiSun(f.relative(2)) : -1;
     },
     {"◆三爻为大门，如被年、月、日冲破，临兄弟，破墙败壁。", "◆三爻为大门，如被年、月、日冲破，临妻财，厨房破。",
      "◆三爻为大门，如被年、月、日冲破，临官鬼，厅破。", "◆三爻为大门，如被年、月、日冲破，临父母，堂屋破。"}},
    {45, [](const Frame& f) { return f.relative(3) == kZiSun && f.spirit(3) == kQingLong; }, "◆四爻临财福青龙吉。"},
    {46, [](const Frame& f) { return rel(f.branch(1), f.branch(3)) == kRelationHarmony; }, "◆二爻与四爻相合，门楼新。"},
    {47, [](const Frame& f) { return f.relative(3) == kGuanGui && f.spirit(3) == kZhuQue; },
     "◆四爻官鬼朱雀临之，有官非讼事临门。"},
    {48, [](const Frame& f) { return f.relative(3) == kXiongDi && f.phase(3) == kWater && f.spirit(3) == kXuanWu; },
     "◆四爻临兄弟亥子水玄武，必有池塘水侵家宅。"},
    {49, [](const Frame& f) { return f.relative(3) == kXiongDi && f.spirit(3) == kTengShe; },
     "◆四爻兄弟临螣蛇，邻居有坑厕妨碍。"},
    {50, [](const Frame& f) { return f.isVoid(f.branch(3)) && f.dayClashes(f.branch(3)) && !f.lineProsperous(3); },
     "◆四爻空亡日破之地，当无大门或破门。"},
    {51, [](const Frame& f) { return f.relative(3) == kGuanGui; }, "◆四爻临官鬼，家不宁，有官非口舌之事。"},
    {52, [](const Frame& f) { return f.relative(3) == kGuanGui && f.spirit(3) == kTengShe && f.lineMoves(3); },
     "◆螣蛇并官鬼动于四爻，有妖怪和梦惊之事。"},
    {53, [](const Frame& f) { return f.relative(4) == kGuanGui; }, "◆五爻临鬼主分离。"},
    {54, [](const Frame& f) { return f.relative(4) == kZiSun; }, "◆五爻子孙居之，人福口安。"},
    {55, [](const Frame& f) { return phaseStep(f.phase(4), f.phase(1)) == 3; }, "◆五爻为人，克二爻，人口安宁。"},
    {56,
     [](const Frame& f) {
         return f.relative(4) == kGuanGui && oneOf(f.spirit(4), {kTengShe, kBaiHu});
     },
     "◆五爻临官鬼蛇虎，主长子有悔之事。"},
    {57, [](const Frame& f) { return f.worldLine == 4 && f.relative(4) == kQiCai && !isYang(f.shi); },
     "◆五爻临阴财持世，主妇女掌家政。"},
    {58, [](const Frame& f) { return f.phase(4) == kWater; }, "◆五爻临水，房屋附近有水或房边有水。"},
    {59, [](const Frame& f) { return f.worldLine == 5; }, "◆上爻临世，必主离祖成家。"},
    {60, [](const Frame& f) { return monthOrDayClashes(f, f.branch(5)) && f.branch(5) == kYou; },
     "◆上爻临酉金，被日月冲之，其家不安有灾祸。"},
    {61, [](const Frame& f) { return f.relative(5) == kQiCai && f.isVoid(f.branch(5)) && !f.lineProsperous(5); },
     "◆上爻临财遇旬空，妻妾无力。"},
    {62, [](const Frame& f) { return present(f.fu) && absent(f.zisun); }, "◆卦有父母无子孙者，其家虚耗，多烦恼。"},
    {63, [](const Frame& f) { return f.isVoid(f.fu) && !prosperous(f.fu) && still(f.fu); }, "◆父母空亡，宅必危。"},
    {64, [](const Frame& f) { return f.fu.score == 2 && f.zisun.score == 2 && f.cai.score == 2; },
     "◆父子财爻都旺相，钱财兴旺之象。"},
    {65, [](const Frame& f) { return present(f.fu) && moves(f.fu); }, "◆父母爻宜静，不宜动，动则家中多烦恼之事。"},
    {66, [](const Frame& f) { return f.worldHolds(kFuMu); }, "◆父母持世承祖居。"},
    {67, [](const Frame& f) { return present(f.zisun) && absent(f.fu); }, "◆有子孙无父母爻，其人孤独。"},
    {68, [](const Frame& f) { return present(f.xiong) && moves(f.xiong) && f.xiong.branch == kMao; },
     "◆兄弟临卯木，当以床榻论之，发动多主再娶。"},
    {69, [](const Frame& f) { return present(f.guan) && absent(f.cai); }, "◆有鬼无财，其家多病因，生灾不已。"},
    {70, [](const Frame& f) { return present(f.cai) && absent(f.guan); }, "◆有财无鬼多耗散。"},
    {71, [](const Frame& f) { return present(f.guan) && moves(f.guan) && f.spirit(f.guan.line) == kBaiHu; },
     "◆官鬼临白虎发动，此屋人有灾殃。"},
    {72, [](const Frame& f) { return present(f.guan) && f.guan.change == kChangeTomb; }, "◆鬼化入墓，此屋不吉利。"},
    {73, [](const Frame& f) { return f.worldHolds(kGuanGui); }, "◆鬼爻持世，女人染疯癫和蒙昧不明之事。"},
    {74, [](const Frame& f) { return present(f.guan) && prosperous(f.guan) && moves(f.guan) && absent(f.zisun); },
     "◆鬼兴无制，屋有怪异。"},
    {75,
     [](const Frame& f) {
         return present(f.guan) && moves(f.guan) && oneOf(f.trigramOf(f.guan.line), {kGen, kKun});
     },
     "◆鬼动坤艮宫中，主家中祖坟不安，兴灾作祸。"},
    {76, [](const Frame& f) { return Clashes(f.guan.branch, f.cai.branch); }, "◆财官相冲，夫妻反目。"},
    {77,
     [](const Frame& f) {
         return rel(f.cai.branch, f.ying.branch) == kRelationHarmony && f.spirit(f.cai.line) == kXuanWu;
     },
     "◆妻财与应相合，临玄武，主妻有外情。"},
    {78, [](const Frame& f) { return f.cai.line < 3 && f.cai.phase == kWater && f.cai.score == 2; },
     "◆财临水而内旺，宜挖井。"},
    {79, [](const Frame& f) { return present(f.cai) && moves(f.cai); },
     "◆财宜静不宜动，动则有耗损，而且妻有疾病，有后悔之事。"},
    {80, [](const Frame& f) { return prosperous(f.cai) && f.cai.score == 2 && f.xiong.score == 0 && present(f.zisun); },
     "◆财爻无损，子孙爻出现，其宅荣丰。"},
    {81,
     [](const Frame& f) { return f.monthClashes(f.cai.branch) && moves(f.xiong) && f.spirit(f.xiong.line) == kBaiHu; },
     "◆财临月破，兄弟临白虎发动，主破夫家。"},
    {82, [](const Frame& f) { return present(f.cai) && moves(f.cai) && prosperous(f.cai) && present(f.zisun); },
     "◆财得子孙生助动来克父母，主伤父母，爻临阳克父，爻临阴克母。"},
    {83, [](const Frame& f) { return absent(f.zisun); },
     "◆子孙为福神，卦无子孙财无源，必耗散，鬼无制，官灾是非多，为平常之屋。"},
    {84, [](const Frame& f) { return moves(f.zisun) && present(f.zisun) && f.zisun.branch == f.day; },
     "◆子孙临日辰动，剥官削职。"},
    {85, [](const Frame& f) { return present(f.cai) && f.changedRelative(f.cai.line) == kZiSun; },
     "◆财化子孙，不利官。"},
    {86,
     [](const Frame& f) {
         return oneOf(rel(f.branch(4), f.fu.branch), {2, 3, 5}) && f.relative(4) == kZiSun;
     },
     "◆子孙爻临五爻与父爻相生合，是子承父业之家。"},
    {87, [](const Frame& f) { return f.worldHolds(kQiCai) && f.zisun.count == 2; },
     "◆子孙内外生世，无冲克，多招财物。"},
    {88,
     [](const Frame& f) {
         return oneOf(rel(f.day, f.shi.branch), {2, 3}) && oneOf(rel(f.day, f.chart.guaShen), {2, 3});
     },
     "◆日辰与世身相生，主双胎。"},
    {89,
     [](const Frame& f) {
         const Phase body = PhaseOfBranch(f.chart.guaShen);
         return body == f.shi.phase && body == f.ying.phase;
     },
     "◆身与世应同爻，主有两姓之子。"},
    {90,
     [](const Frame& f) {
         return oneOf(f.cai.phase, {kWater, kWood}) && f.spirit(f.cai.line) == kQingLong;
     },
     "◆青龙临水木财爻，主得妻财。"},
    {91,
     [](const Frame& f) {
         return present(f.cai) && oneOf(f.spirit(f.cai.line), {kXuanWu, kGouChen});
     },
     "◆勾陈玄武临财，女多凶祸。"},
    {92,
     [](const Frame& f) {
         if (!(f.guan.branch == f.month && f.spirit(f.guan.line) == kGouChen && moves(f.guan))) return -1;
         return inUpperTrigram(f.guan) ? 0 : 1;
     },
     {"◆勾陈临月建逢鬼，外动谋事多迟滞。", "◆勾陈临月建逢鬼，内动宅神不安。"}},
    {93, [](const Frame& f) { return f.spirit(3) == kTengShe && f.lineMoves(3); },
     "◆螣蛇主怪异之事，动于四爻上，家出怪异梦惊魂。"},
    {94, [](const Frame& f) { return !isYang(f.guan) && f.spirit(f.guan.line) == kTengShe; },
     "◆螣蛇临阴鬼，多做怪梦。"},
    {94,
     [](const Frame& f) {
         if (!(!isYang(f.guan) && f.spirit(f.guan.line) == kTengShe && moves(f.guan))) return -1;
         return inUpperTrigram(f.guan) ? 0 : 1;
     },
     {"◆螣蛇临阴鬼，外动防锉墙穿壁之贼。", "◆螣蛇临阴鬼，内动奴婢、小儿走失。"}},
};

// Rule 95: the spirit checks of every line, bottom to top, in this order within a line.
struct LineRule {
    bool (*test)(const Frame&, int line);
    std::string_view message;
};

const LineRule kSpiritChecks[] = {
    {[](const Frame& f, int i) {
         return f.spirit(i) == kTengShe && f.branch(i) == f.month &&
                (oneOf(rel(f.branch(i), f.shi.branch), {1, 4}) || i == f.worldLine);
     },
     "◆螣蛇临月建，主有牵连之事，克世临世，宅主夜梦不安。"},
    {[](const Frame& f, int i) {
         return f.spirit(i) == kTengShe && f.branch(i) == f.month && oneOf(rel(f.branch(i), f.ying.branch), {1, 4});
     },
     "◆螣蛇临月建，主有牵连之事，克应，宅母夜梦不宁。"},
    {[](const Frame& f, int i) {
         return f.spirit(i) == kZhuQue && (f.branch(i) == f.month || f.branch(i) == f.day) && f.lineMoves(i);
     },
     "◆朱雀临日月并动爻，须防火灾。"},
    {[](const Frame& f, int i) { return f.spirit(i) == kBaiHu && f.relative(i) == kZiSun; }, "◆白虎临子孙，长房不安。"},
    {[](const Frame& f, int i) {
         return f.spirit(i) == kBaiHu && f.isVoid(f.branch(i)) && !f.lineProsperous(i) && f.lineMoves(i);
     },
     "◆白虎空亡休囚而动，主远年建造破旧之屋。"},
    {[](const Frame& f, int i) { return f.spirit(i) == kXuanWu && f.branch(i) == f.peachBlossom(); },
     "◆玄武合咸池，主阴私淫乱之事。"},
};

bool anyLine(const Frame& f, bool (*test)(const Frame&, int)) {
    for (int i = 0; i < 6; ++i) {
        if (test(f, i)) return true;
    }
    return false;
}

const Rule kResidenceClosingRules[] = {
    {96, [](const Frame& f) { return f.spirit(2) == kBaiHu; }, "◆白虎临三爻，其家有人出家为僧、道。"},
    {97, [](const Frame& f) { return f.moving == 0; }, "◆六爻俱静人宅安。"},
    {98,
     [](const Frame& f) { return f.lineMoves(5) ? f.relative(5) : -1; },
     {"◆卦中上爻看动静，兄动夫妻不团圆。", "◆卦中上爻看动静，子孙动喜事重重。",
      "◆卦中上爻看动静，财动克父母，女人不正。", "◆卦中上爻看动静，官动灾祸难言。", "◆卦中上爻看动静，父动小儿忧。"}},
    {99,
     [](const Frame& f) {
         return isHarmonyOrMeeting(frame(f.shi.branch, f.ying.branch, f.cai.branch)) && f.guan.count == 2;
     },
     "◆世应财爻三合，逢两鬼，当有偏正之夫。"},
    {100,
     [](const Frame& f) {
         return oneOf(rel(f.shi.branch, f.ying.branch), {2, 3, 5}) ? 0 : 1;
     },
     {"◆世应相生合吉利。", "◆世应相克害不利。"}},
    {101,
     [](const Frame& f) {
         return oneOf(f.monthPhase, {kWater, kWood}) &&
                anyLine(f, [](const Frame& g, int i) { return g.phase(i) == kWood && g.lineMoves(i); });
     },
     "◆木爻旺相发动，其屋建造宏丽。"},
    {102, [](const Frame& f) { return anyLine(f, [](const Frame& g, int i) { return g.branch(i) == kMao; }); },
     "◆卦中现卯木，必有篱笆，或有铁栏杆、围墙之类。"},
};

// Rule 103: the phases of the six main branches counted.
constexpr std::array<std::string_view, 5> kMissingPhase = {
    "◆测宅，卦中无水，沟流不通。", "◆测宅，卦中无木，床榻破而桌椅损。", "◆测宅，卦中无火，香火冷而灶失修。",
    "◆测宅，卦中无土，看平地而起高楼。", "◆测宅，卦中无金，家资贫而人不居。"};
constexpr std::array<std::string_view, 5> kAbundantPhase = {
    "◆测宅，卦中水多，则女人旺。", "◆测宅，卦中木多，则人清秀。", "◆测宅，卦中火多，则人事烦。",
    "◆测宅，卦中土多，则财帛盛。", "◆测宅，卦中金多，则妇女多。"};

void appendPhaseCensus(std::string& out, const Frame& f) {
    std::array<int, 5> count{};
    for (int i = 0; i < 6; ++i) ++count[f.phase(i)];
    const int most = *std::max_element(count.begin(), count.end());
    for (Phase p = 0; p < 5; ++p) {
        // A phase is strong in the month when it is the month's phase or the one it generates.
        const bool strongInMonth = p == f.monthPhase || p == (f.monthPhase + 1) % 5;
        if (count[p] == 0) out.append(kMissingPhase[p]).append("\r\n");
        if (count[p] == most && strongInMonth) out.append(kAbundantPhase[p]).append("\r\n");
    }
}

}  // namespace

std::string travellersText(const Frame& f) {
    std::string out = fmt::format("{}预测：\n", TopicName(kTopicTravellers));
    const Relative r = f.chart.useGod.relative;
    const std::string_view name = RelativeName(r);
    const UseGodReading u = readUseGod(f, r, name);
    if (u.present()) {
        out.append(fmt::format("\n◆ {}爻{}", u.lineNumber(), name));
    } else {
        out.append("\n◆用神未上卦，要找之人难寻。").append(fmt::format("\n◆可看伏神 {}爻{}", u.lineNumber(), name));
    }
    out.append(u.analysis.text).append(kTravellerVerdicts[u.verdict()]);
    const Trigram from = f.trigramOf(u.pick.line);
    const Trigram to = f.changedTrigramOf(u.pick.line);
    if (from != to) {
        out.append(fmt::format("\n◆行人由{}宫变到{}宫，出门方向为先到{}方再到{}方。", TrigramName(from),
                               TrigramName(to), kTrigramPlaces[from], kTrigramPlaces[to]));
    } else {
        out.append(fmt::format("\n◆行人在{}宫，可到{}方去找。", TrigramName(from), kTrigramPlaces[from]));
    }
    out.append(timingSection(f, u, "\n\n●定应期:"));
    return out;
}

std::string residenceText(const Frame& f) {
    std::string out = fmt::format("{}预测：\r\n", TopicName(kTopicResidence));
    const int world = f.worldLine;
    out.append(fmt::format("\r\n◆世爻{}", RelativeName(f.relative(world))));
    const LineEvaluation worldAnalysis = EvaluateLine(f.chart, "世爻", world, f.branch(world));
    out.append(worldAnalysis.text).append(kWorldVerdicts[worldAnalysis.score]);
    if (f.rank() == 7) out.append("◆卦遇游魂，住不安稳，多动之像。\r\n");
    if (f.rank() == 8) out.append("◆卦遇归魂，常住之宅，家宅安稳平静。\r\n");
    for (int i = 0; i < 6; ++i) {
        const std::string label = fmt::format("{}爻", i + 1);
        const LineEvaluation analysis = EvaluateLine(f.chart, label, i, f.branch(i));
        const LineVerdict& verdict = kLineVerdicts[analysis.score];
        out.append("◆").append(label).append(analysis.text).append(verdict.opening);
        out.append(fmt::format(fmt::runtime(verdict.house), kHouseParts[i], kPersons[i]));
    }
    appendRules(out, f, kResidenceRules, "", "\r\n");
    for (int i = 0; i < 6; ++i) {
        for (const LineRule& check : kSpiritChecks) {
            if (check.test(f, i)) out.append(check.message).append("\r\n");
        }
    }
    appendRules(out, f, kResidenceClosingRules, "", "\r\n");
    appendPhaseCensus(out, f);
    return out;
}

}  // namespace qingheng::topics
