#include "chart/ChartReport.h"

#include <fmt/format.h>

#include <cstring>

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

// Positions of a report as a pane shows it (every "\r\n" one line break), counted in GBK
// bytes, as the report headings were located and measured; spans are handed out in
// characters. The searches move through the text from the front; each place reached is
// remembered (raw byte offset, GBK position, characters), and the next one is measured
// from the nearest place before it, eight bytes at a time over long stretches.
class ReportPositions {
public:
    explicit ReportPositions(std::string_view text) : text_(text) {
        marks_.reserve(32);
        marks_.push_back(Mark{});
    }

    int gbkLength() { return markAtRaw(text_.size()).gbk; }

    // GBK position of the first occurrence of needle at or after GBK position from. Needles
    // hold no line breaks, so they are found in the text as written.
    std::optional<int> find(std::string_view needle, int from) {
        for (const Found& f : found_) {
            if (f.from == from && f.needle == needle) return f.at;
        }
        const std::size_t hit = findBytes(needle, markAtGbk(from).raw);
        std::optional<int> at;
        if (hit != std::string_view::npos) at = markAtRaw(hit).gbk;
        found_.push_back({needle, from, at});
        return at;
    }

    // A span over the GBK range [from, from + length), in characters.
    StyleSpan span(int from, int length) {
        const int first = markAtGbk(from).chars;
        const int last = markAtGbk(from + length).chars;
        return StyleSpan{first, last - first, std::nullopt, std::nullopt, 0};
    }

private:
    struct Mark {
        std::size_t raw = 0;  // byte offset in the UTF-8 text as written
        int gbk = 0;
        int chars = 0;
    };
    // A search already made: the Mei Hua titles are looked for again from where the
    // analysis heading was.
    struct Found {
        std::string_view needle;
        int from;
        std::optional<int> at;
    };
    std::string_view text_;
    std::vector<Mark> marks_;  // in text order
    std::vector<Found> found_;

    // Byte offset of the first occurrence of needle at or after raw offset from. Most Chinese
    // characters share a few lead bytes in UTF-8, so a search keyed on the first byte stops
    // everywhere; the last byte of a heading (a continuation byte or ASCII) is much rarer, so
    // the search looks for that one and compares backwards from there.
    std::size_t findBytes(std::string_view needle, std::size_t from) const {
        if (needle.empty()) return from;
        const std::size_t before = needle.size() - 1;
        for (std::size_t end = from + before; end < text_.size(); ++end) {
            const void* hit = std::memchr(text_.data() + end, needle.back(), text_.size() - end);
            if (!hit) break;
            end = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
            if (text_.compare(end - before, before, needle.substr(0, before)) == 0) return end - before;
        }
        return std::string_view::npos;
    }

    static bool continues(char ch) { return (static_cast<std::uint8_t>(ch) & 0xC0) == 0x80; }
    bool shownBreakFollows(std::size_t raw) const { return raw + 1 < text_.size() && text_[raw + 1] == '\n'; }

    // Moves past one byte: a character counts at its first byte, one GBK byte when it is
    // ASCII and two otherwise; the "\r" of a "\r\n" is not shown.
    void step(Mark& m) const {
        const char ch = text_[m.raw];
        if (!continues(ch) && !(ch == '\r' && shownBreakFollows(m.raw))) {
            m.gbk += static_cast<std::uint8_t>(ch) < 0x80 ? 1 : 2;
            ++m.chars;
        }
        ++m.raw;
    }

    // Moves a mark to raw, a character start, counting the bytes in between sixteen at a
    // time: every byte but a continuation byte (10xxxxxx) starts a character, and a lead
    // byte (11xxxxxx) starts a character of two GBK bytes.
    void advance(Mark& m, std::size_t raw) const {
        int continuations = 0;
        int leads = 0;
        std::size_t i = m.raw;
        while (i + 16 <= raw) {
            // Per-byte counters, added up before any of them can pass 255.
            using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
            Bytes16 continuationLanes{};
            Bytes16 leadLanes{};
            const std::size_t blockEnd = std::min(raw, i + 255 * 16);
            for (; i + 16 <= blockEnd; i += 16) {
                Bytes16 v;
                std::memcpy(&v, text_.data() + i, 16);
                continuationLanes -= reinterpret_cast<Bytes16>((v & 0xC0) == 0x80);  // true is all ones
                leadLanes -= reinterpret_cast<Bytes16>(v >= 0xC0);
            }
            for (int lane = 0; lane < 16; ++lane) {
                continuations += continuationLanes[lane];
                leads += leadLanes[lane];
            }
        }
        for (; i < raw; ++i) {
            const auto b = static_cast<std::uint8_t>(text_[i]);
            continuations += (b & 0xC0) == 0x80;
            leads += b >= 0xC0;
        }
        int hiddenReturns = 0;
        for (std::size_t at = text_.find('\r', m.raw); at < raw; at = text_.find('\r', at + 1)) {
            hiddenReturns += shownBreakFollows(at) ? 1 : 0;
        }
        const int starts = static_cast<int>(raw - m.raw) - continuations;
        m.chars += starts - hiddenReturns;
        m.gbk += starts + leads - hiddenReturns;
        m.raw = raw;
    }

