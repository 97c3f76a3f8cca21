#include "chart/ChartReport.h"

#include <fmt/format.h>

#include <cstring>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "platform/Gbk.h"

namespace qingheng {

using namespace std::string_view_literals;

namespace {

// Glyphs by LineCode digit 1..4 (index 0 unused).
constexpr std::array<std::string_view, 5> kChartGlyphs = {"", "━━━  ", "━　━  ", "━━━○", "━　━×"};
constexpr std::array<std::string_view, 5> kPictureGlyphs = {"", "▅▅▅▅▅  ", "▅▅　▅▅  ", "▅▅▅▅▅○", "▅▅　▅▅×"};

std::string_view chartGlyph(char code) { return kChartGlyphs[code - '0']; }
std::string_view pictureGlyph(char code) { return kPictureGlyphs[code - '0']; }

// Appends text with blanks before it up to the GBK width.
void appendPaddedLeft(std::string& out, std::string_view text, int width) {
    out.append(static_cast<std::size_t>(std::max(0, width - gbk::width(text))), ' ').append(text);
}
// Appends text with blanks after it up to the GBK width.
void appendPaddedRight(std::string& out, std::string_view text, int width) {
    out.append(text).append(static_cast<std::size_t>(std::max(0, width - gbk::width(text))), ' ');
}

void appendPillar(std::string& out, GanZhi g, std::string_view unit) {
    appendPaddedLeft(out, StemName(StemOf(g)), 4);
    out.append(BranchName(BranchOf(g))).append(unit);
}

void appendPillars(std::string& out, const FourPillars& p) {
    out.append("干支："sv);
    appendPillar(out, p.year, "年");
    appendPillar(out, p.month, "月");
    appendPillar(out, p.day, "日");
    appendPillar(out, p.hour, "时");
}

void appendGregorianRow(std::string& out, const DateRecord& d, std::string_view clock) {
    auto number = [&out](int n) -> std::string& { return out.append(fmt::format_int(n).str()); };
    out.append("起卦公历："sv);
    number(d.year).append("年"sv);
    number(d.month).append("月"sv);
    number(d.day).append("日"sv);
    number(d.hour).append("时"sv);
    number(d.minute).append("分("sv).append(clock).append(")。\n"sv);
}

// Branch, phase and a blank, optionally preceded by the stem. The cells of the twelve
// branches are joined once.
void appendSignCell(std::string& out, Stem stem, Branch b, bool showStem) {
    static const std::array<std::string, 12> kCells = [] {
        std::array<std::string, 12> cells;
        for (Branch x = 0; x < 12; ++x)
            cells[x].append(BranchName(x)).append(PhaseName(PhaseOfBranch(x))).append(" "sv);
        return cells;
    }();
    if (showStem) out.append(StemName(stem));
    out.append(kCells[b]);
}

void appendHiddenCell(std::string& out, const Chart& c, int i, bool chartHasHidden) {
    const HiddenSpirit& h = c.hidden[i];
    if (h.present()) {
        out.append(" "sv).append(RelativeName(h.relative));
        appendSignCell(out, h.stem, h.branch, c.nagan);
    } else {
        out.append(!chartHasHidden ? 4 : c.nagan ? 12 : 10, ' ');
    }
}

void appendMarkCell(std::string& out, const HexagramInfo& h, int i, std::string_view blank, std::string_view gap) {
    if (i == h.world) out.append("世"sv).append(gap);
    else if (i == h.response) out.append("应"sv).append(gap);
    else out.append(blank);
}

void appendChartRow(std::string& out, const Chart& c, int i, bool chartHasHidden) {
    out.append(SpiritName(c.spirits[i]));
    appendHiddenCell(out, c, i, chartHasHidden);
    out.append(chartGlyph(c.main.lineCode(i))).append(RelativeName(c.relatives[i]));
    appendSignCell(out, c.stems[i], c.branches[i], c.nagan);
    appendMarkCell(out, c.main, i, "     ", "   ");
    if (c.movingCount > 0) {
        out.append(chartGlyph(c.changed.lineCode(i))).append(RelativeName(c.changedRelatives[i]));
        appendSignCell(out, c.changedStems[i], c.changedBranches[i], c.nagan);
        appendMarkCell(out, c.changed, i, "   ", " ");
    }
    out.append("\n\n"sv);
}

void appendPalace(std::string& out, const HexagramInfo& h, bool withRank) {
    out.append("("sv).append(TrigramName(h.palace)).append("宫"sv);
    if (withRank) out.append(RankSuffix(h.rank));
    out.append(")"sv);
}

// The section titles emphasised in both reports, in the order they are looked for.
constexpr std::array<std::string_view, 4> kSectionTitles = {"卦像解析：", "易经卦爻辞(原文)：", "易经卦爻辞(白话)：",
                                                            "六十四金钱课："};

// Positions of a report as a pane shows it (every "\r\n" one line break), counted in GBK
// bytes, as the report headings were located and measured; spans are handed out in
// characters. The searches move through the text from the front; each place reached is
// remembered, and the next one is measured from the nearest place before it, sixteen bytes
// at a time over long stretches. When the report ends with a known ending, places in the
// ending come from what is known about it instead of walking there.
class ReportPositions {
public:
    ReportPositions(std::string_view text, const ReportEnding* ending) : text_(text) {
        marks_.reserve(32);
        marks_.push_back(Mark{});
        if (ending && text.size() >= ending->text.size() && text.ends_with(ending->text)) {
            ending_ = ending;
            endingStart_ = text.size() - ending->text.size();
        }
    }

