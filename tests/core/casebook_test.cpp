// Record codec and case book behaviour on real files in a private program folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>

#include "TemporaryHome.h"
#include "casebook/CaseRecord.h"
#include "casebook/Database.h"
#include "platform/FileUtil.h"
#include "platform/Gbk.h"

namespace fs = std::filesystem;
using namespace qingheng;

namespace {

CaseRecord sampleRecord(const std::string& name, std::int16_t year = 2024) {
    CaseRecord r;
    r.name = name;
    r.category = "财运";
    r.year = year;
    r.month = 3;
    r.day = 15;
    r.hour = 9;
    r.minute = 30;
    r.extra = "备注:测试";
    r.question = "问生意";
    r.useGod = 2;
    r.mainCode = "123412";
    r.changedCode = "121212";
    r.label = "铜钱摇卦";
    return r;
}

std::string bytesOf(const fs::path& p) { return readFileBytes(p).value_or(std::string()); }

template <typename T>
T valueAt(const std::string& bytes, std::size_t offset) {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

// Writes a header straight into file 0, as another program could have left it.
void writeRawHeader(const fs::path& file0, const CaseBookHeader& h) {
    std::fstream f(file0, std::ios::binary | std::ios::in | std::ios::out);
    const auto bytes = h.encode();
    f.write(bytes.data(), bytes.size());
}

class CaseBookTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(db.openStore(home, kKindLiuYao).ok); }

    std::uint32_t add(const std::string& name, std::int16_t year = 2024) {
        CaseRecord r = sampleRecord(name, year);
        const Status s = db.addCase(r);
        EXPECT_TRUE(s.ok) << s.message;
        return r.id;
    }
    // Reads only the header: file 0 may hold 50 000 slots.
    CaseBookHeader header() const {
        std::array<char, kHeaderSize> bytes{};
        std::ifstream(db.dataFile(0), std::ios::binary).read(bytes.data(), bytes.size());
        return CaseBookHeader::decode(bytes.data());
    }
    std::vector<std::uint32_t> search(CaseQuery q) {
        std::vector<std::uint32_t> ids;
        const Status s = db.searchCases(q, ids);
        EXPECT_TRUE(s.ok) << s.message;
        return ids;
    }

    qingheng::testing::TemporaryHome temporaryHome{"casebook"};
    const fs::path home = temporaryHome.path();
    MDataBase db;
};

}  // namespace

// ---- record codec

TEST(CaseRecordCodec, FieldsLandAtTheirOffsetsInGbk) {
    CaseRecord r = sampleRecord("张三");
    r.id = 7;
    r.lunar = true;
    r.leap = true;
    CaseRecordBytes b;
    ASSERT_TRUE(encodeCaseRecord(r, b).ok);
    const std::string s(b.data(), b.size());
    EXPECT_EQ(valueAt<std::uint32_t>(s, 0), 7u);
    EXPECT_EQ(s[4], 0);
    EXPECT_EQ(s.substr(5, 5), std::string("\xD5\xC5\xC8\xFD\0", 5));  // 张三 in GBK, terminated
    EXPECT_EQ(s.substr(17, 4), "\xB2\xC6\xD4\xCB");                   // 财运
    EXPECT_EQ(valueAt<std::int16_t>(s, 32), 2024);
    EXPECT_EQ(valueAt<std::int16_t>(s, 34), 3);
    EXPECT_EQ(valueAt<std::int16_t>(s, 36), 15);
    EXPECT_EQ(valueAt<std::int16_t>(s, 38), 9);
    EXPECT_EQ(valueAt<std::int16_t>(s, 40), 30);
    EXPECT_EQ(s[42], 1);
    EXPECT_EQ(s[43], 1);
    EXPECT_EQ(valueAt<float>(s, 52), -501.0f);
    EXPECT_EQ(valueAt<float>(s, 56), -501.0f);
    EXPECT_EQ(s.substr(60, 5), "\xB1\xB8\xD7\xA2:");  // 备注:
    EXPECT_EQ(s.substr(1062, 6), "\xCE\xCA\xC9\xFA\xD2\xE2");
    EXPECT_EQ(valueAt<std::uint32_t>(s, 1104), 2u);
    EXPECT_EQ(s.substr(1176, 7), std::string("123412\0", 7));
    EXPECT_EQ(s.substr(1183, 7), std::string("121212\0", 7));
    EXPECT_EQ(s.substr(1190, 8), "\xCD\xAD\xC7\xAE\xD2\xA1\xD8\xD4");  // 铜钱摇卦

    const CaseRecord back = decodeCaseRecord(b);
    EXPECT_EQ(back.name, "张三");
    EXPECT_EQ(back.extra, "备注:测试");
    EXPECT_EQ(back.label, "铜钱摇卦");
    EXPECT_TRUE(back.lunar && back.leap);
    EXPECT_EQ(back.id, 7u);
}

