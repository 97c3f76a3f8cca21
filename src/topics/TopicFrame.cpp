#include "topics/TopicFrame.h"

namespace qingheng::topics {

Frame::Frame(const Chart& c)
    : chart(c),
      xiong(c.summaries[kXiongDi]),
      zisun(c.summaries[kZiSun]),
      cai(c.summaries[kQiCai]),
      guan(c.summaries[kGuanGui]),
      fu(c.summaries[kFuMu]),
      shi(c.summaries[kSummaryWorld]),
      ying(c.summaries[kSummaryResponse]),
      useGod(c.summaries[c.useGod.relative]),
      year(BranchOf(c.pillars.year)),
      month(c.monthBranch()),
      day(c.dayBranch()),
      monthPhase(PhaseOfBranch(month)),
      dayPhase(PhaseOfBranch(day)),
      moving(c.movingCount),
      worldLine(c.main.world),
      responseLine(c.main.response) {}

bool Frame::helpsWorld(Phase p) const { return oneOf(phaseStep(p, shi.phase), {0, 4}); }

Branch Frame::peachBlossom() const {
    // 亥卯未 days: 子; 子辰申: 酉; 丑巳酉: 午; 寅午戌: 卯. The four groups are the branches
    // taken mod 4: 亥 0 卯 4 未 8, 子 1 辰 5 申 9, 丑 2 巳 6 酉 10, 寅 3 午 7 戌 11.
    static constexpr std::array<Branch, 4> kByGroup = {branch::kZi, branch::kYou, branch::kWu, branch::kMao};
    return kByGroup[day % 4];
}

bool Frame::pairsAll(const std::array<Branch, 6>& b, BranchRelation r) {
    return RelationOf(b[0], b[3]) == r && RelationOf(b[1], b[4]) == r && RelationOf(b[2], b[5]) == r;
}

std::string_view Rule::messageFor(const Frame& f) const {
    if (test) return test(f) ? messages[0] : std::string_view{};
    const int index = choice(f);
    return index < 0 ? std::string_view{} : messages[index];
}

void appendRules(std::string& out, const Frame& f, std::span<const Rule> rules, std::string_view before,
                 std::string_view after) {
    for (const Rule& rule : rules) {
        const std::string_view message = rule.messageFor(f);
        if (message.empty()) continue;
        out.append(before).append(message).append(after);
    }
}

}  // namespace qingheng::topics
