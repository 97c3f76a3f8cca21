#include "casebook/Database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include <fmt/format.h>

#include "platform/Gbk.h"

namespace fs = std::filesystem;

namespace qingheng {
namespace {

std::string errnoText(int err) { return std::strerror(err); }

// A file descriptor closed on scope exit.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

bool readAll(int fd, char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size, offset);
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

bool writeAll(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

template <typename T>
void putLe(char* out, T value) {
    std::memcpy(out, &value, sizeof value);
}

template <typename T>
T getLe(const char* in) {
    T value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

int fileNumberOf(std::int64_t id) { return static_cast<int>(id / kSlotsPerFile); }

off_t offsetOf(std::int64_t id) {
    const std::int64_t inFile = id % kSlotsPerFile;
    return static_cast<off_t>(inFile * kCaseRecordSize + (id < kSlotsPerFile ? kHeaderSize : 0));
}

std::string missingSlotsMessage(const fs::path& file, std::int64_t firstMissing) {
    return fmt::format("卦例库文件 {} 不完整：从第{}号卦例起的内容缺失。", file.string(), firstMissing);
}

// Visits the slots 0 … count-1 in id order with a pointer to each slot's bytes;
// visit(id, bytes) returns false to stop.
// Slots missing from a short or absent file are skipped and make the result a failure.
template <typename Visit>
Status scanSlots(const MDataBase& db, std::int64_t count, Visit&& visit) {
    Status result;
    for (int n = 0; static_cast<std::int64_t>(n) * kSlotsPerFile < count; ++n) {
        const std::int64_t first = static_cast<std::int64_t>(n) * kSlotsPerFile;
        const std::int64_t wanted = std::min<std::int64_t>(kSlotsPerFile, count - first);
        const std::int64_t base = n == 0 ? kHeaderSize : 0;
        const fs::path path = db.dataFile(n);
        Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0) {
            if (result.ok)
                result = Status::failure(fmt::format("无法读取卦例库文件 {}：{}", path.string(), errnoText(errno)));
            continue;
        }
        const std::int64_t present = st.st_size > base ? (st.st_size - base) / kCaseRecordSize : 0;
        const std::int64_t available = std::min(present, wanted);
        if (available < wanted && result.ok) result = Status::failure(missingSlotsMessage(path, first + available));
        if (available == 0) continue;
        // Read in blocks: a copy out of the page cache beats mapping every page afresh.
        constexpr std::int64_t kBlockSlots = 256;
        std::vector<char> block(static_cast<std::size_t>(kBlockSlots * kCaseRecordSize));
        bool go = true;
        for (std::int64_t i = 0; i < available && go; i += kBlockSlots) {
            const std::int64_t slots = std::min(kBlockSlots, available - i);
            const auto bytes = static_cast<std::size_t>(slots * kCaseRecordSize);
            if (!readAll(fd.get(), block.data(), bytes, static_cast<off_t>(base + i * kCaseRecordSize))) {
                if (result.ok)
                    result = Status::failure(fmt::format("无法读取卦例库文件 {}：{}", path.string(), errnoText(errno)));
                break;
            }
            for (std::int64_t k = 0; k < slots && go; ++k)
                go = visit(first + i + k, block.data() + k * kCaseRecordSize);
        }
        if (!go) break;
    }
    return result;
}

// The text of a zero-terminated field, without the terminator.
std::string_view fieldText(const char* field, int size) {
    return {field, strnlen(field, static_cast<std::size_t>(size))};
}

// Byte search that only accepts a match starting on a character boundary, so the tail of
// one GBK character and the head of the next never pass for a third character.
bool containsText(std::string_view field, std::string_view needle) {
    if (needle.empty()) return true;
    for (std::size_t i = 0; i + needle.size() <= field.size();) {
        if (std::memcmp(field.data() + i, needle.data(), needle.size()) == 0) return true;
        i += (gbk::isLeadByte(static_cast<std::uint8_t>(field[i])) && i + 1 < field.size()) ? 2 : 1;
    }
    return false;
}

bool textMatches(MatchMode mode, std::string_view field, std::string_view needle) {
    switch (mode) {
        case MatchMode::Ignore:
            return true;
        case MatchMode::Contains:
            return containsText(field, needle);
        case MatchMode::Equals:
            return field == needle;
    }
    return false;
}

// A query with its texts in GBK, matched against raw slot bytes.
struct CompiledQuery {
    CaseQuery query;
    std::string name, category, question;

    bool matches(const char* s) const {
        if (s[slot::kDeleted] != 0) return false;
        if (!textMatches(query.nameMode, fieldText(s + slot::kName, slot::kNameSize), name)) return false;
        if (!textMatches(query.categoryMode, fieldText(s + slot::kCategory, slot::kCategorySize), category))
            return false;
        if (!textMatches(query.questionMode, fieldText(s + slot::kQuestion, slot::kQuestionSize), question))
            return false;
        if (query.useKindCode && static_cast<std::uint8_t>(s[slot::kKindCode]) != query.kindCode) return false;
        if (query.useYears) {
            const auto year = getLe<std::int16_t>(s + slot::kYear);
            if (year < query.firstYear || year > query.lastYear) return false;
        }
        return true;
    }
};

Status compileQueryText(std::string_view title, MatchMode mode, const std::string& utf8, std::string& out) {
    if (mode == MatchMode::Ignore) return Status::success();
    const auto bytes = gbk::fromUtf8(utf8);
    if (!bytes) return Status::failure(fmt::format("查找的{}含有无法识别的字符。", title));
    out = *bytes;
    return Status::success();
}

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

bool isRtf(const fs::directory_entry& entry) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".rtf" && entry.is_regular_file();
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

// Copies every .rtf file of folder from into folder to (created when missing).
Status copyReports(const fs::path& from, const fs::path& to) {
    if (Status s = makeFolder(to); !s) return s;
    std::error_code ec;
    fs::directory_iterator it(from, ec);
    if (ec) return Status::failure(fmt::format("无法读取文件夹 {}：{}", from.string(), ec.message()));
    for (const auto& entry : it) {
        if (!isRtf(entry)) continue;
        if (Status s = copyFile(entry.path(), to / entry.path().filename()); !s) return s;
    }
    return Status::success();
}

// Slots a data file must hold for a header of slotCount slots.
std::int64_t slotsInFile(std::int64_t slotCount, int n) {
    return std::clamp<std::int64_t>(slotCount - static_cast<std::int64_t>(n) * kSlotsPerFile, 0, kSlotsPerFile);
}

std::string dataFileName(std::string_view kind, int n) { return fmt::format("{}{}.dat", kind, n); }

}  // namespace

// ---- header

Status CaseBookHeader::check() const {
    if (!isKnownKind(kind)) return Status::failure(fmt::format("类型编号{}未知", kind));
    if (slotCount < 0 || freeCount < 0) return Status::failure("卦例数为负数");
    if (freeCount > slotCount) return Status::failure("已删除的卦例多于全部卦例");
    if (fileCount != dataFilesFor(slotCount)) {
        return Status::failure(fmt::format("数据文件数{}与卦例数{}不符", fileCount, slotCount));
    }
    return Status::success();
}

std::array<char, kHeaderSize> CaseBookHeader::encode() const {
    std::array<char, kHeaderSize> out{};
    out[0] = static_cast<char>(kind);
    putLe<std::int32_t>(out.data() + 4, slotCount);
    putLe<std::int32_t>(out.data() + 8, freeCount);
    out[12] = reuse ? 1 : 0;
    putLe<std::int16_t>(out.data() + 14, fileCount);
    return out;
}

CaseBookHeader CaseBookHeader::decode(const char* bytes) {
    CaseBookHeader h;
    h.kind = static_cast<std::uint8_t>(bytes[0]);
    h.slotCount = getLe<std::int32_t>(bytes + 4);
    h.freeCount = getLe<std::int32_t>(bytes + 8);
    h.reuse = bytes[12] != 0;
    h.fileCount = getLe<std::int16_t>(bytes + 14);
    return h;
}

// ---- lock

// Advisory lock on a file beside the data files, held for one operation, so two programs
// never interleave their reads and writes of one case book.
class MDataBase::Lock {
public:
    Status take(const fs::path& path, std::chrono::milliseconds wait) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return Status::failure(fmt::format("无法打开卦例库：{}：{}", path.string(), errnoText(errno)));
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return Status::failure(fmt::format("无法锁定卦例库：{}", errnoText(errno)));
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return Status::failure("卦例库正被另一个程序使用，请稍后再试。");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Status::success();
    }
    ~Lock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }

private:
    int fd_ = -1;
};