TEST(CaseRecordCodec, RefusesTextThatDoesNotFitOrCannotBeStored) {
    EXPECT_TRUE(checkCaseText(CaseField::Name, "五个汉字啊").ok);  // exactly 10 bytes
    const Status tooLong = checkCaseText(CaseField::Name, "六个汉字太长");
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.message, "求测人太长：最多10个字节（一个汉字占两个字节）。");
    EXPECT_TRUE(checkCaseText(CaseField::Category, "六个汉字名字a").ok);  // 13 bytes
    EXPECT_FALSE(checkCaseText(CaseField::Category, "七个汉字的名字").ok);
    const Status emoji = checkCaseText(CaseField::Question, "问\xF0\x9F\x98\x80");
    EXPECT_FALSE(emoji.ok);
    EXPECT_NE(emoji.message.find("占问事宜含有无法保存的字符"), std::string::npos);

    CaseRecord r = sampleRecord(std::string(11, 'a'));
    CaseRecordBytes b{};
    b[0] = 'x';
    EXPECT_FALSE(encodeCaseRecord(r, b).ok);
    EXPECT_EQ(b[0], 'x');  // nothing written on refusal
}

TEST(CaseRecordCodec, DecodesAFieldCutInsideACharacter) {
    CaseRecordBytes b{};
    std::memcpy(b.data() + 5, "\xD5\xC5\xC8", 3);  // 张 and half of 三
    EXPECT_EQ(decodeCaseRecord(b).name, "张\xEF\xBF\xBD");
    std::memcpy(b.data() + 17, "abcdefghijklmno", 15);  // no terminator inside the field
    EXPECT_EQ(decodeCaseRecord(b).category, "abcdefghijklmno");
}

TEST(CaseRecordCodec, DateTextOfAListRow) {
    CaseRecord r = sampleRecord("甲");
    EXPECT_EQ(caseDateText(r), "公2024-3-15");
    r.leap = true;  // a leap flag without the lunar flag means nothing
    EXPECT_EQ(caseDateText(r), "公2024-3-15");
    r.lunar = true;
    EXPECT_EQ(caseDateText(r), "农闰2024-3-15");
    r.leap = false;
    EXPECT_EQ(caseDateText(r), "农2024-3-15");
}

// ---- store

TEST_F(CaseBookTest, OpenCreatesTheTwentyByteHeaderOnceAndKeepsAnExistingFile) {
    EXPECT_EQ(bytesOf(db.dataFile(0)), std::string("\x03\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\0\0", 20));
    EXPECT_TRUE(fs::is_directory(home / "liuyao_f"));
    add("甲");
    const std::string before = bytesOf(db.dataFile(0));
    MDataBase again;
    ASSERT_TRUE(again.openStore(home, kKindLiuYao).ok);
    EXPECT_EQ(bytesOf(db.dataFile(0)), before);
    EXPECT_EQ(db.reportPath(17), home / "liuyao_f" / "17.rtf");
    EXPECT_EQ(db.plumReportPath(17), home / "liuyao_f" / "17m.rtf");
}

