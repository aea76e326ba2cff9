#include "terminal/Records.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kvl {
namespace {

struct FieldLayout {
    std::string name;
    std::size_t offset;
    std::size_t width;
};

bool operator==(const FieldLayout& a, const FieldLayout& b) {
    return a.name == b.name && a.offset == b.offset && a.width == b.width;
}

std::ostream& operator<<(std::ostream& out, const FieldLayout& f) {
    return out << f.name << "@" << f.offset << "+" << f.width;
}

const std::vector<FieldLayout> EthLayout = {{"IpAddress", 0, 16}, {"Port", 16, 6}};

const std::vector<FieldLayout> Rs232Layout = {{"ComPort", 0, 6},
                                              {"BaudCode", 6, 2},
                                              {"DataBitsCode", 8, 2},
                                              {"ParityCode", 10, 2},
                                              {"StopBitsCode", 12, 2}};

const std::vector<FieldLayout> RequestLayout = {
    {"Amount", 0, 9},      {"CashRegisterId", 9, 9},  {"PaymentType", 18, 2},
    {"TerminalId", 20, 9}, {"ContractText", 29, 129}, {"PreauthorizationCode", 158, 10},
    {"Stan", 168, 7},      {"Extra1", 175, 2},        {"Extra2", 177, 2},
    {"Extra3", 179, 2},    {"Extra4", 181, 2},        {"Extra5", 183, 6},
    {"Extra6", 189, 12},   {"Extra7", 201, 11},       {"Extra8", 212, 7}};

const std::vector<FieldLayout> AnswerLayout = {{"TerminalId", 0, 9},
                                               {"AcquirerId", 9, 12},
                                               {"TransactionType", 21, 4},
                                               {"TransactionResult", 25, 3},
                                               {"KODescription", 28, 25},
                                               {"CardType", 53, 2},
                                               {"STAN", 55, 7},
                                               {"POSBalance", 62, 17},
                                               {"BankBalance", 79, 17},
                                               {"PAN", 96, 20},
                                               {"AuthorizationCode", 116, 7},
                                               {"OperationNumber", 123, 7},
                                               {"AmountAuth", 130, 9},
                                               {"PreauthorizationCode", 139, 10},
                                               {"ActionCode", 149, 4},
                                               {"DataTrs", 153, 8},
                                               {"AmountEcho", 161, 9},
                                               {"Ticket", 170, 4097}};

template <class Record> std::string imageOf(Record& record) {
    const auto image = packImage(record);
    return std::string(image.begin(), image.end());
}

template <class Record> void setImage(Record& record, const std::string& bytes) {
    std::array<char, Record::size> image{};
    ASSERT_EQ(bytes.size(), image.size());
    std::copy(bytes.begin(), bytes.end(), image.begin());
    unpackImage(record, image);
}

template <class Record>
void storeField(Record& record, const std::string& name, const std::string& value) {
    record.visit([&](const char* fieldName, auto& field) {
        if (name == fieldName) {
            field.store(value);
        }
    });
}

// A text of the given width that differs from one field to the next.
std::string marker(std::size_t width, std::size_t seed) {
    std::string text(width, ' ');
    for (std::size_t i = 0; i < width; ++i) {
        text[i] = static_cast<char>('A' + (seed + i) % 26);
    }
    return text;
}

template <class Record> void expectLayout(const std::vector<FieldLayout>& expected) {
    Record layoutSource{};
    std::vector<FieldLayout> actual;
    std::size_t offset = 0;
    layoutSource.visit([&](const char* name, auto& field) {
        actual.push_back({name, offset, field.width});
        offset += field.width;
    });
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(offset, Record::size);

    // Each field, stored alone, lands at its offset in the image and nowhere else.
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FieldLayout& f = expected[i];
        Record record{};
        const std::string text = marker(f.width, i);
        storeField(record, f.name, text);
        std::string wanted(Record::size, '\0');
        wanted.replace(f.offset, f.width, text);
        EXPECT_EQ(imageOf(record), wanted) << f.name;
    }
}

TEST(RecordLayout, EthInitRecord) {
    expectLayout<EthInitRecord>(EthLayout);
}
TEST(RecordLayout, Rs232InitRecord) {
    expectLayout<Rs232InitRecord>(Rs232Layout);
}
TEST(RecordLayout, PosRequest) {
    expectLayout<PosRequest>(RequestLayout);
}
TEST(RecordLayout, POSDATA) {
    expectLayout<POSDATA>(AnswerLayout);
}

TEST(RecordLayout, ImageSizes) {
    EXPECT_EQ(sizeof(packImage(std::declval<EthInitRecord&>())), 22u);
    EXPECT_EQ(sizeof(packImage(std::declval<Rs232InitRecord&>())), 14u);
    EXPECT_EQ(sizeof(packImage(std::declval<PosRequest&>())), 219u);
    EXPECT_EQ(sizeof(packImage(std::declval<POSDATA&>())), 4267u);
}

