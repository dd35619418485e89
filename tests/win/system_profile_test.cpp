// The system profile's probes against what Wine really has: its kernel version,
// registry, virtual desktop, sound system, drives, processes and the VirtualStore.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "common/deadlines.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/virtual_store_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/serial_port_entry_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/windows_world_win.h"
#include "profile/profile_devices_win.h"
#include "profile/profile_drives_win.h"
#include "profile/profile_jukebox_win.h"
#include "profile/profile_sound_win.h"
#include "profile/profile_windows_win.h"

namespace vtx {
namespace {

using vtx::testing::SerialPortEntry;

using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::Field;
using ::testing::Not;
using testing::TempFolder;

std::string MissingDrive() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Z'; ++letter)
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    return "";
}

TEST(SystemProfileProbes, WindowsAndTheToolAsTheKernelAndTheRegistrySeeThem) {
    const WindowsFacts windows = GetWindowsFacts();
    // Wine's default: Windows 7 SP1, the kernel's answer the same as the legacy one.
    ASSERT_TRUE(windows.kernel.has_value());
    EXPECT_EQ(windows.kernel->major, 6u);
    EXPECT_EQ(windows.kernel->minor, 1u);
    EXPECT_EQ(windows.kernel->build, 7601u);
    EXPECT_EQ(windows.kernel->servicePack, "Service Pack 1");
    ASSERT_TRUE(windows.productName.has_value());
    EXPECT_THAT(*windows.productName, ::testing::HasSubstr("Windows 7"));
    EXPECT_EQ(windows.currentBuild, "7601");
    EXPECT_EQ(windows.displayVersion, std::nullopt);
    // 64-bit Windows also where a 32-bit tool runs under WoW64.
    EXPECT_EQ(windows.is64Bit, testing::WindowsIs64Bit());

    const ToolFacts tool = GetToolFacts("9.8.7");
    EXPECT_EQ(tool.version, "9.8.7");
    EXPECT_EQ(tool.bits, static_cast<int>(sizeof(void*) * 8));
    ASSERT_TRUE(tool.path.has_value());
    EXPECT_THAT(*tool.path, EndsWith("\\win_tests.exe"));
    EXPECT_TRUE(tool.user.has_value() && !tool.user->empty());
    EXPECT_TRUE(tool.administrator.has_value());
    EXPECT_TRUE(tool.elevated.has_value());

    const TimeFacts time = GetTimeFacts();
    EXPECT_TRUE(time.utcOffsetMinutes.has_value());
    ASSERT_TRUE(time.uptimeSeconds.has_value());
    EXPECT_LT(*time.uptimeSeconds, 400ull * 86400);
}

TEST(SystemProfileProbes, TheVirtualDesktopIsTheOneDisplay) {
    const DisplaysFacts displays = GetDisplaysFacts(kProfileDisplaysDeadline);
    ASSERT_EQ(displays.outcome, ProbeOutcome::Answered);
    ASSERT_EQ(displays.monitors.size(), 1u);
    const DisplayFacts& display = displays.monitors[0];
    EXPECT_EQ(display.width, 800);
    EXPECT_EQ(display.height, 600);
    EXPECT_EQ(display.x, 0);
    EXPECT_EQ(display.y, 0);
    EXPECT_TRUE(display.primary);
    EXPECT_TRUE(display.bitsPerPixel.has_value());
    EXPECT_THAT(display.device, ::testing::StartsWith("\\\\.\\DISPLAY"));
}

TEST(SystemProfileProbes, TheSoundSystemAnswersOrIsGivenUpAtItsDeadline) {
    const SoundFacts sound = GetSoundFacts(kProfileSoundDeadline);
    EXPECT_EQ(sound.outcome, ProbeOutcome::Answered);
    for (const std::string& name : sound.outputs) std::printf("  output: %s\n", name.c_str());
    std::printf("  default: %s, volume %d, muted %d\n", sound.defaultOutput.value_or("-").c_str(),
                sound.volumePercent.value_or(-1), sound.muted.has_value() ? int(*sound.muted) : -1);
    if (sound.defaultOutput) {
        EXPECT_THAT(sound.outputs, Contains(*sound.defaultOutput));
    }
    if (sound.volumePercent) {
        EXPECT_GE(*sound.volumePercent, 0);
        EXPECT_LE(*sound.volumePercent, 100);
    }

    // No time at all: the probe is given up at once, whatever the sound system does.
    EXPECT_EQ(GetSoundFacts(std::chrono::milliseconds(0)).outcome, ProbeOutcome::TimedOut);
    EXPECT_EQ(GetDisplaysFacts(std::chrono::milliseconds(0)).outcome, ProbeOutcome::TimedOut);
}

TEST(SystemProfileProbes, SerialPortsOfTheDeviceMapAreListedInOrder) {
    const PortsFacts before = GetPortsFacts();
    ASSERT_TRUE(before.serial.has_value());
    ASSERT_TRUE(before.parallel.has_value());
    {
        SerialPortEntry com12(L"\\Device\\VtxSerial12", L"COM12");
        SerialPortEntry com3(L"\\Device\\VtxSerial3", L"COM3");
        ASSERT_TRUE(com12.written() && com3.written());
        const PortsFacts ports = GetPortsFacts();
        ASSERT_TRUE(ports.serial.has_value());
        EXPECT_EQ(ports.serial->size(), before.serial->size() + 2);
        std::vector<std::string> names;
        for (const PortFacts& port : *ports.serial) {
            std::printf("  %s = %s\n", port.name.c_str(), port.device.c_str());
            if (port.device.starts_with("\\Device\\Vtx")) names.push_back(port.name + " " + port.device);
        }
        EXPECT_THAT(names, ::testing::ElementsAre("COM3 \\Device\\VtxSerial3", "COM12 \\Device\\VtxSerial12"));
    }
    EXPECT_EQ(GetPortsFacts().serial->size(), before.serial->size());
}

TEST(SystemProfileProbes, EachDriveOnceWithItsFoldersAndADriveThatIsNotThere) {
    TempFolder folder("profile-drives");
    const std::string missing = MissingDrive();
    ASSERT_NE(missing, "");
    const std::vector<DriveFacts> drives =
        GetDriveFacts({{"Installationsordner", folder.path()},
                       {"Datenordner", folder / "Daten"},
                       {"Coverordner", missing + "\\Cover"},
                       {"Listenordner", "Daten"}},
                      kProfileDriveDeadline);
    ASSERT_EQ(drives.size(), 3u);

    const DriveFacts& c = drives[0];
    EXPECT_EQ(c.root, folder.path().substr(0, 3));
    EXPECT_EQ(c.outcome, ProbeOutcome::Answered);
    EXPECT_TRUE(c.fileSystem.has_value() && !c.fileSystem->empty());
    ASSERT_TRUE(c.freeBytes && c.totalBytes);
    EXPECT_GT(*c.totalBytes, 0u);
    EXPECT_LE(*c.freeBytes, *c.totalBytes);
    ASSERT_EQ(c.folders.size(), 2u);
    EXPECT_EQ(c.folders[1].label, "Datenordner");

    EXPECT_EQ(drives[1].root, missing + "\\");
    EXPECT_EQ(drives[1].outcome, ProbeOutcome::Failed);
    EXPECT_FALSE(drives[1].totalBytes.has_value());
    ASSERT_EQ(drives[1].folders.size(), 1u);
    EXPECT_EQ(drives[1].folders[0].path, missing + "\\Cover");

    EXPECT_EQ(drives[2].root, "");
    EXPECT_EQ(drives[2].outcome, ProbeOutcome::Failed);
    ASSERT_EQ(drives[2].folders.size(), 1u);

    // A drive that does not answer in time is given up.
    const auto late = GetDriveFacts({{"Installationsordner", folder.path()}}, std::chrono::milliseconds(0));
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].outcome, ProbeOutcome::TimedOut);
}

