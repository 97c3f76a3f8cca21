#include "vocab/Signs.h"

namespace qingheng {
namespace {

// Branch where each phase's 长生 stands: 水 申, 木 亥, 火 寅, 土 申, 金 巳.
constexpr std::array<Branch, 5> kGrowthStart = {9, 0, 3, 9, 6};

// d = (phase - month phase) mod 5 → state.
constexpr std::array<SeasonState, 5> kSeasonByDistance = {0, 1, 4, 3, 2};

struct Triple {
    Branch a, b, c;
    int code;
    std::string_view name;
};

constexpr std::array<Triple, 10> kTriples = {{
    {1, 5, 9, 0, "三合水局"},
    {4, 8, 0, 1, "三合木局"},
    {3, 7, 11, 2, "三合火局"},
    {2, 6, 10, 4, "三合金局"},
    {0, 1, 2, 10, "三会北方水"},
    {3, 4, 5, 11, "三会东方木"},
    {6, 7, 8, 12, "三会南方火"},
    {9, 10, 11, 14, "三会西方金"},
    {2, 8, 11, 21, "恃势之刑"},
    {3, 6, 9, 22, "无恩之刑"},
}};

constexpr unsigned maskOf(Branch a, Branch b, Branch c) { return (1u << a) | (1u << b) | (1u << c); }

}  // namespace

SeasonState SeasonStateOf(Phase p, Branch monthBranch) {
    return kSeasonByDistance[mod(p - PhaseOfBranch(monthBranch), 5)];
}

GrowthStage GrowthStageOf(Phase p, Branch b) { return mod(b - kGrowthStart[p], 12); }

std::array<Branch, 2> VoidBranches(GanZhi day) {
    const int position = day == 0 ? 59 : day - 1;
    const int decade = position / 10;
    return {mod(11 - 2 * decade, 12), mod(12 - 2 * decade, 12)};
}

BranchRelation RelationOf(Branch x, Branch y) {
    if (Clashes(x, y)) return kRelationClash;
    if (y == HarmonyPartner(x)) return kRelationHarmony;
    const int d = mod(PhaseOfBranch(x) - PhaseOfBranch(y), 5);
    if (d == 0 || d == 4) return kRelationSupport;
    if (d == 2 || d == 3) return kRelationHinder;
    return kRelationSmall;
}

int ClassifyBranchTriple(Branch a, Branch b, Branch c) {
    if (a == b || b == c || a == c) return -1;
    const unsigned m = maskOf(a, b, c);
    for (const Triple& t : kTriples) {
        if (maskOf(t.a, t.b, t.c) == m) return t.code;
    }
    return -1;
}

std::string_view TripleName(int code) {
    for (const Triple& t : kTriples) {
        if (t.code == code) return t.name;
    }
    return {};
}

ChangeState BaseChangeStateOf(Branch b, Branch c) {
    const Phase pb = PhaseOfBranch(b);
    switch (mod(PhaseOfBranch(c) - pb, 5)) {
        case 0: {
            if (c == b) return kChangeSame;
            const int step = c - b;
            const bool advance = (pb != phase::kEarth && step == 1) || (pb == phase::kEarth && step == 3) || step == -9;
            return advance ? kChangeAdvance : kChangeRetreat;
        }
        case 1:
            return kChangeLeak;
        case 2:
            return kChangeSpend;
        case 3:
            return kChangeBackControl;
        default:
            return kChangeBackGenerate;
    }
}

ChangeState ChangeStateOf(Branch b, Branch c) {
    ChangeState state = BaseChangeStateOf(b, c);
    if (Clashes(b, c)) state = kChangeClash;
    if (c == HarmonyPartner(b)) state = kChangeHarmony;
    if (GrowthStageOf(PhaseOfBranch(b), c) == kStageMu) state = kChangeTomb;
    return state;
}

std::string_view ChangeStateWord(ChangeState s) {
    switch (s) {
        case kChangeSame:
            return "比和";
        case kChangeAdvance:
            return "进神";
        case kChangeRetreat:
            return "退神";
        case kChangeLeak:
            return "泄气";
        case kChangeSpend:
            return "耗气";
        case kChangeBackControl:
            return "回头克";
        case kChangeBackGenerate:
            return "回头生";
        case kChangeClash:
            return "化六冲";
        case kChangeHarmony:
            return "化六合";
        case kChangeTomb:
            return "化入墓";
        default:
            return {};
    }
}

}  // namespace qingheng
