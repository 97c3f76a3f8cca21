#pragma once
// The settings files in the dat folder. Each key with its default is written once here and
// read through these tables; readers read at the time of use so a change applies at once.
#include <string_view>

#include "platform/IniFile.h"
#include "platform/Status.h"

namespace qingheng {

struct IntSetting {
    std::string_view section;
    std::string_view key;
    int defaultValue;
};

struct BoolSetting {
    std::string_view section;
    std::string_view key;
    bool defaultValue;
};

// dat/set.ini: chart options.
inline constexpr std::string_view kSetIniFile = "set.ini";
namespace setini {
inline constexpr IntSetting kQianGua{"set", "qiangua", 0};  // 乾卦初爻: 0 从子起, 1 从午起
inline constexpr BoolSetting kNaGan{"set", "nagan", false};  // 显示六爻纳干
inline constexpr IntSetting kTimeGua{"set", "timegua", 0};  // 时间起卦: 0 月份以节入定, 1 月份以农历定
}  // namespace setini

inline int readSetting(const IniFile& ini, const IntSetting& s) {
    return ini.readInteger(s.section, s.key, s.defaultValue);
}
inline bool readSetting(const IniFile& ini, const BoolSetting& s) {
    return ini.readBool(s.section, s.key, s.defaultValue);
}
inline void writeSetting(IniFile& ini, const IntSetting& s, int value) { ini.writeInteger(s.section, s.key, value); }
inline void writeSetting(IniFile& ini, const BoolSetting& s, bool value) { ini.writeBool(s.section, s.key, value); }

struct ChartSettings {
    int qiangua = setini::kQianGua.defaultValue;
    bool nagan = setini::kNaGan.defaultValue;
    int timegua = setini::kTimeGua.defaultValue;
};

// Reads dat/set.ini now; a missing file or key gives the defaults.
ChartSettings readChartSettings();
// Writes the three options to dat/set.ini, creating the dat folder when needed.
Status writeChartSettings(const ChartSettings& settings);

}  // namespace qingheng
