// The system profile: what support asks first about today's machines and the
// report cannot say (the true Windows version, displays, sound, ports, free disk
// space, whether the jukebox runs). It stands beside the report, never in it.
// Facts gathered by the probes go in, German lines come out, one fact per line,
// in sections. Portable.
//
// Every fact that a probe could not learn is missing (an empty optional) and is
// printed as kNotDetermined; a probe that did not answer in time says so.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/all_day.h"
#include "profile/drivers.h"
#include "profile/incidents.h"
#include "profile/probe_outcome.h"

namespace vtx {

// The name of the profile in the export and on the clipboard menu.
inline constexpr const char* kSystemProfileFileName = "System.txt";

// The kernel's own version (RtlGetVersion), which no compatibility layer bends.
struct KernelVersion {
    unsigned long major = 0, minor = 0, build = 0;
    std::string servicePack;  // "" without one
};

struct WindowsFacts {
    std::optional<KernelVersion> kernel;
    // The CurrentVersion key in the 64-bit view, as stored.
    std::optional<std::string> productName, editionId, displayVersion, releaseId, currentBuild;
    std::optional<unsigned long> ubr;
    std::optional<bool> is64Bit;
};

struct ToolFacts {
    std::string version;  // "1.0.0"
    int bits = 0;         // 32 or 64
    std::optional<std::string> path, user;
    std::optional<bool> administrator, elevated, uacOn;
};

struct DisplayFacts {
    std::string device;  // "\\.\DISPLAY1"
    int width = 0, height = 0;
    std::optional<int> bitsPerPixel, refreshHz;
    int x = 0, y = 0;
    bool primary = false;
};

struct DisplaysFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::vector<DisplayFacts> monitors;
};

struct SoundFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::vector<std::string> outputs;  // active output devices by name
    std::optional<std::string> defaultOutput;  // empty also when there is none
    std::optional<int> volumePercent;          // of the default output device
    std::optional<bool> muted;
};

struct PortFacts {
    std::string name;    // "COM1", "LPT1"
    std::string device;  // "\Device\Serial0"
};

struct PortsFacts {
    // An empty optional: the list could not be read. A missing key is an empty
    // list: the machine has no such port.
    std::optional<std::vector<PortFacts>> serial, parallel;
};

struct FolderOnDrive {
    std::string label;  // "Installationsordner"
    std::string path;
};

struct DriveFacts {
    std::string root;  // "C:\", "\\server\share\"
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::optional<std::string> fileSystem;
    std::optional<std::uint64_t> freeBytes, totalBytes;  // free: what the user may use
    std::vector<FolderOnDrive> folders;
};

struct JukeboxProcess {
    unsigned long id = 0;
    std::optional<std::string> path;
};

struct JukeboxFacts {
    std::optional<std::vector<JukeboxProcess>> processes;  // empty optional: the list failed
    std::optional<long> virtualStoreFiles;
};

struct TimeFacts {
    std::string date, time;  // the user's short date and long time format
    std::optional<std::string> timeZone;
    std::optional<long> utcOffsetMinutes;  // local time minus UTC
    std::optional<std::uint64_t> uptimeSeconds;
};

struct SystemProfileFacts {
    WindowsFacts windows;
    ToolFacts tool;
    DisplaysFacts displays;
    SoundFacts sound;
    PortsFacts ports;
    std::vector<DriveFacts> drives;  // each drive once, in the order first named
    JukeboxFacts jukebox;
    TimeFacts time;
    DeviceManagerFacts devices;  // display adapters, sound devices, problems, touch
    AllDayFacts allDay;  // what can stop a jukebox that runs all day
    // What happened in the last 30 days; without it the profile has no such section.
    std::optional<IncidentsFacts> incidents;
    // The user's separators for the byte sizes, as the report uses them.
    std::string decimalSeparator = ",", groupSeparator = ".";
};

// The profile's lines, without line ends.
std::vector<std::string> BuildSystemProfileLines(const SystemProfileFacts& facts);

// The name of Windows as Windows names it: the registry's ProductName, except that
// from build 22000 on a name that still says "Windows 10" says "Windows 11" (the
// registry kept the old name); the build is the kernel's, else the registry's.
// Without a ProductName the name follows from the kernel's version ("Windows 7", "Windows 10", ...); "" when neither is known.
std::string WindowsName(const WindowsFacts& facts);

// "2 Tage, 03:04:05", "1 Tag, 00:00:10", "00:05:00".
std::string UptimeText(std::uint64_t seconds);

// "UTC+01:00", "UTC-03:30", "UTC".
std::string UtcOffsetText(long minutes);

// The root a folder path lies on, read from its text: "C:\" for "C:\x\y",
// "\\server\share\" for "\\server\share\x"; "" when the text names none.
std::string RootOfPath(std::string_view path);

// Ports in the order their numbers say (COM2 before COM10).
void SortPorts(std::vector<PortFacts>& ports);

}  // namespace vtx
