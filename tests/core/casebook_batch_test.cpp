// Reading many cases in one operation, finding cases by their hexagrams, and appending many
// cases in one change, on real files in a private program folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "TemporaryHome.h"
#include "casebook/CaseRecord.h"
#include "casebook/Database.h"
#include "platform/FileOps.h"
#include "platform/FileUtil.h"
#include "vocab/Hexagram.h"

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

using Ids = std::vector<std::uint32_t>;

// A case with every field form as the index k varies: texts of full length and short ones,
// lunar and leap dates, a long memo, number and character input kept in the spare bytes,
// and hexagram codes with and without moving lines.
CaseRecord variedRecord(int k) {
    static const char* const kNames[] = {"张三", "五个汉字啊", "Li", "王"};
    static const char* const kCodes[] = {"111112", "111114", "224133", "342112", "222222", "121212"};
    CaseRecord r;
    r.name = kNames[k % 4];
    r.category = k % 5 == 0 ? "六个汉字名字a" : "财运";
    r.year = static_cast<std::int16_t>(1900 + k % 151);
    r.month = static_cast<std::int16_t>(1 + k % 12);
    r.day = static_cast<std::int16_t>(1 + k % 28);
    r.hour = static_cast<std::int16_t>(k % 24);
    r.minute = static_cast<std::int16_t>(k % 60);
    r.lunar = k % 3 == 0;
    r.leap = k % 9 == 0;
    r.kindCode = static_cast<std::uint8_t>(k % 2);
    // A memo at its full length now and then.
    r.extra = k % 1000 == 1 ? std::string(1000, 'x') : "备注:第" + std::to_string(k) + "例\r\n二行";
    r.question = k % 7 == 0 ? std::string(20, 'q') + "问到底问到底问到底问" : "问生意";
    r.useGod = static_cast<std::uint32_t>(k % 5);
    r.mainCode = kCodes[k % 6];
    r.changedCode = ChangedCode(r.mainCode);
    r.label = k % 4 == 0 ? "数字起卦" : "汉字起卦";
    if (k % 4 == 0) r.castInput = StoredCastInput{std::to_string(k), 1, 2, 3};
    if (k % 4 == 1) r.castInput = StoredCastInput{"天下太平", 4, 5, 6};
    return r;
}

class Book : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.openStore(home, kKindLiuYao).ok); }

    void append(int count, int from = 0) {
        std::vector<CaseRecord> records;
        for (int k = from; k < from + count; ++k) records.push_back(variedRecord(k));
        const Status s = db.appendCases(records);
        ASSERT_TRUE(s.ok) << s.message;
    }
    int slotCount() const {
        int count = -1;
        EXPECT_TRUE(db.countSlots(count).ok);
        return count;
    }

    qingheng::testing::TemporaryHome temporaryHome{"casebook_batch", qingheng::testing::memoryFolder()};
    const fs::path home = temporaryHome.path();
    MDataBase db;
};

// What a single read gives for one id.
CaseRead singleRead(const MDataBase& db, std::uint32_t id) {
    CaseRead read;
    read.id = id;
    const SlotRead single = db.readCase(id, read.record);
    EXPECT_TRUE(single.status.ok) << id << ": " << single.status.message;
    read.state = single.state;
    return read;
}

void expectSameRead(const CaseRead& batch, const CaseRead& single) {
    EXPECT_EQ(batch.id, single.id);
    EXPECT_EQ(batch.state, single.state) << batch.id;
    EXPECT_TRUE(batch.record == single.record) << "slot " << batch.id;
}

}  // namespace

// ---- batch reads

