#include "chart/ClassicTexts.h"

#include <mutex>
#include <optional>

#include "chart/ChartReport.h"
#include "chart/Liuyaoex.h"
#include "platform/StringTable.h"
#include "vocab/Hexagram.h"

namespace qingheng {
namespace {

constexpr char kTuanMark = 't';
constexpr char kXiangMark = 'x';
constexpr std::array<std::string_view, 6> kLinePositions = {"初", "二", "三", "四", "五", "上"};

// The part of text in [from, to); npos bounds count as the end.
std::string_view part(std::string_view text, std::size_t from, std::size_t to) {
    if (from == std::string_view::npos || from >= text.size()) return {};
    return text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from);
}

std::size_t after(std::size_t mark) { return mark == std::string_view::npos ? mark : mark + 1; }

}  // namespace

// The texts are UTF-8, where no byte of a Chinese character is an ASCII letter, so the
// markers can be searched byte by byte.
HexagramTextParts SplitHexagramText(std::string_view text) {
    const std::size_t t = text.find(kTuanMark);
    const std::size_t x = text.find(kXiangMark, t == std::string_view::npos ? 0 : t + 1);
    const std::size_t judgementEnd = t != std::string_view::npos ? t : x;
    return {part(text, 0, judgementEnd), part(text, after(t), x), part(text, after(x), std::string_view::npos)};
}

LineTextParts SplitLineText(std::string_view text) {
    const std::size_t x = text.find(kXiangMark);
    return {part(text, 0, x), part(text, after(x), std::string_view::npos)};
}

std::string LineName(int position, bool yang) {
    const std::string_view place = kLinePositions[position - 1];
    const std::string_view number = yang ? "九" : "六";
    const bool placeFirst = position == 1 || position == 6;
    return std::string(placeFirst ? place : number) + std::string(placeFirst ? number : place);
}

ClassicTexts LoadClassicTexts(int n) {
    ClassicTexts t;
    t.name = HexagramName(n);
    t.hexagram = resourceString(HexagramTextId(n));
    for (int k = 1; k <= 6; ++k) t.lines[k - 1] = resourceString(LineTextId(n, k));
    t.vernacular = resourceString(VernacularId(n));
    t.tuanNotes = resourceString(TuanNotesId(n));
    t.xiangNotes = resourceString(XiangNotesId(n));
    t.coinLesson = resourceString(CoinLessonId(n));
    return t;
}

std::string ClassicSection(const ClassicTexts& texts, std::string_view code) {
    const HexagramTextParts h = SplitHexagramText(texts.hexagram);
    std::string s = "\r\n\r\n易经卦爻辞(原文)：\n";
    s += "◆" + texts.name + ":";
    s.append(h.judgement).append("\n  ").append(h.tuan).append("\n  ").append(h.xiang).append("\n");
    for (int k = 1; k <= 6; ++k) {
        const LineTextParts line = SplitLineText(texts.lines[k - 1]);
        s += "◇" + LineName(k, IsYangLine(code[6 - k])) + ":";
        s.append(line.text).append("\n  ").append(line.xiang).append("\n");
    }
    s += "\n易经卦爻辞(白话)：\n";
    s += "【古经】" + texts.vernacular + "\r\n\r\n";
    s += "【彖传】" + texts.tuanNotes + "\r\n\r\n";
    s += "【象传】" + texts.xiangNotes + "\r\n\r\n";
    s += "六十四金钱课：\n主卦断：" + texts.coinLesson;
    return s;
}

namespace {

// The section of hexagram n, built at its first use with what the emphasis needs to know
// about it. The texts are compiled in, and every code of hexagram n has the same polarity
// line by line, whichever lines move, so the section depends on n alone.
const ReportEnding& classicSectionOf(int n, std::string_view code) {
    static std::mutex mutex;
    static std::array<std::optional<ReportEnding>, 65> sections;
    const std::lock_guard lock(mutex);
    std::optional<ReportEnding>& section = sections.at(static_cast<std::size_t>(n));
    if (!section) section = MakeReportEnding(ClassicSection(LoadClassicTexts(n), code));
    return *section;
}

}  // namespace

// Only the main hexagram is quoted; the changed and mutual hexagrams are not.
const ReportEnding& CLiuYaoEx::appendClassicTexts() {
    const ReportEnding& section = classicSectionOf(chart_.main.number(), chart_.main.codeText());
    lineText += section.text;
    hexText += section.text;
    return section;
}

}  // namespace qingheng
