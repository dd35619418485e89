#include "report/drive_identity.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vtx {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HexEncode, WritesEachByteWithoutLeadingZeros) {
    struct Case {
        std::string bytes;
        const char* hex;
    };
    const Case cases[] = {
        {"AB 1", "41422031"},
        {"", ""},
        {"WD-WCAV12345", "57442D574341563132333435"},
        // Codes below 16 give one digit, so different texts can share an encoding.
        {std::string("\x01\x0F\x10", 3), "1F10"},
        {std::string(1, '\0'), "0"},
        {std::string("\x0A" "A", 2), "A41"},
        // Bytes above 127 are codes 128..255, never negative.
        {"\x80\xE4\xFF", "80E4FF"},
    };
    for (const Case& c : cases) EXPECT_EQ(HexEncode(c.bytes), c.hex) << c.hex;
}

TEST(IsHex, AcceptsHexDigitsOfEitherCase) {
    struct Case {
        const char* text;
        bool hex;
    };
    const Case cases[] = {
        {"", true},           {"3030303030", true}, {"0123456789ABCDEF", true}, {"abcdef", true},
        {"WD-WCAV12345", false}, {"12 34", false},  {"G", false},               {"0x1F", false},
        {"\xC3\xA4", false},  // UTF-8 "ä"
    };
    for (const Case& c : cases) EXPECT_EQ(IsHex(c.text), c.hex) << c.text;
}

TEST(DriveIdText, AppliesTheStatusRule) {
    struct Case {
        std::string value;
        DriveIdRule rule;
        const char* text;
        std::int16_t status;
    };
    const Case cases[] = {
        {"", DriveIdRule::KeepHex, "", kDriveIdMissing},
        {"", DriveIdRule::EncodeAlways, "", kDriveIdMissing},
        {"3030303030", DriveIdRule::KeepHex, "3030303030", kDriveIdAsIs},
        {"abc123", DriveIdRule::KeepHex, "abc123", kDriveIdAsIs},
        {"WD-WCAV12345", DriveIdRule::KeepHex, "57442D574341563132333435", kDriveIdEncoded},
        {"5&2a9b&0&0.0.0", DriveIdRule::KeepHex, "352632613962263026302E302E30", kDriveIdEncoded},
        // SMART values are encoded even when they are hexadecimal digits already.
        {"3030303030", DriveIdRule::EncodeAlways, "33303330333033303330", kDriveIdEncoded},
        {"WINEHDISK", DriveIdRule::EncodeAlways, "57494E45484449534B", kDriveIdEncoded},
    };
    for (const Case& c : cases) {
        std::int16_t status = 99;
        EXPECT_EQ(DriveIdText(c.value, c.rule, status), c.text) << c.value;
        EXPECT_EQ(status, c.status) << c.value;
    }
}

TEST(SwapBytePairs, SwapsInPlaceAndReturnsACopy) {
    Bytes bytes{1, 2, 3, 4, 5};
    Bytes copy = SwapBytePairs(bytes);
    EXPECT_EQ(bytes, (Bytes{2, 1, 4, 3, 5}));  // an odd last byte has no partner
    EXPECT_EQ(copy, bytes);
    copy[0] = 9;
    EXPECT_EQ(bytes[0], 2);

    Bytes empty;
    EXPECT_TRUE(SwapBytePairs(empty).empty());
}

TEST(SmartRequests, AreLaidOutAsTheDriverExpects) {
    // buffer size (LE) | features count number cyl-low cyl-high drive/head command 0 | drive | 3 x 0 | 16 x 0
    const SmartRequest enable{0, 0, 0, 0, 0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0, 0, 0};
    EXPECT_EQ(SmartEnableRequest(0, true), enable);

    const SmartRequest identify{0, 2, 0, 0, 0, 1, 1, 0, 0, 0xA0, 0xEC, 0, 5};
    EXPECT_EQ(SmartIdentifyRequest(kIdentifyCommand, 5, true), identify);

    SmartRequest otherCommand = identify;
    otherCommand[10] = 0xA1;
    otherCommand[12] = 7;
    EXPECT_EQ(SmartIdentifyRequest(0xA1, 7, true), otherCommand);
}

TEST(SmartRequests, DriveHeadCarriesTheDriveBitOnlyBeforeNt) {
    for (int drive = 0; drive < 8; ++drive) {
        const std::uint8_t beforeNt = drive % 2 ? 0xB0 : 0xA0;
        EXPECT_EQ(SmartDriveHead(drive, true), 0xA0) << drive;
        EXPECT_EQ(SmartDriveHead(drive, false), beforeNt) << drive;
        EXPECT_EQ(SmartEnableRequest(drive, false)[9], beforeNt) << drive;
        EXPECT_EQ(SmartIdentifyRequest(kIdentifyCommand, drive, false)[9], beforeNt) << drive;
        EXPECT_EQ(SmartEnableRequest(drive, false)[12], drive) << drive;
    }
}

