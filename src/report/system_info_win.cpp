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

FirstObjectAnswer FirstObject(const std::string& query, const std::string& property) {
    FirstObjectAnswer answer;
    const std::wstring name = Widen(property);
    answer.ran = WmiForEach(query, [&](IWbemClassObject& object) {
        answer.found = true;
        answer.value = WmiPropertyText(object, name.c_str());
        return false;  // the first object only
    });
    return answer;
}

}  // namespace

std::string FormatBytes(double bytes) {
    return FormatBytes(bytes, UserLocaleText(LOCALE_SDECIMAL, "."), UserLocaleText(LOCALE_STHOUSAND, ","));
}

bool GetSystemInfo(SystemInfo& info) {
    return FillSystemInfo(info, FirstObject, [](double bytes) { return FormatBytes(bytes); });
}

}  // namespace vtx
