#include "platform/FileUtil.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fmt/format.h>

namespace qingheng {

std::optional<std::string> readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(buffer).str();
}

Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path temp = path.string() + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return Status::failure(fmt::format("无法写入文件 {}：{}", path.string(), std::strerror(errno)));
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return Status::failure(fmt::format("无法写入文件 {}：{}", path.string(), std::strerror(err)));
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const int err = synced ? errno : syncError;
        ::unlink(temp.c_str());
        return Status::failure(fmt::format("无法写入文件 {}：{}", path.string(), std::strerror(err)));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Status::failure(fmt::format("无法保存文件 {}：{}", path.string(), std::strerror(err)));
    }
    return Status::success();
}

}  // namespace qingheng