TEST(SystemProfileProbes, ARunningJukeboxIsFoundWithItsPath) {
    EXPECT_THAT(FindProcesses(kJukeboxExeName).value_or(std::vector<JukeboxProcess>{{1, "list failed"}}),
                ::testing::IsEmpty());

    // A stand-in: the fixture program of the jukebox's name, held suspended so
    // that it cannot end before it is looked for.
    const std::string exe = testing::FixtureProgramsDir() + "\\" + kJukeboxExeName;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + Widen(exe) + L"\"";
    ASSERT_TRUE(CreateProcessW(Widen(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, nullptr, &startup, &info))
        << exe;
    KernelHandle process(info.hProcess), thread(info.hThread);

    const auto found = FindProcesses("velatrix-tunes 6.EXE");  // Windows ignores case
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    ASSERT_TRUE(found.has_value());
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ((*found)[0].id, info.dwProcessId);
    ASSERT_TRUE((*found)[0].path.has_value());
    EXPECT_EQ(CompareStringOrdinal(Widen(*(*found)[0].path).c_str(), -1, Widen(exe).c_str(), -1, TRUE), CSTR_EQUAL)
        << *(*found)[0].path << " vs " << exe;
}

TEST(SystemProfileProbes, VirtualStoreFilesOfAProtectedInstallFolderAreCounted) {
    wchar_t programFiles[MAX_PATH] = {}, localAppData[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, programFiles)));
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData)));
    const std::string install = Narrow(programFiles) + "\\VTX Store Prüfung";
    const std::string store = Narrow(localAppData) + "\\VirtualStore" + install.substr(2);
    EXPECT_EQ(CountVirtualStoreFiles(install), 0);

    ASSERT_TRUE(testing::WriteFileBytes(store + "\\Velatrix-Tunes.ini", "[Programm]\r\n"));
    ASSERT_TRUE(testing::WriteFileBytes(store + "\\Module\\Module.ini", "[Module]\r\n"));
    ASSERT_TRUE(testing::WriteFileBytes(store + "\\Module\\Tief\\Ελληνικά.ini", "x"));
    ASSERT_TRUE(testing::WriteFileBytes(store + "\\versteckt.ini", "x"));
    // A hidden-only file: the export passes it over. Where the file system adds the
    // archive bit (Wine), it is taken like a hidden archive file.
    const std::wstring hidden = Widen(store + "\\versteckt.ini");
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const long expected = GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_ARCHIVE ? 4 : 3;
    EXPECT_EQ(CountVirtualStoreFiles(install), expected);
    EXPECT_EQ(CountVirtualStoreFiles(install + "\\"), expected);
    EXPECT_EQ(CountVirtualStoreFiles(install + "\\Module"), 2);

    // The same store below a folder Windows does not virtualize counts nothing.
    const std::string elsewhere = "C:\\Jukebox\\VTX Store Prüfung";
    ASSERT_TRUE(testing::WriteFileBytes(Narrow(localAppData) + "\\VirtualStore\\Jukebox\\VTX Store Prüfung\\a.ini", "x"));
    EXPECT_EQ(CountVirtualStoreFiles(elsewhere), 0);
    EXPECT_EQ(CountVirtualStoreFiles(""), 0);
    testing::RemoveTree(store);
    testing::RemoveTree(Narrow(localAppData) + "\\VirtualStore\\Jukebox");
}

}  // namespace
}  // namespace vtx
