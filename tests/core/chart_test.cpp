// Chart assembly: lines, hidden spirits, use god, summaries, settings, failures, hints and
// the chart command.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>

#include "ChartFixture.h"
#include "CliRunner.h"
#include "TemporaryHome.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"

using namespace qingheng;
using qingheng::testing::assembled;
namespace fs = std::filesystem;

namespace {

// A chart whose relative r stands on lines a and b (indexes) only.
Chart twoLineChart(int a, int b, std::string_view code, int world, int response) {
    Chart c;
    c.relatives.fill(0);
    c.relatives[a] = 2;
    c.relatives[b] = 2;
    for (int i = 0; i < 6; ++i) c.branches[i] = i + 1;
    for (int i = 0; i < 6; ++i) c.main.code[i] = code[i];
    c.main.world = world;
    c.main.response = response;
    return c;
}

}  // namespace

TEST(ChartAssembly, GouWithOneMovingLineHasItsLinesHiddenSpiritAndSummaries) {
    const CLiuYaoEx e = assembled({"111114", {2024, 2, 10, 9, 30}, 2});
    const Chart& c = e.chart();
    EXPECT_EQ(c.pillars.year, 41);  // 甲辰
    EXPECT_EQ(c.pillars.month, 3);  // 丙寅
    EXPECT_EQ(c.pillars.day, 41);   // 甲辰
    EXPECT_EQ(c.pillars.hour, 6);   // 己巳
    EXPECT_EQ(c.movingCount, 1);
    EXPECT_EQ(c.main.number(), 2);
    EXPECT_EQ(c.changed.number(), 1);
    EXPECT_EQ(c.mutual.number(), 1);
    EXPECT_EQ(c.main.world, 0);
    EXPECT_EQ(c.main.response, 3);
    EXPECT_EQ(c.guaShen, branch::kWu);
    EXPECT_EQ(c.voidBranches, (std::array<Branch, 2>{branch::kYin, branch::kMao}));
    EXPECT_EQ(c.fanFuYinOuter, 0);
    EXPECT_EQ(c.fanFuYinInner, 1);  // 巽 wood turning into 乾 metal
    EXPECT_EQ(e.FanFuYinText(), "\n  ◇内卦反吟，有求测人不安之像，不利测事。");

    // Only line 2 carries a hidden spirit: 妻财 甲寅 of 乾为天.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(e.Line(i).hidden.has_value(), i == 1) << i;
    EXPECT_EQ(e.Line(1).hidden->relative, 2);
    EXPECT_EQ(e.Line(1).hidden->branch, branch::kYin);
    EXPECT_EQ(e.Line(1).hidden->stem, 1);

    const UseGod& u = c.useGod;
    EXPECT_EQ(u.line, 1);
    EXPECT_EQ(u.count, 0);
    EXPECT_EQ(u.branch, branch::kYin);
    EXPECT_EQ(u.phase, phase::kWood);
    EXPECT_EQ(u.companionPhases, (std::array<Phase, 4>{0, 4, 3, 2}));
    EXPECT_EQ(u.companionRelatives, (std::array<Relative, 4>{1, 0, 4, 3}));

    struct Expected {
        int line, branch, count, score, code;
        Phase phase;
        SeasonState season;
        ChangeState change;
    };
    const Expected expected[7] = {
        {2, branch::kYou, 2, 0, 1, 4, 3, kChangeHarmony},   // 兄弟: 酉 nearer the world than 申
        {1, branch::kHai, 1, 1, 1, 0, 2, kChangeHarmony},   // 子孙 亥: 墓 at the day
        {1, branch::kYin, 0, 1, 1, 1, 0, kChangeSame},      // 妻财 hidden 寅
        {3, branch::kWu, 1, 2, 1, 2, 1, kChangeSame},       // 官鬼 午
        {0, branch::kChou, 2, 1, 4, 3, 4, kChangeHarmony},  // 父母: the moving 丑, 墓 at the day
        {0, branch::kChou, 1, 1, 4, 3, 4, kChangeHarmony},  // world
        {3, branch::kWu, 1, 2, 1, 2, 1, kChangeSame},       // response
    };
    for (int k = 0; k < 7; ++k) {
        const RelativeSummary& s = c.summaries[k];
        EXPECT_EQ(s.line, expected[k].line) << k;
        EXPECT_EQ(s.branch, expected[k].branch) << k;
        EXPECT_EQ(s.count, expected[k].count) << k;
        EXPECT_EQ(s.score, expected[k].score) << k;
        EXPECT_EQ(s.lineCode, expected[k].code) << k;
        EXPECT_EQ(s.phase, expected[k].phase) << k;
        EXPECT_EQ(s.season, expected[k].season) << k;
        EXPECT_EQ(s.change, expected[k].change) << k;
    }
}

