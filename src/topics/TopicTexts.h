#pragma once
// The eight topic texts and the pieces several of them share. Internal to src/topics.
#include <string>
#include <string_view>

#include "topics/Liuyaoex2.h"
#include "topics/TopicFrame.h"

namespace qingheng::topics {

// A topic's use god: the line FindUseGod picks for the relative (or its hidden spirit) and
// the strength analysis of that line under the topic's label; the verdict is its score.
struct UseGodReading {
    UseGodPick pick;
    LineEvaluation analysis;

    bool present() const { return pick.count > 0; }
    int lineNumber() const { return pick.line + 1; }
    int verdict() const { return analysis.score; }
};

UseGodReading readUseGod(const Frame& f, Relative r, std::string_view label);

// The heading followed by the timing paragraph of the use god.
std::string timingSection(const Frame& f, const UseGodReading& u, std::string_view heading);

std::string wealthText(const Frame& f);
std::string businessText(const Frame& f);
std::string travellersText(const Frame& f);
std::string residenceText(const Frame& f);
std::string illnessText(const Frame& f);
std::string weatherText(const Frame& f);
std::string examsText(const Frame& f);
std::string marriageText(const Frame& f);

}  // namespace qingheng::topics
