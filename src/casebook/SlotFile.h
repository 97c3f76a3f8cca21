#pragma once
// The slot files of a case book as the four parts of MDataBase share them: where a slot
// lies, the lock, a change of slots and a replacement of the whole book, the messages of
// failed file operations, and a scan over many slots.
// Database.cpp: header, lock and single slots; DatabaseQueries.cpp: searches and counts;
// DatabaseBackup.cpp: wipe, export and restore; DatabaseRecovery.cpp: undo image, journal.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "casebook/Database.h"
#include "platform/FileOps.h"
#include "platform/FileUtil.h"

namespace qingheng {

// Advisory lock on a file beside the data files, held for one operation, so two programs
// never interleave their reads and writes of one case book. Readers share it; a reader of
// a book it cannot write to (a read-only folder or one without the lock file) reads
// without it, as no program can change that book either.
class MDataBase::Lock {
public:
    Lock() = default;
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock();
    Status take(const std::filesystem::path& path, std::chrono::milliseconds wait, Access access);
    // From shared to exclusive, to finish a change an earlier run left half-done.
    Status upgrade(std::chrono::milliseconds wait);

private:
    Status wait(int operation, std::chrono::milliseconds wait);
    int fd_ = -1;
};

// One reading operation on the book: the shared lock, the header, and each data file opened
// once, file 0 serving both the header and its slots.
class MDataBase::Reader {
public:
    explicit Reader(const MDataBase& db) : db_(db) {}
    // Takes the lock (finishing first a change an earlier run left half-done) and reads the header.
    Status open();
    const CaseBookHeader& header() const { return header_; }
    // Data file n, opened on its first use; -1 (errno set) when it cannot be opened.
    int file(int n);
    std::filesystem::path path(int n) const { return db_.dataFile(n); }
    // Reads count slots from first on, all in one data file, into out.
    Status readSlots(std::int64_t first, std::int64_t count, char* out);
    // Visits the first count slots in id order, as slotfile::scanSlotFiles does.
    template <typename Visit>
    Status scan(std::int64_t count, Visit&& visit);

private:
    const MDataBase& db_;
    Lock lock_;
    CaseBookHeader header_;
    std::vector<FileDescriptor> files_;
    std::vector<int> openErrors_;  // errno of a failed open, so a file is tried once
};

// One slot (and the header) before and after a change. For an overwrite, the undo image
// keeps the before side on disk until the change is complete.
struct MDataBase::SlotChange {
    enum class Kind { Overwrite, Append };
    Kind kind = Kind::Overwrite;
    std::uint32_t id = 0;
    CaseBookHeader headerBefore, headerAfter;
    CaseRecordBytes slotBefore{}, slotAfter{};  // slotBefore is unused for an append
    bool createsFile = false;                   // an append that starts a new data file
    // A report file as it was before the change: its bytes, or not there at all.
    struct ReportBefore {
        bool present = false;
        std::string bytes;
    };
    // An overwrite that replaces a live case's report files keeps them (id.rtf, idm.rtf).
    std::optional<std::array<ReportBefore, 2>> reportsBefore;

    // The undo image of an overwrite: the header before, the id and the slot before, and the
    // report files before when the change replaces them.
    std::string encodeUndo() const;
    static std::optional<SlotChange> decodeUndo(std::string_view bytes);
};

// A data file or a report file of the book, by its name.
struct MDataBase::BookFile {
    enum class Kind { Data, Report };
    Kind kind = Kind::Data;
    std::string name;
    friend bool operator==(const BookFile&, const BookFile&) = default;
};

// One rename of a restore or a wipe.
struct MDataBase::Move {
    std::filesystem::path from, to;
};

// What a restore or a wipe moves: the book's present files out into the replaced folder
// under dat, then the staged files (a checked copy of the backup) in. The journal holds it.
struct MDataBase::ReplacePlan {
    std::string replacedName;  // "replaced-YYYYMMDD-HHMMSS", a folder under dat
    std::vector<BookFile> out, in;