TEST(Records, NeverWrittenFieldsAreNul) {
    TerminalRecords records;
    EXPECT_EQ(imageOf(records.ethInit), std::string(22, '\0'));
    EXPECT_EQ(imageOf(records.rs232Init), std::string(14, '\0'));
    EXPECT_EQ(imageOf(records.request), std::string(219, '\0'));
    EXPECT_EQ(imageOf(records.posData), std::string(4267, '\0'));
}

struct StoreCase {
    std::string value;
    std::string stored;
};

class PortStore : public testing::TestWithParam<StoreCase> {};

TEST_P(PortStore, IsLeftAlignedBlankPaddedAndCut) {
    EthInitRecord record;
    record.Port.store(GetParam().value);
    EXPECT_EQ(imageOf(record).substr(16), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, PortStore,
                         testing::Values(StoreCase{"123", "123   "}, StoreCase{"", "      "},
                                         StoreCase{"123456", "123456"},
                                         StoreCase{"1234567", "123456"},
                                         StoreCase{" 1", " 1    "}));

TEST(Records, LongIpAddressKeepsSixteenCharacters) {
    EthInitRecord record;
    record.IpAddress.store("192.168.100.1134"); // 16
    record.Port.store("8000");
    EXPECT_EQ(imageOf(record), "192.168.100.11348000  ");

    record.IpAddress.store("192.168.100.11345"); // 17
    EXPECT_EQ(imageOf(record), "192.168.100.11348000  ");
}

TEST(Records, ShorterStoreOverwritesAnEarlierLongerOne) {
    PosRequest request;
    request.Amount.store("123456789");
    request.Amount.store("5");
    EXPECT_EQ(request.Amount.text(), "5        ");
}

TEST(Records, ExtrasTravelAsNulBytesWhenTheOtherFieldsAreFilled) {
    PosRequest request;
    request.visit([](const char* name, auto& field) {
        if (std::string(name).rfind("Extra", 0) != 0) {
            field.store("9");
        }
    });
    const std::string image = imageOf(request);
    EXPECT_EQ(image.substr(175), std::string(219 - 175, '\0'));
    EXPECT_EQ(image.substr(0, 9), "9        ");
    EXPECT_EQ(image.substr(168, 7), "9      ");
}

TEST(Records, ImageRoundTripReachesTheFields) {
    POSDATA answer;
    answer.TerminalId.store("OLD");
    std::string image = imageOf(answer);
    image.replace(0, 9, "T1234567X");
    image.replace(25, 3, "KO ");
    image.replace(28, 25, std::string("Carta rifiutata\0\0\0\0\0\0\0\0\0\0", 25));
    image.replace(153, 8, "20240131");
    image[4266] = 'E';
    setImage(answer, image);

    EXPECT_EQ(answer.TerminalId.text(), "T1234567X");
    EXPECT_EQ(answer.TransactionResult.text(), "KO ");
    EXPECT_EQ(answer.KODescription.text(), std::string("Carta rifiutata\0\0\0\0\0\0\0\0\0\0", 25));
    EXPECT_EQ(answer.DataTrs.text(), "20240131");
    EXPECT_EQ(answer.Ticket.text().back(), 'E');
    EXPECT_EQ(answer.AcquirerId.text(), std::string(12, '\0'));
    EXPECT_EQ(imageOf(answer), image);
}

TEST(Records, EveryByteValueSurvivesTheRoundTrip) {
    std::string image(Rs232InitRecord::size, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(0xF0 + i);
    }
    Rs232InitRecord record;
    setImage(record, image);
    EXPECT_EQ(imageOf(record), image);
    EXPECT_EQ(record.BaudCode.text(), image.substr(6, 2));
}

TEST(Records, LibraryWrittenFieldIsSentAgainOnTheNextCall) {
    PosRequest request;
    request.Amount.store("100");
    std::string image = imageOf(request);
    image.replace(175, 2, "L1"); // the library writes Extra1
    image.replace(212, 7, "LIBRARY");
    setImage(request, image);

    request.Amount.store("200"); // the next operation changes only the amount
    const std::string next = imageOf(request);
    EXPECT_EQ(next.substr(0, 9), "200      ");
    EXPECT_EQ(next.substr(175, 2), "L1");
    EXPECT_EQ(next.substr(212, 7), "LIBRARY");
}

TEST(Records, UntouchedAnswerFieldKeepsThePreviousValue) {
    POSDATA answer;
    std::string first(POSDATA::size, '\0');
    first.replace(96, 20, "************1234    ");
    setImage(answer, first);

    std::string second = imageOf(answer);
    second.replace(25, 3, "00 ");
    setImage(answer, second);
    EXPECT_EQ(answer.PAN.text(), "************1234    ");
    EXPECT_EQ(answer.TransactionResult.text(), "00 ");
}

} // namespace
} // namespace kvl
