// Memory and clock from Wine's WMI, and byte counts in the user's number format.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "report/system_info_win.h"

namespace vtx {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(GetSystemInfo, ReadsMemoryAndClockFromWmi) {
    SystemInfo info;
    ASSERT_TRUE(GetSystemInfo(info));
    for (const std::string* memory : {&info.TotalMemory, &info.FreeMemory})
        EXPECT_TRUE(EndsWith(*memory, " GB") || EndsWith(*memory, " MB")) << "'" << *memory << "'";
    ASSERT_FALSE(info.ClockSpeed.empty());
    EXPECT_EQ(info.ClockSpeed.find_first_not_of("0123456789"), std::string::npos) << info.ClockSpeed;
    EXPECT_GT(std::stoul(info.ClockSpeed), 0ul);
}

TEST(GetSystemInfo, PastItsDeadlineLeavesEveryFieldEmpty) {
    // The report's budget spent: the first query counts as past its deadline.
    const DeadlineBudget spent(std::chrono::milliseconds(0));
    SystemInfo info{"x", "y", "z"};
    EXPECT_FALSE(GetSystemInfo(info, ProbeWait{&spent, {}}));
    EXPECT_EQ(info.TotalMemory, "");
    EXPECT_EQ(info.FreeMemory, "");
    EXPECT_EQ(info.ClockSpeed, "");
}

// Sets the user's decimal and grouping separators for one test and puts the
// previous ones back.
class UserSeparators {
public:
    UserSeparators(const wchar_t* decimal, const wchar_t* group) {
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, oldDecimal_, 16);
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, oldGroup_, 16);
        ok_ = SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal) &&
              SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, group);
    }
    ~UserSeparators() {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, oldDecimal_);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, oldGroup_);
    }
    bool ok() const { return ok_; }

private:
    wchar_t oldDecimal_[16] = {};
    wchar_t oldGroup_[16] = {};
    bool ok_ = false;
};

TEST(FormatBytes, FollowsTheUserSeparators) {
    struct Case {
        const wchar_t* decimal;
        const wchar_t* group;
        const char* expected;
    };
    const Case cases[] = {
        {L",", L".", "1.024,0 MB"},
        {L".", L",", "1,024.0 MB"},
        {L",", L"\u00A0", "1\xC2\xA0" "024,0 MB"},
    };
    for (const Case& c : cases) {
        UserSeparators separators(c.decimal, c.group);
        ASSERT_TRUE(separators.ok());
        EXPECT_EQ(FormatBytes(1073741823), c.expected);
    }
}

}  // namespace
}  // namespace vtx
