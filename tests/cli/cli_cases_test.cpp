// qingheng-cli cases: rows, search criteria, JSON, and refusals with exit code 1.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "TemporaryHome.h"
#include "casebook/Database.h"
#include "platform/FileUtil.h"

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

TEST_F(CasesCli, SearchByHexagramReadsTheStoredCodes) {
    CaseRecord r;
    r.name = "王五";
    r.category = "财运";
    r.question = "问";
    r.year = 2024;
    r.mainCode = "111114";  // 天风姤 changing to 乾为天
    r.changedCode = "111111";
    ASSERT_TRUE(db.addCase(r).ok);
    const std::string gou = "3\t王五\t公2024-0-0\t财运\t问\n";
    struct Case {
        std::string options, out;
    };
    const Case cases[] = {
        {"--hexagram 天风姤", gou},
        {"--hexagram 乾为天", gou},
        {"--changed 乾为天", gou},
        {"--hexagram 天风姤 --changed 乾为天", gou},
        {"--hexagram 乾为天 --changed 乾为天", ""},
        {"--hexagram 火水未济 --name 张", "0\t张三\t公2003-5-6\t财运\t问财运\n1\t张\t农闰2010-5-6\t婚姻\t问婚姻\n"},
        {"--hexagram 坤为地", ""},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(home, "cases search " + c.options);
        EXPECT_EQ(run.exitCode, 0) << c.options;
        EXPECT_EQ(run.out, c.out) << c.options;
    }
    const CliRun bad = cli(home, "cases search --hexagram 天天");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "卦名应为六十四卦之一，例如天风姤：天天\n");
}

TEST_F(CasesCli, ShowOfSeveralCasesPrintsEachOrNoneWhenOneIsMissing) {
    const CliRun both = cli(home, "cases show 2 0");
    ASSERT_EQ(both.exitCode, 0) << both.out;
    const std::size_t second = both.out.find("}\n{");
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(both.out.substr(0, second + 1))["name"], "李四");
    EXPECT_EQ(nlohmann::json::parse(both.out.substr(second + 2))["name"], "张三");
    const CliRun missing = cli(home, "cases show 0 9");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "卦例9不存在。\n");
}