TEST(ChartAssembly, QianSettingChangesQianLinesAndHiddenSpirits) {
    const CLiuYaoEx fromZi = assembled({"111111"});
    const CLiuYaoEx fromWu = assembled({"111111", {2024, 2, 10, 9, 30}, 0, false, 1});
    EXPECT_EQ(fromZi.chart().branches, (std::array<Branch, 6>{1, 3, 5, 7, 9, 11}));
    EXPECT_EQ(fromWu.chart().branches, (std::array<Branch, 6>{7, 9, 11, 1, 3, 5}));
    EXPECT_FALSE(fromZi.chart().hasHiddenSpirits());

    // 天风姤 from 午: 子 寅 辰 outside, so 官鬼 is missing and hides as 午 under line 1.
    const CLiuYaoEx gou = assembled({"111112", {2024, 2, 10, 9, 30}, 3, false, 1});
    EXPECT_EQ(gou.chart().hidden[0].relative, 3);
    EXPECT_EQ(gou.chart().hidden[0].branch, branch::kWu);
    EXPECT_FALSE(gou.chart().hidden[1].present());
    EXPECT_EQ(gou.chart().useGod.line, 0);
    EXPECT_EQ(gou.chart().useGod.count, 0);
}

// Every edit of dat/set.ini between two casts shows in the second, as a fresh read of the
// file gives it, however quickly it follows and even when it keeps the size and the time.
TEST(ChartAssembly, SettingsFollowEveryEditOfSetIniBetweenTwoCasts) {
    qingheng::testing::TemporaryHome home("chart");
    home.useAsProgramFolder().withDatFolder();
    const fs::path ini = home.dat() / "set.ini";
    auto write = [&ini](const char* text) { std::ofstream(ini, std::ios::binary) << text; };
    auto writeKeepingTime = [&](const char* text) {
        const fs::file_time_type before = fs::last_write_time(ini);
        write(text);
        fs::last_write_time(ini, before);
    };
    struct Step {
        const char* what;
        std::function<void()> edit;
        int qiangua;
        bool nagan;
    };
    const Step steps[] = {
        {"written", [&] { write("[set]\r\nqiangua=1\r\nnagan=1\r\n"); }, 1, true},
        {"same size at once", [&] { write("[set]\r\nqiangua=0\r\nnagan=1\r\n"); }, 0, true},
        {"same size, time put back", [&] { writeKeepingTime("[set]\r\nqiangua=1\r\nnagan=0\r\n"); }, 1, false},
        {"unchanged", [] {}, 1, false},
        {"removed", [&] { fs::remove(ini); }, 0, false},
        {"back with one key", [&] { write("[set]\r\nnagan=1\r\n"); }, 0, true},
        {"saved by the settings dialog",
         [] {
             ASSERT_TRUE(writeChartSettings({1, false, 1}));
         },
         1, false},
        {"not GBK", [&] { write("[set]\r\nqiangua=1\r\n\xFF\xFF\r\n"); }, 0, false},
    };
    CLiuYaoEx e;
    e.caseInfo.mainCode = "111111";
    e.caseInfo.changedCode = "111111";
    e.caseInfo.castingTime = {2024, 2, 10, 9, 30, 0, 0};
    for (const Step& step : steps) {
        step.edit();
        ASSERT_TRUE(e.Assemble("其他方式")) << step.what;
        EXPECT_EQ(e.chart().qiangua, step.qiangua) << step.what;
        EXPECT_EQ(e.chart().nagan, step.nagan) << step.what;
        EXPECT_EQ(e.chart().branches[0], step.qiangua == 1 ? branch::kWu : branch::kZi) << step.what;
        EXPECT_EQ(e.lineText.find("子孙壬子水") != std::string::npos, step.nagan && step.qiangua == 1) << step.what;
        const IniFile fresh(ini);
        const ChartSettings read = readChartSettings();
        EXPECT_EQ(read.qiangua, readSetting(fresh, setini::kQianGua)) << step.what;
        EXPECT_EQ(read.nagan, readSetting(fresh, setini::kNaGan)) << step.what;
        EXPECT_EQ(read.timegua, readSetting(fresh, setini::kTimeGua)) << step.what;
    }
}

