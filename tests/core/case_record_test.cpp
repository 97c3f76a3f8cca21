// The cast input kept in a slot's spare bytes: where it lies, and that older slots read as
// holding none.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "casebook/CaseRecord.h"

using namespace qingheng;

namespace {

constexpr int kSpare = 1108;  // the 68 spare bytes run from 1108 to 1175

CaseRecord characterCase() {
    CaseRecord r;
    r.name = "张三";
    r.question = "问事";
    r.mainCode = "121411";
    r.changedCode = "121111";
    r.label = "汉字起卦";
    r.castInput = StoredCastInput{"國家", 11, 10, 21};
    return r;
}

CaseRecordBytes encoded(const CaseRecord& r) {
    CaseRecordBytes b{};
    EXPECT_TRUE(encodeCaseRecord(r, b).ok);
    return b;
}

std::string bytesAt(const CaseRecordBytes& b, int offset, int n) { return std::string(b.data() + offset, n); }

}  // namespace

TEST(CaseRecordCastInput, LiesBehindAMarkerInTheSpareBytes) {
    const CaseRecordBytes b = encoded(characterCase());
    EXPECT_EQ(bytesAt(b, kSpare, 4), std::string("QHI\x01", 4));
    EXPECT_EQ(b[kSpare + 4], 4);                                                  // the text's length in GBK bytes
    EXPECT_EQ(bytesAt(b, kSpare + 5, 5), std::string("\x87\xF8\xBC\xD2\0", 5));   // 國家
    EXPECT_EQ(bytesAt(b, kSpare + 45, 6), std::string("\x0B\0\x0A\0\x15\0", 6));  // 11, 10, 21
    EXPECT_EQ(bytesAt(b, 1176, 6), "121411");  // the fields after the spare bytes are untouched

    const CaseRecord back = decodeCaseRecord(b);
    ASSERT_TRUE(back.castInput);
    EXPECT_EQ(*back.castInput, (StoredCastInput{"國家", 11, 10, 21}));
}

TEST(CaseRecordCastInput, SlotsWithoutTheMarkerHoldNoInput) {
    struct Case {
        const char* what;
        std::string spare;  // the first bytes of the spare area
    };
    for (const Case& c : {Case{"an older file's zeros", std::string(8, '\0')},
                          {"another program's bytes", "\x12\x34QHI\x01\x02"},
                          {"an unknown version", std::string("QHI\x02\x02"
                                                             "12",
                                                             7)},
                          {"a length beyond the text field", std::string("QHI\x01\x29", 5)},
                          {"text that is not GBK", std::string("QHI\x01\x02\x81\x20", 7)}}) {
        CaseRecord plain = characterCase();
        plain.castInput.reset();
        CaseRecordBytes b = encoded(plain);
        std::memcpy(b.data() + kSpare, c.spare.data(), c.spare.size());
        const CaseRecord back = decodeCaseRecord(b);
        EXPECT_FALSE(back.castInput) << c.what;
        // Bytes the program does not own come back as they were found; a marker of its own
        // that leads to nothing is cleared.
        std::string expected = c.spare;
        if (expected.rfind("QHI\x01", 0) == 0) expected[0] = '\0';
        EXPECT_EQ(bytesAt(encoded(back), kSpare, static_cast<int>(c.spare.size())), expected) << c.what;
    }
}

TEST(CaseRecordCastInput, ARecordThatDropsItsInputNoLongerReadsOne) {
    CaseRecord r = decodeCaseRecord(encoded(characterCase()));
    r.castInput.reset();
    EXPECT_FALSE(decodeCaseRecord(encoded(r)).castInput);
}

TEST(CaseRecordCastInput, AnInputThatDoesNotFitIsRefused) {
    CaseRecord r = characterCase();
    r.castInput->text = std::string(41, '1');
    CaseRecordBytes b{};
    EXPECT_FALSE(encodeCaseRecord(r, b).ok);
    EXPECT_FALSE(checkCaseRecord(r).ok);
    r.castInput->text = std::string(40, '1');
    EXPECT_TRUE(encodeCaseRecord(r, b).ok);
}