Status MDataBase::acquire(Lock& lock) const {
    if (folder_.empty()) return Status::failure("卦例库尚未打开。");
    return lock.take(lockPath(), lockWait_);
}

// ---- paths

fs::path MDataBase::dataFile(int n) const { return folder_ / "dat" / dataFileName(kindName(), n); }
fs::path MDataBase::lockPath() const { return folder_ / "dat" / fmt::format("{}.lock", kindName()); }
fs::path MDataBase::reportFolder() const { return folder_ / fmt::format("{}_f", kindName()); }
fs::path MDataBase::reportPath(std::uint32_t id) const { return reportFolder() / fmt::format("{}.rtf", id); }
fs::path MDataBase::plumReportPath(std::uint32_t id) const { return reportFolder() / fmt::format("{}m.rtf", id); }

// ---- header and slot access

Status MDataBase::readHeader(CaseBookHeader& header) const {
    const fs::path path = dataFile(0);
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return Status::failure(fmt::format("无法打开卦例库文件 {}：{}", path.string(), errnoText(errno)));
    std::array<char, kHeaderSize> bytes{};
    if (!readAll(fd.get(), bytes.data(), bytes.size(), 0)) {
        return Status::failure(fmt::format("卦例库文件 {} 的文件头已损坏：文件太短", path.string()));
    }
    header = CaseBookHeader::decode(bytes.data());
    if (Status s = header.check(); !s) {
        return Status::failure(fmt::format("卦例库文件 {} 的文件头已损坏：{}", path.string(), s.message));
    }
    if (header.kind != kind_) {
        return Status::failure(
            fmt::format("卦例库文件 {} 属于其他类型（{}）", path.string(), kDisciplineNames[header.kind]));
    }
    return Status::success();
}

