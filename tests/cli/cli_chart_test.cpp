// qingheng-cli chart: the two reports, the JSON chart, casting first, and refusals.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

#include "CliRunner.h"

using qingheng::testing::runCli;

TEST(ChartCommand, JsonDescribesTheAssembledChart) {
    const auto run = runCli("chart --code 111114 --time '2024-02-10 09:30' --use-god 妻财 --qiangua 0 --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["pillars"]["month"], "丙寅");
    EXPECT_EQ(j["gregorian"], "2024-02-10 09:30");
    EXPECT_EQ(j["lunar"]["month"], 1);
    EXPECT_EQ(j["lunar"]["day"], 1);
    EXPECT_EQ(j["void"], nlohmann::json::array({"寅", "卯"}));
    EXPECT_EQ(j["main"]["name"], "天风姤");
    EXPECT_EQ(j["main"]["world"], 1);
    EXPECT_EQ(j["changed"]["code"], "111111");
    EXPECT_EQ(j["lines"][1]["hidden"]["branch"], "寅");
    EXPECT_TRUE(j["lines"][0]["hidden"].is_null());
    EXPECT_EQ(j["lines"][0]["changed"]["relative"], "子孙");
    EXPECT_EQ(j["use_god"]["count"], 0);
    EXPECT_EQ(j["use_god"]["line"], 2);
    EXPECT_EQ(j["summaries"].size(), 7u);
    EXPECT_EQ(j["fanfuyin"]["inner"], 1);
}

TEST(ChartCommand, ReportsAndErrors) {
    const auto run = runCli("chart --code 111111 --time '2024-02-10 09:30' --nagan --qiangua 1");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("青龙    ━━━  官鬼甲午火"), std::string::npos);
    EXPECT_NE(run.out.find("\n----\n求测人："), std::string::npos);

    const auto late = runCli("chart --code 111111 --time '2050-12-31 23:30'", true);
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_EQ(late.out, "时间越界，年份在1900-2050之间\n");
    EXPECT_EQ(runCli("chart --code 111111 --time '2024-02-10'").exitCode, 1);
    EXPECT_EQ(runCli("chart --code 111111 --time '2024-02-10 24:00'").exitCode, 1);
    const auto leap = runCli("chart --code 111111 --time '2023-02-11 12:00' --lunar --leap --json");
    ASSERT_EQ(leap.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(leap.out)["gregorian"], "2023-04-01 12:00");
    EXPECT_EQ(runCli("chart --code 111111 --time '2024-02-10 09:30' --use-god 用神").exitCode, 1);
    EXPECT_EQ(runCli("chart --code 111111 --time '2024-02-10 09:30' --name 一二三四五六").exitCode, 1);
}

TEST(ChartCommand, CastsByAMethodAndChartsInOneCall) {
    const auto number = runCli("chart --method number --input 12 --time '2024-02-10 09:30' --json");
    ASSERT_EQ(number.exitCode, 0) << number.out;
    EXPECT_EQ(nlohmann::json::parse(number.out)["main"]["code"], "111411");
    const auto header = runCli("chart --method number --input 12 --time '2024-02-10 09:30'");
    EXPECT_NE(header.out.find("起卦方式：数字起卦   占问事宜：\n数字：12\r\n总数：3，上卦数：1，下卦数：2\r\n"),
              std::string::npos);

    // A lifetime cast dates the chart by the dialog's moment; a time cast reads --time.
    const auto lifetime = runCli("chart --method time --time '2024-02-10 09:30' --lifetime gan --json");
    ASSERT_EQ(lifetime.exitCode, 0) << lifetime.out;
    EXPECT_EQ(nlohmann::json::parse(lifetime.out)["main"]["code"], "121311");
    const auto time = runCli("chart --method time --time '2024-02-10 09:30' --add-number 3 --json");
    EXPECT_EQ(nlohmann::json::parse(time.out)["main"]["code"], "124222");

    const auto refused = runCli("chart --method number --input 1 --time '2024-02-10 09:30'", true);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("数字个数为 2至 40个！"), std::string::npos);
    EXPECT_EQ(runCli("chart --time '2024-02-10 09:30'").exitCode, 1);
}

TEST(ChartCommand, TextsAreCheckedAgainstTheirRecordFields) {
    struct Case {
        const char* option;
        const char* message;
    };
    const Case cases[] = {
        {"--name 一二三四五六", "求测人太长：最多10个字节（一个汉字占两个字节）。\n"},
        {"--name 😀", "求测人含有无法保存的字符“😀”，请换用其他写法。\n"},
        {"--question 一二三四五六七八九十一二三四五六七八九十一",
         "占问事宜太长：最多40个字节（一个汉字占两个字节）。\n"},
        {"--method-label 一二三四五六七八九十一", "起卦方式太长：最多21个字节（一个汉字占两个字节）。\n"},
    };
    for (const Case& c : cases) {
        const auto run = runCli(std::string("chart --code 111111 --time '2024-02-10 09:30' ") + c.option, true);
        EXPECT_EQ(run.exitCode, 1) << c.option;
        EXPECT_EQ(run.out, c.message) << c.option;
    }
    const auto fits = runCli("chart --code 111111 --time '2024-02-10 09:30' --name 一二三四五 --method-label 测试");
    EXPECT_EQ(fits.exitCode, 0);
    EXPECT_NE(fits.out.find("求测人：一二三四五\n起卦方式：测试   占问事宜：\n"), std::string::npos);
}
