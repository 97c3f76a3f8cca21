// Illness (疾病), judged on 官鬼 (the illness) and on the use god chosen for the patient, and
// weather (天气), judged on the moving lines, each relative standing for a kind of weather.
#include <fmt/format.h>

#include "platform/StringTable.h"
#include "topics/TopicTexts.h"

namespace qingheng::topics {
namespace {

// ------------------------------------------------------------------------ illness

constexpr std::array<std::string_view, 3> kIllnessVerdicts = {"鬼爻偏弱，疾病较轻，身体康复快。",
                                                              "鬼爻平和，一般小病，服药即好。",
                                                              "鬼爻偏强，病情较重或为慢性病，须较长时间方能好。"};

// The organs of each phase.
constexpr std::array<std::string_view, 5> kOrgans = {
    "肾、膀胱、足、阴部、泌尿、腰部、耳朵、疝气", "胆、肝、头、四肢、关节、筋脉、眼睛、神经",
    "小肠、心脏、肩、血液、脸部、牙齿、腹部、舌", "胃、脾、肋、腹、背、胸部、肚子",
    "大肠、肺、肚脐、大腿、气管、鼻子、皮肤、痔疮"};

// The part of the body each line stands for.
constexpr std::array<std::string_view, 6> kBodyParts = {"初爻为外伤。",       "二爻双脚患非常。", "三爻腰背常轻软。",
                                                        "四爻腹部肚肠有病。", "五爻肾弱多气胀。", "六爻头上患为殃。"};

Trigram guanTrigram(const Frame& f) { return f.trigramOf(f.guan.line); }

// The branches of the two lowest lines holding 官鬼 clash.
bool twoGhostsClash(const Frame& f) {
    int found = 0;
    std::array<Branch, 2> branches{};
    for (int i = 0; i < 6 && found < 2; ++i) {
        if (f.relative(i) == kGuanGui) branches[found++] = f.branch(i);
    }
    return found == 2 && Clashes(branches[0], branches[1]);
}

const Rule kIllnessRules[] = {
    {1,
     [](const Frame& f) {
         return f.worldHolds(kXiongDi) && present(f.guan) && prosperous(f.guan) && f.guan.phase == phase::kMetal;
     },
     "凡病遇金鬼旺相而克世，必有刀伤破损之凶灾，轻者为牙痛之症。"},
    {2, [](const Frame& f) { return guanTrigram(f) == kQian; }, "鬼在乾宫，主头痛、头晕。"},
    {2, [](const Frame& f) { return guanTrigram(f) == kLi; }, "鬼在离宫，防眼睛、心脏、高血压之症。"},
    {2, [](const Frame& f) { return guanTrigram(f) == kLi && present(f.guan) && f.guan.change == kChangeBackControl; },
     "鬼在离宫，又化回头克，不气喘，则有昏迷之危。"},
    {2,
     [](const Frame& f) {
         return guanTrigram(f) == kZhen && oneOf(f.spirit(f.guan.line), {kTengShe, kBaiHu});
     },
     "鬼在震宫，临螣蛇或白虎，主病在足，防折伤之苦。"},
    {2, [](const Frame& f) { return guanTrigram(f) == kXun; }, "鬼在巽宫，肱股之疾。"},
    {2, [](const Frame& f) { return guanTrigram(f) == kGen; }, "鬼在艮宫，主生毒疮。"},
    {2, [](const Frame& f) { return guanTrigram(f) == kKun; }, "鬼在坤宫，病在腹部。"},
    {3,
     [](const Frame& f) { return f.spirit(f.guan.line); },
     {"玄武临鬼，色欲过度，忧闷在心，阴虚等症，因玄武主暗昧之故。", "青龙临鬼，主酒色房事过度而虚弱无力之症。",
      "朱雀临鬼，主身热面赤，狂言乱语。", "勾陈临鬼，腹满肿胀，脾胃不和。", "螣蛇临鬼，主心惊，坐卧不安之状。",
      "白虎临鬼，跌打损伤，骨折气闷，女人主雪崩、血晕、产后虚症。"}},
    {4,
     [](const Frame& f) {
         if (!(f.sixClash() && f.moving > 0 && f.changedSixClash())) return -1;
         const int d = phaseStep(f.chart.changed.palacePhase, f.chart.main.palacePhase);
         return d == 3 ? 0 : oneOf(d, {0, 4}) ? 1 : -1;
     },
     {"卦逢六冲变六冲，化回头克，病情加重。", "卦逢六冲变六冲，化生助，疾病快好，服药而愈。"}},
    {5,
     [](const Frame& f) {
         return f.isVoid(f.branch(f.useGod.line)) || (moves(f.useGod) && f.isVoid(f.changedBranch(f.useGod.line)));
     },
     "用神旬空，或动而化空，疾病快好，服药而愈。"},
    {6, [](const Frame& f) { return f.worldHolds(kGuanGui); },
     "测病遇鬼爻持世主不利，多为原有旧疾，主病难安、难愈、危险。"},
    {6, [](const Frame& f) { return f.worldHolds(kGuanGui) && f.shi.change == kChangeTomb; },
     "鬼爻持世，如是化墓，凶上加凶。"},
    {7,
     [](const Frame& f) { return f.guan.count == 2        ? 0
                                 : inUpperTrigram(f.guan) ? 1
                                                          : 2; },
     {"卦有两鬼，定是日轻夜重。", "鬼爻在外卦，夜轻而日重，出外染病。",
      "鬼爻在内卦，有病必夜重，在家得病，内伤之症。"}},
    {8,
     [](const Frame& f) {
         if (present(f.guan)) return -1;
         const Relative flying = f.relative(f.guan.line);  // never 官鬼: it is absent
         return flying == kFuMu ? 3 : flying;
     },
     {"鬼不现，看伏神，鬼伏兄下，因色或财而导致口舌，绝食致病。",
      "鬼不现，看伏神，鬼父子下，不是酒醉，便是房事太过而伤风，或服补药过量而引起疾病。",
      "鬼不现，看伏神，鬼伏财下，必是因食伤，或因财而起病，因房事而病。",
      "鬼不现，看伏神，鬼伏父下，因劳心辛苦而忧虑伤神得病。"}},
    {9,
     [](const Frame& f) {
         if (!present(f.guan)) return -1;
         return f.guan.change == kChangeAdvance ? 0 : f.guan.change == kChangeRetreat ? 1 : -1;
     },
     {"鬼化鬼，新旧两病，鬼化进，病加重。", "鬼化鬼，新旧两病，鬼化退，病则减。"}},
    {10, [](const Frame& f) { return f.guan.count == 2 && twoGhostsClash(f); }, "卦有两鬼，二鬼自冲，易感而易愈。"},
    {11,
     [](const Frame& f) {
         if (!(f.cai.count == 1 && moves(f.cai))) return -1;
         return inUpperTrigram(f.cai) ? 0 : 1;
     },
     {"财临外卦发动，主吐。", "财临内卦发动，主泻。"}},
    {12, [](const Frame& f) { return f.cai.count == 2 && moves(f.cai); }, "财临内外卦又动，主上吐下泻。"},
    {13, [](const Frame& f) { return absent(f.cai); }, "卦中无财，茶饭不思。"},
    {14, [](const Frame& f) { return f.isVoid(f.cai) && f.cai.lineCode == 1 && f.cai.season >= 3; },
     "财遇空亡，饮食不纳。"},
    {15, [](const Frame& f) { return f.worldHolds(kXiongDi); }, "兄弟持世，因多食而生病。"},
    {16,
     [](const Frame& f) {
         return f.responseHolds(kGuanGui) || rel(f.ying.branch, f.useGod.branch) == kRelationHarmony;
     },
     "应爻临鬼，或应爻合用神，他人传染。"},
    {17,
     [](const Frame& f) {
         const Relative turned = f.changedRelative(f.useGod.line);
         return turned == kXiongDi ? 0 : turned == kZiSun ? 1 : turned == kFuMu ? 2 : -1;
     },
     {"用神化他爻，得病之因：化兄弟，不因口舌呕气，就是食物导致。",
      "用神化他爻，得病之因：化子孙，因酒食、玩乐、房事而得病。",
      "用神化他爻，得病之因：化父母，在建筑之处，或劳累而伤。"}},
    {18,
     [](const Frame& f) {
         if (!(f.worldHolds(kZiSun) || (present(f.zisun) && moves(f.zisun)))) return -1;
         return f.isVoid(f.zisun) ? 1 : 0;
     },
     {"子孙持世或发动，即使病危，也有起死回生之喜，小病快愈。", "子孙持持或发动，临空破者，实破之日病愈。"}},
    {19,
     [](const Frame& f) {
         return f.zisun.branch == f.day && oneOf(phaseStep(f.zisun.phase, f.useGod.phase), {0, 4});
     },
     "子孙爻临日辰，生扶用神，不药而愈。"},
    {20, [](const Frame& f) { return present(f.guan) && rel(f.guan.branch, f.day) == kRelationClash; },
     "鬼被日辰冲散，大吉。"},
    {21, [](const Frame& f) { return present(f.zisun) && moves(f.zisun) && f.zisun.change == kChangeBackControl; },
     "子孙动而化回头克，病好而反复。"},
    {22, [](const Frame& f) { return f.useGod.season >= 3 && f.useGod.change == kChangeBackControl; },
     "用神衰弱，化回头之克，不利之象。"},
    {23,
     [](const Frame& f) { return f.zisun.score == 2   ? 0
                                 : f.zisun.score == 0 ? 1
                                                      : -1; },
     {"子孙为医生、药物，旺相，医术高，手到病除，用药立见良效。", "子孙为医生、药物，衰弱，病慢好。"}},
    {24, [](const Frame& f) { return present(f.useGod) && moves(f.useGod) && f.useGod.change == kChangeTomb; },
     "用神动而化墓，不论近病久病，皆主昏迷之象。"},
    {25,
     [](const Frame& f) {
         return present(f.useGod) && f.changedRelative(f.useGod.line) == kGuanGui &&
                f.useGod.change == kChangeBackControl;
     },
     "用神变鬼化回头克，其病难愈。"},
};

// ------------------------------------------------------------------------ weather

constexpr int kMovingWeatherTexts = 7100;  // + relative of a moving line
constexpr int kWorldWeatherTexts = 7105;   // + relative of the world line

constexpr std::array<std::string_view, 5> kWeatherWords = {"风起云涌", "晴明", "晴朗偶有浮云", "电闪雷鸣有浓雾",
                                                           "下雨、雪、霜或有冰雹"};

constexpr std::array<std::string_view, 3> kStrengthSentences = {"\n◆力量偏弱，所主像的天气状况不明显或不会发生。",
                                                                "\n◆力量中平，所主像的天气状况如实出现。",
                                                                "\n◆力量偏强，所主像的天气状况有较强的表现。"};

// The weather a line turns into, when its changed line holds another relative.
void appendWeatherChange(std::string& out, const Frame& f, int line) {
    const Relative from = f.relative(line);
    const Relative to = f.changedRelative(line);
    if (from == to) return;
    out.append(fmt::format("\n◆{}化{}天气先{}，后{}。", RelativeName(from), RelativeName(to), kWeatherWords[from],
                           kWeatherWords[to]));
}

}  // namespace

std::string illnessText(const Frame& f) {
    std::string out = fmt::format("{}预测：（鬼爻为病患，测病当察此爻）\r\n", TopicName(kTopicIllness));
    const UseGodReading g = readUseGod(f, kGuanGui, "鬼爻");
    if (g.present()) {
        out.append(fmt::format("\n◆ {}爻官鬼", g.lineNumber()));
    } else {
        out.append(fmt::format("\n◆可看伏神 {}爻官鬼", g.lineNumber()));
    }
    out.append(g.analysis.text).append(kIllnessVerdicts[g.verdict()]);
    out.append("\n◆鬼爻为").append(PhaseName(PhaseOfBranch(g.pick.branch))).append("主");
    out.append(kOrgans[PhaseOfBranch(g.pick.branch)]).append("等方面的病。");
    out.append("\n◆鬼在").append(kBodyParts[g.pick.line]);
    if (f.guan.count == 2) out.append("\n◆鬼爻两现，不是身体多处有病，就是旧病复发。");
    appendRules(out, f, kIllnessRules, "\r\n◆", "");
    out.append(timingSection(f, g, "\r\n\r\n●定应期:"));
    return out;
}

std::string weatherText(const Frame& f) {
    std::string out = fmt::format("{}预测：\n", TopicName(kTopicWeather));
    for (int i = 0; i < 6; ++i) {
        if (!f.lineMoves(i)) continue;
        const std::string_view name = RelativeName(f.relative(i));
        const LineEvaluation analysis = EvaluateLine(f.chart, name, i, f.branch(i));
        out.append("\n◆").append(resourceString(kMovingWeatherTexts + f.relative(i)));
        out.append("\n◆").append(name).append(analysis.text).append(kStrengthSentences[analysis.score]);
        appendWeatherChange(out, f, i);
    }
    if (f.moving == 0) {
        const int world = f.worldLine;
        const LineEvaluation analysis = EvaluateLine(f.chart, "世爻", world, f.branch(world));
        out.append("\n◆主卦无动爻，可看世爻论断。");
        out.append("\n◆").append(resourceString(kWorldWeatherTexts + f.relative(world)));
        out.append("\n◆世爻").append(analysis.text).append(kStrengthSentences[analysis.score]);
        appendWeatherChange(out, f, world);
    }
    return out;
}

}  // namespace qingheng::topics
