// MDataBase: the header, the lock and the slots one at a time (open, add, remove, read,
// write). Searches are in DatabaseQueries.cpp, clearing, export and restore in
// DatabaseBackup.cpp.
#include <sys/file.h>
#include <unistd.h>

#include <thread>

#include "casebook/SlotFile.h"
#include "platform/ByteOrder.h"

namespace fs = std::filesystem;

namespace qingheng {

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
    storeLittleEndian<std::int32_t>(out.data() + 4, slotCount);
    storeLittleEndian<std::int32_t>(out.data() + 8, freeCount);
    out[12] = reuse ? 1 : 0;
    storeLittleEndian<std::int16_t>(out.data() + 14, fileCount);
    return out;
}

CaseBookHeader CaseBookHeader::decode(const char* bytes) {
    CaseBookHeader h;
    h.kind = static_cast<std::uint8_t>(bytes[0]);
    h.slotCount = loadLittleEndian<std::int32_t>(bytes + 4);
    h.freeCount = loadLittleEndian<std::int32_t>(bytes + 8);
    h.reuse = bytes[12] != 0;
    h.fileCount = loadLittleEndian<std::int16_t>(bytes + 14);
    return h;
}

// ---- lock

Status MDataBase::Lock::take(const fs::path& path, std::chrono::milliseconds wait) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return Status::failure(fmt::format("无法打开卦例库：{}：{}", path.string(), systemErrorText(errno)));
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return Status::failure(fmt::format("无法锁定卦例库：{}", systemErrorText(errno)));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return Status::failure("卦例库正被另一个程序使用，请稍后再试。");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Status::success();
}

MDataBase::Lock::~Lock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

Status MDataBase::acquire(Lock& lock) const {
    if (folder_.empty()) return Status::failure("卦例库尚未打开。");
    return lock.take(lockPath(), lockWait_);
}

// ---- paths

fs::path MDataBase::dataFile(int n) const { return folder_ / "dat" / slotfile::dataFileName(kindName(), n); }
fs::path MDataBase::lockPath() const { return folder_ / "dat" / fmt::format("{}.lock", kindName()); }
fs::path MDataBase::reportFolder() const { return folder_ / fmt::format("{}_f", kindName()); }
fs::path MDataBase::reportPath(std::uint32_t id) const { return reportFolder() / fmt::format("{}.rtf", id); }
fs::path MDataBase::plumReportPath(std::uint32_t id) const { return reportFolder() / fmt::format("{}m.rtf", id); }

// ---- header and slot access

Status MDataBase::readHeader(CaseBookHeader& header) const {
    const fs::path path = dataFile(0);
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return Status::failure(fmt::format("无法打开卦例库文件 {}：{}", path.string(), systemErrorText(errno)));
    std::array<char, kHeaderSize> bytes{};
    if (!readAt(fd.get(), bytes.data(), bytes.size(), 0)) {
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
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    const auto bytes = header.encode();
    if (!fd || !writeAt(fd.get(), bytes.data(), bytes.size(), 0)) return slotfile::writeFailure(path);
    return Status::success();
}

Status MDataBase::writeSlot(std::uint32_t id, const CaseRecordBytes& bytes, bool create) const {
    const fs::path path = dataFile(slotfile::fileNumberOf(id));
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0644));
    if (!fd || !writeAt(fd.get(), bytes.data(), bytes.size(), slotfile::offsetOf(id))) {
        return slotfile::writeFailure(path);
    }
    return Status::success();
}

Status MDataBase::readSlotBytes(std::uint32_t id, CaseRecordBytes& bytes) const {
    const fs::path path = dataFile(slotfile::fileNumberOf(id));
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return slotfile::readFailure(path);
    if (!readAt(fd.get(), bytes.data(), bytes.size(), slotfile::offsetOf(id))) {
        return errno != 0 ? slotfile::readFailure(path) : slotfile::missingSlots(path, id);
    }
    return Status::success();
}

Status MDataBase::findDeletedSlot(const CaseBookHeader& header, std::int64_t& id) const {
    id = -1;
    return slotfile::scanSlots(*this, header.slotCount, [&](std::int64_t slotId, const char* s) {
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
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (!fd) {
        if (errno != EEXIST)
            return Status::failure(fmt::format("无法建立卦例库文件 {}：{}", path.string(), systemErrorText(errno)));
        CaseBookHeader existing;
        return readHeader(existing);
    }
    CaseBookHeader header;
    header.kind = static_cast<std::uint8_t>(kind);
    const auto bytes = header.encode();
    if (!writeAt(fd.get(), bytes.data(), bytes.size(), 0)) {
        const int err = errno;
        ::unlink(path.c_str());  // a headerless file would block every later start
        errno = err;
        return slotfile::writeFailure(path);
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

}  // namespace qingheng
