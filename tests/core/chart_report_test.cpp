// Report rows of the chart engine, byte for byte, and their emphasis. The expected rows
// are written out from the layout rules with stems, branches and relatives worked by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ChartFixture.h"
#include "chart/ChartReport.h"
#include "platform/Gbk.h"

using namespace qingheng;
using qingheng::testing::assembled;
using qingheng::testing::beforeSections;
using qingheng::testing::between;

namespace {

// 2024-02-10 09:30: 甲辰 year (after 立春 on the 4th), 丙寅 month, 甲辰 day, 己巳 hour;
// lunar 正月初一; void 寅 卯; line 1 carries 青龙.
const std::string kHeader2024 =
    "求测人：\n"
    "起卦方式：其他方式   占问事宜：\n"
    "起卦公历：2024年2月10日9时30分(北京时间)。\n"
    "起卦农历：甲辰年 正月 初一日 巳时。\n";
const std::string kPillars2024 = "干支：  甲辰年  丙寅月  甲辰日  己巳时";

int charIndex(const std::string& display, const std::string& needle) {
    return characterCount(std::string_view(display).substr(0, display.find(needle)));
}

}  // namespace

TEST(ChartReport, OneMovingLineWithHiddenSpiritWholeReport) {
    // 天风姤 (乾 palace, 一世) with line 1 moving into 乾为天; 妻财 hidden under line 2.
    const CLiuYaoEx e = assembled({"111114"});
    const std::string expected = kHeader2024 + kPillars2024 +
                                 "  (卦身：午)\n\n"
                                 "主变卦    天风姤(乾宫)  之  乾为天(乾宫)  [空亡:寅、卯]\n\n"
                                 "玄武          ━━━  父母戌土      ━━━  父母戌土 世 \n\n"
                                 "白虎          ━━━  兄弟申金      ━━━  兄弟申金    \n\n"
                                 "螣蛇          ━━━  官鬼午火 应   ━━━  官鬼午火    \n\n"
                                 "勾陈          ━━━  兄弟酉金      ━━━  父母辰土 应 \n\n"
                                 "朱雀 妻财寅木 ━━━  子孙亥水      ━━━  妻财寅木    \n\n"
                                 "青龙          ━　━×父母丑土 世   ━━━  子孙子水    \n\n";
    EXPECT_EQ(beforeSections(e.lineText), expected);
}

TEST(ChartReport, StaticChartWithStemsShownPrintsNoChangedColumns) {
    // 乾为天 lacks no relative: every row is the spirit and four blanks.
    const CLiuYaoEx e = assembled({"111111", {2024, 2, 10, 9, 30}, 0, true});
    const std::string expected = kHeader2024 + kPillars2024 +
                                 "  (卦身：巳)\n\n"
                                 "主变卦    乾为天(乾宫)  [空亡:寅、卯]\n\n"
                                 "玄武    ━━━  父母壬戌土 世   \n\n"
                                 "白虎    ━━━  兄弟壬申金      \n\n"
                                 "螣蛇    ━━━  官鬼壬午火      \n\n"
                                 "勾陈    ━━━  父母甲辰土 应   \n\n"
                                 "朱雀    ━━━  妻财甲寅木      \n\n"
                                 "青龙    ━━━  子孙甲子水      \n\n";
    EXPECT_EQ(beforeSections(e.lineText), expected);
    EXPECT_EQ(beforeSections(e.hexText), kHeader2024 + kPillars2024 + "\n\n  乾为天        \r\n  【主卦】\r\n" +
                                             "  ▅▅▅▅▅    \r\n  ▅▅▅▅▅    \r\n  ▅▅▅▅▅    \r\n"
                                             "  ▅▅▅▅▅    \r\n  ▅▅▅▅▅    \r\n  ▅▅▅▅▅    \r\n\r\n");
}

