#pragma once
// The rows of the two report texts and their emphasis. Widths count GBK bytes.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "chart/Liuyaoex.h"
#include "platform/StyledText.h"

namespace qingheng {

// Each appends to out. The header shared by both reports: asker, method, question, casting
// input, dates.
void WriteReportHeader(const CaseInfo& info, const Chart& c, std::string& out);
// Pillars, hexagram names, void and the six line rows of the chart report.
void WriteChartBlock(const Chart& c, std::string& out);
// Pillars, hexagram names and line pictures that open the Mei Hua report after the header.
void WriteTrigramPictures(const Chart& c, std::string& out);

// Number of header rows before the pillar row.
int HeaderRowCount(const CaseInfo& info);

// A place in a report as a pane shows it: byte offset in the text as written, GBK position
// and characters before it.
struct TextPlace {
    std::size_t raw = 0;
    int gbk = 0;
    int chars = 0;
};

// A fixed text that ends reports (the classic texts of a hexagram), with what the emphasis
// needs to know about it worked out once: where each section title stands in it and how
// long it is. A report ending with these bytes is then searched and measured only up to
// where they begin.
struct ReportEnding {
    std::string text;
    std::array<std::vector<TextPlace>, 4> titles;  // every place of each section title
    TextPlace end;
};
ReportEnding MakeReportEnding(std::string text);

// Emphasis of the chart report and of the Mei Hua report. A heading that cannot be found
// gives no span. When the report ends with the text of `ending`, the same spans are found
// from what is known about it; otherwise it is ignored.
std::vector<StyleSpan> ChartReportSpans(std::string_view lineText, const ReportEnding* ending = nullptr);
std::vector<StyleSpan> MeiHuaReportSpans(std::string_view hexText, const ReportEnding* ending = nullptr);

// "初一" … "三十" of a lunar day; " 正月 ", " 闰四月 " … of a lunar month.
std::string LunarDayText(int day);
std::string LunarMonthText(int month, bool leap);

}  // namespace qingheng
