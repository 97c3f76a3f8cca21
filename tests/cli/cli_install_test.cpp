// cmake --install into a staging folder (DESTDIR) and the Debian package CPack builds: the
// files an installation holds, the installed programs running on the installed data, and a
// desktop entry and metainfo that the desktop's own validators accept.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "CliRunner.h"
#include "TemporaryHome.h"

using qingheng::testing::CliRun;
using qingheng::testing::runCommand;
using qingheng::testing::shellQuote;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

namespace {

const std::string kDesktopId = "org.qingheng.qingheng";

// Every file an installation under /usr holds.
const std::set<std::string> kInstalledFiles = {
    "usr/bin/qingheng",
    "usr/bin/qingheng-cli",
    "usr/share/qingheng/dat/hzlen.dat",
    "usr/share/qingheng/dat/meihy.dat",
    "usr/share/qingheng/dat/zazhan.txt",
    "usr/share/qingheng/help/index.html",
    "usr/share/qingheng/help/images/cast.png",
    "usr/share/qingheng/help/images/main.png",
    "usr/share/applications/" + kDesktopId + ".desktop",
    "usr/share/icons/hicolor/256x256/apps/" + kDesktopId + ".png",
    "usr/share/icons/hicolor/scalable/apps/" + kDesktopId + ".svg",
    "usr/share/metainfo/" + kDesktopId + ".metainfo.xml",
    "usr/share/doc/qingheng/copyright",
    "usr/share/doc/qingheng/changelog.gz",
    "usr/share/man/man1/qingheng.1.gz",
    "usr/share/man/man1/qingheng-cli.1.gz",
};

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files below root, as paths relative to it.
std::set<std::string> filesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_directory()) files.insert(fs::relative(entry.path(), root).string());
    }
    return files;
}

// The value of key in the [Desktop Entry] file's text ("" when missing).
std::string desktopValue(const std::string& text, const std::string& key) {
    std::smatch m;
    return std::regex_search(
               text, m, std::regex("(^|\n)" + std::regex_replace(key, std::regex(R"([\[\]])"), R"(\$&)") + "=([^\n]*)"))
               ? m[2].str()
               : "";
}

// An installation into a staging folder, made once for the tests of this file.
class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stage_ = new TemporaryHome("install");
        install_ = runCommand("DESTDIR=" + shellQuote(stage_->path().string()) + " " + QH_CMAKE_COMMAND +
                                  " --install " + shellQuote(QH_BUILD_DIR) + " --prefix /usr",
                              true);
    }
    static void TearDownTestSuite() {
        delete stage_;
        stage_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(install_.exitCode, 0) << install_.out; }

    static fs::path root() { return stage_->path(); }
    static fs::path share() { return root() / "usr" / "share"; }
    // The installed command line, in a session without a display, its per-user folder in xdg.
    static CliRun installedCli(const std::string& args, const fs::path& xdg) {
        return runCommand("env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY -u QINGHENG_HOME XDG_DATA_HOME=" +
                          shellQuote(xdg.string()) + " " + shellQuote((root() / "usr/bin/qingheng-cli").string()) +
                          " " + args);
    }

    static TemporaryHome* stage_;
    static CliRun install_;
};

TemporaryHome* InstalledTree::stage_ = nullptr;
CliRun InstalledTree::install_;

}  // namespace

TEST_F(InstalledTree, EveryFileIsInItsPlaceAndNoOtherIs) {
    EXPECT_EQ(filesBelow(root()), kInstalledFiles);
    for (const char* name : {"hzlen.dat", "meihy.dat", "zazhan.txt"}) {
        EXPECT_EQ(bytesOf(share() / "qingheng/dat" / name), bytesOf(fs::path(QH_SOURCE_DIR) / "data/dat" / name))
            << name;
    }
    EXPECT_EQ(bytesOf(share() / "qingheng/help/index.html"), bytesOf(fs::path(QH_SOURCE_DIR) / "data/help/index.html"));
    const std::string png = bytesOf(share() / "icons/hicolor/256x256/apps" / (kDesktopId + ".png"));
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(12, 12), std::string("IHDR\0\0\1\0\0\0\1\0", 12)) << "the icon is 256 × 256";
}

TEST_F(InstalledTree, TheInstalledCommandLineRunsOnTheInstalledData) {
    const TemporaryHome user("installeduser");
    const fs::path xdg = user / "xdg";
    const CliRun version = installedCli("--version", xdg);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("qingheng-cli 3\\.3\\.[0-9]+\n"))) << version.out;

    const CliRun where = installedCli("--print-home", xdg);
    EXPECT_EQ(where.exitCode, 0);
    EXPECT_EQ(where.out, (xdg / "qingheng").string() + "\nper-user\n");

    // 天 4 strokes (震 221) over 下 3 (离 121), total 7 moves the bottom line: read from the
    // installed stroke table, as the new per-user folder has none.
    const CliRun cast = installedCli("cast chars 天下", xdg);
    ASSERT_EQ(cast.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(cast.out)["main"], "221123");

    // The chart picture starts its own offscreen drawing, without a display.
    const fs::path png = user / "chart.png";
    const CliRun picture =
        installedCli("chart --code 111114 --time '2024-02-10 09:30' --png " + shellQuote(png.string()), xdg);
    EXPECT_EQ(picture.exitCode, 0);
    EXPECT_EQ(bytesOf(png).substr(1, 3), "PNG");
    EXPECT_FALSE(fs::exists(xdg)) << "the command line creates no home";
}