TEST(ChartReport, WanderingSoulWithStemsAndHiddenSpiritUsesTwelveColumns) {
    // 火地晋 (乾 palace 游魂, world 4) with line 6 moving into 雷地豫 (震 palace, world 1);
    // 子孙 hidden under line 1 as 甲子水 of 乾为天.
    const CLiuYaoEx e = assembled({"321222", {2024, 2, 10, 9, 30}, 0, true});
    const std::string block = between(e.lineText, "干支", "爻像解析");
    const std::string expected = kPillars2024 +
                                 "  (卦身：酉)\n\n"
                                 "主变卦    火地晋(乾宫-游魂)  之  雷地豫(震宫)  [空亡:寅、卯]\n\n"
                                 "玄武            ━━━○官鬼己巳火      ━　━  父母庚戌土    \n\n"
                                 "白虎            ━　━  父母己未土      ━　━  兄弟庚申金    \n\n"
                                 "螣蛇            ━━━  兄弟己酉金 世   ━━━  官鬼庚午火 应 \n\n"
                                 "勾陈            ━　━  妻财乙卯木      ━　━  妻财乙卯木    \n\n"
                                 "朱雀            ━　━  官鬼乙巳火      ━　━  官鬼乙巳火    \n\n"
                                 "青龙 子孙甲子水 ━　━  父母乙未土 应   ━　━  父母乙未土 世 \n\n";
    EXPECT_EQ(block, expected);
    // Pictures: main 火地晋, mutual 水山蹇, changed 雷地豫.
    EXPECT_EQ(between(e.hexText, "  火地晋", "\r\n  ▅"),
              "  火地晋        水山蹇        雷地豫        \r\n  【主卦】      【互卦】      【变卦】");
    EXPECT_NE(e.hexText.find("  ▅▅▅▅▅○  ▅▅　▅▅    ▅▅　▅▅  \r\n"), std::string::npos);
}

TEST(ChartReport, ReturningSoulStaticAndChangedPalaceWithoutRank) {
    const CLiuYaoEx still = assembled({"121111"});
    EXPECT_EQ(between(still.lineText, "主变卦", "爻像解析"),
              "主变卦    火天大有(乾宫-归魂)  [空亡:寅、卯]\n\n"
              "玄武    ━━━  官鬼巳火 应   \n\n"
              "白虎    ━　━  父母未土      \n\n"
              "螣蛇    ━━━  兄弟酉金      \n\n"
              "勾陈    ━━━  父母辰土 世   \n\n"
              "朱雀    ━━━  妻财寅木      \n\n"
              "青龙    ━━━  子孙子水      \n\n");
    // Lines 1-3 moving turn it into 火地晋, whose 游魂 rank is not printed.
    const CLiuYaoEx moving = assembled({"121333"});
    EXPECT_NE(moving.lineText.find("主变卦    火天大有(乾宫-归魂)  之  火地晋(乾宫)  [空亡:寅、卯]\n\n"),
              std::string::npos);
}

TEST(ChartReport, NumberAndCharacterHeadersAddTwoRowsAndMoveTheChartRows) {
    CLiuYaoEx e;
    e.settingsOverride = ChartSettings{};
    e.caseInfo.mainCode = "111114";
    e.caseInfo.changedCode = "111111";
    e.caseInfo.castingTime = {2024, 2, 10, 9, 30, 0, 0};
    e.caseInfo.name = "张三";
    e.caseInfo.question = "求财";
    e.caseInfo.castingMethod = kMethodNumber;
    e.caseInfo.inputText = "13579";
    e.caseInfo.total = 25;
    e.caseInfo.upper = 12;
    e.caseInfo.lower = 13;
    ASSERT_TRUE(e.Assemble("数字起卦"));
    EXPECT_EQ(e.lineText.substr(0, e.lineText.find("起卦公历")),
              "求测人：张三\n起卦方式：数字起卦   占问事宜：求财\n数字：13579\r\n总数：25，上卦数：12，下卦数：13\r\n");
    EXPECT_EQ(e.FirstChartRow(), 11);

    e.caseInfo.castingMethod = kMethodCharacters;
    e.caseInfo.inputText = "青衡";
    ASSERT_TRUE(e.Assemble("汉字起卦"));
    EXPECT_NE(e.lineText.find(
                  "起卦方式：汉字起卦   占问事宜：求财\n汉字：青衡\r\n笔画数：25，上卦数：12，下卦数：13\r\n起卦公历"),
              std::string::npos);
    // The hint rows follow the two extra rows.
    EXPECT_EQ(e.LineHint(9), "");
    EXPECT_EQ(e.LineHint(11).substr(0, 4), "6爻");
}

