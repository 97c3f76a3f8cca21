// qingheng-cli: the command-line companion of the desktop program.
#include <iostream>

#include "Commands.h"
#include "ProgramVersion.h"
#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"

namespace {

// The home in use and why, one line each.
void printHome() {
    const qingheng::Home& home = qingheng::currentHome();
    std::cout << home.folder.string() << '\n' << qingheng::homeReasonName(home.reason) << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    qingheng::ignoreFileSizeSignal();  // a file-size limit becomes a reported write error
    if (const qingheng::Status home = qingheng::initProgramFolder(argc, argv); !home) {
        std::cerr << home.message << '\n';
        return 1;
    }
    CLI::App app{"青衡六爻 command-line tools"};
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", "qingheng-cli " + std::string(qingheng::kProgramVersion));
    // --home is taken by initProgramFolder; it is listed here for the help text only.
    app.add_option("--home", "program folder (data in DIR/dat)");
    bool printHomeOnly = false;
    app.add_flag("--print-home", printHomeOnly,
                 "print the folder in use and why (--home, QINGHENG_HOME, portable, per-user)");
    qingheng::cli::addHexagramCommands(app);
    qingheng::cli::addCastCommands(app);
    qingheng::cli::addCalendarCommands(app);
    qingheng::cli::addChartCommands(app);
    qingheng::cli::addCasesCommands(app);
    qingheng::cli::addZhouyiCommands(app);
    qingheng::cli::addReferenceCommands(app);
    qingheng::cli::addTopicCommands(app);
    try {
        app.parse(argc, argv);
        if (printHomeOnly) {
            printHome();
        } else if (app.get_subcommands().empty()) {
            throw CLI::RequiredError("A subcommand");
        }
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    } catch (const qingheng::cli::CommandError& e) {
        std::cerr << e.message << '\n';
        return 1;
    }
    return 0;
}
