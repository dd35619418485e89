// The classic event log's records decoded from the bytes ReadEventLogW fills:
// each kind the profile lists, records with fewer strings than their kind has,
// and damaged buffers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "profile/event_records.h"
#include "unit/event_record_bytes.h"

namespace vtx {
namespace {

using testing::RecordBytes;
using testing::RecordLayout;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(EventRecords, EveryRecordOfABufferWithItsSourceTimeIdAndStrings) {
    const std::vector<RecordLayout> layouts = {
        {"EventLog", 0x80001778, 1709608360, {"\xE2\x80\x8E" "03:10:02", "\xE2\x80\x8E" "05.03.2024", "", "", "2044", ""}},
        {"Microsoft-Windows-Kernel-Power", 41, 1709608300, {"159", "0x3", "0xfffffa8003c5e060"}, kEventTypeError},
        {"disk", 0xC0040007, 1709500000, {"\\Device\\Harddisk0\\DR0"}},
        {"Ntfs", 0xC0040037, 1709400000, {"C:", "\\Device\\HarddiskVolume2"}},
        {"Application Error", 1000, 1709300000,
         {"Velatrix-Tunes 6.exe", "6.2.0.15", "5f1c2a3b", "ntdll.dll", "6.1.7601.17514", "4ce7c8f9", "c0000005",
          "00032a5e", "10d8", "01da6e", "C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe",
          "C:\\Windows\\SysWOW64\\ntdll.dll", "3f1c"}},
        {"Application Hang", 1002, 1709200000, {"Müller.exe"}, 2},  // fewer strings than its kind has
        {"Service Control Manager", 0xC0001B58, 1709100000, {}},
    };
    std::string buffer;
    for (size_t i = 0; i < layouts.size(); ++i) buffer += RecordBytes(layouts[i], static_cast<std::uint32_t>(100 - i));

    const EventRecords decoded = ParseEventLogRecords(buffer);
    EXPECT_FALSE(decoded.damaged);
    ASSERT_EQ(decoded.records.size(), layouts.size());
    for (size_t i = 0; i < layouts.size(); ++i) {
        const EventRecord& record = decoded.records[i];
        EXPECT_EQ(record.recordNumber, 100 - i);
        EXPECT_EQ(record.source, layouts[i].source);
        EXPECT_EQ(record.timeGenerated, layouts[i].timeGenerated);
        EXPECT_EQ(record.eventType, layouts[i].eventType);
        EXPECT_THAT(record.strings, ElementsAreArray(layouts[i].strings)) << record.source;
    }
    EXPECT_EQ(decoded.records[0].Id(), 6008u);
    EXPECT_EQ(decoded.records[2].Id(), 7u);
    EXPECT_EQ(decoded.records[3].Id(), 55u);
    EXPECT_EQ(decoded.records[6].Id(), 7000u);
}

TEST(EventRecords, DamagedBuffersAndRecordsKeepWhatIsSound) {
    const std::string good = RecordBytes({"disk", 7, 1709500000, {"\\Device\\Harddisk1\\DR1"}});
    const auto count = [](const std::string& bytes) { return ParseEventLogRecords(bytes).records.size(); };
    const auto damaged = [](const std::string& bytes) { return ParseEventLogRecords(bytes).damaged; };

    EXPECT_EQ(count(""), 0u);
    EXPECT_FALSE(damaged(""));
    // A buffer cut inside the second record, a length past the buffer, a length
    // below the header, an odd length, a wrong signature: the sound records before stay.
    std::string cut = good + good.substr(0, good.size() - 6);
    std::string tooLong = good + good;
    testing::PutDword(tooLong, good.size(), 100000);
    std::string tooShort = good + good;
    testing::PutDword(tooShort, good.size(), 8);
    std::string odd = good + good;
    testing::PutDword(odd, good.size(), static_cast<std::uint32_t>(good.size() - 2));
    std::string unsigned_ = good + good;
    testing::PutDword(unsigned_, good.size() + 4, 0x12345678);
    for (const std::string* bytes : {&cut, &tooLong, &tooShort, &odd, &unsigned_}) {
        EXPECT_EQ(count(*bytes), 1u);
        EXPECT_TRUE(damaged(*bytes));
    }
    EXPECT_TRUE(damaged(std::string(40, '\xFF')));

    // More strings declared than the record holds: those there are, the last one cut at the record's end.
    const EventRecords over = ParseEventLogRecords(RecordBytes({"Application Error", 1000, 1, {"a.exe", "1.0"}, 1, 200}));
    ASSERT_EQ(over.records.size(), 1u);
    EXPECT_FALSE(over.damaged);
    ASSERT_GE(over.records[0].strings.size(), 2u);
    EXPECT_LE(over.records[0].strings.size(), 5u);
    EXPECT_EQ(over.records[0].strings[0], "a.exe");

    // A string offset outside the record: no strings, the record itself stays.
    std::string offside = good;
    testing::PutDword(offside, 36, 5000);
    const EventRecords noStrings = ParseEventLogRecords(offside);
    ASSERT_EQ(noStrings.records.size(), 1u);
    EXPECT_THAT(noStrings.records[0].strings, ElementsAre());
    EXPECT_EQ(noStrings.records[0].source, "disk");

    // A source without its NUL ends with the record.
    std::string header(kEventRecordHeaderSize, '\0');
    testing::PutDword(header, 0, kEventRecordHeaderSize + 4);
    testing::PutDword(header, 4, kEventRecordSignature);
    const EventRecords unterminated = ParseEventLogRecords(header + std::string("d\0i\0", 4));
    ASSERT_EQ(unterminated.records.size(), 1u);
    EXPECT_EQ(unterminated.records[0].source, "di");
}

}  // namespace
}  // namespace vtx
