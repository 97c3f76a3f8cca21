#include "platform/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace qingheng::fileops {
namespace {

struct Seam {
    FaultHook hook;
    bool dead = false;  // a simulated crash happened
};

Seam& seam() {
    static Seam s;
    return s;
}

// The fate of one call. Throws at a crash point; a dead seam fails every call.
Fault gate(Op op, std::string_view target) {
    Seam& s = seam();
    if (s.dead) return Fault::Fail;
    if (!s.hook) return Fault::None;
    const Fault fault = s.hook(op, target);
    if (fault == Fault::Crash) {
        s.dead = true;
        throw SimulatedCrash{};
    }
    return fault;
}

bool failWith(int err) {
    errno = err;
    return false;
}

}  // namespace

std::string_view opName(Op op) {
    switch (op) {
        case Op::Open:
            return "open";
        case Op::Write:
            return "write";
        case Op::Rename:
            return "rename";
        case Op::Remove:
            return "remove";
        case Op::Sync:
            return "fsync";
        case Op::MakeFolder:
            return "mkdir";
    }
    return "?";
}

void setFaultHook(FaultHook hook) {
    seam().hook = std::move(hook);
    seam().dead = false;
}

int openFile(const std::filesystem::path& path, int flags, mode_t mode) {
    if (gate(Op::Open, path.native()) != Fault::None) {
        errno = EIO;
        return -1;
    }
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

bool writeAt(int fd, const char* data, std::size_t size, std::int64_t offset) {
    if (gate(Op::Write, {}) != Fault::None) {
        // A disk that fills up part-way: the first half lands, then the error.
        if (size > 1 && !seam().dead) {
            const std::size_t half = size / 2;
            if (::pwrite(fd, data, half, static_cast<off_t>(offset)) < 0) return false;
        }
        return failWith(ENOSPC);
    }
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

bool renamePath(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (gate(Op::Rename, from.native()) != Fault::None) return failWith(EIO);
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removePath(const std::filesystem::path& path) {
    if (gate(Op::Remove, path.native()) != Fault::None) return failWith(EIO);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    return (S_ISDIR(st.st_mode) ? ::rmdir(path.c_str()) : ::unlink(path.c_str())) == 0;
}

bool syncFile(int fd) {
    if (gate(Op::Sync, {}) != Fault::None) return failWith(EIO);
    return ::fsync(fd) == 0;
}

bool syncFileSystem(const std::filesystem::path& path) {
    if (gate(Op::Sync, path.native()) != Fault::None) return failWith(EIO);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::syncfs(fd) == 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return synced;
}

bool makeFolder(const std::filesystem::path& path) {
    if (gate(Op::MakeFolder, path.native()) != Fault::None) return failWith(EIO);
    return ::mkdir(path.c_str(), 0755) == 0;
}

bool truncateFile(const std::filesystem::path& path, std::int64_t size) {
    if (gate(Op::Write, path.native()) != Fault::None) return failWith(EIO);
    return ::truncate(path.c_str(), static_cast<off_t>(size)) == 0;
}

}  // namespace qingheng::fileops
