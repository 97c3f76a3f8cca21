// qingheng-cli calendar page, liuren and lot, end to end.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

#include "CliRunner.h"
#include "StrokeFixture.h"
#include "TemporaryHome.h"

using qingheng::testing::runCli;
using qingheng::testing::shellQuote;
namespace fs = std::filesystem;

TEST(CliCalendarPage, February2024IsThePageTheWindowDraws) {
    const auto run = runCli("calendar page 2024-02 --day 10 --time 09:30");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto page = nlohmann::json::parse(run.out);
    EXPECT_EQ(page["title"], "2024年2月");
    EXPECT_EQ(page["animal"], "龙年");
    EXPECT_EQ(page["firstColumn"], 3);
    ASSERT_EQ(page["days"].size(), 29u);
    EXPECT_EQ(page["days"][3], (nlohmann::json{{"day", 4}, {"lunar", "十二月廿五"}, {"term", "立春"}}));
    EXPECT_EQ(page["days"][9], (nlohmann::json{{"day", 10}, {"lunar", "正月初一"}, {"term", ""}}));
    EXPECT_EQ(page["terms"], (nlohmann::json{"立春4日16时27分", "雨水19日12时13分"}));
    EXPECT_EQ(page["pillars"], (nlohmann::json{"甲辰年", "丙寅月", "甲辰日", "己巳时"}));
    std::vector<std::string> keys;
    for (const auto& [key, value] : page.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"animal", "days", "firstColumn", "pillars", "terms", "title"}));
}

TEST(CliCalendarPage, LunarMonthsClearTheTermRule) {
    const auto byTerms = nlohmann::json::parse(runCli("calendar page 2024-02 --day 5 --time 12:00").out);
    const auto byLunar = nlohmann::json::parse(runCli("calendar page 2024-02 --day 5 --time 12:00 --lunar-months").out);
    EXPECT_EQ(byTerms["pillars"][0], "甲辰年");
    EXPECT_EQ(byLunar["pillars"][0], "癸卯年");
    EXPECT_EQ(byLunar["pillars"][1], "乙丑月");
    EXPECT_EQ(byLunar["animal"], "兔年");
}

TEST(CliCalendarPage, RefusalsPrintTheCalendarsMessages) {
    struct Case {
        const char* args;
        int exitCode;
        const char* message;
    };
    for (const Case& c : {Case{"calendar page 1899-12", 1, "年份在1900-2050之间\n"},
                          {"calendar page 2051-01", 1, "年份在1900-2050之间\n"},
                          {"calendar page 2023-02 --day 29", 1, "不存在这个日期，请重新输入！\n"},
                          {"calendar page 2024-13", 1, nullptr},
                          {"calendar page 2024-02 --time 25:00", 1, nullptr},
                          {"calendar page 2024-02 --day 32", 2, nullptr}}) {
        const auto run = runCli(c.args, true);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        if (c.message) {
            EXPECT_EQ(run.out, c.message) << c.args;
        }
    }
}

TEST(CliLiuRen, PrintsTheMemoText) {
    const auto run = runCli("liuren 12 30 22");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "起课时间：十二月三十日22时\n得[赤口]课论断如下：\n\n"
              "官事凶时，属金白虎，谋事主四、七、十：\n"
              "断曰：赤口主口舌，官非切要防，\n"
              "      失物急去寻，行人有惊慌，\n"
              "      鸡犬多作怪，病者出西方，\n"
              "      更须妨咒诅，恐怕染瘟疫。\n");
    for (const char* bad : {"liuren 0 1 0", "liuren 13 1 0", "liuren 1 31 0", "liuren 1 1 24", "liuren 1 1"})
        EXPECT_EQ(runCli(bad).exitCode, 2) << bad;
}

class CliLot : public ::testing::Test {
protected:
    void SetUp() override {
        home_.withShippedFiles({"hzlen.dat"}).useAsProgramFolder();
        qingheng::testing::setStrokes(home_.path(), "甲", 12);
        qingheng::testing::setStrokes(home_.path(), "乙", 7);
        qingheng::testing::setStrokes(home_.path(), "丙", 30);
    }
    std::string lot(const std::string& text) {
        return "--home " + shellQuote(home_.path().string()) + " lot " + shellQuote(text);
    }
    qingheng::testing::TemporaryHome home_{"cli_lot"};
};

TEST_F(CliLot, PrintsTheMemoOfTheDrawnLot) {
    const auto run = runCli(lot("甲乙丙"));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out,
              "【测字:甲乙丙,得第二七○签】\n\n"
              "●签诗：躬耕陇亩，形神似劳，无拘无系，其乐陶陶。\n\n"
              "※解签：虽然辛苦劳作，却自由自在，没有牵绊。安守本业，知足常乐，是平安之签。\n");
}

TEST_F(CliLot, RefusalsGoToStandardErrorWithExitCodeOne) {
    struct Case {
        const char* text;
        const char* message;
    };
    for (const Case& c : {Case{"甲乙", "必须输入3个汉字\n"},
                          {"abcdef", "必须输入汉字\n"},
                          {"甲，乙", "找不到\"，\"这个汉字的笔画\n"}}) {
        const auto quiet = runCli(lot(c.text));
        EXPECT_EQ(quiet.exitCode, 1) << c.text;
        EXPECT_EQ(quiet.out, "") << c.text;
        EXPECT_EQ(runCli(lot(c.text), true).out, c.message) << c.text;
    }
}
