#include "platform/CachedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace qingheng {
namespace {

std::int64_t nanoseconds(const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

std::int64_t nowNs() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return nanoseconds(t);
}

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::string> readAll(const std::filesystem::path& path, std::int64_t sizeHint) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data(static_cast<std::size_t>(std::max<std::int64_t>(sizeHint, 0)) + 1, '\0');
    std::size_t used = 0;
    std::optional<std::string> bytes;
    for (;;) {
        if (used == data.size()) data.resize(data.size() * 2);  // it grew since stat
        const ssize_t n = ::read(fd, data.data() + used, data.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        if (n == 0) {
            data.resize(used);
            bytes = std::move(data);
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return bytes;
}

}  // namespace

FileStamp FileSnapshot::statFile(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return {true,
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

bool FileSnapshot::refresh(const std::filesystem::path& path) {
    // The stamp is taken before the bytes are read: a write in between shows as a changed
    // stamp at the next call, never as new bytes filed under an old stamp.
    const FileStamp stamp = stampOf_(path);
    const bool samePath = known_ && path.native() == path_.native();
    if (samePath && !unsure_ && stamp == stamp_) return false;

    const std::int64_t lookedAt = nowNs();
    std::optional<std::string> bytes = stamp.exists ? readAll(path, stamp.size) : std::nullopt;
    unsure_ = stamp.exists && std::max(stamp.modifiedNs, stamp.changedNs) > lookedAt - kUnsureWindowNs;
    const bool changed = !samePath || bytes != bytes_;
    if (!samePath) path_ = path;
    stamp_ = stamp;
    bytes_ = std::move(bytes);
    known_ = true;
    return changed;
}

}  // namespace qingheng
