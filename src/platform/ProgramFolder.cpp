#include "platform/ProgramFolder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace qingheng {
namespace {

std::optional<std::filesystem::path>& chosenFolder() {
    static std::optional<std::filesystem::path> folder;
    return folder;
}

// Counts the changes of the program folder, so that kept paths know when to go.
std::uint64_t& folderChanges() {
    static std::uint64_t changes = 0;
    return changes;
}

std::filesystem::path executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
}

}  // namespace

std::filesystem::path programFolder() {
    if (!chosenFolder()) {
        if (const char* env = std::getenv("QINGHENG_HOME"); env && *env) {
            chosenFolder() = std::filesystem::absolute(env);
        } else {
            chosenFolder() = executableFolder();
        }
    }
    return *chosenFolder();
}

void setProgramFolder(const std::filesystem::path& folder) {
    chosenFolder() = std::filesystem::absolute(folder);
    ++folderChanges();
}

void initProgramFolder(int& argc, char** argv) {
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc) {
            setProgramFolder(argv[++i]);
        } else if (std::strncmp(argv[i], "--home=", 7) == 0) {
            setProgramFolder(argv[i] + 7);
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    argv[argc] = nullptr;
    programFolder();
}

std::filesystem::path datFile(std::string_view name) { return programFolder() / "dat" / std::string(name); }

const std::filesystem::path& keptDatFile(std::string_view name) {
    static std::mutex mutex;
    static std::uint64_t keptFor = 0;
    static std::deque<std::pair<std::string, std::filesystem::path>> kept;  // stays in place as it grows
    const std::lock_guard lock(mutex);
    if (keptFor != folderChanges()) {
        kept.clear();
        keptFor = folderChanges();
    }
    for (const auto& [keptName, path] : kept) {
        if (keptName == name) return path;
    }
    return kept.emplace_back(std::string(name), datFile(name)).second;
}

}  // namespace qingheng
