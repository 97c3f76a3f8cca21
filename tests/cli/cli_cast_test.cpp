// qingheng-cli cast: one JSON object per cast, refusals on stderr with exit code 1.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

#include "CliRunner.h"

using qingheng::testing::runCli;

namespace {

// The JSON object a cast that must succeed prints (null when it fails).
nlohmann::json castJson(const std::string& args) {
    const auto run = runCli("cast " + args);
    EXPECT_EQ(run.exitCode, 0) << args;
    return run.exitCode == 0 ? nlohmann::json::parse(run.out) : nlohmann::json();
}

}  // namespace

TEST(CliCast, PrintsOneJsonObject) {
    const auto j = castJson("number 12");
    EXPECT_EQ(j["main"], "111411");
    EXPECT_EQ(j["changed"], "111111");
    EXPECT_EQ(j["label"], "数字起卦");
    EXPECT_EQ(j["method"], 3);
    EXPECT_EQ(j["input"], "12");
    EXPECT_EQ(j["upper"], 1);
    EXPECT_EQ(j["lower"], 2);
    EXPECT_EQ(j["total"], 3);

    EXPECT_EQ(castJson("coins 1,2,3,4,1,2")["main"], "214321");
    EXPECT_EQ(castJson("name 天风姤 --moving 1")["main"], "111114");
    EXPECT_EQ(castJson("random")["label"], "随机起卦");
}

TEST(CliCast, RefusalsGoToStderrWithExitOne) {
    const auto run = runCli("cast number 1", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "数字个数为 2至 40个！\n");
    EXPECT_EQ(runCli("cast chars ab", true).out, "必须输入汉字\n");
    EXPECT_EQ(runCli("cast trigrams 乾 九").exitCode, 1);
}

TEST(CliCastTime, WorkedExamplesAndRefusals) {
    auto mainOf = [](const std::string& args) { return castJson("time " + args)["main"]; };
    EXPECT_EQ(mainOf("'2024-02-10 09:30'"), "122114");
    EXPECT_EQ(mainOf("'2024-02-10 09:30' --add-number 3"), "124222");
    EXPECT_EQ(mainOf("'2024-02-10 09:30' --lifetime gan"), "121311");
    EXPECT_EQ(mainOf("'2024-01-01 09:30' --lunar"), "122114");
    EXPECT_EQ(runCli("cast time '2051-01-01 10:00'", true).out, "起卦年份在 1900-2050之间,请重新输入！\n");
    EXPECT_EQ(runCli("cast time '2024-02-10 09:30' --add-char ab", true).out, "请输入一个汉字。\n");
    EXPECT_EQ(runCli("cast time 2024-02-10", true).exitCode, 1);
}
