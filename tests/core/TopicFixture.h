#pragma once
// Topic judgements of assembled charts, for the topic tests. Unless a test says otherwise the
// chart is cast on 2024-02-10 09:30: 甲辰年 丙寅月 甲辰日, void 寅 卯, spirits from 青龙 on
// line 1. In a 寅 month 木 is 旺 and 火 相 (the prosperous phases); at a 辰 day 水, 火 and
// 土 stand at a strong stage, so lines score 水 1, 木 1, 火 2, 土 1, 金 0.
#include <string>

#include "ChartFixture.h"
#include "topics/Liuyaoex2.h"

namespace qingheng::testing {

inline std::string topicText(const std::string& code, Topic topic, Relative useGod = 0,
                             DateRecord time = {2024, 2, 10, 9, 30}) {
    return TopicJudgement(assembled({code, time, useGod}).chart(), topic);
}

// One expectation about a rule's message in a topic's text.
struct RuleRow {
    const char* code;
    Relative useGod;
    const char* message;
    bool fires;
    const char* why;
};

inline void expectRows(Topic topic, std::initializer_list<RuleRow> rows) {
    for (const RuleRow& row : rows) {
        SCOPED_TRACE(std::string(row.code) + ": " + row.why);
        const std::string text = topicText(row.code, topic, row.useGod);
        EXPECT_EQ(text.find(row.message) != std::string::npos, row.fires) << row.message;
    }
}

}  // namespace qingheng::testing
