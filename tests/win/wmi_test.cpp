// WMI answers from the machine: what the report's probes build on.
#include <gtest/gtest.h>

#include "report/wmi_win.h"

namespace vtx {
namespace {

TEST(Wmi, QueriesVisitObjectsAndReadPropertiesAsText) {
    std::optional<std::string> memory;
    int visited = 0;
    ASSERT_TRUE(WmiForEach("Select TotalPhysicalMemory from Win32_ComputerSystem", [&](IWbemClassObject& object) {
        ++visited;
        memory = WmiPropertyText(object, L"TotalPhysicalMemory");
        return false;  // the first object only
    }));
    EXPECT_EQ(visited, 1);
    ASSERT_TRUE(memory.has_value());
    EXPECT_GT(std::stoull(*memory), 1ull << 20) << *memory;

    std::optional<std::string> clock;
    ASSERT_TRUE(WmiForEach("Select MaxClockSpeed from Win32_Processor", [&](IWbemClassObject& object) {
        clock = WmiPropertyText(object, L"MaxClockSpeed");
        return false;
    }));
    ASSERT_TRUE(clock.has_value());
    EXPECT_GT(std::stoi(*clock), 0);
}

TEST(Wmi, MissingPropertiesAndBadQueriesFailByValue) {
    std::optional<std::string> missing = std::string("x");
    WmiForEach("SELECT * FROM Win32_DiskDrive", [&](IWbemClassObject& object) {
        missing = WmiPropertyText(object, L"NoSuchProperty");
        return false;
    });
    EXPECT_FALSE(missing.has_value());
    // Windows fails the enumeration of an unknown class; Wine returns no objects.
    int visited = 0;
    WmiForEach("SELECT * FROM No_Such_Class_Anywhere", [&](IWbemClassObject&) { return ++visited, true; });
    EXPECT_EQ(visited, 0);
}

}  // namespace
}  // namespace vtx