    std::string encode() const;
    // nullopt when the text is not a whole journal or names a file outside the book.
    static std::optional<ReplacePlan> decode(std::string_view text, std::string_view kind);
};

namespace slotfile {

// True when something (a file, a folder or a link, followed or not) has the name.
inline bool isPresent(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

inline int fileNumberOf(std::int64_t id) { return static_cast<int>(id / kSlotsPerFile); }

// Byte offset of a slot in its data file; file 0 starts with the header.
inline std::int64_t offsetOf(std::int64_t id) {
    return id % kSlotsPerFile * kCaseRecordSize + (id < kSlotsPerFile ? kHeaderSize : 0);
}

// Slots a data file must hold for a header of slotCount slots.
inline std::int64_t slotsInFile(std::int64_t slotCount, int n) {
    return std::clamp<std::int64_t>(slotCount - static_cast<std::int64_t>(n) * kSlotsPerFile, 0, kSlotsPerFile);
}

// Bytes a data file must hold for a header of slotCount slots.
inline std::int64_t bytesNeeded(std::int64_t slotCount, int n) {
    return (n == 0 ? kHeaderSize : 0) + slotsInFile(slotCount, n) * kCaseRecordSize;
}

inline std::string dataFileName(std::string_view kind, int n) { return fmt::format("{}{}.dat", kind, n); }

// The number n of a data file name kind + n + ".dat"; nullopt for any other name.
std::optional<int> dataFileNumber(std::string_view kind, std::string_view name);

// The messages of a failed read or write of a data file, with the system's reason (errno).
inline Status readFailure(const std::filesystem::path& file) {
    return Status::failure(fmt::format("无法读取卦例库文件 {}：{}", file.string(), systemErrorText(errno)));
}
inline Status writeFailure(const std::filesystem::path& file) {
    return Status::failure(fmt::format("无法写入卦例库文件 {}：{}", file.string(), systemErrorText(errno)));
}
inline Status missingSlots(const std::filesystem::path& file, std::int64_t firstMissing) {
    return Status::failure(
        fmt::format("卦例库文件 {} 不完整：从第{}号卦例起的内容缺失。", file.string(), firstMissing));
}

// The slots of a scan come in blocks this large: a copy out of the page cache beats mapping
// every page afresh, and a block this size stays in the processor's cache.
inline constexpr std::int64_t kBlockSlots = 256;

// Visits the slots 0 … count-1 of data files in id order with a pointer to each slot's bytes;
// visit(id, bytes) returns false to stop. fileAt(n, path) gives data file n's descriptor
// (-1 with errno set when it cannot be opened) and its path, for messages. Slots missing from
// a short or absent file are skipped and make the result a failure.
template <typename FileAt, typename Visit>
Status scanOpenSlotFiles(FileAt&& fileAt, std::int64_t count, Visit&& visit) {
    Status result;
    std::vector<char> block(static_cast<std::size_t>(kBlockSlots * kCaseRecordSize));
    for (int n = 0; static_cast<std::int64_t>(n) * kSlotsPerFile < count; ++n) {
        const std::int64_t first = static_cast<std::int64_t>(n) * kSlotsPerFile;
        const std::int64_t wanted = std::min<std::int64_t>(kSlotsPerFile, count - first);
        const std::int64_t base = n == 0 ? kHeaderSize : 0;
        std::filesystem::path path;
        const int fd = fileAt(n, path);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            if (result.ok) result = readFailure(path);
            continue;
        }
        const std::int64_t present = st.st_size > base ? (st.st_size - base) / kCaseRecordSize : 0;
        const std::int64_t available = std::min(present, wanted);
        if (available < wanted && result.ok) result = missingSlots(path, first + available);
        bool go = true;
        for (std::int64_t i = 0; i < available && go; i += kBlockSlots) {
            const std::int64_t slots = std::min(kBlockSlots, available - i);
            const auto bytes = static_cast<std::size_t>(slots * kCaseRecordSize);
            if (!readAt(fd, block.data(), bytes, base + i * kCaseRecordSize)) {
                if (result.ok) result = readFailure(path);
                break;
            }
            for (std::int64_t k = 0; k < slots && go; ++k)
                go = visit(first + i + k, block.data() + k * kCaseRecordSize);
        }
        if (!go) break;
    }
    return result;
}

// The same over data files given by their paths, each opened for the scan.
template <typename FileOf, typename Visit>
Status scanSlotFiles(FileOf&& fileOf, std::int64_t count, Visit&& visit) {
    FileDescriptor current;
    return scanOpenSlotFiles(
        [&](int n, std::filesystem::path& path) {
            path = fileOf(n);
            current = FileDescriptor(fileops::openFile(path, O_RDONLY));
            return current.get();
        },
        count, std::forward<Visit>(visit));
}

// The same over the data files of a case book.
template <typename Visit>
Status scanSlots(const MDataBase& db, std::int64_t count, Visit&& visit) {
    return scanSlotFiles([&db](int n) { return db.dataFile(n); }, count, std::forward<Visit>(visit));
}

}  // namespace slotfile

template <typename Visit>
Status MDataBase::Reader::scan(std::int64_t count, Visit&& visit) {
    return slotfile::scanOpenSlotFiles(
        [this](int n, std::filesystem::path& p) {
            p = path(n);
            return file(n);
        },
        count, std::forward<Visit>(visit));
}

}  // namespace qingheng
