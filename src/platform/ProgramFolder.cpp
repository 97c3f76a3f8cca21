#include "platform/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <utility>

#include <fmt/format.h>

#include "platform/FileUtil.h"

namespace qingheng {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHomeOption = "--home";
constexpr std::string_view kHomeVariable = "QINGHENG_HOME";

std::optional<Home>& chosenHome() {
    static std::optional<Home> home;
    return home;
}

// Counts the changes of the home, so that kept paths know when to go.
std::uint64_t& homeChanges() {
    static std::uint64_t changes = 0;
    return changes;
}

void chooseHomeNow(Home home) {
    chosenHome() = std::move(home);
    ++homeChanges();
}

// A path per name, built once per home.
class KeptPaths {
public:
    const fs::path& get(std::string_view name, fs::path (*build)(std::string_view)) {
        const std::lock_guard lock(mutex_);
        if (keptFor_ != homeChanges()) {
            kept_.clear();
            keptFor_ = homeChanges();
        }
        for (const auto& [keptName, path] : kept_) {
            if (keptName == name) return path;
        }
        return kept_.emplace_back(std::string(name), build(name)).second;
    }

private:
    std::mutex mutex_;
    std::uint64_t keptFor_ = 0;
    std::deque<std::pair<std::string, fs::path>> kept_;  // stays in place as it grows
};

bool isShippedFile(std::string_view name) {
    return std::find(kShippedDataFiles.begin(), kShippedDataFiles.end(), name) != kShippedDataFiles.end();
}

fs::path shippedCopy(std::string_view name) {
    const fs::path& shipped = currentHome().shippedData;
    return isShippedFile(name) && !shipped.empty() ? shipped / std::string(name) : fs::path();
}

fs::path executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path();
    const fs::path current = fs::current_path(ec);
    return ec ? fs::path("/") : current;
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string userHomeFolder() {
    if (std::string home = environmentValue("HOME"); !home.empty()) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The dat folder shipped with the program: beside it (a portable copy or the build folder),
// or where an installation puts it.
fs::path shippedDataFolder(const fs::path& exeFolder) {
    if (const fs::path beside = exeFolder / "dat"; isDirectory(beside)) return beside;
    const fs::path installed = (exeFolder / ".." / "share" / "qingheng" / "dat").lexically_normal();
    if (isDirectory(installed)) return installed;
    return {};
}

// A folder named by --home or QINGHENG_HOME, made absolute; source names it in a message.
HomeChoice namedHome(std::string_view source, const std::string& value, HomeReason reason) {
    if (value.empty()) return {std::nullopt, fmt::format("{} 需要一个文件夹名。", source)};
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::path(value), ec);
    if (ec) return {std::nullopt, fmt::format("{}：无法确定文件夹“{}”的位置（{}）。", source, value, ec.message())};
    const fs::file_type type = fs::status(folder, ec).type();
    if (type != fs::file_type::not_found && type != fs::file_type::directory && !ec) {
        return {std::nullopt, fmt::format("{}：“{}”不是文件夹。", source, value)};
    }
    return {Home{folder.lexically_normal(), reason, {}}, {}};
}

HomeChoice perUserHome(const HomeSources& sources) {
    // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
    fs::path base;
    if (!sources.xdgDataHome.empty() && fs::path(sources.xdgDataHome).is_absolute()) {
        base = sources.xdgDataHome;
    } else if (!sources.userHome.empty()) {
        base = fs::path(sources.userHome) / ".local" / "share";
    } else {
        return {std::nullopt, "找不到用户的主目录，请用 --home 指定存放数据的文件夹。"};
    }
    return {Home{(base / "qingheng").lexically_normal(), HomeReason::PerUser, {}}, {}};
}

// Copies one shipped file to target unless target exists: the copy is made under a
// temporary name and linked into place, which fails rather than replace a file.
Status copyWithoutReplacing(const fs::path& from, const fs::path& target) {
    const fs::path part = fs::path(target).concat(".copying");
    if (Status s = copyFile(from, part); !s) return s;
    const bool linked = ::link(part.c_str(), target.c_str()) == 0;
    const int err = errno;
    std::error_code ignored;
    fs::remove(part, ignored);
    if (!linked && err != EEXIST) {
        return Status::failure(
            fmt::format("无法复制文件 {} 到 {}：{}", from.string(), target.string(), systemErrorText(err)));
    }
    return Status::success();
}

}  // namespace

