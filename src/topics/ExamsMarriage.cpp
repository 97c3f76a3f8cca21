// Exams (考学), judged on 父母 (study) and 官鬼 (rank and admission) with the world line, and
// marriage (婚姻), judged on the world and response lines, then on 妻财 for a man asking
// about a woman and on 官鬼 for a woman asking about a man.
#include <fmt/format.h>

#include "topics/TopicTexts.h"

namespace qingheng::topics {
namespace {

// A use-god paragraph: the opening for a present and for a hidden use god (each a format
// taking the line number; the hidden one may be preceded by a notice), and the verdicts.
struct UseGodParagraph {
    Relative relative;
    std::string_view label;
    std::string_view presentFormat;
    std::string_view absentNotice;
    std::string_view hiddenFormat;
    std::array<std::string_view, 3> verdicts;
};

void appendUseGodParagraph(std::string& out, const Frame& f, const UseGodParagraph& p) {
    const UseGodReading u = readUseGod(f, p.relative, p.label);
    if (u.present()) {
        out.append(fmt::format(fmt::runtime(p.presentFormat), u.lineNumber()));
    } else {
        out.append(p.absentNotice).append(fmt::format(fmt::runtime(p.hiddenFormat), u.lineNumber()));
    }
    out.append(u.analysis.text).append(p.verdicts[u.verdict()]);
}

// -------------------------------------------------------------------------- exams

constexpr UseGodParagraph kStudy = {
    kFuMu,
    "父母",
    "◆ {}爻父母，",
    "◆父母不上卦，学习成绩不太出众，或者考试时发挥不理想。",
    "◆可看伏神 {}爻父母，",
    {"父母爻主学习成绩，今父母爻偏弱，成绩不太好。\r\n", "父母爻主学习成绩，今父母爻平和，成绩平时一般。\r\n",
     "父母爻主学习成绩，今父母爻偏强，成绩比较好，有考上的希望。\r\n"}};

constexpr UseGodParagraph kAdmission = {
    kGuanGui,
    "官鬼",
    "◆ {}爻官鬼，",
    "◆官鬼不上卦，难以考上理想学校。",
    "◆可看伏神 {}爻官鬼，",
    {"官鬼爻主功名，今官鬼爻偏弱，成绩就算好，也难有好的学校或专业。\r\n",
     "官鬼爻主功名，今官鬼爻平和，主平时一般。\r\n",
     "官鬼爻主功名，今官鬼爻偏强，成绩就算不太理想，也能考上适合的学校或专业。\r\n"}};

// The subjects that suit the phase of 官鬼.
constexpr std::array<std::string_view, 5> kSubjects = {
    "专业是和水有关的，比如：水利、水产、渔业、航海、饮料、游泳、旅馆、自由业、服务业、贸易、新闻业等较具流动变化之行业"
    "。\r\n",
    "专业是和木有关的，比如：园艺、种值、林业、木材、家俱、纺织、纸业、文教、学术、宗教、医疗、公务等。\r\n",
    "专业是和火有关的，比如：灯饰、炉具、眼镜、电子、爆竹、电焊、煤炭、天然气、美容美发、加工、百货业等。\r\n",
    "专业是和土有关的，比如：矿产、陶瓷、房地产、水泥、畜牧业、建筑、土产、饲料、仓储、供书等较固定之行业。\r\n",
    "专业是和金有关的，比如：金属、机械、银行、电器、钟表、刀具、车辆、运输、金融、证券、科技、武术等。\r\n"};

bool supportsOrHarmonises(int relation) { return oneOf(relation, {kRelationHarmony, kRelationSupport}); }

// The month or the day harmonises or supports branch b.
bool monthOrDaySupports(const Frame& f, Branch b) {
    return supportsOrHarmonises(rel(f.month, b)) || supportsOrHarmonises(rel(f.day, b));
}

// The relative that the frame of 官鬼, 父母 and 世 forms (-1 without one).
int frameRelative(const Frame& f) {
    const int combination = frame(f.guan.branch, f.fu.branch, f.shi.branch);
    if (!isHarmonyOrMeeting(combination)) return -1;
    return phaseStep(phaseOfCombination(combination), f.chart.main.palacePhase);
}

// The lowest line under 青龙 (the six spirits cover the six lines).
int qingLongLine(const Frame& f) {
    for (int i = 0; i < 6; ++i) {
        if (f.spirit(i) == kQingLong) return i;
    }
    return 0;
}

bool voidWeakAndStill(const Record& x, const Frame& f) { return f.isVoid(x) && !prosperous(x) && still(x); }

const Rule kExamRules[] = {
    {1, [](const Frame& f) { return f.relative(4) == kZiSun; }, "◆子孙临岁君（五爻）：必志气远大，文才出众。"},
    {2,
     [](const Frame& f) {
         return prosperous(f.guan) && prosperous(f.fu) && (f.worldHolds(kGuanGui) || f.worldHolds(kFuMu));
     },
     "◆父母、官鬼旺而持世，利于金榜题名。"},
    {3,
     [](const Frame& f) {
         if (!(prosperous(f.shi) && absent(f.guan) != absent(f.fu))) return false;
         const Branch flying = f.branch(absent(f.guan) ? f.guan.line : f.fu.line);
         return f.monthClashes(flying) || f.dayClashes(flying);
     },
     "◆世爻旺相，父爻、官爻有一而伏藏不现，得日月冲飞神，定会金榜题名。"},
    {4,
     [](const Frame& f) {
         return present(f.guan) && f.guan.branch == f.year && (f.worldLine == f.guan.line || f.worldHolds(kFuMu));
     },
     "◆太岁入官星，生世或持世，定登黄榜。"},
    {5,
     [](const Frame& f) {
         return present(f.guan) && prosperous(f.guan) && f.guan.score == 2 &&
                (f.worldLine == f.guan.line || f.worldHolds(kFuMu));
     },
     "◆官旺生世持世，能助衰父，遂登科之志。"},
    {6,
     [](const Frame& f) {
         return moves(f.ying) && supportsOrHarmonises(rel(f.ying.branch, f.shi.branch)) &&
                monthOrDaySupports(f, f.shi.branch);
     },
     "◆应爻动而生合世爻，日月又生世，必得推荐之力。"},
    {7, [](const Frame& f) { return present(f.fu) && prosperous(f.fu) && f.changedRelative(f.fu.line) == kGuanGui; },
     "◆父母旺相，化官鬼回头生，可登科甲。"},
    {8,
     [](const Frame& f) {
         const int i = qingLongLine(f);
         return phaseStep(f.phase(i), f.shi.phase) == 4 && f.lineMoves(i);
     },
     "◆龙动生世，双喜临门。"},
    {9, [](const Frame& f) { return f.isVoid(f.fu) && present(f.cai) && present(f.guan) && moves(f.cai); },
     "◆父爻遇空亡，若财爻动生官，侥幸得名。 "},
    {10,
     [](const Frame& f) {
         return absent(f.guan) && present(f.zisun) && f.changedRelative(f.zisun.line) == kGuanGui && f.fu.score >= 1 &&
                supportsOrHarmonises(rel(f.changedBranch(f.zisun.line), f.shi.branch));
     },
     "◆主卦无官，若子孙爻变出官鬼，生合世爻，父母有气。可登科甲。 "},
    {11, [](const Frame& f) { return rel(f.shi.branch, f.ying.branch) == kRelationHarmony; }, "◆世应相合利登科。"},
    {12,
     [](const Frame& f) {
         return oneOf(frameRelative(f), {kGuanGui, kFuMu});
     },
     "◆父母、官鬼、世爻合成官局、父局，金榜连捷。"},
    {13,
     [](const Frame& f) {
         return frameRelative(f) == kXiongDi && (oneOf(phaseStep(f.monthPhase, f.guan.phase), {0, 4}) ||
                                                 oneOf(phaseStep(f.dayPhase, f.guan.phase), {0, 4}));
     },
     "◆父母、官鬼、世爻合成兄弟局，遇日月生扶官星，定然得意。"},
    {14,
     [](const Frame& f) {
         const bool clashIntoClash = f.sixClash() && f.moving > 0 && f.changedSixClash();
         if (!(clashIntoClash || f.moving >= 3)) return -1;
         return prosperous(f.shi) ? 1 : 0;
     },
     {"◆卦逢六冲变六冲，或六爻乱动，世衰定考劣等。", "◆卦逢六冲变六冲，或六爻乱动，世旺考平常。"}},
    {15, [](const Frame& f) { return f.worldHolds(kQiCai) && prosperous(f.shi) && f.shi.score == 2; },
     "◆财旺持世，难登科甲。"},
    {16, [](const Frame& f) { return (f.worldHolds(kZiSun) || f.worldHolds(kQiCai)) && moves(f.shi); },
     "◆子孙或财爻动而持世，白费心机。"},
    {17, [](const Frame& f) { return f.isVoid(f.shi) && still(f.shi) && !prosperous(f.shi); },
     "◆世爻空破，难遂青云之志。"},
    {18,
     [](const Frame& f) {
         return !prosperous(f.shi) &&
                (rel(f.month, f.shi.branch) == kRelationClash || rel(f.day, f.shi.branch) == kRelationClash);
     },
     "◆世爻休囚，被日月冲破，难登科甲。"},
    {19,
     [](const Frame& f) {
         return present(f.fu) && prosperous(f.fu) &&
                (f.fu.change == kChangeBackControl || f.monthClashes(f.fu.branch) || f.dayClashes(f.fu.branch));
     },
     "◆父母旺相，化回头克或被冲克，中途必因事放弃考试。"},
    {20, [](const Frame& f) { return present(f.zisun) && present(f.cai) && moves(f.cai) && moves(f.zisun); },
     "◆子孙、财爻同时发动，名落孙山。"},
    {21, [](const Frame& f) { return f.moving >= 3; }, "◆六爻乱动，空费纸墨。"},
    {22, [](const Frame& f) { return f.shi.change == kChangeRetreat; }, "◆世爻化退，临产三阻必无信心。"},
    {23, [](const Frame& f) { return present(f.fu) && f.fu.change == kChangeRetreat; }, "◆父母化退，学位渐腐。"},
    {24, [](const Frame& f) { return present(f.guan) && f.guan.change == kChangeRetreat; }, "◆官鬼化退，皓首无成。"},
    {25,
     [](const Frame& f) {
         return present(f.cai) && f.spirit(f.cai.line) == kBaiHu && (moves(f.cai) || f.cai.line == f.worldLine);
     },
     "◆白虎临财爻持世或发动，难登黄甲。"},
    {26, [](const Frame& f) { return present(f.zisun) && moves(f.zisun); }, "◆子孙发动，即使技术高也不要去考场。"},
    {27, [](const Frame& f) { return voidWeakAndStill(f.shi, f) || voidWeakAndStill(f.guan, f); },
     "◆凡世爻与官星有一空破者，考试难有指望。"},
};

// ----------------------------------------------------------------------- marriage

bool allLinesAlike(const Frame& f) {
    int yang = 0;
    for (int i = 0; i < 6; ++i) yang += f.code(i) % 2;
    return yang == 0 || yang == 6;
}

const Rule kMarriageRules[] = {
    {1,
     [](const Frame& f) {
         return oneOf(rel(f.shi.branch, f.ying.branch), {2, 3, 5});
     },
     "★世应相生合，婚姻易成而吉利。"},
    {2,
     [](const Frame& f) {
         return (f.worldHolds(kGuanGui) || (present(f.guan) && rel(f.shi.branch, f.guan.branch) == kRelationHarmony)) &&
                prosperous(f.guan);
     },
     "★官鬼持世、合世且旺相，婚美而白头到老。"},
    {3,
     [](const Frame& f) {
         return present(f.cai) && supportsOrHarmonises(rel(f.shi.branch, f.cai.branch)) && moves(f.cai) &&
                prosperous(f.cai) &&
                oneOf(f.cai.change, {kChangeSame, kChangeBackGenerate, kChangeHarmony, kChangeAdvance});
     },
     "★财爻旺动生合世爻，且化吉，夫妻恩爱定白头。"},
    {4, [](const Frame& f) { return f.sixHarmony(); }, "★测婚之事，卦逢六合，为大吉之象。"},
    {5, [](const Frame& f) { return f.sixClash(); }, "★测婚忌逢六冲，冲之婚姻难成。"},
    {6, [](const Frame& f) { return f.cai.score == 2 && f.guan.score == 2; }, "★财官二爻都生旺，对象身体健康。"},
    {7, [](const Frame& f) { return phaseStep(f.shi.phase, f.ying.phase) == 4; }, "★世生应，自己求对方。"},
    {8, [](const Frame& f) { return phaseStep(f.shi.phase, f.ying.phase) == 1; }, "★应生世，对方求自己。"},
    {9, [](const Frame& f) { return f.isVoid(f.shi) && still(f.shi); }, "★世空自己不实。"},
    {10, [](const Frame& f) { return f.isVoid(f.ying) && still(f.ying); }, "★应空对方不实。"},
    {11, [](const Frame& f) { return absent(f.fu); }, "★父母为文书，为主婚之人，卦无父母，定无头绪。"},
    {12,
     [](const Frame& f) {
         return present(f.fu) && (rel(f.day, f.fu.branch) == kRelationHarmony || f.fu.branch == f.day);
     },
     "★日辰与父母爻合，或日辰临父母爻，婚期已定。"},
    {13, [](const Frame& f) { return still(f.ying); }, "★测婚应爻宜安静，必定应诺。"},
    {14,
     [](const Frame& f) {
         return f.shi.branch == f.ying.branch && inUpperTrigram(f.cai) == inUpperTrigram(f.guan) && present(f.guan) &&
                present(f.cai);
     },
     "★世应比和，官鬼妻财又同为一宫，亲上加亲。"},
    {15, [](const Frame& f) { return f.shi.branch == f.ying.branch && rel(f.day, f.shi.branch) == kRelationHarmony; },
     "★世应比和，得日辰合世，得媒人之力。"},
    {16, [](const Frame& f) { return allLinesAlike(f); }, "★卦遇纯阳纯阴，婚姻不顺。"},
    {17, [](const Frame& f) { return f.palace() == kXun && f.rank() == 2; }, "★卦遇《风天小畜》，夫妻难白头。"},
    {18,
     [](const Frame& f) { return !prosperous(f.guan) && !prosperous(f.cai) && (f.isVoid(f.guan) || f.isVoid(f.cai)); },
     "★财官休囚空破，破散之婚。"},
    {19, [](const Frame& f) { return f.isVoid(f.shi) && still(f.shi) && f.isVoid(f.ying) && still(f.ying); },
     "★世应俱空，不仅徒劳费力，成而终悔。"},
    {20, [](const Frame& f) { return moves(f.xiong) && present(f.xiong) && f.spirit(f.xiong.line) == kXuanWu; },
     "★兄弟临玄武发动，防诈骗。"},
    {21, [](const Frame& f) { return Clashes(f.shi.branch, f.ying.branch); }, "★世应相冲，夫妻反目。"},
    {22,
     [](const Frame& f) {
         return (present(f.guan) && moves(f.guan) && f.changedRelative(f.guan.line) == kGuanGui) ||
                (present(f.xiong) && moves(f.xiong) && f.changedRelative(f.xiong.line) == kXiongDi);
     },
     "★鬼化鬼或兄化兄发动，婚事反复，阻隔难成。"},
    {23, [](const Frame& f) { return f.moving == 0; }, "★六爻安静家和睦。"},
};

// Rule 24: each moving line by its relative (子孙 gives nothing).
constexpr std::array<std::string_view, 5> kMovingDiscord = {"★兄动夫妻不和。", "", "★财动公婆不和。", "★鬼动妯娌不和。",
                                                            "★父动子侄不和。"};

const Rule kMarriageClosingRules[] = {
    {25, [](const Frame& f) { return f.sixClash() && f.moving > 0 && f.changedSixHarmony(); },
     "★卦逢六冲变六合，散而和，离而复。"},
    {26, [](const Frame& f) { return f.guan.count == 2 && f.cai.count == 2; },
     "★官爻两重，财爻两逢，再娶再嫁之象，或者各有所欢。"},
    {27,
     [](const Frame& f) {
         return Clashes(f.shi.branch, f.changedBranch(f.worldLine)) || f.shi.change == kChangeRetreat;
     },
     "★世爻化退或化冲，婚后夫妻有二心。"},
};

constexpr UseGodParagraph kWife = {
    kQiCai,
    "妻财",
    "★ {}爻妻财",
    "",
    "可看伏神 {}爻妻财",
    {"财爻偏弱，主妻貌不佳，或身体、能力弱。\r\n", "财爻平和，主妻一般。\r\n", "财爻偏强，主妻貌美，或聪明能干。\r\n"}};

const Rule kWifeRules[] = {
    {1,
     [](const Frame& f) { return prosperous(f.cai) ? f.cai.phase : -1; },
     {"★男才女貌看用神，水为用神，性情聪慧且多巧。", "★男才女貌看用神，木为用神，身高秀丽。",
      "★男才女貌看用神，火为用神，旺而红润，但发少面黄赤。", "★男才女貌看用神，土为用神，多为敦厚，肥而不高。",
      "★男才女貌看用神，金为用神，必然是男清女秀好仪容。"}},
    {2, [](const Frame& f) { return !f.isVoid(f.cai) && prosperous(f.cai) && f.cai.score >= 1; },
     "★财爻不空，且旺相，吉利。"},
    {3,
     [](const Frame& f) {
         return !prosperous(f.cai) && f.cai.score == 0 && oneOf(f.spirit(f.cai.line), {kGouChen, kTengShe, kBaiHu});
     },
     "★财爻衰弱，临勾陈、螣蛇、白虎，相貌不佳。"},
    {4, [](const Frame& f) { return f.responseHolds(kQiCai) && prosperous(f.ying) && f.ying.score == 2; },
     "★男遇应爻妻财而临旺地，妻貌美而德重。"},
    {5, [](const Frame& f) { return f.spirit(f.cai.line) == kQingLong && present(f.cai); },
     "★财临青龙，女方陪嫁必多。"},
    {6, [](const Frame& f) { return present(f.cai) && f.cai.change == kChangeAdvance; }, "★财化进神，嫁资多。"},
    {7, [](const Frame& f) { return present(f.cai) && f.changedRelative(f.cai.line) == kZiSun; },
     "★财化子孙，定带儿女来。"},
    {8, [](const Frame& f) { return !prosperous(f.cai) && !prosperous(f.ying); }, "★财爻、应爻休囚，贫家之女。"},
    {9, [](const Frame& f) { return prosperous(f.cai) && prosperous(f.ying); }, "★财爻、应爻旺相，富家贤良发福之女。"},
    {10, [](const Frame& f) { return f.responseHolds(kGuanGui); }, "★应临官鬼，女方嫁资不多。"},
    {11, [](const Frame& f) { return f.palace() == kQian && f.rank() == 2; }, "★遇《天风姤》卦，夫妻难白头。"},
    {12,
     [](const Frame& f) {
         return present(f.cai) && supportsOrHarmonises(rel(f.cai.branch, f.shi.branch)) &&
                f.cai.change == kChangeAdvance;
     },
     "★财爻生合世爻，化进神，忠心实意。"},
    {13, [](const Frame& f) { return f.cai.count == 2; }, "★卦中两财，是多婚之象。"},
    {14, [](const Frame& f) { return f.worldHolds(kQiCai); }, "★财爻持世，妻夺夫权。"},
    {15, [](const Frame& f) { return f.worldHolds(kXiongDi) && moves(f.shi) && f.spirit(f.worldLine) == kBaiHu; },
     "★兄弟爻持世，又临白虎发动，对妻极为不利。"},
    {16, [](const Frame& f) { return isYang(f.shi) && !isYang(f.ying); },
     "★男测女，世宜阳，应宜阴，此为阴阳得位，夫妻之道。"},
};

constexpr UseGodParagraph kHusband = {
    kGuanGui,
    "官鬼",
    "★ {}爻官鬼",
    "",
    "可看伏神 {}爻官鬼",
    {"官爻偏弱，主夫貌不佳，或身体、能力弱。\r\n", "官爻平和，主夫一般。\r\n", "官爻偏强，主夫英俊，或聪明能干。\r\n"}};

const Rule kHusbandRules[] = {
    {1,
     [](const Frame& f) { return prosperous(f.guan) ? f.guan.phase : -1; },
     {"★男才女貌看用神，水为用神，精明能干。", "★男才女貌看用神，木为用神，身高健壮。",
      "★男才女貌看用神，火为用神，旺而红润，但发少面黄赤。", "★男才女貌看用神，土为用神，多为敦厚，肥而不高。",
      "★男才女貌看用神，金为用神，必然是男清女秀好仪容。"}},
    {2, [](const Frame& f) { return !f.isVoid(f.guan) && prosperous(f.guan) && f.guan.score >= 1; },
     "★官爻不空，且旺相，吉利。"},
    {3,
     [](const Frame& f) {
         return !prosperous(f.guan) && f.guan.score == 0 && oneOf(f.spirit(f.guan.line), {kGouChen, kTengShe, kBaiHu});
     },
     "★官爻衰弱，临勾陈、螣蛇、白虎，相貌不佳。"},
    {4, [](const Frame& f) { return f.spirit(f.guan.line) == kQingLong && present(f.guan); }, "★官爻遇龙，男必贵。"},
    {5, [](const Frame& f) { return prosperous(f.guan) && prosperous(f.ying); }, "★官爻、应爻旺相，男方富有。"},
    {6, [](const Frame& f) { return !prosperous(f.guan) && !prosperous(f.ying); }, "★官爻、应爻休囚，男方贫穷。"},
    {7, [](const Frame& f) { return f.spirit(f.worldLine) == kTengShe && f.worldHolds(kXiongDi); },
     "★世临兄蛇，男家吝啬，礼不多。"},
    {8, [](const Frame& f) { return f.guan.count == 2; }, "★卦中两官，多婚之象。"},
    {9, [](const Frame& f) { return f.worldHolds(kGuanGui); }, "★官爻持世，妻夺夫权。"},
    {10, [](const Frame& f) { return f.worldHolds(kZiSun); }, "★女忌子孙持世，主伤夫。"},
    {11, [](const Frame& f) { return !isYang(f.shi) && isYang(f.ying); },
     "★女测男，世宜阴，应宜阳，此为阴阳得位，夫妻之道。"},
};

}  // namespace

std::string examsText(const Frame& f) {
    std::string out = fmt::format("{}预测：（关键在于父母、官鬼二爻）\r\n\r\n", TopicName(kTopicExams));
    appendUseGodParagraph(out, f, kStudy);
    appendUseGodParagraph(out, f, kAdmission);
    const Phase ghostPhase = PhaseOfBranch(FindUseGod(f.chart, kGuanGui).branch);
    out.append(fmt::format("◆鬼爻为{}，学习", PhaseName(ghostPhase))).append(kSubjects[ghostPhase]);
    appendRules(out, f, kExamRules, "", "\r\n");
    return out;
}

std::string marriageText(const Frame& f) {
    std::string out = fmt::format("{}预测：（男看妻财，女看官鬼，配合世应）\r\n\r\n", TopicName(kTopicMarriage));
    appendRules(out, f, kMarriageRules, "", "\r\n");
    for (int i = 0; i < 6; ++i) {
        if (f.lineMoves(i) && f.relative(i) != kZiSun) out.append(kMovingDiscord[f.relative(i)]).append("\r\n");
    }
    appendRules(out, f, kMarriageClosingRules, "", "\r\n");
    out.append("===============男测女==========\r\n");
    appendUseGodParagraph(out, f, kWife);
    appendRules(out, f, kWifeRules, "", "\r\n");
    out.append("===============女测男==========\r\n");
    appendUseGodParagraph(out, f, kHusband);
    appendRules(out, f, kHusbandRules, "", "\r\n");
    return out;
}

}  // namespace qingheng::topics