Status MDataBase::writeHeader(const CaseBookHeader& header) const {
    const fs::path path = dataFile(0);
    Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    const auto bytes = header.encode();
    if (!fd || !writeAll(fd.get(), bytes.data(), bytes.size(), 0)) {
        return Status::failure(fmt::format("无法写入卦例库文件 {}：{}", path.string(), errnoText(errno)));
    }
    return Status::success();
}

Status MDataBase::writeSlot(std::uint32_t id, const CaseRecordBytes& bytes, bool create) const {
    const fs::path path = dataFile(fileNumberOf(id));
    Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0644));
    if (!fd || !writeAll(fd.get(), bytes.data(), bytes.size(), offsetOf(id))) {
        return Status::failure(fmt::format("无法写入卦例库文件 {}：{}", path.string(), errnoText(errno)));
    }
    return Status::success();
}

Status MDataBase::readSlotBytes(std::uint32_t id, CaseRecordBytes& bytes) const {
    const fs::path path = dataFile(fileNumberOf(id));
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return Status::failure(fmt::format("无法读取卦例库文件 {}：{}", path.string(), errnoText(errno)));
    if (!readAll(fd.get(), bytes.data(), bytes.size(), offsetOf(id))) {
        if (errno != 0)
            return Status::failure(fmt::format("无法读取卦例库文件 {}：{}", path.string(), errnoText(errno)));
        return Status::failure(missingSlotsMessage(path, id));
    }
    return Status::success();
}

Status MDataBase::findDeletedSlot(const CaseBookHeader& header, std::int64_t& id) const {
    id = -1;
    return scanSlots(*this, header.slotCount, [&](std::int64_t slotId, const char* s) {
        if (s[slot::kDeleted] != 1) return true;
        id = slotId;
        return false;
    });
}

// ---- operations

Status MDataBase::openStore(const fs::path& programFolder, DisciplineKind kind) {
    if (!isKnownKind(kind)) return Status::failure(fmt::format("类型编号{}未知", kind));
    folder_ = programFolder;
    kind_ = kind;
    for (const fs::path& dir : {folder_ / "dat", reportFolder()}) {
        if (Status s = makeFolder(dir); !s) return s;
    }
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    const fs::path path = dataFile(0);
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd) {
        if (errno != EEXIST)
            return Status::failure(fmt::format("无法建立卦例库文件 {}：{}", path.string(), errnoText(errno)));
        CaseBookHeader existing;
        return readHeader(existing);
    }
    CaseBookHeader header;
    header.kind = static_cast<std::uint8_t>(kind);
    const auto bytes = header.encode();
    if (!writeAll(fd.get(), bytes.data(), bytes.size(), 0)) {
        const int err = errno;
        ::unlink(path.c_str());  // a headerless file would block every later start
        return Status::failure(fmt::format("无法写入卦例库文件 {}：{}", path.string(), errnoText(err)));
    }
    return Status::success();
}

