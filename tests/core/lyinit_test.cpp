// dat/lyinit.ini: window state with its defaults and rules, and the category list.
#include <gtest/gtest.h>

#include "TemporaryHome.h"
#include "platform/FileUtil.h"
#include "platform/Settings.h"

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

class LyInitTest : public ::testing::Test {
protected:
    qingheng::testing::TemporaryHome folder{"lyinit"};
    fs::path path = folder.dat() / "lyinit.ini";
};

}  // namespace

TEST_F(LyInitTest, FirstStartGivesTheDefaults) {
    const IniFile ini(path);
    const WindowSettings w = readWindowSettings(ini);
    EXPECT_EQ(w.left, 10);
    EXPECT_EQ(w.top, 10);
    EXPECT_EQ(w.width, 400);
    EXPECT_EQ(w.height, 400);
    EXPECT_EQ(w.state, 0);
    EXPECT_EQ(w.fontName, "宋体");
    EXPECT_EQ(w.fontSize, 12);
    EXPECT_EQ(w.backColor, 12635344);
    EXPECT_EQ(w.listWidth, 180);
    EXPECT_EQ(w.memoWidth, 120);
}

TEST_F(LyInitTest, NarrowPanelsAreRaisedToThirtyAndWrittenSo) {
    {
        IniFile ini(path);
        ini.writeInteger("winpos", "listwid", 0);
        ini.writeInteger("winpos", "meowid", -5);
        ASSERT_TRUE(ini.save().ok);  // creates the dat folder
    }
    IniFile ini(path);
    const WindowSettings w = readWindowSettings(ini);
    EXPECT_EQ(w.listWidth, 30);
    EXPECT_EQ(w.memoWidth, 30);
    writeWindowSettings(ini, w);
    EXPECT_EQ(ini.readInteger("winpos", "listwid", 0), 30);
}

TEST_F(LyInitTest, MaximisedWindowKeepsTheNormalGeometry) {
    IniFile ini(path);
    WindowSettings w;
    w.left = 50;
    w.width = 800;
    writeWindowSettings(ini, w);
    w.state = 2;
    w.left = 0;
    w.width = 1920;
    writeWindowSettings(ini, w);
    ASSERT_TRUE(ini.save().ok);
    const std::string text = readFileBytes(path).value();
    EXPECT_NE(text.find("left=50"), std::string::npos);
    EXPECT_NE(text.find("width=800"), std::string::npos);
    EXPECT_NE(text.find("state=2"), std::string::npos);
    EXPECT_NE(text.find("bcolor=12635344"), std::string::npos);
    EXPECT_NE(text.find("fname=\xCB\xCE\xCC\xE5"), std::string::npos);  // 宋体 in GBK
}

TEST_F(LyInitTest, CategoryListReadsMissingKeysByReader) {
    IniFile ini(path);
    EXPECT_TRUE(readCategories(ini, MissingCategory::DefaultName).empty());
    ini.writeInteger("classes", "count", 3);
    ini.writeString("classes", "1", "财运");
    ini.writeString("classes", "3", "婚姻");
    ini.writeString("classes", "4", "多余");
    EXPECT_EQ(readCategories(ini, MissingCategory::DefaultName),
              (std::vector<std::string>{"财运", "临时保存", "婚姻"}));
    EXPECT_EQ(readCategories(ini, MissingCategory::EmptyLine), (std::vector<std::string>{"财运", "", "婚姻"}));
    writeCategories(ini, {"出行", "健康"});
    EXPECT_EQ(readCategories(ini, MissingCategory::EmptyLine), (std::vector<std::string>{"出行", "健康"}));
    ini.writeInteger("classes", "count", 2000000000);  // a damaged count stays bounded
    EXPECT_LE(readCategories(ini, MissingCategory::EmptyLine).size(), 1000u);
}

TEST_F(LyInitTest, ATypedCategoryIsAppendedOnceAndOnlyWhenTheListCanHoldIt) {
    IniFile ini(path);
    writeCategories(ini, {"财运", "婚姻"});
    struct Case {
        std::string name;
        bool appended;
    };
    for (const Case& c : {Case{"出行", true},
                          {"出行", false},           // listed now
                          {"婚姻", false},           // listed before
                          {"六个汉字名字", true},    // 12 bytes
                          {"六个汉字名字X", false},  // 13 bytes
                          {"", false},
                          {"😀", false}})
        EXPECT_EQ(appendCategory(ini, c.name), c.appended) << c.name;
    EXPECT_EQ(readCategories(ini, MissingCategory::EmptyLine),
              (std::vector<std::string>{"财运", "婚姻", "出行", "六个汉字名字"}));
}
