#pragma once
// A private program folder for casting tests: dat/hzlen.dat copied from the build, and an
// optional set.ini. Restores nothing global but the folder; each test makes its own.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ProgramFolder.h"

namespace qingheng::testing {

inline std::filesystem::path makeCastingFolder(const std::string& name, bool withStrokeTable = true) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("qingheng_casting_" + name + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "dat");
    if (withStrokeTable) fs::copy_file(fs::path(QH_BIN_DIR) / "dat" / "hzlen.dat", dir / "dat" / "hzlen.dat");
    setProgramFolder(dir);
    return dir;
}

inline void writeSetIni(const std::filesystem::path& folder, const std::string& text) {
    std::ofstream(folder / "dat" / "set.ini", std::ios::binary) << text;
}

}  // namespace qingheng::testing
