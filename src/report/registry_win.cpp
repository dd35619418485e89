#include "report/registry_win.h"

#include <utility>

#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

// Query values, enumerate subkeys, notify.
constexpr REGSAM kReadAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
static_assert(kReadAccess == 0x19);

// The default value is read into 512 characters; the text needs its terminator.
constexpr size_t kDefaultValueCapacity = 512;
// Longest key name (255) plus terminator; class strings get the same room.
constexpr DWORD kEnumNameCapacity = 256;

// The 32-bit view unless the caller chose a view.
REGSAM InJukeboxView(REGSAM access) { return (access & KEY_WOW64_RES) ? access : access | KEY_WOW64_32KEY; }

LONG OpenKey(HKEY root, const std::string& subkey, REGSAM access, RegKey& key) {
    return RegOpenKeyExW(root, Widen(subkey).c_str(), 0, InJukeboxView(access), key.put());
}

LONG ReadDefaultValue(HKEY key, RegValue& out) {
    wchar_t buffer[kDefaultValueCapacity] = {};
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(buffer);
    const LONG result = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    // Like the registry's classic default-value query: a key without a default
    // value has the empty text.
    if (result == ERROR_FILE_NOT_FOUND) {
        out = std::string();
        return ERROR_SUCCESS;
    }
    if (result != ERROR_SUCCESS) return result;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_SUCCESS;
    // The stored size may or may not count a terminator; the text ends at the first
    // NUL or at the end of the data, and it has to leave room for a terminator.
    const size_t stored = bytes / sizeof(wchar_t);
    size_t length = 0;
    while (length < stored && buffer[length] != L'\0') ++length;
    if (length >= kDefaultValueCapacity) return ERROR_MORE_DATA;
    out = Narrow(std::wstring_view(buffer, length));
    return ERROR_SUCCESS;
}

LONG ReadNamedValue(HKEY key, const std::wstring& name, RegValue& out) {
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes);
    if (result != ERROR_SUCCESS) return result;
    if (type == REG_SZ) {
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        result = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        // The value may have been changed in between; only a text counts.
        if (result == ERROR_SUCCESS && type == REG_SZ) out = NarrowBuffer(buffer.data(), bytes / sizeof(wchar_t));
    } else if (type == REG_DWORD) {
        DWORD number = 0;
        bytes = sizeof(number);
        result = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &bytes);
        if (result == ERROR_SUCCESS && type == REG_DWORD) out = static_cast<std::int32_t>(number);
    }
    return result;
}

// regsvr32.exe of the 32-bit system folder (SysWOW64 on 64-bit Windows).
std::wstring Regsvr32Path() {
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemWow64DirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\regsvr32.exe";
}

void StartMinimized(const std::string& commandLine) {
    const std::wstring program = Regsvr32Path();
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.empty() ? nullptr : program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                       nullptr, nullptr, &startup, &process)) {
        KernelHandle thread(process.hThread);
        KernelHandle running(process.hProcess);
    }
}

RegistrationLauncher& CurrentLauncher() {
    static RegistrationLauncher launcher = StartMinimized;
    return launcher;
}

std::string DefaultText(const std::string& subkey) {
    RegValue value;
    if (RegReadValue(HKEY_CLASSES_ROOT, subkey, "", value) != ERROR_SUCCESS) return {};
    const std::string* text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

// ProgID -> CLSID -> InprocServer32 default value; "" when any step is missing.
std::string ServerPath(const std::string& className) {
    const std::string clsid = DefaultText(className + "\\CLSID");
    if (clsid.empty()) return {};
    return DefaultText("CLSID\\" + clsid + "\\InprocServer32");
}

}  // namespace

bool RegKeyExists(HKEY root, const std::string& subkey) {
    RegKey key;
    return OpenKey(root, subkey, kReadAccess, key) == ERROR_SUCCESS;
}

LONG RegReadValue(HKEY key, const std::string& subkey, const std::string& valueName, RegValue& out) {
    RegKey opened;
    const LONG result = OpenKey(key, subkey, kReadAccess, opened);
    if (result != ERROR_SUCCESS) return result;
    if (valueName.empty()) return ReadDefaultValue(opened.get(), out);
    return ReadNamedValue(opened.get(), Widen(valueName), out);
}

int RegEnumSubkeys(HKEY key, const std::string& subkey, REGSAM access, std::vector<SubkeyEntry>& entries) {
    RegKey opened;
    if (OpenKey(key, subkey, access, opened) != ERROR_SUCCESS) return 0;
    DWORD index = 0;
    LONG result = ERROR_SUCCESS;
    for (;; ++index) {
        wchar_t name[kEnumNameCapacity];
        wchar_t className[kEnumNameCapacity];
        DWORD nameLength = kEnumNameCapacity;
        DWORD classLength = kEnumNameCapacity;
        result = RegEnumKeyExW(opened.get(), index, name, &nameLength, nullptr, className, &classLength, nullptr);
        if (result != ERROR_SUCCESS) break;
        entries.resize(index + 1);
        entries[index].Name = TrimAtNul(Narrow(std::wstring_view(name, nameLength)));
        entries[index].ClassName = TrimAtNul(Narrow(std::wstring_view(className, classLength)));
    }
    return result == ERROR_NO_MORE_ITEMS ? static_cast<int>(index) : 0;
}

std::string RegistrationCommand(const std::string& fileName) { return "regsvr32 /s \"" + fileName + "\""; }

RegistrationLauncher SetRegistrationLauncher(RegistrationLauncher launcher) {
    if (!launcher) launcher = StartMinimized;
    return std::exchange(CurrentLauncher(), std::move(launcher));
}

bool IsClassRegistered(const std::string& className, const std::string& fileName) {
    if (!RegKeyExists(HKEY_CLASSES_ROOT, className)) {
        if (fileName.empty()) return false;
        CurrentLauncher()(RegistrationCommand(fileName));
        // A registration still running counts as not done.
        return ServerPath(className) == fileName;
    }
    std::string server = ServerPath(className);
    bool registered = true;
    if (!fileName.empty() && server != fileName) {
        CurrentLauncher()(RegistrationCommand(fileName));
        server = ServerPath(className);
        registered = server == fileName;
    }
    return registered && FileExists(server);
}

}  // namespace vtx