Status MDataBase::addCase(CaseRecord& record) {
    if (Status s = checkCaseRecord(record); !s) return s;
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (header.reuse) {
        std::int64_t id = -1;
        if (Status s = findDeletedSlot(header, id); !s && id < 0) return s;
        if (id >= 0) return reuseSlot(header, id, record);
        // The header counted free slots that are not there: put it right and append.
        header.reuse = false;
        header.freeCount = 0;
    }
    return appendCase(header, record);
}

Status MDataBase::reuseSlot(CaseBookHeader& header, std::int64_t id, CaseRecord& record) {
    CaseRecord stored = record;
    stored.id = static_cast<std::uint32_t>(id);
    stored.deleted = false;
    CaseRecordBytes bytes;
    if (Status s = encodeCaseRecord(stored, bytes); !s) return s;
    // The slot first: when it cannot be written the header still counts it as free.
    if (Status s = writeSlot(stored.id, bytes, false); !s) return s;
    header.freeCount = std::max(0, header.freeCount - 1);
    if (header.freeCount == 0) header.reuse = false;
    record.id = stored.id;
    record.deleted = false;
    return writeHeader(header);
}

Status MDataBase::appendCase(CaseBookHeader& header, CaseRecord& record) {
    // The file count is a 16-bit field, which bounds the book before the slot count does.
    if (header.slotCount >= std::int64_t{INT16_MAX} * kSlotsPerFile)
        return Status::failure("卦例库已满，不能再保存卦例。");
    CaseRecord stored = record;
    stored.id = static_cast<std::uint32_t>(header.slotCount);
    stored.deleted = false;
    CaseRecordBytes bytes;
    if (Status s = encodeCaseRecord(stored, bytes); !s) return s;
    // The slot first: a slot written past the header's count is ignored, while a header
    // counting an unwritten slot would not be.
    if (Status s = writeSlot(stored.id, bytes, true); !s) return s;
    header.slotCount += 1;
    header.fileCount = static_cast<std::int16_t>(dataFilesFor(header.slotCount));
    if (Status s = writeHeader(header); !s) return s;
    record.id = stored.id;
    record.deleted = false;
    return Status::success();
}

Status MDataBase::removeCase(std::uint32_t id) {
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (id >= static_cast<std::uint32_t>(header.slotCount)) return Status::failure(fmt::format("卦例{}不存在。", id));
    CaseRecordBytes bytes;
    if (Status s = readSlotBytes(id, bytes); !s) return s;
    if (bytes[slot::kDeleted] != 0) return Status::success();  // counted once already
    bytes[slot::kDeleted] = 1;
    if (Status s = writeSlot(id, bytes, false); !s) return s;
    header.freeCount += 1;
    if (header.freeCount >= kReuseThreshold) header.reuse = true;
    return writeHeader(header);
}

SlotRead MDataBase::readCase(std::uint32_t id, CaseRecord& out) const {
    SlotRead result;
    Lock lock;
    if (result.status = acquire(lock); !result.status) return result;
    CaseBookHeader header;
    if (result.status = readHeader(header); !result.status) return result;
    if (id >= static_cast<std::uint32_t>(header.slotCount)) return result;
    CaseRecordBytes bytes;
    if (result.status = readSlotBytes(id, bytes); !result.status) return result;
    out = decodeCaseRecord(bytes);
    result.state = out.deleted ? SlotState::Deleted : SlotState::Live;
    return result;
}

