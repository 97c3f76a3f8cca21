// MDataBase: the header, the lock and the slots one at a time (open, add, remove, read,
// write). Searches are in DatabaseQueries.cpp, wipe, export and restore in
// DatabaseBackup.cpp, the undo image and the journal in DatabaseRecovery.cpp.
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
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

Status MDataBase::Lock::take(const fs::path& path, std::chrono::milliseconds wait, Access access) {
    if (access == Access::Read) {
        fd_ = fileops::openFile(path, O_RDONLY);
        // Nothing can change a book whose lock file is missing or closed to this user.
        if (fd_ < 0 && (errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == EROFS))
            return Status::success();
        if (fd_ < 0)
            return Status::failure(fmt::format("无法打开卦例库：{}：{}", path.string(), systemErrorText(errno)));
        return this->wait(LOCK_SH, wait);
    }
    fd_ = fileops::openFile(path, O_RDWR | O_CREAT);
    if (fd_ < 0) {
        const int err = errno;
        if (err == EACCES || err == EROFS || err == EPERM) {
            return Status::failure(fmt::format("卦例库所在的文件夹 {} 不能写入（{}），卦例库只能查看，不能修改。",
                                               path.parent_path().string(), systemErrorText(err)));
        }
        return Status::failure(fmt::format("无法打开卦例库：{}：{}", path.string(), systemErrorText(err)));
    }
    return this->wait(LOCK_EX, wait);
}

Status MDataBase::Lock::upgrade(std::chrono::milliseconds wait) {
    if (fd_ < 0) return Status::success();
    return this->wait(LOCK_EX, wait);
}