TEST_F(CaseBookTest, AddAppendsSlotsAndReadWriteRoundTrip) {
    EXPECT_EQ(add("甲"), 0u);
    EXPECT_EQ(add("乙"), 1u);
    EXPECT_EQ(fs::file_size(db.dataFile(0)), 20u + 2 * 1212u);
    EXPECT_EQ(header().slotCount, 2);

    CaseRecord r;
    ASSERT_TRUE(db.readCase(1, r).live());
    EXPECT_EQ(r.name, "乙");
    EXPECT_EQ(r.id, 1u);
    r.question = "改过的问题";
    r.id = 99;  // the slot index wins over a stale id
    ASSERT_TRUE(db.writeCase(1, r).ok);
    CaseRecord back;
    ASSERT_TRUE(db.readCase(1, back).live());
    EXPECT_EQ(back.question, "改过的问题");
    EXPECT_EQ(back.id, 1u);

    EXPECT_EQ(db.readCase(2, r).state, SlotState::OutOfRange);
    EXPECT_FALSE(db.writeCase(2, r).ok);
    int count = -1;
    ASSERT_TRUE(db.countSlots(count).ok);
    EXPECT_EQ(count, 2);
}

TEST_F(CaseBookTest, DeletedSlotReadsAsNotLiveButFillsTheRecord) {
    add("甲");
    add("乙");
    ASSERT_TRUE(db.removeCase(0).ok);
    CaseRecord r;
    const SlotRead read = db.readCase(0, r);
    EXPECT_FALSE(read.live());
    EXPECT_EQ(read.state, SlotState::Deleted);
    EXPECT_EQ(r.name, "甲");
    EXPECT_FALSE(db.writeCase(0, sampleRecord("复活")).ok);
    ASSERT_TRUE(db.removeCase(0).ok);  // a second delete is not counted again
    EXPECT_EQ(header().freeCount, 1);
    EXPECT_FALSE(db.removeCase(5).ok);
}

TEST_F(CaseBookTest, DeletedSlotsAreReusedOnlyFromTheThirtiethDeletion) {
    for (int i = 0; i < 40; ++i) add("人" + std::to_string(i));
    for (std::uint32_t id = 1; id <= 29; ++id) ASSERT_TRUE(db.removeCase(id).ok);
    EXPECT_FALSE(header().reuse);
    EXPECT_EQ(add("新"), 40u);  // 29 free slots: still appends

    ASSERT_TRUE(db.removeCase(35).ok);
    EXPECT_TRUE(header().reuse);
    EXPECT_EQ(header().freeCount, 30);
    EXPECT_EQ(bytesOf(db.dataFile(0))[12], 1);
    EXPECT_EQ(add("补"), 1u);  // the lowest deleted id
    for (std::uint32_t expected = 2; expected <= 29; ++expected) EXPECT_EQ(add("补"), expected);
    EXPECT_TRUE(header().reuse);
    EXPECT_EQ(add("补"), 35u);  // the last free slot clears the flag
    EXPECT_FALSE(header().reuse);
    EXPECT_EQ(header().freeCount, 0);
    EXPECT_EQ(add("新"), 41u);
}

TEST_F(CaseBookTest, ReuseFlagWithoutADeletedSlotAppendsAndRepairsTheHeader) {
    add("甲");
    add("乙");
    CaseBookHeader h = header();
    h.reuse = true;
    h.freeCount = 2;
    writeRawHeader(db.dataFile(0), h);
    EXPECT_EQ(add("丙"), 2u);
    EXPECT_FALSE(header().reuse);
    EXPECT_EQ(header().freeCount, 0);
    EXPECT_EQ(header().slotCount, 3);
}

TEST_F(CaseBookTest, SlotFiftyThousandAndOneGoesToTheSecondDataFile) {
    // A full first file, made sparse: zero slots read as live records without text.
    fs::resize_file(db.dataFile(0), 20 + std::uintmax_t(kSlotsPerFile) * kCaseRecordSize);
    CaseBookHeader h;
    h.slotCount = kSlotsPerFile;
    writeRawHeader(db.dataFile(0), h);
    EXPECT_FALSE(fs::exists(db.dataFile(1)));

    EXPECT_EQ(add("五万"), 50000u);
    EXPECT_EQ(fs::file_size(db.dataFile(1)), 1212u);
    EXPECT_EQ(header().fileCount, 2);
    EXPECT_EQ(header().slotCount, 50001);
    const std::string second = bytesOf(db.dataFile(1));
    EXPECT_EQ(valueAt<std::uint32_t>(second, 0), 50000u);
    CaseRecord r;
    ASSERT_TRUE(db.readCase(50000, r).live());
    EXPECT_EQ(r.name, "五万");

    CaseQuery q;
    q.nameMode = MatchMode::Equals;
    q.name = "五万";
    EXPECT_EQ(search(q), std::vector<std::uint32_t>{50000});
}

