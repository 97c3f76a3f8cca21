#pragma once
// A small file read once and read again only when it changes on disk, so that a reader
// called for every chart costs one stat instead of an open, a read and a parse, while an
// edit still shows at the next call exactly as a fresh read would show it.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace qingheng {

// What identifies one state of a file on disk. A write changes the size or the times; a
// replacement (write to a temporary file and rename) also changes the inode.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // content changed
    std::int64_t changedNs = 0;   // content or attributes changed (a reset mtime shows here)

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The bytes of one file as last read. A file whose times lie within kUnsureWindow of the
// moment it was read may be written again within the same tick of the file system's
// clock without a visible change of its stamp (same size, same times), so while that
// holds its bytes are read again and compared instead of trusting the stamp (a file dated
// in the future is always compared).
class FileSnapshot {
public:
    static constexpr std::int64_t kUnsureWindowNs = 2'000'000'000;  // FAT keeps 2-second times

    // The stamp of the file at path as stat gives it; no stamp when missing or not a file.
    static FileStamp statFile(const std::filesystem::path& path);
    using StampReader = FileStamp (*)(const std::filesystem::path& path);

    // stampOf stands in for stat in tests that imitate coarse file times.
    explicit FileSnapshot(StampReader stampOf = statFile) : stampOf_(stampOf) {}

    // Brings the snapshot up to date with the file at path. True when the bytes or the
    // file's presence differ from the previous snapshot, or on the first call, or after
    // forget() or a change of path.
    bool refresh(const std::filesystem::path& path);
    // The bytes as read; nullopt when the file is missing or cannot be read.
    const std::optional<std::string>& bytes() const { return bytes_; }
    // The next refresh reads the file and reports a change.
    void forget() { known_ = false; }

private:
    StampReader stampOf_;
    std::filesystem::path path_;
    FileStamp stamp_;
    std::optional<std::string> bytes_;
    bool known_ = false;
    bool unsure_ = false;  // the stamp alone cannot tell a change yet
};

// The value parsed from a file, parsed again only when the file's bytes change. Safe to
// use from several threads; a value handed out stays valid after a later re-parse.
template <class T>
class CachedFile {
public:
    // bytes: the file's contents, nullopt when it is missing or unreadable.
    using Parse = T (*)(const std::filesystem::path& path, const std::optional<std::string>& bytes);

    explicit CachedFile(Parse parse) : parse_(parse) {}

    // fallback, when not empty, is read instead while path is missing or unreadable.
    std::shared_ptr<const T> get(const std::filesystem::path& path, const std::filesystem::path& fallback = {}) {
        const std::lock_guard lock(mutex_);
        bool changed = snapshot_.refresh(path);
        const bool useFallback = !snapshot_.bytes() && !fallback.empty();
        if (useFallback) changed = fallback_.refresh(fallback) || changed;
        if (useFallback != usedFallback_) changed = true;
        usedFallback_ = useFallback;
        if (changed || !value_) {
            value_ = std::make_shared<const T>(useFallback ? parse_(fallback, fallback_.bytes())
                                                           : parse_(path, snapshot_.bytes()));
        }
        return value_;
    }

    // Called after the program itself wrote the file: the next get reads it.
    void invalidate() {
        const std::lock_guard lock(mutex_);
        snapshot_.forget();
        fallback_.forget();
    }

private:
    std::mutex mutex_;
    Parse parse_;
    FileSnapshot snapshot_;
    FileSnapshot fallback_;
    bool usedFallback_ = false;
    std::shared_ptr<const T> value_;
};

}  // namespace qingheng
