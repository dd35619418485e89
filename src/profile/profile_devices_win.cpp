#include "profile/profile_devices_win.h"

#include <windows.h>

#include <algorithm>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "profile/profile_probe.h"

namespace vtx {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
    auto& monitors = *reinterpret_cast<std::vector<DisplayFacts>*>(context);
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    DisplayFacts display;
    display.device = NarrowBuffer(info.szDevice, CCHDEVICENAME);
    display.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    // What the monitor rectangle says, for a device without settings.
    display.width = info.rcMonitor.right - info.rcMonitor.left;
    display.height = info.rcMonitor.bottom - info.rcMonitor.top;
    display.x = info.rcMonitor.left;
    display.y = info.rcMonitor.top;
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    if (EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) {
        if ((mode.dmFields & DM_PELSWIDTH) && (mode.dmFields & DM_PELSHEIGHT)) {
            display.width = static_cast<int>(mode.dmPelsWidth);
            display.height = static_cast<int>(mode.dmPelsHeight);
        }
        if (mode.dmFields & DM_POSITION) {
            display.x = mode.dmPosition.x;
            display.y = mode.dmPosition.y;
        }
        if (mode.dmFields & DM_BITSPERPEL) display.bitsPerPixel = static_cast<int>(mode.dmBitsPerPel);
        if (mode.dmFields & DM_DISPLAYFREQUENCY) display.refreshHz = static_cast<int>(mode.dmDisplayFrequency);
    }
    monitors.push_back(std::move(display));
    return TRUE;
}

DisplaysFacts QueryDisplays() {
    DisplaysFacts facts;
    if (!EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&facts.monitors)))
        return facts;  // Failed
    // The main monitor first, the others in the order Windows lists them.
    std::stable_partition(facts.monitors.begin(), facts.monitors.end(),
                          [](const DisplayFacts& display) { return display.primary; });
    facts.outcome = ProbeOutcome::Answered;
    return facts;
}

// The values of one DEVICEMAP key as ports: value name = device, data = port
// name (with the prefix "\DosDevices\" of the parallel ports taken off).
std::optional<std::vector<PortFacts>> ReadPorts(const wchar_t* subkey) {
    RegKey key;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return std::vector<PortFacts>{};
    if (opened != ERROR_SUCCESS) {
        key.release();
        return std::nullopt;
    }
    std::vector<PortFacts> ports;
    for (DWORD index = 0; index < 1000; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        wchar_t data[1024];
        DWORD type = 0, bytes = sizeof(data);
        const LONG status = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &bytes);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) {
            if (status == ERROR_MORE_DATA) continue;
            return std::nullopt;
        }
        if (type != REG_SZ) continue;
        // The data as stored, with or without its terminating NUL.
        std::string port = NarrowBuffer(data, bytes / sizeof(wchar_t));
        const std::string dosDevices = "\\DosDevices\\";
        if (port.compare(0, dosDevices.size(), dosDevices) == 0) port.erase(0, dosDevices.size());
        ports.push_back({port, Narrow(std::wstring_view(name, nameLength))});
    }
    SortPorts(ports);
    return ports;
}

}  // namespace

DisplaysFacts GetDisplaysFacts(std::chrono::milliseconds limit, const ProbeWait& wait) {
    return ProbeWithDeadline<DisplaysFacts>(wait.Limit(limit), [] { return QueryDisplays(); }, {}, wait.whileWaiting);
}

PortsFacts GetPortsFacts() {
    PortsFacts facts;
    facts.serial = ReadPorts(L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
    facts.parallel = ReadPorts(L"HARDWARE\\DEVICEMAP\\PARALLEL PORTS");
    return facts;
}

}  // namespace vtx
