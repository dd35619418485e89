#include "report/system_info.h"

#include "report/format_bytes.h"

namespace vtx {
namespace {

// Runs one step; false when it must end the probe. `field` is set only when an
// object came back and its value could be used.
bool Step(const FirstObjectQuery& query, const std::string& text, const std::string& property, std::string& field,
          const std::function<std::optional<std::string>(const std::string&)>& convert) {
    const FirstObjectAnswer answer = query(text, property);
    if (!answer.ran) return false;
    if (!answer.found) return true;
    if (!answer.value) return false;
    const std::optional<std::string> converted = convert(*answer.value);
    if (!converted) return false;
    field = *converted;
    return true;
}

}  // namespace

bool FillSystemInfo(SystemInfo& info, const FirstObjectQuery& query, const BytesFormatter& formatBytes) {
    info = SystemInfo{};
    const auto bytesTimes = [&](double factor) {
        return [&formatBytes, factor](const std::string& text) -> std::optional<std::string> {
            const std::optional<double> count = ParseDecimalText(text);
            if (!count) return std::nullopt;
            return formatBytes(*count * factor);
        };
    };
    const auto asIs = [](const std::string& text) -> std::optional<std::string> { return text; };
    return Step(query, "Select TotalPhysicalMemory from Win32_ComputerSystem", "TotalPhysicalMemory",
                info.TotalMemory, bytesTimes(1)) &&
           Step(query, "SELECT FreePhysicalMemory from Win32_OperatingSystem", "FreePhysicalMemory", info.FreeMemory,
                bytesTimes(1024)) &&
           Step(query, "Select MaxClockSpeed from Win32_Processor", "MaxClockSpeed", info.ClockSpeed, asIs);
}

}  // namespace vtx