TEST(ChartReport, LunarRowSpellsLeapMonthsDaysAndHours) {
    EXPECT_EQ(LunarMonthText(1, false), " 正月 ");
    EXPECT_EQ(LunarMonthText(4, true), " 闰四月 ");
    EXPECT_EQ(LunarMonthText(1, true), " 闰正月 ");
    EXPECT_EQ(LunarMonthText(11, false), " 十一月 ");
    EXPECT_EQ(LunarDayText(1), "初一");
    EXPECT_EQ(LunarDayText(10), "初十");
    EXPECT_EQ(LunarDayText(20), "二十");
    EXPECT_EQ(LunarDayText(21), "廿一");
    EXPECT_EQ(LunarDayText(30), "三十");
    EXPECT_EQ(BranchName(HourBranch(23)), "子");
    EXPECT_EQ(BranchName(HourBranch(0)), "子");
    EXPECT_EQ(BranchName(HourBranch(1)), "丑");
    EXPECT_EQ(BranchName(HourBranch(12)), "午");

    // Lunar 2023 leap second month day 11 is 2023-04-01.
    CLiuYaoEx e;
    e.settingsOverride = ChartSettings{};
    e.caseInfo.mainCode = "111111";
    e.caseInfo.changedCode = "111111";
    e.caseInfo.castingTime = {2023, 2, 11, 12, 0, 1, 1};
    ASSERT_TRUE(e.Assemble("其他方式")) << e.errorText;
    EXPECT_NE(e.lineText.find("起卦公历：2023年4月1日12时0分(北京时间)。\n起卦农历：癸卯年 闰二月 十一日 午时。\n"),
              std::string::npos);
    // 2020 leap fourth month, first day.
    e.caseInfo.castingTime = {2020, 4, 1, 23, 30, 1, 1};
    ASSERT_TRUE(e.Assemble("其他方式")) << e.errorText;
    EXPECT_NE(e.lineText.find("起卦农历：庚子年 闰四月 初二日 子时。\n"), std::string::npos);

    // The last day of that leap month at 23:30 is dated on 五月初一; the entered leap flag is
    // kept, so assembling the same case again gives the same report.
    e.caseInfo.castingTime = {2020, 4, 29, 23, 30, 1, 1};
    ASSERT_TRUE(e.Assemble("其他方式")) << e.errorText;
    EXPECT_NE(e.lineText.find("起卦农历：庚子年 五月 初一日 子时。\n"), std::string::npos);
    EXPECT_EQ(e.chart().lunarLeap, 0);
    EXPECT_EQ(e.caseInfo.castingTime.leap, 1);
    const std::string first = e.lineText;
    ASSERT_TRUE(e.Assemble("其他方式")) << e.errorText;
    EXPECT_EQ(e.lineText, first);
}

TEST(ChartReport, PositionAddsCoordinatesAndAnAstronomicalRow) {
    CLiuYaoEx e;
    e.settingsOverride = ChartSettings{};
    e.caseInfo.mainCode = "111111";
    e.caseInfo.changedCode = "111111";
    e.caseInfo.castingTime = {2024, 1, 1, 12, 10, 0, 0};
    e.caseInfo.longitude = 116.4f;
    e.caseInfo.latitude = 39.9f;
    ASSERT_TRUE(e.Assemble("其他方式"));
    // 1 January at 116.4°: -3 - floor(14.4) = -17 minutes.
    EXPECT_EQ(e.lineText.substr(0, e.lineText.find("起卦农历")),
              "求测人：经度:116.4,纬度:39.9。\n起卦方式：其他方式   占问事宜：\n"
              "起卦公历：2024年1月1日12时10分(北京时间)。\n起卦公历：2024年1月1日11时53分(天文时间)。\n");
    EXPECT_EQ(e.FirstChartRow(), 10);
}

