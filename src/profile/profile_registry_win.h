// Registry reads of the system profile that tell a missing value from one that
// cannot be read, in a registry view named by the caller: KEY_WOW64_64KEY for
// what 64-bit Windows itself reads (the 32-bit tool would otherwise get the
// 32-bit copy), KEY_WOW64_32KEY for the 32-bit programs' copy, 0 for the
// program's own. Values are read by name only; nothing here lists the values of
// a key except ReadRegistryTexts, which callers point at keys of commands only.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "profile/all_day.h"

namespace vtx {

// A REG_SZ or REG_EXPAND_SZ value as stored (not expanded). Unknown when the key
// or the value exists but cannot be read or is of another type; unset when either
// is missing.
Setting<std::string> ReadRegistryText(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view);

// A REG_DWORD value, or a REG_SZ of decimal digits (as Windows keeps many of its
// desktop settings; an empty text counts as unset); otherwise as ReadRegistryText.
Setting<unsigned long> ReadRegistryNumber(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view);

// Whether the key exists; empty when that cannot be told.
std::optional<bool> RegistryKeyExists(HKEY root, const wchar_t* subkey, REGSAM view);

// Whether the value exists and holds data beyond its terminators (its size is
// asked, its data never read); empty when that cannot be told.
std::optional<bool> RegistryValueHasData(HKEY root, const wchar_t* subkey, const wchar_t* name, REGSAM view);

// Every text value of the key (name, text as stored); empty list for a missing
// key, empty optional when the key cannot be read to its end.
std::optional<std::vector<std::pair<std::string, std::string>>> ReadRegistryTexts(HKEY root, const wchar_t* subkey,
                                                                                   REGSAM view);

}  // namespace vtx
