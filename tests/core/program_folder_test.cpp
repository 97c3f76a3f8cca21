// Which folder is the home, why, and what a first start puts there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "TemporaryHome.h"
#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"

using namespace qingheng;
namespace fs = std::filesystem;
using qingheng::testing::TemporaryHome;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string contentOf(const fs::path& path) { return readFileBytes(path).value_or("(missing)"); }

// A machine in a temporary folder: a program folder, an installed share folder and a user.
class HomeMachine : public ::testing::Test {
protected:
    TemporaryHome root_{"machine"};
    fs::path program_ = root_ / "bin";
    fs::path installedData_ = root_ / "share" / "qingheng" / "dat";
    std::set<fs::path> readOnly_;

    HomeSources sources() {
        fs::create_directories(program_);
        HomeSources s;
        s.executableFolder = program_;
        s.xdgDataHome = (root_ / "xdg").string();
        s.userHome = (root_ / "user").string();
        s.writable = [this](const fs::path& p) { return readOnly_.count(p) == 0; };
        return s;
    }

    Home choose(const HomeSources& s) {
        const HomeChoice choice = chooseHome(s);
        EXPECT_TRUE(choice.home) << choice.error;
        return choice.home.value_or(Home{});
    }

    void TearDown() override { setProgramFolder(root_.path()); }
};

}  // namespace

TEST_F(HomeMachine, ChoosesOptionThenEnvironmentThenPortableThenPerUser) {
    fs::create_directories(program_ / "dat");
    HomeSources s = sources();
    s.option = (root_ / "opt").string();
    s.environment = (root_ / "env").string();
    Home home = choose(s);
    EXPECT_EQ(home.folder, root_ / "opt");
    EXPECT_EQ(homeReasonName(home.reason), "--home");

    s.option.reset();
    home = choose(s);
    EXPECT_EQ(home.folder, root_ / "env");
    EXPECT_EQ(homeReasonName(home.reason), "QINGHENG_HOME");

    s.environment.reset();
    home = choose(s);
    EXPECT_EQ(home.folder, program_);
    EXPECT_EQ(homeReasonName(home.reason), "portable");
    EXPECT_EQ(home.shippedData, program_ / "dat");

    // The same copy installed where it cannot write: the user's own folder.
    readOnly_.insert(program_ / "dat");
    home = choose(s);
    EXPECT_EQ(home.folder, root_ / "xdg" / "qingheng");
    EXPECT_EQ(homeReasonName(home.reason), "per-user");
    EXPECT_EQ(home.shippedData, program_ / "dat");
}

TEST_F(HomeMachine, AnInstalledCopyReadsItsDataFromShareAndKeepsTheUsersInTheirFolder) {
    fs::create_directories(installedData_);
    struct Case {
        std::string xdg;
        fs::path expected;
    };
    for (const Case& c : {Case{(root_ / "xdg").string(), root_ / "xdg" / "qingheng"},
                          {"", root_ / "user" / ".local" / "share" / "qingheng"},
                          {"relative/xdg", root_ / "user" / ".local" / "share" / "qingheng"}}) {
        HomeSources s = sources();
        s.xdgDataHome = c.xdg;
        const Home home = choose(s);
        EXPECT_EQ(home.folder, c.expected) << c.xdg;
        EXPECT_EQ(home.reason, HomeReason::PerUser) << c.xdg;
        EXPECT_EQ(home.shippedData, installedData_) << c.xdg;
    }
}

TEST_F(HomeMachine, AHomeThatCannotBeUsedIsRefusedWithAMessage) {
    writeFile(root_ / "afile", "x");
    struct Case {
        std::optional<std::string> option, environment;
        std::string message;
    };
    const std::string file = (root_ / "afile").string();
    for (const Case& c : {Case{"", std::nullopt, "--home 需要一个文件夹名。"},
                          {file, std::nullopt, "--home：“" + file + "”不是文件夹。"},
                          {std::nullopt, file, "QINGHENG_HOME：“" + file + "”不是文件夹。"}}) {
        HomeSources s = sources();
        s.option = c.option;
        s.environment = c.environment;
        const HomeChoice choice = chooseHome(s);
        EXPECT_FALSE(choice.home) << c.message;
        EXPECT_EQ(choice.error, c.message);
    }
    HomeSources nobody = sources();
    nobody.xdgDataHome.clear();
    nobody.userHome.clear();
    EXPECT_EQ(chooseHome(nobody).error, "找不到用户的主目录，请用 --home 指定存放数据的文件夹。");
}