TEST(ChartEmphasis, PillarRowBlueAndHexagramNamesRed) {
    const CLiuYaoEx e = assembled({"111114"});
    const std::string shown = displayText(e.lineText);
    ASSERT_GE(e.lineSpans.size(), 2u);
    EXPECT_EQ(e.lineSpans[0].start, charIndex(shown, "干支"));
    EXPECT_EQ(e.lineSpans[0].length, characterCount(kPillars2024));
    EXPECT_EQ(e.lineSpans[0].color, kBlue);
    EXPECT_EQ(e.lineSpans[1].start, charIndex(shown, "主变卦"));
    EXPECT_EQ(e.lineSpans[1].length, characterCount("主变卦    天风姤(乾宫)  之  乾为天(乾宫)  [空亡:寅、卯]"));
    EXPECT_EQ(e.lineSpans[1].color, kRed);
    ASSERT_GE(e.hexSpans.size(), 1u);
    EXPECT_EQ(e.hexSpans[0].start, charIndex(displayText(e.hexText), "干支"));
}

TEST(ChartEmphasis, PillarSearchSkipsTheAskerRows) {
    CLiuYaoEx e;
    e.settingsOverride = ChartSettings{};
    e.caseInfo.mainCode = "111111";
    e.caseInfo.changedCode = "111111";
    e.caseInfo.castingTime = {2024, 2, 10, 9, 30, 0, 0};
    e.caseInfo.question = "问干支";
    ASSERT_TRUE(e.Assemble("其他方式"));
    const std::string shown = displayText(e.lineText);
    ASSERT_FALSE(e.lineSpans.empty());
    EXPECT_EQ(e.lineSpans[0].start, charIndex(shown, "干支："));
}

TEST(ChartEmphasis, AnalysisSectionHeadingsAndTitles) {
    const std::string report =
        kHeader2024 + kPillars2024 + "  (卦身：午)\n\n主变卦    乾为天(乾宫)  [空亡:寅、卯]\n\n" +
        "玄武    ━━━  父母戌土 世   \n\n爻像解析：　\r\n【用神】取 "
        "1爻子孙子水为用。\n\n【世爻】父母\n\n【定应期】春\n\n【吉神凶煞】\n  1爻值：天乙    " +
        "\r\n\r\n易经卦爻辞(原文)：\n◆乾为天\n易经卦爻辞(白话)：\n【古经】x\r\n六十四金钱课：\n主卦断：y";
    const std::string shown = displayText(report);
    const std::vector<StyleSpan> spans = ChartReportSpans(report);
    ASSERT_EQ(spans.size(), 11u);
    const int analysis = charIndex(shown, "爻像解析");
    EXPECT_EQ(spans[2].start, analysis);
    EXPECT_EQ(spans[2].length, characterCount(shown) - analysis);
    EXPECT_EQ(spans[2].sizeDelta, -2);
    EXPECT_EQ(spans[3].start, analysis);
    EXPECT_EQ(spans[3].length, 6);  // "爻像解析：　"
    EXPECT_EQ(spans[3].bold, true);
    const char* headings[] = {"【用神】", "【世爻】", "【定应期】", "【吉神凶煞】"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(spans[4 + k].start, charIndex(shown, headings[k])) << headings[k];
        EXPECT_EQ(spans[4 + k].length, characterCount(headings[k])) << headings[k];
        EXPECT_EQ(spans[4 + k].color, kRed);
    }
    // "卦像解析：" is not in the chart report; the three other titles are.
    EXPECT_EQ(spans[8].start, charIndex(shown, "易经卦爻辞(原文)："));
    EXPECT_EQ(spans[9].start, charIndex(shown, "易经卦爻辞(白话)："));
    EXPECT_EQ(spans[10].start, charIndex(shown, "六十四金钱课："));
    EXPECT_EQ(spans[10].length, 7);
    EXPECT_EQ(spans[10].color, kBlue);
}