TEST(ChartAssembly, FailuresKeepTheTextsAndGiveTheExactMessage) {
    CLiuYaoEx e = assembled({"111114"});
    const std::string lineBefore = e.lineText;
    const std::string hexBefore = e.hexText;
    const auto spansBefore = e.lineSpans.size();
    struct Case {
        CastingTime time;
        const char* code;
        const char* message;
    };
    const Case cases[] = {
        {{2050, 12, 31, 23, 30, 0, 0}, "111111", "时间越界，年份在1900-2050之间"},
        {{1899, 12, 31, 12, 0, 0, 0}, "111111", "年份在1900-2050之间"},
        {{2023, 2, 30, 12, 0, 0, 0}, "111111", "不存在这个日期"},
        {{2000, 4, 1, 12, 0, 1, 1}, "111111", "此年没有闰4月,请重新确定月份！"},
        {{2024, 2, 10, 9, 30, 0, 0}, "111115", "主卦卦码应为六个字符，每个是1、2、3或4：111115"},
    };
    for (const Case& k : cases) {
        e.caseInfo.castingTime = k.time;
        e.caseInfo.mainCode = k.code;
        e.caseInfo.changedCode = "111111";
        EXPECT_FALSE(e.Assemble("其他方式"));
        EXPECT_EQ(e.errorText, k.message);
        EXPECT_EQ(e.lineText, lineBefore);
        EXPECT_EQ(e.hexText, hexBefore);
        EXPECT_EQ(e.lineSpans.size(), spansBefore);
        EXPECT_EQ(e.chart().main.number(), 2);  // still 天风姤
    }
    e.caseInfo.castingTime = {2050, 12, 31, 22, 59, 0, 0};
    e.caseInfo.mainCode = "111111";
    EXPECT_TRUE(e.Assemble("其他方式"));
    EXPECT_EQ(e.errorText, "");
}

TEST(ChartAssembly, ClearedReportFlagStillBuildsTheTextsOfTheNewCase) {
    // The window keeps a stored report in its panes, but the analysis and the line tips must
    // describe the case it opened, not the chart before it.
    CLiuYaoEx e = assembled({"111114"});
    e.writeReports = false;
    e.caseInfo.mainCode = "121111";
    e.caseInfo.changedCode = "121111";
    ASSERT_TRUE(e.Assemble("其他方式"));
    EXPECT_EQ(e.chart().main.rank, 8);
    EXPECT_NE(e.lineText.find("主变卦    火天大有(乾宫-归魂)"), std::string::npos);
    EXPECT_NE(e.hexText.find("\n  ◇卦遇归魂，"), std::string::npos);
    EXPECT_EQ(e.lineText, assembled({"121111"}).lineText);
    EXPECT_EQ(e.AnalysisText(0), assembled({"121111"}).AnalysisText(0));
    EXPECT_EQ(e.lineSpans.size(), assembled({"121111"}).lineSpans.size());
}

