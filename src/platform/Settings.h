#pragma once
// The settings files in the dat folder. Each key with its default is written once here and
// read through these tables; readers read at the time of use so a change applies at once.
#include <string>
#include <string_view>
#include <vector>

#include "platform/IniFile.h"
#include "platform/Status.h"

namespace qingheng {

struct IntSetting {
    std::string_view section;
    std::string_view key;
    int defaultValue;
};

struct StringSetting {
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
};

struct BoolSetting {
    std::string_view section;
    std::string_view key;
    bool defaultValue;
};

// dat/set.ini: chart options.
inline constexpr std::string_view kSetIniFile = "set.ini";
namespace setini {
inline constexpr IntSetting kQianGua{"set", "qiangua", 0};   // 乾卦初爻: 0 从子起, 1 从午起
inline constexpr BoolSetting kNaGan{"set", "nagan", false};  // 显示六爻纳干
inline constexpr IntSetting kTimeGua{"set", "timegua", 0};   // 时间起卦: 0 月份以节入定, 1 月份以农历定
}  // namespace setini

// dat/lyinit.ini: main window state, report font and colour, category list.
inline constexpr std::string_view kLyInitFile = "lyinit.ini";
namespace lyinit {
inline constexpr IntSetting kLeft{"winpos", "left", 10};
inline constexpr IntSetting kTop{"winpos", "top", 10};
inline constexpr IntSetting kWidth{"winpos", "width", 400};
inline constexpr IntSetting kHeight{"winpos", "height", 400};
inline constexpr IntSetting kState{"winpos", "state", 0};  // 0 normal, 1 minimised, 2 maximised
inline constexpr IntSetting kListWidth{"winpos", "listwid", 180};
inline constexpr IntSetting kMemoWidth{"winpos", "meowid", 120};
inline constexpr int kMinPanelWidth = 30;  // list and memo are never narrower
inline constexpr StringSetting kFontName{"minggao", "fname", "宋体"};
inline constexpr IntSetting kFontSize{"minggao", "fsize", 12};
inline constexpr IntSetting kBackColor{"minggao", "bcolor", 0xC0CCD0};  // 0x00BBGGRR
inline constexpr std::string_view kClassesSection = "classes";
inline constexpr IntSetting kClassCount{"classes", "count", 0};
// A listed category whose key is missing reads as this name in the dialogs.
inline constexpr std::string_view kDefaultCategory = "临时保存";
// The longest category name the list keeps, in GBK bytes (six Chinese characters).
inline constexpr int kMaxCategoryBytes = 12;
}  // namespace lyinit

inline int readSetting(const IniFile& ini, const IntSetting& s) {
    return ini.readInteger(s.section, s.key, s.defaultValue);
}
inline bool readSetting(const IniFile& ini, const BoolSetting& s) {
    return ini.readBool(s.section, s.key, s.defaultValue);
}
inline std::string readSetting(const IniFile& ini, const StringSetting& s) {
    return ini.readString(s.section, s.key, s.defaultValue);
}
inline void writeSetting(IniFile& ini, const StringSetting& s, std::string_view value) {
    ini.writeString(s.section, s.key, value);
}
inline void writeSetting(IniFile& ini, const IntSetting& s, int value) { ini.writeInteger(s.section, s.key, value); }
inline void writeSetting(IniFile& ini, const BoolSetting& s, bool value) { ini.writeBool(s.section, s.key, value); }

struct ChartSettings {
    int qiangua = setini::kQianGua.defaultValue;
    bool nagan = setini::kNaGan.defaultValue;
    int timegua = setini::kTimeGua.defaultValue;
};

// The options as dat/set.ini holds them now; a missing file or key gives the defaults. The
// file is parsed again only when it changed on disk or was written by writeChartSettings.
ChartSettings readChartSettings();
// Writes the three options to dat/set.ini, creating the dat folder when needed.
Status writeChartSettings(const ChartSettings& settings);

// The main window's state as stored in dat/lyinit.ini; widths are raised to the minimum
// when read.
struct WindowSettings {
    int left = lyinit::kLeft.defaultValue;
    int top = lyinit::kTop.defaultValue;
    int width = lyinit::kWidth.defaultValue;
    int height = lyinit::kHeight.defaultValue;
    int state = lyinit::kState.defaultValue;
    std::string fontName{lyinit::kFontName.defaultValue};
    int fontSize = lyinit::kFontSize.defaultValue;
    int backColor = lyinit::kBackColor.defaultValue;
    int listWidth = lyinit::kListWidth.defaultValue;
    int memoWidth = lyinit::kMemoWidth.defaultValue;
    bool storedGeometry = false;  // the file holds a window size (not a first start)
};

WindowSettings readWindowSettings(const IniFile& ini);
// Writes the geometry only when the window is in its normal state, then the rest; the
// caller saves the file.
void writeWindowSettings(IniFile& ini, const WindowSettings& settings);

// How a listed category whose key is missing reads.
enum class MissingCategory { DefaultName, EmptyLine };

// Categories 1 … count of section "classes".
std::vector<std::string> readCategories(const IniFile& ini, MissingCategory missing);
// Writes the names as keys 1 … n and count = n; the caller saves the file.
void writeCategories(IniFile& ini, const std::vector<std::string>& names);
// Appends a category typed while saving a case, as key n + 1, unless the list has it or it
// is longer than a listed name may be; true when it was appended. The caller saves the file.
bool appendCategory(IniFile& ini, const std::string& name);

}  // namespace qingheng
