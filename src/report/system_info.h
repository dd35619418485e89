// Memory and processor clock for the report's "Allgemeine Infos" block: three WMI
// queries, each read from its first object only.
#pragma once
#include <functional>
#include <optional>
#include <string>

namespace vtx {

struct SystemInfo {
    std::string TotalMemory;  // formatted by FormatBytes, e.g. "3,99 GB"
    std::string FreeMemory;   // formatted by FormatBytes
    std::string ClockSpeed;   // maximum clock in MHz, plain decimal without unit
};

// What one WMI query gave for one property of its first object.
struct FirstObjectAnswer {
    bool ran = false;                  // false: WMI unreachable, query refused, enumeration failed
    bool found = false;                // at least one object came back
    std::optional<std::string> value;  // the property as text; empty when missing or null
};
using FirstObjectQuery = std::function<FirstObjectAnswer(const std::string& query, const std::string& property)>;
using BytesFormatter = std::function<std::string(double bytes)>;

// Clears `info`, then fills it in order with the answers to
//   "Select TotalPhysicalMemory from Win32_ComputerSystem"  -> TotalMemory (bytes)
//   "SELECT FreePhysicalMemory from Win32_OperatingSystem"  -> FreeMemory (kilobytes x 1024)
//   "Select MaxClockSpeed from Win32_Processor"             -> ClockSpeed (text as it comes)
// A query without objects leaves its field empty and the next one runs. A query
// that fails, a missing or null property, or a memory count that is not a decimal
// number stops there with false: fields filled before keep their values, the
// later ones stay empty. True when all three queries ran.
bool FillSystemInfo(SystemInfo& info, const FirstObjectQuery& query, const BytesFormatter& formatBytes);

}  // namespace vtx
