// The six drive identifiers against what the machine (here: Wine) offers. Values
// differ between machines, so the tests hold each identifier to the status rule
// and to its source, not to fixed texts.
#include "report/drive_info_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "report/wmi_win.h"

namespace vtx {
namespace {

using DriveIdRoutine = std::string (*)(std::int16_t&, const ProbeWait&);

// The text must be what the status says: "" for 1 and 4, hex digits for 0 and 2.
void ExpectConsistent(const std::string& text, std::int16_t status, const char* label) {
    SCOPED_TRACE(label);
    switch (status) {
        case kDriveIdAsIs: EXPECT_FALSE(text.empty()); EXPECT_TRUE(IsHex(text)); break;
        case kDriveIdEncoded:
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF"), std::string::npos) << text;
            break;
        case kDriveIdMissing:
        case kDriveIdFailed: EXPECT_EQ(text, ""); break;
        default: ADD_FAILURE() << "status " << status;
    }
}

// What the first fixed disk of WMI reports, read directly.
std::optional<std::string> FirstFixedDisk(const wchar_t* property) {
    std::optional<std::string> value;
    WmiForEach("SELECT * FROM Win32_DiskDrive", [&](IWbemClassObject& disk) {
        const std::optional<std::string> media = WmiPropertyText(disk, L"MediaType");
        if (!media || media->find("Fixed") == std::string::npos) return true;
        value = WmiPropertyText(disk, property);
        return false;
    });
    return value;
}

TEST(DriveIds, EveryRoutineSetsAStatusThatMatchesItsText) {
    const struct {
        const char* label;
        DriveIdRoutine routine;
    } routines[] = {
        {"ID 1", DriveIdSmartSerial}, {"ID 2", DriveIdSmartModel}, {"ID 3", DriveIdWmiSerial},
        {"ID 4", DriveIdWmiModel},    {"ID 5", DriveIdRegInstance}, {"ID 6", DriveIdRegDevice},
    };
    for (const auto& r : routines) {
        std::int16_t status = 77;  // set on entry, whatever it was
        const std::string text = r.routine(status, {});
        ExpectConsistent(text, status, r.label);
        EXPECT_NE(status, kDriveIdFailed) << r.label;
    }
}

TEST(DriveIds, WmiIdsEncodeTheFirstFixedDisk) {
    const struct {
        DriveIdRoutine routine;
        const wchar_t* property;
    } cases[] = {{DriveIdWmiSerial, L"SerialNumber"}, {DriveIdWmiModel, L"Model"}};
    for (const auto& c : cases) {
        const std::optional<std::string> value = FirstFixedDisk(c.property);
        ASSERT_TRUE(value.has_value()) << "WMI offers no fixed disk with " << Narrow(c.property);
        std::int16_t status = 0;
        const std::string text = c.routine(status, {});
        if (value->empty()) {
            EXPECT_EQ(status, kDriveIdMissing);
        } else if (IsHex(*value)) {
            EXPECT_EQ(status, kDriveIdAsIs);
            EXPECT_EQ(text, *value);
        } else {
            EXPECT_EQ(status, kDriveIdEncoded);
            EXPECT_EQ(text, HexEncode(ToAnsi(*value)));
        }
    }
}

TEST(DriveIds, UnderWineTheWmiDiskIsEncodedAndSmartFindsNothing) {
    // Wine's one disk: serial "WINEHDISK", model "Wine Disk Drive"; SMART requests
    // are refused, so the drive's own data is missing.
    if (FirstFixedDisk(L"Model") != std::optional<std::string>("Wine Disk Drive"))
        GTEST_SKIP() << "not Wine's disk";
    std::int16_t status = 0;
    EXPECT_EQ(DriveIdWmiSerial(status), HexEncode("WINEHDISK"));
    EXPECT_EQ(status, kDriveIdEncoded);
    EXPECT_EQ(DriveIdWmiModel(status), HexEncode("Wine Disk Drive"));
    EXPECT_EQ(status, kDriveIdEncoded);
    EXPECT_EQ(DriveIdSmartSerial(status), "");
    EXPECT_EQ(status, kDriveIdMissing);
    EXPECT_EQ(DriveIdSmartModel(status), "");
    EXPECT_EQ(status, kDriveIdMissing);
}

TEST(DriveIds, SmartIdsFollowTheFirstDriveThatAnswers) {
    DriveIdentity first;
    for (int drive = 0; drive < 8 && first.Found != 1; ++drive) first = GetDriveIdentity(drive);
    std::int16_t status = 0;
    const std::string serial = DriveIdSmartSerial(status);
    if (first.SerialNumber.empty()) {
        EXPECT_EQ(status, kDriveIdMissing);
    } else {
        EXPECT_EQ(status, kDriveIdEncoded);
        EXPECT_EQ(serial, HexEncode(ToAnsi(first.SerialNumber)));
    }
    const std::string model = DriveIdSmartModel(status);
    if (first.Found != 1) {
        EXPECT_EQ(status, kDriveIdMissing);
        EXPECT_EQ(model, "");
    } else {
        EXPECT_EQ(status, kDriveIdEncoded);
        EXPECT_EQ(model.size(), 80u);  // 40 characters, trailing blanks kept
    }
}

TEST(GetDriveIdentity, IsEmptyUnlessTheWholeSequenceSucceeds) {
    // No machine here has a ninth-and-beyond physical drive: nothing opens.
    for (int drive : {7, 99}) {
        FileHandle device(OpenDriveDevice(drive));
        EXPECT_FALSE(device) << drive;
        const DriveIdentity identity = GetDriveIdentity(drive);
        EXPECT_EQ(identity.Found, 0) << drive;
        EXPECT_EQ(identity.SerialNumber, "") << drive;
        EXPECT_EQ(identity.Model, "") << drive;
    }
    // A drive that opens but refuses SMART (Wine's drive 0) stays empty as well.
    FileHandle device(OpenDriveDevice(0));
    if (device && !SmartGetVersion(device.get())) {
        device.reset();
        const DriveIdentity identity = GetDriveIdentity(0);
        EXPECT_EQ(identity.Found, 0);
        EXPECT_EQ(identity.Model, "");
    }
}

TEST(SmartIdentify, LeavesTheIdentityAloneWhenRefused) {
    DriveIdentity identity{0, "before", "before"};
    EXPECT_FALSE(SmartIdentify(INVALID_HANDLE_VALUE, kIdentifyCommand, 0, identity));
    EXPECT_EQ(identity.Found, 0);
    EXPECT_EQ(identity.SerialNumber, "before");
    EXPECT_EQ(identity.Model, "before");
    EXPECT_FALSE(SmartGetVersion(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(SmartEnable(INVALID_HANDLE_VALUE, 0));
}

TEST(DriveIds, PastTheirDeadlinesSmartFindsNothingAndWmiFails) {
    // With the report's budget spent, the SMART walk and the WMI query count as
    // past their deadlines; the registry routines have none.
    const DeadlineBudget spent(std::chrono::milliseconds(0));
    const ProbeWait late{&spent, {}};
    const struct {
        const char* label;
        DriveIdRoutine routine;
        std::int16_t status;
    } cases[] = {
        {"ID 1", DriveIdSmartSerial, kDriveIdMissing},
        {"ID 2", DriveIdSmartModel, kDriveIdMissing},
        {"ID 3", DriveIdWmiSerial, kDriveIdFailed},
        {"ID 4", DriveIdWmiModel, kDriveIdFailed},
    };
    for (const auto& c : cases) {
        std::int16_t status = 77;
        EXPECT_EQ(c.routine(status, late), "") << c.label;
        EXPECT_EQ(status, c.status) << c.label;
    }
    for (DriveIdRoutine routine : {DriveIdRegInstance, DriveIdRegDevice}) {
        std::int16_t withBudget = 77, without = 77;
        EXPECT_EQ(routine(withBudget, late), routine(without, {}));
        EXPECT_EQ(withBudget, without);
    }
}

}  // namespace
}  // namespace vtx
