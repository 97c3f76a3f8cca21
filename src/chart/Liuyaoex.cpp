#include "chart/Liuyaoex.h"

#include "chart/ChartReport.h"
#include "chart/GeneralJudgement.h"
#include "chart/MeiHua.h"
#include "platform/Gbk.h"

namespace qingheng {
namespace {

// Spirit of line 1 by the day stem (癸 0 … 壬 9).
constexpr std::array<Spirit, 10> kFirstSpiritByDayStem = {0, 1, 1, 2, 2, 3, 4, 5, 5, 0};

bool isChangedCode(std::string_view code) {
    if (code.size() != 6) return false;
    for (char ch : code) {
        if (ch != kYoungYang && ch != kYoungYin) return false;
    }
    return true;
}

void copyCode(HexagramInfo& info, std::string_view code) {
    for (int i = 0; i < 6; ++i) info.code[i] = code[i];
    info.code[6] = '\0';
}

void placeHexagram(HexagramInfo& info, std::string_view code) {
    copyCode(info, code);
    const PalacePlace place = LocatePalace(code);
    info.palace = place.palace;
    info.rank = place.rank;
    info.world = place.worldIndex;
    info.response = place.responseIndex;
    info.upper = TrigramOf(code.substr(0, 3));
    info.lower = TrigramOf(code.substr(3, 3));
    info.palacePhase = PhaseOfTrigram(place.palace);
}

int distanceFrom(int line, int world) { return line > world ? line - world : world - line; }

}  // namespace

bool Chart::hasHiddenSpirits() const {
    for (const HiddenSpirit& h : hidden) {
        if (h.present()) return true;
    }
    return false;
}

bool CLiuYaoEx::validateCase(const CaseInfo& info, std::string& error) {
    if (!IsHexagramCode(info.mainCode)) {
        error = "主卦卦码应为六个字符，每个是1、2、3或4：" + info.mainCode;
        return false;
    }
    if (!isChangedCode(info.changedCode)) {
        error = "变卦卦码应为六个字符，每个是1或2：" + info.changedCode;
        return false;
    }
    if (info.useGod < 0 || info.useGod > 4) {
        error = "用神应为兄弟、子孙、妻财、官鬼、父母之一";
        return false;
    }
    return true;
}

bool CLiuYaoEx::Assemble(std::string_view methodLabel) {
    const ChartSettings settings = settingsOverride ? *settingsOverride : readChartSettings();
    CaseInfo info = caseInfo;
    info.methodLabel = std::string(methodLabel);

    std::string error;
    if (!validateCase(info, error)) {
        errorText = error;
        return false;
    }
    DatedMoment dated;
    if (!DateCastingTime(info.castingTime, info.longitude, dated, error)) {
        errorText = error;
        return false;
    }

    Chart c;
    c.qiangua = settings.qiangua;
    c.nagan = settings.nagan;
    c.moment = dated.moment;
    c.gregorian = dated.gregorian;
    c.lunar = dated.lunar;
    c.lunarLeap = dated.leap;
    c.pillars = dated.pillars;
    buildChartLines(c, info, settings);
    c.useGod.relative = info.useGod;
    fillUseGod(c);
    c.voidBranches = VoidBranches(c.pillars.day);
    c.fanFuYinOuter = FanFuYinFlag(c, true);
    c.fanFuYinInner = FanFuYinFlag(c, false);
    fillSummaries(c);

    errorText.clear();
    caseInfo.methodLabel = info.methodLabel;
    chart_ = c;
    assembledCase_ = info;
    // The texts always follow the chart, so that the analysis and the line tips describe the
    // case on view even when the window shows a stored report instead.
    // The buffers keep their room from chart to chart.
    lineText.clear();
    WriteReportHeader(info, chart_, lineText);
    hexText.assign(lineText);
    WriteChartBlock(chart_, lineText);
    WriteTrigramPictures(chart_, hexText);
    appendGeneralJudgement();
    appendMeiHua();
    const ReportEnding& classics = appendClassicTexts();
    lineSpans = ChartReportSpans(lineText, &classics);
    hexSpans = MeiHuaReportSpans(hexText, &classics);
    return true;
}

void CLiuYaoEx::buildChartLines(Chart& c, const CaseInfo& info, const ChartSettings& settings) {
    const bool qianFromWu = settings.qiangua == 1;
    Spirit spirit = kFirstSpiritByDayStem[c.dayStem()];
    for (int i = 0; i < 6; ++i) {
        c.spirits[i] = spirit;
        spirit = (spirit + 1) % 6;
    }

    placeHexagram(c.main, info.mainCode);
    placeHexagram(c.changed, info.changedCode);
    c.movingCount = 0;
    for (char ch : info.mainCode) c.movingCount += IsMovingLine(ch) ? 1 : 0;

    const NajiaLines mainLines = Najia(info.mainCode, qianFromWu);
    const NajiaLines changedLines = Najia(info.changedCode, qianFromWu);
    c.branches = mainLines.branches;
    c.stems = mainLines.stems;
    c.changedBranches = changedLines.branches;
    c.changedStems = changedLines.stems;
    const Phase palacePhase = c.main.palacePhase;
    bool held[5] = {};
    for (int i = 0; i < 6; ++i) {
        c.relatives[i] = RelativeOf(PhaseOfBranch(c.branches[i]), palacePhase);
        c.changedRelatives[i] = RelativeOf(PhaseOfBranch(c.changedBranches[i]), palacePhase);
        held[c.relatives[i]] = true;
    }

    // Hidden spirits: every line of the palace's pure hexagram whose relative the main
    // hexagram lacks.
    const std::string pureCode = TrigramCode(c.main.palace) + TrigramCode(c.main.palace);
    const NajiaLines pure = Najia(pureCode, qianFromWu);
    for (int i = 0; i < 6; ++i) {
        const Relative r = RelativeOf(PhaseOfBranch(pure.branches[i]), palacePhase);
        c.hidden[i] = held[r] ? HiddenSpirit{} : HiddenSpirit{r, pure.branches[i], pure.stems[i]};
    }

    c.guaShen = GuaShen(c.main.world, c.branches[c.main.world]);
    placeHexagram(c.mutual, MutualCode(info.mainCode));
}

UseGodPick FindUseGod(const Chart& c, Relative r) {
    std::array<int, 6> found{};
    int count = 0;
    for (int i = 0; i < 6; ++i) {
        if (c.relatives[i] == r) found[count++] = i;
    }
    if (count == 0) {
        const std::array<Branch, 6> pure = PureHexagramBranches(c.main.palace, c.qiangua == 1);
        for (int i = 0; i < 6; ++i) {
            if (RelativeOf(PhaseOfBranch(pure[i]), c.main.palacePhase) == r) return {i, pure[i], 0};
        }
        return {0, pure[0], 0};  // every palace holds all five relatives; kept for safety
    }
    if (count == 1) return {found[0], c.branches[found[0]], 1};

    const int a = found[0];
    const int b = found[1];
    const bool aMoves = IsMovingLine(c.main.lineCode(a));
    const bool bMoves = IsMovingLine(c.main.lineCode(b));
    int pick = a;
    if (bMoves && !aMoves) pick = b;
    else if (aMoves && !bMoves) pick = a;
    else if (a == c.main.world) pick = a;
    else if (b == c.main.world) pick = b;
    else if (a == c.main.response) pick = a;
    else if (b == c.main.response) pick = b;
    else pick = distanceFrom(b, c.main.world) < distanceFrom(a, c.main.world) ? b : a;
    return {pick, c.branches[pick], 2};
}

void CLiuYaoEx::fillUseGod(Chart& c) {
    UseGod& u = c.useGod;
    const UseGodPick pick = qingheng::FindUseGod(c, u.relative);
    u.line = pick.line;
    u.count = pick.count;
    u.branch = pick.branch;
    u.phase = PhaseOfBranch(pick.branch);
    for (int k = 0; k < 4; ++k) {
        u.companionPhases[k] = (u.phase + 4 - k) % 5;
        u.companionRelatives[k] = (u.relative + 4 - k) % 5;
    }
}

void CLiuYaoEx::fillSummaries(Chart& c) {
    auto summarize = [&c](int line, Branch b, int count) {
        RelativeSummary s;
        s.line = line;
        s.branch = b;
        s.count = count;
        const LineScore score = qingheng::ScoreLine(c, line, b);
        s.score = score.score;
        s.change = score.change;
        s.lineCode = c.main.lineCode(line) - '0';
        s.phase = PhaseOfBranch(b);
        s.season = SeasonStateOf(s.phase, c.monthBranch());
        return s;
    };
    for (Relative r = 0; r < 5; ++r) {
        const UseGodPick pick = qingheng::FindUseGod(c, r);
        c.summaries[r] = summarize(pick.line, pick.branch, pick.count);
    }
    c.summaries[kSummaryWorld] = summarize(c.main.world, c.branches[c.main.world], 1);
    c.summaries[kSummaryResponse] = summarize(c.main.response, c.branches[c.main.response], 1);
}

UseGodPick CLiuYaoEx::FindUseGod(Relative r) const { return qingheng::FindUseGod(chart_, r); }

LineEvaluation CLiuYaoEx::EvaluateLine(std::string_view name, int line, Branch b) const {
    return qingheng::EvaluateLine(chart_, name, line, b);
}

LineScore CLiuYaoEx::ScoreLine(int line, Branch b) const { return qingheng::ScoreLine(chart_, line, b); }

std::string CLiuYaoEx::FanFuYinText() const { return qingheng::FanFuYinText(chart_); }

ChartLine CLiuYaoEx::Line(int i) const {
    ChartLine l;
    l.code = chart_.main.lineCode(i);
    l.spirit = chart_.spirits[i];
    l.branch = chart_.branches[i];
    l.stem = chart_.stems[i];
    l.relative = chart_.relatives[i];
    l.changedCode = chart_.changed.lineCode(i);
    l.changedBranch = chart_.changedBranches[i];
    l.changedStem = chart_.changedStems[i];
    l.changedRelative = chart_.changedRelatives[i];
    if (chart_.hidden[i].present()) l.hidden = chart_.hidden[i];
    return l;
}

int CLiuYaoEx::FirstChartRow() const {
    // Two rows follow the header: the pillar row and the hexagram row, each with an empty
    // row after it.
    return HeaderRowCount(assembledCase_) + 5;
}

std::string CLiuYaoEx::LineHint(int row) const {
    if (!chart_.assembled()) return {};
    const int offset = row - FirstChartRow();
    if (offset < 0 || offset > 10 || offset % 2 != 0) return {};
    const int line = 5 - offset / 2;
    const std::string name = std::to_string(line + 1) + "爻";
    return name + qingheng::EvaluateLine(chart_, name, line, chart_.branches[line]).text;
}

std::string CLiuYaoEx::AnalysisText(int which) const {
    const std::string& text = which == 1 ? hexText : lineText;
    const std::string_view marker = which == 1 ? "卦像解析：　" : "爻像解析：　";
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) return {};
    if (gbk::width(std::string_view(text).substr(0, at)) < 10) return {};
    return text.substr(at);
}

void CLiuYaoEx::appendGeneralJudgement() { WriteGeneralJudgement(chart_, lineText); }

void CLiuYaoEx::appendMeiHua() { WriteMeiHua(chart_, hexText); }

// appendClassicTexts is in ClassicTexts.cpp.

}  // namespace qingheng
