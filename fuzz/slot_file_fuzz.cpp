// Feeds arbitrary bytes to the case book as its data file 0 (and, after a marker, file 1).
// Reading never crashes and never writes; ids come back in range and in order; a book that
// reads as intact takes a new case and stays intact, and a damaged one refuses it without
// changing a byte; every slot decodes to valid text, and a record that is accepted encodes
// and decodes to itself.
//
// Build and run (clang; see CONTRIBUTING.md):
//   cmake --build build-fuzz --target slot_file_fuzz
//   build-fuzz/bin/slot_file_fuzz -max_total_time=60
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "casebook/CaseRecord.h"
#include "casebook/Database.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"

using namespace qingheng;
namespace fs = std::filesystem;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

constexpr std::string_view kSecondFile = "@@FILE1@@";

const fs::path& home() {
    static const fs::path path = fs::temp_directory_path() / ("slot_fuzz_" + std::to_string(::getpid()));
    return path;
}

void checkRecord(const CaseRecordBytes& bytes) {
    const CaseRecord r = decodeCaseRecord(bytes);
    for (const std::string* text : {&r.name, &r.category, &r.extra, &r.question, &r.mainCode, &r.changedCode, &r.label})
        require(gbk::isValidUtf8(*text));
    CaseRecordBytes encoded{};
    if (!encodeCaseRecord(r, encoded)) return;  // text that does not fit is refused, not cut
    const CaseRecord again = decodeCaseRecord(encoded);
    require(again.name == r.name && again.category == r.category && again.extra == r.extra &&
            again.question == r.question && again.label == r.label && again.year == r.year &&
            again.deleted == r.deleted && again.id == r.id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.find(kSecondFile);
    const std::string_view file0 = input.substr(0, marker);
    fs::remove_all(home());
    fs::create_directories(home() / "dat");
    std::ofstream(home() / "dat" / "liuyao0.dat", std::ios::binary) << file0;
    if (marker != std::string_view::npos)
        std::ofstream(home() / "dat" / "liuyao1.dat", std::ios::binary) << input.substr(marker + kSecondFile.size());

    for (std::size_t at = kHeaderSize; at + kCaseRecordSize <= file0.size(); at += kCaseRecordSize) {
        CaseRecordBytes bytes;
        std::copy_n(file0.data() + at, kCaseRecordSize, bytes.begin());
        checkRecord(bytes);
    }

    MDataBase db;
    db.setLockWait(std::chrono::milliseconds(0));
    const Status opened = db.openStore(home(), kKindLiuYao, StoreOpening::ExistingOnly);
    if (!opened) {
        require(!opened.message.empty());
        return 0;
    }
    int count = -1;
    require(db.countSlots(count).ok && count >= 0);
    std::vector<std::uint32_t> ids;
    const Status listed = db.liveIds(-1, ids);
    require(listed.ok || !listed.message.empty());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        require(ids[i] < static_cast<std::uint32_t>(count) && (i == 0 || ids[i - 1] < ids[i]));
        CaseRecord r;
        require(db.readCase(ids[i], r).live());
    }
    CaseQuery query;
    query.name = "张";
    query.nameMode = MatchMode::Contains;
    std::vector<std::uint32_t> found;
    db.searchCases(query, found);
    for (const std::uint32_t id : found) require(id < static_cast<std::uint32_t>(count));
    const Status backup = db.checkBackup(home() / "dat" / "liuyao0.dat");
    require(backup.ok || !backup.message.empty());
    require(readFileBytes(home() / "dat" / "liuyao0.dat").value_or("") == file0);  // reading wrote nothing

    // A change: an intact book takes it and stays intact; a damaged one refuses it untouched.
    const bool intact = db.checkIntact().ok;
    CaseRecord r;
    r.name = "张三";
    r.mainCode = "111111";
    r.changedCode = "111111";
    const Status added = db.addCase(r);
    if (!intact) {
        require(!added.ok && readFileBytes(home() / "dat" / "liuyao0.dat").value_or("") == file0);
    } else if (added) {
        int after = -1;
        require(db.checkIntact().ok && db.countSlots(after).ok && r.id <= static_cast<std::uint32_t>(count));
        CaseRecord back;
        require(db.readCase(r.id, back).live() && back.name == "张三");
    }
    return 0;
}