TEST_F(CaseBookTest, SearchMatchesEachCriterion) {
    EXPECT_TRUE(search({}).empty());
    add("张三", 2003);    // 0
    add("张", 2004);      // 1
    add("李四", 2005);    // 2
    add("老张头", 2006);  // 3
    ASSERT_TRUE(db.removeCase(2).ok);
    EXPECT_EQ(search({}), (std::vector<std::uint32_t>{0, 1, 3}));

    CaseQuery q;
    q.name = "张";
    q.nameMode = MatchMode::Contains;
    EXPECT_EQ(search(q), (std::vector<std::uint32_t>{0, 1, 3}));
    q.nameMode = MatchMode::Equals;
    EXPECT_EQ(search(q), (std::vector<std::uint32_t>{1}));

    CaseQuery years;
    years.useYears = true;
    years.firstYear = 2004;
    years.lastYear = 2006;
    EXPECT_EQ(search(years), (std::vector<std::uint32_t>{1, 3}));

    CaseQuery question;
    question.question = "生意";
    question.questionMode = MatchMode::Contains;
    question.category = "财运";
    question.categoryMode = MatchMode::Equals;
    EXPECT_EQ(search(question), (std::vector<std::uint32_t>{0, 1, 3}));
    question.category = "财";
    EXPECT_TRUE(search(question).empty());

    CaseQuery kind;
    kind.useKindCode = true;
    kind.kindCode = 1;
    EXPECT_TRUE(search(kind).empty());
}

TEST(CaseQueryYears, RangesOutsideTheCalendarOrBackwardsAreRefusedAndChangeNothing) {
    struct Case {
        int first, last;
        const char* message;  // empty: accepted
    };
    const Case cases[] = {
        {1900, 2050, ""},
        {2004, 2004, ""},
        {1899, 2000, "年份必须在1900到2050年之间"},
        {2000, 2051, "年份必须在1900到2050年之间"},
        {0, 0, "年份必须在1900到2050年之间"},
        {2006, 2004, "结束年必须大于或等于起始年"},
    };
    for (const Case& c : cases) {
        CaseQuery q;
        q.firstYear = 1;
        q.lastYear = 2;
        const Status s = setQueryYears(q, c.first, c.last);
        EXPECT_EQ(s.message, c.message) << c.first << "-" << c.last;
        EXPECT_EQ(q.useYears, s.ok);
        EXPECT_EQ(q.firstYear, s.ok ? c.first : 1);
        EXPECT_EQ(q.lastYear, s.ok ? c.last : 2);
    }
}

TEST_F(CaseBookTest, ContainsSearchDoesNotMatchAcrossCharacterBoundaries) {
    // 张刷 is D5 C5 CB A2 in GBK; the middle bytes C5 CB are another character that the
    // name does not contain.
    const auto middle = gbk::toUtf8("\xC5\xCB");
    ASSERT_TRUE(middle.has_value());
    add("张刷");
    CaseQuery q;
    q.name = *middle;
    q.nameMode = MatchMode::Contains;
    EXPECT_TRUE(search(q).empty());
    add("a" + *middle);
    EXPECT_EQ(search(q), std::vector<std::uint32_t>{1});
}

TEST_F(CaseBookTest, KindsWithoutAQuestionFieldIgnoreTheQuestionCriterion) {
    MDataBase bazi;
    ASSERT_TRUE(bazi.openStore(home, 0).ok);
    EXPECT_TRUE(fs::exists(home / "dat" / "bazi0.dat"));
    CaseRecord r = sampleRecord("甲");
    ASSERT_TRUE(bazi.addCase(r).ok);
    CaseQuery q;
    q.question = "不存在";
    q.questionMode = MatchMode::Equals;
    std::vector<std::uint32_t> ids;
    ASSERT_TRUE(bazi.searchCases(q, ids).ok);
    EXPECT_EQ(ids, std::vector<std::uint32_t>{0});
    EXPECT_EQ(q.questionMode, MatchMode::Ignore);
}

