#pragma once
// The chart options that every chart-reading command takes (chart, topic): the cast by a
// code or a method, the casting time, the use god, the case texts and the chart settings.
#include <CLI/CLI.hpp>

#include <string>

#include "casebook/CaseOnView.h"
#include "casting/CastDispatch.h"
#include "chart/Liuyaoex.h"

namespace qingheng::cli {

struct ChartArgs {
    std::string code;
    std::string time;
    std::string changed;
    bool lunar = false;
    bool leap = false;
    std::string useGod = "兄弟";
    std::string name;
    std::string question;
    std::string methodLabel = "其他方式";
    int qiangua = 0;
    bool nagan = false;
    CLI::Option* codeOption = nullptr;
    CLI::Option* methodOption = nullptr;
    CLI::Option* qianguaOption = nullptr;
    CLI::Option* naganOption = nullptr;
    CLI::Option* labelOption = nullptr;
    // Cast and chart in one call: the method and what it reads.
    std::string method;
    CastArguments cast;
};

// Registers the chart options on cmd, writing into a (which must outlive the parse).
void addChartOptions(CLI::App* cmd, ChartArgs& a);

// Casts when a method is given, assembles the chart and returns the engine; throws
// CommandError with the program's message when an option or the chart is refused.
CLiuYaoEx assembleChart(const ChartArgs& a);

// The use god by its name (兄弟, 子孙, 妻财, 官鬼, 父母); throws CommandError otherwise.
Relative relativeByName(const std::string& name);

// The case the options describe (casting time, cast, asker, label), cast first when a
// method is given; throws CommandError when an option is refused.
CaseOnView caseFromArgs(const ChartArgs& a);

// Assembles the chart of a case with dat/set.ini's settings or the ones given; throws
// CommandError with the engine's message when the chart is refused.
CLiuYaoEx assembleCase(const CaseOnView& c, const ChartArgs& a);

}  // namespace qingheng::cli