TEST_F(InstalledTree, TheDesktopEntryAndTheMetainfoPassTheirValidatorsAndNameEachOther) {
    const fs::path desktop = share() / "applications" / (kDesktopId + ".desktop");
    const fs::path metainfo = share() / "metainfo" / (kDesktopId + ".metainfo.xml");
    const CliRun entry = runCommand("desktop-file-validate " + shellQuote(desktop.string()), true);
    EXPECT_EQ(entry.exitCode, 0) << entry.out;
    const CliRun info = runCommand("appstreamcli validate --no-net " + shellQuote(metainfo.string()), true);
    EXPECT_EQ(info.exitCode, 0) << info.out;

    const std::string text = bytesOf(desktop);
    EXPECT_EQ(desktopValue(text, "Name"), "青衡六爻");
    EXPECT_EQ(desktopValue(text, "Name[zh_CN]"), "青衡六爻");
    EXPECT_EQ(desktopValue(text, "Name[en]"), "Qingheng Liuyao");
    EXPECT_EQ(desktopValue(text, "Categories"), "Utility;Education;");
    EXPECT_TRUE(fs::exists(root() / "usr/bin" / desktopValue(text, "Exec"))) << desktopValue(text, "Exec");
    EXPECT_EQ(desktopValue(text, "Icon"), kDesktopId);

    const std::string xml = bytesOf(metainfo);
    EXPECT_NE(xml.find("<launchable type=\"desktop-id\">" + kDesktopId + ".desktop</launchable>"), std::string::npos);
    const std::string version = installedCli("--version", root() / "xdg").out;
    EXPECT_NE(xml.find("<release version=\"" + version.substr(13, version.size() - 14) + "\""), std::string::npos)
        << version;
}

TEST_F(InstalledTree, TheCopyrightFileCarriesTheLicence) {
    const std::string copyright = bytesOf(share() / "doc/qingheng/copyright");
    EXPECT_NE(copyright.find("License: Expat\n"), std::string::npos);
    std::istringstream licence(bytesOf(fs::path(QH_SOURCE_DIR) / "LICENSE"));
    std::string line;
    bool inText = false;
    while (std::getline(licence, line)) {
        inText = inText || line.starts_with("Permission is hereby granted");
        if (!inText) continue;
        const std::string expected = line.empty() ? "\n .\n" : "\n " + line + "\n";
        EXPECT_NE(copyright.find(expected), std::string::npos) << line;
    }
    EXPECT_TRUE(inText);
}

// The .deb: the same files, its name and version from the project, and the libraries the
// programs link found by dpkg-shlibdeps.
TEST(DebianPackage, HoldsTheInstallationAndTheLibrariesItNeeds) {
    const TemporaryHome out("deb");
    const CliRun built = runCommand("cd " + shellQuote(out.path().string()) + " && " + QH_CPACK_COMMAND +
                                        " -G DEB -B " + shellQuote(out.path().string()) + " --config " +
                                        shellQuote(std::string(QH_BUILD_DIR) + "/CPackConfig.cmake"),
                                    true);
    ASSERT_EQ(built.exitCode, 0) << built.out;
    const std::string version = runCommand(std::string(QH_BIN_DIR) + "/qingheng-cli --version").out.substr(13);
    const fs::path deb = out / ("qingheng_" + version.substr(0, version.size() - 1) + "_amd64.deb");
    ASSERT_TRUE(fs::exists(deb)) << built.out;
    const std::string debArg = shellQuote(deb.string());

    const std::string control = runCommand("dpkg-deb -f " + debArg).out;
    EXPECT_NE(control.find("Package: qingheng\n"), std::string::npos) << control;
    EXPECT_NE(control.find("Architecture: amd64\n"), std::string::npos) << control;
    for (const char* library : {"libc6 (", "libqt6core6 (", "libqt6gui6 (", "libqt6widgets6 (", "libqt6printsupport6 (",
                                "libfmt9 (", "libopencc1.1 ("}) {
        EXPECT_NE(control.find(library), std::string::npos) << library << "\n" << control;
    }
    EXPECT_NE(control.find("Recommends: fonts-arphic-uming, qt6-translations-l10n\n"), std::string::npos) << control;

    std::set<std::string> files;
    std::istringstream listing(runCommand("dpkg-deb --fsys-tarfile " + debArg + " | tar -t").out);
    for (std::string line; std::getline(listing, line);) {
        if (!line.ends_with('/')) files.insert(line.substr(2));  // "./usr/…"
    }
    EXPECT_EQ(files, kInstalledFiles);
    const std::string copyright =
        runCommand("dpkg-deb --fsys-tarfile " + debArg + " | tar -xO ./usr/share/doc/qingheng/copyright").out;
    EXPECT_NE(copyright.find("License: Expat\n Permission is hereby granted"), std::string::npos) << copyright;
}
