#include "platform/FileUtil.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fmt/format.h>

namespace qingheng {

namespace fs = std::filesystem;

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(buffer).str();
}

Status writeFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path temp = path.string() + ".tmp";
    auto fail = [&](const char* what, int err) {
        ::unlink(temp.c_str());
        return Status::failure(fmt::format("{} {}：{}", what, path.string(), systemErrorText(err)));
    };
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Status::failure(fmt::format("无法写入文件 {}：{}", path.string(), systemErrorText(errno)));
    const bool written = writeAt(fd, bytes.data(), bytes.size(), 0);
    const int writeError = errno;
    const bool synced = written && ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written) return fail("无法写入文件", writeError);
    if (!synced || !closed) return fail("无法写入文件", synced ? errno : syncError);
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("无法保存文件", errno);
    return Status::success();
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

bool readAt(int fd, char* data, std::size_t size, std::int64_t offset) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = 0;  // end of file: the caller reports a short file
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

bool writeAt(int fd, const char* data, std::size_t size, std::int64_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

std::string systemErrorText(int err) { return std::strerror(err); }

Status copyFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) return Status::failure(fmt::format("无法复制文件 {} 到 {}：{}", from.string(), to.string(), ec.message()));
    return Status::success();
}

Status removeFile(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec) return Status::failure(fmt::format("无法删除文件 {}：{}", path.string(), ec.message()));
    return Status::success();
}

Status makeFolder(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        return Status::failure(
            fmt::format("无法建立文件夹 {}：{}", dir.string(), ec ? ec.message() : "同名文件已存在"));
    }
    return Status::success();
}

}  // namespace qingheng
