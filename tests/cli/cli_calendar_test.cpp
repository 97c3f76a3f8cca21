// The calendar dumps and the date command of qingheng-cli, end to end.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "calendar/Yidate.h"

using qingheng::testing::runCli;
using namespace qingheng;

namespace {

// The lines a dump that must succeed prints.
std::vector<std::string> DumpLines(const std::string& args) {
    const auto run = runCli(args);
    EXPECT_EQ(run.exitCode, 0) << args;
    std::vector<std::string> out;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
    return out;
}

DateRecord ParseDate(const std::string& s) {
    return {static_cast<std::int16_t>(std::stoi(s.substr(0, 4))), static_cast<std::int16_t>(std::stoi(s.substr(5, 2))),
            static_cast<std::int16_t>(std::stoi(s.substr(8, 2))), 0, 0};
}

}  // namespace

TEST(CliCalendar, MonthsFollowOneAnotherWithoutGaps) {
    const auto lines = DumpLines("calendar months");
    ASSERT_GT(lines.size(), 151u * 12);
    EXPECT_EQ(lines.front(), "1900\t1\t0\t1900-01-31\t29");
    EXPECT_EQ(Fields(lines.back())[0], "2050");
    EXPECT_EQ(Fields(lines.back())[1], "12");
    const CYiDate cal;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const auto a = Fields(lines[i]), b = Fields(lines[i + 1]);
        ASSERT_EQ(a.size(), 5u) << lines[i];
        DateRecord end = ParseDate(a[3]);
        for (int d = 0; d < std::stoi(a[4]); ++d) cal.AddOneDay(end);
        ASSERT_EQ(end, ParseDate(b[3])) << lines[i];
    }
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("2023\t2\t1\t2023-03-22\t29"));
    EXPECT_TRUE(has("2020\t4\t1\t2020-05-23\t29"));
    EXPECT_TRUE(has("2033\t11\t1\t2033-12-22\t29"));
    EXPECT_TRUE(has("1938\t1\t0\t1938-01-31\t30"));
    EXPECT_TRUE(has("2000\t7\t0\t2000-07-31\t29"));
}

TEST(CliCalendar, TermsListEveryTermOfTheRange) {
    const auto lines = DumpLines("calendar terms");
    ASSERT_EQ(lines.size(), 151u * 24);
    EXPECT_EQ(lines.front(), "1900\t1\t1\t小寒\t1900-01-06 02:04");
    EXPECT_EQ(lines[(2024 - 1900) * 24 + 2], "2024\t2\t1\t立春\t2024-02-04 16:27");
    EXPECT_EQ(lines.back().substr(0, 17), "2050\t12\t2\t冬至\t");
}

TEST(CliCalendar, DatesAMomentWithPillarsAndVoids) {
    const auto run = runCli("date '2000-01-01 23:30'");
    ASSERT_EQ(run.exitCode, 0);
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["gregorian"], "2000-01-01 23:30");
    EXPECT_EQ(j["lunar"]["year"], 1999);
    EXPECT_EQ(j["lunar"]["month"], 11);
    EXPECT_EQ(j["lunar"]["day"], 26);
    EXPECT_EQ(j["lunar"]["leap"], 0);
    EXPECT_EQ(j["pillars"]["year"], "己卯");
    EXPECT_EQ(j["pillars"]["month"], "丙子");
    EXPECT_EQ(j["pillars"]["day"], "己未");
    EXPECT_EQ(j["pillars"]["hour"], "甲子");
    EXPECT_EQ(j["void"], nlohmann::json({"子", "丑"}));

    const auto lunar = nlohmann::json::parse(runCli("date '2023-02-11 12:10' --lunar --leap --longitude 116.4").out);
    EXPECT_EQ(lunar["moment"], "2023-04-01 12:10");
    EXPECT_EQ(lunar["gregorian"], "2023-04-01 11:52");  // index 90: -4.35, and -14 for 116.4°
    EXPECT_EQ(lunar["lunar"]["leap"], 1);
}

TEST(CliCalendar, UndatableMomentsExitWithTheirMessage) {
    auto run = runCli("date '2050-12-31 23:10'", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "时间越界，年份在1900-2050之间\n");
    run = runCli("date '2000-04-01 12:00' --lunar --leap", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "此年没有闰4月,请重新确定月份！\n");
    run = runCli("date '1900-02-29 12:00'", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "不存在这个日期\n");
    run = runCli("date 'tomorrow'", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(runCli("date '2024-02-04 16:27' --longitude east").exitCode, 2);
    // A longitude off the globe is refused, never turned into a shift of days or months.
    for (const auto& [given, shown] : std::vector<std::pair<std::string, std::string>>{{"nan", "nan"},
                                                                                       {"inf", "inf"},
                                                                                       {"-inf", "-inf"},
                                                                                       {"1e300", "1e+300"},
                                                                                       {"99999", "99999"},
                                                                                       {"180.5", "180.5"},
                                                                                       {"-501", "-501"}}) {
        run = runCli("date '2024-02-10 09:30' --longitude " + given, true);
        EXPECT_EQ(run.exitCode, 1) << given;
        EXPECT_EQ(run.out, "经度必须在-180到180度之间：" + shown + "\n") << given;
    }
    EXPECT_EQ(runCli("date '2023-03-22 12:00' --leap").exitCode, 2);  // a leap month needs a lunar date
}