// An IDENTIFY answer as the driver returns it: a header, then the data with each
// text field stored in ATA word order (the two characters of a word swapped).
class IdentifyAnswer {
public:
    IdentifyAnswer() : bytes_(kIdentifyAnswerSize, 'X') {
        for (size_t i = 0; i < kSmartStatusAnswerSize; ++i) bytes_[i] = 0xEE;
    }
    IdentifyAnswer& Put(size_t dataOffset, const std::string& text) {
        for (size_t i = 0; i < text.size(); ++i)
            bytes_[kSmartStatusAnswerSize + dataOffset + (i ^ 1)] = static_cast<std::uint8_t>(text[i]);
        return *this;
    }
    // The first `size` bytes, in a block of exactly that size.
    Bytes First(size_t size) const { return Bytes(bytes_.begin(), bytes_.begin() + size); }
    const Bytes& All() const { return bytes_; }

private:
    Bytes bytes_;
};

std::string Padded(const std::string& text, size_t length) { return text + std::string(length - text.size(), ' '); }

TEST(ParseIdentifyAnswer, TakesModelAndSerialFromTheirWords) {
    const IdentifyAnswer answer =
        IdentifyAnswer().Put(20, Padded("   WD-WCAV12345", 20)).Put(54, Padded("WDC WD5000AAKS-00V1A0", 40));
    const IdentifyText text = ParseIdentifyAnswer(answer.All());
    EXPECT_EQ(text.SerialNumber, "WD-WCAV12345");
    EXPECT_EQ(text.Model, Padded("WDC WD5000AAKS-00V1A0", 40));

    // A short model keeps its blanks: 80 digits, the last "A0" followed by 19 x "20".
    std::string blanks;
    for (int i = 0; i < 19; ++i) blanks += "20";
    const std::string hex = HexEncode(text.Model);
    EXPECT_EQ(hex.size(), 80u);
    EXPECT_THAT(hex, ::testing::EndsWith("4130" + blanks));
}

TEST(ParseIdentifyAnswer, KeepsNonBlankBytesAndEmptiesBlankSerials) {
    // Blanks are the only padding removed; NUL bytes of a field stay.
    std::string model(40, '\0');
    model.replace(0, 4, "DISK");
    IdentifyAnswer answer;
    answer.Put(20, std::string(20, ' ')).Put(54, model);
    const IdentifyText text = ParseIdentifyAnswer(answer.All());
    EXPECT_EQ(text.SerialNumber, "");
    EXPECT_EQ(text.Model, model);
}

TEST(ParseIdentifyAnswer, ReadsNothingBeyondTheAnswer) {
    IdentifyAnswer answer;
    answer.Put(20, Padded("S1", 20)).Put(54, Padded("M1", 40));
    const size_t modelEnd = kSmartStatusAnswerSize + 54 + 40;
    struct Case {
        size_t size;
        const char* serial;
        bool model;
    };
    const Case cases[] = {
        {modelEnd, "S1", true},
        {modelEnd - 1, "S1", false},
        {kSmartStatusAnswerSize + 40, "S1", false},
        {kSmartStatusAnswerSize + 39, "", false},
        {kSmartStatusAnswerSize, "", false},
        {3, "", false},
        {0, "", false},
    };
    for (const Case& c : cases) {
        // A block of exactly this size, so the sanitizers see any read past it.
        const Bytes block = answer.First(c.size);
        const IdentifyText text = ParseIdentifyAnswer(block);
        EXPECT_EQ(text.SerialNumber, c.serial) << c.size;
        EXPECT_EQ(text.Model, c.model ? Padded("M1", 40) : "") << c.size;
    }
}

TEST(FindIdeInterface, TakesTheFirstIdeNameWithinTheCount) {
    const std::vector<SubkeyEntry> entries = {
        {"##?#SCSI#Disk&Ven_WDC&Prod_WD5000#4&1e2b&0&000000#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", ""},
        {"##?#ide#DiskLower_____1.0__#5&1&0&0.0.0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", ""},
        {"##?#IDEX#DiskLonger____1.0__#5&2&0&0.0.0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", ""},
        {"##?#IDE#DiskMODEL_____FW__#5&2a9b&0&0.0.0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", "cls"},
        {"##?#IDE#DiskSECOND____FW__#5&3c4d&0&1.0.0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}", ""},
    };
    const std::optional<IdeInterface> found = FindIdeInterface(entries, 5);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Instance, "5&2a9b&0&0.0.0");
    EXPECT_EQ(found->Device, "DiskMODEL_____FW__");

    // Entries past the count are not looked at: a failed listing counts 0 even
    // when it stored some entries.
    EXPECT_FALSE(FindIdeInterface(entries, 3).has_value());
    EXPECT_FALSE(FindIdeInterface(entries, 0).has_value());
    EXPECT_FALSE(FindIdeInterface(entries, -1).has_value());
    EXPECT_EQ(FindIdeInterface(entries, 100)->Instance, "5&2a9b&0&0.0.0");
    EXPECT_FALSE(FindIdeInterface({}, 1).has_value());

    // A name that ends after "IDE" has empty parts.
    const std::optional<IdeInterface> bare = FindIdeInterface({{"##?#IDE", ""}}, 1);
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->Instance, "");
    EXPECT_EQ(bare->Device, "");
}

}  // namespace
}  // namespace vtx
