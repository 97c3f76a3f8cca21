// qingheng-cli zhouyi N|NAME
#include <iostream>
#include <string>

#include "Commands.h"
#include "reference/ZhouYiReader.h"

namespace qingheng::cli {
namespace {

void runZhouyi(const std::string& wanted) {
    const auto choice = FindReaderHexagram(wanted);
    if (!choice) throw CommandError{"没有这个卦：" + wanted + "（请给出卦序1-64或卦名，如天风姤）"};
    const std::string text = ReaderText(choice->palace, choice->index);
    std::cout << text;
    if (text.empty() || text.back() != '\n') std::cout << '\n';
}

}  // namespace

void addZhouyiCommands(CLI::App& app) {
    auto* cmd = app.add_subcommand("zhouyi", "the classic text of a hexagram, as the reader shows it");
    auto wanted = std::make_shared<std::string>();
    cmd->add_option("N", *wanted, "hexagram number 1-64 in palace order, or a name such as 天风姤")->required();
    cmd->callback([wanted] { runZhouyi(*wanted); });
}

}  // namespace qingheng::cli
