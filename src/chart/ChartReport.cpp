#include "chart/ChartReport.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <optional>

#include "platform/Gbk.h"

namespace qingheng {
namespace {

// Glyphs by LineCode digit 1..4 (index 0 unused).
constexpr std::array<std::string_view, 5> kChartGlyphs = {"", "━━━  ", "━　━  ", "━━━○", "━　━×"};
constexpr std::array<std::string_view, 5> kPictureGlyphs = {"", "▅▅▅▅▅  ", "▅▅　▅▅  ", "▅▅▅▅▅○", "▅▅　▅▅×"};

std::string_view chartGlyph(char code) { return kChartGlyphs[code - '0']; }
std::string_view pictureGlyph(char code) { return kPictureGlyphs[code - '0']; }

std::string pillarText(GanZhi g, std::string_view unit) {
    return gbk::padLeft(StemName(StemOf(g)), 4) + std::string(BranchName(BranchOf(g))) + std::string(unit);
}

std::string pillarsText(const FourPillars& p) {
    return pillarText(p.year, "年") + pillarText(p.month, "月") + pillarText(p.day, "日") + pillarText(p.hour, "时");
}

std::string gregorianRow(const DateRecord& d, std::string_view clock) {
    return fmt::format("起卦公历：{}年{}月{}日{}时{}分({})。\n", d.year, d.month, d.day, d.hour, d.minute, clock);
}

// Branch, phase and a blank, optionally preceded by the stem.
std::string signCell(Stem stem, Branch b, bool showStem) {
    std::string cell;
    if (showStem) cell.append(StemName(stem));
    cell.append(BranchName(b)).append(PhaseName(PhaseOfBranch(b))).append(" ");
    return cell;
}

std::string hiddenCell(const Chart& c, int i) {
    const HiddenSpirit& h = c.hidden[i];
    if (h.present()) return fmt::format(" {}{}", RelativeName(h.relative), signCell(h.stem, h.branch, c.nagan));
    if (!c.hasHiddenSpirits()) return std::string(4, ' ');
    return std::string(c.nagan ? 12 : 10, ' ');
}

std::string markCell(const HexagramInfo& h, int i, std::string_view blank, std::string_view gap) {
    if (i == h.world) return "世" + std::string(gap);
    if (i == h.response) return "应" + std::string(gap);
    return std::string(blank);
}

std::string chartRow(const Chart& c, int i) {
    std::string row(SpiritName(c.spirits[i]));
    row += hiddenCell(c, i);
    row.append(chartGlyph(c.main.lineCode(i)));
    row.append(RelativeName(c.relatives[i])).append(signCell(c.stems[i], c.branches[i], c.nagan));
    row += markCell(c.main, i, "     ", "   ");
    if (c.movingCount > 0) {
        row.append(chartGlyph(c.changed.lineCode(i)));
        row.append(RelativeName(c.changedRelatives[i]));
        row += signCell(c.changedStems[i], c.changedBranches[i], c.nagan);
        row += markCell(c.changed, i, "   ", " ");
    }
    row += "\n\n";
    return row;
}

std::string palaceText(const HexagramInfo& h, bool withRank) {
    return fmt::format("({}宫{})", TrigramName(h.palace), withRank ? RankSuffix(h.rank) : "");
}

// Positions of a display text counted in GBK bytes, as the report headings were located
// and measured; spans are handed out in characters.
class ReportPositions {
public:
    explicit ReportPositions(std::string_view text) : text_(displayText(text)) {
        int gbkPos = 0;
        gbk::forEachCharacter(text_, [&](std::string_view ch) {
            utf8Start_.push_back(static_cast<int>(ch.data() - text_.data()));
            gbkStart_.push_back(gbkPos);
            gbkPos += ch.size() == 1 ? 1 : 2;
        });
        utf8Start_.push_back(static_cast<int>(text_.size()));
        gbkStart_.push_back(gbkPos);
    }

    int gbkLength() const { return gbkStart_.back(); }

    // GBK position of the first occurrence of needle at or after GBK position from.
    std::optional<int> find(std::string_view needle, int from) const {
        const std::size_t start = utf8Start_[charAtGbk(from)];
        const std::size_t at = std::string_view(text_).find(needle, start);
        if (at == std::string_view::npos) return std::nullopt;
        return gbkStart_[charAtUtf8(static_cast<int>(at))];
    }

