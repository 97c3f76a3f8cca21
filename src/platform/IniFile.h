#pragma once
// An INI settings file: GBK text on disk, UTF-8 through this interface. A missing file,
// section or key reads as the caller's default. Section and key names are matched
// without regard to ASCII case, as on the platform the files come from.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace qingheng {

class IniFile {
public:
    // Reads the file when it exists. A file that is not valid GBK reads as empty
    // (loadStatus() tells why), so the defaults apply.
    explicit IniFile(std::filesystem::path path);
    // The same for bytes already read from path (nullopt: the file is missing or unreadable).
    IniFile(std::filesystem::path path, const std::optional<std::string>& bytes);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    const Status& loadStatus() const { return loadStatus_; }

    std::string readString(std::string_view section, std::string_view key, std::string_view def) const;
    int readInteger(std::string_view section, std::string_view key, int def) const;
    bool readBool(std::string_view section, std::string_view key, bool def) const;
    bool hasKey(std::string_view section, std::string_view key) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // Writes the whole file through a temporary file and a rename, creating the folder
    // when it is missing. Text that GBK cannot encode is refused.
    Status save() const;

private:
    struct Impl;
    std::filesystem::path path_;
    Status loadStatus_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qingheng
