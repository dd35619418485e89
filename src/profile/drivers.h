// What the device manager knows, in the system profile: each display adapter and
// sound device with its driver (provider, version, date), every device that
// reports a problem, and the touch screen. "Which driver, how old?" and "is there
// a yellow mark?" are support's next questions after a picture fault, a silent
// jukebox or a coin acceptor that no longer answers. Facts in, lines out; the
// lines go into the profile's sections. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/probe_outcome.h"
#include "profile/profile_row.h"

namespace vtx {

// A device's driver as its driver key holds it (the device's key below
// Control\Class, values as stored).
struct DriverFacts {
    enum class State {
        Unknown,    // the device was not found in the device manager's list
        None,       // the device has no driver key: no driver is installed
        Installed,  // the values below come from its driver key
    };
    State state = State::Unknown;
    std::optional<std::string> provider;  // ProviderName
    std::optional<std::string> version;   // DriverVersion, "31.0.15.3179"
    std::optional<std::string> date;      // DriverDate, "6-21-2006" (month-day-year)
    std::optional<std::uint64_t> dateData;  // DriverDateData: the same day as a FILETIME

    bool operator==(const DriverFacts&) const = default;
};

// The devices one probe lists.
template <class Item>
struct ProbedList {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::vector<Item> items;
};

struct DisplayAdapterFacts {
    std::string name;      // "Intel(R) UHD Graphics 620"
    bool desktop = false;  // one of its outputs is part of the desktop
    DriverFacts driver;
};

using DisplayAdaptersFacts = ProbedList<DisplayAdapterFacts>;

// A device of the media class (sound, video and game controllers).
struct SoundDeviceFacts {
    std::string name;
    DriverFacts driver;
};

using SoundDevicesFacts = ProbedList<SoundDeviceFacts>;

struct ProblemDeviceFacts {
    std::string name;
    std::string className;  // "" when the device has no class (no driver)
    unsigned long problem = 0;  // the configuration manager's problem number
};

using ProblemDevicesFacts = ProbedList<ProblemDeviceFacts>;

// GetSystemMetrics(SM_DIGITIZER) and (SM_MAXIMUMTOUCHES).
struct TouchFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    int digitizer = 0;  // NID_* bits
    int maxTouches = 0;
};

struct DeviceManagerFacts {
    DisplayAdaptersFacts adapters;
    SoundDevicesFacts sound;
    ProblemDevicesFacts problems;
    TouchFacts touch;
};

// For "Bildschirme:", after the monitors: the adapters with their drivers, then
// the touch screen.
std::vector<ProfileRow> DisplayAdapterLines(const DisplayAdaptersFacts& facts, const TouchFacts& touch);
// For "Sound:", after the output devices: the media class's devices and drivers.
std::vector<ProfileRow> SoundDeviceLines(const SoundDevicesFacts& facts);
// The lines of "Geräte mit Problemen:" below its heading.
std::vector<ProfileRow> ProblemDeviceLines(const ProblemDevicesFacts& facts);

// The problem in words, with its number: "kein Treiber installiert (Code 28)";
// "Code N" for the rarer ones.
std::string ProblemText(unsigned long problem);

// The driver's date as "21.06.2006": from DriverDate (month-day-year, with "-"
// or "/", with or without leading zeros), else from DriverDateData; nothing when
// neither holds a real date.
std::optional<std::string> DriverDateText(const std::optional<std::string>& date,
                                          const std::optional<std::uint64_t>& dateData);

// EnumDisplayDevices' flags the adapters are told apart by.
inline constexpr unsigned long kDisplayAttachedToDesktop = 0x1;
inline constexpr unsigned long kDisplayMirroringDriver = 0x8;

// One entry of EnumDisplayDevices(nullptr, i): an output of an adapter.
struct DisplayOutput {
    std::string adapter;        // DeviceString: the adapter's name
    std::string interfacePath;  // DeviceID with EDD_GET_DEVICE_INTERFACE_NAME ("" where not given)
    std::string hardwareId;     // DeviceID without it: "PCI\VEN_8086&DEV_5917&..."
    unsigned long flags = 0;    // StateFlags
};

// A device of the display class as SetupAPI lists it.
struct ClassDevice {
    std::string instanceId;  // "PCI\VEN_8086&DEV_5917&...\3&11583659&0&10"
    std::string description;
    std::vector<std::string> hardwareIds;
    DriverFacts driver;
};

// The adapters behind the outputs, each once (its outputs share its interface,
// or without one its hardware ID and name), mirroring drivers left out, in the
// order of their first output. Each adapter's driver is that of its device: the
// one its interface names, else the one device of its hardware ID, else of its
// name; Unknown where no device or several with different drivers match.
std::vector<DisplayAdapterFacts> AdaptersOf(const std::vector<DisplayOutput>& outputs,
                                            const std::vector<ClassDevice>& devices);

// The device instance an interface path names:
// "\\?\PCI#VEN_1&DEV_2#4&1&0&8#{guid}" -> "PCI\VEN_1&DEV_2\4&1&0&8"; "" for
// a text that names none.
std::string InstanceIdOfInterface(std::string_view path);

}  // namespace vtx