    TextPlace endPlace() { return markAtRaw(text_.size()); }
    int gbkLength() { return endPlace().gbk; }

    // GBK position of the first occurrence of needle at or after GBK position from. Needles
    // hold no line breaks, so they are found in the text as written. title: the index of
    // needle in kSectionTitles, whose places in a known ending are known.
    std::optional<int> find(std::string_view needle, int from, int title = -1) {
        for (const Found& f : found_) {
            if (f.from == from && f.needle == needle) return f.at;
        }
        // No byte adds more than two GBK bytes, so no occurrence at or after from starts
        // before this offset; those after it are checked in text order until one stands at or
        // after from.
        std::size_t start = rawLowerBound(from);
        std::optional<Mark> hit;
        while ((hit = firstOccurrence(needle, start, title)) && hit->gbk < from) start = hit->raw + 1;
        const std::optional<int> at = hit ? std::optional<int>(hit->gbk) : std::nullopt;
        found_.push_back({needle, from, at});
        return at;
    }

    // A span over the GBK range [from, from + length), in characters.
    StyleSpan span(int from, int length) {
        const int first = markAtGbk(from).chars;
        const int last = markAtGbk(from + length).chars;
        return StyleSpan{first, last - first, std::nullopt, std::nullopt, 0};
    }

    // The same span from GBK position from through the end of needle, which find gave at GBK
    // position at: its end is needle's bytes after the place found, counted without a walk.
    StyleSpan spanThrough(int from, int at, std::string_view needle) {
        const Mark found = nearestBefore([at](const Mark& k) { return k.gbk <= at; });
        if (found.gbk != at || text_.compare(found.raw, needle.size(), needle) != 0) {
            return span(from, at + gbk::width(needle) - from);
        }
        const int first = markAtGbk(from).chars;
        const int last = markAtRaw(found.raw + needle.size()).chars;
        return StyleSpan{first, last - first, std::nullopt, std::nullopt, 0};
    }

    // Every place where needle starts, in text order.
    std::vector<TextPlace> placesOf(std::string_view needle) {
        std::vector<TextPlace> places;
        for (std::size_t hit = findBytes(needle, 0, text_.size()); hit != std::string_view::npos;
             hit = findBytes(needle, hit + 1, text_.size())) {
            places.push_back(markAtRaw(hit));
        }
        return places;
    }

private:
    using Mark = TextPlace;
    // A search already made: the Mei Hua titles are looked for again from where the
    // analysis heading was.
    struct Found {
        std::string_view needle;
        int from;
        std::optional<int> at;
    };
    std::string_view text_;
    const ReportEnding* ending_ = nullptr;
    std::size_t endingStart_ = 0;
    std::vector<Mark> marks_;  // in text order
    std::vector<Found> found_;

