#pragma once
// The general judgement of the chart report (爻像解析): use god, moving line, hidden spirit,
// source and enemy, world and response, timing and the stars of each line.
#include <string>

#include "chart/Liuyaoex.h"

namespace qingheng {

// The auspicious and baleful stars of line index `line` from the day pillar: each star name
// with a blank after it, five blanks when none applies, and three blanks after either.
std::string ShenShaOf(const Chart& c, int line);

// The timing paragraph of the chart's use god (the 【定应期】 section's text).
std::string UseGodTiming(const Chart& c);

// Appends the general judgement, from "爻像解析：　", to the chart report.
void WriteGeneralJudgement(const Chart& c, std::string& lineText);

}  // namespace qingheng
