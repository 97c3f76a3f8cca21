#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.h"

using qingheng::testing::runCli;

TEST(CliHexagram, DescribesALeiTianDaZhuangCode) {
    const auto run = runCli("hexagram 221111");
    ASSERT_EQ(run.exitCode, 0);
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["palace"], "坤");
    EXPECT_EQ(j["rank"], 5);
    EXPECT_EQ(j["number"], 61);
    EXPECT_EQ(j["name"], "雷天大壮");
    EXPECT_EQ(j["world"], 4);
    EXPECT_EQ(j["response"], 1);
    EXPECT_EQ(j["branches"], nlohmann::json({"子", "寅", "辰", "午", "申", "戌"}));
    EXPECT_EQ(j["stems"], nlohmann::json({"甲", "甲", "甲", "庚", "庚", "庚"}));
    EXPECT_EQ(j["mutual"], "211111");
    EXPECT_EQ(j["guashen"], "卯");
}

TEST(CliHexagram, MovingLinesAndTheQianFromWuSetting) {
    const auto run = runCli("hexagram 321111 --qiangua 1");
    ASSERT_EQ(run.exitCode, 0);
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["static"], "121111");
    EXPECT_EQ(j["name"], "火天大有");
    EXPECT_EQ(j["rank"], 8);
    EXPECT_EQ(j["branches"], nlohmann::json({"午", "申", "戌", "酉", "未", "巳"}));
}

TEST(CliHexagram, MalformedCodesFailWithAMessage) {
    for (const char* bad : {"12", "1111115", "abcdef", "'乾为天'"}) {
        const auto run = runCli(std::string("hexagram ") + bad, true);
        EXPECT_EQ(run.exitCode, 1) << bad;
        EXPECT_NE(run.out.find("卦码"), std::string::npos) << bad;
    }
}