Status MDataBase::writeCase(std::uint32_t id, const CaseRecord& record) {
    CaseRecord stored = record;
    stored.id = id;
    stored.deleted = false;
    CaseRecordBytes bytes;
    if (Status s = encodeCaseRecord(stored, bytes); !s) return s;
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (id >= static_cast<std::uint32_t>(header.slotCount)) return Status::failure(fmt::format("卦例{}不存在。", id));
    CaseRecordBytes current;
    if (Status s = readSlotBytes(id, current); !s) return s;
    // Overwriting a deleted slot would bring it back behind the header's free count.
    if (current[slot::kDeleted] != 0) return Status::failure(fmt::format("卦例{}已被删除，不能保存。", id));
    return writeSlot(id, bytes, false);
}

Status MDataBase::countSlots(int& count) const {
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    count = header.slotCount;
    return Status::success();
}

Status MDataBase::searchCases(CaseQuery& query, std::vector<std::uint32_t>& ids) const {
    ids.clear();
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (header.kind < kKindLiuYao) query.questionMode = MatchMode::Ignore;
    CompiledQuery compiled{query, {}, {}, {}};
    if (Status s = compileQueryText("姓名", query.nameMode, query.name, compiled.name); !s) return s;
    if (Status s = compileQueryText("类别", query.categoryMode, query.category, compiled.category); !s) return s;
    if (Status s = compileQueryText("占问事宜", query.questionMode, query.question, compiled.question); !s) return s;
    return scanSlots(*this, header.slotCount, [&](std::int64_t id, const char* s) {
        if (compiled.matches(s)) ids.push_back(static_cast<std::uint32_t>(id));
        return true;
    });
}

Status setQueryYears(CaseQuery& query, int firstYear, int lastYear) {
    if (!IsSupportedYear(firstYear) || !IsSupportedYear(lastYear)) return Status::failure(std::string(kRecordYearText));
    if (lastYear < firstYear) return Status::failure("结束年必须大于或等于起始年");
    query.useYears = true;
    query.firstYear = static_cast<std::int16_t>(firstYear);
    query.lastYear = static_cast<std::int16_t>(lastYear);
    return Status::success();
}

Status MDataBase::liveIds(int limit, std::vector<std::uint32_t>& ids) const {
    ids.clear();
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    const std::int64_t count = limit < 0 ? header.slotCount : std::min<std::int64_t>(limit, header.slotCount);
    return scanSlots(*this, count, [&](std::int64_t id, const char* s) {
        if (s[slot::kDeleted] == 0) ids.push_back(static_cast<std::uint32_t>(id));
        return true;
    });
}

// Data files to remove when the header cannot be trusted: those present from 0 on.
int MDataBase::presentDataFiles() const {
    int n = 0;
    while (fs::exists(dataFile(n))) ++n;
    return n;
}

Status MDataBase::clearStore() {
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    const int files = readHeader(header) ? header.fileCount : presentDataFiles();
    Status result;
    for (int n = 0; n < files; ++n) {
        if (Status s = removeFile(dataFile(n)); !s && result.ok) result = s;
    }
    std::error_code ec;
    if (!fs::is_directory(reportFolder(), ec)) return result;
    fs::directory_iterator it(reportFolder(), ec);
    if (ec)
        return result.ok ? Status::failure(fmt::format("无法读取文件夹 {}：{}", reportFolder().string(), ec.message()))
                         : result;
    for (const auto& entry : it) {
        if (!isRtf(entry)) continue;
        if (Status s = removeFile(entry.path()); !s && result.ok) result = s;
    }
    return result;
}

Status MDataBase::exportStore(const fs::path& target) const {
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    if (Status s = makeFolder(target); !s) return s;
    for (int n = 0; n < header.fileCount; ++n) {
        if (Status s = copyFile(dataFile(n), target / dataFileName(kindName(), n)); !s) return s;
    }
    const fs::path reports = target / reportFolder().filename();
    std::error_code ec;
    if (!fs::is_directory(reportFolder(), ec)) return makeFolder(reports);
    return copyReports(reportFolder(), reports);
}

