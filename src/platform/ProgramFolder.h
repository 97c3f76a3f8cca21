#pragma once
// The program folder B (the home): data files live in B/dat, report files in B/liuyao_f.
//
// Which folder is the home: --home DIR, else the environment variable QINGHENG_HOME, else
// the program's own folder when a writable dat/ lies beside the program (a portable copy),
// else a per-user folder ($XDG_DATA_HOME/qingheng, by default ~/.local/share/qingheng) for an
// installed copy whose program folder cannot be written. The shipped data files come from
// the dat/ beside the program or, installed, from ../share/qingheng/dat.
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace qingheng {

enum class HomeReason { Option, Environment, Portable, PerUser };

// "--home", "QINGHENG_HOME", "portable", "per-user": what --print-home reports.
std::string_view homeReasonName(HomeReason reason);

struct Home {
    std::filesystem::path folder;  // absolute
    HomeReason reason = HomeReason::Portable;
    std::filesystem::path shippedData;  // the shipped dat folder; empty when none was found
};

// What the choice of the home reads from the process, so that tests can set every part.
struct HomeSources {
    std::optional<std::string> option;       // the value of --home (possibly empty); nullopt: not given
    std::optional<std::string> environment;  // QINGHENG_HOME; nullopt when unset or empty
    std::filesystem::path executableFolder;
    std::string xdgDataHome;                                     // XDG_DATA_HOME; empty when unset
    std::string userHome;                                        // the user's home folder
    std::function<bool(const std::filesystem::path&)> writable;  // can the program write there?
};

// The sources of this process: its environment, its executable, the file system.
HomeSources processHomeSources();

// The home the sources name, or the message why none can be used (an empty --home, a
// relative folder that cannot be resolved, a file where a folder is expected).
struct HomeChoice {
    std::optional<Home> home;
    std::string error;
};
HomeChoice chooseHome(const HomeSources& sources);

// Chooses the home from the command line (--home DIR or --home=DIR, removed from argv) and
// the process; on failure the message says why and the home stays unset.
Status initProgramFolder(int& argc, char** argv);

// The home in use: set by initProgramFolder or setProgramFolder, else chosen from the process
// at the first call (the executable's folder when that choice fails).
const Home& currentHome();
// B, the folder of the home.
std::filesystem::path programFolder();
// Sets B directly, without shipped data (tests).
void setProgramFolder(const std::filesystem::path& folder);
// Sets the whole home (tests of the shipped data).
void setHome(const Home& home);

// Fails with "文件夹“…”不存在。" when B is not an existing folder, for commands that only read.
Status requireExistingHome();

// B/dat/name, the file that is written.
std::filesystem::path datFile(std::string_view name);
// The data file to read: B/dat/name, or the shipped copy of a shipped file B lacks.
std::filesystem::path datFileToRead(std::string_view name);

// The user guide shipped with the program: help/index.html beside the shipped dat folder (the
// build's bin/help, or share/qingheng/help installed), else beside the program. It may be missing.
std::filesystem::path userGuideFile();

// The data files the program ships in its dat folder.
inline constexpr std::array<std::string_view, 3> kShippedDataFiles = {"hzlen.dat", "meihy.dat", "zazhan.txt"};

// First start: creates B/dat and copies each shipped data file that B lacks; a file the user
// already has is never replaced.
Status provideShippedData(const Home& home);

// The same paths kept from call to call, for readers that look at a dat file on every chart,
// where building the path costs more than looking at the file. Valid until the home is set
// again. keptShippedFile is the shipped copy of a shipped data file (empty when there is none).
const std::filesystem::path& keptDatFile(std::string_view name);
const std::filesystem::path& keptShippedFile(std::string_view name);

}  // namespace qingheng
