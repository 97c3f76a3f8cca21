#pragma once
// File helpers: whole-file reads and crash-safe whole-file writes, reads and writes at an
// offset, and file operations that report a failure in the words the user reads. Every
// call that changes a file goes through the fault points of platform/FileOps.h.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace qingheng {

// The file's bytes, or nullopt when it cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames
// it over the target, so a crash or a full disk never leaves a half-written file.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A file descriptor, closed when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    int get() const { return fd_; }
    // Gives up the descriptor without closing it.
    int release() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

// Reads exactly size bytes at offset. False on an error (errno tells which) or when the file
// ends first (errno is then 0).
bool readAt(int fd, char* data, std::size_t size, std::int64_t offset);
// Writes all size bytes at offset; false on an error (errno tells which).
bool writeAt(int fd, const char* data, std::size_t size, std::int64_t offset);

// The system's text for an error number.
std::string systemErrorText(int err);

// Whether a copy reads through a symbolic link at the source or refuses it.
enum class FollowLinks { Yes, No };
// Whether a copy is flushed to the disk at once, or later for many copies together
// (flushFileSystem), which is much faster than one flush per file.
enum class Flush { Now, Later };

// Copies a file over the target through a temporary file beside it, renamed when whole,
// so a failure or a crash leaves the target as it was or whole. Only regular files are
// copied; with FollowLinks::No a link at the source is refused.
Status copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                FollowLinks follow = FollowLinks::Yes, Flush flush = Flush::Now);
// Flushes everything written to the file system that holds path.
Status flushFileSystem(const std::filesystem::path& path);
// Renames a file or folder.
Status renameFile(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes a file or an empty folder; one that is not there is no failure.
Status removeFile(const std::filesystem::path& path);
// Removes a folder with everything in it (links are removed, not followed); one that is
// not there is no failure.
Status removeTree(const std::filesystem::path& dir);
// Creates a folder and its parents; fails when a file holds the name.
Status makeFolder(const std::filesystem::path& dir);

// The name a whole-file write or a copy writes first, beside the target.
std::filesystem::path temporaryNameOf(const std::filesystem::path& path);

// Ignores SIGXFSZ, so a file-size limit (ulimit -f) makes a write fail with an error the
// program reports instead of killing it.
void ignoreFileSizeSignal();

}  // namespace qingheng
