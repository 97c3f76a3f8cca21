#include "platform/Settings.h"

#include <algorithm>

#include "platform/CachedFile.h"
#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"

namespace qingheng {
namespace {

ChartSettings parseChartSettings(const std::filesystem::path& path, const std::optional<std::string>& bytes) {
    const IniFile ini(path, bytes);
    return {readSetting(ini, setini::kQianGua), readSetting(ini, setini::kNaGan), readSetting(ini, setini::kTimeGua)};
}

// Every chart asks for the settings; the file is parsed again only when it changed.
CachedFile<ChartSettings>& chartSettingsFile() {
    static CachedFile<ChartSettings> file(parseChartSettings);
    return file;
}

}  // namespace

ChartSettings readChartSettings() { return *chartSettingsFile().get(keptDatFile(kSetIniFile)); }

Status writeChartSettings(const ChartSettings& settings) {
    IniFile ini(datFile(kSetIniFile));
    writeSetting(ini, setini::kQianGua, settings.qiangua);
    writeSetting(ini, setini::kNaGan, settings.nagan);
    writeSetting(ini, setini::kTimeGua, settings.timegua);
    const Status saved = ini.save();
    chartSettingsFile().invalidate();
    return saved;
}

WindowSettings readWindowSettings(const IniFile& ini) {
    WindowSettings w;
    w.left = readSetting(ini, lyinit::kLeft);
    w.top = readSetting(ini, lyinit::kTop);
    w.width = readSetting(ini, lyinit::kWidth);
    w.height = readSetting(ini, lyinit::kHeight);
    w.storedGeometry = ini.hasKey(lyinit::kWidth.section, lyinit::kWidth.key);
    w.state = readSetting(ini, lyinit::kState);
    w.fontName = readSetting(ini, lyinit::kFontName);
    w.fontSize = readSetting(ini, lyinit::kFontSize);
    w.backColor = readSetting(ini, lyinit::kBackColor);
    w.listWidth = std::max(readSetting(ini, lyinit::kListWidth), lyinit::kMinPanelWidth);
    w.memoWidth = std::max(readSetting(ini, lyinit::kMemoWidth), lyinit::kMinPanelWidth);
    return w;
}

void writeWindowSettings(IniFile& ini, const WindowSettings& w) {
    if (w.state == 0) {
        writeSetting(ini, lyinit::kLeft, w.left);
        writeSetting(ini, lyinit::kTop, w.top);
        writeSetting(ini, lyinit::kWidth, w.width);
        writeSetting(ini, lyinit::kHeight, w.height);
    }
    writeSetting(ini, lyinit::kState, w.state);
    writeSetting(ini, lyinit::kFontName, w.fontName);
    writeSetting(ini, lyinit::kFontSize, w.fontSize);
    writeSetting(ini, lyinit::kBackColor, w.backColor);
    writeSetting(ini, lyinit::kListWidth, w.listWidth);
    writeSetting(ini, lyinit::kMemoWidth, w.memoWidth);
}

namespace {
constexpr int kMaxCategories = 1000;
}

std::vector<std::string> readCategories(const IniFile& ini, MissingCategory missing) {
    // A damaged count must not make a dialog list millions of lines.
    const int count = std::min(readSetting(ini, lyinit::kClassCount), kMaxCategories);
    const std::string_view fallback = missing == MissingCategory::DefaultName ? lyinit::kDefaultCategory : "";
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        names.push_back(ini.readString(lyinit::kClassesSection, std::to_string(i), fallback));
    }
    return names;
}

bool appendCategory(IniFile& ini, const std::string& name) {
    if (name.empty() || !gbk::canEncode(name) || gbk::width(name) > lyinit::kMaxCategoryBytes) return false;
    const std::vector<std::string> names = readCategories(ini, MissingCategory::EmptyLine);
    if (std::find(names.begin(), names.end(), name) != names.end()) return false;
    const int count = static_cast<int>(names.size()) + 1;
    ini.writeString(lyinit::kClassesSection, std::to_string(count), name);
    writeSetting(ini, lyinit::kClassCount, count);
    return true;
}

void writeCategories(IniFile& ini, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        ini.writeString(lyinit::kClassesSection, std::to_string(i + 1), names[i]);
    }
    writeSetting(ini, lyinit::kClassCount, static_cast<int>(names.size()));
}

}  // namespace qingheng