TEST(ChartEmphasis, MissingHeadingsGiveNoSpans) {
    EXPECT_TRUE(ChartReportSpans("").empty());
    EXPECT_TRUE(MeiHuaReportSpans("").empty());
    const std::string noClose = kHeader2024 + kPillars2024 + "\n\n主变卦 乾为天 [空亡:寅、卯\n\n爻像解析：　\r\n【用神";
    const std::vector<StyleSpan> spans = ChartReportSpans(noClose);
    ASSERT_EQ(spans.size(), 3u);  // pillars, the smaller analysis section and its head
    EXPECT_EQ(spans[1].sizeDelta, -2);
}

TEST(ChartEmphasis, MeiHuaAnalysisSmallerWithItsTitleBlueBold) {
    const std::string report = kHeader2024 + kPillars2024 + "\n\n  乾为天        \r\n  【主卦】\r\n\r\n" +
                               "卦像解析：　\r\n  ◇体卦为上卦乾金旺于月令。\r\n\r\n易经卦爻辞(原文)：\n◆";
    const std::string shown = displayText(report);
    const std::vector<StyleSpan> spans = MeiHuaReportSpans(report);
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[0].length, characterCount(kPillars2024));
    EXPECT_EQ(spans[1].start, charIndex(shown, "卦像解析"));
    EXPECT_EQ(spans[1].sizeDelta, -2);
    EXPECT_EQ(spans[2].start, charIndex(shown, "卦像解析"));
    EXPECT_EQ(spans[2].length, 5);
    EXPECT_EQ(spans[2].bold, true);
    EXPECT_EQ(spans[3].start, charIndex(shown, "易经卦爻辞(原文)："));
}

namespace {

std::string describe(const std::vector<StyleSpan>& spans) {
    std::string out;
    for (const StyleSpan& s : spans) {
        out += std::to_string(s.start) + "+" + std::to_string(s.length);
        if (s.color) out += " rgb" + std::to_string(colorRefFromRgb(*s.color));
        if (s.bold) out += *s.bold ? " bold" : " plain";
        out += " " + std::to_string(s.sizeDelta) + "; ";
    }
    return out;
}

}  // namespace

// A report that ends with a known ending is emphasised exactly as when the whole text is
// searched: titles before the ending, titles cut by its start, line breaks at the seam.
TEST(ChartEmphasis, KnownEndingGivesTheSpansOfTheWholeText) {
    const CLiuYaoEx e = assembled({"111114"});
    const std::size_t classicsAt = e.lineText.find("\r\n\r\n易经卦爻辞(原文)：");
    ASSERT_NE(classicsAt, std::string::npos);
    const std::string chartHead = e.lineText.substr(0, classicsAt);
    const std::string meiHuaHead = e.hexText.substr(0, e.hexText.find("\r\n\r\n易经卦爻辞(原文)："));
    const std::string classics = e.lineText.substr(classicsAt);
    struct Case {
        const char* what;
        std::string chartHead, meiHuaHead, ending;
    };
    const Case cases[] = {
        {"the reports as assembled", chartHead, meiHuaHead, classics},
        {"titles in the text before the ending", chartHead + "六十四金钱课：卦像解析：",
         meiHuaHead + "易经卦爻辞(白话)：", classics},
        {"a title cut by the start of the ending", chartHead + "\r\n\r\n易经卦爻辞(原",
         meiHuaHead + "\r\n\r\n易经卦爻辞(原", classics.substr(classics.find("文)："))},
        {"a \\r before the ending and its \\n", chartHead + "\r", meiHuaHead + "\r", "\n" + classics},
        {"an ending without titles", chartHead, meiHuaHead, "\r\n\r\n【古经】乾卦\r\n"},
        {"an empty ending", chartHead + classics, meiHuaHead + classics, ""},
    };
    for (const Case& k : cases) {
        const ReportEnding ending = MakeReportEnding(k.ending);
        const std::string chart = k.chartHead + k.ending;
        const std::string meiHua = k.meiHuaHead + k.ending;
        EXPECT_EQ(describe(ChartReportSpans(chart, &ending)), describe(ChartReportSpans(chart))) << k.what;
        EXPECT_EQ(describe(MeiHuaReportSpans(meiHua, &ending)), describe(MeiHuaReportSpans(meiHua))) << k.what;
    }
    // An ending the report does not end with is not used.
    const ReportEnding other = MakeReportEnding("\r\n\r\n易经卦爻辞(原文)：\n六十四金钱课：");
    EXPECT_EQ(describe(ChartReportSpans(e.lineText, &other)), describe(e.lineSpans));
    EXPECT_EQ(describe(ChartReportSpans(e.lineText)), describe(e.lineSpans));
}

