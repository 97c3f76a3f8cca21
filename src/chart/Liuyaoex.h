#pragma once
// CLiuYaoEx: the chart engine. From the case data it dates the casting time, lays out the
// main, changed and mutual hexagrams with their stems, branches, relatives, spirits,
// hidden spirits, void and 卦身, picks the use god, writes the two report texts with their
// emphasis, and leaves summary records for the topic judgements.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Yidate.h"
#include "platform/Settings.h"
#include "platform/StyledText.h"
#include "vocab/Hexagram.h"
#include "vocab/Signs.h"

namespace qingheng {

struct ReportEnding;

// Casting methods whose input the report header repeats.
inline constexpr int kMethodNumber = 3;
inline constexpr int kMethodCharacters = 4;

// The case data the main window copies into the engine before every assembly.
struct CaseInfo {
    std::string name;         // 求测人, at most 10 GBK bytes
    std::string question;     // 占问事宜, at most 40 GBK bytes
    std::string methodLabel;  // label of the casting method, at most 9 GBK bytes
    CastingTime castingTime;  // date and time with the lunar and leap flags as entered
    Relative useGod = 0;
    std::string mainCode = "222131";     // top line first, '3'/'4' moving
    std::string changedCode = "222121";  // '1'/'2' only
    std::uint8_t reserved = 0;
    std::int16_t reserved1 = 0, reserved2 = 0;
    float longitude = kNoPosition;  // -500 or less: no position given
    float latitude = kNoPosition;
    int castingMethod = 5;
    std::string inputText;  // digits or characters of number and character casting
    std::int16_t upper = 0, lower = 0, total = 0;

    bool hasPosition() const { return IsGivenPosition(longitude); }
};

// One of the main, mutual and changed hexagrams.
struct HexagramInfo {
    Trigram palace = 0;
    int rank = 1;
    int world = 5;  // line index, 0 = line 1
    int response = 2;
    Trigram upper = 0;
    Trigram lower = 0;
    Phase palacePhase = phase::kMetal;
    std::array<char, 7> code{};  // six LineCode characters, top first, zero-terminated

    int number() const { return HexagramNumber(palace, rank); }
    std::string_view codeText() const { return {code.data(), 6}; }
    // LineCode character of line index i (0 = line 1).
    char lineCode(int i) const { return code[5 - i]; }
};

// What the topic judgements read for one relative, the world line or the response line.
struct RelativeSummary {
    int line = 0;
    Branch branch = 0;
    int count = 0;     // 0 hidden, 1, 2 two present; 1 for world and response
    int score = 0;     // 0 偏弱, 1 平和, 2 偏强
    int lineCode = 1;  // LineCode digit 1..4 of that line in the main hexagram
    Phase phase = 0;
    SeasonState season = 0;
    ChangeState change = 0;
};

inline constexpr int kSummaryWorld = 5;
inline constexpr int kSummaryResponse = 6;

// A hidden spirit (伏神) under a line: the line of the palace's pure hexagram.
struct HiddenSpirit {
    Relative relative = -1;  // -1: the line carries none
    Branch branch = 0;
    Stem stem = 0;
    bool present() const { return relative >= 0; }
};

// The line the use god is taken from.
struct UseGodPick {
    int line = 0;
    Branch branch = 0;
    int count = 0;  // 0 hidden, 1, 2 两现
};

struct UseGod {
    int line = 0;
    int count = 0;
    Branch branch = 0;
    Phase phase = 0;
    std::array<Phase, 4> companionPhases{};  // phase + 4, + 3, + 2, + 1 (mod 5)
    Relative relative = 0;
    std::array<Relative, 4> companionRelatives{};  // 原神, 忌神, controlled, generated
};

// The assembled chart. Line arrays: index 0 = line 1 (bottom).
struct Chart {
    DateRecord moment;     // the casting moment as a Gregorian clock time
    DateRecord gregorian;  // after the true-solar-time correction when a position is given
    DateRecord lunar;
    std::uint8_t lunarLeap = 0;  // the lunar casting date lies in a leap month
    FourPillars pillars;         // year = -1 until assembled

    std::array<Spirit, 6> spirits{};
    Branch guaShen = 0;

    std::array<Branch, 6> branches{};
    std::array<Relative, 6> relatives{};
    std::array<Stem, 6> stems{};
    std::array<Branch, 6> changedBranches{};
    std::array<Relative, 6> changedRelatives{};  // against the main palace's phase
    std::array<Stem, 6> changedStems{};
    std::array<HiddenSpirit, 6> hidden{};

