#include "reference/PhraseBook.h"

#include <algorithm>
#include <system_error>

#include "platform/IniFile.h"

namespace qingheng {

PhraseSection ReadPhraseSection(const std::filesystem::path& file, std::string_view category) {
    PhraseSection out;
    std::error_code ec;
    out.found = std::filesystem::exists(file, ec);
    if (!out.found) return out;
    const IniFile ini(file);
    if (!ini.loadStatus()) {
        out.status = ini.loadStatus();
        return out;
    }
    const int count = std::min(ini.readInteger(category, "tol", 0), kMaxPhrases);
    for (int i = 1; i <= count; ++i) {
        const std::string key = std::to_string(i);
        out.text += key + ":" + ini.readString(category, key, "") + "\n";
    }
    return out;
}

}  // namespace qingheng