namespace {

// A plain model of the emphasis rules: the text as the pane shows it, one entry per
// character with its GBK position, every search a search of the shown text.
class PlainPositions {
public:
    explicit PlainPositions(const std::string& text) : shown_(displayText(text)) {
        int gbk = 0;
        gbk::forEachCharacter(shown_, [&](std::string_view ch) {
            offsets_.push_back(static_cast<std::size_t>(ch.data() - shown_.data()));
            gbkOf_.push_back(gbk);
            gbk += ch.size() == 1 ? 1 : 2;
        });
        offsets_.push_back(shown_.size());
        gbkOf_.push_back(gbk);
    }
    int gbkLength() const { return gbkOf_.back(); }
    std::optional<int> find(std::string_view needle, int from) const {
        const std::size_t at = shown_.find(needle, offsets_[charAt(from)]);
        if (at == std::string::npos) return std::nullopt;
        const auto it = std::lower_bound(offsets_.begin(), offsets_.end(), at);
        return gbkOf_[static_cast<std::size_t>(it - offsets_.begin())];
    }
    StyleSpan span(int from, int length) const {
        const int first = static_cast<int>(charAt(from));
        return {first, static_cast<int>(charAt(from + length)) - first, std::nullopt, std::nullopt, 0};
    }

private:
    std::size_t charAt(int gbk) const {  // first character at or after GBK position gbk, or the end
        const auto it = std::lower_bound(gbkOf_.begin(), gbkOf_.end(), gbk);
        return static_cast<std::size_t>(std::min(it, gbkOf_.end() - 1) - gbkOf_.begin());
    }
    std::string shown_;
    std::vector<std::size_t> offsets_;
    std::vector<int> gbkOf_;
};

void plainTitles(const PlainPositions& pos, int cursor, std::vector<StyleSpan>& spans) {
    for (std::string_view title : {"卦像解析：", "易经卦爻辞(原文)：", "易经卦爻辞(白话)：", "六十四金钱课："}) {
        const std::optional<int> at = pos.find(title, cursor + 10);
        if (!at) continue;
        StyleSpan s = pos.span(*at, gbk::width(title));
        s.color = kBlue;
        s.bold = true;
        spans.push_back(s);
        cursor = *at;
    }
}

int plainPillars(const PlainPositions& pos, std::vector<StyleSpan>& spans) {
    const std::optional<int> at = pos.find("干支", 90);
    if (!at) return 90;
    StyleSpan s = pos.span(*at, 38);
    s.color = kBlue;
    spans.push_back(s);
    return *at;
}

StyleSpan plainSmaller(const PlainPositions& pos, int from) {
    StyleSpan s = pos.span(from, pos.gbkLength() - from);
    s.sizeDelta = -2;
    return s;
}

std::vector<StyleSpan> plainChartSpans(const std::string& text) {
    const PlainPositions pos(text);
    std::vector<StyleSpan> spans;
    int cursor = plainPillars(pos, spans);
    const std::optional<int> names = pos.find("主变卦", cursor);
    const std::optional<int> close = names ? pos.find("]", *names) : std::nullopt;
    if (names && close) {
        StyleSpan s = pos.span(*names, *close + 1 - *names);
        s.color = kRed;
        spans.push_back(s);
        cursor = *close;
    }
    if (const std::optional<int> analysis = pos.find("爻像解析：", cursor + 10)) {
        spans.push_back(plainSmaller(pos, *analysis));
        StyleSpan head = pos.span(*analysis, 12);
        head.color = kBlue;
        head.bold = true;
        spans.push_back(head);
        cursor = *analysis;
        for (int k = 0; k < 4; ++k) {
            const std::optional<int> open = pos.find("【", cursor);
            const std::optional<int> shut = open ? pos.find("】", *open) : std::nullopt;
            if (!shut) break;
            StyleSpan s = pos.span(*open, *shut + 2 - *open);
            s.color = kRed;
            spans.push_back(s);
            cursor = *shut;
        }
    }
    plainTitles(pos, cursor, spans);
    return spans;
}

std::vector<StyleSpan> plainMeiHuaSpans(const std::string& text) {
    const PlainPositions pos(text);
    std::vector<StyleSpan> spans;
    const int cursor = plainPillars(pos, spans);
    if (const std::optional<int> analysis = pos.find("卦像解析：", cursor))
        spans.push_back(plainSmaller(pos, *analysis));
    plainTitles(pos, cursor - 10, spans);
    return spans;
}

}  // namespace

