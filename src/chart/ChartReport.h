#pragma once
// The rows of the two report texts and their emphasis. Widths count GBK bytes.
#include <string>
#include <string_view>
#include <vector>

#include "chart/Liuyaoex.h"
#include "platform/StyledText.h"

namespace qingheng {

// Header shared by both reports: asker, method, question, casting input, dates.
std::string ReportHeader(const CaseInfo& info, const Chart& c);
// Pillars, hexagram names, void and the six line rows of the chart report.
std::string ChartBlock(const Chart& c);
// Pillars, hexagram names and line pictures that open the Mei Hua report after the header.
std::string TrigramPictures(const Chart& c);

// Number of header rows before the pillar row.
int HeaderRowCount(const CaseInfo& info);

// Emphasis of the chart report and of the Mei Hua report. A heading that cannot be found
// gives no span.
std::vector<StyleSpan> ChartReportSpans(std::string_view lineText);
std::vector<StyleSpan> MeiHuaReportSpans(std::string_view hexText);

// "初一" … "三十" of a lunar day; " 正月 ", " 闰四月 " … of a lunar month.
std::string LunarDayText(int day);
std::string LunarMonthText(int month, bool leap);

}  // namespace qingheng