TEST_F(CasesCli, ShowPrintsTheRecordAsJson) {
    const CliRun run = cli(home, "cases show 1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["name"], "张");
    EXPECT_EQ(j["date"], "农闰2010-5-6");
    EXPECT_EQ(j["label"], "铜钱摇卦");
    EXPECT_EQ(j["mainCode"], "123412");
    // Every key export-json writes is shown too (the cast input, the place, the stored numbers).
    for (const char* key : {"input", "kindCode", "reserved1", "reserved2", "longitude", "latitude"})
        EXPECT_TRUE(j.contains(key)) << key;
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

// ---- the case book refuses what would lose cases, and reading changes nothing

namespace {

std::string bytesOf(const fs::path& p) { return readFileBytes(p).value_or(std::string()); }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_F(CasesCli, ImportOfTheBooksOwnFileIsRefusedAndTheReportsStay) {
    std::ofstream(db.reportPath(0)) << "report 0";
    const std::string file0 = bytesOf(db.dataFile(0));
    const CliRun run = cli(home, "cases import " + qingheng::testing::shellQuote(db.dataFile(0).string()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.out, "是卦例库自己的文件，不能用来导入")) << run.out;
    EXPECT_EQ(bytesOf(db.reportPath(0)), "report 0");
    EXPECT_EQ(bytesOf(db.dataFile(0)), file0);
}

TEST_F(CasesCli, ImportSaysWhereTheReplacedBookWent) {
    const fs::path backup = home / "backup";
    ASSERT_EQ(cli(home, "cases export " + qingheng::testing::shellQuote(backup.string())).exitCode, 0);
    const CliRun run = cli(home, "cases import " + qingheng::testing::shellQuote((backup / "liuyao0.dat").string()));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::string prefix = "成功导入\n原有的卦例已移到 " + (home / "dat").string() + "/replaced-";
    EXPECT_EQ(run.out.substr(0, prefix.size()), prefix);
    EXPECT_TRUE(run.out.ends_with("，需要时可从那里导入。\n")) << run.out;
}

TEST(CasesCliNoBook, ReadingCommandsOnAFolderWithoutABookCreateNothing) {
    const qingheng::testing::TemporaryHome temporaryHome("cases_nobook"), elsewhere("cases_nobook_target");
    const fs::path target = elsewhere / "never-written";
    const std::string exportCommand = "cases export " + qingheng::testing::shellQuote(target.string());
    for (const fs::path& home : {temporaryHome.path(), temporaryHome.path() / "mistyped"}) {
        for (const std::string& command :
             {std::string("cases list"), std::string("cases list --all"), std::string("cases search --name 张"),
              std::string("cases show 0"), std::string("cases delete 0"), exportCommand}) {
            const CliRun run = cli(home, command);
            EXPECT_EQ(run.exitCode, 1) << command;
            EXPECT_EQ(run.out, "文件夹 " + home.string() + " 中没有卦例库（找不到 " +
                                   (home / "dat" / "liuyao0.dat").string() + "）。\n")
                << command;
        }
    }
    EXPECT_TRUE(fs::is_empty(temporaryHome.path()));
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(CasesCli, AReadOnlyBookIsListedAndChangesAreRefused) {
    // As root the program runs as the user nobody; otherwise the folders lose write access.
    const bool root = ::geteuid() == 0;
    const auto everyone = fs::perms::others_read | fs::perms::others_exec;
    const auto writing = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(home, everyone, fs::perm_options::add);
    for (const auto& e : fs::recursive_directory_iterator(home)) {
        fs::permissions(e.path(), everyone, fs::perm_options::add);
        if (!root) fs::permissions(e.path(), writing, fs::perm_options::remove);
    }
    if (!root) fs::permissions(home, writing, fs::perm_options::remove);
    const std::string as = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
    const std::string homeOption = "--home " + qingheng::testing::shellQuote(home.string()) + " ";
    const CliRun list = qingheng::testing::runCliAfter(as, homeOption + "cases list", true);
    const CliRun remove = qingheng::testing::runCliAfter(as, homeOption + "cases delete 0", true);
    fs::permissions(home, fs::perms::owner_write, fs::perm_options::add);
    for (const auto& e : fs::recursive_directory_iterator(home))
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(list.exitCode, 0) << list.out;
    EXPECT_EQ(
        list.out,
        "0\t张三\t公2003-5-6\t财运\t问财运\n1\t张\t农闰2010-5-6\t婚姻\t问婚姻\n2\t李四\t公2020-5-6\t财运\t问财运\n");
    EXPECT_EQ(remove.exitCode, 1);
    EXPECT_TRUE(contains(remove.out, "不能写入")) << remove.out;
    EXPECT_TRUE(contains(remove.out, "卦例库只能查看，不能修改。")) << remove.out;
}

TEST_F(CasesCli, AFileSizeLimitIsReportedInsteadOfKillingTheProgram) {
    // 6 blocks of 512 bytes: the book's file 0 (3 656 bytes) cannot grow by a slot.
    const CliRun run = qingheng::testing::runCliAfter(
        "ulimit -f 6;",
        "--home " + qingheng::testing::shellQuote(home.string()) +
            " cases add --code 111114 --time '2024-02-10 09:30' --name 王五 --question 问事 --category 财运",
        true);
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_TRUE(contains(run.out, "File too large")) << run.out;
    int count = 0;
    ASSERT_TRUE(db.countSlots(count).ok);
    EXPECT_EQ(count, 3);
    EXPECT_FALSE(fs::exists(db.reportPath(3)));
}

// ---- adding and deleting cases

TEST_F(CasesCli, AddPrintsTheNewIdAndStoresTheCaseWithItsReports) {
    const CliRun run = cli(home,
                           "cases add --code 111114 --time '2024-02-10 09:30' --name 王五 --question '问生意' "
                           "--category 生意 --use-god 妻财 --method-label 铜钱摇卦 --extra '第一行\n第二行'");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "3\n");
    CaseRecord r;
    ASSERT_TRUE(db.readCase(3, r).live());
    EXPECT_EQ(r.name, "王五");
    EXPECT_EQ(r.question, "问生意");
    EXPECT_EQ(r.category, "生意");
    EXPECT_EQ(r.extra, "第一行\r\n第二行");
    EXPECT_EQ(r.useGod, 2u);
    EXPECT_EQ(r.label, "铜钱摇卦");
    EXPECT_EQ(r.mainCode, "111114");
    EXPECT_EQ(r.changedCode, "111111");
    EXPECT_EQ(caseDateText(r), "公2024-2-10");
    EXPECT_EQ(r.hour, 9);
    EXPECT_EQ(r.minute, 30);
    EXPECT_EQ(bytesOf(db.reportPath(3)).substr(0, 6), "{\\rtf1");
    EXPECT_EQ(bytesOf(db.plumReportPath(3)).substr(0, 6), "{\\rtf1");
    // Saving again stores another case, as the window's 存新 does.
    EXPECT_EQ(cli(home,
                  "cases add --code 224133 --time '2023-02-11 12:10' --lunar --leap --name 赵六 --question 问 "
                  "--category 杂")
                  .out,
              "4\n");
    ASSERT_TRUE(db.readCase(4, r).live());
    EXPECT_EQ(caseDateText(r), "农闰2023-2-11");
    EXPECT_EQ(r.extra, "备注:");
    EXPECT_EQ(r.label, "其他方式");
}

TEST(CasesCliAdd, RefusedInputChangesNothing) {
    struct Case {
        std::string code = "111114", time = "2024-02-10 09:30", name = "王五", question = "问事", category = "财运";
        std::string more;  // further options
        const char* message = "";
    };
    auto with = [](auto change, const char* message) {
        Case c;
        change(c);
        c.message = message;
        return c;
    };
    const Case cases[] = {
        with([](Case& c) { c.code = "111115"; }, "卦码应为六个字符，每个是1、2、3或4（从上爻写起）：111115\n"),
        with([](Case& c) { c.more = "--changed 1111"; }, "变卦卦码应为六个字符，每个是1或2：1111\n"),
        with([](Case& c) { c.name = "六个汉字太长"; }, "求测人太长：最多10个字节（一个汉字占两个字节）。\n"),
        with([](Case& c) { c.question = ""; }, "姓名或占问事宜不能为空\n"),
        with([](Case& c) { c.category = " "; }, "类别名不能为空\n"),
        with([](Case& c) { c.more = "--extra ''"; }, "附加信息不能为空\n"),
        with([](Case& c) { c.more = "--use-god 朋友"; }, "用神应为兄弟、子孙、妻财、官鬼、父母之一：朋友\n"),
        with([](Case& c) { c.time = "2023-02-30 10:00"; }, "不存在这个日期\n"),
        with([](Case& c) { c.time = "tomorrow"; }, "时间应写作 YYYY-MM-DD HH:MM：tomorrow\n"),
    };
    const qingheng::testing::TemporaryHome temporaryHome("cases_add_refused");
    using qingheng::testing::shellQuote;
    for (const Case& c : cases) {
        const std::string options = "--code " + shellQuote(c.code) + " --time " + shellQuote(c.time) + " --name " +
                                    shellQuote(c.name) + " --question " + shellQuote(c.question) + " --category " +
                                    shellQuote(c.category) + " " + c.more;
        const CliRun run = cli(temporaryHome.path(), "cases add " + options);
        EXPECT_EQ(run.exitCode, 1) << options;
        EXPECT_EQ(run.out, c.message) << options;
    }
    EXPECT_TRUE(fs::is_empty(temporaryHome.path()));
}

TEST_F(CasesCli, DeleteRemovesTheCaseAndItsReports) {
    std::ofstream(db.reportPath(1)) << "six";
    std::ofstream(db.plumReportPath(1)) << "plum";
    CliRun run = cli(home, "cases delete 1");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "已删除卦例1\n");
    EXPECT_FALSE(fs::exists(db.reportPath(1)));
    EXPECT_FALSE(fs::exists(db.plumReportPath(1)));
    EXPECT_EQ(cli(home, "cases list").out, "0\t张三\t公2003-5-6\t财运\t问财运\n2\t李四\t公2020-5-6\t财运\t问财运\n");
    run = cli(home, "cases delete 1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "卦例1已被删除。\n");
    run = cli(home, "cases delete 9");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "卦例9不存在。\n");
}
