// Both reports and their emphasis for 320 varied charts (all 64 hexagrams, none to six
// moving lines, hidden spirits, stems shown or not, both 乾 settings, lunar and leap dates,
// the number and character headers, a position) compared with fingerprints stored in
// tests/data/chart_fingerprints.txt, which were taken from the program before the report
// code was tuned for speed. Any changed byte or span of either report fails the chart.
//
// Regenerate the file only when a report is meant to change:
//   QINGHENG_WRITE_FINGERPRINTS=tests/data/chart_fingerprints.txt build/bin/test_chart_fingerprint_test
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "chart/Liuyaoex.h"
#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

constexpr int kCharts = 320;

// A sayings file of our own, so that an edit of the shipped one does not touch these charts.
std::string sayingsFile() {
    static constexpr std::array<std::string_view, 8> kTopics = {"家宅", "婚姻", "求名", "生产",
                                                                "疾病", "交易", "官讼", "出行"};
    std::string text;
    for (Trigram t = 0; t < 8; ++t) {
        text.append("[").append(TrigramName(t)).append("卦]\r\n");
        for (std::size_t k = 0; k < kTopics.size(); ++k) {
            if ((t + k) % 3 == 0) continue;  // some sayings missing
            text.append(kTopics[k]).append("=").append(TrigramName(t)).append(kTopics[k]).append("之说\r\n");
        }
    }
    return *gbk::fromUtf8(text);
}

// A small fixed generator, so that the charts never depend on the library's randomness.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed) {}
    int below(int n) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) % static_cast<std::uint32_t>(n));
    }

private:
    std::uint32_t state_;
};

struct LeapMonth {
    std::int16_t year, month;
};
constexpr LeapMonth kLeapMonths[] = {{2023, 2}, {2020, 4}, {2017, 6}, {2014, 9}, {2009, 5}, {1995, 8}, {1903, 5}};

// The main code of chart k: hexagram k % 64 with a pattern of moving lines that varies with
// k / 64 (none, one, two, three, all six).
std::string mainCode(int k, Dice& dice) {
    const int bits = k % 64;
    const int pattern = k / 64;
    std::string code(6, '1');
    for (int i = 0; i < 6; ++i) code[i] = (bits >> i) & 1 ? '1' : '2';
    int moving = pattern == 4 ? 6 : pattern;
    for (int tries = 0; moving > 0 && tries < 100; ++tries) {
        const int i = pattern == 4 ? 6 - moving : dice.below(6);
        if (IsMovingLine(code[i])) continue;
        code[i] = code[i] == '1' ? '3' : '4';
        --moving;
    }
    return code;
}