    // Byte offset of the first occurrence of needle that starts at or after raw offset from
    // and before startLimit. Most Chinese characters share a few lead bytes in UTF-8, so a
    // search keyed on the first byte stops everywhere; the last byte of a heading (a
    // continuation byte or ASCII) is much rarer, so the search looks for that one and
    // compares backwards from there, where a wrong place mostly differs at once.
    std::size_t findBytes(std::string_view needle, std::size_t from, std::size_t startLimit) const {
        if (needle.empty()) return from < startLimit ? from : std::string_view::npos;
        const std::size_t before = needle.size() - 1;
        const std::size_t endLimit = std::min(text_.size(), startLimit + before);
        for (std::size_t end = from + before; end < endLimit; ++end) {
            const void* hit = std::memchr(text_.data() + end, needle.back(), endLimit - end);
            if (!hit) break;
            end = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
            std::size_t same = 0;
            while (same < before && text_[end - 1 - same] == needle[before - 1 - same]) ++same;
            if (same == before) return end - before;
        }
        return std::string_view::npos;
    }

    // The first occurrence of needle starting at or after raw offset start. Where its places
    // in the ending are known (title: its index in kSectionTitles), only the text before the
    // ending is searched (a match may run into the ending), then the first known place in the
    // ending at or after start is taken.
    std::optional<Mark> firstOccurrence(std::string_view needle, std::size_t start, int title) {
        if (!ending_ || title < 0) {
            const std::size_t hit = findBytes(needle, start, text_.size());
            return hit == std::string_view::npos ? std::nullopt : std::optional<Mark>(markAtRaw(hit));
        }
        if (start < endingStart_) {
            const std::size_t hit = findBytes(needle, start, endingStart_);
            if (hit != std::string_view::npos) return markAtRaw(hit);
        }
        for (const TextPlace& place : ending_->titles[static_cast<std::size_t>(title)]) {
            if (endingStart_ + place.raw >= start) return rememberInEnding(place);
        }
        return std::nullopt;
    }

    // A lead byte adds two GBK bytes, ASCII one, any other byte none; in valid UTF-8 a
    // character never has fewer bytes than GBK bytes, but a text is not trusted to be valid.
    std::size_t rawLowerBound(int gbkPos) const {
        const Mark m = nearestBefore([gbkPos](const Mark& k) { return k.gbk <= gbkPos; });
        return gbkPos <= m.gbk ? m.raw : m.raw + static_cast<std::size_t>(gbkPos - m.gbk) / 2;
    }