TEST(FindUseGod, TwoPresentLinesFollowTheChoiceOrder) {
    // Static lines only unless marked: '3' at code position 5 - i moves line index i.
    EXPECT_EQ(FindUseGod(twoLineChart(1, 4, "131111", 0, 3), 2).line, 4);  // upper moves
    EXPECT_EQ(FindUseGod(twoLineChart(1, 4, "111131", 0, 3), 2).line, 1);  // lower moves
    EXPECT_EQ(FindUseGod(twoLineChart(1, 4, "111111", 1, 4), 2).line, 1);  // lower holds world
    EXPECT_EQ(FindUseGod(twoLineChart(1, 4, "111111", 4, 1), 2).line, 4);  // upper holds world
    EXPECT_EQ(FindUseGod(twoLineChart(1, 2, "111111", 5, 1), 2).line, 1);  // lower holds response
    EXPECT_EQ(FindUseGod(twoLineChart(1, 2, "111111", 5, 2), 2).line, 2);  // upper holds response
    EXPECT_EQ(FindUseGod(twoLineChart(1, 5, "111111", 3, 0), 2).line, 1);  // equal distance: lower
    EXPECT_EQ(FindUseGod(twoLineChart(0, 4, "111111", 3, 1), 2).line, 4);  // nearer the world
    EXPECT_EQ(FindUseGod(twoLineChart(1, 4, "131131", 4, 1), 2).line, 4);  // both move: world decides
    const UseGodPick pick = FindUseGod(twoLineChart(1, 4, "111111", 1, 4), 2);
    EXPECT_EQ(pick.count, 2);
    EXPECT_EQ(pick.branch, 2);
}

TEST(ChartAssembly, FanFuYinFlagsPreferFuYin) {
    // 乾 outside turning into 震: metal against wood, and line 5 stays 申.
    const CLiuYaoEx e = assembled({"331111"});
    EXPECT_EQ(e.chart().fanFuYinOuter, 2);
    EXPECT_EQ(e.chart().fanFuYinInner, 0);
    // 乾 into 巽 outside: line 5 turns into 巳, so only 反吟.
    const CLiuYaoEx f = assembled({"111311"});
    EXPECT_EQ(f.chart().fanFuYinInner, 0);
    const CLiuYaoEx g = assembled({"113111"});
    EXPECT_EQ(g.chart().fanFuYinOuter, 1);
}

TEST(LineHint, ChartRowsGiveTheLineEvaluationOtherRowsNothing) {
    CLiuYaoEx empty;
    EXPECT_EQ(empty.LineHint(9), "");
    const CLiuYaoEx e = assembled({"111114"});
    EXPECT_EQ(e.LineHint(9), "6爻戌土死于月令,墓于日辰,化比和,戌辰6爻与日辰相冲。");
    EXPECT_EQ(e.LineHint(11), "5爻申金囚于月令,养于日辰,化比和,申寅5爻与月令相冲。");
    EXPECT_EQ(e.LineHint(13), "4爻午火相于月令,冠带于日辰,化比和。");
    EXPECT_EQ(e.LineHint(15), "3爻酉金囚于月令,养于日辰,化回头生,化六合,酉辰3爻与日辰六合。");
    EXPECT_EQ(e.LineHint(17), "2爻亥水休于月令,墓于日辰,化泄气,化六合,亥寅2爻与月令六合。");
    EXPECT_EQ(e.LineHint(19), "1爻丑土死于月令,墓于日辰,化耗气,化六合。");
    for (int row : {0, 1, 8, 10, 18, 20, 21, 100}) EXPECT_EQ(e.LineHint(row), "") << row;
}

TEST(AnalysisText, FromTheMarkerUnlessMissingOrTooEarly) {
    CLiuYaoEx e;
    EXPECT_EQ(e.AnalysisText(0), "");
    e.lineText = "干支：  甲辰年\n爻像解析：　\r\n【用神】";
    e.hexText = "卦像解析：　\r\n体";
    EXPECT_EQ(e.AnalysisText(0), "爻像解析：　\r\n【用神】");
    EXPECT_EQ(e.AnalysisText(1), "");  // within the first ten bytes
    e.hexText = "0123456789卦像解析：　\r\n体";
    EXPECT_EQ(e.AnalysisText(1), "卦像解析：　\r\n体");
}