CLiuYaoEx chartNumber(int k) {
    static constexpr const char* kNames[] = {"", "张三", "李四光", "Wang Li", "【客】"};
    static constexpr const char* kQuestions[] = {"", "求财", "问干支", "婚姻如何【成否】", "出行 trip 2024"};
    Dice dice(static_cast<std::uint32_t>(k) * 7919u + 17u);
    CLiuYaoEx e;
    e.settingsOverride = ChartSettings{dice.below(2), dice.below(2) == 1, 0};
    CaseInfo& info = e.caseInfo;
    info.mainCode = mainCode(k, dice);
    info.changedCode = ChangedCode(info.mainCode);
    info.useGod = dice.below(5);
    info.name = kNames[dice.below(5)];
    info.question = kQuestions[dice.below(5)];
    const int calendar = dice.below(6);  // 0-3 Gregorian, 4 lunar, 5 lunar leap
    CastingTime& t = info.castingTime;
    t = {static_cast<std::int16_t>(1901 + dice.below(149)),
         static_cast<std::int16_t>(1 + dice.below(12)),
         static_cast<std::int16_t>(1 + dice.below(28)),
         static_cast<std::int16_t>(dice.below(24)),
         static_cast<std::int16_t>(dice.below(60)),
         0,
         0};
    if (calendar >= 4) {
        t.lunar = 1;
        t.day = static_cast<std::int16_t>(1 + dice.below(29));
    }
    if (calendar == 5) {
        const LeapMonth& leap = kLeapMonths[dice.below(static_cast<int>(std::size(kLeapMonths)))];
        t.year = leap.year;
        t.month = leap.month;
        t.leap = 1;
    }
    const int method = dice.below(5);
    std::string label = "其他方式";
    if (method == 0) {
        info.castingMethod = kMethodNumber;
        info.inputText = std::to_string(100 + dice.below(90000));
        label = "数字起卦";
    } else if (method == 1) {
        info.castingMethod = kMethodCharacters;
        info.inputText = dice.below(2) ? "青衡" : "天地人和";
        label = "汉字起卦";
    }
    if (info.castingMethod == kMethodNumber || info.castingMethod == kMethodCharacters) {
        info.upper = static_cast<std::int16_t>(dice.below(40));
        info.lower = static_cast<std::int16_t>(dice.below(40));
        info.total = static_cast<std::int16_t>(info.upper + info.lower);
    }
    if (dice.below(6) == 0) {
        info.longitude = 87.6f + static_cast<float>(dice.below(400)) / 10.0f;
        info.latitude = 30.0f + static_cast<float>(dice.below(150)) / 10.0f;
    }
    if (!e.Assemble(label)) ADD_FAILURE() << "chart " << k << " " << info.mainCode << ": " << e.errorText;
    return e;
}

// FNV-1a over the text and every field of every span.
std::uint64_t fingerprint(const std::string& text, const std::vector<StyleSpan>& spans) {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&h](std::string_view bytes) {
        for (char c : bytes) {
            h ^= static_cast<std::uint8_t>(c);
            h *= 1099511628211ull;
        }
    };
    mix(text);
    for (const StyleSpan& s : spans) {
        std::ostringstream f;
        f << '|' << s.start << ',' << s.length << ',';
        if (s.color) f << int(s.color->r) << '.' << int(s.color->g) << '.' << int(s.color->b);
        f << ',' << (s.bold ? (*s.bold ? "1" : "0") : "-") << ',' << s.sizeDelta;
        mix(f.str());
    }
    return h;
}

std::string fingerprintLine(int k) {
    const CLiuYaoEx e = chartNumber(k);
    std::ostringstream line;
    line << k << ' ' << e.caseInfo.mainCode << ' ' << std::hex << fingerprint(e.lineText, e.lineSpans) << ' '
         << fingerprint(e.hexText, e.hexSpans);
    return line.str();
}

class ChartFingerprints : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() / ("qingheng_fingerprints_" + std::to_string(::getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        std::ofstream(home_ / "dat" / "meihy.dat", std::ios::binary) << sayingsFile();
        setProgramFolder(home_);
    }
    void TearDown() override { fs::remove_all(home_); }
    fs::path home_;
};

}  // namespace

TEST_F(ChartFingerprints, EveryReportByteAndSpanAsStored) {
    std::vector<std::string> lines;
    for (int k = 0; k < kCharts; ++k) lines.push_back(fingerprintLine(k));

    if (const char* out = std::getenv("QINGHENG_WRITE_FINGERPRINTS")) {
        std::ofstream file(out, std::ios::binary);
        file << "# chart, main code, FNV-1a of the chart report with its spans, of the Mei Hua report with its spans\n";
        for (const std::string& line : lines) file << line << '\n';
        ASSERT_TRUE(file.good()) << out;
        GTEST_SKIP() << "wrote " << out;
    }

    std::ifstream file(fs::path(QH_SOURCE_DIR) / "tests/data/chart_fingerprints.txt");
    ASSERT_TRUE(file) << "tests/data/chart_fingerprints.txt is missing";
    std::vector<std::string> stored;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') stored.push_back(line);
    }
    ASSERT_EQ(stored.size(), lines.size());
    int differing = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k] != stored[k] && ++differing <= 10) ADD_FAILURE() << "now " << lines[k] << ", stored " << stored[k];
    }
    EXPECT_EQ(differing, 0);
}
