#include "topics/Timing.h"

#include <fmt/format.h>

#include "platform/StringTable.h"

namespace qingheng {
namespace {

// The season-and-number sentences, one per trigram (乾 … 坤).
constexpr int kTrigramSeasonText = 7210;

// The trigram of the main hexagram that holds a line.
Trigram trigramOfLine(const Chart& c, int line) { return line < 3 ? c.main.lower : c.main.upper; }

bool changesIntoItsTomb(const Chart& c, int line, Branch branch) {
    // Nothing changes in a chart without moving lines: its changed hexagram is the main one.
    if (c.movingCount == 0) return false;
    return GrowthStageOf(PhaseOfBranch(branch), c.changedBranches[line]) == kStageMu;
}

}  // namespace

std::string timingText(const Chart& c, int count, int verdict, int line, Branch branch) {
    std::string text;
    if (count == 0) {
        text += fmt::format("\n  ○用神伏藏，要到出现之 {}年月日时或冲飞神之 {}年月日时，所测之事才会发生。",
                            BranchName(branch), BranchName(ClashPartner(c.branches[line])));
    }
    if (verdict < 2) text += "\n  ○用神不旺，要到生旺之年月日时，所测之事才会发生。";
    const std::array<Branch, 2> empty = VoidBranches(c.pillars.day);
    if (branch == empty[0] || branch == empty[1]) {
        text += fmt::format("\n  ○用神逢空亡，要到出空之期或填实之{}、{}年月日时，所测之事才会应验。",
                            BranchName(empty[0]), BranchName(empty[1]));
    }
    if (branch == HarmonyPartner(c.monthBranch())) {
        text += fmt::format("\n  ○用神被月令合住，应期可发生在冲用神之 {}年月日时。", BranchName(ClashPartner(branch)));
    }
    if (branch == HarmonyPartner(c.dayBranch())) {
        text += fmt::format("\n  ○用神被日辰合住，应期可发生在冲用神之 {}年月日时。", BranchName(ClashPartner(branch)));
    }
    if (changesIntoItsTomb(c, line, branch)) {
        text += fmt::format("\n  ○用神化入墓库，要到冲库之 {}年月日时，所测之事才会应验。",
                            BranchName(ClashPartner(c.changedBranches[line])));
    }
    text += "\n  ○" + resourceString(kTrigramSeasonText + trigramOfLine(c, line));
    return text;
}

}  // namespace qingheng
