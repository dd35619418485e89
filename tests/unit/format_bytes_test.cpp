#include "report/format_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace vtx {
namespace {

TEST(FormatBytes, PicksTheUnitAndFormatsTheQuotient) {
    struct Case {
        double bytes;
        const char* german;   // decimal "," and grouping "."
        const char* english;  // decimal "." and grouping ","
    };
    const double GB = 1073741824.0;
    const Case cases[] = {
        // Unit thresholds: the quotient must reach 1.
        {1073741824, "1,0 GB", "1.0 GB"},
        {1073741823, "1.024,0 MB", "1,024.0 MB"},  // 1023.999999 MB rounds up but stays MB
        {1048576, "1,0 MB", "1.0 MB"},
        {1048575, "1.024,0 KB", "1,024.0 KB"},
        {1024, "1,0 KB", "1.0 KB"},
        {512, "0,5 KB", "0.5 KB"},
        {0, "0,0 KB", "0.0 KB"},
        {2147483648, "2,0 GB", "2.0 GB"},
        // One or two decimals.
        {1342177280, "1,25 GB", "1.25 GB"},
        {4284229878, "3,99 GB", "3.99 GB"},
        {1610612736, "1,5 GB", "1.5 GB"},
        {1572864, "1,5 MB", "1.5 MB"},
        // Rounding half away from zero, carries into the integer part and the groups.
        {1207959552, "1,13 GB", "1.13 GB"},  // exactly 1.125
        {6, "0,01 KB", "0.01 KB"},           // 0.005859375
        {5, "0,0 KB", "0.0 KB"},             // 0.0048828125
        {2143289344, "2,0 GB", "2.0 GB"},    // 1.99609375
        {1023996, "1.000,0 KB", "1,000.0 KB"},  // 999.99609375
        // Values a plain double would round the wrong way (3.985 is stored as 3.98499999...).
        {3.985 * GB, "3,99 GB", "3.99 GB"},
        {0.285 * 1024, "0,29 KB", "0.29 KB"},
        {1.005 * 1048576, "1,01 MB", "1.01 MB"},
        // Grouping in thousands: GB has no upper unit.
        {1536 * GB, "1.536,0 GB", "1,536.0 GB"},
        {1048576 * GB, "1.048.576,0 GB", "1,048,576.0 GB"},
        {18446744073709551615.0, "17.179.869.184,0 GB", "17,179,869,184.0 GB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatBytes(c.bytes, ",", "."), c.german) << c.bytes;
        EXPECT_EQ(FormatBytes(c.bytes, ".", ","), c.english) << c.bytes;
    }
}

TEST(FormatBytes, UsesTheSeparatorsAsGiven) {
    EXPECT_EQ(FormatBytes(1073741823, ",", "\xC2\xA0"), "1\xC2\xA0" "024,0 MB");  // no-break space
    EXPECT_EQ(FormatBytes(1073741823, ",", ""), "1024,0 MB");
    EXPECT_EQ(FormatBytes(1048576.0 * 1234567.25, "<>", "'"), "1'205<>63 GB");  // 1205.632 GB
}

TEST(FormatBytes, NotANumberGivesEmptyText) {
    EXPECT_EQ(FormatBytes(std::numeric_limits<double>::quiet_NaN(), ",", "."), "");
    EXPECT_EQ(FormatBytes(std::numeric_limits<double>::infinity(), ",", "."), "");
}

TEST(ParseDecimalText, ReadsWmiNumbersOnly) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"17179398144", 17179398144.0},
        {"0", 0.0},
        {"007", 7.0},
        {"18446744073709551615", 18446744073709551615.0},
        {"12.5", 12.5},
        {"", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"1e3", std::nullopt},
        {"1,5", std::nullopt},
        {"1.", std::nullopt},
        {".5", std::nullopt},
        {"1.2.3", std::nullopt},
        {"0x10", std::nullopt},
        {"inf", std::nullopt},
        {"12345678901234567890123456789012345678901234567890", 12345678901234567890123456789012345678901234567890.0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDecimalText(c.text), c.expected) << "'" << c.text << "'";
}

}  // namespace
}  // namespace vtx
