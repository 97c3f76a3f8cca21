#pragma once
// The timing of response (应期): the short paragraph that says when the matter of a use god
// comes about. The general judgement of the chart report and the topic judgements each end
// with it for their own use god.
#include <string>

#include "chart/Liuyaoex.h"

namespace qingheng {

// Sentences for the use god standing on line index `line` (0 = line 1) with `branch`:
// count is the number of lines holding its relative (0: hidden, line and branch are those of
// its hidden spirit), verdict its score (0 weak, 1 balanced, 2 strong). Every sentence starts
// with "\n  ○"; the last one always names the season of the trigram holding the line.
std::string timingText(const Chart& c, int count, int verdict, int line, Branch branch);

}  // namespace qingheng
