#include "platform/IniFile.h"

#include <SimpleIni.h>

#include <charconv>
#include <system_error>

#include <fmt/format.h>

#include "platform/FileUtil.h"
#include "platform/Gbk.h"

namespace qingheng {

struct IniFile::Impl {
    CSimpleIniA ini{false, false, false};  // no UTF-8 conversion, unique keys, single-line values
};

IniFile::IniFile(std::filesystem::path path) : IniFile(path, readFileBytes(path)) {}

IniFile::IniFile(std::filesystem::path path, const std::optional<std::string>& bytes)
    : path_(std::move(path)), impl_(std::make_unique<Impl>()) {
    impl_->ini.SetSpaces(false);
    if (!bytes) return;  // missing file: every read gives its default
    const auto utf8 = gbk::toUtf8(*bytes);
    if (!utf8) {
        loadStatus_ = Status::failure(fmt::format("设置文件 {} 不是有效的GBK文本", path_.string()));
        return;
    }
    if (impl_->ini.LoadData(utf8->data(), utf8->size()) < 0) {
        loadStatus_ = Status::failure(fmt::format("无法读取设置文件 {}", path_.string()));
    }
}

IniFile::~IniFile() = default;

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
    const std::string s(section), k(key);
    const char* value = impl_->ini.GetValue(s.c_str(), k.c_str(), nullptr);
    return value ? std::string(value) : std::string(def);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int def) const {
    const std::string text = readString(section, key, "");
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ') ++first;
    if (first < last && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end == first) return def;
    return value;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
    const std::string text = readString(section, key, "");
    if (text == "1" || text == "true" || text == "True" || text == "TRUE") return true;
    if (text == "0" || text == "false" || text == "False" || text == "FALSE") return false;
    return def;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    const std::string s(section), k(key);
    return impl_->ini.GetValue(s.c_str(), k.c_str(), nullptr) != nullptr;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string s(section), k(key), v(value);
    impl_->ini.SetValue(s.c_str(), k.c_str(), v.c_str());
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

Status IniFile::save() const {
    std::string utf8;
    if (impl_->ini.Save(utf8, false) < 0) {
        return Status::failure(fmt::format("无法保存设置文件 {}", path_.string()));
    }
    // Files on disk use the platform's line ends.
    std::string text;
    text.reserve(utf8.size() + 64);
    for (char c : utf8) {
        if (c == '\n') text += '\r';
        text += c;
    }
    const auto bytes = gbk::fromUtf8(text);
    if (!bytes) {
        return Status::failure(fmt::format("设置文件 {} 含有无法以GBK保存的文字", path_.string()));
    }
    if (path_.has_parent_path()) {
        if (Status s = makeFolder(path_.parent_path()); !s) return s;
    }
    return writeFileAtomically(path_, *bytes);
}

}  // namespace qingheng