TEST_F(Book, BatchReadsGiveExactlyWhatSingleReadsGive) {
    append(kSlotsPerFile + 12);  // two data files
    for (const std::uint32_t id : {0u, 7u, 49999u, 50000u, 50011u, 12345u}) ASSERT_TRUE(db.removeCase(id).ok);
    const std::uint32_t count = static_cast<std::uint32_t>(slotCount());
    ASSERT_EQ(count, std::uint32_t(kSlotsPerFile + 12));
    ASSERT_TRUE(fs::exists(db.dataFile(1)));

    Ids ids(count + 3);  // three past the end
    for (std::uint32_t id = 0; id < ids.size(); ++id) ids[id] = id;
    std::vector<CaseRead> batch;
    const Status read = db.readCases(ids, batch);
    ASSERT_TRUE(read.ok) << read.message;
    ASSERT_EQ(batch.size(), ids.size());
    std::vector<CaseRow> liveRows;
    std::vector<CaseRecord> liveRecords;
    for (const std::uint32_t id : ids) {
        const CaseRead single = singleRead(db, id);
        expectSameRead(batch[id], single);
        if (single.state == SlotState::Live) {
            liveRows.push_back(caseRowOf(single.record));
            liveRecords.push_back(single.record);
        }
        if (::testing::Test::HasFailure()) return;
    }
    ASSERT_EQ(liveRows.size(), count - 6);
    EXPECT_TRUE(batch[1].record.castInput.has_value());
    EXPECT_TRUE(batch[9].record.lunar && batch[9].record.leap);
    EXPECT_EQ(batch[1001].record.extra.size(), 1000u);

    // Rows by ids, rows by a scan and whole cases by a scan agree with the single reads.
    std::vector<CaseRow> rows;
    ASSERT_TRUE(db.readCaseRows(ids, rows).ok);
    EXPECT_TRUE(rows == liveRows);
    CaseQuery everything;
    ASSERT_TRUE(db.searchCaseRows(everything, rows).ok);
    EXPECT_TRUE(rows == liveRows);
    std::vector<CaseRecord> records;
    ASSERT_TRUE(db.forEachCase(everything, [&](const CaseRecord& r) {
                      records.push_back(r);
                      return true;
                  }).ok);
    EXPECT_TRUE(records == liveRecords);
    rows.clear();
    ASSERT_TRUE(db.forEachCaseRow(everything, [&](const CaseRow& row) {
                      rows.push_back(row);
                      return true;
                  }).ok);
    EXPECT_TRUE(rows == liveRows);
    ASSERT_TRUE(db.searchCaseRows(everything, rows, 300).ok);
    EXPECT_EQ(rows.size(), 298u);  // slots 0 and 7 are deleted
    EXPECT_EQ(rows.back().id, 299u);
}

TEST_F(Book, BatchReadsTakeIdsInAnyOrder) {
    append(40);
    ASSERT_TRUE(db.removeCase(3).ok);
    // Backwards, repeated, across block lengths and past the end.
    const Ids ids = {39, 3, 3, 0, 41, 38, 1, 2, 0, 39, 500, 5};
    std::vector<CaseRead> batch;
    ASSERT_TRUE(db.readCases(ids, batch).ok);
    ASSERT_EQ(batch.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) expectSameRead(batch[i], singleRead(db, ids[i]));
    std::vector<CaseRow> rows;
    ASSERT_TRUE(db.readCaseRows(ids, rows).ok);
    Ids rowIds;
    for (const CaseRow& r : rows) rowIds.push_back(r.id);
    EXPECT_EQ(rowIds, (Ids{39, 0, 38, 1, 2, 0, 39, 5}));
}

TEST_F(Book, BatchReadsOfACutFileKeepTheSlotsBeforeTheCutAndReportIt) {
    append(10);
    fs::resize_file(db.dataFile(0), kHeaderSize + 5 * kCaseRecordSize + 100);  // cut inside slot 5
    CaseRecord r;
    const SlotRead single = db.readCase(5, r);
    ASSERT_FALSE(single.status.ok);
    std::vector<CaseRead> batch;
    const Ids ids = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const Status read = db.readCases(ids, batch);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.message, single.status.message);
    ASSERT_EQ(batch.size(), 5u);
    for (std::uint32_t id = 0; id < 5; ++id) expectSameRead(batch[id], singleRead(db, id));
}

// ---- hexagrams

TEST(HexagramNumbers, ByNameAndByCode) {
    const std::pair<const char*, int> names[] = {{"乾为天", 1},  {"天风姤", 2},  {" 坤为地 ", 57},
                                                 {"地雷复", 58}, {"水地比", 64}, {"火水未济", 20},
                                                 {"", 0},        {"天风", 0},    {"天风姤姤", 0}};
    for (const auto& [name, number] : names) EXPECT_EQ(HexagramNumberOfName(name), number) << name;
    const std::pair<const char*, int> codes[] = {{"111111", 1}, {"111112", 2},  {"111114", 2},
                                                 {"333334", 2}, {"222222", 57}, {"444444", 57},
                                                 {"11111", 0},  {"111115", 0},  {"1111122", 0}};
    for (const auto& [code, number] : codes) EXPECT_EQ(HexagramNumberOfCode(code), number) << code;
}

