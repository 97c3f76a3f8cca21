// qingheng-cli cases list|search|show|export|import|delete: the case book from the command
// line (cases add is in CmdCaseAdd.cpp, export-json and import-json in CmdCasesJson.cpp).
// Reading commands create nothing: a folder without a case book is reported. Each reads the
// book in one operation and prints its rows at once.
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "Commands.h"
#include "casebook/CaseOnView.h"
#include "casebook/Database.h"
#include "platform/ProgramFolder.h"
#include "vocab/Hexagram.h"
#include "vocab/Signs.h"

namespace qingheng::cli {
namespace {

constexpr int kStartupSlots = 300;

void check(const Status& s) {
    if (!s) throw CommandError{s.message};
}

MDataBase openBook(StoreOpening opening = StoreOpening::ExistingOnly) { return openCaseBook(opening); }

// Lists the matching cases, one line each. The lines are made while the book is read and
// printed once it is released, so a slow reader of the output never keeps the book busy.
void printRows(const MDataBase& db, CaseQuery& query, int limit = -1) {
    std::string text;
    const Status s = db.forEachCaseRow(
        query,
        [&text](const CaseRow& row) {
            appendCaseListLine(text, row);
            return true;
        },
        limit);
    std::fwrite(text.data(), 1, text.size(), stdout);
    check(s);
}

void runList(bool all) {
    CaseQuery everything;
    printRows(openBook(), everything, all ? -1 : kStartupSlots);
}

struct SearchOptions {
    std::string name, category, question, years, hexagram, changed;
    bool nameExact = false, categoryExact = false, questionExact = false;
};

// The number of a hexagram named on the command line; 0 when none is given.
int hexagramOption(const std::string& name) {
    if (name.empty()) return 0;
    const int number = HexagramNumberOfName(name);
    if (number == 0) throw CommandError{"卦名应为六十四卦之一，例如天风姤：" + name};
    return number;
}

void setText(const std::string& text, bool exact, std::string& field, MatchMode& mode) {
    field = text;
    mode = text.empty() ? MatchMode::Ignore : (exact ? MatchMode::Equals : MatchMode::Contains);
}

int parseYear(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

void setYears(const std::string& range, CaseQuery& q) {
    if (range.empty()) return;
    const auto dash = range.find('-');
    if (dash == std::string::npos) throw CommandError{"年份范围应写作 起始年-结束年，例如 2001-2005"};
    const int first = parseYear(std::string_view(range).substr(0, dash));
    const int last = parseYear(std::string_view(range).substr(dash + 1));
    check(setQueryYears(q, first, last));
}

void runSearch(const SearchOptions& o) {
    CaseQuery q;
    setText(o.name, o.nameExact, q.name, q.nameMode);
    setText(o.category, o.categoryExact, q.category, q.categoryMode);
    setText(o.question, o.questionExact, q.question, q.questionMode);
    setYears(o.years, q);
    q.hexagram = hexagramOption(o.hexagram);
    q.changedHexagram = hexagramOption(o.changed);
    printRows(openBook(), q);
}

// The case as export-json writes it, with its state, its date text, the use god's name and
// the paths of its report files.
void printCase(const MDataBase& db, std::uint32_t id, const CaseRecord& r) {
    nlohmann::ordered_json j = caseJson(r);
    j["deleted"] = r.deleted;
    j["date"] = caseDateText(r);
    j["useGodName"] = r.useGod < kRelativeNames.size() ? std::string(kRelativeNames[r.useGod]) : std::string();
    j["report"] = db.reportPath(id).string();
    j["plumReport"] = db.plumReportPath(id).string();
    printJson(j);
}

void runShow(const std::vector<std::uint32_t>& ids) {
    const MDataBase db = openBook();
    std::vector<CaseRead> reads;
    check(db.readCases(ids, reads));
    for (const CaseRead& read : reads) {
        if (read.state == SlotState::OutOfRange) throw CommandError{fmt::format("卦例{}不存在。", read.id)};
    }
    for (const CaseRead& read : reads) printCase(db, read.id, read.record);
}

void runExport(const std::string& folder) {
    MDataBase db = openBook();
    check(db.exportStore(folder));
    fmt::print("成功导出，已保存到{}目录下\n", folder);
}

void runImport(const std::string& file) {
    MDataBase db = openBook(StoreOpening::ForReplacing);
    std::filesystem::path movedTo;
    check(db.importStore(file, &movedTo));
    fmt::print("成功导入\n");
    if (!movedTo.empty()) fmt::print("{}\n", replacedBookNote(movedTo));
}

void runDelete(std::uint32_t id) {
    MDataBase db = openBook();
    CaseRecord r;
    const SlotRead read = db.readCase(id, r);
    check(read.status);
    if (read.state == SlotState::OutOfRange) throw CommandError{fmt::format("卦例{}不存在。", id)};
    if (read.state == SlotState::Deleted) throw CommandError{fmt::format("卦例{}已被删除。", id)};
    check(deleteStoredCase(db, id));
    fmt::print("已删除卦例{}\n", id);
}

}  // namespace

MDataBase openCaseBook(StoreOpening opening) {
    MDataBase db;
    check(db.openStore(programFolder(), kKindLiuYao, opening));
    return db;
}

void addCasesCommands(CLI::App& app) {
    auto* cases = app.add_subcommand("cases", "the case book: list, search, show, add, delete, export, import");
    cases->require_subcommand(1);

    auto* list =
        cases->add_subcommand("list", "live cases among the first 300 slots (id, name, date, category, question)");
    auto all = std::make_shared<bool>(false);
    list->add_flag("--all", *all, "every slot");
    list->callback([all] { runList(*all); });

    auto* search = cases->add_subcommand("search", "cases matching every given criterion");
    auto o = std::make_shared<SearchOptions>();
    auto* name = search->add_option("--name", o->name, "person asking contains the text");
    auto* category = search->add_option("--category", o->category, "category contains the text");
    auto* question = search->add_option("--question", o->question, "question contains the text");
    auto* exact =
        search->add_flag("--exact")->description("after --name, --category or --question: the field equals the text");
    search->add_option("--years", o->years, "casting years Y1-Y2, both included");
    search->add_option("--hexagram", o->hexagram,
                       "a hexagram by name (天风姤): the main or the changed one; with --changed, the main one");
    search->add_option("--changed", o->changed, "the changed hexagram by name (乾为天)");
    search->callback([search, o, name, category, question, exact] {
        // --exact applies to the text option given just before it.
        const CLI::Option* last = nullptr;
        for (const CLI::Option* opt : search->parse_order()) {
            if (opt != exact) {
                last = opt;
                continue;
            }
            if (last == name) o->nameExact = true;
            else if (last == category) o->categoryExact = true;
            else if (last == question) o->questionExact = true;
            else throw CommandError{"--exact 应紧跟在 --name、--category 或 --question 之后"};
        }
        runSearch(*o);
    });

    auto* show = cases->add_subcommand("show", "stored cases as JSON, one object each");
    auto ids = std::make_shared<std::vector<std::uint32_t>>();
    show->add_option("ID", *ids, "case ids")->required();
    show->callback([ids] { runShow(*ids); });

    auto* exportCmd = cases->add_subcommand("export", "copy the case book and its reports into a folder");
    auto folder = std::make_shared<std::string>();
    exportCmd->add_option("DIR", *folder, "target folder")->required();
    exportCmd->callback([folder] { runExport(*folder); });

    auto* importCmd = cases->add_subcommand("import", "replace the case book with a checked backup");
    auto file = std::make_shared<std::string>();
    importCmd->add_option("FILE", *file, "the backup's liuyao0.dat")->required()->check(CLI::ExistingFile);
    importCmd->callback([file] { runImport(*file); });

    auto* deleteCmd = cases->add_subcommand("delete", "delete a stored case and its two report files");
    auto deleteId = std::make_shared<std::uint32_t>(0);
    deleteCmd->add_option("ID", *deleteId, "case id")->required();
    deleteCmd->callback([deleteId] { runDelete(*deleteId); });

    addCaseAddCommand(*cases);
    addCasesJsonCommands(*cases);
}

}  // namespace qingheng::cli
