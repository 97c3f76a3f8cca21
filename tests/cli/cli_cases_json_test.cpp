// qingheng-cli cases export-json and import-json: a book with every field form goes out as
// JSON Lines and comes back field for field; a bad line is named and adds nothing.
#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "TemporaryHome.h"
#include "casebook/Database.h"
#include "platform/FileUtil.h"

namespace fs = std::filesystem;
using namespace qingheng;
using qingheng::testing::CliRun;
using qingheng::testing::shellQuote;

namespace {

CliRun cli(const fs::path& home, const std::string& args) {
    return qingheng::testing::runCli("--home " + shellQuote(home.string()) + " " + args, true);
}

CaseRecord baseRecord() {
    CaseRecord r;
    r.name = "张三";
    r.category = "财运";
    r.year = 2024;
    r.month = 2;
    r.day = 10;
    r.hour = 9;
    r.minute = 30;
    r.question = "问生意";
    r.useGod = 2;
    r.mainCode = "111114";
    r.changedCode = "111111";
    r.label = "数字起卦";
    r.extra = "备注:";
    r.castInput = StoredCastInput{"12", 1, 2, 3};
    return r;
}

// Cases in every form a book holds: Gregorian and lunar, a leap month, a full-length memo
// with line breaks, number and character input, no input, a place, the longest texts.
std::vector<CaseRecord> everyFieldForm() {
    std::vector<CaseRecord> out(6, baseRecord());
    out[1].lunar = true;
    out[1].year = 2023;
    out[1].month = 2;
    out[1].day = 11;
    out[1].leap = true;
    out[1].castInput = StoredCastInput{"天下太平", 4, 5, 6};
    out[1].label = "汉字起卦";
    out[2].extra = "第一行\r\n第二行“引号”\\反斜杠\t制表" + std::string(951, 'x');  // 1000 bytes
    out[2].castInput.reset();
    out[2].label = "铜钱摇卦";
    out[3].name = "五个汉字啊";
    out[3].category = "六个汉字名字a";
    out[3].question = std::string(40, 'q');
    out[3].lunar = true;  // a lunar date in an ordinary month
    out[3].month = 12;
    out[3].day = 30;
    out[3].year = 2023;
    out[4].longitude = 116.4f;
    out[4].latitude = 39.9f;
    out[4].kindCode = 1;
    out[4].mainCode = "224133";
    out[4].changedCode = "221212";
    out[5].hour = 23;
    out[5].minute = 59;
    out[5].useGod = 4;
    return out;
}

class JsonLines : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.openStore(home, kKindLiuYao).ok); }
    std::vector<CaseRecord> liveCases(const MDataBase& book) const {
        std::vector<CaseRecord> out;
        CaseQuery everything;
        EXPECT_TRUE(book.forEachCase(everything,
                                     [&](const CaseRecord& r) {
                                         out.push_back(r);
                                         return true;
                                     })
                        .ok);
        return out;
    }
    // A file of lines, returned as its path.
    fs::path file(const std::string& name, const std::string& text) const {
        const fs::path path = home / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    qingheng::testing::TemporaryHome temporaryHome{"cases_json"};
    const fs::path home = temporaryHome.path();
    MDataBase db;
};

}  // namespace

