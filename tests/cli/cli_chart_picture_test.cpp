// qingheng-cli chart --png/--pdf/--plum and --version: pictures written without a window, the
// text kept as text in the PDF, and refusals that leave no file behind.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "CliRunner.h"
#include "TemporaryHome.h"

using qingheng::testing::runCli;
using qingheng::testing::runCommand;
using qingheng::testing::shellQuote;
using qingheng::testing::TemporaryHome;
namespace fs = std::filesystem;

namespace {

const std::string kChart = "chart --code 111114 --time '2024-02-10 09:30' --use-god 妻财 ";

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// The text pdftotext reads, runs of blanks made one.
std::string pdfText(const fs::path& pdf) {
    const auto run = runCommand("pdftotext " + shellQuote(pdf.string()) + " -");
    return std::regex_replace(run.out, std::regex("[ \t]+"), " ");
}

}  // namespace

TEST(ChartPicture, PngIsAPictureOfTheWholeReportAndOnlyJsonIsPrintedBesideIt) {
    const TemporaryHome dir("clipng");
    const fs::path png = dir / "chart.png";
    const auto run = runCli(kChart + "--png " + shellQuote(png.string()));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    const auto json = runCli(kChart + "--json --png " + shellQuote((dir / "json.png").string()));
    EXPECT_EQ(nlohmann::json::parse(json.out)["main"]["name"], "天风姤");
    EXPECT_TRUE(fs::exists(dir / "json.png"));
    const std::string bytes = bytesOf(png);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const std::uint32_t width = bigEndian(bytes, 16), height = bigEndian(bytes, 20);
    EXPECT_EQ(width % 2, 0u);
    EXPECT_EQ(height % 2, 0u);
    // Every row of the six-lines report, not one screen of it: rows are at least 13 pixels
    // high (10 points, the analysis section) at twice the scale.
    const std::string text = runCli(kChart).out;
    const auto rows = static_cast<std::uint32_t>(std::count(text.begin(), text.begin() + text.find("\n----\n"), '\n'));
    EXPECT_GT(rows, 80u);
    EXPECT_GE(height, 2u * rows * 13u);
}

TEST(ChartPicture, PdfKeepsThePillarRowAsText) {
    const TemporaryHome dir("clipdf");
    const fs::path pdf = dir / "chart.pdf";
    ASSERT_EQ(runCli(kChart + "--pdf " + shellQuote(pdf.string())).exitCode, 0);
    EXPECT_EQ(bytesOf(pdf).substr(0, 5), "%PDF-");
    const std::string text = pdfText(pdf);
    EXPECT_NE(text.find("干支： 甲辰年 丙寅月 甲辰日 己巳时 (卦身：午)\n"), std::string::npos) << text.substr(0, 600);
    EXPECT_NE(text.find("爻像解析"), std::string::npos);
}

TEST(ChartPicture, PlumPicturesThePlumBlossomReport) {
    const TemporaryHome dir("cliplum");
    const fs::path pdf = dir / "plum.pdf";
    ASSERT_EQ(runCli(kChart + "--plum --pdf " + shellQuote(pdf.string())).exitCode, 0);
    const std::string text = pdfText(pdf);
    EXPECT_NE(text.find("卦像解析"), std::string::npos);
    EXPECT_EQ(text.find("爻像解析"), std::string::npos);
}

TEST(ChartPicture, AFileThatCannotBeWrittenEndsWithItsNameAndExitCode1) {
    const TemporaryHome dir("clifail");
    for (const char* option : {"--png", "--pdf"}) {
        const fs::path file = dir / "missing" / "chart";
        const auto run = runCli(kChart + option + " " + shellQuote(file.string()), true);
        EXPECT_EQ(run.exitCode, 1) << option;
        EXPECT_NE(run.out.find("无法写入文件 " + file.string()), std::string::npos) << run.out;
        EXPECT_FALSE(fs::exists(dir / "missing")) << option;
    }
    // A refused chart writes nothing either.
    const fs::path png = dir / "late.png";
    EXPECT_EQ(runCli("chart --code 111111 --time '2050-12-31 23:30' --png " + shellQuote(png.string())).exitCode, 1);
    EXPECT_FALSE(fs::exists(png));
}

TEST(ProgramVersion, VersionNamesTheProgramAndA33Release) {
    const auto run = runCli("--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(std::regex_match(run.out, std::regex("qingheng-cli 3\\.3\\.[0-9]+\n"))) << run.out;
}
