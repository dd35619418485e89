// WMI queries in root\CIMV2 (the namespace the "winmgmts:" moniker opens), one
// connection per query, objects visited in the order WMI returns them.
#pragma once
#include <wbemidl.h>

#include <functional>
#include <optional>
#include <string>

namespace vtx {

// Runs `query` (WQL, sent exactly as given) with "return immediately" and
// "forward only" and calls `visit` for each returned object until it returns false.
// False when WMI cannot be reached or the query or the enumeration fails.
bool WmiForEach(const std::string& query, const std::function<bool(IWbemClassObject&)>& visit);

// A property as text: strings as they are, numbers in plain decimal, true/false
// as -1/0. Empty optional when the property is missing, null or of another type.
std::optional<std::string> WmiPropertyText(IWbemClassObject& object, const wchar_t* name);

}  // namespace vtx
