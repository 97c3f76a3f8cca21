#include "platform/Settings.h"

#include "platform/ProgramFolder.h"

namespace qingheng {

ChartSettings readChartSettings() {
    const IniFile ini(datFile(kSetIniFile));
    return {readSetting(ini, setini::kQianGua), readSetting(ini, setini::kNaGan), readSetting(ini, setini::kTimeGua)};
}

Status writeChartSettings(const ChartSettings& settings) {
    IniFile ini(datFile(kSetIniFile));
    writeSetting(ini, setini::kQianGua, settings.qiangua);
    writeSetting(ini, setini::kNaGan, settings.nagan);
    writeSetting(ini, setini::kTimeGua, settings.timegua);
    return ini.save();
}

}  // namespace qingheng
