// qingheng-cli cases: rows, search criteria, JSON, and refusals with exit code 1.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "TemporaryHome.h"
#include "casebook/Database.h"

namespace fs = std::filesystem;
using namespace qingheng;
using qingheng::testing::CliRun;

namespace {

// Runs qingheng-cli on the test's program folder, stderr merged into the output.
CliRun cli(const fs::path& home, const std::string& args) {
    return qingheng::testing::runCli("--home " + qingheng::testing::shellQuote(home.string()) + " " + args, true);
}

class CasesCli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.openStore(home, kKindLiuYao).ok);
        add("张三", "财运", 2003, false);
        add("张", "婚姻", 2010, true);
        add("李四", "财运", 2020, false);
    }
    void add(const std::string& name, const std::string& category, std::int16_t year, bool lunar) {
        CaseRecord r;
        r.name = name;
        r.category = category;
        r.year = year;
        r.month = 5;
        r.day = 6;
        r.lunar = lunar;
        r.leap = lunar;
        r.question = "问" + category;
        r.mainCode = "123412";
        r.changedCode = "121212";
        r.label = "铜钱摇卦";
        ASSERT_TRUE(db.addCase(r).ok);
    }
    qingheng::testing::TemporaryHome temporaryHome{"cases_cli"};
    const fs::path home = temporaryHome.path();
    MDataBase db;
};

}  // namespace

TEST_F(CasesCli, ListPrintsOneRowPerLiveCase) {
    ASSERT_TRUE(db.removeCase(2).ok);
    const CliRun run = cli(home, "cases list");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "0\t张三\t公2003-5-6\t财运\t问财运\n1\t张\t农闰2010-5-6\t婚姻\t问婚姻\n");
}

TEST_F(CasesCli, SearchTakesExactAfterItsOption) {
    EXPECT_EQ(cli(home, "cases search --name 张").out.substr(0, 2), "0\t");
    const CliRun exact = cli(home, "cases search --name 张 --exact --category 运");
    EXPECT_EQ(exact.exitCode, 0);
    EXPECT_EQ(exact.out, "");
    const CliRun years = cli(home, "cases search --category 财运 --exact --years 2000-2019");
    EXPECT_EQ(years.out, "0\t张三\t公2003-5-6\t财运\t问财运\n");
    const CliRun bad = cli(home, "cases search --years 2005-2004");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "结束年必须大于或等于起始年\n");
}

TEST_F(CasesCli, ShowPrintsTheRecordAsJson) {
    const CliRun run = cli(home, "cases show 1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["name"], "张");
    EXPECT_EQ(j["date"], "农闰2010-5-6");
    EXPECT_EQ(j["label"], "铜钱摇卦");
    EXPECT_EQ(j["mainCode"], "123412");
    EXPECT_EQ(cli(home, "cases show 9").exitCode, 1);
}

TEST_F(CasesCli, ExportThenImportAndABadBackupIsRefused) {
    const fs::path backup = home / "backup";
    EXPECT_EQ(cli(home, "cases export " + qingheng::testing::shellQuote(backup.string())).exitCode, 0);
    EXPECT_TRUE(fs::exists(backup / "liuyao0.dat"));
    EXPECT_EQ(cli(home, "cases import " + qingheng::testing::shellQuote((backup / "liuyao0.dat").string())).exitCode,
              0);
    std::ofstream(backup / "liuyao0.dat", std::ios::trunc) << "bad";
    const CliRun bad = cli(home, "cases import " + qingheng::testing::shellQuote((backup / "liuyao0.dat").string()));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(cli(home, "cases list").out.size(), cli(home, "cases list --all").out.size());
    int count = 0;
    ASSERT_TRUE(db.countSlots(count).ok);
    EXPECT_EQ(count, 3);
}
