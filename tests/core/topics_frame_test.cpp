// The topic list and the frame every topic text shares.
#include <gtest/gtest.h>

#include "TopicFixture.h"

using namespace qingheng;
using qingheng::testing::topicText;

TEST(TopicNames, NamesAndNumbersSelectTheTopic) {
    const struct {
        const char* text;
        std::optional<Topic> topic;
    } rows[] = {
        {"财运", kTopicWealth},  {"行人", kTopicTravellers}, {"住宅", kTopicResidence}, {"疾病", kTopicIllness},
        {"天气", kTopicWeather}, {"考学", kTopicExams},      {"生意", kTopicBusiness},  {"婚姻", kTopicMarriage},
        {"0", kTopicWealth},     {"7", kTopicMarriage},      {"8", std::nullopt},       {"-1", std::nullopt},
        {"", std::nullopt},      {"财", std::nullopt},       {"财运 ", std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(TopicOfName(row.text), row.topic) << row.text;
}

TEST(TopicFrame, EveryTextStartsWithItsTitle) {
    for (Topic t = 0; t < kTopicCount; ++t) {
        const std::string text = topicText("224133", t);
        EXPECT_EQ(text.rfind(std::string(TopicName(t)) + "预测：", 0), 0u) << t;
    }
}

TEST(TopicFrame, NoTextWithoutAnAssembledChartOrForAnUnknownTopic) {
    EXPECT_EQ(TopicJudgement(Chart{}, kTopicWealth), "");
    const Chart assembled = qingheng::testing::assembled({"111111"}).chart();
    EXPECT_EQ(TopicJudgement(assembled, kTopicCount), "");
    EXPECT_EQ(TopicJudgement(assembled, -1), "");
}
