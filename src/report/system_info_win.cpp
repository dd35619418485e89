#include "report/system_info_win.h"

#include <windows.h>

#include "common/unicode_win.h"
#include "report/format_bytes.h"
#include "report/wmi_win.h"

namespace vtx {
namespace {

std::string UserLocaleText(LCTYPE type, const char* fallback) {
    wchar_t buffer[16] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, static_cast<int>(std::size(buffer)));
    if (length <= 0) return fallback;
    return NarrowBuffer(buffer, std::size(buffer));
}

// The first object's `property`, each query with its deadline (see WmiRows).
FirstObjectQuery FirstObjectWithin(const ProbeWait& wait) {
    return [&wait](const std::string& query, const std::string& property) {
        FirstObjectAnswer answer;
        const auto first = [](const WmiRow&) { return true; };
        const std::optional<std::vector<WmiRow>> rows = WmiRows(query, {Widen(property)}, first, wait);
        answer.ran = rows.has_value();
        if (rows && !rows->empty()) {
            answer.found = true;
            answer.value = rows->front().front();
        }
        return answer;
    };
}

}  // namespace

std::string FormatBytes(double bytes) {
    return FormatBytes(bytes, UserLocaleText(LOCALE_SDECIMAL, "."), UserLocaleText(LOCALE_STHOUSAND, ","));
}

bool GetSystemInfo(SystemInfo& info, const ProbeWait& wait) {
    return FillSystemInfo(info, FirstObjectWithin(wait), [](double bytes) { return FormatBytes(bytes); });
}

}  // namespace vtx