    UseGod useGod;
    HexagramInfo main, mutual, changed;
    int movingCount = 0;
    std::array<Branch, 2> voidBranches{};
    int fanFuYinOuter = 0;  // 0 none, 1 反吟, 2 伏吟
    int fanFuYinInner = 0;
    std::array<RelativeSummary, 7> summaries{};  // five relatives, world, response

    int qiangua = 0;     // 乾卦初爻: 0 从子起, 1 从午起
    bool nagan = false;  // 显示六爻纳干

    bool assembled() const { return pillars.year >= 0; }
    Branch monthBranch() const { return BranchOf(pillars.month); }
    Branch dayBranch() const { return BranchOf(pillars.day); }
    Stem dayStem() const { return StemOf(pillars.day); }
    bool hasHiddenSpirits() const;
};

// One line across the main, changed and hidden columns.
struct ChartLine {
    char code = '1';
    Spirit spirit = 0;
    Branch branch = 0;
    Stem stem = 0;
    Relative relative = 0;
    char changedCode = '1';
    Branch changedBranch = 0;
    Stem changedStem = 0;
    Relative changedRelative = 0;
    std::optional<HiddenSpirit> hidden;
};

struct LineEvaluation {
    int score = 0;
    ChangeState change = 0;
    std::string text;
};

struct LineScore {
    int score = 0;
    ChangeState change = 0;
};

class CLiuYaoEx {
public:
    CLiuYaoEx() = default;

    // Copied in by the caller before every Assemble.
    CaseInfo caseInfo;
    // When set, used instead of reading dat/set.ini (command-line overrides, tests).
    std::optional<ChartSettings> settingsOverride;
    // Cleared by the window when it shows a stored report instead of the new texts: Assemble
    // builds the texts and spans all the same, only the panes keep what they show.
    bool writeReports = true;

    // The chart report, the Mei Hua report and the message of a failed Assemble.
    std::string lineText;
    std::string hexText;
    std::string errorText;
    // Emphasis of the two texts, in the character positions of displayText().
    std::vector<StyleSpan> lineSpans;
    std::vector<StyleSpan> hexSpans;

    const Chart& chart() const { return chart_; }

    // Builds the chart and the reports for caseInfo. On failure returns false with the
    // message in errorText; the chart, the texts and the spans stay as they were.
    bool Assemble(std::string_view methodLabel);

    UseGodPick FindUseGod(Relative r) const;
    LineEvaluation EvaluateLine(std::string_view name, int line, Branch b) const;
    LineScore ScoreLine(int line, Branch b) const;
    // 反吟/伏吟 remarks for the outer then the inner trigram; empty when neither applies.
    std::string FanFuYinText() const;

    // Evaluation of the chart line shown on a report row (rows from 1); empty elsewhere.
    std::string LineHint(int row) const;
    // 1: the Mei Hua analysis from "卦像解析：　"; 0: the chart analysis from "爻像解析：　".
    std::string AnalysisText(int which) const;
    ChartLine Line(int index) const;
    // Report row of line 6 in the chart report.
    int FirstChartRow() const;

    // The codes and the use god a chart is assembled from; false with the message in error.
    static bool validateCase(const CaseInfo& info, std::string& error);

private:
    Chart chart_;
    CaseInfo assembledCase_;  // the case data of the last successful assembly

    static void buildChartLines(Chart& c, const CaseInfo& info, const ChartSettings& settings);
    static void fillUseGod(Chart& c);
    static void fillSummaries(Chart& c);

    // Sections that follow the chart block and the trigram pictures.
    void appendGeneralJudgement();  // 爻像解析 of the chart report
    void appendMeiHua();            // 卦像解析 of the Mei Hua report
    // Classic texts and the coin lesson, in both reports; returns them with what the emphasis
    // knows about them.
    const ReportEnding& appendClassicTexts();
};

// Pure functions on a chart; the engine's members forward to them.
UseGodPick FindUseGod(const Chart& c, Relative r);
LineEvaluation EvaluateLine(const Chart& c, std::string_view name, int line, Branch b);
// The same evaluation appended to text, for the reports.
LineScore AppendLineEvaluation(const Chart& c, std::string_view name, int line, Branch b, std::string& text);
LineScore ScoreLine(const Chart& c, int line, Branch b);
int FanFuYinFlag(const Chart& c, bool outer);
std::string FanFuYinText(const Chart& c);

}  // namespace qingheng
