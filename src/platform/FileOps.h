#pragma once
// The file system calls that open, write, rename, remove, flush files and create folders.
// Everything in the core that changes a file goes through them, so each call is a fault
// point: a test can make any one of them fail (an error, as a full disk or a broken device
// would give) or stop the program right there (a simulated crash), and then check that
// what is on disk is still whole.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace qingheng::fileops {

enum class Op { Open, Write, Rename, Remove, Sync, MakeFolder };
std::string_view opName(Op op);

enum class Fault {
    None,   // the call goes ahead
    Fail,   // the call fails with an error; a write stores half its bytes first (ENOSPC)
    Crash,  // the call throws SimulatedCrash: the program "died" just before it
};

// Thrown at a Crash point. After it, every call fails until the next setFaultHook, as a
// dead program does nothing more; only closing files (which the system would do) goes on.
struct SimulatedCrash {};

// Decides the fate of each call; target is the path, or empty for a write or flush.
using FaultHook = std::function<Fault(Op op, std::string_view target)>;
// Installs a hook (an empty one lets every call through, the normal state) and revives
// the seam after a simulated crash.
void setFaultHook(FaultHook hook);

// ::open; -1 with errno on failure.
int openFile(const std::filesystem::path& path, int flags, mode_t mode = 0644);
// Writes all size bytes at offset; false with errno on failure.
bool writeAt(int fd, const char* data, std::size_t size, std::int64_t offset);
// ::rename; false with errno on failure.
bool renamePath(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes a file or an empty folder; false with errno on failure (ENOENT included).
bool removePath(const std::filesystem::path& path);
// ::fsync; false with errno on failure.
bool syncFile(int fd);
// Flushes the whole file system that holds path (::syncfs); false with errno on failure.
bool syncFileSystem(const std::filesystem::path& path);
// Creates one folder; false with errno on failure (EEXIST included).
bool makeFolder(const std::filesystem::path& path);
// Cuts a file to size bytes (a write point); false with errno on failure.
bool truncateFile(const std::filesystem::path& path, std::int64_t size);

}  // namespace qingheng::fileops
