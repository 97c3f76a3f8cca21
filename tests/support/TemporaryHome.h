#pragma once
// A private program folder for one test: a fresh, empty folder under the system's temporary
// folder, removed again when the test ends. Core and window tests use it alike (no Qt here).
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"

namespace qingheng::testing {

class TemporaryHome {
public:
    // label names the folder, so a test left behind by a crash can be told apart; base is
    // the folder it is made in (the system's temporary folder unless given).
    explicit TemporaryHome(std::string_view label = "home", const std::filesystem::path& base = {}) {
        const std::filesystem::path parent = base.empty() ? std::filesystem::temp_directory_path() : base;
        std::string pattern = (parent / ("qingheng_" + std::string(label) + "_XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
        path_ = pattern;
    }
    ~TemporaryHome() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path dat() const { return path_ / "dat"; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Makes it the program folder the code under test reads (dat files, reports, settings).
    TemporaryHome& useAsProgramFolder() {
        setProgramFolder(path_);
        return *this;
    }
    // Creates the dat folder, as a program that has run once leaves it.
    TemporaryHome& withDatFolder() {
        std::filesystem::create_directories(dat());
        return *this;
    }
    // Copies files of the build's dat folder (the shipped data) into this one's.
    TemporaryHome& withShippedFiles(std::initializer_list<std::string_view> names) {
        withDatFolder();
        for (std::string_view name : names) {
            std::filesystem::copy_file(std::filesystem::path(QH_BIN_DIR) / "dat" / name, dat() / name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
        return *this;
    }
    // Writes a file of the dat folder, bytes as given; returns its path.
    std::filesystem::path writeDatFile(std::string_view name, std::string_view bytes) {
        withDatFolder();
        const std::filesystem::path file = dat() / name;
        std::ofstream out(file, std::ios::binary);
        out << bytes;
        if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
        return file;
    }
    // Writes a file of the dat folder as the program stores text: UTF-8 given, GBK on disk.
    std::filesystem::path writeGbkDatFile(std::string_view name, std::string_view utf8) {
        const std::optional<std::string> bytes = gbk::fromUtf8(utf8);
        if (!bytes) throw std::runtime_error("not GBK text: " + std::string(utf8));
        return writeDatFile(name, *bytes);
    }

private:
    std::filesystem::path path_;
};

// A folder in memory (/dev/shm) when the system has one, else the temporary folder: tests
// that create and remove thousands of files run there in a fraction of the time.
inline std::filesystem::path memoryFolder() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    if (std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0) return shm;
    return std::filesystem::temp_directory_path();
}

}  // namespace qingheng::testing