TEST_F(JsonLines, AnExportedBookComesBackFieldForField) {
    std::vector<CaseRecord> cases = everyFieldForm();
    for (CaseRecord& r : cases) ASSERT_TRUE(db.addCase(r).ok);
    CaseRecord gone = baseRecord();
    ASSERT_TRUE(db.addCase(gone).ok);
    ASSERT_TRUE(db.removeCase(gone.id).ok);  // deleted cases stay behind

    const fs::path out = home / "book.jsonl";
    const CliRun exported = cli(home, "cases export-json " + shellQuote(out.string()));
    ASSERT_EQ(exported.exitCode, 0) << exported.out;
    EXPECT_EQ(exported.out, "已导出6个卦例到" + out.string() + "\n");
    const std::string text = readFileBytes(out).value_or("");
    EXPECT_EQ(text.substr(0, text.find('\n') + 1),
              R"({"id":0,"name":"张三","category":"财运","year":2024,"month":2,"day":10,"hour":9,"minute":30,)"
              R"("lunar":false,"leap":false,"question":"问生意","useGod":2,"mainCode":"111114","changedCode":"111111",)"
              R"("label":"数字起卦","extra":"备注:","input":{"text":"12","upper":1,"lower":2,"total":3},)"
              R"("kindCode":0,"reserved1":0,"reserved2":0,"longitude":-501.0,"latitude":-501.0})"
              "\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);

    // Into a folder without a book: the import starts one.
    const qingheng::testing::TemporaryHome other("cases_json_other");
    const CliRun imported = cli(other.path(), "cases import-json " + shellQuote(out.string()));
    ASSERT_EQ(imported.exitCode, 0) << imported.out;
    EXPECT_EQ(imported.out, "已导入6个卦例，编号为0至5\n");
    MDataBase back;
    ASSERT_TRUE(back.openStore(other.path(), kKindLiuYao, StoreOpening::ExistingOnly).ok);
    const std::vector<CaseRecord> original = liveCases(db), restored = liveCases(back);
    ASSERT_EQ(restored.size(), original.size());
    for (std::size_t i = 0; i < original.size(); ++i) EXPECT_TRUE(restored[i] == original[i]) << i;

    // Into the same book: appended after its slots, under new ids.
    EXPECT_EQ(cli(home, "cases import-json " + shellQuote(out.string())).out, "已导入6个卦例，编号为7至12\n");
    CaseRecord again;
    ASSERT_TRUE(db.readCase(8, again).live());
    again.id = original[1].id;
    EXPECT_TRUE(again == original[1]);
}

TEST_F(JsonLines, ABadLineIsNamedAndNothingIsAdded) {
    nlohmann::ordered_json good = {{"name", "张三"},
                                   {"category", "财运"},
                                   {"year", 2024},
                                   {"month", 2},
                                   {"day", 10},
                                   {"hour", 9},
                                   {"minute", 30},
                                   {"lunar", false},
                                   {"leap", false},
                                   {"question", "问生意"},
                                   {"useGod", 2},
                                   {"mainCode", "111114"},
                                   {"changedCode", "111111"},
                                   {"label", "其他方式"},
                                   {"extra", "备注:"},
                                   {"myNotes", "kept by another tool"}};
    auto with = [&](const char* key, nlohmann::ordered_json value) {
        nlohmann::ordered_json j = good;
        if (value.is_discarded()) j.erase(key);
        else j[key] = value;
        return j.dump();
    };
    const auto missing = nlohmann::ordered_json(nlohmann::ordered_json::value_t::discarded);
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {R"({"name":)", "第3行：不是有效的JSON（第9个字节附近）。"},
        {"[1,2]", "第3行：应为一个JSON对象。"},
        {with("name", missing), "第3行：缺少“name”（求测人）。"},
        {with("name", 3), "第3行：“name”（求测人）应为文字。"},
        {with("name", "六个汉字太长"), "第3行：求测人太长：最多10个字节（一个汉字占两个字节）。"},
        {with("name", "张\xF0\x9F\x98\x80"), "第3行：求测人含有无法保存的字符“\xF0\x9F\x98\x80”，请换用其他写法。"},
        {with("question", ""), "第3行：姓名或占问事宜不能为空"},
        {with("category", ""), "第3行：类别名不能为空"},
        {with("year", "2024"), "第3行：“year”（年）应为-32768到32767之间的整数。"},
        {with("minute", 1.5), "第3行：“minute”（分）应为-32768到32767之间的整数。"},
        {with("useGod", 5), "第3行：“useGod”（用神）应为0到4之间的整数。"},
        {with("lunar", 1), "第3行：“lunar”（农历）应为true或false。"},
        {with("mainCode", "111115"), "第3行：主卦卦码应为六个字符，每个是1、2、3或4：111115"},
        {with("changedCode", "111113"), "第3行：变卦卦码应为六个字符，每个是1或2：111113"},
        {with("day", 30), "第3行：不存在这个日期"},
        {with("year", 2051), "第3行：年份在1900-2050之间"},
        {with("input", {{"text", std::string(41, '1')}, {"upper", 1}, {"lower", 2}, {"total", 3}}),
         "第3行：起卦输入太长：最多40个字节。"},
        {with("input", 12), "第3行：“input”（起卦输入）应为null或一个对象。"},
        {with("longitude", 200.0), "第3行：经度必须在-180到180度之间"},
    };
    CaseRecord first = baseRecord();
    ASSERT_TRUE(db.addCase(first).ok);
    const std::string file0 = readFileBytes(db.dataFile(0)).value();
    for (const Case& c : cases) {
        // A good line, a blank one, then the bad one and a good one after it.
        const fs::path path = file("bad.jsonl", good.dump() + "\n\r\n" + c.line + "\n" + good.dump() + "\n");
        const CliRun run = cli(home, "cases import-json " + shellQuote(path.string()));
        EXPECT_EQ(run.exitCode, 1) << c.line;
        EXPECT_EQ(run.out, c.message + "\n") << c.line;
        EXPECT_EQ(readFileBytes(db.dataFile(0)).value(), file0) << c.line;
    }
    const fs::path empty = file("empty.jsonl", "\n \n");
    EXPECT_EQ(cli(home, "cases import-json " + shellQuote(empty.string())).out,
              "文件 " + empty.string() + " 中没有卦例。\n");
    // Unknown keys (another tool's own) are left alone; CRLF line ends are taken.
    const fs::path fine = file("fine.jsonl", good.dump() + "\r\n" + good.dump());
    EXPECT_EQ(cli(home, "cases import-json " + shellQuote(fine.string())).out, "已导入2个卦例，编号为1至2\n");
}