    // A place in the ending: the ending's own counts added to those where it begins. Within
    // the ending a "\r" is hidden by the "\n" after it exactly as in the whole text.
    Mark rememberInEnding(const TextPlace& place) {
        const Mark start = markAtRaw(endingStart_);
        const Mark m{endingStart_ + place.raw, start.gbk + place.gbk, start.chars + place.chars};
        remember(m);
        return m;
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

    using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

    // The sum of the sixteen byte counters (each at most 255).
    static int sumLanes(Bytes16 lanes) {
        std::uint64_t halves[2];
        std::memcpy(halves, &lanes, sizeof halves);
        int sum = 0;
        for (std::uint64_t x : halves) {
            x = (x & 0x00FF00FF00FF00FFull) + ((x >> 8) & 0x00FF00FF00FF00FFull);  // four sums of two
            sum += static_cast<int>((x * 0x0001000100010001ull) >> 48);
        }
        return sum;
    }

    // Moves a mark to raw, a character start, counting the bytes in between sixteen at a
    // time: every byte but a continuation byte (10xxxxxx) starts a character, a lead byte
    // (11xxxxxx) starts a character of two GBK bytes, and a "\r" before a "\n" is not shown.
    void advance(Mark& m, std::size_t raw) const {
        int continuations = 0;
        int leads = 0;
        int hiddenReturns = 0;
        std::size_t i = m.raw;
        // Each block also reads the byte after it, which must exist, to see a "\r\n" across
        // its end; the counters are summed before any of them can pass 255.
        while (i + 16 <= raw && i + 17 <= text_.size()) {
            const std::size_t blocks = std::min({(raw - i) / 16, (text_.size() - 1 - i) / 16, std::size_t{255}});
            Bytes16 continuationLanes{};
            Bytes16 leadLanes{};
            Bytes16 returnLanes{};
            for (std::size_t k = 0; k < blocks; ++k, i += 16) {
                Bytes16 v;
                Bytes16 next;
                std::memcpy(&v, text_.data() + i, 16);
                std::memcpy(&next, text_.data() + i + 1, 16);
                // A true comparison is all ones, so subtracting it counts one.
                continuationLanes -= reinterpret_cast<Bytes16>((v & 0xC0) == 0x80);
                leadLanes -= reinterpret_cast<Bytes16>(v >= 0xC0);
                returnLanes -= reinterpret_cast<Bytes16>((v == '\r') & (next == '\n'));
            }
            continuations += sumLanes(continuationLanes);
            leads += sumLanes(leadLanes);
            hiddenReturns += sumLanes(returnLanes);
        }
        for (; i < raw; ++i) {
            const auto b = static_cast<std::uint8_t>(text_[i]);
            continuations += (b & 0xC0) == 0x80;
            leads += b >= 0xC0;
            hiddenReturns += b == '\r' && shownBreakFollows(i);
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

    // Moves a mark eight bytes at a time while far short of GBK position pos: eight bytes add
    // at most sixteen GBK bytes, one per ASCII byte and two per lead byte, less one for each
    // hidden "\r" (a block holding a "\r" is stepped through byte by byte).
    void skipToward(Mark& m, int pos) const {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kBit7 = kOnes * 0x80;
        auto highBits = [](std::uint64_t v) { return static_cast<int>(((v >> 7) * kOnes) >> 56); };
        while (pos - m.gbk > 16 && m.raw + 8 <= text_.size()) {
            std::uint64_t x = 0;
            std::memcpy(&x, text_.data() + m.raw, 8);
            const std::uint64_t returns = x ^ (kOnes * '\r');  // a zero byte where a "\r" is
            if ((returns - kOnes) & ~returns & kBit7) {
                for (int k = 0; k < 8; ++k) step(m);
                continue;
            }
            const std::uint64_t bit6 = (x << 1) & kBit7;
            const int continuations = highBits(x & kBit7 & ~bit6);
            const int leads = highBits(x & kBit7 & bit6);
            m.chars += 8 - continuations;
            m.gbk += 8 - continuations + leads;
            m.raw += 8;
        }
    }

    // The first character starting at or after GBK position pos (or the end).
    Mark markAtGbk(int pos) {
        Mark m = nearestBefore([pos](const Mark& k) { return k.gbk <= pos; });
        skipToward(m, pos);
        while (m.gbk < pos && m.raw < text_.size()) step(m);
        while (m.raw < text_.size() && continues(text_[m.raw])) ++m.raw;
        remember(m);
        return m;
    }
    // The place at raw, a character start or the end.
    Mark markAtRaw(std::size_t raw) {
        if (ending_ && raw == text_.size() && raw > endingStart_) return rememberInEnding(ending_->end);
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
    for (std::size_t k = 0; k < kSectionTitles.size(); ++k) {
        const std::optional<int> at = pos.find(kSectionTitles[k], cursor + kSearchSkip, static_cast<int>(k));
        if (!at) continue;
        spans.push_back(blueBold(pos.spanThrough(*at, *at, kSectionTitles[k])));
        cursor = *at;
    }
}

}  // namespace

std::string LunarDayText(int day) { return (day <= 10 ? "初" : "") + CYiDate{}.ChineseNumeral(day); }

std::string LunarMonthText(int month, bool leap) {
    const std::string name = month == 1 ? "正月" : CYiDate{}.ChineseNumeral(month) + "月";
    return (leap ? " 闰" : " ") + name + " ";
}

namespace {

// The rows of a number or character cast's input; a case whose input is unknown (reopened
// from an older file) shows none rather than zeros.
bool printsCastInput(const CaseInfo& info) {
    const bool withInput = info.castingMethod == kMethodNumber || info.castingMethod == kMethodCharacters;
    return withInput && !info.inputText.empty();
}

}  // namespace

int HeaderRowCount(const CaseInfo& info) {
    int rows = 4;
    if (printsCastInput(info)) rows += 2;
    if (info.hasPosition()) rows += 1;
    return rows;
}

void WriteReportHeader(const CaseInfo& info, const Chart& c, std::string& out) {
    out.append("求测人："sv).append(info.name);
    if (info.hasPosition()) {
        fmt::format_to(std::back_inserter(out), "经度:{:.1f},纬度:{:.1f}。", info.longitude, info.latitude);
    }
    out.append("\n"sv);
    out.append("起卦方式："sv).append(info.methodLabel).append("   占问事宜："sv).append(info.question).append("\n"sv);
    if (printsCastInput(info)) {
        const bool digits = info.castingMethod == kMethodNumber;
        fmt::format_to(std::back_inserter(out), "{}：{}\r\n{}：{}，上卦数：{}，下卦数：{}\r\n",
                       digits ? "数字" : "汉字", info.inputText, digits ? "总数" : "笔画数", info.total, info.upper,
                       info.lower);
    }
    appendGregorianRow(out, c.moment, "北京时间");
    if (info.hasPosition()) appendGregorianRow(out, c.gregorian, "天文时间");
    out.append("起卦农历："sv);
    out.append(StemName(StemOf(c.pillars.year))).append(BranchName(BranchOf(c.pillars.year))).append("年"sv);
    out.append(LunarMonthText(c.lunar.month, c.lunarLeap != 0));
    out.append(LunarDayText(c.lunar.day)).append("日"sv);
    out.append(" "sv).append(BranchName(HourBranch(c.lunar.hour))).append("时。\n"sv);
}

void WriteChartBlock(const Chart& c, std::string& out) {
    appendPillars(out, c.pillars);
    out.append("  (卦身："sv).append(BranchName(c.guaShen)).append(")\n\n"sv);
    out.append("主变卦    "sv).append(HexagramName(c.main.number()));
    appendPalace(out, c.main, true);
    if (c.movingCount > 0) {
        out.append("  之  "sv).append(HexagramName(c.changed.number()));
        appendPalace(out, c.changed, false);
    }
    out.append("  [空亡:"sv).append(BranchName(c.voidBranches[0])).append("、"sv);
    out.append(BranchName(c.voidBranches[1])).append("]\n\n"sv);
    const bool chartHasHidden = c.hasHiddenSpirits();
    for (int i = 5; i >= 0; --i) appendChartRow(out, c, i, chartHasHidden);
}

void WriteTrigramPictures(const Chart& c, std::string& out) {
    const bool moving = c.movingCount > 0;
    appendPillars(out, c.pillars);
    out.append("\n\n  "sv);
    appendPaddedRight(out, HexagramTableName(c.main.number()), 14);
    if (moving) {
        appendPaddedRight(out, HexagramTableName(c.mutual.number()), 14);
        appendPaddedRight(out, HexagramTableName(c.changed.number()), 14);
        out.append("\r\n  【主卦】      【互卦】      【变卦】\r\n"sv);
    } else {
        out.append("\r\n  【主卦】\r\n"sv);
    }
    for (int i = 5; i >= 0; --i) {
        out.append("  "sv).append(pictureGlyph(c.main.lineCode(i))).append("  "sv);
        if (moving) {
            out.append(pictureGlyph(c.mutual.lineCode(i))).append("  "sv);
            out.append(pictureGlyph(c.changed.lineCode(i)));
        }
        out.append("\r\n"sv);
    }
    out.append("\r\n"sv);
}

ReportEnding MakeReportEnding(std::string text) {
    ReportEnding ending;
    ending.text = std::move(text);
    ReportPositions pos(ending.text, nullptr);
    for (std::size_t k = 0; k < kSectionTitles.size(); ++k) ending.titles[k] = pos.placesOf(kSectionTitles[k]);
    ending.end = pos.endPlace();
    return ending;
}

std::vector<StyleSpan> ChartReportSpans(std::string_view lineText, const ReportEnding* ending) {
    ReportPositions pos(lineText, ending);
    std::vector<StyleSpan> spans;
    spans.reserve(12);
    int cursor = emphasizePillars(pos, spans);

    const std::optional<int> names = pos.find("主变卦", cursor);
    const std::optional<int> close = names ? pos.find("]", *names) : std::nullopt;
    if (names && close) {
        spans.push_back(colored(pos.spanThrough(*names, *close, "]"), kRed));
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
            spans.push_back(colored(pos.spanThrough(*open, *shut, "】"), kRed));
            cursor = *shut;
        }
    }
    emphasizeSectionTitles(pos, cursor, spans);
    if (analysis) spans[smallerSlot] = smallerToEnd(pos, *analysis);
    return spans;
}

std::vector<StyleSpan> MeiHuaReportSpans(std::string_view hexText, const ReportEnding* ending) {
    ReportPositions pos(hexText, ending);
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
