#pragma once
// Topic judgements: for eight common questions (wealth, travellers, residence, illness,
// weather, exams, business, marriage) a fixed, ordered rule list reads the assembled chart
// and writes the judgement text the main window shows in its side pane.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "chart/Liuyaoex.h"

namespace qingheng {

using Topic = int;  // 0 to 7, in the order of kTopicNames

inline constexpr int kTopicCount = 8;
inline constexpr Topic kTopicWealth = 0, kTopicTravellers = 1, kTopicResidence = 2, kTopicIllness = 3,
                       kTopicWeather = 4, kTopicExams = 5, kTopicBusiness = 6, kTopicMarriage = 7;
inline constexpr std::array<std::string_view, kTopicCount> kTopicNames = {"财运", "行人", "住宅", "疾病",
                                                                          "天气", "考学", "生意", "婚姻"};

constexpr std::string_view TopicName(Topic t) { return kTopicNames[t]; }

// The topic of a name (财运 … 婚姻) or a number (0 to 7); nullopt for anything else.
std::optional<Topic> TopicOfName(std::string_view text);

// The judgement text of a topic over an assembled chart (read only).
std::string TopicJudgement(const Chart& chart, Topic topic);

}  // namespace qingheng