std::string_view homeReasonName(HomeReason reason) {
    switch (reason) {
        case HomeReason::Option:
            return kHomeOption;
        case HomeReason::Environment:
            return kHomeVariable;
        case HomeReason::Portable:
            return "portable";
        case HomeReason::PerUser:
            break;
    }
    return "per-user";
}

HomeSources processHomeSources() {
    HomeSources s;
    if (std::string env = environmentValue(kHomeVariable.data()); !env.empty()) s.environment = env;
    s.executableFolder = executableFolder();
    s.xdgDataHome = environmentValue("XDG_DATA_HOME");
    s.userHome = userHomeFolder();
    s.writable = [](const fs::path& path) { return ::access(path.c_str(), W_OK) == 0; };
    return s;
}

HomeChoice chooseHome(const HomeSources& sources) {
    HomeChoice choice;
    if (sources.option) {
        choice = namedHome(kHomeOption, *sources.option, HomeReason::Option);
    } else if (sources.environment) {
        choice = namedHome(kHomeVariable, *sources.environment, HomeReason::Environment);
    } else if (const fs::path beside = sources.executableFolder / "dat";
               isDirectory(beside) && sources.writable && sources.writable(beside)) {
        choice.home = Home{sources.executableFolder, HomeReason::Portable, {}};
    } else {
        choice = perUserHome(sources);
    }
    if (choice.home) choice.home->shippedData = shippedDataFolder(sources.executableFolder);
    return choice;
}

Status initProgramFolder(int& argc, char** argv) {
    HomeSources sources = processHomeSources();
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == kHomeOption) {
            // A --home without a value counts as an empty one.
            sources.option = i + 1 < argc ? argv[++i] : "";
        } else if (std::strncmp(argv[i], "--home=", 7) == 0) {
            sources.option = argv[i] + 7;
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    argv[argc] = nullptr;
    HomeChoice choice = chooseHome(sources);
    if (!choice.home) return Status::failure(choice.error);
    chooseHomeNow(std::move(*choice.home));
    return Status::success();
}

const Home& currentHome() {
    if (!chosenHome()) {
        HomeChoice choice = chooseHome(processHomeSources());
        chooseHomeNow(choice.home ? *choice.home : Home{executableFolder(), HomeReason::Portable, {}});
    }
    return *chosenHome();
}

fs::path programFolder() { return currentHome().folder; }

void setProgramFolder(const fs::path& folder) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    chooseHomeNow(Home{ec ? folder : absolute, HomeReason::Option, {}});
}

void setHome(const Home& home) { chooseHomeNow(home); }

Status requireExistingHome() {
    const fs::path& folder = currentHome().folder;
    if (isDirectory(folder)) return Status::success();
    return Status::failure(fmt::format("文件夹“{}”不存在。", folder.string()));
}

fs::path datFile(std::string_view name) { return programFolder() / "dat" / std::string(name); }

fs::path datFileToRead(std::string_view name) {
    const fs::path own = datFile(name);
    std::error_code ec;
    if (fs::exists(own, ec)) return own;
    const fs::path copy = shippedCopy(name);
    return !copy.empty() && fs::exists(copy, ec) ? copy : own;
}

fs::path userGuideFile() {
    const fs::path& shipped = currentHome().shippedData;
    const fs::path help = shipped.empty() ? executableFolder() / "help" : shipped.parent_path() / "help";
    return help / "index.html";
}

const fs::path& keptDatFile(std::string_view name) {
    static KeptPaths paths;
    return paths.get(name, datFile);
}

const fs::path& keptShippedFile(std::string_view name) {
    static KeptPaths paths;
    return paths.get(name, shippedCopy);
}

Status provideShippedData(const Home& home) {
    const fs::path dat = home.folder / "dat";
    if (Status s = makeFolder(dat); !s) return s;
    if (home.shippedData.empty()) return Status::success();
    std::error_code ec;
    if (fs::equivalent(home.shippedData, dat, ec)) return Status::success();  // a portable copy
    for (std::string_view name : kShippedDataFiles) {
        const fs::path from = home.shippedData / std::string(name);
        const fs::path to = dat / std::string(name);
        if (!fs::exists(from, ec) || fs::exists(to, ec)) continue;
        if (Status s = copyWithoutReplacing(from, to); !s) return s;
    }
    return Status::success();
}

}  // namespace qingheng
