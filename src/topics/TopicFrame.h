#pragma once
// The chart facts and the terms that every topic rule tests, named as the rules name them,
// so that a rule row reads like its row in the rule table:
//     moves(f.zisun) && present(f.cai) && f.worldHolds(kGuanGui)
// The frame only reads the assembled chart; it never changes it.
#include <array>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "chart/Liuyaoex.h"

namespace qingheng::topics {

using Record = RelativeSummary;

// Relatives and spirits by their Chinese names' initials, for the rule rows.
inline constexpr Relative kXiongDi = 0, kZiSun = 1, kQiCai = 2, kGuanGui = 3, kFuMu = 4;
inline constexpr Spirit kXuanWu = 0, kQingLong = 1, kZhuQue = 2, kGouChen = 3, kTengShe = 4, kBaiHu = 5;
inline constexpr Trigram kQian = 0, kDui = 1, kLi = 2, kZhen = 3, kXun = 4, kKan = 5, kGen = 6, kKun = 7;

// Places of the trigrams, by trigram index.
inline constexpr std::array<std::string_view, 8> kTrigramPlaces = {"西北", "西", "南",   "东",
                                                                   "东南", "北", "东北", "西南"};

struct Frame {
    explicit Frame(const Chart& chart);

    const Chart& chart;

    // The summary records: the five relatives, the world line 世 and the response line 应.
    const Record& xiong;   // 兄弟
    const Record& zisun;   // 子孙
    const Record& cai;     // 妻财
    const Record& guan;    // 官鬼
    const Record& fu;      // 父母
    const Record& shi;     // 世
    const Record& ying;    // 应
    const Record& useGod;  // U: the relative chosen in the window's 用神 list

    Branch year, month, day;  // branches of the casting moment's signs
    Phase monthPhase, dayPhase;
    int moving;  // number of moving lines
    int worldLine, responseLine;

    const Record& of(Relative r) const { return chart.summaries[r]; }

    // Line i of the main hexagram (0 = bottom).
    Branch branch(int i) const { return chart.branches[i]; }
    Relative relative(int i) const { return chart.relatives[i]; }
    Spirit spirit(int i) const { return chart.spirits[i]; }
    int code(int i) const { return chart.main.lineCode(i) - '0'; }
    Branch changedBranch(int i) const { return chart.changedBranches[i]; }
    Relative changedRelative(int i) const { return chart.changedRelatives[i]; }
    Phase phase(int i) const { return PhaseOfBranch(branch(i)); }
    SeasonState season(int i) const { return SeasonStateOf(phase(i), month); }
    bool lineMoves(int i) const { return code(i) >= 3; }
    bool lineProsperous(int i) const { return season(i) < 2; }
    // The trigram holding line i: the lower one for lines 0 to 2, the upper one above.
    Trigram trigramOf(int i) const { return i < 3 ? chart.main.lower : chart.main.upper; }
    Trigram changedTrigramOf(int i) const { return i < 3 ? chart.changed.lower : chart.changed.upper; }

    bool isVoid(Branch b) const { return b == chart.voidBranches[0] || b == chart.voidBranches[1]; }
    bool isVoid(const Record& x) const { return isVoid(x.branch); }
    bool worldHolds(Relative r) const { return relative(worldLine) == r; }
    bool responseHolds(Relative r) const { return relative(responseLine) == r; }
    // Phase p is the world's phase or generates it.
    bool helpsWorld(Phase p) const;
    // Lines 0/3, 1/4 and 2/5 all harmonise (all clash), in the main or the changed hexagram.
    bool sixHarmony() const { return pairsAll(chart.branches, kRelationHarmony); }
    bool sixClash() const { return pairsAll(chart.branches, kRelationClash); }
    bool changedSixHarmony() const { return pairsAll(chart.changedBranches, kRelationHarmony); }
    bool changedSixClash() const { return pairsAll(chart.changedBranches, kRelationClash); }
    // The month, day or year branch clashes branch b.
    bool monthClashes(Branch b) const { return Clashes(month, b); }
    bool dayClashes(Branch b) const { return Clashes(day, b); }
    bool yearClashes(Branch b) const { return Clashes(year, b); }
    // The 咸池 branch of the day.
    Branch peachBlossom() const;
    // Rank 1 to 8 of the main hexagram in its palace.
    int rank() const { return chart.main.rank; }
    Trigram palace() const { return chart.main.palace; }

private:
    static bool pairsAll(const std::array<Branch, 6>& b, BranchRelation r);
};

// Terms on one record.
inline bool present(const Record& x) { return x.count > 0; }
inline bool absent(const Record& x) { return x.count == 0; }
inline bool moves(const Record& x) { return x.lineCode >= 3; }
inline bool still(const Record& x) { return x.lineCode <= 2; }
inline bool prosperous(const Record& x) { return x.season < 2; }
inline bool isYang(const Record& x) { return x.lineCode % 2 == 1; }
inline bool inUpperTrigram(const Record& x) { return x.line >= 3; }

// How branch a acts on branch b: 1 clash, 2 six-harmony, 3 supports, 4 hinders, 5 small.
inline int rel(Branch a, Branch b) { return RelationOf(a, b); }
// Three-branch combination: phase 0-4 of a harmony frame, 10 + phase of a meeting, 21 and 22
// the punishments, -1 none.
inline int frame(Branch a, Branch b, Branch c) { return ClassifyBranchTriple(a, b, c); }
inline bool isHarmonyOrMeeting(int combination) { return combination >= 0 && combination < 20; }
inline Phase phaseOfCombination(int combination) { return combination % 10; }
// (a − b + 10) mod 5 of two phases: 0 the same phase, 4 a generates b, 3 a controls b.
inline int phaseStep(Phase a, Phase b) { return mod(a - b, 5); }
inline bool oneOf(int value, std::initializer_list<int> set) {
    for (int v : set) {
        if (v == value) return true;
    }
    return false;
}

// One row of a rule table, with its number in the table. A plain row appends its message when
// its test holds; a choice row picks one of its messages by the index its test returns (-1:
// none). A row whose rule has two messages appears twice under the same number.
struct Rule {
    using Test = bool (*)(const Frame&);
    using Choice = int (*)(const Frame&);

    constexpr Rule(int n, Test t, std::string_view message) : number(n), test(t), messages{message} {}
    constexpr Rule(int n, Choice c, std::array<std::string_view, 6> choices)
        : number(n), choice(c), messages(choices) {}

    // The message this row adds for the chart, empty when it adds none.
    std::string_view messageFor(const Frame& f) const;

    int number = 0;
    Test test = nullptr;
    Choice choice = nullptr;
    std::array<std::string_view, 6> messages{};
};

// Appends, in table order, before + message + after for every row that holds.
void appendRules(std::string& out, const Frame& f, std::span<const Rule> rules, std::string_view before,
                 std::string_view after);

}  // namespace qingheng::topics
