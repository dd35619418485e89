#include "report/system_info.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "report/format_bytes.h"

namespace vtx {
namespace {

const char* const kTotal = "Select TotalPhysicalMemory from Win32_ComputerSystem";
const char* const kFree = "SELECT FreePhysicalMemory from Win32_OperatingSystem";
const char* const kClock = "Select MaxClockSpeed from Win32_Processor";

FirstObjectAnswer Value(const char* text) { return {true, true, text}; }
FirstObjectAnswer Failed() { return {false, false, std::nullopt}; }
FirstObjectAnswer NoObject() { return {true, false, std::nullopt}; }
FirstObjectAnswer NullValue() { return {true, true, std::nullopt}; }

std::string German(double bytes) { return FormatBytes(bytes, ",", "."); }

TEST(FillSystemInfo, FillsFieldsInOrderAndStopsAtTheFirstError) {
    struct Case {
        const char* name;
        FirstObjectAnswer total, free, clock;
        bool result;
        SystemInfo expected;
        int queriesRun;
    };
    const Case cases[] = {
        {"all answer", Value("4284229878"), Value("2097152"), Value("2394"), true, {"3,99 GB", "2,0 GB", "2394"}, 3},
        {"first query fails", Failed(), Value("2097152"), Value("2394"), false, {"", "", ""}, 1},
        {"second query fails", Value("1073741823"), Failed(), Value("2394"), false, {"1.024,0 MB", "", ""}, 2},
        {"third query fails", Value("1073741824"), Value("512"), Failed(), false, {"1,0 GB", "512,0 KB", ""}, 3},
        {"no objects: field stays empty, next runs", NoObject(), NoObject(), Value("800"), true, {"", "", "800"}, 3},
        {"no processor object", Value("1048576"), Value("1"), NoObject(), true, {"1,0 MB", "1,0 KB", ""}, 3},
        {"null total memory", NullValue(), Value("1"), Value("800"), false, {"", "", ""}, 1},
        {"free memory not a number", Value("1048576"), Value("viel"), Value("800"), false, {"1,0 MB", "", ""}, 2},
        {"null clock", Value("1048576"), Value("1"), NullValue(), false, {"1,0 MB", "1,0 KB", ""}, 3},
        {"clock text passes unchanged", Value("0"), Value("0"), Value("03000"), true, {"0,0 KB", "0,0 KB", "03000"}, 3},
        // 64-bit counters beyond 2^53 still convert (as doubles).
        {"huge counters", Value("18446744073709551615"), Value("18014398509481984"), Value("1"), true,
         {"17.179.869.184,0 GB", "17.179.869.184,0 GB", "1"}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::map<std::string, std::pair<std::string, FirstObjectAnswer>> answers = {
            {kTotal, {"TotalPhysicalMemory", c.total}},
            {kFree, {"FreePhysicalMemory", c.free}},
            {kClock, {"MaxClockSpeed", c.clock}},
        };
        std::vector<std::string> asked;
        const FirstObjectQuery query = [&](const std::string& text, const std::string& property) {
            asked.push_back(text);
            const auto found = answers.find(text);
            if (found == answers.end()) {
                ADD_FAILURE() << "unexpected query '" << text << "'";
                return Failed();
            }
            EXPECT_EQ(property, found->second.first);
            return found->second.second;
        };
        SystemInfo info{"stale", "stale", "stale"};  // a reused record starts empty
        EXPECT_EQ(FillSystemInfo(info, query, German), c.result);
        EXPECT_EQ(info.TotalMemory, c.expected.TotalMemory);
        EXPECT_EQ(info.FreeMemory, c.expected.FreeMemory);
        EXPECT_EQ(info.ClockSpeed, c.expected.ClockSpeed);
        const std::vector<std::string> order = {kTotal, kFree, kClock};
        EXPECT_EQ(asked, std::vector<std::string>(order.begin(), order.begin() + c.queriesRun));
    }
}

}  // namespace
}  // namespace vtx
