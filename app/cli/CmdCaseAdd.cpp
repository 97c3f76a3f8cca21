// qingheng-cli cases add: saves a case as the main window's 存新 does, the chart assembled
// and both report files written with the case, and prints the new id.
#include <memory>
#include <string>

#include <fmt/format.h>

#include "ChartOptions.h"
#include "Commands.h"
#include "casebook/CaseOnView.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"

namespace qingheng::cli {
namespace {

struct AddArgs {
    ChartArgs chart;
    std::string category;
    std::string extra = "备注:";  // what the window's details box starts with
};

void check(const Status& s) {
    if (!s) throw CommandError{s.message};
}

void runAdd(const AddArgs& a) {
    CaseOnView c = caseFromArgs(a.chart);
    check(c.requireAsker());
    check(c.setDetails(a.category, a.extra));
    const CLiuYaoEx engine = assembleCase(c, a.chart);
    c.copyIntoRecord();
    // The report files in the report font of dat/lyinit.ini, as the window's panes show it.
    const WindowSettings window = readWindowSettings(IniFile(datFile(kLyInitFile)));
    CaseReports reports;
    check(reportFilesOf(engine, window.fontName, window.fontSize, reports));
    MDataBase db;
    check(db.openStore(programFolder(), kKindLiuYao));
    check(c.saveAsNew(db, &reports));
    fmt::print("{}\n", c.record().id);
}

}  // namespace

void addCaseAddCommand(CLI::App& cases) {
    auto* add = cases.add_subcommand("add", "save a case with its two report files; prints the new id");
    auto a = std::make_shared<AddArgs>();
    ChartArgs& c = a->chart;
    c.codeOption = add->add_option("--code", c.code, "main hexagram: six characters 1-4, top line first")->required();
    add->add_option("--changed", c.changed, "changed hexagram (default: the main code with moving lines flipped)");
    add->add_option("--time", c.time, "casting time \"YYYY-MM-DD HH:MM\"")->required();
    auto* lunar = add->add_flag("--lunar", c.lunar, "the time is a lunar date");
    add->add_flag("--leap", c.leap, "the lunar month is a leap month")->needs(lunar);
    add->add_option("--name", c.name, "求测人")->required();
    add->add_option("--question", c.question, "占问事宜")->required();
    add->add_option("--category", a->category, "类别")->required();
    add->add_option("--use-god", c.useGod, "兄弟|子孙|妻财|官鬼|父母 (default 兄弟)");
    c.labelOption = add->add_option("--method-label", c.methodLabel, "起卦方式 (default 其他方式)");
    add->add_option("--extra", a->extra, "附加信息 (default 备注:)");
    add->callback([a] { runAdd(*a); });
}

}  // namespace qingheng::cli
