// Rating of one line against the month and the day, its change, void and relations, and
// the 反吟/伏吟 rule of the two trigrams.
#include <array>
#include <string>

#include "chart/Liuyaoex.h"

namespace qingheng {

using namespace std::string_view_literals;

namespace {

bool isStrongSeason(SeasonState s) { return s == 0 || s == 1; }  // 旺, 相

bool isStrongStage(GrowthStage g) { return g <= kStageDiWang || g == kStageMu; }

int seasonAndDayScore(const Chart& c, Branch b) {
    const Phase p = PhaseOfBranch(b);
    return (isStrongSeason(SeasonStateOf(p, c.monthBranch())) ? 1 : 0) +
           (isStrongStage(GrowthStageOf(p, c.dayBranch())) ? 1 : 0);
}

// The one two-branch phrase word between the line's branch b and o, or empty.
std::string_view pairWord(Branch b, Branch o) {
    if (o == b && IsSelfPunishing(b)) return "自刑";
    if (Clashes(o, b)) return "相冲";
    if (o == HarmonyPartner(b)) return "六合";
    if (o == HarmPartner(b)) return "相害";
    if (IsRudePunishment(b, o)) return "无礼之刑";
    return {};
}

void appendPairPhrase(std::string& text, Branch b, Branch o, std::string_view name, std::string_view where) {
    const std::string_view word = pairWord(b, o);
    if (word.empty()) return;
    text.append(BranchName(b))
        .append(BranchName(o))
        .append(name)
        .append("与"sv)
        .append(where)
        .append(word)
        .append(","sv);
}

void appendTriplePhrase(std::string& text, const Chart& c, Branch b, std::string_view name) {
    const int code = ClassifyBranchTriple(b, c.monthBranch(), c.dayBranch());
    if (code < 0) return;
    text.append(BranchName(b)).append(BranchName(c.monthBranch())).append(BranchName(c.dayBranch()));
    text.append(name).append("与月令与日辰"sv).append(TripleName(code));
    // The fire combination has always been written with a full-width comma.
    text.append(code == 2 ? "，" : ",");
}

constexpr std::string_view kOuterFanYin = "\n  ◇外卦反吟，有他人或它物不安之像，不利测事。";
constexpr std::string_view kInnerFanYin = "\n  ◇内卦反吟，有求测人不安之像，不利测事。";
constexpr std::string_view kOuterFuYin = "\n  ◇外卦伏吟，有他人或它物忧虑呻吟之像，不利测事。";
constexpr std::string_view kInnerFuYin = "\n  ◇内卦伏吟，有求测人忧虑呻吟之像，不利测事。";

bool isFanYin(const Chart& c, bool outer) {
    const Trigram t = outer ? c.main.upper : c.main.lower;
    const Trigram u = outer ? c.changed.upper : c.changed.lower;
    const int d = mod(PhaseOfTrigram(t) - PhaseOfTrigram(u), 5);
    return d == 2 || d == 3;
}

bool isFuYin(const Chart& c, bool outer) {
    const Trigram t = outer ? c.main.upper : c.main.lower;
    const Trigram u = outer ? c.changed.upper : c.changed.lower;
    const int middle = outer ? 4 : 1;  // line 5 outside, line 2 inside
    return t != u && c.branches[middle] == c.changedBranches[middle];
}

// The opening of every evaluation, "子水旺于月令,长生于日辰", joined from pieces that each
// depend on one value, once instead of at every line of every chart.
struct OpeningPhrases {
    std::array<std::string, 12> branchAndPhase;  // "子水"
    std::array<std::string, 5> inMonth;          // "旺于月令,"
    std::array<std::string, 12> atDay;           // "长生于日辰"
};

const OpeningPhrases& openingPhrases() {
    static const OpeningPhrases phrases = [] {
        OpeningPhrases p;
        for (Branch b = 0; b < 12; ++b) {
            p.branchAndPhase[b].append(BranchName(b)).append(PhaseName(PhaseOfBranch(b)));
        }
        for (SeasonState s = 0; s < 5; ++s) p.inMonth[s].append(SeasonStateName(s)).append("于月令,"sv);
        for (GrowthStage g = 0; g < 12; ++g) p.atDay[g].append(GrowthStageName(g)).append("于日辰"sv);
        return p;
    }();
    return phrases;
}

}  // namespace

LineScore AppendLineEvaluation(const Chart& c, std::string_view name, int line, Branch b, std::string& text) {
    const std::size_t start = text.size();
    const OpeningPhrases& phrases = openingPhrases();
    LineScore out;
    const Phase p = PhaseOfBranch(b);
    const SeasonState season = SeasonStateOf(p, c.monthBranch());
    const GrowthStage stage = GrowthStageOf(p, c.dayBranch());
    text.append(phrases.branchAndPhase[b]).append(phrases.inMonth[season]).append(phrases.atDay[stage]);
    out.score = seasonAndDayScore(c, b);

    if (c.movingCount == 0) {
        text.append(","sv);
    } else {
        const Branch changed = c.changedBranches[line];
        out.change = BaseChangeStateOf(b, changed);
        text.append(",化"sv).append(ChangeStateWord(out.change)).append(","sv);
        if (Clashes(b, changed)) {
            text.append("化六冲,"sv);
            out.change = kChangeClash;
        }
        if (changed == HarmonyPartner(b)) {
            text.append("化六合,"sv);
            out.change = kChangeHarmony;
        }
        if (GrowthStageOf(p, changed) == kStageMu) {
            text.append("化入墓,"sv);
            out.change = kChangeTomb;
        }
    }

    if (b == c.voidBranches[0] || b == c.voidBranches[1]) text.append("逢空亡,"sv);
    appendPairPhrase(text, b, c.monthBranch(), name, "月令");
    appendPairPhrase(text, b, c.dayBranch(), name, "日辰");
    appendTriplePhrase(text, c, b, name);

    if (text.size() > start && text.back() == ',') {
        text.pop_back();
        text.append("。"sv);
    }
    return out;
}

LineEvaluation EvaluateLine(const Chart& c, std::string_view name, int line, Branch b) {
    LineEvaluation out;
    const LineScore s = AppendLineEvaluation(c, name, line, b, out.text);
    out.score = s.score;
    out.change = s.change;
    return out;
}

LineScore ScoreLine(const Chart& c, int line, Branch b) {
    return {seasonAndDayScore(c, b), ChangeStateOf(b, c.changedBranches[line])};
}

int FanFuYinFlag(const Chart& c, bool outer) {
    if (isFuYin(c, outer)) return 2;
    return isFanYin(c, outer) ? 1 : 0;
}

std::string FanFuYinText(const Chart& c) {
    std::string text;
    if (isFanYin(c, true)) text.append(kOuterFanYin);
    if (isFuYin(c, true)) text.append(kOuterFuYin);
    if (isFanYin(c, false)) text.append(kInnerFanYin);
    if (isFuYin(c, false)) text.append(kInnerFuYin);
    return text;
}

}  // namespace qingheng