    // The place remembered last in text order among those not past the limit.
    Mark nearestBefore(const auto& notPast) const {
        for (auto it = marks_.rbegin(); it != marks_.rend(); ++it) {
            if (notPast(*it)) return *it;
        }
        return Mark{};
    }
    void remember(const Mark& m) {
        auto it = marks_.end();
        while (it != marks_.begin() && (it - 1)->raw > m.raw) --it;
        if (it != marks_.begin() && (it - 1)->raw == m.raw) return;
        marks_.insert(it, m);
    }

    // The first character starting at or after GBK position pos (or the end).
    Mark markAtGbk(int pos) {
        Mark m = nearestBefore([pos](const Mark& k) { return k.gbk <= pos; });
        while (m.gbk < pos && m.raw < text_.size()) step(m);
        while (m.raw < text_.size() && continues(text_[m.raw])) ++m.raw;
        remember(m);
        return m;
    }
    // The place at raw, a character start or the end.
    Mark markAtRaw(std::size_t raw) {
        Mark m = nearestBefore([raw](const Mark& k) { return k.raw <= raw; });
        advance(m, raw);
        remember(m);
        return m;
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

// The analysis section, a size smaller from its heading to the end of the text. Measured
// after the other searches, which have walked most of the way to the end by then.
StyleSpan smallerToEnd(ReportPositions& pos, int analysis) {
    return smaller(pos.span(analysis, pos.gbkLength() - analysis));
}

// Blue over the pillar row; returns where it starts, or the search start when missing.
int emphasizePillars(ReportPositions& pos, std::vector<StyleSpan>& spans) {
    const std::optional<int> at = pos.find("干支", kPillarSearchStart);
    if (!at) return kPillarSearchStart;
    spans.push_back(colored(pos.span(*at, kPillarRowLength), kBlue));
    return *at;
}

void emphasizeSectionTitles(ReportPositions& pos, int cursor, std::vector<StyleSpan>& spans) {
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

Branch HourBranch(int hour) {
    int h = hour % 2 == 1 ? hour + 1 : hour;
    if (h >= 24) h = 0;
    return (h / 2 + 1) % 12;
}

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
    ReportPositions pos(lineText);
    std::vector<StyleSpan> spans;
    spans.reserve(12);
    int cursor = emphasizePillars(pos, spans);

    const std::optional<int> names = pos.find("主变卦", cursor);
    const std::optional<int> close = names ? pos.find("]", *names) : std::nullopt;
    if (names && close) {
        spans.push_back(colored(pos.span(*names, *close + 1 - *names), kRed));
        cursor = *close;
    }

    const std::optional<int> analysis = pos.find("爻像解析：", cursor + kSearchSkip);
    const std::size_t smallerSlot = spans.size();
    if (analysis) {
        spans.emplace_back();  // filled in last
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
    if (analysis) spans[smallerSlot] = smallerToEnd(pos, *analysis);
    return spans;
}

std::vector<StyleSpan> MeiHuaReportSpans(std::string_view hexText) {
    ReportPositions pos(hexText);
    std::vector<StyleSpan> spans;
    spans.reserve(6);
    const int cursor = emphasizePillars(pos, spans);
    const std::optional<int> analysis = pos.find("卦像解析：", cursor);
    const std::size_t smallerSlot = spans.size();
    if (analysis) spans.emplace_back();  // filled in last
    // The titles are looked for from the pillar row on, so that "卦像解析：" itself is found.
    emphasizeSectionTitles(pos, cursor - kSearchSkip, spans);
    if (analysis) spans[smallerSlot] = smallerToEnd(pos, *analysis);
    return spans;
}

}  // namespace qingheng