Status MDataBase::checkBackup(const fs::path& file0) const {
    const std::string expected = dataFileName(kindName(), 0);
    if (file0.filename() != expected) return Status::failure(fmt::format("请选择备份中的{}文件。", expected));
    std::error_code ec;
    if (!fs::is_regular_file(file0, ec)) return Status::failure(fmt::format("找不到备份文件 {}。", file0.string()));
    Fd fd(::open(file0.c_str(), O_RDONLY | O_CLOEXEC));
    std::array<char, kHeaderSize> bytes{};
    if (!fd || !readAll(fd.get(), bytes.data(), bytes.size(), 0)) {
        return Status::failure(fmt::format("备份文件 {} 无法读取或已损坏。", file0.string()));
    }
    const CaseBookHeader header = CaseBookHeader::decode(bytes.data());
    if (Status s = header.check(); !s) {
        return Status::failure(fmt::format("备份文件 {} 的文件头已损坏：{}", file0.string(), s.message));
    }
    if (header.kind != kind_) {
        return Status::failure(
            fmt::format("备份文件 {} 属于其他类型（{}）。", file0.string(), kDisciplineNames[header.kind]));
    }
    const fs::path folder = file0.parent_path();
    for (int n = 0; n < header.fileCount; ++n) {
        const fs::path path = folder / dataFileName(kindName(), n);
        const auto needed = (n == 0 ? kHeaderSize : 0) + slotsInFile(header.slotCount, n) * kCaseRecordSize;
        const auto size = fs::file_size(path, ec);
        if (ec) return Status::failure(fmt::format("备份不完整：缺少文件 {}。", path.string()));
        if (static_cast<std::int64_t>(size) < needed) {
            return Status::failure(
                fmt::format("备份不完整：文件 {} 太短（应至少{}字节，实有{}字节）。", path.string(), needed, size));
        }
    }
    return Status::success();
}

Status MDataBase::importStore(const fs::path& file0) {
    if (Status s = checkBackup(file0); !s) return s;
    Lock lock;
    if (Status s = acquire(lock); !s) return s;
    const fs::path source = file0.parent_path();
    std::array<char, kHeaderSize> bytes{};
    {
        Fd fd(::open(file0.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd || !readAll(fd.get(), bytes.data(), bytes.size(), 0)) {
            return Status::failure(fmt::format("备份文件 {} 无法读取。", file0.string()));
        }
    }
    const int newFiles = CaseBookHeader::decode(bytes.data()).fileCount;
    CaseBookHeader current;
    const int oldFiles = readHeader(current) ? current.fileCount : presentDataFiles();

    // Stage everything beside its final place; the case book is untouched until all is copied.
    auto staged = [this](int n) { return fs::path(dataFile(n).string() + ".import"); };
    const fs::path stagedReports = reportFolder().string() + ".import";
    const fs::path oldReports = reportFolder().string() + ".old";
    auto discardStaging = [&] {
        std::error_code ignored;
        for (int n = 0; n < newFiles; ++n) fs::remove(staged(n), ignored);
        fs::remove_all(stagedReports, ignored);
    };
    discardStaging();
    for (int n = 0; n < newFiles; ++n) {
        if (Status s = copyFile(source / dataFileName(kindName(), n), staged(n)); !s) {
            discardStaging();
            return s;
        }
    }
    std::error_code ec;
    const fs::path sourceReports = source / reportFolder().filename();
    const Status reports =
        fs::is_directory(sourceReports, ec) ? copyReports(sourceReports, stagedReports) : makeFolder(stagedReports);
    if (!reports) {
        discardStaging();
        return reports;
    }

    // Swap in the report folder, then the data files, file 0 (the header) last.
    fs::remove_all(oldReports, ec);
    const bool hadReports = fs::exists(reportFolder());
    if (hadReports) {
        fs::rename(reportFolder(), oldReports, ec);
        if (ec) {
            discardStaging();
            return Status::failure(fmt::format("无法替换文件夹 {}：{}", reportFolder().string(), ec.message()));
        }
    }
    fs::rename(stagedReports, reportFolder(), ec);
    if (ec) {
        const std::string why = ec.message();
        if (hadReports) fs::rename(oldReports, reportFolder(), ec);
        discardStaging();
        return Status::failure(fmt::format("无法替换文件夹 {}：{}", reportFolder().string(), why));
    }
    for (int n = newFiles - 1; n >= 0; --n) {
        fs::rename(staged(n), dataFile(n), ec);
        if (ec) return Status::failure(fmt::format("无法替换卦例库文件 {}：{}", dataFile(n).string(), ec.message()));
    }
    Status result;
    for (int n = newFiles; n < oldFiles; ++n) {
        if (Status s = removeFile(dataFile(n)); !s && result.ok) result = s;
    }
    fs::remove_all(oldReports, ec);
    return result;
}

}  // namespace qingheng