Status MDataBase::Lock::wait(int operation, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd_, operation | LOCK_NB) != 0) {
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

Status MDataBase::acquire(Lock& lock, Access access) const {
    if (folder_.empty()) return Status::failure("卦例库尚未打开。");
    if (Status s = lock.take(lockPath(), lockWait_, access); !s) return s;
    if (!needsRecovery()) return Status::success();
    // An earlier run stopped in the middle of a change: finish it before anything else.
    if (access == Access::Read) {
        if (Status s = lock.upgrade(lockWait_); !s) return s;
    }
    return recover();
}

// ---- one reading operation

Status MDataBase::Reader::open() {
    if (Status s = db_.acquire(lock_, Access::Read); !s) return s;
    const int fd = file(0);
    if (fd < 0) {
        return Status::failure(fmt::format("无法打开卦例库文件 {}：{}", path(0).string(), systemErrorText(errno)));
    }
    return db_.readHeaderFrom(fd, header_);
}

int MDataBase::Reader::file(int n) {
    const auto index = static_cast<std::size_t>(n);
    if (index >= files_.size()) {
        files_.resize(index + 1);
        openErrors_.resize(index + 1, 0);
    }
    if (files_[index]) return files_[index].get();
    if (openErrors_[index] != 0) {
        errno = openErrors_[index];
        return -1;
    }
    const int fd = fileops::openFile(path(n), O_RDONLY);
    if (fd < 0) {
        openErrors_[index] = errno != 0 ? errno : EIO;
        errno = openErrors_[index];
        return -1;
    }
    files_[index] = FileDescriptor(fd);
    return fd;
}

Status MDataBase::Reader::readSlots(std::int64_t first, std::int64_t count, char* out) {
    const int n = slotfile::fileNumberOf(first);
    const int fd = file(n);
    if (fd < 0) return slotfile::readFailure(path(n));
    const auto size = static_cast<std::size_t>(count * kCaseRecordSize);
    if (readAt(fd, out, size, slotfile::offsetOf(first))) return Status::success();
    return errno != 0 ? slotfile::readFailure(path(n)) : slotfile::missingSlots(path(n), first);
}

// ---- paths

fs::path MDataBase::datFolder() const { return folder_ / "dat"; }
fs::path MDataBase::dataFile(int n) const { return datFolder() / slotfile::dataFileName(kindName(), n); }
fs::path MDataBase::lockPath() const { return datFolder() / fmt::format("{}.lock", kindName()); }
fs::path MDataBase::undoPath() const { return datFolder() / fmt::format("{}.undo", kindName()); }
fs::path MDataBase::journalPath() const { return datFolder() / fmt::format("{}.journal", kindName()); }
fs::path MDataBase::stagingFolder() const { return datFolder() / fmt::format("{}.import", kindName()); }
fs::path MDataBase::reportFolder() const { return folder_ / fmt::format("{}_f", kindName()); }
fs::path MDataBase::reportPath(std::uint32_t id) const { return reportFolder() / fmt::format("{}.rtf", id); }
fs::path MDataBase::plumReportPath(std::uint32_t id) const { return reportFolder() / fmt::format("{}m.rtf", id); }

bool isReportFileName(std::string_view name) {
    std::size_t digits = 0;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) ++digits;
    if (digits == 0 || digits > 10 || (digits > 1 && name[0] == '0')) return false;
    std::string_view rest = name.substr(digits);
    if (!rest.empty() && rest.front() == 'm') rest.remove_prefix(1);
    if (rest.size() != 4 || rest[0] != '.') return false;
    std::string ext(rest.substr(1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == "rtf";
}

std::string replacedBookNote(const fs::path& folder) {
    return fmt::format("原有的卦例已移到 {}，需要时可从那里导入。", folder.string());
}

namespace slotfile {

std::optional<int> dataFileNumber(std::string_view kind, std::string_view name) {
    if (name.size() <= kind.size() + 4 || name.substr(0, kind.size()) != kind) return std::nullopt;
    if (name.substr(name.size() - 4) != ".dat") return std::nullopt;
    const std::string_view digits = name.substr(kind.size(), name.size() - kind.size() - 4);
    if (digits.size() > 5 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n <= INT16_MAX ? std::optional<int>(n) : std::nullopt;
}

}  // namespace slotfile

// ---- header and slot access

Status MDataBase::readHeader(CaseBookHeader& header) const {
    const fs::path path = dataFile(0);
    FileDescriptor fd(fileops::openFile(path, O_RDONLY));
    if (!fd) return Status::failure(fmt::format("无法打开卦例库文件 {}：{}", path.string(), systemErrorText(errno)));
    return readHeaderFrom(fd.get(), header);
}

Status MDataBase::readHeaderFrom(int fd, CaseBookHeader& header) const {
    const fs::path path = dataFile(0);
    std::array<char, kHeaderSize> bytes{};
    if (!readAt(fd, bytes.data(), bytes.size(), 0)) {
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

// Writes the header and flushes it: once this returns, the change it records has happened.
Status MDataBase::writeHeader(const CaseBookHeader& header) const {
    const fs::path path = dataFile(0);
    FileDescriptor fd(fileops::openFile(path, O_WRONLY));
    const auto bytes = header.encode();
    if (!fd || !writeAt(fd.get(), bytes.data(), bytes.size(), 0) || !fileops::syncFile(fd.get()))
        return slotfile::writeFailure(path);
    return Status::success();
}

Status MDataBase::checkDataFiles(const CaseBookHeader& header) const {
    for (int n = 0; n < header.fileCount; ++n) {
        const fs::path path = dataFile(n);
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        std::string damage;
        if (ec) {
            damage = fmt::format("文件 {} 缺失", path.string());
        } else if (const std::int64_t needed = slotfile::bytesNeeded(header.slotCount, n);
                   static_cast<std::int64_t>(size) < needed) {
            damage = fmt::format("文件 {} 不完整（应至少{}字节，实有{}字节）", path.string(), needed, size);
        }
        if (!damage.empty()) {
            return Status::failure(fmt::format(
                "卦例库已损坏：{}。卦例库现在只能查看，不能保存、修改或删除卦例；请从备份导入卦例库。", damage));
        }
    }
    return Status::success();
}

Status MDataBase::checkIntact() const {
    Lock lock;
    if (Status s = acquire(lock, Access::Read); !s) return s;
    CaseBookHeader header;
    if (Status s = readHeader(header); !s) return s;
    return checkDataFiles(header);
}

// The lock, the header and the check that the book may be changed, for every write.
Status MDataBase::beginChange(Lock& lock, CaseBookHeader& header) {
    if (Status s = acquire(lock, Access::Write); !s) return s;
    if (Status s = readHeader(header); !s) return s;
    return checkDataFiles(header);
}

Status MDataBase::writeSlot(std::uint32_t id, const CaseRecordBytes& bytes, bool create) const {
    const fs::path path = dataFile(slotfile::fileNumberOf(id));
    FileDescriptor fd(fileops::openFile(path, O_WRONLY | (create ? O_CREAT : 0)));
    if (!fd || !writeAt(fd.get(), bytes.data(), bytes.size(), slotfile::offsetOf(id)) || !fileops::syncFile(fd.get())) {
        return slotfile::writeFailure(path);
    }
    return Status::success();
}

Status MDataBase::readSlotBytes(std::uint32_t id, CaseRecordBytes& bytes) const {
    const fs::path path = dataFile(slotfile::fileNumberOf(id));
    FileDescriptor fd(fileops::openFile(path, O_RDONLY));
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

Status MDataBase::writeReports(std::uint32_t id, const CaseReports& reports) const {
    if (Status s = makeFolder(reportFolder()); !s) return s;
    if (Status s = writeFileAtomically(reportPath(id), reports.sixLines); !s) return s;
    return writeFileAtomically(plumReportPath(id), reports.plumBlossom);
}

// ---- operations

Status MDataBase::createBook() const {
    for (const fs::path& dir : {datFolder(), reportFolder()}) {
        if (Status s = makeFolder(dir); !s) return s;
    }
    Lock lock;
    if (Status s = acquire(lock, Access::Write); !s) return s;
    const fs::path path = dataFile(0);
    FileDescriptor fd(fileops::openFile(path, O_WRONLY | O_CREAT | O_EXCL));
    if (!fd) {
        if (errno != EEXIST)
            return Status::failure(fmt::format("无法建立卦例库文件 {}：{}", path.string(), systemErrorText(errno)));
        CaseBookHeader existing;  // another program created it meanwhile
        return readHeader(existing);
    }
    CaseBookHeader header;
    header.kind = static_cast<std::uint8_t>(kind_);
    const auto bytes = header.encode();
    if (!writeAt(fd.get(), bytes.data(), bytes.size(), 0) || !fileops::syncFile(fd.get())) {
        const int err = errno;
        fileops::removePath(path);  // a headerless file would block every later start
        errno = err;
        return slotfile::writeFailure(path);
    }
    return Status::success();
}

Status MDataBase::openStore(const fs::path& programFolder, DisciplineKind kind, StoreOpening opening) {
    if (!isKnownKind(kind)) return Status::failure(fmt::format("类型编号{}未知", kind));
    folder_ = programFolder;
    kind_ = kind;
    if (opening == StoreOpening::ForReplacing) return Status::success();
    std::error_code ec;
    auto missing = [&] { return !slotfile::isPresent(dataFile(0)); };
    if (missing() && !needsRecovery()) {
        if (opening == StoreOpening::CreateIfMissing) return createBook();
        return Status::failure(
            fmt::format("文件夹 {} 中没有卦例库（找不到 {}）。", folder_.string(), dataFile(0).string()));
    }
    {
        Lock lock;  // finishes what an earlier run left half-done
        if (Status s = acquire(lock, Access::Read); !s) return s;
        if (!missing()) {
            CaseBookHeader header;
            if (Status s = readHeader(header); !s) return s;
        } else if (opening == StoreOpening::ExistingOnly) {
            return Status::failure(
                fmt::format("文件夹 {} 中的卦例库已被清除（找不到 {}）。", folder_.string(), dataFile(0).string()));
        }
    }
    if (missing()) return createBook();  // a wipe was finished just now
    // The report folder the window saves into; a book that cannot be written goes without.
    if (opening == StoreOpening::CreateIfMissing && !fs::is_directory(reportFolder(), ec)) makeFolder(reportFolder());
    return Status::success();
}

Status MDataBase::addCase(CaseRecord& record, const CaseReports* reports) {
    if (Status s = checkCaseRecord(record); !s) return s;
    Lock lock;
    CaseBookHeader header;
    if (Status s = beginChange(lock, header); !s) return s;
    if (header.reuse) {
        std::int64_t id = -1;
        if (Status s = findDeletedSlot(header, id); !s && id < 0) return s;
        if (id >= 0) return reuseSlot(header, id, record, reports);
        // The header counted free slots that are not there: put it right and append.
        header.reuse = false;
        header.freeCount = 0;
    }
    return appendCase(header, record, reports);
}

Status MDataBase::reuseSlot(CaseBookHeader& header, std::int64_t id, CaseRecord& record, const CaseReports* reports) {
    SlotChange change;
    change.id = static_cast<std::uint32_t>(id);
    change.headerBefore = change.headerAfter = header;
    if (Status s = readSlotBytes(change.id, change.slotBefore); !s) return s;
    CaseRecord stored = record;
    stored.id = change.id;
    stored.deleted = false;
    if (Status s = encodeCaseRecord(stored, change.slotAfter); !s) return s;
    change.headerAfter.freeCount = std::max(0, header.freeCount - 1);
    if (change.headerAfter.freeCount == 0) change.headerAfter.reuse = false;
    if (Status s = applySlotChange(change, reports); !s) return s;
    record.id = change.id;
    record.deleted = false;
    return Status::success();
}

Status MDataBase::appendCase(CaseBookHeader& header, CaseRecord& record, const CaseReports* reports) {
    // The file count is a 16-bit field, which bounds the book before the slot count does.
    if (header.slotCount >= std::int64_t{INT16_MAX} * kSlotsPerFile)
        return Status::failure("卦例库已满，不能再保存卦例。");
    SlotChange change;
    change.kind = SlotChange::Kind::Append;
    change.id = static_cast<std::uint32_t>(header.slotCount);
    change.headerBefore = change.headerAfter = header;
    CaseRecord stored = record;
    stored.id = change.id;
    stored.deleted = false;
    if (Status s = encodeCaseRecord(stored, change.slotAfter); !s) return s;
    change.createsFile = !slotfile::isPresent(dataFile(slotfile::fileNumberOf(change.id)));
    change.headerAfter.slotCount += 1;
    change.headerAfter.fileCount = static_cast<std::int16_t>(dataFilesFor(change.headerAfter.slotCount));
    if (Status s = applySlotChange(change, reports); !s) return s;
    record.id = change.id;
    record.deleted = false;
    return Status::success();
}

Status MDataBase::removeCase(std::uint32_t id) {
    Lock lock;
    CaseBookHeader header;
    if (Status s = beginChange(lock, header); !s) return s;
    if (id >= static_cast<std::uint32_t>(header.slotCount)) return Status::failure(fmt::format("卦例{}不存在。", id));
    SlotChange change;
    change.id = id;
    if (Status s = readSlotBytes(id, change.slotBefore); !s) return s;
    if (change.slotBefore[slot::kDeleted] != 0) return Status::success();  // counted once already
    change.slotAfter = change.slotBefore;
    change.slotAfter[slot::kDeleted] = 1;
    change.headerBefore = change.headerAfter = header;
    change.headerAfter.freeCount += 1;
    if (change.headerAfter.freeCount >= kReuseThreshold) change.headerAfter.reuse = true;
    return applySlotChange(change, nullptr);
}

SlotRead MDataBase::readCase(std::uint32_t id, CaseRecord& out) const {
    SlotRead result;
    Reader reader(*this);
    if (result.status = reader.open(); !result.status) return result;
    if (id >= static_cast<std::uint32_t>(reader.header().slotCount)) return result;
    CaseRecordBytes bytes;
    if (result.status = reader.readSlots(id, 1, bytes.data()); !result.status) return result;
    out = decodeCaseRecord(bytes);
    result.state = out.deleted ? SlotState::Deleted : SlotState::Live;
    return result;
}

// The report files of a live case as they are before a change replaces them.
Status MDataBase::keepReportsBefore(SlotChange& change) const {
    std::array<SlotChange::ReportBefore, 2> before;
    const std::array<fs::path, 2> paths = {reportPath(change.id), plumReportPath(change.id)};
    for (std::size_t k = 0; k < paths.size(); ++k) {
        if (!slotfile::isPresent(paths[k])) continue;
        const auto bytes = readFileBytes(paths[k]);
        if (!bytes) {
            return Status::failure(
                fmt::format("无法读取卦例的报告文件 {}：{}", paths[k].string(), systemErrorText(errno)));
        }
        before[k] = {true, *bytes};
    }
    change.reportsBefore = std::move(before);
    return Status::success();
}

Status MDataBase::writeCase(std::uint32_t id, const CaseRecord& record, const CaseReports* reports) {
    SlotChange change;
    change.id = id;
    CaseRecord stored = record;
    stored.id = id;
    stored.deleted = false;
    if (Status s = encodeCaseRecord(stored, change.slotAfter); !s) return s;
    Lock lock;
    CaseBookHeader header;
    if (Status s = beginChange(lock, header); !s) return s;
    if (id >= static_cast<std::uint32_t>(header.slotCount)) return Status::failure(fmt::format("卦例{}不存在。", id));
    if (Status s = readSlotBytes(id, change.slotBefore); !s) return s;
    // Overwriting a deleted slot would bring it back behind the header's free count.
    if (change.slotBefore[slot::kDeleted] != 0) return Status::failure(fmt::format("卦例{}已被删除，不能保存。", id));
    change.headerBefore = change.headerAfter = header;
    if (reports) {
        if (Status s = keepReportsBefore(change); !s) return s;
    }
    return applySlotChange(change, reports);
}

Status MDataBase::appendCases(std::vector<CaseRecord>& records) {
    if (records.empty()) return Status::success();
    for (const CaseRecord& r : records) {
        if (Status s = checkCaseRecord(r); !s) return s;
    }
    Lock lock;
    CaseBookHeader header;
    if (Status s = beginChange(lock, header); !s) return s;
    const auto count = static_cast<std::int64_t>(records.size());
    if (header.slotCount + count > std::int64_t{INT16_MAX} * kSlotsPerFile)
        return Status::failure("卦例库已满，不能再保存卦例。");
    const auto first = static_cast<std::uint32_t>(header.slotCount);
    std::string slots(static_cast<std::size_t>(count) * kCaseRecordSize, '\0');
    for (std::int64_t k = 0; k < count; ++k) {
        CaseRecord stored = records[static_cast<std::size_t>(k)];
        stored.id = first + static_cast<std::uint32_t>(k);
        stored.deleted = false;
        CaseRecordBytes bytes;
        if (Status s = encodeCaseRecord(stored, bytes); !s) return s;
        std::copy(bytes.begin(), bytes.end(), slots.begin() + k * kCaseRecordSize);
    }
    CaseBookHeader after = header;
    after.slotCount = static_cast<std::int32_t>(header.slotCount + count);
    after.fileCount = static_cast<std::int16_t>(dataFilesFor(after.slotCount));
    if (Status s = applyAppend(header, after, first, slots); !s) return s;
    for (std::int64_t k = 0; k < count; ++k) {
        records[static_cast<std::size_t>(k)].id = first + static_cast<std::uint32_t>(k);
        records[static_cast<std::size_t>(k)].deleted = false;
    }
    return Status::success();
}

// Writes the slots past the count, file by file, then the header that makes them count. A
// failure cuts the files back; after a crash the slots lie past the count, where they do
// not count and the next append overwrites them.
Status MDataBase::applyAppend(const CaseBookHeader& before, const CaseBookHeader& after, std::uint32_t first,
                              std::string_view slots) {
    const std::int64_t count = static_cast<std::int64_t>(slots.size()) / kCaseRecordSize;
    std::vector<int> created;
    Status result;
    for (std::int64_t k = 0; k < count && result;) {
        const std::int64_t id = first + k;
        const int n = slotfile::fileNumberOf(id);
        const std::int64_t inFile = std::min<std::int64_t>(count - k, (n + 1) * std::int64_t{kSlotsPerFile} - id);
        const fs::path path = dataFile(n);
        if (!slotfile::isPresent(path)) created.push_back(n);
        FileDescriptor fd(fileops::openFile(path, O_WRONLY | O_CREAT));
        const auto size = static_cast<std::size_t>(inFile * kCaseRecordSize);
        if (!fd || !writeAt(fd.get(), slots.data() + k * kCaseRecordSize, size, slotfile::offsetOf(id)) ||
            !fileops::syncFile(fd.get())) {
            result = slotfile::writeFailure(path);
        }
        k += inFile;
    }
    if (result) result = writeHeader(after);
    if (result) return Status::success();
    if (Status undone = undoAppend(before, first, count, created); !undone)
        return Status::failure(fmt::format("{}；{}", result.message, undone.message));
    return result;
}

}  // namespace qingheng
