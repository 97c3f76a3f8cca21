// The two money topics: wealth (财运), judged on 妻财 with its source 子孙 and its enemy
// 兄弟, and business (生意), judged on the world, the response and 妻财.
#include <fmt/format.h>

#include "platform/StringTable.h"
#include "topics/TopicTexts.h"

namespace qingheng::topics {
namespace {

// ------------------------------------------------------------------------- wealth

constexpr int kWorldRelativeTexts = 7200;  // + relative of the world line

constexpr std::array<std::string_view, 3> kWealthVerdicts = {
    "财爻偏弱，钱财少或较难得到。", "财爻不旺也不弱，钱财一般。", "财爻偏强，钱财多而称意或财物易得。"};

// By rel(flying branch, hidden branch), 1 to 5.
constexpr std::array<std::string_view, 6> kFlyingOnHidden = {"",
                                                             "\n◆飞神和伏神相冲，财爻不能出，求财难。",
                                                             "\n◆飞神和伏神相合，财爻不能出，须待冲飞神之日。",
                                                             "\n◆飞神生扶伏神，财爻有用，财可谋。",
                                                             "\n◆飞神克耗伏神，财爻不能出，求财难。。",
                                                             "\n◆飞神对伏神作用力小，伏神若生旺就可用。"};

// By the phase of the use god's branch.
constexpr std::array<std::string_view, 5> kTradeByPhase = {
    "\n◆财爻属水，钱财多与水利、水产、渔业、茶艺、旅馆、新闻业、贸易业、演艺等较具流动变化之行业有关。",
    "\n◆财爻属木，钱财多与木材、家俱、纸业、纺织、图书、木竹手工艺等有关。",
    "\n◆财爻属火，钱财多与电器、液化气、美容、化妆品、灯饰、百货业、照明、火药等易燃物有关。",
    "\n◆财爻属土，钱财多与矿产、房地产、土产、农畜牧业、建筑等较固定行业有关。",
    "\n◆财爻属金，钱财多与金属、机械、家电、钟表、车辆运输、金融、证券、科技等有关。"};

// The source 原神 and the enemy 忌神 of wealth, each judged line by line.
struct HelperPass {
    Relative relative;
    std::string_view heading;
    std::array<std::string_view, 3> verdicts;
    std::string_view none;
    std::string_view twice;
};

constexpr HelperPass kSourcePass = {
    kZiSun,
    "\n★原神：",
    {"原神偏弱，财源较小，难有大财。", "原神平和，财源正常。", "原神偏强，财源大且广，钱财不断。"},
    "原神子孙未上卦，没有财源或求财不得。",
    "\n◆原神两现，财源多。"};
constexpr HelperPass kEnemyPass = {
    kXiongDi,
    "\n★忌神：",
    {"忌神偏弱，财爻有用，利于求财。", "忌神平和，需待机发可求财。", "忌神偏强，财星被制，求财困难。"},
    "忌神兄弟未上卦，求财阻力小，容易得财。'",
    "\n◆忌神两现，求财阻力多。"};

void appendHelperPass(std::string& out, const Frame& f, const HelperPass& pass) {
    out.append(pass.heading);
    const std::string_view name = RelativeName(pass.relative);
    int lines = 0;
    for (int i = 0; i < 6; ++i) {
        if (f.relative(i) != pass.relative) continue;
        ++lines;
        const LineEvaluation analysis = EvaluateLine(f.chart, name, i, f.branch(i));
        out.append(fmt::format("{}{}", i + 1, name)).append(analysis.text).append(pass.verdicts[analysis.score]);
    }
    if (lines == 0) out.append(pass.none);
    if (lines == 2) out.append(pass.twice);
}

const Rule kWealthRules[] = {
    {1,
     [](const Frame& f) {
         return (f.zisun.branch == f.month || f.zisun.branch == f.day) && moves(f.zisun) && present(f.cai);
     },
     "子孙临月建、日辰，动来与财相生相合，财大而求必得。"},
    {2,
     [](const Frame& f) {
         return moves(f.zisun) && f.spirit(f.zisun.line) == kQingLong && present(f.cai) && f.shi.score >= 1;
     },
     "子孙临青龙发动而生财合财，世旺得地，财运亨通金银来。"},
    {3, [](const Frame& f) { return f.cai.count >= 2 && prosperous(f.cai) && f.shi.score == 2; },
     "财多财旺，世在旺地能胜财。"},
    {4,
     [](const Frame& f) {
         return (moves(f.zisun) && present(f.zisun) && f.changedRelative(f.zisun.line) == kQiCai) ||
                (moves(f.cai) && present(f.cai) && f.changedRelative(f.cai.line) == kZiSun);
     },
     "子孙动而化财，或财动而化子孙，皆主财源丰厚，求易得。"},
    {5,
     [](const Frame& f) {
         const int combination = frame(f.shi.branch, f.cai.branch, f.zisun.branch);
         return isHarmonyOrMeeting(combination) && f.helpsWorld(phaseOfCombination(combination));
     },
     "世爻与财爻、子孙合局，生扶世爻，不论公私求财，必得万倍之大利。"},
    {6,
     [](const Frame& f) {
         return present(f.guan) && f.changedRelative(f.guan.line) == kQiCai && f.helpsWorld(f.guan.phase);
     },
     "官鬼化财生世爻，最利公家官方求财。"},
    {7, [](const Frame& f) { return present(f.guan) && moves(f.guan) && f.helpsWorld(f.guan.phase); },
     "九流之士遇官鬼发动，生扶世爻，必然称心满意。"},
    {8, [](const Frame& f) { return moves(f.xiong) && moves(f.zisun) && f.moving < 3; },
     "兄弟发动，子孙也发动，则财愈加根深蒂固。"},
    {9, [](const Frame& f) { return f.worldHolds(kXiongDi); }, "世爻克财，不讲也是求财，但求财不易。"},
    {10, [](const Frame& f) { return f.worldHolds(kFuMu) && present(f.cai) && moves(f.cai); },
     "测求财，得财来克世，是财寻我，凡谋易成，是易得之象。"},
    {11, [](const Frame& f) { return f.cai.count >= 2 && prosperous(f.cai); },
     "财多财旺，求而可得，但必须待财入墓库之日方可到手。"},
    {12, [](const Frame& f) { return f.worldHolds(kGuanGui) && present(f.cai) && moves(f.cai); },
     "官爻持世，财动生之，是易得之象。"},
    {13,
     [](const Frame& f) {
         return (present(f.guan) && f.changedRelative(f.guan.line) == kQiCai) ||
                (present(f.cai) && f.changedRelative(f.cai.line) == kGuanGui);
     },
     "鬼化财或财化鬼，有吉有凶。"},
    {14, [](const Frame& f) { return f.moving == 0 && f.worldHolds(kGuanGui) && present(f.cai); },
     "世爻安静，若得财来生之，求而易得。"},
    {15, [](const Frame& f) { return f.sixHarmony() && prosperous(f.cai) && f.moving > 0; },
     "测财遇六合卦，财爻旺相，为吉祥之象，求财吉。"},
    {16, [](const Frame& f) { return f.worldHolds(kQiCai) && f.shi.change == kChangeAdvance; },
     "财爻持世主财荣，化进神，实为锦上添花。"},
    {17, [](const Frame& f) { return moves(f.xiong) && moves(f.guan); }, "官兄同动财无伤。"},
    {18, [](const Frame& f) { return present(f.fu) && moves(f.fu) && f.changedRelative(f.fu.line) == kQiCai; },
     "父化财财难得，必得经辛苦奔波方可得。"},
    {19,
     [](const Frame& f) {
         return f.worldHolds(kGuanGui) && f.cai.score == 2 && phaseStep(f.dayPhase, f.cai.phase) == 3;
     },
     "财旺生合世爻，但被日辰克制，出此日必得财。"},
    {20, [](const Frame& f) { return absent(f.cai) && absent(f.zisun); }, "无财爻又无子孙爻，莫劳神费力。"},
    {21, [](const Frame& f) { return moves(f.fu) && moves(f.xiong); }, "父母、兄弟爻同时发动，如水中捞月一场空。"},
    {22, [](const Frame& f) { return moves(f.xiong) && present(f.xiong) && absent(f.guan); },
     "兄弟发动，如无官鬼爻，劫财耗财无疑。"},
    {23, [](const Frame& f) { return f.worldHolds(kQiCai) && moves(f.xiong) && present(f.xiong) && still(f.guan); },
     "财爻持世，兄弟发动，不仅有劫财之患，还防口舌之非。"},
    {24, [](const Frame& f) { return moves(f.xiong) && present(f.xiong) && still(f.guan) && f.xiong.branch == f.year; },
     "遇兄弟爻临岁君而动于卦中，必有一年破耗之灾。"},
    {25, [](const Frame& f) { return f.sixClash() && still(f.cai) && present(f.xiong) && prosperous(f.xiong); },
     "卦逢六冲，用神受克，不仅无财，还须防凶灾。"},
    {26, [](const Frame& f) { return moves(f.fu) && prosperous(f.fu) && !prosperous(f.zisun); },
     "子孙受伤，不但无财可求，反而亏本。"},
    {27, [](const Frame& f) { return present(f.cai) && rel(f.cai.branch, f.day) == kRelationHarmony; },
     "财爻被日辰合住，其财必有人把住，不能到手。"},
    {28, [](const Frame& f) { return f.isVoid(f.shi) && f.isVoid(f.ying); }, "世应俱空，求财无得。"},
    {29, [](const Frame& f) { return present(f.guan) && moves(f.guan) && f.guan.line == 4; },
     "五爻为道路，若临官鬼发动，不宜出门求财。"},
    {30, [](const Frame& f) { return prosperous(f.fu) && prosperous(f.xiong) && f.cai.score < 2; },
     "父兄有气，财逢绝地，安守本分为上策。"},
    {31, [](const Frame& f) { return f.worldHolds(kXiongDi) && moves(f.guan) && present(f.guan); },
     "官鬼克世，公私求财都不利。"},
};

// --------------------------------------------------------------------- business

// How the world and the response stand to each other, r = rel(世.branch, 应.branch).
const Rule kBusinessAccord[] = {
    {1,
     [](const Frame& f) {
         return oneOf(rel(f.shi.branch, f.ying.branch), {2, 3, 5});
     },
     "◆相应相生合，双方同心。\r\n"},
    {2,
     [](const Frame& f) {
         return oneOf(rel(f.shi.branch, f.ying.branch), {2, 3, 5}) && prosperous(f.shi) && prosperous(f.ying);
     },
     "◆世应旺而相生，同心协力，越干越兴旺。\r\n"},
    {3, [](const Frame& f) { return rel(f.shi.branch, f.ying.branch) == kRelationClash; },
     "◆世应相冲必有变，不同心。\r\n"},
    {4, [](const Frame& f) { return rel(f.shi.branch, f.ying.branch) == kRelationHinder; },
     "◆相应克害，双方不同心。\r\n"},
};

const Rule kBusinessRules[] = {
    {1, [](const Frame& f) { return f.responseHolds(kXiongDi) && f.spirit(f.responseLine) == kXuanWu; },
     "◆应爻临玄武兄弟爻，恐遭暗中盗贼。"},
    {2, [](const Frame& f) { return f.responseHolds(kGuanGui) && f.worldHolds(kXiongDi); }, "◆应临官鬼克世，主遭灾。"},
    {3, [](const Frame& f) { return f.worldHolds(kQiCai) && (f.responseHolds(kXiongDi) || f.responseHolds(kFuMu)); },
     "◆世财爻，应为兄父，必遭劫或受他人之累。"},
    {4,
     [](const Frame& f) {
         return rel(f.shi.branch, f.ying.branch) == kRelationHarmony && (f.isVoid(f.shi) || f.isVoid(f.ying));
     },
     "◆世应空合，彼此定怀虚诈之心。"},
    {5, [](const Frame& f) { return f.isVoid(f.shi) && f.isVoid(f.ying); }, "◆世应俱空莫开业。"},
    {6, [](const Frame& f) { return f.worldHolds(kQiCai); }, "◆财爻持世主财荣。"},
    {7, [](const Frame& f) { return f.cai.score == 2 && present(f.cai) && f.zisun.score == 2 && present(f.zisun); },
     "◆财爻、子孙都生旺，财运兴隆，根据牢固。"},
    {8, [](const Frame& f) { return present(f.cai) && f.cai.change == kChangeAdvance; },
     "◆进货收购，遇财爻化进神，其价必涨。"},
    {8, [](const Frame& f) { return present(f.cai) && f.cai.change == kChangeAdvance; }, "◆财化进宜向外发展。"},
    {9, [](const Frame& f) { return present(f.cai) && f.cai.change == kChangeRetreat; },
     "◆进货收购，遇财爻化退神，其价必落。"},
    {10,
     [](const Frame& f) {
         return !present(f.cai) ? -1 : f.cai.score == 0 ? 0 : f.cai.score == 2 ? 1 : -1;
     },
     {"◆财爻衰，宜缓买。", "◆财爻旺，急急卖。"}},
    {11, [](const Frame& f) { return f.worldHolds(kQiCai) && prosperous(f.shi); }, "◆世爻财旺，近地可出。"},
    {12, [](const Frame& f) { return f.shi.change == kChangeRetreat; }, "◆世化退，急回原地出售。"},
    {13,
     [](const Frame& f) {
         return present(f.cai) && inUpperTrigram(f.cai) && prosperous(f.cai) &&
                (f.cai.line == f.worldLine || oneOf(rel(f.cai.branch, f.shi.branch), {2, 3, 5}));
     },
     "◆外卦财旺生合世爻或持世，宜往外地发展。"},
    {14,
     [](const Frame& f) {
         return present(f.cai) && inUpperTrigram(f.cai) && oneOf(rel(f.cai.branch, f.shi.branch), {1, 4}) &&
                moves(f.shi) && oneOf(f.shi.change, {kChangeRetreat, kChangeBackControl, kChangeClash});
     },
     "◆外卦财不生合世爻，及世动变凶，他乡花似锦，我去不逢春。"},
    {15,
     [](const Frame& f) {
         return (f.worldHolds(kXiongDi) && moves(f.shi)) || (f.responseHolds(kXiongDi) && moves(f.ying));
     },
     "◆世应临兄弟发动，不吉。"},
    {16,
     [](const Frame& f) {
         return (f.worldHolds(kXiongDi) || f.responseHolds(kXiongDi)) &&
                (f.cai.phase == f.monthPhase || f.cai.phase == f.dayPhase) &&
                (rel(f.shi.branch, f.month) == kRelationClash || rel(f.shi.branch, f.day) == kRelationClash);
     },
     "◆世应临兄弟，日月做财爻冲克世爻，反为吉。"},
    {17,
     [](const Frame& f) {
         const int r = rel(f.ying.branch, f.shi.branch);
         return oneOf(r, {2, 3}) ? 0 : oneOf(r, {1, 4}) ? 1 : -1;
     },
     {"◆卖货要应爻生合世爻，必易成。", "◆应爻冲克耗世爻，货物难卖。"}},
    {18, [](const Frame& f) { return f.cai.count >= 2; }, "◆财太过，货物多。"},
    {19, [](const Frame& f) { return f.cai.count == 1 && !prosperous(f.cai); }, "◆财少者，货物少。"},
    {20, [](const Frame& f) { return absent(f.cai) || (still(f.cai) && f.isVoid(f.cai)); }, "◆财空伏者，无货。"},
    {21,
     [](const Frame& f) {
         if (!(moves(f.shi) && present(f.cai) && moves(f.cai))) return -1;
         return f.cai.line < 3 ? 0 : 1;
     },
     {"◆财动世动主易卖，财在内动宜本地。", "◆财动世动主易卖，财在外动往他处。"}},
    {22, [](const Frame& f) { return f.worldHolds(kXiongDi) && present(f.guan) && moves(f.guan); },
     "◆鬼动克世，多招是非。"},
    {23, [](const Frame& f) { return f.cai.score == 0 && present(f.xiong) && moves(f.xiong); }, "◆财衰受克事不成。"},
    {24, [](const Frame& f) { return f.isVoid(f.shi) && f.isVoid(f.cai); }, "◆世与财空，开业不成。"},
    {25, [](const Frame& f) { return f.chart.fanFuYinOuter == 1 || f.chart.fanFuYinInner == 1; },
     "◆反吟之卦，主事反复，开业又关，老店遇此必更迁。"},
    {26, [](const Frame& f) { return present(f.xiong) && prosperous(f.xiong) && moves(f.xiong); },
     "◆兄弟是阻隔破耗之患，卖货兄动难脱手，求财兄动必遭劫。"},
    {27,
     [](const Frame& f) {
         if (!(present(f.xiong) && moves(f.xiong))) return -1;
         const Spirit s = f.spirit(f.xiong.line);
         return s == kZhuQue ? 0 : s == kXuanWu ? 1 : -1;
     },
     {"◆兄弟发动，临朱雀防口舌。", "◆兄弟发动，临玄武防盗贼。"}},
    {28, [](const Frame& f) { return still(f.ying) && !prosperous(f.ying) && f.isVoid(f.ying); }, "◆应空开张不吉。"},
    {29, [](const Frame& f) { return present(f.xiong) && f.xiong.lineCode == 3 && prosperous(f.xiong); },
     "◆阳爻临兄，开张不满年。"},
    {30,
     [](const Frame& f) {
         return f.worldHolds(kXiongDi) && present(f.guan) && moves(f.guan) && f.spirit(f.guan.line) == kXuanWu;
     },
     "◆凡买卖经商，最怕鬼临玄武来克世，必遭官方勒索及盗贼之祸。"},
    {31,
     [](const Frame& f) { return f.moving == 0  ? 0
                                 : f.moving > 2 ? 1
                                                : -1; },
     {"◆六爻安静，开业永立。", "◆六爻乱动，定不顺。"}},
};

}  // namespace

std::string wealthText(const Frame& f) {
    std::string out = fmt::format("{}预测：（察看妻财、子孙，生旺有情就有财，反之无财）\r\n", TopicName(kTopicWealth));
    const UseGodReading u = readUseGod(f, kQiCai, "财爻");
    if (u.present()) {
        out.append(fmt::format("\n◆ {}爻妻财", u.lineNumber()));
    } else {
        out.append("\n◆用神未上卦，求财较难。").append(fmt::format("\n◆可看伏神 {}爻妻财", u.lineNumber()));
    }
    out.append(u.analysis.text).append(kWealthVerdicts[u.verdict()]);
    // The flying spirit is the main line above the hidden one.
    if (!u.present()) out.append(kFlyingOnHidden[rel(f.branch(u.pick.line), u.pick.branch)]);
    if (u.present() && f.lineMoves(u.pick.line)) out.append("\n◆财为动爻，钱财来得迅速。");
    if (f.isVoid(u.pick.branch)) out.append("\n◆财爻逢空亡，待冲空或出空之时财可得。");
    out.append(kTradeByPhase[PhaseOfBranch(u.pick.branch)]);
    out.append(IsYangBranch(u.pick.branch) ? "\n◆财爻为阳，多为正当行业、幸勤劳动所得之正财。"
                                           : "\n◆财爻为阴，多为投机性、特殊行业之横财。");
    const Trigram t = f.trigramOf(u.pick.line);
    out.append(fmt::format("\n◆财爻入{}宫，寻财之地在{}方。", TrigramName(t), kTrigramPlaces[t]));
    out.append("\n◆").append(resourceString(kWorldRelativeTexts + f.relative(f.worldLine)));
    appendHelperPass(out, f, kSourcePass);
    appendHelperPass(out, f, kEnemyPass);
    appendRules(out, f, kWealthRules, "\r\n◆", "");
    out.append(timingSection(f, u, "\n\n●定应期:"));
    return out;
}

std::string businessText(const Frame& f) {
    std::string out = fmt::format("{}预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\r\n\r\n",
                                  TopicName(kTopicBusiness));
    appendRules(out, f, kBusinessAccord, "", "");
    appendRules(out, f, kBusinessRules, "", "\r\n");
    return out;
}

}  // namespace qingheng::topics