// Texts pieced together at random from headings, pieces of headings, line breaks, ASCII
// and characters of one to four bytes, with or without a known ending cut anywhere: the
// spans are those of the plain model.
TEST(ChartEmphasis, ArbitraryTextsGiveTheSpansOfAPlainWalk) {
    static const std::vector<std::string> kPieces = {"干支",
                                                     "干支：  甲辰年  丙寅月  甲辰日  己巳时",
                                                     "主变卦    天风姤",
                                                     "]",
                                                     "[空亡:寅、卯]",
                                                     "爻像解析：　",
                                                     "卦像解析：",
                                                     "【",
                                                     "】",
                                                     "【用神】",
                                                     "易经卦爻辞(原文)：",
                                                     "易经卦爻辞(白话)：",
                                                     "六十四金钱课：",
                                                     "易经卦爻辞(原",
                                                     "文)：",
                                                     "\r\n",
                                                     "\r",
                                                     "\n",
                                                     "\r\r\n",
                                                     "a",
                                                     "ab 12",
                                                     "×",
                                                     "甲子",
                                                     "𠀀",
                                                     "  ",
                                                     "━━━○",
                                                     "求测人：张三\n起卦方式：其他方式   占问事宜：",
                                                     "◇初九:潜龙勿用"};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const std::uint32_t pieces = next(80);
        for (std::uint32_t k = 0; k < pieces; ++k) text += kPieces[next(static_cast<std::uint32_t>(kPieces.size()))];
        const std::string expectedChart = describe(plainChartSpans(text));
        const std::string expectedMeiHua = describe(plainMeiHuaSpans(text));
        ASSERT_EQ(describe(ChartReportSpans(text)), expectedChart) << round;
        ASSERT_EQ(describe(MeiHuaReportSpans(text)), expectedMeiHua) << round;
        const ReportEnding ending = MakeReportEnding(text.substr(next(static_cast<std::uint32_t>(text.size()) + 1)));
        ASSERT_EQ(describe(ChartReportSpans(text, &ending)), expectedChart) << round;
        ASSERT_EQ(describe(MeiHuaReportSpans(text, &ending)), expectedMeiHua) << round;
    }
}