TEST_F(HomeMachine, AFirstStartCopiesTheShippedFilesAndNeverReplacesTheUsers) {
    for (std::string_view name : kShippedDataFiles) writeFile(installedData_ / name, "shipped " + std::string(name));
    writeFile(installedData_ / "liuyao0.dat", "a case book is not shipped data");
    const fs::path userDat = root_ / "xdg" / "qingheng" / "dat";
    writeFile(userDat / "meihy.dat", "the user's own sayings");

    const Home home = choose(sources());
    ASSERT_TRUE(provideShippedData(home).ok);
    EXPECT_EQ(contentOf(userDat / "hzlen.dat"), "shipped hzlen.dat");
    EXPECT_EQ(contentOf(userDat / "zazhan.txt"), "shipped zazhan.txt");
    EXPECT_EQ(contentOf(userDat / "meihy.dat"), "the user's own sayings");
    EXPECT_FALSE(fs::exists(userDat / "liuyao0.dat"));
    EXPECT_FALSE(fs::exists(userDat / "hzlen.dat.copying"));

    // The next start finds everything in place and changes nothing.
    writeFile(userDat / "hzlen.dat", "edited by the stroke editor");
    ASSERT_TRUE(provideShippedData(home).ok);
    EXPECT_EQ(contentOf(userDat / "hzlen.dat"), "edited by the stroke editor");
    // A portable copy's home is its shipped folder: nothing to copy.
    EXPECT_TRUE(provideShippedData(Home{root_ / "share" / "qingheng", HomeReason::Portable, installedData_}).ok);
    EXPECT_EQ(contentOf(installedData_ / "hzlen.dat"), "shipped hzlen.dat");
}

TEST_F(HomeMachine, AHomeWithoutADataFileReadsTheShippedOne) {
    writeFile(installedData_ / "hzlen.dat", "shipped");
    writeFile(installedData_ / "set.ini", "not shipped data");
    const fs::path home = root_ / "empty";
    setHome(Home{home, HomeReason::Option, installedData_});
    EXPECT_EQ(datFileToRead("hzlen.dat"), installedData_ / "hzlen.dat");
    EXPECT_EQ(datFileToRead("set.ini"), home / "dat" / "set.ini");  // settings are the user's alone
    EXPECT_EQ(datFile("hzlen.dat"), home / "dat" / "hzlen.dat");    // writes go to the home
    writeFile(home / "dat" / "hzlen.dat", "own");
    EXPECT_EQ(datFileToRead("hzlen.dat"), home / "dat" / "hzlen.dat");
}

TEST_F(HomeMachine, AHomeThatDoesNotExistIsReportedForReaders) {
    setHome(Home{root_ / "nowhere", HomeReason::Option, {}});
    const Status s = requireExistingHome();
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, "文件夹“" + (root_ / "nowhere").string() + "”不存在。");
    EXPECT_FALSE(fs::exists(root_ / "nowhere"));
    setHome(Home{root_.path(), HomeReason::Option, {}});
    EXPECT_TRUE(requireExistingHome().ok);
}

// The guide lies beside the shipped data: share/qingheng/help installed, bin/help portable.
// Without shipped data it is looked for beside the program (the test's own build/bin).
TEST_F(HomeMachine, TheUserGuideIsLookedForBesideTheShippedData) {
    struct Case {
        fs::path shippedData;
        fs::path guide;
    };
    for (const Case& c : {Case{installedData_, root_ / "share" / "qingheng" / "help" / "index.html"},
                          {program_ / "dat", program_ / "help" / "index.html"},
                          {fs::path(), fs::path(QH_BIN_DIR) / "help" / "index.html"}}) {
        setHome({root_ / "home", HomeReason::Option, c.shippedData});
        EXPECT_EQ(userGuideFile(), c.guide) << c.shippedData;
    }
}
