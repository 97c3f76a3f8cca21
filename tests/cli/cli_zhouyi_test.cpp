// qingheng-cli zhouyi: the reader's text of a hexagram, by number or name.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "CliRunner.h"

using qingheng::testing::runCli;
using qingheng::testing::shellQuote;

namespace {

nlohmann::json classicOf(const std::string& name) {
    std::ifstream in(std::string(QH_SOURCE_DIR) + "/tools/data/zhouyi.json");
    for (const auto& h : nlohmann::json::parse(in)) {
        if (h["name"] == name) return h;
    }
    return {};
}

std::string str(const nlohmann::json& j) { return j.get<std::string>(); }

}  // namespace

TEST(CliZhouyi, QianWeiTianPrintsTheReaderTextWithItsYongJiuEntry) {
    const auto h = classicOf("乾");
    std::string expected =
        "\n※乾为天:" + str(h["judgement"]) + "\n  " + str(h["tuan"]) + "\n  " + str(h["xiang"]) + "\n\n";
    const char* names[] = {"初九", "九二", "九三", "九四", "九五", "上九"};
    for (int k = 0; k < 6; ++k) {
        expected += "★" + std::string(names[k]) + ":" + str(h["lines"][k]["text"]) + "\n  " +
                    str(h["lines"][k]["xiang"]) + "\n\n";
    }
    expected += "★用九:" + str(h["extra"]["text"]) + "\n  " + str(h["extra"]["xiang"]) + "\n";
    const auto run = runCli("zhouyi 1");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, expected);
}

TEST(CliZhouyi, NamesAndNumbersPickTheSameHexagram) {
    struct Case {
        const char* number;
        const char* name;
        const char* start;
    };
    for (const Case& c : {Case{"2", "天风姤", "\n※天风姤:女壮，勿用取女。\n"}, Case{"57", "坤为地", "\n※坤为地:元亨"},
                          Case{"64", "水地比", "\n※水地比:吉。"}, Case{"20", "火水未济", "\n※火水未济:亨。"}}) {
        const auto byNumber = runCli(std::string("zhouyi ") + c.number);
        const auto byName = runCli("zhouyi " + shellQuote(c.name));
        ASSERT_EQ(byNumber.exitCode, 0) << c.name;
        EXPECT_EQ(byName.out, byNumber.out) << c.name;
        EXPECT_EQ(byName.out.rfind(c.start, 0), 0u) << c.name;
    }
    // 火水未济 alternates from a yin bottom line; only 坤为地 besides 乾为天 has an extra entry.
    const auto weiJi = runCli("zhouyi 20").out;
    for (const char* name : {"★初六:", "★九二:", "★六三:", "★九四:", "★六五:", "★上九:"}) {
        EXPECT_NE(weiJi.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(weiJi.find("★用"), std::string::npos);
    EXPECT_NE(runCli("zhouyi 57").out.find("★用六:利永贞。\n  象曰：用六永贞，以大终也。\n"), std::string::npos);
}

TEST(CliZhouyi, AnythingElseFailsWithAMessage) {
    for (const char* bad : {"0", "65", "100", "abc", "'乾'", "'天天天'", "'火天大有x'", "''"}) {
        const auto run = runCli(std::string("zhouyi ") + bad, true);
        EXPECT_EQ(run.exitCode, 1) << bad;
        EXPECT_NE(run.out.find("没有这个卦"), std::string::npos) << bad;
    }
    EXPECT_EQ(runCli("zhouyi").exitCode, 2);
}
