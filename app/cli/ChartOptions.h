#pragma once
// The chart options that every chart-reading command takes (chart, topic): the cast by a
// code or a method, the casting time, the use god, the case texts and the chart settings.
#include <CLI/CLI.hpp>

#include <string>

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

}  // namespace qingheng::cli