TEST_F(Book, HexagramSearchMatchesTheMainOrTheChangedHexagram) {
    struct Stored {
        const char* main;
        const char* changed;
    };
    const Stored stored[] = {
        {"111112", "111112"},  // 0: 天风姤, no moving line
        {"111114", "111111"},  // 1: 天风姤 changing to 乾为天
        {"111111", "111111"},  // 2: 乾为天
        {"222224", "222221"},  // 3: 坤为地 changing to 地雷复
        {"11111", "111111"},   // 4: a damaged main code
        {"111112", "111112"},  // 5: 天风姤, deleted
    };
    for (const Stored& s : stored) {
        CaseRecord r = variedRecord(1);
        r.mainCode = s.main;
        r.changedCode = s.changed;
        ASSERT_TRUE(db.addCase(r).ok);
    }
    ASSERT_TRUE(db.removeCase(5).ok);
    const int gou = HexagramNumberOfName("天风姤"), qian = HexagramNumberOfName("乾为天");
    const int kun = HexagramNumberOfName("坤为地"), fu = HexagramNumberOfName("地雷复");
    struct Query {
        int hexagram, changed;
        Ids found;
    };
    const Query queries[] = {
        {gou, 0, {0, 1}},        {qian, 0, {1, 2, 4}}, {0, qian, {1, 2, 4}}, {gou, qian, {1}}, {qian, qian, {2}},
        {kun, 0, {3}},           {fu, 0, {3}},         {0, fu, {3}},         {fu, fu, {}},     {kun, fu, {3}},
        {0, 0, {0, 1, 2, 3, 4}},
    };
    for (const Query& q : queries) {
        CaseQuery query;
        query.hexagram = q.hexagram;
        query.changedHexagram = q.changed;
        Ids ids;
        ASSERT_TRUE(db.searchCases(query, ids).ok);
        EXPECT_EQ(ids, q.found) << q.hexagram << " / " << q.changed;
    }
    CaseQuery named;
    named.hexagram = gou;
    named.name = "李";
    named.nameMode = MatchMode::Contains;
    Ids ids;
    ASSERT_TRUE(db.searchCases(named, ids).ok);
    EXPECT_TRUE(ids.empty());
    CaseQuery bad;
    bad.hexagram = 65;
    const Status refused = db.searchCases(bad, ids);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "卦名应为六十四卦之一。");
}

// ---- appending many cases

TEST_F(Book, AppendingManyCasesStartsTheNextDataFile) {
    append(kSlotsPerFile - 2);
    append(5, kSlotsPerFile - 2);
    ASSERT_EQ(slotCount(), kSlotsPerFile + 3);
    EXPECT_EQ(fs::file_size(db.dataFile(1)), 3u * kCaseRecordSize);
    for (std::uint32_t id = kSlotsPerFile - 3; id < kSlotsPerFile + 3; ++id) {
        CaseRecord r;
        ASSERT_TRUE(db.readCase(id, r).live()) << id;
        CaseRecord expected = variedRecord(static_cast<int>(id));
        expected.id = id;
        CaseRecordBytes bytes;
        ASSERT_TRUE(encodeCaseRecord(expected, bytes).ok);
        EXPECT_TRUE(r == decodeCaseRecord(bytes)) << id;  // the spare bytes as a slot holds them
    }
    EXPECT_TRUE(db.checkIntact().ok);
}

// An append of many writes the files a run of single saves writes, header included: the
// book stays readable by any program that reads it case by case.
TEST_F(Book, AppendingManyWritesTheSameBytesAsSavingOneByOne) {
    append(25);
    MDataBase single;
    const qingheng::testing::TemporaryHome other{"casebook_single", qingheng::testing::memoryFolder()};
    ASSERT_TRUE(single.openStore(other.path(), kKindLiuYao).ok);
    for (int k = 0; k < 25; ++k) {
        CaseRecord r = variedRecord(k);
        ASSERT_TRUE(single.addCase(r).ok);
    }
    EXPECT_EQ(readFileBytes(db.dataFile(0)), readFileBytes(single.dataFile(0)));
}

TEST_F(Book, AFailedAppendAcrossTwoFilesLeavesTheBookAsItWas) {
    append(kSlotsPerFile - 2);
    const auto file0 = fs::file_size(db.dataFile(0));
    const std::string headerBefore = readFileBytes(db.dataFile(0)).value().substr(0, kHeaderSize);
    // The third open is the header's, after both files got their slots.
    int opens = 0;
    fileops::setFaultHook([&](fileops::Op op, std::string_view) {
        return op == fileops::Op::Open && ++opens == 3 ? fileops::Fault::Fail : fileops::Fault::None;
    });
    std::vector<CaseRecord> records = {variedRecord(1), variedRecord(2), variedRecord(3), variedRecord(4)};
    const Status failed = db.appendCases(records);
    fileops::setFaultHook({});
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(slotCount(), kSlotsPerFile - 2);
    EXPECT_EQ(fs::file_size(db.dataFile(0)), file0);
    EXPECT_FALSE(fs::exists(db.dataFile(1)));
    EXPECT_EQ(readFileBytes(db.dataFile(0)).value().substr(0, kHeaderSize), headerBefore);
}

TEST_F(Book, AppendingRefusesEveryCaseWhenOneDoesNotFit) {
    append(2);
    std::vector<CaseRecord> records = {variedRecord(1), variedRecord(2), variedRecord(3)};
    records[2].name = "六个汉字太长";
    const Status refused = db.appendCases(records);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "求测人太长：最多10个字节（一个汉字占两个字节）。");
    EXPECT_EQ(slotCount(), 2);
    EXPECT_EQ(fs::file_size(db.dataFile(0)), std::uintmax_t(kHeaderSize + 2 * kCaseRecordSize));
}
