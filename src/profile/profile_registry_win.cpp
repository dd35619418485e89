#include "profile/profile_registry_win.h"

#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

// Values longer than this are not what the profile reads (commands, names).
constexpr DWORD kLargestText = 64 * 1024;

// The key opened to query values; the registry's error code.
LONG OpenForReading(HKEY root, const wchar_t* subkey, REGSAM view, RegKey& key) {
    return RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE | view, key.put());
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// One text value of an open key: unset when missing.
Setting<std::string> TextOf(HKEY key, const wchar_t* name) {
    DWORD type = 0, bytes = 0;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
    if (result == ERROR_FILE_NOT_FOUND) return {true, std::nullopt};
    if (result != ERROR_SUCCESS || !IsText(type) || bytes > kLargestText) return {};
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (result != ERROR_SUCCESS || !IsText(type)) return {};
    return {true, NarrowBuffer(text.data(), text.size())};
}

}  // namespace

Setting<std::string> ReadRegistryText(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view) {
    RegKey key;
    const LONG opened = OpenForReading(root, subkey, view, key);
    if (opened == ERROR_FILE_NOT_FOUND) return {true, std::nullopt};
    if (opened != ERROR_SUCCESS) return {};
    return TextOf(key.get(), name);
}

Setting<unsigned long> ReadRegistryNumber(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view) {
    RegKey key;
    const LONG opened = OpenForReading(root, subkey, view, key);
    if (opened == ERROR_FILE_NOT_FOUND) return {true, std::nullopt};
    if (opened != ERROR_SUCCESS) return {};
    DWORD type = 0, number = 0, bytes = sizeof(number);
    const LONG result = RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &bytes);
    if (result == ERROR_FILE_NOT_FOUND) return {true, std::nullopt};
    if (result == ERROR_SUCCESS && type == REG_DWORD && bytes == sizeof(number)) return {true, number};
    if ((result != ERROR_SUCCESS && result != ERROR_MORE_DATA) || type != REG_SZ) return {};
    const Setting<std::string> text = TextOf(key.get(), name);
    if (!text.value) return {text.known, std::nullopt};
    const std::string& digits = *text.value;
    if (digits.empty()) return {true, std::nullopt};  // Windows reads an empty text as not set
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return {};
    return {true, std::stoul(digits)};
}

std::optional<bool> RegistryKeyExists(HKEY root, const wchar_t* subkey, REGSAM view) {
    RegKey key;
    const LONG opened = OpenForReading(root, subkey, view, key);
    if (opened == ERROR_SUCCESS) return true;
    if (opened == ERROR_FILE_NOT_FOUND) return false;
    return std::nullopt;
}

std::optional<bool> RegistryValueHasData(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view) {
    RegKey key;
    const LONG opened = OpenForReading(root, subkey, view, key);
    if (opened == ERROR_FILE_NOT_FOUND) return false;
    if (opened != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, bytes = 0;
    const LONG result = RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &bytes);
    if (result == ERROR_FILE_NOT_FOUND) return false;
    if (result != ERROR_SUCCESS) return std::nullopt;
    // A list of texts ends with two terminators, a text with one.
    return bytes > 2 * sizeof(wchar_t);
}

std::optional<std::vector<std::pair<std::string, std::string>>> ReadRegistryTexts(HKEY root, const wchar_t* subkey,
                                                                                   REGSAM view) {
    std::vector<std::pair<std::string, std::string>> values;
    RegKey key;
    const LONG opened = OpenForReading(root, subkey, view, key);
    if (opened == ERROR_FILE_NOT_FOUND) return values;
    if (opened != ERROR_SUCCESS) return std::nullopt;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = static_cast<DWORD>(std::size(name));
        const LONG result = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return values;
        if (result != ERROR_SUCCESS) return std::nullopt;
        const Setting<std::string> text = TextOf(key.get(), name);
        if (text.value) values.emplace_back(Narrow(std::wstring_view(name, nameLength)), *text.value);
    }
}

}  // namespace vtx