TEST_F(CaseBookTest, StartupListReadsOnlyTheFirstSlots) {
    for (int i = 0; i < 5; ++i) add("人");
    ASSERT_TRUE(db.removeCase(1).ok);
    std::vector<std::uint32_t> ids;
    ASSERT_TRUE(db.liveIds(3, ids).ok);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 2}));
    ASSERT_TRUE(db.liveIds(-1, ids).ok);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 2, 3, 4}));
}

TEST_F(CaseBookTest, ExportImportAndClearMoveTheWholeBook) {
    add("甲");
    add("乙");
    std::ofstream(db.reportPath(0)) << "{\\rtf1 甲}";
    std::ofstream(db.plumReportPath(0)) << "{\\rtf1 梅}";
    std::ofstream(db.reportFolder() / "notes.txt") << "kept";

    const qingheng::testing::TemporaryHome backupHome("backup");
    const fs::path backup = backupHome.path();
    fs::create_directories(backup / "liuyao_f");
    std::ofstream(backup / "liuyao_f" / "9.rtf") << "older backup";
    std::ofstream(backup / "liuyao_f" / "0.rtf") << "overwritten";
    ASSERT_TRUE(db.exportStore(backup).ok);
    EXPECT_EQ(bytesOf(backup / "liuyao0.dat"), bytesOf(db.dataFile(0)));
    EXPECT_EQ(bytesOf(backup / "liuyao_f" / "0.rtf"), "{\\rtf1 甲}");
    EXPECT_EQ(bytesOf(backup / "liuyao_f" / "9.rtf"), "older backup");
    fs::remove(backup / "liuyao_f" / "9.rtf");
    EXPECT_EQ(bytesOf(backup / "liuyao_f" / "0m.rtf"), "{\\rtf1 梅}");
    EXPECT_FALSE(fs::exists(backup / "liuyao_f" / "notes.txt"));

    // Another book is replaced by the backup.
    const qingheng::testing::TemporaryHome otherHome("other");
    const fs::path other = otherHome.path();
    MDataBase second;
    ASSERT_TRUE(second.openStore(other, kKindLiuYao).ok);
    for (int i = 0; i < 5; ++i) {
        CaseRecord r = sampleRecord("旧");
        ASSERT_TRUE(second.addCase(r).ok);
    }
    std::ofstream(second.reportPath(4)) << "old";
    const Status imported = second.importStore(backup / "liuyao0.dat");
    ASSERT_TRUE(imported.ok) << imported.message;
    EXPECT_EQ(bytesOf(second.dataFile(0)), bytesOf(db.dataFile(0)));
    EXPECT_FALSE(fs::exists(second.reportPath(4)));
    EXPECT_EQ(bytesOf(second.reportPath(0)), "{\\rtf1 甲}");
    CaseRecord r;
    ASSERT_TRUE(second.readCase(1, r).live());
    EXPECT_EQ(r.name, "乙");

    ASSERT_TRUE(db.clearStore().ok);
    EXPECT_FALSE(fs::exists(db.dataFile(0)));
    EXPECT_FALSE(fs::exists(db.reportPath(0)));
    EXPECT_TRUE(fs::exists(db.reportFolder() / "notes.txt"));
    EXPECT_FALSE(db.countSlots(*std::make_unique<int>()).ok);  // headerless until reopened
    ASSERT_TRUE(db.openStore(home, kKindLiuYao).ok);
    EXPECT_EQ(header().slotCount, 0);
}

TEST_F(CaseBookTest, ImportWithoutAReportFolderCopiesTheDataFilesOnly) {
    add("甲");
    const qingheng::testing::TemporaryHome backupHome("backup");
    const fs::path backup = backupHome.path();
    ASSERT_TRUE(db.exportStore(backup).ok);
    fs::remove_all(backup / "liuyao_f");
    std::ofstream(db.reportPath(0)) << "report";
    add("乙");
    const Status s = db.importStore(backup / "liuyao0.dat");
    ASSERT_TRUE(s.ok) << s.message;
    EXPECT_EQ(header().slotCount, 1);
    EXPECT_TRUE(fs::is_directory(db.reportFolder()));
    EXPECT_FALSE(fs::exists(db.reportPath(0)));
}
