// The general judgement of the chart report and the star tables of its last section.
#include "chart/GeneralJudgement.h"

#include <array>
#include <string_view>

#include "platform/StringTable.h"
#include "topics/Timing.h"

namespace qingheng {

using namespace std::string_view_literals;

namespace {

// ---------------------------------------------------------------- stars (吉神凶煞)

constexpr unsigned bits(std::initializer_list<Branch> branches) {
    unsigned mask = 0;
    for (Branch b : branches) mask |= 1u << b;
    return mask;
}

// By the day stem (癸 0 … 壬 9): the branches of 天乙 and of 太极.
constexpr std::array<unsigned, 10> kTianYi = {
    bits({4, 6}),   // 癸: 卯 巳
    bits({2, 8}),   // 甲: 丑 未
    bits({1, 9}),   // 乙: 子 申
    bits({0, 10}),  // 丙: 亥 酉
    bits({0, 10}),  // 丁: 亥 酉
    bits({2, 8}),   // 戊: 丑 未
    bits({1, 9}),   // 己: 子 申
    bits({3, 7}),   // 庚: 寅 午
    bits({3, 7}),   // 辛: 寅 午
    bits({4, 6}),   // 壬: 卯 巳
};
constexpr std::array<unsigned, 10> kTaiJi = {
    bits({6, 9}),         // 癸: 巳 申
    bits({1, 7}),         // 甲: 子 午
    bits({1, 7}),         // 乙: 子 午
    bits({10, 4}),        // 丙: 酉 卯
    bits({10, 4}),        // 丁: 酉 卯
    bits({5, 11, 2, 8}),  // 戊: 辰 戌 丑 未
    bits({5, 11, 2, 8}),  // 己: 辰 戌 丑 未
    bits({3, 0}),         // 庚: 寅 亥
    bits({3, 0}),         // 辛: 寅 亥
    bits({6, 9}),         // 壬: 巳 申
};
// 禄 and 羊刃 by the day stem; 金舆 stands two branches after 禄.
constexpr std::array<Branch, 10> kLu = {1, 3, 4, 6, 7, 6, 7, 9, 10, 0};
constexpr std::array<Branch, 10> kYangRen = {0, 4, 3, 7, 6, 7, 6, 10, 9, 1};

// The stars of the day branch's group, each with the branch it falls on.
constexpr std::array<std::string_view, 6> kGroupStarNames = {"驿马 ", "华盖 ", "将星 ", "桃花 ", "劫煞 ", "灾煞 "};
constexpr std::array<std::array<Branch, 6>, 4> kGroupStars = {{
    {9, 11, 7, 4, 0, 1},  // 寅 午 戌
    {0, 2, 10, 7, 3, 4},  // 巳 酉 丑
    {6, 8, 4, 1, 9, 10},  // 亥 卯 未
    {3, 5, 1, 10, 6, 7},  // 申 子 辰
}};
// Group of each day branch (亥 … 戌).
constexpr std::array<int, 12> kGroupOfBranch = {2, 3, 1, 0, 2, 3, 1, 0, 2, 3, 1, 0};

// ---------------------------------------------------------------- judgement texts

constexpr std::array<std::string_view, 3> kUseGodVerdicts = {
    "偏弱。不利测事，目的较难达到，可等待时机，不可贸然行事。",
    "平和。主所测事一般，努力争取或能达到目的，否则其事难成。",
    "偏强。此卦吉利，事多顺利，谋望可成。",
};

// Texts by BranchRelation 1 相冲 … 5 作用力小 (index 0 unused).
using RelationTexts = std::array<std::string_view, 6>;
constexpr RelationTexts kWorldOnUse = {
    "",
    "世爻和用神相冲，此卦不利用神，不利之像，意味着办事阻力大。",
    "世爻和用神相合，卦吉则增吉利，卦凶就有拖累的意思。",
    "世爻生扶用神，帮助之力强，有利事物的发展。",
    "世爻克耗用神，此卦阻扰用神，破坏阻力强，干扰事物的发展。",
    "世爻对用神作用力小，无甚影响，可看动爻而定。",
};
constexpr RelationTexts kMovingOnUse = {
    "",
    "动爻和用神相冲，不利之像，意味着办事阻力大。",
    "动爻和用神相合，卦吉则增吉利，卦凶就有拖累的意思。",
    "动爻生扶用神，帮助之力强，有利事物的发展。",
    "动爻克耗用神，破坏阻力强，干扰事物的发展。",
    "动爻对用神作用力小，无甚影响。",
};
constexpr RelationTexts kFlyingOnHidden = {
    "",
    "飞神和伏神相冲，伏神无用，办事难成，要再看世爻而定。",
    "飞神和伏神相合，冲开飞神之日，伏神可用，其事可谋。",
    "飞神生扶伏神，伏神有用，有利事物的发展，谋事易成。",
    "飞神克耗伏神，破坏阻力强，伏神不能出，办事难成。",
    "飞神对伏神作用力小，要看月建、日辰对伏神的影响。",
};
constexpr RelationTexts kResponseOnWorld = {
    "",
    "应爻和世爻相冲，不得人和之助，与人合作之事不能成。",
    "应爻和世爻相合，利于与他人合作办事，能促进自身的发展。",
    "应爻生扶世爻，为他人来助我，得人和。",
    "应爻克耗世爻，为他人阻扰或不利自身，外部环境不利。",
    "应爻对世爻作用力小，他人对自身的影响小，主要看世爻而定。",
};

// The source (原神) or the enemy (忌神) of the use god: its heading, the text when no line
// holds it, and the texts by the lines' score.
struct HelperTexts {
    std::string_view heading;
    std::string_view absent;
    std::array<std::string_view, 3> verdicts;
};
constexpr HelperTexts kSource = {
    "\n\n★原神：",
    "原神未上卦，做事少人帮，须靠自己的力量，也表示事物的发展缺乏原动力。",
    {"原神偏弱，主所测事物得外力之助甚少。", "原神平和，主所测事物得外力帮助不大，主要靠自身的发展。",
     "原神偏强，外力之助影响大，能有效地促进事物自身的发展。"},
};
constexpr HelperTexts kEnemy = {
    "\n★忌神：",
    "忌神未上卦，做事没有外力的阻扰，也表示事物在发展中遇到的阻力小。",
    {"忌神偏弱，主所测事物遇外部阻力甚少，事情进展较为顺利。",
     "忌神平和，主所测事物遇外部阻力不大，尚不构成对自身的威协。",
     "忌神偏强，外部阻力影响大，会扼制事物自身的发展，不利。"},
};

// Resource strings: the world line by its relative, a moving line by its relative, a
// moving spirit (6620 青龙 … 6625 玄武).
constexpr int kWorldRelativeText = 6605;
constexpr int kMovingRelativeText = 6610;
constexpr int kMovingSpiritText = 6619;

constexpr std::string_view kItem = "\n  ◇";

constexpr std::array<std::string_view, 6> kLineNames = {"1爻", "2爻", "3爻", "4爻", "5爻", "6爻"};

std::string_view lineName(int line) { return kLineNames[line]; }

const std::string& spiritText(Spirit s) {
    // 玄武 has index 0 and stands last, after 白虎.
    return resourceString(kMovingSpiritText + (s == 0 ? 6 : s));
}

int onlyMovingLine(const Chart& c) {
    for (int i = 0; i < 6; ++i) {
        if (IsMovingLine(c.main.lineCode(i))) return i;
    }
    return -1;
}

// Returns the use god's rating.
int appendUseGod(const Chart& c, std::string& out) {
    const UseGod& u = c.useGod;
    static constexpr std::array<std::string_view, 3> kPick = {"未上卦，可借 ", "取 ", "两现可取 "};
    static constexpr std::array<std::string_view, 3> kPickEnd = {"伏神为用。", "为用。", "为用。"};
    out.append(kPick[u.count]).append(lineName(u.line)).append(RelativeName(u.relative)).append(BranchName(u.branch));
    out.append(PhaseName(u.phase)).append(kPickEnd[u.count]);
    out.append("用神"sv);
    const int useScore = AppendLineEvaluation(c, "用神", u.line, u.branch, out).score;
    out.append("\n  ◇综合判断：用神"sv).append(kUseGodVerdicts[useScore]);
    if (u.line != c.main.world) {
        out.append(kItem).append(kWorldOnUse[RelationOf(c.branches[c.main.world], u.branch)]);
    }
    if (u.count > 0 && IsMovingLine(c.main.lineCode(u.line))) {
        out.append(kItem).append("用爻为动爻，事情发展快，吉凶易见且应验迅速。"sv);
    }
    return useScore;
}

void appendMovingLine(const Chart& c, std::string& out) {
    out.append(kItem);
    if (c.movingCount == 0) {
        out.append("无动爻，可直接看世爻和用神断卦。"sv);
        return;
    }
    if (c.movingCount > 1) {
        out.append("动爻过多，可直接看世爻和用神断卦。"sv);
        return;
    }
    const int m = onlyMovingLine(c);
    const UseGod& u = c.useGod;
    if (!(u.count > 0 && m == u.line)) {
        out.append("动爻"sv).append(RelativeName(c.relatives[m]));
        AppendLineEvaluation(c, "动爻", m, c.branches[m], out);
        out.append(kItem).append(kMovingOnUse[RelationOf(c.branches[m], u.branch)]).append(kItem);
    }
    out.append(RelativeName(c.relatives[m]))
        .append("发动，"sv)
        .append(resourceString(kMovingRelativeText + c.relatives[m]));
    out.append(kItem).append(SpiritName(c.spirits[m])).append("发动，"sv).append(spiritText(c.spirits[m]));
}

void appendFlyingSpirit(const Chart& c, std::string& out) {
    const int line = c.useGod.line;
    const Branch flying = c.branches[line];
    out.append("\n  ★飞神："sv).append(lineName(line)).append(RelativeName(c.relatives[line]));
    AppendLineEvaluation(c, "飞神", line, flying, out);
    out.append(kItem).append(kFlyingOnHidden[RelationOf(flying, c.useGod.branch)]);
}

// Every main line holding the relative, from line 1 up, and the verdict on their mean score.
void appendHelper(const Chart& c, Relative r, const HelperTexts& texts, std::string& out) {
    out.append(texts.heading);
    int lines = 0;
    int total = 0;
    for (int i = 0; i < 6; ++i) {
        if (c.relatives[i] != r) continue;
        const std::string_view name = lineName(i);
        out.append(name).append(RelativeName(r));
        total += AppendLineEvaluation(c, name, i, c.branches[i], out).score;
        ++lines;
    }
    if (lines == 0) {
        out.append(texts.absent);
        return;
    }
    out.append(kItem).append(texts.verdicts[lines == 2 ? total / 2 : total]);
}

void appendWorldAndResponse(const Chart& c, std::string& out) {
    const int world = c.main.world;
    const int response = c.main.response;
    const Relative worldRelative = c.relatives[world];
    out.append("\n\n【世爻】"sv).append(RelativeName(worldRelative));
    AppendLineEvaluation(c, "世爻", world, c.branches[world], out);
    out.append(kItem).append(RelativeName(worldRelative)).append("爻持世："sv);
    out.append(resourceString(kWorldRelativeText + worldRelative));

    out.append(kItem).append("应爻"sv).append(RelativeName(c.relatives[response]));
    AppendLineEvaluation(c, "应爻", response, c.branches[response], out);
    out.append(kItem).append(kResponseOnWorld[RelationOf(c.branches[response], c.branches[world])]);
}

// The stars of a line, appended (see ShenShaOf).
void appendShenSha(const Chart& c, int line, std::string& text) {
    const Branch b = c.branches[line];
    const Stem s = c.dayStem();
    const std::size_t start = text.size();
    if (kTianYi[s] & (1u << b)) text += "天乙 "sv;
    if (kTaiJi[s] & (1u << b)) text += "太极 "sv;
    const std::array<Branch, 6>& group = kGroupStars[kGroupOfBranch[c.dayBranch()]];
    for (std::size_t k = 0; k < group.size(); ++k) {
        if (group[k] == b) {
            text += kGroupStarNames[k];
            break;
        }
    }
    if (b == kLu[s]) text += "禄神 "sv;
    if (b == (kLu[s] + 2) % 12) text += "金舆 "sv;
    if (b == kYangRen[s]) text += "羊刃 "sv;
    if (text.size() == start) text.append("     "sv);
    text.append("   "sv);
}

void appendStars(const Chart& c, std::string& out) {
    out.append("\n\n【吉神凶煞】\n  "sv);
    for (int i = 0; i < 6; ++i) {
        out.append(lineName(i)).append("值："sv);
        appendShenSha(c, i, out);
        if (i == 2) out.append("\n  "sv);
    }
}

}  // namespace

std::string ShenShaOf(const Chart& c, int line) {
    std::string text;
    appendShenSha(c, line, text);
    return text;
}

std::string UseGodTiming(const Chart& c) {
    const UseGod& u = c.useGod;
    return timingText(c, u.count, ScoreLine(c, u.line, u.branch).score, u.line, u.branch);
}

void WriteGeneralJudgement(const Chart& c, std::string& out) {
    const UseGod& u = c.useGod;
    out.append("爻像解析：　\r\n【用神】"sv);
    const int useScore = appendUseGod(c, out);
    appendMovingLine(c, out);
    if (u.count == 0) appendFlyingSpirit(c, out);
    appendHelper(c, u.companionRelatives[0], kSource, out);
    appendHelper(c, u.companionRelatives[1], kEnemy, out);
    appendWorldAndResponse(c, out);
    out.append("\n\n【定应期】"sv).append(timingText(c, u.count, useScore, u.line, u.branch));
    appendStars(c, out);
}

}  // namespace qingheng
