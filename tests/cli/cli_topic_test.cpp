// qingheng-cli topic: the text the window shows, for one topic or all eight.
#include <gtest/gtest.h>

#include "CliRunner.h"

using qingheng::testing::runCli;

namespace {

const std::string kChart = " --code 111111 --time '2024-02-10 09:30' --qiangua 0";

// 乾为天 on 2024-02-10 09:30, worked out by hand.
const std::string kBusiness =
    "生意预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\r\n\r\n"
    "◆世应相冲必有变，不同心。\r\n"
    "◆应爻冲克耗世爻，货物难卖。\r\n"
    "◆财空伏者，无货。\r\n"
    "◆六爻安静，开业永立。\r\n";
const std::string kWeather =
    "天气预测：\n"
    "\n◆主卦无动爻，可看世爻论断。"
    "\n◆父母爻持世主下雨，也有可能带有冰雹，冬天时主降雪、霜。"
    "\n◆世爻戌土死于月令,墓于日辰,戌辰世爻与日辰相冲。"
    "\n◆力量中平，所主像的天气状况如实出现。";

}  // namespace

TEST(TopicCommand, PrintsTheTextAsWrittenWithOneFinalLineFeedAtMost) {
    const auto business = runCli("topic 生意" + kChart);
    EXPECT_EQ(business.exitCode, 0);
    EXPECT_EQ(business.out, kBusiness);  // already ends in a line feed
    const auto weather = runCli("topic 天气" + kChart);
    EXPECT_EQ(weather.out, kWeather + "\n");
    EXPECT_EQ(runCli("topic 4" + kChart).out, weather.out);
}

TEST(TopicCommand, AllPrintsTheEightTextsEachAfterItsName) {
    const auto all = runCli("topic --all" + kChart);
    ASSERT_EQ(all.exitCode, 0);
    std::size_t at = 0;
    for (const char* name : {"财运", "行人", "住宅", "疾病", "天气", "考学", "生意", "婚姻"}) {
        const std::string header = std::string("== ") + name + "\n";
        const std::size_t found = all.out.find(header, at);
        ASSERT_NE(found, std::string::npos) << name;
        at = found + header.size();
    }
    EXPECT_EQ(all.out.rfind("== 财运\n财运预测：", 0), 0u);
    EXPECT_NE(all.out.find("== 天气\n" + kWeather + "\n== 考学\n"), std::string::npos);
    EXPECT_NE(all.out.find("== 生意\n" + kBusiness + "== 婚姻\n"), std::string::npos);
}

TEST(TopicCommand, CastsByAMethodLikeTheChartCommand) {
    const auto run = runCli("topic 生意 --method number --input 12 --time '2024-02-10 09:30' --qiangua 0");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "生意预测：（世为自己，应为他人，财为货物，当察三者，以断生意成败）\r\n\r\n"
              "◆相应克害，双方不同心。\r\n"
              "◆应爻冲克耗世爻，货物难卖。\r\n"
              "◆财空伏者，无货。\r\n");
}

TEST(TopicCommand, RefusesABadTopicOrChart) {
    const auto name = runCli("topic 财富" + kChart, true);
    EXPECT_EQ(name.exitCode, 1);
    EXPECT_NE(name.out.find("主题应为财运、行人、住宅、疾病、天气、考学、生意、婚姻之一（或0-7）：财富"),
              std::string::npos);
    EXPECT_EQ(runCli("topic 8" + kChart).exitCode, 1);
    EXPECT_EQ(runCli("topic" + kChart).exitCode, 1);
    const auto code = runCli("topic 财运 --code 111115 --time '2024-02-10 09:30'", true);
    EXPECT_EQ(code.exitCode, 1);
    EXPECT_NE(code.out.find("卦码应为六个字符"), std::string::npos);
    EXPECT_EQ(runCli("topic 财运 --code 111111 --time '2051-01-01 10:00'").exitCode, 1);
    EXPECT_EQ(runCli("topic 财运 --all" + kChart).exitCode, 2);  // a name and --all together
}