TEST_F(JsonLines, TheBooksOwnFilesAreNoExportTarget) {
    CaseRecord stored = baseRecord();
    ASSERT_TRUE(db.addCase(stored).ok);
    const std::string file0 = readFileBytes(db.dataFile(0)).value();
    for (const fs::path& target : {db.dataFile(0), db.dataFile(1), db.reportPath(0), home / "dat" / "liuyao.lock"}) {
        const CliRun run = cli(home, "cases export-json " + shellQuote(target.string()));
        EXPECT_EQ(run.exitCode, 1) << target;
        EXPECT_EQ(run.out, target.string() + " 是卦例库自己的文件，请换一个文件名。\n");
    }
    EXPECT_EQ(readFileBytes(db.dataFile(0)).value(), file0);
    EXPECT_FALSE(fs::exists(db.reportPath(0)));
}

// The whole file is read before the first case goes in: a bad first or last line (the last
// without its line end) stops the import as surely as one in the middle, and the message
// counts blank lines so that it names the line an editor shows.
TEST_F(JsonLines, ABadLineAnywhereInTheFileAddsNothing) {
    const std::string good = R"({"name":"张三","category":"财运","year":2024,"month":2,"day":10,"hour":9,"minute":30,)"
                             R"("lunar":false,"leap":false,"question":"问","useGod":2,"mainCode":"111114",)"
                             R"("changedCode":"111111","label":"其他方式","extra":""})";
    const std::string bad = R"({"name":"张三"})";
    struct Case {
        std::string text;
        int line;
    };
    const Case cases[] = {
        {bad + "\n" + good + "\n" + good + "\n", 1},
        {good + "\n" + good + "\n" + bad, 3},
        {good + "\n\n\n" + bad + "\n" + good + "\n", 4},
        {good + "\r\n \r\n" + bad + "\r\n", 3},
    };
    for (const Case& c : cases) {
        const fs::path path = file("bad.jsonl", c.text);
        const CliRun run = cli(home, "cases import-json " + shellQuote(path.string()));
        EXPECT_EQ(run.exitCode, 1) << c.line;
        EXPECT_EQ(run.out, "第" + std::to_string(c.line) + "行：缺少“category”（类别）。\n") << c.line;
        int count = -1;
        ASSERT_TRUE(db.countSlots(count).ok);
        EXPECT_EQ(count, 0) << c.line;
    }
}
