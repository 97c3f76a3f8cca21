// The phrase book: the numbered phrases of a category section of dat/meihy.dat.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TemporaryHome.h"
#include "reference/PhraseBook.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

class PhraseFile : public ::testing::Test {
protected:
    void write(const std::string& utf8) { home_.writeGbkDatFile("meihy.dat", utf8); }
    qingheng::testing::TemporaryHome home_{"phrases"};
    const fs::path path_ = home_.dat() / "meihy.dat";
};

}  // namespace

TEST_F(PhraseFile, ListsThePhrasesNumberedFromOne) {
    write("[天气]\ntol=2\n1=父母为雨\n2=子孙为晴\n[求财]\ntol=1\n1=妻财为用\n");
    const PhraseSection s = ReadPhraseSection(path_, "天气");
    EXPECT_TRUE(s.found);
    EXPECT_TRUE(s.status.ok);
    EXPECT_EQ(s.text, "1:父母为雨\n2:子孙为晴\n");
    EXPECT_EQ(ReadPhraseSection(path_, "求财").text, "1:妻财为用\n");
}

TEST_F(PhraseFile, AMissingKeyLeavesItsNumberWithNothingAfterTheColon) {
    write("[天气]\ntol=3\n1=甲\n3=丙\n");
    EXPECT_EQ(ReadPhraseSection(path_, "天气").text, "1:甲\n2:\n3:丙\n");
}

TEST_F(PhraseFile, WithoutAUsableCountTheSectionIsEmpty) {
    for (const char* section : {"[天气]\n1=甲\n", "[天气]\ntol=0\n1=甲\n", "[天气]\ntol=很多\n1=甲\n",
                                "[天气]\ntol=-3\n1=甲\n", "[求财]\ntol=1\n1=甲\n"}) {
        write(section);
        const PhraseSection s = ReadPhraseSection(path_, "天气");
        EXPECT_TRUE(s.found) << section;
        EXPECT_EQ(s.text, "") << section;
    }
}

TEST_F(PhraseFile, HandEditedFilesWithCrLfReadTheSame) {
    write("[天气]\r\ntol=2\r\n1=父母为雨\r\n2=子孙为晴\r\n");
    EXPECT_EQ(ReadPhraseSection(path_, "天气").text, "1:父母为雨\n2:子孙为晴\n");
}

TEST_F(PhraseFile, AnAbsurdCountStopsAtTheLimit) {
    write("[天气]\ntol=2000000000\n1=甲\n");
    const std::string text = ReadPhraseSection(path_, "天气").text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kMaxPhrases);
    EXPECT_TRUE(text.starts_with("1:甲\n2:\n"));
}

TEST_F(PhraseFile, MissingAndUnreadableFilesAreToldApart) {
    const PhraseSection missing = ReadPhraseSection(path_, "天气");
    EXPECT_FALSE(missing.found);
    EXPECT_TRUE(missing.status.ok);
    home_.writeDatFile("meihy.dat", "[x]\ntol=1\n1=\xff\n");  // 0xFF never starts a GBK character
    const PhraseSection broken = ReadPhraseSection(path_, "天气");
    EXPECT_TRUE(broken.found);
    EXPECT_FALSE(broken.status.ok);
}

TEST(PhraseBookData, EveryCategoryOfTheShippedFileHasItsPhrases) {
    const fs::path shipped = fs::path(QH_SOURCE_DIR) / "data" / "dat" / "meihy.dat";
    for (std::string_view category : kPhraseCategories) {
        const PhraseSection s = ReadPhraseSection(shipped, category);
        ASSERT_TRUE(s.found);
        ASSERT_TRUE(s.status.ok) << s.status.message;
        EXPECT_GE(std::count(s.text.begin(), s.text.end(), '\n'), 10) << category;
        EXPECT_EQ(s.text.find(":\n"), std::string::npos) << category << ": a phrase is missing";
    }
}