    // A span over the GBK range [from, from + length), in characters.
    StyleSpan span(int from, int length) const {
        const int first = charAtGbk(from);
        const int last = charAtGbk(from + length);
        return StyleSpan{first, last - first, std::nullopt, std::nullopt, 0};
    }

private:
    std::string text_;
    std::vector<int> utf8Start_;  // per character, plus the end
    std::vector<int> gbkStart_;

    // Index of the first character starting at or after GBK position pos.
    int charAtGbk(int pos) const {
        const auto it = std::lower_bound(gbkStart_.begin(), gbkStart_.end(), std::max(pos, 0));
        return static_cast<int>(it - gbkStart_.begin()) - (it == gbkStart_.end() ? 1 : 0);
    }
    int charAtUtf8(int pos) const {
        return static_cast<int>(std::lower_bound(utf8Start_.begin(), utf8Start_.end(), pos) - utf8Start_.begin());
    }
};

// All in GBK bytes. The pillar row is looked for past the start of the header, where the
// asker's name and question stand (so a "干支" typed there is not taken for it);
// "干支：  甲辰年  丙寅月  甲辰日  己巳时" is 38 bytes and "爻像解析：　" 12.
constexpr int kPillarSearchStart = 90;
constexpr int kPillarRowLength = 38;
constexpr int kAnalysisHeadLength = 12;
constexpr int kSearchSkip = 10;
constexpr int kAnalysisSizeDelta = -2;

StyleSpan colored(StyleSpan s, Rgb color) {
    s.color = color;
    return s;
}

StyleSpan blueBold(StyleSpan s) {
    s.color = kBlue;
    s.bold = true;
    return s;
}

StyleSpan smaller(StyleSpan s) {
    s.sizeDelta = kAnalysisSizeDelta;
    return s;
}

// Blue over the pillar row; returns where it starts, or the search start when missing.
int emphasizePillars(const ReportPositions& pos, std::vector<StyleSpan>& spans) {
    const std::optional<int> at = pos.find("干支", kPillarSearchStart);
    if (!at) return kPillarSearchStart;
    spans.push_back(colored(pos.span(*at, kPillarRowLength), kBlue));
    return *at;
}

void emphasizeSectionTitles(const ReportPositions& pos, int cursor, std::vector<StyleSpan>& spans) {
    static constexpr std::array<std::string_view, 4> kTitles = {"卦像解析：", "易经卦爻辞(原文)：",
                                                                "易经卦爻辞(白话)：", "六十四金钱课："};
    for (std::string_view title : kTitles) {
        const std::optional<int> at = pos.find(title, cursor + kSearchSkip);
        if (!at) continue;
        spans.push_back(blueBold(pos.span(*at, gbk::width(title))));
        cursor = *at;
    }
}

}  // namespace

std::string LunarDayText(int day) { return (day <= 10 ? "初" : "") + CYiDate{}.ChineseNumeral(day); }

std::string LunarMonthText(int month, bool leap) {
    const std::string name = month == 1 ? "正月" : CYiDate{}.ChineseNumeral(month) + "月";
    return (leap ? " 闰" : " ") + name + " ";
}

int HeaderRowCount(const CaseInfo& info) {
    int rows = 4;
    if (info.castingMethod == kMethodNumber || info.castingMethod == kMethodCharacters) rows += 2;
    if (info.hasPosition()) rows += 1;
    return rows;
}

std::string ReportHeader(const CaseInfo& info, const Chart& c) {
    std::string text = "求测人：" + info.name;
    if (info.hasPosition()) text += fmt::format("经度:{:.1f},纬度:{:.1f}。", info.longitude, info.latitude);
    text += "\n";
    text += "起卦方式：" + info.methodLabel + "   占问事宜：" + info.question + "\n";
    if (info.castingMethod == kMethodNumber || info.castingMethod == kMethodCharacters) {
        const bool digits = info.castingMethod == kMethodNumber;
        text += fmt::format("{}：{}\r\n{}：{}，上卦数：{}，下卦数：{}\r\n", digits ? "数字" : "汉字", info.inputText,
                            digits ? "总数" : "笔画数", info.total, info.upper, info.lower);
    }
    text += gregorianRow(c.moment, "北京时间");
    if (info.hasPosition()) text += gregorianRow(c.gregorian, "天文时间");
    text += "起卦农历：";
    text.append(StemName(StemOf(c.pillars.year))).append(BranchName(BranchOf(c.pillars.year))).append("年");
    text += LunarMonthText(c.lunar.month, c.lunarLeap != 0);
    text += LunarDayText(c.lunar.day) + "日";
    text += fmt::format(" {}时。\n", BranchName(HourBranch(c.lunar.hour)));
    return text;
}

std::string ChartBlock(const Chart& c) {
    std::string text = "干支：" + pillarsText(c.pillars);
    text += "  (卦身：" + std::string(BranchName(c.guaShen)) + ")\n\n";
    text += "主变卦    " + HexagramName(c.main.number()) + palaceText(c.main, true);
    if (c.movingCount > 0) text += "  之  " + HexagramName(c.changed.number()) + palaceText(c.changed, false);
    text += "  [空亡:" + std::string(BranchName(c.voidBranches[0])) + "、" +
            std::string(BranchName(c.voidBranches[1])) + "]\n\n";
    for (int i = 5; i >= 0; --i) text += chartRow(c, i);
    return text;
}

std::string TrigramPictures(const Chart& c) {
    const bool moving = c.movingCount > 0;
    std::string text = "干支：" + pillarsText(c.pillars) + "\n\n  ";
    text += gbk::padRight(HexagramTableName(c.main.number()), 14);
    if (moving) {
        text += gbk::padRight(HexagramTableName(c.mutual.number()), 14);
        text += gbk::padRight(HexagramTableName(c.changed.number()), 14);
        text += "\r\n  【主卦】      【互卦】      【变卦】\r\n";
    } else {
        text += "\r\n  【主卦】\r\n";
    }
    for (int i = 5; i >= 0; --i) {
        text += "  " + std::string(pictureGlyph(c.main.lineCode(i))) + "  ";
        if (moving) {
            text += std::string(pictureGlyph(c.mutual.lineCode(i))) + "  ";
            text += std::string(pictureGlyph(c.changed.lineCode(i))) + "\r\n";
        } else {
            text += "\r\n";
        }
    }
    text += "\r\n";
    return text;
}

std::vector<StyleSpan> ChartReportSpans(std::string_view lineText) {
    const ReportPositions pos(lineText);
    std::vector<StyleSpan> spans;
    int cursor = emphasizePillars(pos, spans);

    const std::optional<int> names = pos.find("主变卦", cursor);
    const std::optional<int> close = names ? pos.find("]", *names) : std::nullopt;
    if (names && close) {
        spans.push_back(colored(pos.span(*names, *close + 1 - *names), kRed));
        cursor = *close;
    }

    if (const std::optional<int> analysis = pos.find("爻像解析：", cursor + kSearchSkip)) {
        spans.push_back(smaller(pos.span(*analysis, pos.gbkLength() - *analysis)));
        spans.push_back(blueBold(pos.span(*analysis, kAnalysisHeadLength)));
        cursor = *analysis;
        for (int heading = 0; heading < 4; ++heading) {
            const std::optional<int> open = pos.find("【", cursor);
            const std::optional<int> shut = open ? pos.find("】", *open) : std::nullopt;
            if (!shut) break;
            spans.push_back(colored(pos.span(*open, *shut + gbk::width("】") - *open), kRed));
            cursor = *shut;
        }
    }
    emphasizeSectionTitles(pos, cursor, spans);
    return spans;
}

std::vector<StyleSpan> MeiHuaReportSpans(std::string_view hexText) {
    const ReportPositions pos(hexText);
    std::vector<StyleSpan> spans;
    const int cursor = emphasizePillars(pos, spans);
    if (const std::optional<int> analysis = pos.find("卦像解析：", cursor)) {
        spans.push_back(smaller(pos.span(*analysis, pos.gbkLength() - *analysis)));
    }
    // The titles are looked for from the pillar row on, so that "卦像解析：" itself is found.
    emphasizeSectionTitles(pos, cursor - kSearchSkip, spans);
    return spans;
}

}  // namespace qingheng
