#pragma once
// The program folder B: data files live in B/dat, report files in B/liuyao_f.
#include <filesystem>
#include <string_view>

namespace qingheng {

// B: set by initProgramFolder, else the folder of the running executable.
std::filesystem::path programFolder();

// Chooses B from the command line (--home DIR or --home=DIR), then the environment
// variable QINGHENG_HOME, then the executable's folder. Removes --home from argv.
void initProgramFolder(int& argc, char** argv);

// Sets B directly (tests).
void setProgramFolder(const std::filesystem::path& folder);

// B/dat/name.
std::filesystem::path datFile(std::string_view name);

// The same path kept from call to call, for readers that look at a dat file on every chart,
// where building the path costs more than looking at the file. Valid until the program
// folder is set again.
const std::filesystem::path& keptDatFile(std::string_view name);

}  // namespace qingheng
