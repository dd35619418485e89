// WMI answers from the machine: what the report's probes build on.
#include <gtest/gtest.h>

#include "report/wmi_win.h"

#include <chrono>

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

TEST(WmiRows, GivesTheAskedPropertiesOfEachObjectUpToTheLastOneWanted) {
    // Processes: a class with many objects.
    const std::string query = "SELECT * FROM Win32_Process";
    const std::vector<std::wstring> asked = {L"Name", L"ProcessId", L"NoSuchProperty"};
    std::vector<WmiRow> direct;
    ASSERT_TRUE(WmiForEach(query, [&](IWbemClassObject& object) {
        direct.push_back({WmiPropertyText(object, L"Name"), WmiPropertyText(object, L"ProcessId"), std::nullopt});
        return true;
    }));
    ASSERT_GE(direct.size(), 2u);

    const std::optional<std::vector<WmiRow>> all = WmiRows(query, asked, {}, {});
    ASSERT_TRUE(all.has_value());
    ASSERT_GE(all->size(), 2u);
    for (const WmiRow& row : *all) {
        ASSERT_EQ(row.size(), 3u);
        EXPECT_TRUE(row[0].has_value());
        EXPECT_FALSE(row[2].has_value());
    }
    // The process list may change between two queries; the first object stays.
    EXPECT_EQ(all->front()[0], direct.front()[0]);

    // Up to and including the first row the rule accepts.
    const std::optional<std::string> second = (*all)[1][1];
    const auto upToSecond = WmiRows(query, asked, [second](const WmiRow& row) { return row[1] == second; }, {});
    ASSERT_TRUE(upToSecond.has_value());
    ASSERT_EQ(upToSecond->size(), 2u);
    EXPECT_EQ(upToSecond->back()[1], second);
}

TEST(WmiRows, FailsAtOnceWhenTheReportsBudgetIsSpent) {
    const DeadlineBudget spent(std::chrono::milliseconds(0));
    EXPECT_FALSE(WmiRows("Select TotalPhysicalMemory from Win32_ComputerSystem", {L"TotalPhysicalMemory"}, {},
                         ProbeWait{&spent, {}})
                     .has_value());
}

}  // namespace
}  // namespace vtx
