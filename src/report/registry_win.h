// Registry reads of the report and the COM registration check.
//
// The jukebox and its components are 32-bit, so this module looks at the 32-bit
// registry view: KEY_WOW64_32KEY is added to every access mask it opens a key
// with (unless a caller of RegEnumSubkeys names a view itself). Names and values
// are UTF-8 here and go through the wide API.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "report/registry_text.h"

namespace vtx {

// A value read from the registry: text (REG_SZ, and the default value) or a
// 32-bit number (REG_DWORD).
using RegValue = std::variant<std::monostate, std::string, std::int32_t>;

// True when `subkey` of `root` can be opened to query values, enumerate subkeys
// and be notified (0x19). The key is closed again at once.
bool RegKeyExists(HKEY root, const std::string& subkey);

// Reads one value of `subkey` and returns the registry's error code (0 on
// success). `out` is set only on success and otherwise stays as it was.
// An empty `valueName` reads the default value as text (REG_SZ, or REG_EXPAND_SZ
// as stored); the text must be shorter than 512 characters or the read fails
// (ERROR_MORE_DATA). A key without a default value reads as "". A named value of
// type REG_SZ is read as text and one of type REG_DWORD as a number. Values of any
// other type return 0 and leave `out` unset.
LONG RegReadValue(HKEY key, const std::string& subkey, const std::string& valueName, RegValue& out);

// Lists the subkeys of `subkey` opened with `access`: entry i of `entries` gets
// subkey i; the vector is resized to the number of subkeys listed and keeps
// unchanged what it held when there are none. Returns the number listed when the
// listing ran to its end, 0 when the key cannot be opened or the listing stopped
// early (the entries read until then stay in `entries`).
int RegEnumSubkeys(HKEY key, const std::string& subkey, REGSAM access, std::vector<SubkeyEntry>& entries);

// The command that registers an in-process server silently:
// regsvr32 /s "<fileName>".
std::string RegistrationCommand(const std::string& fileName);

// Starts a registration command (see RegistrationCommand) in the background.
using RegistrationLauncher = std::function<void(const std::string& commandLine)>;
// Replaces the launcher IsClassRegistered starts registrations with and returns the
// one used until now. An empty launcher restores the real one: it runs the command
// line with the regsvr32.exe of the 32-bit system folder (the components are
// 32-bit), shown minimized, and does not wait for it; a failed start goes unnoticed.
RegistrationLauncher SetRegistrationLauncher(RegistrationLauncher launcher);

// Whether the COM class with the ProgID `className` is registered: its CLSID's
// InprocServer32 default value (the server path) names an existing file.
// With a non-empty `fileName` (the expected server path, compared exactly) a
// different or missing registration is renewed by starting
// regsvr32 /s "<fileName>" without waiting; the lookup right after that decides.
bool IsClassRegistered(const std::string& className, const std::string& fileName);

}  // namespace vtx
