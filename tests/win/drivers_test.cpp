// The device manager's probes against what Wine really has: its display adapter
// with the driver key it registers, its (empty) media class, its configuration
// manager, which reports no problem at all (so a stand-in status shows the
// problem list), and no touch screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "common/deadlines.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/display_adapter_win.h"
#include "fixtures/media_device_entry_win.h"
#include "profile/drivers_win.h"

namespace vtx {
namespace {

using ::testing::Contains;
using ::testing::Field;

constexpr unsigned long kHasProblem = 0x400;  // DN_HAS_PROBLEM

void Print(const DriverFacts& driver) {
    std::printf("    driver: state %d, provider %s, version %s, date %s, date data %s\n", static_cast<int>(driver.state),
                driver.provider.value_or("-").c_str(), driver.version.value_or("-").c_str(),
                driver.date.value_or("-").c_str(), driver.dateData ? std::to_string(*driver.dateData).c_str() : "-");
}

TEST(DeviceManagerProbes, TheDesktopsAdapterIsFoundWithItsNameAndDriver) {
    const std::string name = testing::FindDesktopAdapter().name;
    ASSERT_NE(name, "");

    const DisplayAdaptersFacts facts = GetDisplayAdaptersFacts(kProfileDevicesDeadline);
    ASSERT_EQ(facts.outcome, ProbeOutcome::Answered);
    for (const DisplayAdapterFacts& adapter : facts.items) {
        std::printf("  adapter: %s, desktop %d\n", adapter.name.c_str(), int(adapter.desktop));
        Print(adapter.driver);
    }
    const auto found = std::find_if(facts.items.begin(), facts.items.end(),
                                    [&](const DisplayAdapterFacts& adapter) { return adapter.name == name; });
    ASSERT_NE(found, facts.items.end()) << name;
    EXPECT_TRUE(found->desktop);
    // Each adapter once, however many outputs it has.
    EXPECT_EQ(std::count_if(facts.items.begin(), facts.items.end(),
                            [&](const DisplayAdapterFacts& adapter) { return adapter.name == name; }),
              1);

    // Its driver is the one of its device's key below Control\Class; Wine writes
    // the date it set the prefix up and no version or provider.
    ASSERT_EQ(found->driver.state, DriverFacts::State::Installed);
    RegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000",
                            0, KEY_QUERY_VALUE, key.put()),
              ERROR_SUCCESS);
    wchar_t date[64] = {};
    DWORD bytes = sizeof(date) - sizeof(wchar_t);
    ASSERT_EQ(RegGetValueW(key.get(), nullptr, L"DriverDate", RRF_RT_REG_SZ, nullptr, date, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(found->driver.date, Narrow(date));
    EXPECT_TRUE(DriverDateText(found->driver.date, found->driver.dateData).has_value());

    EXPECT_EQ(GetDisplayAdaptersFacts(std::chrono::milliseconds(0)).outcome, ProbeOutcome::TimedOut);
}

TEST(DeviceManagerProbes, SoundDevicesOfTheMediaClassAndTheTouchScreen) {
    const SoundDevicesFacts before = GetSoundDevicesFacts(kProfileDevicesDeadline);
    ASSERT_EQ(before.outcome, ProbeOutcome::Answered);
    std::printf("  %u sound devices of Wine's own\n", static_cast<unsigned>(before.items.size()));
    {
        // Two devices of the class: one with its driver, one without a driver key.
        const testing::MediaDeviceEntry withDriver(L"ROOT\\VTXTEST\\0000", L"VTX Soundkarte für Müller",
                                                   testing::MediaDeviceEntry::Driver{L"VTX Prüfung", L"6.0.9235.1", L"8-15-2021"});
        const testing::MediaDeviceEntry withoutDriver(L"ROOT\\VTXTEST\\0001", L"VTX USB-Audio", std::nullopt);
        ASSERT_TRUE(withDriver.registered() && withoutDriver.registered());
        const SoundDevicesFacts sound = GetSoundDevicesFacts(kProfileDevicesDeadline);
        ASSERT_EQ(sound.outcome, ProbeOutcome::Answered);
        ASSERT_EQ(sound.items.size(), before.items.size() + 2);
        for (const SoundDeviceFacts& device : sound.items) {
            std::printf("  sound device: %s\n", device.name.c_str());
            Print(device.driver);
            EXPECT_NE(device.name, "");
            EXPECT_NE(device.driver.state, DriverFacts::State::Unknown);
        }
        const auto named = [&](const std::string& name) {
            return std::find_if(sound.items.begin(), sound.items.end(),
                                [&](const SoundDeviceFacts& device) { return device.name == name; });
        };
        const auto card = named("VTX Soundkarte für Müller"), usb = named("VTX USB-Audio");
        ASSERT_NE(card, sound.items.end());
        ASSERT_NE(usb, sound.items.end());
        EXPECT_TRUE(card->driver == (DriverFacts{DriverFacts::State::Installed, "VTX Prüfung", "6.0.9235.1", "8-15-2021",
                                                 std::nullopt}));
        EXPECT_EQ(usb->driver.state, DriverFacts::State::None);
    }
    EXPECT_EQ(GetSoundDevicesFacts(kProfileDevicesDeadline).items.size(), before.items.size());
    EXPECT_EQ(GetSoundDevicesFacts(std::chrono::milliseconds(0)).outcome, ProbeOutcome::TimedOut);

    const TouchFacts touch = GetTouchFacts(kProfileDevicesDeadline);
    ASSERT_EQ(touch.outcome, ProbeOutcome::Answered);
    std::printf("  digitizer 0x%x, touch points %d\n", touch.digitizer, touch.maxTouches);
    EXPECT_EQ(touch.digitizer, GetSystemMetrics(SM_DIGITIZER));
    EXPECT_EQ(touch.maxTouches, GetSystemMetrics(SM_MAXIMUMTOUCHES));
    EXPECT_EQ(GetTouchFacts(std::chrono::milliseconds(0)).outcome, ProbeOutcome::TimedOut);
}

TEST(DeviceManagerProbes, DevicesWithAProblemAsTheConfigurationManagerReportsThem) {
    const ProblemDevicesFacts real = GetProblemDevicesFacts(kProfileDevicesDeadline);
    ASSERT_EQ(real.outcome, ProbeOutcome::Answered);
    std::printf("  %u devices with a problem\n", static_cast<unsigned>(real.items.size()));
    for (const ProblemDeviceFacts& device : real.items)
        std::printf("  %s (%s): %lu\n", device.name.c_str(), device.className.c_str(), device.problem);

    // A stand-in status: the desktop's adapter has no driver (28), the next node
    // asked is disabled (22), one more carries a number without the problem bit,
    // all others are fine.
    const testing::DesktopAdapter desktop = testing::FindDesktopAdapter();
    const std::string adapterId = desktop.hardwareId + "\\";
    const std::string& adapterName = desktop.name;
    ASSERT_NE(adapterId, "\\");
    auto others = std::make_shared<std::vector<std::string>>();
    const ProblemDevicesFacts standIn = GetProblemDevicesFacts(
        kProfileDevicesDeadline, [others, adapterId](unsigned long, const std::string& instanceId) {
            const std::wstring prefix = Widen(instanceId.substr(0, adapterId.size()));
            if (instanceId.size() > adapterId.size() &&
                CompareStringOrdinal(prefix.c_str(), -1, Widen(adapterId).c_str(), -1, TRUE) == CSTR_EQUAL)
                return std::optional<DevNodeStatus>({kHasProblem, 28});
            others->push_back(instanceId);
            if (others->size() == 1) return std::optional<DevNodeStatus>({kHasProblem | 0x8, 22});
            if (others->size() == 2) return std::optional<DevNodeStatus>({0x8, 43});
            return std::optional<DevNodeStatus>({0x8, 0});
        });
    ASSERT_EQ(standIn.outcome, ProbeOutcome::Answered);
    ASSERT_GE(others->size(), 2u);
    for (const ProblemDeviceFacts& device : standIn.items)
        std::printf("  stand-in: %s (%s): %lu\n", device.name.c_str(), device.className.c_str(), device.problem);
    ASSERT_EQ(standIn.items.size(), 2u);
    const ProblemDeviceFacts& adapter = standIn.items[0].problem == 28 ? standIn.items[0] : standIn.items[1];
    EXPECT_EQ(adapter.name, adapterName);
    EXPECT_NE(adapter.className, "");
    EXPECT_THAT(standIn.items, Contains(Field(&ProblemDeviceFacts::problem, 22u)));
    for (const ProblemDeviceFacts& device : standIn.items) EXPECT_NE(device.name, "");

    // A configuration manager that tells nothing about any node: not "keine".
    EXPECT_EQ(GetProblemDevicesFacts(kProfileDevicesDeadline,
                                     [](unsigned long, const std::string&) { return std::optional<DevNodeStatus>(); })
                  .outcome,
              ProbeOutcome::Failed);
    EXPECT_EQ(GetProblemDevicesFacts(std::chrono::milliseconds(0)).outcome, ProbeOutcome::TimedOut);
}

}  // namespace
}  // namespace vtx
