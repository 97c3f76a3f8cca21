// The home folder on the command line: --print-home, refused homes, shipped data for a new one.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "TemporaryHome.h"

using qingheng::testing::runCli;
using qingheng::testing::runCommand;
using qingheng::testing::shellQuote;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

namespace {

const std::string kCli = std::string(QH_BIN_DIR) + "/qingheng-cli";

}  // namespace

TEST(CliHome, AnEmptyOrUnresolvableHomeEndsWithAMessageAndExitCode1) {
    const TemporaryHome scratch("clihome");
    const fs::path gone = scratch / "gone";
    fs::create_directories(gone);
    struct Case {
        std::string command;
        std::string message;
    };
    for (const Case& c : {Case{kCli + " --home '' cast random", "--home 需要一个文件夹名。\n"},
                          {kCli + " --home= cast random", "--home 需要一个文件夹名。\n"},
                          {kCli + " cast random --home", "--home 需要一个文件夹名。\n"},
                          {"cd " + shellQuote(gone.string()) + " && rmdir " + shellQuote(gone.string()) + " && " +
                               kCli + " --home rel cast random",
                           "--home：无法确定文件夹“rel”的位置（No such file or directory）。\n"}}) {
        const auto run = runCommand(c.command, true);
        EXPECT_EQ(run.exitCode, 1) << c.command;
        EXPECT_EQ(run.out, c.message) << c.command;
    }
}

TEST(CliHome, PrintHomeSaysWhichFolderAndWhy) {
    const TemporaryHome home("printhome");
    const std::string folder = home.path().string();
    struct Case {
        std::string command;
        std::string out;
    };
    for (const Case& c :
         {Case{kCli + " --home " + shellQuote(folder) + " --print-home", folder + "\n--home\n"},
          {"QINGHENG_HOME=" + shellQuote(folder) + " " + kCli + " --print-home", folder + "\nQINGHENG_HOME\n"},
          {"QINGHENG_HOME= " + kCli + " --print-home", std::string(QH_BIN_DIR) + "\nportable\n"}}) {
        const auto run = runCommand(c.command);
        EXPECT_EQ(run.exitCode, 0) << c.command;
        EXPECT_EQ(run.out, c.out) << c.command;
    }
}

TEST(CliHome, ANewHomeCastsWithTheShippedStrokeTableAndIsNotCreated) {
    const TemporaryHome scratch("newhome");
    const fs::path fresh = scratch / "new";
    const auto run = runCli("--home " + shellQuote(fresh.string()) + " cast chars 天下");
    ASSERT_EQ(run.exitCode, 0);
    // 天 4 strokes (震 221) over 下 3 (离 121), total 7 moves the bottom line.
    EXPECT_EQ(nlohmann::json::parse(run.out)["main"], "221123");
    EXPECT_FALSE(fs::exists(fresh));
}

TEST(CliHome, AnInstalledCopyUsesThePerUserFolderAndTheDataInShare) {
    const TemporaryHome prefix("installed");
    fs::create_directories(prefix / "bin");
    fs::copy_file(kCli, prefix / "bin" / "qingheng-cli");
    fs::create_directories(prefix / "share" / "qingheng");
    fs::copy(fs::path(QH_BIN_DIR) / "dat", prefix / "share" / "qingheng" / "dat");
    const std::string cli = "XDG_DATA_HOME=" + shellQuote((prefix / "xdg").string()) + " " +
                            shellQuote((prefix / "bin" / "qingheng-cli").string());

    const auto where = runCommand(cli + " --print-home");
    EXPECT_EQ(where.exitCode, 0);
    EXPECT_EQ(where.out, (prefix / "xdg" / "qingheng").string() + "\nper-user\n");

    const auto cast = runCommand(cli + " cast chars 國家");
    ASSERT_EQ(cast.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(cast.out)["main"], "121411");
    EXPECT_FALSE(fs::exists(prefix / "xdg" / "qingheng"));
}
