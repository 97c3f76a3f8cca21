#include "platform/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include <fmt/format.h>

#include "platform/FileOps.h"

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

fs::path temporaryNameOf(const fs::path& path) { return path.string() + ".tmp"; }

Status writeFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path temp = temporaryNameOf(path);
    auto fail = [&](const char* what, int err) {
        fileops::removePath(temp);
        return Status::failure(fmt::format("{} {}：{}", what, path.string(), systemErrorText(err)));
    };
    const int fd = fileops::openFile(temp, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return Status::failure(fmt::format("无法写入文件 {}：{}", path.string(), systemErrorText(errno)));
    const bool written = writeAt(fd, bytes.data(), bytes.size(), 0);
    const int writeError = errno;
    const bool synced = written && fileops::syncFile(fd);
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written) return fail("无法写入文件", writeError);
    if (!synced || !closed) return fail("无法写入文件", synced ? errno : syncError);
    if (!fileops::renamePath(temp, path)) return fail("无法保存文件", errno);
    return Status::success();
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
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
    return fileops::writeAt(fd, data, size, offset);
}

std::string systemErrorText(int err) { return std::strerror(err); }

namespace {

Status copyFailure(const fs::path& from, const fs::path& to, const std::string& why) {
    return Status::failure(fmt::format("无法复制文件 {} 到 {}：{}", from.string(), to.string(), why));
}

// Copies the open source into a new file at temp; the caller renames it.
Status copyInto(int source, const fs::path& from, const fs::path& to, const fs::path& temp, Flush flush) {
    FileDescriptor target(fileops::openFile(temp, O_WRONLY | O_CREAT | O_TRUNC));
    if (!target) return copyFailure(from, to, systemErrorText(errno));
    std::string buffer(1 << 20, '\0');
    std::int64_t offset = 0;
    for (;;) {
        const ssize_t n = ::read(source, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return copyFailure(from, to, systemErrorText(errno));
        if (n == 0) break;
        if (!writeAt(target.get(), buffer.data(), static_cast<std::size_t>(n), offset))
            return copyFailure(from, to, systemErrorText(errno));
        offset += n;
    }
    if (flush == Flush::Now && !fileops::syncFile(target.get())) return copyFailure(from, to, systemErrorText(errno));
    return Status::success();
}

}  // namespace

Status copyFile(const fs::path& from, const fs::path& to, FollowLinks follow, Flush flush) {
    FileDescriptor source(
        fileops::openFile(from, O_RDONLY | O_NONBLOCK | (follow == FollowLinks::No ? O_NOFOLLOW : 0)));
    if (!source) {
        const int err = errno;
        return copyFailure(from, to, err == ELOOP ? "这是一个符号链接" : systemErrorText(err));
    }
    struct stat st {};
    if (::fstat(source.get(), &st) != 0) return copyFailure(from, to, systemErrorText(errno));
    if (!S_ISREG(st.st_mode)) return copyFailure(from, to, "不是普通文件");
    const fs::path temp = temporaryNameOf(to);
    Status copied = copyInto(source.get(), from, to, temp, flush);
    if (copied && !fileops::renamePath(temp, to)) copied = copyFailure(from, to, systemErrorText(errno));
    if (!copied) fileops::removePath(temp);
    return copied;
}

Status flushFileSystem(const fs::path& path) {
    if (fileops::syncFileSystem(path)) return Status::success();
    return Status::failure(fmt::format("无法把文件写入磁盘 {}：{}", path.string(), systemErrorText(errno)));
}

Status renameFile(const fs::path& from, const fs::path& to) {
    if (fileops::renamePath(from, to)) return Status::success();
    return Status::failure(fmt::format("无法把 {} 移到 {}：{}", from.string(), to.string(), systemErrorText(errno)));
}

Status removeFile(const fs::path& path) {
    if (fileops::removePath(path) || errno == ENOENT) return Status::success();
    return Status::failure(fmt::format("无法删除文件 {}：{}", path.string(), systemErrorText(errno)));
}

Status removeTree(const fs::path& dir) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(dir, ec);
    if (!fs::exists(st)) return Status::success();
    if (fs::is_directory(st)) {
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(it->path());
        if (ec) return Status::failure(fmt::format("无法读取文件夹 {}：{}", dir.string(), ec.message()));
        for (const fs::path& entry : entries) {
            if (Status s = removeTree(entry); !s) return s;
        }
    }
    return removeFile(dir);
}

Status makeFolder(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return Status::success();
    if (fs::exists(fs::symlink_status(dir, ec)))
        return Status::failure(fmt::format("无法建立文件夹 {}：同名文件已存在", dir.string()));
    const fs::path parent = dir.parent_path();
    if (!parent.empty() && parent != dir) {
        if (Status s = makeFolder(parent); !s) return s;
    }
    if (!fileops::makeFolder(dir) && errno != EEXIST)
        return Status::failure(fmt::format("无法建立文件夹 {}：{}", dir.string(), systemErrorText(errno)));
    if (!fs::is_directory(dir, ec))
        return Status::failure(fmt::format("无法建立文件夹 {}：同名文件已存在", dir.string()));
    return Status::success();
}

void ignoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace qingheng
