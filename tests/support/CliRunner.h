#pragma once
// Runs qingheng-cli from the build folder and captures its output, for end-to-end tests.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace qingheng::testing {

struct CliRun {
    int exitCode = -1;
    std::string out;  // stdout, with stderr appended when mergeStderr is set
};

inline std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// Runs a shell command line (quoted by the caller where needed).
inline CliRun runCommand(const std::string& commandLine, bool mergeStderr = false) {
    const std::string command = commandLine + (mergeStderr ? " 2>&1" : " 2>/dev/null");
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// args are passed to the shell already quoted by the caller where needed; prefix goes
// before the program (a shell command such as "ulimit -f 4;", or a wrapper such as setpriv).
inline CliRun runCliAfter(const std::string& prefix, const std::string& args, bool mergeStderr = false) {
    return runCommand(prefix + " " + std::string(QH_BIN_DIR) + "/qingheng-cli " + args, mergeStderr);
}

inline CliRun runCli(const std::string& args, bool mergeStderr = false) { return runCliAfter("", args, mergeStderr); }

}  // namespace qingheng::testing
